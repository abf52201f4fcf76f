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
	void SetUp() override
	{
		MapTest::SetUp();
		box(120, 150, 20, 50);
	}
	void box(double b1, double b2, double a1, double a2) { map_box(b1, b2, a1, a2, 1); }
	// f written as file (less its last cut bytes) and drawn as the base map
	// name: its lines, or none when drawing failed (message in em_s).
	std::vector<std::array<int, 4>> draw(const MapFile &f, const char *file, const char *name, size_t cut = 0)
	{
		f.write(path(file), cut);
		r.calls.clear();
		pn.em_s[0] = 0;
		return dmap(name, 0, nullptr) == 1 ? calls("line") : decltype(calls("line")){};
	}
};

} // namespace

// Polylines outside the box are skipped; coast cyan, borders blue. In a
// fault file the codes take the activeness colours; drawn as a base map
// the same lines look like coast.
TEST_F(Map, BaseMapAndFaultColours)
{
	MapFile f;
	f.header('F', 100)
		.line('C', {{35, 135}, {36, 136}})   // inside
		.line('C', {{55, 135}, {56, 136}})   // north of the box
		.line('C', {{35, 155}, {36, 156}})   // east of the box
		.line('B', {{30, 125}, {31, 126}, {32, 127}})
		.x();
	auto v = draw(f, "japan.m", "japan");
	ASSERT_EQ(v.size(), 3u); // the frame is a rectangle, not lines
	EXPECT_NEAR(v[0][0], wx((mf.kx1 - mf.kx0 - 2) / 2), 2) << "135 E is the middle of 120..150";
	EXPECT_TRUE(r.has("gc 00ffff 000000") && r.has("gc 0000ff 000000"));
	EXPECT_TRUE(framed());

	MapFile g;
	g.header('F', 100).line('F', {{35, 135}, {36, 136}}).line('I', {{30, 125}, {31, 126}}).x();
	g.write(path("flt.f"));
	g.write(path("flt.m"));
	const int colours[4] = {4, 6, 2, 5};
	for (int fault : {1, 0}) {
		r.calls.clear();
		ASSERT_EQ(dmap("FLT", fault, colours), 1);
		EXPECT_EQ(r.has("gc ff0000 000000") && r.has("gc ff00ff 000000"), fault) << "'F' first, 'I' fourth";
		EXPECT_EQ(r.has("gc 00ffff 000000"), !fault);
	}
}

// 'Z' parts chain on to the next file; nothing after 'X' is drawn, a
// missing part is named and keeps what was drawn, a loop of parts ends.
// Without 'X' the file ends at its loaded bytes, and so does a line whose
// point count claims more.
TEST_F(Map, DatasetsEndAtTheirLoadedBytes)
{
	MapFile a, b, c;
	a.header(' ', 0).line('C', {{30, 130}, {31, 131}}).z('2');
	b.s = c.s = 100;
	b.line('C', {{32, 132}, {33, 133}}).z('3').write(path("earth.m2"));
	c.line('C', {{34, 134}, {35, 135}}).x().line('C', {{36, 136}, {37, 137}}).write(path("earth.m3"));
	EXPECT_EQ(draw(a, "earth.m", "EARTH").size(), 3u);
	std::remove(path("earth.m3").c_str());
	EXPECT_TRUE(draw(a, "earth.m", "EARTH").empty());
	EXPECT_NE(std::string(pn.em_s).find("earth.m3"), std::string::npos) << pn.em_s;
	EXPECT_EQ(count("line"), 2u);

	MapFile f, big, l2, l3, l4, head;
	f.header(' ', 0).line('C', {{30, 130}, {31, 131}}).line('C', {{32, 132}, {33, 133}, {34, 134}});
	EXPECT_EQ(draw(f, "noend.m", "noend").size(), 3u);
	EXPECT_EQ(draw(f, "cut.m", "cut", 2).size(), 2u) << "the last point cut in half is not drawn";
	big.header(' ', 0).line('C', {{30, 130}, {31, 131}}, '2');
	big.b[5] = 0xff, big.b[6] = 0x7f; // claims 32767 points
	EXPECT_EQ(draw(big, "big.m", "big").size(), 1u);
	l2.z('3').write(path("loop.m2"));
	l3.z('4').write(path("loop.m3"));
	l4.z('3').write(path("loop.m4"));
	head.header(' ', 0).z('2').write(path("loop.m"));
	EXPECT_EQ(dmap("loop", 0, nullptr), 1);
}

// Across the date line Asia and America meet at 180, and only events in
// the box are plotted; a full turn splits a line at the seam; a map that
// does not wrap never splits, however far a line runs past the frame.
TEST_F(Map, LinesAndEventsAcrossTheSeam)
{
	box(170, -170, 30, 60);
	EXPECT_DOUBLE_EQ(mf.b2, 190);
	MapFile f;
	auto v = draw(f.header(' ', 0).line('C', {{40, 175}, {40, -175}}).x(), "dl.m", "dl");
	ASSERT_EQ(v.size(), 1u);
	EXPECT_NEAR(v[0][2] - v[0][0], 10 * mf.rrx, 1);
	for (double lon : {-175, 160, -165}) // inside, west, east of the box
		add_event(lon, 45, 10, 4);
	EXPECT_EQ(epicenters(), 1);

	box(0, 0, -60, 60);
	EXPECT_DOUBLE_EQ(mf.b2, 360);
	MapFile s;
	v = draw(s.header(' ', 180).line('C', {{10, 358}, {12, 2}}).x(), "seam.m", "seam"); // 16-bit from 180 E
	ASSERT_EQ(v.size(), 2u);
	EXPECT_EQ(v[0][2], wx((int)(36000 * mf.rrx / 100))) << "to the east side";
	EXPECT_EQ(v[1][0], wx(0)) << "on from the west side";
	EXPECT_EQ(v[0][3], v[1][1]) << "at the same latitude";
	EXPECT_TRUE(v[0][3] <= v[0][1] && v[1][1] >= v[1][3] && v[0][1] > v[1][3]) << "between 10 N and 12 N";

	box(135, 135.5, 35, 35.5);
	MapFile z;
	v = draw(z.header(' ', 0).line('C', {{35.2, 134}, {35.3, 137}}).x(), "zoom.m", "zoom");
	ASSERT_EQ(v.size(), 1u);
	EXPECT_TRUE(v[0][0] < wx(0) && v[0][2] > wx(mf.kx1 - mf.kx0));
}

// The bundled nwpac.m over Japan: its 43 polylines that meet the box hold
// 4,335 points, so 4,292 lines, those onto the pixel the pen is on
// included; the frame and its clip path add five.
TEST_F(Map, PostScriptHoldsEveryLine)
{
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

// Colour and size by depth and magnitude class; unknown magnitude is MAG0,
// unknown depth DEP0; events on the frame are not plotted.
TEST_F(Map, DepthAndMagnitudeClasses)
{
	const struct {
		double depth, mag;
		int colour, size;
	} cases[] = {
		{35, 3, 5, 2}, {600, 3, 7, 2}, {10, 3, 4, 2}, {10, 0, 4, 1}, {10, 7.5, 4, 7}, {-1, 3, 4, 2},
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
	for (int d : {14, 2}) // circles of diameter d centred on the last event
		EXPECT_TRUE(r.has("arc " + std::to_string(wx(e.x) - d / 2) + " " + std::to_string(wy(e.y) - d / 2) + " " +
				  std::to_string(d) + " " + std::to_string(d)));
	st.itot = 0;
	for (auto [lon, la] : {std::pair{120.0, 35.0}, {135.0, 50.0}, {120.01, 35.0}}) // west and north edge
		add_event(lon, la, 10, 3);
	EXPECT_EQ(epicenters(), 1);
}
