// Projection, frame geometry, base-map datasets, symbols and legends,
// drawn through the recording back end.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "catalog/store.h"
#include "device/graph.h"
#include "maps/map.h"
#include "maps/symbols.h"
#include "mapdata.h"
#include "recording.h"
#include "shell/setup.h"
#include "shell/shell.h"

using namespace tw;

namespace {

struct Line {
	int x1, y1, x2, y2;
};

struct Map : ::testing::Test {
	Recording r;
	std::string dir;

	void SetUp() override
	{
		use_recording(r);
		store_reset();
		alloc_mem();
		settings_reset();
		dpmg_init();
		maps_reset();
		char tmpl[] = "/tmp/twmapXXXXXX";
		dir = mkdtemp(tmpl);
		std::snprintf(sh.drvo_s, sizeof sh.drvo_s, "%s", dir.c_str());
	}
	void TearDown() override { std::system(("rm -rf " + dir).c_str()); }

	std::string path(const char *name) { return dir + "/" + name; }

	// The box as MAP sets it after its checks.
	void box(double b1, double b2, double a1, double a2)
	{
		mf.b1 = b1, mf.b2 = b2, mf.a1 = a1, mf.a2 = a2;
		mf.wrap = b1 >= b2;
		if (mf.wrap)
			mf.b2 += 360;
		map_geometry();
		symbol_sizes();
		mf.ynmap = 1;
	}
	void event(double lon, double la, double depth, double mag)
	{
		make_event(evslot(0, st.itot), lon, la, depth, mag);
		st.itot++;
		put_marker(0, st.itot, M_END);
	}
	std::vector<Line> lines()
	{
		std::vector<Line> v;
		for (auto &c : r.calls) {
			Line l;
			if (std::sscanf(c.c_str(), "line %d %d %d %d", &l.x1, &l.y1, &l.x2, &l.y2) == 4)
				v.push_back(l);
		}
		return v;
	}
	int count(const char *prefix)
	{
		int n = 0;
		for (auto &c : r.calls)
			n += c.rfind(prefix, 0) == 0;
		return n;
	}
	// Window pixel of a plotting point inside the map viewport.
	int wx(int x) { return x + mf.kx0 + 1 + 4; }
	int wy(int y) { return y + mf.ky0 + 1 + 45; }
};

} // namespace

TEST_F(Map, ProjectionAndTable)
{
	// 57.2958 is not exactly 180/pi: the equator sits a hair below 0.
	EXPECT_NEAR(fnyy(0), -4.02e-5, 1e-7);
	EXPECT_NEAR(fnyy(90), 131.9, 0.1) << "finite at the pole";
	EXPECT_NEAR(fnyy(-35), -fnyy(35), 1e-3);
	EXPECT_NEAR(fnyy(1), 1.0, 0.01) << "one projected unit is a degree near the equator";
	EXPECT_DOUBLE_EQ(lat(90), mp.yln[180]);
	EXPECT_DOUBLE_EQ(lat(-90), mp.yln[0]);
	EXPECT_DOUBLE_EQ(lat(-90.5), mp.yln[0] - 0.5 * mp.dln[0]);
	EXPECT_LT(lat(-90.5), mp.yln[0]);
	for (double phi : {-60.25, -0.5, 0.0, 35.4, 89.9})
		EXPECT_NEAR(lat(phi), fnyy(phi), 0.01) << phi;
}

TEST_F(Map, FrameGeometryWideAndTall)
{
	box(100, 180, 20, 40); // much wider than tall
	EXPECT_EQ(mf.kx0, 0);
	EXPECT_EQ(mf.kx1, 490);
	EXPECT_LT(mf.ky1 - mf.ky0, 399);
	EXPECT_NEAR((mf.ky0 + mf.ky1) / 2.0, 199, 1);
	EXPECT_DOUBLE_EQ(mf.rrx, 490 / 80.0);
	EXPECT_NEAR(mf.rry, mf.rrx, 0.1) << "one pixel scale for degrees and projected units";

	box(130, 140, 30, 45); // taller than wide
	EXPECT_EQ(mf.ky0, 0) << "199 - 199.5 truncates toward zero";
	EXPECT_EQ(mf.ky1, 399);
	EXPECT_LT(mf.kx1 - mf.kx0, 490);
	EXPECT_NEAR((mf.kx0 + mf.kx1) / 2.0, 245, 1);
	EXPECT_NEAR(mf.rry, mf.rrx, 0.1);
}

TEST_F(Map, DefaultDatasetFollowsArea)
{
	auto tried = [&](const char *want) {
		sh.em_s[0] = 0;
		EXPECT_EQ(dmap("", 0, nullptr), 0);
		return std::string(sh.em_s).find(path(want)) != std::string::npos;
	};
	box(120, 150, 20, 50);
	EXPECT_TRUE(tried("nwpac.m")) << sh.em_s;
	box(120, -170, 20, 50); // east edge 190 after the wrap: not NWPAC
	EXPECT_TRUE(tried("world.m")) << sh.em_s;
	box(-180, 180, -80, 80); // under 4 pixels per degree
	EXPECT_TRUE(tried("earth.m")) << sh.em_s;

	sh.em_s[0] = 0;
	EXPECT_EQ(dmap("JAPAN", 1, nullptr), 0);
	EXPECT_NE(std::string(sh.em_s).find(path("japan.f")), std::string::npos) << sh.em_s;

	mf.ynmap = 0; // frame only: nothing is read
	EXPECT_EQ(dmap("", 0, nullptr), 1);
}

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
	f.write(path("japan.m"));
	r.calls.clear();
	ASSERT_EQ(dmap("japan", 0, nullptr), 1);
	auto v = lines();
	// The frame box is a rectangle call, not lines: only the two polylines.
	ASSERT_EQ(v.size(), 3u);
	int mid = (mf.kx1 - mf.kx0 - 2) / 2;
	EXPECT_NEAR(v[0].x1, wx(mid), 2) << "135 E is the middle of 120..150";
	EXPECT_TRUE(r.has("gc 00ffff 000000")) << "coastline in cyan";
	EXPECT_TRUE(r.has("gc 0000ff 000000")) << "border in blue";
	EXPECT_TRUE(r.has("rect " + std::to_string(mf.kx0 + 4) + " " + std::to_string(mf.ky0 + 45) +
			  " " + std::to_string(mf.kx1 - mf.kx0) + " " + std::to_string(mf.ky1 - mf.ky0)));
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
	EXPECT_EQ(lines().size(), 2u);
}

TEST_F(Map, ContinuationFilesChain)
{
	box(120, 150, 20, 50);
	MapFile a, b, c;
	a.header(' ', 0).line('C', {{30, 130}, {31, 131}}).z('2');
	b.s = c.s = 100;
	b.line('C', {{32, 132}, {33, 133}}).z('3');
	c.line('C', {{34, 134}, {35, 135}}).x().line('C', {{36, 136}, {37, 137}});
	a.write(path("earth.m"));
	b.write(path("earth.m2"));
	c.write(path("earth.m3"));
	r.calls.clear();
	EXPECT_EQ(dmap("EARTH", 0, nullptr), 1);
	EXPECT_EQ(lines().size(), 3u) << "nothing after 'X' is drawn";

	std::remove(path("earth.m3").c_str());
	r.calls.clear();
	sh.em_s[0] = 0;
	EXPECT_EQ(dmap("EARTH", 0, nullptr), 0);
	EXPECT_NE(std::string(sh.em_s).find("earth.m3"), std::string::npos) << sh.em_s;
	EXPECT_EQ(lines().size(), 2u) << "lines already drawn stay";
}

TEST_F(Map, DatasetEndsAtTheLoadedBytes)
{
	box(120, 150, 20, 50);
	MapFile f;
	f.header(' ', 0).line('C', {{30, 130}, {31, 131}}).line('C', {{32, 132}, {33, 133}, {34, 134}});
	f.write(path("noend.m")); // no 'X'
	EXPECT_EQ(dmap("noend", 0, nullptr), 1);
	EXPECT_EQ(lines().size(), 3u);

	r.calls.clear();
	f.write(path("cut.m"), f.b.size() - 2); // the last point is cut in half
	EXPECT_EQ(dmap("cut", 0, nullptr), 1);
	EXPECT_EQ(lines().size(), 2u) << "only whole points are drawn";

	r.calls.clear();
	MapFile big;
	big.header(' ', 0).line('C', {{30, 130}, {31, 131}}, '2');
	big.b[5] = 0xff, big.b[6] = 0x7f; // claims 32767 points
	big.write(path("big.m"));
	EXPECT_EQ(dmap("big", 0, nullptr), 1);
	EXPECT_EQ(lines().size(), 1u);

	// Continuation parts that name each other: the chain still ends.
	MapFile l2, l3, l4;
	l2.z('3');
	l3.z('4');
	l4.z('3');
	l2.write(path("loop.m2"));
	l3.write(path("loop.m3"));
	l4.write(path("loop.m4"));
	MapFile head;
	head.header(' ', 0).z('2');
	head.write(path("loop.m"));
	EXPECT_EQ(dmap("loop", 0, nullptr), 1);
}

TEST_F(Map, WrapAcrossTheDateLine)
{
	box(170, -170, 30, 60);
	EXPECT_EQ(mf.wrap, 1);
	EXPECT_DOUBLE_EQ(mf.b2, 190);
	MapFile f;
	f.header(' ', 0).line('C', {{40, 175}, {40, -175}}).x();
	f.write(path("dl.m"));
	ASSERT_EQ(dmap("dl", 0, nullptr), 1);
	auto v = lines();
	ASSERT_EQ(v.size(), 1u);
	EXPECT_NEAR(v[0].x2 - v[0].x1, 10 * mf.rrx, 1) << "Asia and America meet at 180";

	event(-175, 45, 10, 4); // 175 W: inside
	event(160, 45, 10, 4);  // 160 E: west of the box
	event(-165, 45, 10, 4); // 165 W: east of the box
	EXPECT_EQ(epicenters(), 1);
}

TEST_F(Map, FullTurnMapSplitsLinesAtTheSeam)
{
	box(0, 0, -60, 60);
	EXPECT_DOUBLE_EQ(mf.b2, 360);
	MapFile f;
	f.header(' ', 180).line('C', {{10, 358}, {12, 2}}).x(); // 16-bit from 180 E
	f.write(path("seam.m"));
	ASSERT_EQ(dmap("seam", 0, nullptr), 1);
	auto v = lines();
	ASSERT_EQ(v.size(), 2u);
	int right = wx((int)(36000 * mf.rrx / 100)), left = wx(0);
	EXPECT_EQ(v[0].x2, right) << "to the east side";
	EXPECT_EQ(v[1].x1, left) << "on from the west side";
	EXPECT_EQ(v[0].y2, v[1].y1) << "at the same latitude";
	EXPECT_LE(v[0].y2, v[0].y1) << "the side lies between 10 N and 12 N";
	EXPECT_GE(v[1].y1, v[1].y2);
	EXPECT_GT(v[0].y1, v[1].y2);
}

TEST_F(Map, PointsOnOnePixelDrawOneLine)
{
	box(120, 150, 20, 50); // about 16 pixels a degree
	MapFile f;
	f.header('F', 100)
		.line('C', {{35, 135}, {35.001, 135.001}, {35.002, 135.002}, {36, 136}, {36.001, 136}})
		.x();
	f.write(path("dense.m"));
	ASSERT_EQ(dmap("dense", 0, nullptr), 1);
	auto v = lines();
	ASSERT_EQ(v.size(), 1u);
	EXPECT_LT(v[0].y2, v[0].y1) << "from 35 N up to 36 N";
}

TEST_F(Map, LineAcrossAZoomedMapIsWhole)
{
	box(135, 135.5, 35, 35.5); // no seam: nothing to split
	MapFile f;
	f.header(' ', 0).line('C', {{35.2, 134}, {35.3, 137}}).x();
	f.write(path("zoom.m"));
	ASSERT_EQ(dmap("zoom", 0, nullptr), 1);
	auto v = lines();
	ASSERT_EQ(v.size(), 1u);
	EXPECT_LT(v[0].x1, wx(0));
	EXPECT_GT(v[0].x2, wx(mf.kx1 - mf.kx0));
}

TEST_F(Map, DepthAndMagnitudeClasses)
{
	box(120, 150, 20, 50);
	Placed e;
	event(135, 35, 35, 3);   // DEP1: magenta square
	event(135, 35, 600, 3);  // DEP6: white plus
	event(135, 35, 10, 3);   // DEP0: red circle
	event(135, 35, 10, 0);   // unknown magnitude: MAG0
	event(135, 35, 10, 7.5); // MAG7
	event(135, 35, -1, 3);   // unknown depth: DEP0
	ASSERT_TRUE(place_event(0, e));
	EXPECT_EQ(e.colour, 5);
	ASSERT_TRUE(place_event(1, e));
	EXPECT_EQ(e.colour, 7);
	ASSERT_TRUE(place_event(2, e));
	EXPECT_EQ(e.colour, 4);
	EXPECT_EQ(e.size, 2);
	ASSERT_TRUE(place_event(3, e));
	EXPECT_EQ(e.size, 1);
	ASSERT_TRUE(place_event(4, e));
	EXPECT_EQ(e.size, 7);
	ASSERT_TRUE(place_event(5, e));
	EXPECT_EQ(e.colour, 4);
	EXPECT_NEAR(e.dep, -0.1, 1e-9);

	mf.ynmap = 0;
	dmap("", 0, nullptr); // the frame and its viewport
	r.calls.clear();
	EXPECT_EQ(epicenters(), 6);
	EXPECT_TRUE(r.has("gc ff00ff 000000")) << "magenta";
	EXPECT_EQ(count("rect "), 1) << "one square";
	EXPECT_EQ(count("arc "), 4) << "four circles";
	int x = wx(e.x), y = wy(e.y);
	EXPECT_TRUE(r.has("arc " + std::to_string(x - 7) + " " + std::to_string(y - 7) + " 14 14"));
	EXPECT_TRUE(r.has("arc " + std::to_string(x - 1) + " " + std::to_string(y - 1) + " 2 2"));
}

TEST_F(Map, EventsOnTheFrameAreNotPlotted)
{
	box(120, 150, 20, 50);
	event(120, 35, 10, 3); // on the west edge
	event(135, 50, 10, 3); // on the north edge
	event(120.01, 35, 10, 3);
	EXPECT_EQ(epicenters(), 1);
}

TEST_F(Map, ChartsBesideTheMap)
{
	box(120, 150, 20, 50);
	std::snprintf(se.ync_s, sizeof se.ync_s, "100");
	event(135, 35, 150, 3); // below the chart depth
	event(135, 35, -1, 3);  // unknown depth
	EXPECT_EQ(epicenters(), 2) << "both are on the map";
	r.calls.clear();
	legend("", -100);
	Placed e;
	ASSERT_TRUE(place_event(1, e));
	// Circles of size 2, one per chart, on their 0 km lines.
	int ex = mf.kx1 + 5 + 4, ey = mf.ky0 + 1 + e.y + 45;
	int sx = mf.kx0 + 1 + e.x + 4, sy = mf.ky1 + 5 + 45;
	EXPECT_TRUE(r.has("arc " + std::to_string(ex - 2) + " " + std::to_string(ey - 2) + " 4 4"));
	EXPECT_TRUE(r.has("arc " + std::to_string(sx - 2) + " " + std::to_string(sy - 2) + " 4 4"));
	EXPECT_EQ(count("arc "), 2) << "the 150 km event is in neither chart";
	EXPECT_FALSE(r.has("gc 00ffff 000000")) << "nothing of the DEP4 class drawn";
	EXPECT_EQ(r.texts().find("MAP"), std::string::npos) << "no text legend with the charts";
}

TEST_F(Map, ChartsOnAWrapMap)
{
	box(170, -170, 30, 60);
	std::snprintf(se.ync_s, sizeof se.ync_s, "100");
	event(-175, 45, 35, 3); // DEP1: a square
	r.calls.clear();
	legend("", -100);
	EXPECT_EQ(count("rect "), 4) << "two chart outlines and the event in both charts";
}

TEST_F(Map, TextLegend)
{
	box(120, 150, 20, 50);
	legend("", 12);
	std::string t = r.texts();
	for (const char *s : {"MAP", "depth ", "0 -", "20 -", "600 -", "unknown", "magnitude ",
			      "7 -"})
		EXPECT_NE(t.find(s), std::string::npos) << s;
	size_t u = t.find("unknown");
	EXPECT_NE(t.find("unknown", u + 1), std::string::npos) << "an unknown row for magnitudes too";
	EXPECT_EQ(count("arc "), 2 + 9) << "DEP0 and unknown-depth circles, nine magnitude circles";

	// No classes: only the "unknown" rows.
	se.ndp = 0, se.nmg = 0;
	r.calls.clear();
	legend("", 12);
	t = r.texts();
	EXPECT_EQ(t.find("0 -"), std::string::npos) << t;
	EXPECT_NE(t.find("unknown"), std::string::npos);
}

TEST(MapText, Jtoa)
{
	char b[12];
	EXPECT_STREQ(jtoa(5, b, -3), "005");
	EXPECT_STREQ(jtoa(5, b, 3), "  5");
	EXPECT_STREQ(jtoa(1234, b, -3), "1234");
	EXPECT_STREQ(jtoa(0, b, -2), "00");
}
