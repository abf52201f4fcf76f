// Shared by the listing tests: a fresh program with a small store in a
// scratch directory (working and auxiliary) with a stand-in lpr.
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

namespace tw {

inline std::string screen_row(int r) { return std::string(scr.mz + r * NCOL, NCOL); }
inline std::string name24(const std::string &s) { return (s + std::string(24, ' ')).substr(0, 24); }

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
};

} // namespace tw
