// Projection, frame geometry, base-map datasets, symbols and legends,
// drawn through the recording back end.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "device/graph.h"
#include "device/spool.h"
#include "mapdata.h"

using namespace tw;

namespace {

struct Map : MapTest {
	void box(double b1, double b2, double a1, double a2) { map_box(b1, b2, a1, a2, 1); }
	// f written as file (less its last cut bytes) and drawn as the base map name: its lines.
	std::vector<std::array<int, 4>> draw(const MapFile &f, const char *file, const char *name,
					     size_t cut = 0)
	{
		f.write(path(file), cut);
		r.calls.clear();
		EXPECT_EQ(dmap(name, 0, nullptr), 1) << pn.em_s;
		return calls("line");
	}
	std::string tried(const char *name, int fault = 0) // the file a missing dataset names
	{
		pn.em_s[0] = 0;
		EXPECT_EQ(dmap(name, fault, nullptr), 0);
		return pn.em_s;
	}
};

} // namespace

TEST_F(Map, BaseMapSkipsPolylinesOutsideTheBox)
{
	box(120, 150, 20, 50);
	MapFile f;
	f.header('F', 100)
		.line('C', {{35, 135}, {36, 136}})   // inside
		.line('C', {{55, 135}, {56, 136}})   // north of the box
		.line('C', {{35, 155}, {36, 156}})   // east of the box
		.line('B', {{30, 125}, {31, 126}, {32, 127}}) // border, inside
		.x();
	auto v = draw(f, "japan.m", "japan");
	// The frame box is a rectangle call, not lines: only the two polylines.
	ASSERT_EQ(v.size(), 3u);
	EXPECT_NEAR(v[0][0], wx((mf.kx1 - mf.kx0 - 2) / 2), 2) << "135 E is the middle of 120..150";
	EXPECT_TRUE(r.has("gc 00ffff 000000")) << "coastline in cyan";
	EXPECT_TRUE(r.has("gc 0000ff 000000")) << "border in blue";
	EXPECT_TRUE(framed());
}

TEST_F(Map, FaultCodesTakeTheirColours)
{
	box(120, 150, 20, 50);
	MapFile f;
	f.header('F', 100).line('F', {{35, 135}, {36, 136}}).line('I', {{30, 125}, {31, 126}}).x();
	f.write(path("flt.f"));
	f.write(path("flt.m"));
	const int colours[4] = {4, 6, 2, 5};
	ASSERT_EQ(dmap("FLT", 1, colours), 1);
	EXPECT_TRUE(r.has("gc ff0000 000000")) << "'F' in the first colour";
	EXPECT_TRUE(r.has("gc ff00ff 000000")) << "'I' in the fourth";
	EXPECT_FALSE(r.has("gc 00ffff 000000"));

	// A base map has no activeness colours: its fault lines look like coast.
	r.calls.clear();
	ASSERT_EQ(dmap("FLT", 0, colours), 1);
	EXPECT_TRUE(r.has("gc 00ffff 000000"));
	EXPECT_FALSE(r.has("gc ff0000 000000"));
	EXPECT_EQ(count("line"), 2u);
}

TEST_F(Map, ContinuationFilesChain)
{
	box(120, 150, 20, 50);
	MapFile a, b, c;
	a.header(' ', 0).line('C', {{30, 130}, {31, 131}}).z('2');
	b.s = c.s = 100;
	b.line('C', {{32, 132}, {33, 133}}).z('3');
	c.line('C', {{34, 134}, {35, 135}}).x().line('C', {{36, 136}, {37, 137}});
	b.write(path("earth.m2"));
	c.write(path("earth.m3"));
	EXPECT_EQ(draw(a, "earth.m", "EARTH").size(), 3u) << "nothing after 'X' is drawn";

	std::remove(path("earth.m3").c_str());
	r.calls.clear();
	EXPECT_NE(tried("EARTH").find("earth.m3"), std::string::npos) << pn.em_s;
	EXPECT_EQ(count("line"), 2u) << "lines already drawn stay";
}

TEST_F(Map, DatasetEndsAtTheLoadedBytes)
{
	box(120, 150, 20, 50);
	MapFile f;
	f.header(' ', 0).line('C', {{30, 130}, {31, 131}}).line('C', {{32, 132}, {33, 133}, {34, 134}});
	EXPECT_EQ(draw(f, "noend.m", "noend").size(), 3u) << "no 'X'";
	EXPECT_EQ(draw(f, "cut.m", "cut", 2).size(), 2u) << "the last point cut in half is not drawn";

	MapFile big;
	big.header(' ', 0).line('C', {{30, 130}, {31, 131}}, '2');
	big.b[5] = 0xff, big.b[6] = 0x7f; // claims 32767 points
	EXPECT_EQ(draw(big, "big.m", "big").size(), 1u);

	// Continuation parts that name each other: the chain still ends.
	MapFile l2, l3, l4, head;
	l2.z('3').write(path("loop.m2"));
	l3.z('4').write(path("loop.m3"));
	l4.z('3').write(path("loop.m4"));
	head.header(' ', 0).z('2');
	draw(head, "loop.m", "loop");
}

TEST_F(Map, WrapAcrossTheDateLine)
{
	box(170, -170, 30, 60);
	EXPECT_EQ(mf.wrap, 1);
	EXPECT_DOUBLE_EQ(mf.b2, 190);
	MapFile f;
	f.header(' ', 0).line('C', {{40, 175}, {40, -175}}).x();
	auto v = draw(f, "dl.m", "dl");
	ASSERT_EQ(v.size(), 1u);
	EXPECT_NEAR(v[0][2] - v[0][0], 10 * mf.rrx, 1) << "Asia and America meet at 180";

	add_event(-175, 45, 10, 4); // 175 W: inside
	add_event(160, 45, 10, 4);  // 160 E: west of the box
	add_event(-165, 45, 10, 4); // 165 W: east of the box
	EXPECT_EQ(epicenters(), 1);
}

TEST_F(Map, FullTurnMapSplitsLinesAtTheSeam)
{
	box(0, 0, -60, 60);
	EXPECT_DOUBLE_EQ(mf.b2, 360);
	MapFile f;
	f.header(' ', 180).line('C', {{10, 358}, {12, 2}}).x(); // 16-bit from 180 E
	auto v = draw(f, "seam.m", "seam");
	ASSERT_EQ(v.size(), 2u);
	EXPECT_EQ(v[0][2], wx((int)(36000 * mf.rrx / 100))) << "to the east side";
	EXPECT_EQ(v[1][0], wx(0)) << "on from the west side";
	EXPECT_EQ(v[0][3], v[1][1]) << "at the same latitude";
	EXPECT_LE(v[0][3], v[0][1]) << "the side lies between 10 N and 12 N";
	EXPECT_GE(v[1][1], v[1][3]);
	EXPECT_GT(v[0][1], v[1][3]);
}

// The bundled nwpac.m over Japan: its 43 polylines that meet the box hold
// 4,335 points, so 4,292 lines, those onto the pixel the pen is on
// included; the frame and its clip path add five.
TEST_F(Map, PostScriptHoldsEveryLineAndZoomedLinesStayWhole)
{
	box(135, 135.5, 35, 35.5); // no seam: nothing to split
	MapFile z;
	z.header(' ', 0).line('C', {{35.2, 134}, {35.3, 137}}).x();
	auto v = draw(z, "zoom.m", "zoom");
	ASSERT_EQ(v.size(), 1u);
	EXPECT_LT(v[0][0], wx(0));
	EXPECT_GT(v[0][2], wx(mf.kx1 - mf.kx0));

	const char *top = std::getenv("TARNWELL_SOURCE");
	ASSERT_NE(top, nullptr);
	std::snprintf(st.drvo_s, sizeof st.drvo_s, "%s/data/aux", top);
	box(128, 146, 25, 46);
	std::string ps = path("map.ps");
	sp.fq = std::fopen(ps.c_str(), "w");
	gr.psflag = 1;
	EXPECT_EQ(dmap("", 0, nullptr), 1) << pn.em_s;
	gr.psflag = 0;
	std::fclose(sp.fq);
	sp.fq = nullptr;
	std::string text = test::slurp(ps);
	size_t lines = 0;
	for (size_t at = 0; (at = text.find(" pL\n", at)) != std::string::npos; at++)
		lines++;
	EXPECT_EQ(lines, 4292u + 5);
}

TEST_F(Map, DepthAndMagnitudeClasses)
{
	box(120, 150, 20, 50);
	const struct {
		double depth, mag;
		int colour, size;
	} cases[] = {
		{35, 3, 5, 2},  // DEP1: magenta square
		{600, 3, 7, 2}, // DEP6: white plus
		{10, 3, 4, 2},  // DEP0: red circle
		{10, 0, 4, 1},  // unknown magnitude: MAG0
		{10, 7.5, 4, 7},
		{-1, 3, 4, 2},  // unknown depth: DEP0
	};
	for (const auto &c : cases)
		add_event(135, 35, c.depth, c.mag);
	Placed e;
	for (int i = 0; i < 6; i++) {
		ASSERT_TRUE(place_event(i, e));
		EXPECT_EQ(e.colour, cases[i].colour) << i;
		EXPECT_EQ(e.size, cases[i].size) << i;
	}
	EXPECT_NEAR(e.dep, -0.1, 1e-9);

	mf.ynmap = 0;
	dmap("", 0, nullptr); // the frame and its viewport
	r.calls.clear();
	EXPECT_EQ(epicenters(), 6);
	EXPECT_TRUE(r.has("gc ff00ff 000000")) << "magenta";
	EXPECT_EQ(count("rect"), 1u) << "one square";
	EXPECT_EQ(count("arc"), 4u) << "four circles";
	EXPECT_TRUE(has_arc(wx(e.x), wy(e.y), 14));
	EXPECT_TRUE(has_arc(wx(e.x), wy(e.y), 2));

	// Events on the frame are not plotted.
	st.itot = 0;
	add_event(120, 35, 10, 3); // on the west edge
	add_event(135, 50, 10, 3); // on the north edge
	add_event(120.01, 35, 10, 3);
	EXPECT_EQ(epicenters(), 1);
}

