// Shared by the listing tests: a fresh program with a small store, event
// records built from readable values, and region tables written to a
// scratch auxiliary directory.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "catalog/store.h"
#include "device/screen.h"
#include "device/spool.h"
#include "files.h"
#include "listing/listing.h"
#include "listing/table.h"
#include "recording.h"
#include "shell/panel.h"
#include "shell/setup.h"

namespace tw {

using test::slurp;

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
	int d = r[0] == 255 ? y : e.dep < 0 ? 65535 : (int)std::lround(e.dep * 10);
	r[13] = d & 255, r[14] = d >> 8;
	int m = (int)std::lround(std::fabs(e.mag) * 10);
	r[15] = m ? (m | (e.mag < 0 ? 128 : 0)) : 0;
}

// One event as a listing line.
inline std::string fields(const Ev &e)
{
	unsigned char rec[RECLEN];
	encode(rec, e);
	char out[128];
	evfields(out, sizeof out, rec);
	return out;
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
inline std::string name24(const std::string &s) { return (s + std::string(24, ' ')).substr(0, 24); }

// A recording display, a store of nseg segments, the SELECT defaults and
// a scratch directory (also HOME and the working directory) with a
// stand-in lpr.
struct ListingTest : ::testing::Test {
	Recording r;
	test::PrintPlace place;
	std::string dir = place.d.path;
	test::SetEnv home{"HOME", dir.c_str()};

	void SetUp() override
	{
		use_recording(r);
		spool_reset();
		store_reset();
		settings_reset();
		select_defaults();
		listing_reset();
		segments(4);
		std::snprintf(st.drvo_s, sizeof st.drvo_s, "%s", dir.c_str());
	}
	void segments(int n)
	{
		store_init(n);
	}
	void japan_box()
	{
		std::strcpy(se.so1_s, "128"), std::strcpy(se.sew1_s, "E");
		std::strcpy(se.so2_s, "146"), std::strcpy(se.sew2_s, "E");
		std::strcpy(se.sa1_s, "30"), std::strcpy(se.sns1_s, "N");
		std::strcpy(se.sa2_s, "46"), std::strcpy(se.sns2_s, "N");
	}
	bool shows(const std::string &text) { return r.texts().find(text) != std::string::npos; }
	// Tiny tables: Japan row 51 (34.0-34.67 N) and 53 (35.33-36 N);
	// world rows -1, 0 and 34.
	void write_tables()
	{
		test::write_file(dir + "/japan.mes", {51, 2, (char)130, 1, (char)135, 2, 53, 1, (char)138, 3});
		test::write_file(dir + "/japan.nam", name24("SOUTHWEST JAPAN") + name24("KINKI") + name24("KANTO"));
		test::write_file(dir + "/world.mes", {-1, 1, 0, 0, 1, 0, 1, (char)0x88, (char)0xff, 2, 34, 1, 100, 0, 3});
		test::write_file(dir + "/world.nam", name24("SOUTH OF EQUATOR") + name24("NORTH OF EQUATOR") +
							     name24("EAST ASIA"));
	}
};

} // namespace tw
