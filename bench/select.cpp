// SELECT and SORT on a synthetic catalogue: 40 yearly files of 50,000
// events each (13 parts a year). SELECT is timed against `cat` of the same
// files, the I/O bound, with a warm cache; SORT on a full primary half.
//
//   bench_select [folder]   (default: a fresh folder under /tmp, removed after)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "catalog/select.h"
#include "catalog/sort.h"
#include "catalog/store.h"
#include "device/graph.h"
#include "device/seam.h"
#include "device/null.h"
#include "shell/setup.h"
#include "shell/shell.h"

using namespace tw;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int YEARS = 40, PER_YEAR = 50000, Y0 = 1950;

void record(unsigned char *b, int year, std::mt19937 &rng, int k)
{
	std::memset(b, 0, 16);
	b[0] = (unsigned char)(year - 1900);
	b[1] = 1 + k * 12 / PER_YEAR, b[2] = 1 + k % 28, b[3] = k % 24, b[4] = k % 60;
	int lon = (int)(rng() % 360) - 180, lat = (int)(rng() % 180) - 90;
	b[7] = (unsigned char)std::abs(lon), b[8] = (unsigned char)(rng() % 60 | (lon < 0 ? 128 : 0));
	b[10] = (unsigned char)std::abs(lat), b[11] = (unsigned char)(rng() % 60 | (lat < 0 ? 128 : 0));
	int dep = (int)(rng() % 7000);
	b[13] = dep & 0xff, b[14] = dep >> 8;
	b[15] = (unsigned char)(1 + rng() % 80);
}

// One year: parts of 4095 records, each ending in the marker of the next.
void write_year(const std::string &dir, int year, std::mt19937 &rng)
{
	char first[32];
	year_file(first, sizeof first, "BEN", year);
	std::vector<unsigned char> buf(SEGSIZE);
	for (int k = 0, part = 1; k < PER_YEAR; part++) {
		int n = std::min(SEGREC, PER_YEAR - k);
		std::memset(buf.data(), 0, 4);
		for (int i = 0; i < n; i++)
			record(&buf[4 + 16 * i], year, rng, k + i);
		k += n;
		int m = k < PER_YEAR ? 65536 - (part + 1) : M_END;
		buf[4 + 16 * n] = m & 0xff, buf[5 + 16 * n] = 0xff;
		char name[40];
		if (part == 1)
			std::snprintf(name, sizeof name, "%s", first);
		else
			part_file(name, sizeof name, first, part);
		for (char *p = name; *p; p++)
			*p = (char)std::tolower((unsigned char)*p);
		FILE *f = std::fopen((dir + "/" + name).c_str(), "wb");
		std::fwrite(buf.data(), 1, 6 + 16 * n, f);
		std::fclose(f);
	}
}

template <size_t N> void set(char (&s)[N], const char *v) { std::snprintf(s, N, "%s", v); }

void select_form()
{
	select_defaults();
	set(st.f2_s, "BEN");
	set(se.y1_s, "1950"), set(se.y2_s, "1989");
	set(se.m1_s, "01"), set(se.d1_s, "01"), set(se.m2_s, "12"), set(se.d2_s, "31");
	set(se.dst_s, "");
	set(se.so1_s, "120"), set(se.sew1_s, "E"), set(se.so2_s, "150"), set(se.sew2_s, "E");
	set(se.sa1_s, "20"), set(se.sns1_s, "N"), set(se.sa2_s, "50"), set(se.sns2_s, "N");
	set(se.mg1_s, "+6.0"), set(se.mg2_s, "+9.9");
}

double seconds_since(Clock::time_point t0)
{
	return std::chrono::duration<double>(Clock::now() - t0).count();
}

double time_cat(const std::string &dir)
{
	std::string cmd = "cat " + dir + "/* > /dev/null";
	auto t0 = Clock::now();
	if (std::system(cmd.c_str()) != 0)
		std::fprintf(stderr, "cat failed\n");
	return seconds_since(t0);
}

} // namespace

int main(int argc, char **argv)
{
	NullBackend nb;
	be = &nb;
	std::string dir = argc > 1 ? argv[1] : "";
	bool mine = dir.empty();
	if (mine) {
		char tmpl[] = "/tmp/twbenchXXXXXX";
		dir = mkdtemp(tmpl);
	}
	std::mt19937 rng(1);
	for (int y = 0; y < YEARS; y++)
		write_year(dir, Y0 + y, rng);

	reset_all();
	store_init();
	set(st.drv_s, dir.c_str());
	select_form();

	time_cat(dir); // warm the cache
	double cat = 1e9, sel = 1e9;
	int result = 0;
	for (int i = 0; i < 3; i++) {
		cat = std::min(cat, time_cat(dir));
		auto t0 = Clock::now();
		result = select_round();
		sel = std::min(sel, seconds_since(t0));
	}
	double recs = (double)YEARS * PER_YEAR;
	std::printf("SELECT: %d of %.0f events (result %d) in %.3f s, %.1f M records/s\n",
		    st.itot, recs, result, sel, recs / sel / 1e6);
	std::printf("cat of the same files: %.3f s; SELECT / cat = %.2f (target 3 or less)\n",
		    cat, sel / cat);

	// SORT: a full primary half by magnitude, then depth within magnitudes.
	int n = st.nmax;
	unsigned char r[16];
	for (int i = 0; i < n; i++) {
		record(r, 1990, rng, i % PER_YEAR);
		put_event(0, i, r);
	}
	st.itot = n;
	auto t0 = Clock::now();
	quicksort(n, IT_MAG, true);
	double q = seconds_since(t0);
	t0 = Clock::now();
	groupsort(n, IT_MAG, IT_DEP, false);
	double g = seconds_since(t0);
	std::printf("SORT of %d events: MAG quicksort %.3f s, DEP bubble sort in groups %.3f s\n",
		    n, q, g);
	if (mine)
		std::filesystem::remove_all(dir);
	return 0;
}
