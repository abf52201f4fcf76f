// SELECT of a real query over the bundled NCEDC catalogue (775k records in
// 209 files): Northern California 123-121 W, 36-39 N, depth 0-20 km,
// M 3.0 and over, 1984-2023. Anchors, all over the same files and events:
// - the floor: this process opening and reading every file into one reused
//   buffer;
// - cat of the files to /dev/null;
// - gmt select of the same events as text (lon lat depth mag), what a user
//   would run instead.
// CPU time (the process's own, or its children's for cat and GMT), best of
// 5, taken in turns.
//
//   bench_select [source folder]   (default: the source tree)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "catalog/select.h"
#include "catalog/store.h"
#include "device/null.h"
#include "device/seam.h"
#include "shell/setup.h"
#include "shell/shell.h"

#include "common.h"

using namespace tw;
using bench::children_cpu;
using bench::cpu;
namespace fs = std::filesystem;

namespace {

constexpr int ROUNDS = 5;

template <size_t N> void set(char (&s)[N], const char *v) { std::snprintf(s, N, "%s", v); }

void query()
{
	select_defaults();
	set(st.f2_s, "NCEDC");
	set(se.y1_s, "1984"), set(se.y2_s, "2023");
	set(se.dst_s, "");
	set(se.so1_s, "123"), set(se.sew1_s, "W"), set(se.so2_s, "121"), set(se.sew2_s, "W");
	set(se.sa1_s, "36"), set(se.sns1_s, "N"), set(se.sa2_s, "39"), set(se.sns2_s, "N");
	set(se.dp1_s, "000.0"), set(se.dp2_s, "020.0");
	set(se.mg1_s, "+3.0"), set(se.mg2_s, "+9.9");
	set(se.ynh_s, "N"), set(se.ynm_s, "N"); // only known depths and magnitudes, as in GMT
}

double floor_read(const std::vector<std::string> &files, std::vector<char> &buf)
{
	double t = cpu();
	long total = 0;
	for (auto &name : files) {
		FILE *f = std::fopen(name.c_str(), "rb");
		if (!f)
			continue;
		total += (long)std::fread(buf.data(), 1, buf.size(), f);
		std::fclose(f);
	}
	if (total <= 0)
		std::fprintf(stderr, "nothing read\n");
	return cpu() - t;
}

double external(const std::string &cmd)
{
	double t = children_cpu();
	if (std::system(cmd.c_str()) != 0)
		return -1;
	return children_cpu() - t;
}

// Every event of the files as "lon lat depth mag", the columns GMT filters.
long write_text(const std::vector<std::string> &files, const std::string &out)
{
	FILE *o = std::fopen(out.c_str(), "w");
	long n = 0;
	std::vector<unsigned char> b(65536);
	for (auto &name : files) {
		FILE *f = std::fopen(name.c_str(), "rb");
		size_t len = f ? std::fread(b.data(), 1, b.size(), f) : 0;
		if (f)
			std::fclose(f);
		for (size_t o2 = 4; o2 + 16 + 2 <= len; o2 += 16, n++) {
			const unsigned char *r = &b[o2];
			std::fprintf(o, "%.4f %.4f %.1f %.1f\n", bin2deg(7, r), bin2deg(10, r),
				     qeek(13, r) / 10.0, rec_mag(r));
		}
	}
	std::fclose(o);
	return n;
}

} // namespace

int main(int argc, char **argv)
{
	NullBackend nb;
	be = &nb;
	std::string top = argc > 1 ? argv[1] : SOURCE_DIR, dataset = top + "/data/dataset";
	auto files = bench::files_of(dataset, "ncedc");
	std::string dir = fs::temp_directory_path() / ("bench_select." + std::to_string(getpid()));
	fs::create_directories(dir);
	long events = write_text(files, dir + "/ncedc.txt");
	std::string cat = "cat", gmt = "cd " + dir + " && gmt select ncedc.txt -R-123/-121/36/39 "
						 "-Z0/20+c2 -Z3/9.9+c3 > out.txt";
	for (auto &f : files)
		cat += " " + f;
	cat += " > /dev/null";
	bool have_gmt = std::system("gmt --version > /dev/null 2>&1") == 0;

	reset_all();
	store_init();
	set(st.drv_s, dataset.c_str());
	query();
	std::vector<char> buf(1 << 17);
	floor_read(files, buf); // warm the cache
	double sel = 1e9, flo = 1e9, ct = 1e9, gm = 1e9;
	int result = 0;
	for (int i = 0; i < ROUNDS; i++) {
		double t = cpu();
		result = select_round();
		sel = std::min(sel, cpu() - t);
		flo = std::min(flo, floor_read(files, buf));
		ct = std::min(ct, external(cat));
		if (have_gmt)
			gm = std::min(gm, external(gmt));
	}
	std::printf("SELECT NCEDC query: %d of %ld events from %zu files (result %d), ours %.2f ms\n",
		    st.itot, events, files.size(), result, sel * 1e3);
	std::printf("select NCEDC vs read floor: ours %.2f ms, anchor %.2f ms, ratio %.2f "
		    "(target ours/anchor <= 2.5)\n", sel * 1e3, flo * 1e3, sel / flo);
	std::printf("select NCEDC vs cat: ours %.2f ms, anchor %.2f ms, ratio %.2f (target -)\n",
		    sel * 1e3, ct * 1e3, sel / ct);
	if (have_gmt) {
		long n = 0;
		if (FILE *f = std::fopen((dir + "/out.txt").c_str(), "r")) {
			for (int c; (c = std::fgetc(f)) != EOF;)
				n += c == '\n';
			std::fclose(f);
		}
		std::printf("gmt select finds %ld events\n", n);
		std::printf("select NCEDC vs gmt select: ours %.2f ms, anchor %.2f ms, ratio %.3f "
			    "(target -)\n", sel * 1e3, gm * 1e3, sel / gm);
	} else {
		std::printf("select vs gmt select: skipped, GMT not available\n");
	}
	fs::remove_all(dir);
	return 0;
}
