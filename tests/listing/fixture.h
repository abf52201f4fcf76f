// Shared by the listing tests: a fresh program with a small store, the
// listing line of an event, and tiny region tables in a scratch directory.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "catalog/store.h"
#include "device/screen.h"
#include "device/spool.h"
#include "events.h"
#include "files.h"
#include "listing/listing.h"
#include "listing/table.h"
#include "recording.h"
#include "shell/panel.h"

namespace tw {

using test::slurp;

// The Kobe earthquake of 1995: the listing tests' usual event.
inline Ev kobe() { return Ev(1995, 1, 17, 5, 46, 521).at(135.035, 34.598).dep(161).mag(72); }

inline std::string fields(const Ev &e)
{
	char out[128];
	evfields(out, sizeof out, e.b.data());
	return out;
}

inline std::string screen_row(int r) { return std::string(scr.mz + r * NCOL, NCOL); }
inline std::string name24(const std::string &s) { return (s + std::string(24, ' ')).substr(0, 24); }

// A recording display, a store of four segments and a scratch directory
// (working and auxiliary) with a stand-in lpr.
struct ListingTest : ::testing::Test {
	Recording r;
	test::PrintPlace place;
	std::string dir = place.d.path;

	void SetUp() override
	{
		use_recording(r);
		spool_reset();
		fresh_store(dir, 4);
		listing_reset();
	}
	bool shows(const std::string &text) { return r.texts().find(text) != std::string::npos; }
	void type(const std::string &s)
	{
		for (char c : s)
			r.ch(c);
	}
	// World tables of one row (34 N) and one name.
	void write_tables()
	{
		test::write_file(dir + "/world.mes", {34, 1, 100, 0, 1});
		test::write_file(dir + "/world.nam", name24("EAST ASIA"));
	}
};

} // namespace tw
