// The MAP command driven through its panels with scripted keys.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "device/graph.h"
#include "device/ps.h"
#include "device/spool.h"
#include "mapdata.h"
#include "shell/panel.h"

using namespace tw;

namespace {

struct MapFlow : MapTest {
	test::PrintPlace place; // hard copies: seis.prn here, lpr keeps a copy
	void SetUp() override
	{
		MapTest::SetUp();
		ps_reset();
		area("120 00 E 150 00 E 20 00 N 50 00 N");
		se.dst_s[0] = 0;
		std::snprintf(se.mps_s, sizeof se.mps_s, "T");
		MapFile f;
		f.header('F', 100).line('C', {{35, 135}, {36, 136}}).line('B', {{30, 125}, {31, 126}}).x();
		f.write(path("t.m"));
		add_event(135, 35, 10, 5);
		std::snprintf(sp.port_s, sizeof sp.port_s, "ps");
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
		fkey(3);
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
		SCOPED_TRACE(c.message);
		r.calls.clear();
		area(c.box);
		std::snprintf(se.dst_s, sizeof se.dst_s, "%s", c.region);
		std::snprintf(se.mps_s, sizeof se.mps_s, "%s", c.dataset);
		EXPECT_EQ(enter_then_quit(), 0);
		EXPECT_TRUE(shows(c.message)) << r.texts();
		if (c.no_frame) {
			EXPECT_FALSE(framed());
		}
	}
}

// 180 E to 180 W is a full turn from the date line, as equal longitudes
// are: a frame of no width would divide by zero. A region across the date
// line wraps the same way.
TEST_F(MapFlow, DateLineBoxesWrap)
{
	test::write_file(path("regions"), "KANTO 138 E 141 E 34 N 37 N\nWRAP 170 E 170 W 30 N 60 N\n");
	area("180 00 E 180 00 W 20 00 N 50 00 N");
	EXPECT_EQ(enter_then_quit(), 0);
	EXPECT_DOUBLE_EQ(mf.b1, 180);
	EXPECT_DOUBLE_EQ(mf.b2, 540);
	EXPECT_EQ(mf.wrap, 1);
	EXPECT_DOUBLE_EQ(mf.rrx, (mf.kx1 - mf.kx0) / 360.0);
	EXPECT_TRUE(framed());

	r.calls.clear();
	std::snprintf(se.dst_s, sizeof se.dst_s, "WRAP");
	EXPECT_EQ(enter_then_quit(), 0);
	EXPECT_DOUBLE_EQ(mf.b1, 170);
	EXPECT_DOUBLE_EQ(mf.b2, 190);
	EXPECT_EQ(mf.wrap, 1);
	EXPECT_TRUE(framed());
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
	fkey(3);
	EXPECT_EQ(map(), 0);
	EXPECT_EQ(se.ndp, 7);
	EXPECT_EQ(se.cdp[0], 0);
	EXPECT_FALSE(framed());
}

TEST_F(MapFlow, HardCopyIsPostScript)
{
	enter();
	fkey(1); // full-size copy: the map is drawn again into it
	fkey(3); // the copy is finished and handed to lpr
	EXPECT_EQ(map(), 0);
	EXPECT_EQ(gr.psflag, 0);
	std::string ps = test::slurp(place.job(1));
	ASSERT_FALSE(ps.empty());
	EXPECT_NE(ps.find("[6 2 2 2] 0 setdash"), std::string::npos) << "the border line";
	EXPECT_NE(ps.find("(MAP)"), std::string::npos);
	EXPECT_TRUE(test::gs_ok(place.job(1)));
	if (const char *art = std::getenv("TARNWELL_SOURCE"))
		std::system(("mkdir -p " + std::string(art) + "/artifacts && cp " + place.job(1) + " " + art +
			     "/artifacts/map_hardcopy.ps").c_str());
}
