// The MAP command driven through its panels with scripted keys.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <tuple>

#include "device/graph.h"
#include "mapdata.h"
#include "shell/panel.h"

using namespace tw;

namespace {

struct MapFlow : MapTest {
	void SetUp() override
	{
		MapTest::SetUp();
		area("120 00 E 150 00 E 20 00 N 50 00 N");
		se.dst_s[0] = 0;
		std::snprintf(se.mps_s, sizeof se.mps_s, "T");
		MapFile f;
		f.header('F', 100).line('C', {{35, 135}, {36, 136}}).x();
		f.write(path("t.m"));
		add_event(135, 35, 10, 5);
	}
	// The SELECT box as twelve words: degrees, minutes, letter, twice for
	// longitude, then twice for latitude.
	void area(const std::string &words)
	{
		std::istringstream in(words);
		auto next = [&in](auto &field) {
			std::string w;
			in >> w;
			std::snprintf(field, sizeof field, "%s", w.c_str());
		};
		next(se.so1_s), next(se.som1_s), next(se.sew1_s), next(se.so2_s), next(se.som2_s);
		next(se.sew2_s), next(se.sa1_s), next(se.sam1_s), next(se.sns1_s), next(se.sa2_s);
		next(se.sam2_s), next(se.sns2_s);
	}
	// The panel as it stands, then Enter and F3: what MAP answered.
	int enter_then_quit()
	{
		enter();
		r.key(KS_F1 + 2);
		return map();
	}
};

} // namespace

// Each refused panel says why; a refused box draws no frame.
TEST_F(MapFlow, RefusedPanels)
{
	test::write_file(path("regions"), "KANTO 138 E 141 E 34 N 37 N\n");
	const struct {
		const char *box, *region, *dataset, *message;
		bool no_frame = true; // refused before the frame is drawn
	} cases[] = {
		{"120 00 E 150 00 E 40 00 N 30 00 N", "", "T",
		 "The second latitude should be in the north of the first!"},
		{"120 00 E 150 00 E 30 00 N 30 00 N", "", "T", // no height
		 "The second latitude should be in the north of the first!"},
		{"200 00 E 150 00 E 20 00 N 50 00 N", "", "T", "Longitude values should not exceed 180 degrees!"},
		{"120 00 E 150 00 E 20 00 N 50 00 N", "NOWHERE", "T", "Invalid region name!"},
		{"120 00 E 150 00 E 20 00 N 50 00 N", "", "NONE", "none.m' does not exist!", false},
	};
	for (const auto &c : cases) {
		r.calls.clear();
		area(c.box);
		std::snprintf(se.dst_s, sizeof se.dst_s, "%s", c.region);
		std::snprintf(se.mps_s, sizeof se.mps_s, "%s", c.dataset);
		EXPECT_EQ(enter_then_quit(), 0);
		EXPECT_TRUE(shows(c.message)) << r.texts();
		EXPECT_NE(framed(), c.no_frame) << c.message;
	}
}

// 180 E to 180 W is a full turn from the date line, as equal longitudes
// are: a frame of no width would divide by zero. A region across the date
// line wraps the same way.
TEST_F(MapFlow, DateLineBoxesWrap)
{
	test::write_file(path("regions"), "KANTO 138 E 141 E 34 N 37 N\nWRAP 170 E 170 W 30 N 60 N\n");
	area("180 00 E 180 00 W 20 00 N 50 00 N");
	for (auto [region, b1, b2] : {std::tuple{"", 180, 540}, {"WRAP", 170, 190}}) {
		r.calls.clear();
		std::snprintf(se.dst_s, sizeof se.dst_s, "%s", region);
		EXPECT_EQ(enter_then_quit(), 0);
		EXPECT_EQ(mf.b1, b1);
		EXPECT_EQ(mf.b2, b2);
		EXPECT_EQ(mf.wrap, 1);
		EXPECT_DOUBLE_EQ(mf.rrx, (mf.kx1 - mf.kx0) / double(b2 - b1));
		EXPECT_TRUE(framed());
	}
}

TEST_F(MapFlow, SymbolPanelStopsAtABlankRangeOrQuits)
{
	// Field 14 changes the symbol assignments; MAP1 field 6 is the DEP3 range.
	type(std::string(14, '\t') + "y\r" + std::string(6, '\t') + "   ");
	EXPECT_EQ(enter_then_quit(), 0);
	EXPECT_EQ(se.ndp, 3);
	EXPECT_EQ(se.cdp[2], 40);
	EXPECT_EQ(se.icd[2], 6);
	EXPECT_EQ(se.nmg, 8);
	EXPECT_DOUBLE_EQ(se.ro, 1.5);
	EXPECT_TRUE(framed());
	EXPECT_STREQ(mp.yns_s, "Y");

	// F3 on the symbol panel changes nothing and draws nothing.
	dpmg_init();
	r.calls.clear();
	type(std::string(14, '\t') + "y\r999");
	r.key(KS_F1 + 2);
	EXPECT_EQ(map(), 0);
	EXPECT_EQ(se.ndp, 7);
	EXPECT_EQ(se.cdp[0], 0);
	EXPECT_FALSE(framed());
}
