// The retrieval server on loopback. SELECT of a real query over the bundled
// NCEDC catalogue (1984-2023, 209 files) through tarnwell-server is timed
// in CPU (this process and every thread of the server) against the same
// SELECT from the files in this process, the anchor; the selected events
// must be the same. Then 50 client processes send 20 requests each at
// once (event and file requests alternately): requests per second, the
// slowest request, and the failures, which should be none.
//
//   bench_server [tarnwell-server]   (another build of the server to compare)
#include <algorithm>
#include <chrono>
#include <csignal>
#include <ctime>
#include <dirent.h>
#include <fstream>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "catalog/select.h"
#include "catalog/server_client.h"
#include "catalog/store.h"
#include "events.h"
#include "peer.h"
#include "recording.h"
#include "shell/setup.h"
#include "shell/panel.h"

using namespace tw;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int Y0 = 2000, YEARS = 5, PER_YEAR = 4000; // 20,000 events: the store fills
constexpr int CLIENTS = 50, REQUESTS = 20;
// Local and server selections alternate in blocks, and each side keeps its
// best block: a burst of other load on the machine then hits one block of
// either side, not the whole of one side.
constexpr int BLOCKS = 5, ROUNDS = 6;

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

template <size_t N> void set(char (&s)[N], const char *v) { std::snprintf(s, N, "%s", v); }

// The load run's form: everything of BIG's five years.
void form()
{
	set(st.f2_s, "BIG");
	set(se.y1_s, "2000"), set(se.y2_s, "2004");
	set(se.dst_s, "");
	set(se.so1_s, "000"), set(se.so2_s, "000");
	set(se.sa1_s, "90"), set(se.sns1_s, "S");
	set(se.sa2_s, "90");
	set(se.mg1_s, "-9.9");
}

// Northern California, magnitude 3 and above, every year of NCEDC.
void ncedc_form()
{
	select_defaults();
	set(st.f2_s, "NCEDC");
	set(se.y1_s, "1984"), set(se.y2_s, "2023");
	set(se.m1_s, "01"), set(se.d1_s, "01"), set(se.m2_s, "12"), set(se.d2_s, "31");
	set(se.dst_s, "");
	set(se.so1_s, "125"), set(se.sew1_s, "W"), set(se.so2_s, "118"), set(se.sew2_s, "W");
	set(se.sa1_s, "36"), set(se.sns1_s, "N"), set(se.sa2_s, "42"), set(se.sns2_s, "N");
	set(se.dp1_s, "0"), set(se.dp2_s, "999.9");
	set(se.mg1_s, "+3.0"), set(se.mg2_s, "+9.9");
}

double cpu_self()
{
	timespec t;
	clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
	return t.tv_sec + t.tv_nsec / 1e9;
}

// CPU of a process: every thread, from the scheduler's ns counters, and
// the children it has reaped (a server that forks), in clock ticks.
double cpu_of(int pid)
{
	std::string dir = "/proc/" + std::to_string(pid);
	double s = 0;
	DIR *d = opendir((dir + "/task").c_str());
	while (dirent *e = d ? readdir(d) : nullptr) {
		std::ifstream f(dir + "/task/" + e->d_name + "/schedstat");
		double ns = 0;
		if (f >> ns)
			s += ns / 1e9;
	}
	if (d)
		closedir(d);
	std::ifstream f(dir + "/stat");
	std::string w;
	double ticks = 0, v;
	for (int i = 1; i <= 17 && f >> w; i++)
		if (i >= 16 && std::sscanf(w.c_str(), "%lf", &v) == 1)
			ticks += v;
	return s + ticks / (double)sysconf(_SC_CLK_TCK);
}

// Mean CPU time in ms of ROUNDS NCEDC selections from drv (the server at
// pid counted too: the client alone would flatter it, and its share in
// server_ms); the events of the last, for the comparison.
double ncedc_ms(const std::string &drv, int pid, std::vector<unsigned char> &events, double *server_ms = nullptr)
{
	// Read once around all rounds: reading /proc costs CPU of its own.
	auto cpu = [pid] { return cpu_self() + (pid > 0 ? cpu_of(pid) : 0); };
	double p0 = pid > 0 ? cpu_of(pid) : 0;
	double t0 = cpu();
	for (int i = 0; i < ROUNDS; i++) {
		fresh_store(drv);
		ncedc_form();
		if (int r = select_round())
			std::printf("  unexpected result %d: %s\n", r, pn.em_s);
	}
	double sum = cpu() - t0;
	if (server_ms)
		*server_ms = (cpu_of(pid) - p0) * 1000 / ROUNDS;
	events.clear();
	for (int i = 0; i < st.itot; i++)
		events.insert(events.end(), event(i), event(i) + RECLEN);
	return sum * 1000 / ROUNDS;
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

int main(int argc, char **argv)
{
	setvbuf(stdout, nullptr, _IOLBF, 0);
	// Output cut short (| head) must not kill us before the servers stop.
	signal(SIGPIPE, SIG_IGN);
	const char *bin = argc > 1 ? argv[1] : TARNWELL_SERVER;
	TempDir d;
	make_data(d);
	std::string ncedc = SOURCE_DIR "/data/dataset";
	ServerProc big, real;
	if (!big.start(d.path, d.path, {}, bin) || !real.start(ncedc, d.path, {}, bin)) {
		std::printf("tarnwell-server did not start\n");
		return 1;
	}
	Recording r;
	use_recording(r);
	std::vector<unsigned char> here, there;
	double local = 1e9, remote = 1e9, served = 0;
	for (int b = 0; b < BLOCKS; b++) {
		local = std::min(local, ncedc_ms(ncedc, -1, here));
		double s, t = ncedc_ms(real.at(), real.pid, there, &s);
		if (t < remote)
			remote = t, served = s;
	}
	std::printf("  best of %d alternating blocks of %d selections each; of the server's best, its "
		    "threads: %.2f ms\n", BLOCKS, ROUNDS, served);
	std::printf("  %zu events from local files, %zu through the server: %s\n", here.size() / RECLEN,
		    there.size() / RECLEN, here == there ? "the same" : "DIFFERENT");
	std::printf("server SELECT NCEDC 1984-2023 M3+ (CPU, anchor: local): ours %.2f ms, anchor %.2f ms, "
		    "ratio %.2f (target under 2)\n", remote, local, remote / local);
	load_run(d, big.at());
	return big.stop() == 0 && real.stop() == 0 && here == there ? 0 : 1;
}
