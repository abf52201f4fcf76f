// The retrieval server on loopback. A full SELECT of 16,380 events through
// tarnwell-server is timed against the same SELECT from local files; then
// 50 client processes send 20 requests each at once (event and file
// requests alternately): requests per second, the slowest request, and
// the failures, which should be none.
//
//   bench_server
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "catalog/select.h"
#include "catalog/server_client.h"
#include "catalog/store.h"
#include "dataset.h"
#include "peer.h"
#include "recording.h"
#include "shell/setup.h"
#include "shell/panel.h"

using namespace tw;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int Y0 = 2000, YEARS = 5, PER_YEAR = 4000; // 20,000 events: the store fills
constexpr int CLIENTS = 50, REQUESTS = 20, ROUNDS = 10;

void make_data(const TempDir &d)
{
	for (int y = Y0; y < Y0 + YEARS; y++) {
		std::vector<Ev> evs;
		for (int k = 0; k < PER_YEAR; k++)
			evs.push_back(Ev(y, 1 + k * 12 / PER_YEAR, 1 + k % 28, k % 24, k % 60)
					      .lon(100 + k % 80, k % 60)
					      .lat(k % 60, k % 60)
					      .dep(k % 7000)
					      .mag(10 + k % 80));
		char name[16];
		std::snprintf(name, sizeof name, "big%03d.b", y - 2000);
		d.write(name, evs);
	}
	d.text("regions", "NWPAC 120 E 180 E 00 N 60 N\n");
}

void form()
{
	auto set = [](char *s, size_t n, const char *v) { std::snprintf(s, n, "%s", v); };
	set(st.f2_s, sizeof st.f2_s, "BIG");
	set(se.y1_s, sizeof se.y1_s, "2000"), set(se.y2_s, sizeof se.y2_s, "2004");
	set(se.dst_s, sizeof se.dst_s, "");
	set(se.so1_s, sizeof se.so1_s, "000"), set(se.so2_s, sizeof se.so2_s, "000");
	set(se.sa1_s, sizeof se.sa1_s, "90"), set(se.sns1_s, sizeof se.sns1_s, "S");
	set(se.sa2_s, sizeof se.sa2_s, "90");
	set(se.mg1_s, sizeof se.mg1_s, "-9.9");
}

// Best time of ROUNDS selections with the data directory given, in ms.
double select_ms(const TempDir &d, const std::string &drv, int &itot)
{
	double best = 1e9;
	for (int i = 0; i < ROUNDS; i++) {
		fresh_store(d.path);
		std::snprintf(st.drv_s, sizeof st.drv_s, "%s", drv.c_str());
		form();
		auto t0 = Clock::now();
		int r = select_round();
		double ms = std::chrono::duration<double, std::milli>(Clock::now() - t0).count();
		if (r != 2)
			std::printf("  unexpected result %d: %s\n", r, pn.em_s);
		best = ms < best ? ms : best;
		itot = st.itot;
	}
	return best;
}

// One client process: its failures and its slowest request (us), written
// to the pipe.
[[noreturn]] void client(const TempDir &d, const std::string &at, int id, int out)
{
	Recording r;
	use_recording(r);
	fresh_store(d.path);
	form();
	std::snprintf(st.drvo_s, sizeof st.drvo_s, "%s", at.c_str());
	st.iyy1 = Y0, st.iyy2 = Y0 + YEARS - 1, st.lo2 = b360, st.la1 = -23040, st.la2 = 23040;
	st.ih2 = 99999, st.m1 = -99, st.m2 = 99;
	long fails = 0, slowest = 0;
	for (int i = 0; i < REQUESTS; i++) {
		auto t0 = Clock::now();
		bool ok;
		if ((i + id) % 2) {
			ok = rbload(st.iseg[workseg()], 0, "regions") == 28;
		} else {
			st.itot = 0;
			ok = open_server(at.c_str() + 1) && retrv_server("BIG", st.itot, Y0 + i % YEARS) == 1 &&
			     st.itot == PER_YEAR;
			close_server();
		}
		long us = (long)std::chrono::duration<double, std::micro>(Clock::now() - t0).count();
		fails += !ok;
		slowest = us > slowest ? us : slowest;
	}
	long res[2] = {fails, slowest};
	if (write(out, res, sizeof res) < 0)
		_exit(2);
	_exit(0);
}

void load_run(const TempDir &d, const std::string &at)
{
	int p[2];
	if (pipe(p))
		return;
	auto t0 = Clock::now();
	pid_t pids[CLIENTS];
	for (int c = 0; c < CLIENTS; c++)
		if ((pids[c] = fork()) == 0)
			client(d, at, c, p[1]);
	close(p[1]);
	long fails = 0, slowest = 0, res[2];
	int reports = 0;
	while (read(p[0], res, sizeof res) == sizeof res) {
		fails += res[0], reports++;
		slowest = res[1] > slowest ? res[1] : slowest;
	}
	for (pid_t pid : pids) // the server is a child too: not any child
		waitpid(pid, nullptr, 0);
	double s = std::chrono::duration<double>(Clock::now() - t0).count();
	fails += (long)(CLIENTS - reports) * REQUESTS; // a client that died failed all
	std::printf("load: %d clients x %d requests in %.3f s: %.0f requests/s, slowest %.1f ms, "
		    "%ld failures\n", CLIENTS, REQUESTS, s, CLIENTS * REQUESTS / s, slowest / 1000.0, fails);
}

} // namespace

int main()
{
	setvbuf(stdout, nullptr, _IOLBF, 0);
	TempDir d;
	make_data(d);
	ServerProc srv;
	if (!srv.start(d.path, d.path)) {
		std::printf("tarnwell-server did not start\n");
		return 1;
	}
	Recording r;
	use_recording(r);
	int nl = 0, ns = 0;
	double local = select_ms(d, d.path, nl);
	double remote = select_ms(d, srv.at(), ns);
	std::printf("select: %d events local %.2f ms, %d through the server %.2f ms, ratio %.1f\n",
		    nl, local, ns, remote, remote / local);
	load_run(d, srv.at());
	return srv.stop() == 0 ? 0 : 1;
}
