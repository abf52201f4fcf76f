// Shared by the listing tests: a fresh program with a small store, event
// records built from readable values, and region tables written to a
// scratch auxiliary directory.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "catalog/store.h"
#include "device/screen.h"
#include "device/spool.h"
#include "events.h"
#include "files.h"
#include "listing/listing.h"
#include "listing/table.h"
#include "recording.h"
#include "shell/setup.h"
#include "shell/panel.h"

namespace tw {

using test::slurp;

// The Kobe earthquake of 1995: the listing tests' usual event.
inline Ev kobe() { return Ev(1995, 1, 17, 5, 46, 521).at(135.035, 34.598).dep(161).mag(72); }

// One event as a listing line.
inline std::string fields(const Ev &e)
{
	char out[128];
	evfields(out, sizeof out, e.b.data());
	return out;
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
		fresh_store(dir, 4);
		listing_reset();
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
