// Start-up: from starting a program to its window mapped, exposed and
// answering a key. One Xlib client watches the root window for the new
// window's MapNotify, moves the pointer over it and types Ctrl+E with
// XTest; the window's DestroyNotify ends the run. The anchor is a bare Xlib
// client (this program with --bare) that maps a window of the same size,
// waits for its Expose and quits on a key. Best of N runs each, in turns.
//
//   bench_startup [--bare] | bench_startup PROGRAM [RUNS]
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;

int bare()
{
	Display *d = XOpenDisplay(nullptr);
	if (!d)
		return 1;
	Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 653, 471, 5, 0, 0);
	XSelectInput(d, w, KeyPressMask | ExposureMask);
	XMapWindow(d, w);
	XEvent ev;
	do
		XNextEvent(d, &ev);
	while (ev.type != KeyPress);
	XCloseDisplay(d);
	return 0;
}

// The next event of a type on the root, or false after 10 s.
bool wait_for(Display *d, int type, XEvent &ev)
{
	auto t0 = Clock::now();
	while (Clock::now() - t0 < std::chrono::seconds(10)) {
		while (XPending(d)) {
			XNextEvent(d, &ev);
			if (ev.type == type)
				return true;
		}
		pollfd p{ConnectionNumber(d), POLLIN, 0};
		poll(&p, 1, 100);
	}
	return false;
}

void key(Display *d, KeySym ks, bool down)
{
	XTestFakeKeyEvent(d, XKeysymToKeycode(d, ks), down, CurrentTime);
}

// Seconds from start to mapped and to gone after the key; -1 on failure.
bool one_run(Display *d, char *const argv[], double &mapped, double &done)
{
	auto t0 = Clock::now();
	pid_t pid = fork();
	if (pid == 0) {
		execv(argv[0], argv);
		_exit(127);
	}
	XEvent ev;
	bool ok = wait_for(d, MapNotify, ev);
	mapped = std::chrono::duration<double>(Clock::now() - t0).count();
	if (ok) {
		XWarpPointer(d, None, ev.xmap.window, 0, 0, 0, 0, 300, 300);
		key(d, XK_Control_L, true), key(d, XK_e, true);
		key(d, XK_e, false), key(d, XK_Control_L, false);
		XFlush(d);
		ok = wait_for(d, DestroyNotify, ev);
	}
	if (!ok)
		kill(pid, SIGKILL);
	waitpid(pid, nullptr, 0);
	done = std::chrono::duration<double>(Clock::now() - t0).count();
	return ok;
}

} // namespace

int main(int argc, char **argv)
{
	if (argc > 1 && !std::strcmp(argv[1], "--bare"))
		return bare();
	if (argc < 2) {
		std::fprintf(stderr, "usage: bench_startup PROGRAM [RUNS]\n");
		return 2;
	}
	Display *d = XOpenDisplay(nullptr);
	int ev, er, maj, min;
	if (!d || !XTestQueryExtension(d, &ev, &er, &maj, &min)) {
		std::fprintf(stderr, "bench_startup: needs a display with XTest\n");
		return 1;
	}
	XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
	char self[4096];
	ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
	self[n > 0 ? n : 0] = 0;
	char *ours[] = {argv[1], nullptr}, *anchor[] = {self, (char *)"--bare", nullptr};
	int runs = argc > 2 ? std::atoi(argv[2]) : 10;
	double om = 1e9, od = 1e9, am = 1e9, ad = 1e9, m, t;
	for (int i = 0; i < runs; i++) {
		if (!one_run(d, ours, m, t))
			return std::fprintf(stderr, "bench_startup: %s did not map or quit\n", argv[1]), 1;
		om = std::min(om, m), od = std::min(od, t);
		if (!one_run(d, anchor, m, t))
			return std::fprintf(stderr, "bench_startup: the bare client failed\n"), 1;
		am = std::min(am, m), ad = std::min(ad, t);
	}
	std::printf("best of %d runs each\n", runs);
	std::printf("startup to a mapped window: ours %.1f ms, anchor %.1f ms, ratio %.1f (target -)\n",
		    om * 1e3, am * 1e3, om / am);
	std::printf("startup to exposed, answering: ours %.1f ms, anchor %.1f ms, ratio %.1f "
		    "(target -)\n", od * 1e3, ad * 1e3, od / ad);
	XCloseDisplay(d);
	return 0;
}
