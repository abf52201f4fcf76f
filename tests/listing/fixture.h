// Shared by the listing tests: a fresh program with a small store, event
// records built from readable values, and region tables written to a
// scratch auxiliary directory.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "catalog/store.h"
#include "device/screen.h"
#include "device/spool.h"
#include "listing/listing.h"
#include "recording.h"
#include "shell/setup.h"
#include "shell/shell.h"

namespace tw {

struct Ev {
	int year = 1995, mon = 1, day = 17, hour = 5, min = 46;
	double sec = 52.1, lon = 135.035, lat = 34.598;
	double dep = 16.1; // negative: undetermined
	double mag = 7.2;  // 0: undetermined
};

inline void put_coord(unsigned char *p, double v)
{
	long t = std::lround(std::fabs(v) * 3600);
	p[0] = (unsigned char)(t / 3600);
	p[1] = (unsigned char)((t % 3600) / 60 | (v < 0 ? 128 : 0));
	p[2] = (unsigned char)(t % 60);
}

inline void encode(unsigned char *r, const Ev &e)
{
	std::memset(r, 0, RECLEN);
	int y = e.year;
	r[0] = y >= 1900 && y <= 2054 ? y - 1900 : y >= 1800 && y < 1900 ? y - 1645 : 255;
	r[1] = e.mon, r[2] = e.day, r[3] = e.hour, r[4] = e.min;
	int s = (int)std::lround(e.sec * 10);
	r[5] = s & 255, r[6] = s >> 8;
	put_coord(r + 7, e.lon);
	put_coord(r + 10, e.lat);
	int d = e.dep < 0 ? 65535 : (int)std::lround(e.dep * 10);
	if (r[0] == 255)
		d = y;
	r[13] = d & 255, r[14] = d >> 8;
	int m = (int)std::lround(std::fabs(e.mag) * 10);
	r[15] = m ? (m | (e.mag < 0 ? 128 : 0)) : 0;
}

// The primary half filled with evs, ended like SELECT ends it.
inline void fill(const std::vector<Ev> &evs, int base = 0)
{
	unsigned char r[RECLEN];
	for (size_t i = 0; i < evs.size(); i++) {
		encode(r, evs[i]);
		put_event(base, (int)i, r);
	}
	put_marker(base, (int)evs.size(), M_END);
	if (base == 0)
		st.itot = (int)evs.size();
}

inline std::string screen_row(int r) { return std::string(scr.mz + r * NCOL, NCOL); }

inline std::string slurp(const std::string &path)
{
	std::ifstream f(path, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(f), {});
}

inline void spit(const std::string &path, const std::string &bytes)
{
	std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string name24(const std::string &s) { return (s + std::string(24, ' ')).substr(0, 24); }

// A recording display, a store of nseg segments, the SELECT defaults and
// a scratch directory (also HOME and the working directory).
struct ListingTest : ::testing::Test {
	Recording r;
	std::string dir, oldcwd, oldpath;

	void SetUp() override
	{
		char tmpl[] = "/tmp/tw-listing.XXXXXX";
		dir = mkdtemp(tmpl);
		char cwd[512];
		oldcwd = getcwd(cwd, sizeof cwd) ? cwd : "/";
		(void)!chdir(dir.c_str());
		setenv("HOME", dir.c_str(), 1);
		// A stand-in lpr keeps a copy of what it was handed.
		spit(dir + "/lpr", "#!/bin/sh\nfor a; do last=$a; done\ncp \"$last\" lpr.out\n");
		chmod((dir + "/lpr").c_str(), 0755);
		oldpath = std::getenv("PATH") ? std::getenv("PATH") : "";
		setenv("PATH", (dir + ":" + oldpath).c_str(), 1);
		use_recording(r);
		spool_reset();
		store_reset();
		settings_reset();
		select_defaults();
		listing_reset();
		segments(4);
		std::snprintf(sh.drvo_s, sizeof sh.drvo_s, "%s", dir.c_str());
	}
	void TearDown() override
	{
		(void)!chdir(oldcwd.c_str());
		setenv("PATH", oldpath.c_str(), 1);
		(void)!std::system(("rm -rf " + dir).c_str());
	}
	void segments(int n)
	{
		st.seglimit = n;
		int s = alloc_mem();
		st.nmax2 = (short)(s / 2 * SEGREC);
		st.nmax = (short)((s - s / 2) * SEGREC);
		st.itot = 0;
	}
	void japan_box()
	{
		std::strcpy(se.so1_s, "128"), std::strcpy(se.sew1_s, "E");
		std::strcpy(se.so2_s, "146"), std::strcpy(se.sew2_s, "E");
		std::strcpy(se.sa1_s, "30"), std::strcpy(se.sns1_s, "N");
		std::strcpy(se.sa2_s, "46"), std::strcpy(se.sns2_s, "N");
	}
	// Tiny tables: Japan row 51 (34.0-34.67 N) and 53 (35.33-36 N);
	// world rows -1, 0 and 34.
	void write_tables()
	{
		std::string jm = {51, 2, (char)130, 1, (char)135, 2, 53, 1, (char)138, 3};
		spit(dir + "/japan.mes", jm);
		spit(dir + "/japan.nam", name24("SOUTHWEST JAPAN") + name24("KINKI") +
						 name24("KANTO"));
		std::string wm = {-1, 1, 0, 0, 1, 0, 1, (char)0x88, (char)0xff, 2,
				  34, 1, 100, 0, 3};
		spit(dir + "/world.mes", wm);
		spit(dir + "/world.nam", name24("SOUTH OF EQUATOR") + name24("NORTH OF EQUATOR") +
						 name24("EAST ASIA"));
	}
};

} // namespace tw
