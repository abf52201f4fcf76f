// MAP of Japan with the bundled fine coastline (JAPAN) and 16,380 events:
// on the screen (needs DISPLAY, e.g. Xvfb) and as PostScript, against GMT
// drawing the same events over its own high-resolution coastline to
// PostScript (pscoast + psxy). Prints the best of several runs of each (the
// machine is shared) and the ratio.
//
//   bench_map [aux folder]   (default: data/aux of the source tree)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>

#include "catalog/store.h"
#include "device/graph.h"
#include "device/ps.h"
#include "device/screen.h"
#include "device/seam.h"
#include "device/spool.h"
#include "device/x11/x11.h"
#include "device/null.h"
#include "maps/map.h"
#include "shell/setup.h"
#include "shell/shell.h"

using namespace tw;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int NEV = 16380, ROUNDS = 10;
constexpr double W = 128, E = 146, S = 25, N = 46;

double secs(Clock::time_point a) { return std::chrono::duration<double>(Clock::now() - a).count(); }

void angle(unsigned char *p, double v)
{
	double a = v < 0 ? -v : v;
	int d = (int)a, m = (int)((a - d) * 60);
	p[0] = (unsigned char)d, p[1] = (unsigned char)(m | (v < 0 ? 128 : 0));
	p[2] = (unsigned char)(((a - d) * 60 - m) * 60);
}

// Events spread over the box, depths 0-700 km, magnitudes 0-8; the same
// positions go to GMT as text.
void make_events(const std::string &txt)
{
	std::mt19937 rng(7);
	std::uniform_real_distribution<double> lon(W, E), la(S, N), dep(0, 700), mag(0.1, 8);
	FILE *f = std::fopen(txt.c_str(), "w");
	for (int i = 0; i < NEV; i++) {
		unsigned char *r = evslot(0, i);
		std::memset(r, 0, 16);
		r[0] = 95, r[1] = 1, r[2] = 1;
		double x = lon(rng), y = la(rng);
		angle(r + 7, x), angle(r + 10, y);
		int d = (int)(dep(rng) * 10);
		r[13] = (unsigned char)(d & 255), r[14] = (unsigned char)(d >> 8);
		r[15] = (unsigned char)(mag(rng) * 10);
		std::fprintf(f, "%.4f %.4f\n", x, y);
	}
	std::fclose(f);
	st.itot = NEV;
	put_marker(0, NEV, M_END);
}

int base_map = 1; // 0: frame, events and legend only

bool draw()
{
	clear(0);
	mf.ynmap = (short)base_map;
	if (!dmap("JAPAN", 0, nullptr))
		return false;
	int n = epicenters();
	gviewport(0, 0, 639, 399);
	legend("JAPAN", n);
	return true;
}

double screen_time()
{
	if (!std::getenv("DISPLAY") || !(be = x11_open()))
		return -1;
	win_init();
	draw(); // warm the file cache and the colours
	double s = 1e9;
	for (int i = 0; i < ROUNDS; i++) {
		auto t = Clock::now();
		draw();
		x11_pixmap_rgb(be, 0, 0); // a round trip: the server has drawn it all
		s = std::min(s, secs(t));
	}
	x11_close(be);
	be = nullptr;
	return s;
}

double ps_time(Backend &null)
{
	be = &null;
	double s = 1e9;
	for (int i = 0; i < ROUNDS; i++) {
		auto t = Clock::now();
		lpinit();
		gr.psflag = 1;
		psinit();
		draw();
		psterm();
		pfile_close();
		gr.psflag = 0;
		s = std::min(s, secs(t));
	}
	return s;
}

double gmt_time(const std::string &dir)
{
	std::string cmd = "cd " + dir + " && gmt pscoast -R128/146/25/46 -JM12c -Dh -W0.25p -Gwhite "
			  "-K > gmt.ps && gmt psxy events.txt -R -J -Sc0.08c -W0.25p -O >> gmt.ps";
	double s = 1e9;
	for (int i = 0; i < 3; i++) {
		auto t = Clock::now();
		if (std::system(cmd.c_str()) != 0)
			return -1;
		s = std::min(s, secs(t));
	}
	return s;
}

} // namespace

int main(int argc, char **argv)
{
	std::string aux = argc > 1 ? argv[1] : std::string(SOURCE_DIR) + "/data/aux";
	aux = std::filesystem::absolute(aux).string();
	std::string dir = std::filesystem::temp_directory_path() / ("bench_map." + std::to_string(getpid()));
	std::filesystem::create_directories(dir);
	if (chdir(dir.c_str()) != 0)
		return 1;
	reset_all();
	store_init();
	std::snprintf(st.drvo_s, sizeof st.drvo_s, "%s", aux.c_str());
	dpmg_init();
	mf.b1 = W, mf.b2 = E, mf.a1 = S, mf.a2 = N;
	map_geometry();
	symbol_sizes();
	make_events(dir + "/events.txt");

	NullBackend null;
	be = &null;
	if (!draw()) {
		std::fprintf(stderr, "cannot load japan.m from %s\n", aux.c_str());
		return 1;
	}
	double scr = screen_time();
	base_map = 0;
	double ps_events = ps_time(null);
	base_map = 1;
	double ps = ps_time(null);
	long psbytes = (long)std::filesystem::file_size(dir + "/seis.prn");
	double gmt = gmt_time(dir);

	std::printf("map of Japan, %d events, base map JAPAN (%s)\n", NEV, aux.c_str());
	if (scr >= 0)
		std::printf("screen (X11):        %8.4f s\n", scr);
	else
		std::printf("screen (X11):        no display\n");
	std::printf("PostScript:          %8.4f s  (%ld bytes; without the base map %.4f s)\n", ps,
		    psbytes, ps_events);
	if (gmt >= 0) {
		std::printf("GMT pscoast + psxy:  %8.4f s  (%ld bytes)\n", gmt,
			    (long)std::filesystem::file_size(dir + "/gmt.ps"));
		std::printf("ratio GMT / PostScript: %.1fx (target: at least 10x)\n", gmt / ps);
	} else {
		std::printf("GMT: not available (apt-get install gmt gmt-gshhg-low)\n");
	}
	std::filesystem::remove_all(dir);
	return 0;
}
