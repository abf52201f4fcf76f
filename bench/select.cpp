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
// Then the same at ten times the size: every year's records written ten
// times over (7.75 million records, in parts of 4095 as the catalogue
// keeps them) into a scratch data directory, under a query narrow enough
// (M 4.0 and over) that the store holds the whole result; it must be ten
// times the result over the real files. Anchor: the read floor over them.
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

// The records of a year's parts (its files in part order), repeated
// times over, written as parts of at most SEGREC records: a 4-byte header
// (count, part number), the records, then the marker leading to the next
// part or ending the file.
void write_repeated(const std::vector<std::string> &parts, const std::string &dir, int times)
{
	std::string recs;
	for (auto &name : parts) {
		std::string b = bench::slurp(name);
		for (size_t o = 4; o + RECLEN + 2 <= b.size() && (unsigned char)b[o + 1] != 255; o += RECLEN)
			recs.append(b, o, RECLEN);
	}
	std::string all;
	for (int i = 0; i < times; i++)
		all += recs;
	long total = (long)all.size() / RECLEN, nparts = (total + SEGREC - 1) / SEGREC;
	std::string first = fs::path(parts[0]).filename().string();
	for (long p = 1; p <= nparts; p++) {
		long n = std::min<long>(SEGREC, total - (p - 1) * SEGREC);
		int m = p == nparts ? M_END : 65536 - (int)(p + 1);
		unsigned char head[4] = {(unsigned char)n, (unsigned char)(n >> 8), (unsigned char)p,
					 (unsigned char)(p >> 8)};
		unsigned char mark[2] = {(unsigned char)m, (unsigned char)(m >> 8)};
		std::string name = dir + "/" + first + (p > 1 ? std::to_string(p) : "");
		FILE *f = std::fopen(name.c_str(), "wb");
		if (!f) // the comparison of results then shows it
			return;
		std::fwrite(head, 1, 4, f);
		std::fwrite(all.data() + (p - 1) * SEGREC * RECLEN, RECLEN, n, f);
		std::fwrite(mark, 1, 2, f);
		std::fclose(f);
	}
}

// Every catalogue year of files (first parts end in ".b") repeated.
std::vector<std::string> repeat_catalogue(const std::vector<std::string> &files, const std::string &dir,
					  int times)
{
	fs::create_directories(dir);
	for (size_t i = 0; i < files.size();) {
		size_t j = i + 1;
		while (j < files.size() && files[j].rfind(files[i], 0) == 0)
			j++;
		write_repeated({files.begin() + (long)i, files.begin() + (long)j}, dir, times);
		i = j;
	}
	return bench::files_of(dir, "ncedc");
}

struct Timed {
	double sel = 1e9, flo = 1e9;
	int result = 0, found = 0;
};

// Best of ROUNDS of the query over drv against the read floor of its files.
Timed select_vs_floor(const std::string &drv, const std::vector<std::string> &files, const char *mg1,
		      std::vector<char> &buf)
{
	Timed t;
	set(st.drv_s, drv.c_str());
	floor_read(files, buf); // warm the cache
	for (int i = 0; i < ROUNDS; i++) {
		query();
		set(se.mg1_s, mg1);
		double c = cpu();
		t.result = select_round();
		t.sel = std::min(t.sel, cpu() - c);
		t.found = st.itot;
		t.flo = std::min(t.flo, floor_read(files, buf));
	}
	return t;
}

void big_case(const std::vector<std::string> &files, const std::string &dataset, const std::string &dir,
	      std::vector<char> &buf)
{
	constexpr int TIMES = 10;
	Timed one = select_vs_floor(dataset, files, "+4.0", buf);
	auto big = repeat_catalogue(files, dir + "/x10", TIMES);
	Timed ten = select_vs_floor(dir + "/x10", big, "+4.0", buf);
	long recs = 0;
	for (auto &f : big)
		recs += ((long)fs::file_size(f) - 6) / RECLEN;
	std::printf("SELECT M4+ over %ld records in %zu files: %d events (result %d), %d x %d over the "
		    "real files: %s\n", recs, big.size(), ten.found, ten.result, TIMES, one.found,
		    ten.found == TIMES * one.found && ten.result == 0 ? "the same" : "DIFFERENT");
	std::printf("select 7.75M records vs read floor: ours %.2f ms, anchor %.2f ms, ratio %.2f "
		    "(target ours/anchor <= 2.5)\n", ten.sel * 1e3, ten.flo * 1e3, ten.sel / ten.flo);
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
	big_case(files, dataset, dir, buf);
	fs::remove_all(dir);
	return 0;
}
