// MAP of Japan: the bundled JMA catalogue (13,724 events) over the fine
// coastline JAPAN, coded by depth (shape, colour) and magnitude (size).
//
// - hard copy (F1, through pshcopy and a stand-in lpr) against GMT drawing
//   the same picture: our coastline as text (-W lines, no land fill), the
//   same symbols, the same projection (Miller) and frame width; and against
//   GMT's own coastline (pscoast -Dh). CPU time, ours including the lpr
//   child and GMT's all its processes (the machine may be shared); best of
//   the same number of runs, taken in turns.
// - screen: X server CPU time per map, read from /proc/$XVFB_PID/stat while
//   the map is drawn N times (needs DISPLAY and XVFB_PID, see tests/xvfb.sh).
//
//   bench_map [source folder]   (default: the source tree)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "catalog/store.h"
#include "device/graph.h"
#include "device/null.h"
#include "device/ps.h"
#include "device/screen.h"
#include "device/seam.h"
#include "device/spool.h"
#include "device/x11/x11.h"
#include "maps/map.h"
#include "maps/symbols.h"
#include "shell/setup.h"
#include "shell/shell.h"

#include "common.h"

using namespace tw;
using bench::slurp;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int ROUNDS = 9, SCREEN_MAPS = 40, SCREEN_BLOCKS = 5;
constexpr double W = 128, E = 146, S = 25, N = 46;

// Wall and CPU seconds of one action, the CPU of its children included.
struct Cost {
	double wall = 1e9, cpu = 1e9;
	template <class F> void best_of(F f)
	{
		auto t = Clock::now();
		double c = bench::all_cpu();
		if (!f())
			return;
		cpu = std::min(cpu, bench::all_cpu() - c);
		wall = std::min(wall, std::chrono::duration<double>(Clock::now() - t).count());
	}
};

// Every record of every JMA file, in name order (which is time order).
int load_jma(const std::string &dataset)
{
	int n = 0;
	for (auto &name : bench::files_of(dataset, "jma")) {
		std::string b = slurp(name);
		for (size_t o = 4; o + 16 <= b.size() && n < st.nmax; o += 16)
			put_event(0, n++, (const unsigned char *)&b[o]);
	}
	st.itot = n;
	put_marker(0, n, M_END);
	return n;
}

// GMT's symbol for each of ours (by colour number), and the colours.
constexpr char GMT_SYMBOL[8] = {'c', 'x', 't', 'i', 'c', 's', 'd', '+'};
constexpr const char *GMT_RGB[8] = {"0/0/0",     "0/0/255",   "0/255/0",   "0/255/255",
				    "255/0/0",   "255/0/255", "255/255/0", "255/255/255"};

// The events as GMT reads them (lon lat depth size symbol, size in points
// as on the F1 page) and the depth classes as a colour table.
void write_events(const std::string &dir)
{
	FILE *f = std::fopen((dir + "/events.txt").c_str(), "w");
	Placed e;
	for (int i = 0; i < st.itot; i++)
		if (place_event(i, e))
			std::fprintf(f, "%.4f %.4f %.1f %.2f %c\n", e.lon, e.lat, e.dep,
				     2 * e.size * 440.0 / 400.0, GMT_SYMBOL[e.colour & 7]);
	std::fclose(f);
	f = std::fopen((dir + "/depth.cpt").c_str(), "w");
	for (int k = 0; k < se.ndp; k++)
		std::fprintf(f, "%d %s %d %s\n", k ? se.cdp[k] : -100, GMT_RGB[se.icd[k] & 7],
			     k + 1 < se.ndp ? se.cdp[k + 1] : 10000, GMT_RGB[se.icd[k] & 7]);
	std::fclose(f);
}

// Our coastline as GMT text: every polyline of japan.m (and its parts)
// whose box meets the map, every point of it.
struct MapFile {
	std::string b;
	size_t pos = 0;
	int u8() { return (unsigned char)b[pos++]; }
	int u16() { return pos += 2, (unsigned char)b[pos - 2] | (unsigned char)b[pos - 1] << 8; }
};

int write_coast(const std::string &aux, const std::string &dir)
{
	FILE *out = std::fopen((dir + "/coast.txt").c_str(), "w");
	std::string name = aux + "/japan.m";
	MapFile m{slurp(name)};
	bool fine = m.u8() == 'F';
	double s = fine ? 1000 : 100;
	int l0 = (short)m.u16(), lines = 0;
	auto val = [&] { return fine ? m.u16() : (short)m.u16(); };
	while (m.pos + 2 <= m.b.size()) {
		int code = m.u8(), flag = m.u8();
		if (code == 'X')
			break;
		if (code == 'Z') { // on in the next part: flag '2' appends, others replace
			if (flag == '2')
				name += '2';
			else
				name.back() = (char)flag;
			m = MapFile{slurp(name)};
			continue;
		}
		int n = flag == '2' ? m.u16() : m.u8();
		double la0 = val() / s, la1 = val() / s, lo0 = val() / s + l0, lo1 = val() / s + l0;
		bool in = la1 >= S && la0 <= N && std::max(lo0, lo1) >= W && std::min(lo0, lo1) <= E;
		if (in)
			std::fputs(">\n", out), lines++;
		for (int i = 0; i < n && m.pos + 4 <= m.b.size(); i++) {
			double la = val() / s, lo = val() / s + l0;
			if (in)
				std::fprintf(out, "%.3f %.3f\n", lo, la);
		}
	}
	std::fclose(out);
	return lines;
}

bool draw()
{
	clear(0);
	mf.ynmap = 1;
	if (!dmap("JAPAN", 0, nullptr))
		return false;
	int n = epicenters();
	gviewport(0, 0, 639, 399);
	legend("JAPAN", n);
	return true;
}

bool ours_hcopy(Backend &null)
{
	be = &null;
	lpinit();
	gr.psflag = 1;
	psinit();
	draw();
	pshcopy(1);
	gr.psflag = 0;
	return true;
}

long cpu_ticks(const char *pid)
{
	std::ifstream f(std::string("/proc/") + pid + "/stat");
	std::string s((std::istreambuf_iterator<char>(f)), {});
	size_t p = s.rfind(')');
	if (p == std::string::npos)
		return -1;
	long ut = 0, stt = 0;
	// After the name: state is field 3, utime and stime fields 14 and 15.
	std::sscanf(s.c_str() + p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %ld %ld", &ut, &stt);
	return ut + stt;
}

// X server CPU per map, in ms, the best of SCREEN_BLOCKS blocks of
// SCREEN_MAPS maps (other load on the machine reaches the X server too);
// -1 without a display or server pid.
double screen_cpu()
{
	const char *pid = std::getenv("XVFB_PID");
	if (!pid || !std::getenv("DISPLAY") || !(be = x11_open()))
		return -1;
	win_init();
	draw(); // colours, fonts and file cache warm
	x11_pixmap_rgb(be, 0, 0);
	long best = -1;
	for (int b = 0; b < SCREEN_BLOCKS; b++) {
		long t0 = cpu_ticks(pid);
		for (int i = 0; i < SCREEN_MAPS; i++) {
			draw();
			be->flush();
			x11_pixmap_rgb(be, 0, 0); // a round trip: the server has done it all
		}
		long t = cpu_ticks(pid) - t0;
		best = best < 0 || t < best ? t : best;
	}
	x11_close(be);
	be = nullptr;
	return best * 1000.0 / sysconf(_SC_CLK_TCK) / SCREEN_MAPS;
}

void setup(const std::string &aux)
{
	reset_all();
	store_init();
	std::snprintf(st.drvo_s, sizeof st.drvo_s, "%s", aux.c_str());
	dpmg_init();
	mf.b1 = W, mf.b2 = E, mf.a1 = S, mf.a2 = N;
	map_geometry();
	symbol_sizes();
}

// A stand-in lpr (true): the hard copy is timed up to handing the file to
// the spooler, not a printer.
void fake_lpr(const std::string &dir)
{
	fs::create_symlink("/bin/true", dir + "/lpr");
	setenv("PATH", (dir + ":" + std::getenv("PATH")).c_str(), 1);
}

} // namespace

int main(int argc, char **argv)
{
	std::string top = fs::absolute(argc > 1 ? argv[1] : SOURCE_DIR).string();
	std::string dir = fs::temp_directory_path() / ("bench_map." + std::to_string(getpid()));
	fs::create_directories(dir);
	if (chdir(dir.c_str()) != 0)
		return 1;
	fake_lpr(dir);
	setup(top + "/data/aux");
	int nev = load_jma(top + "/data/dataset");
	NullBackend null;
	be = &null;
	if (!nev || !draw()) {
		std::fprintf(stderr, "no JMA events or no japan.m under %s/data\n", top.c_str());
		return 1;
	}
	write_events(dir);
	int lines = write_coast(top + "/data/aux", dir);
	double width = (mf.kx1 - mf.kx0) * 440.0 / 400.0;
	char R[160];
	std::snprintf(R, sizeof R, "-R%g/%g/%g/%g -JJ%g/%.1fp", W, E, S, N, (W + E) / 2, width);
	std::string sym = std::string(" && gmt psxy events.txt ") + R +
			  " -S -Cdepth.cpt -W0.25p+cl -O --PROJ_LENGTH_UNIT=p >> gmt.ps";
	std::string ourcoast = "cd " + dir + " && gmt psxy coast.txt " + R + " -W0.25p -K > gmt.ps" + sym;
	std::string pscoast = "cd " + dir + " && gmt pscoast " + R + " -Dh -W0.25p -K > gmt.ps" + sym;
	bool gmt = std::system("gmt --version > /dev/null 2>&1") == 0;

	Cost ours, g1, g2;
	for (int i = 0; i < ROUNDS; i++) {
		ours.best_of([&] { return ours_hcopy(null); });
		if (gmt) {
			g1.best_of([&] { return std::system(ourcoast.c_str()) == 0; });
			g2.best_of([&] { return std::system(pscoast.c_str()) == 0; });
		}
	}
	long bytes = (long)fs::file_size(dir + "/seis.prn");
	double scr = screen_cpu();

	std::printf("map of Japan: %d JMA events, coastline JAPAN (%d polylines), best of %d\n", nev,
		    lines, ROUNDS);
	std::printf("hard copy: %ld bytes of PostScript; wall time ours %.2f ms, GMT %.2f and %.2f ms\n",
		    bytes, ours.wall * 1e3, g1.wall * 1e3, g2.wall * 1e3);
	if (gmt && g1.cpu < 1e9) {
		std::printf("map hard copy vs GMT on our coast: ours %.2f ms, anchor %.2f ms, ratio %.1f "
			    "(target anchor/ours >= 25)\n", ours.cpu * 1e3, g1.cpu * 1e3, g1.cpu / ours.cpu);
		std::printf("map hard copy vs GMT pscoast -Dh: ours %.2f ms, anchor %.2f ms, ratio %.1f "
			    "(target -)\n", ours.cpu * 1e3, g2.cpu * 1e3, g2.cpu / ours.cpu);
	} else {
		std::printf("map vs GMT: skipped, GMT not available (apt-get install gmt gmt-gshhg-low)\n");
	}
	if (scr >= 0)
		std::printf("screen: X server CPU per map %.2f ms (best of %d blocks of %d maps)\n", scr,
			    SCREEN_BLOCKS, SCREEN_MAPS);
	else
		std::printf("screen: skipped, needs DISPLAY and XVFB_PID\n");
	if (!std::getenv("BENCH_KEEP"))
		fs::remove_all(dir);
	return 0;
}
