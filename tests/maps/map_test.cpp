// MAP drawn through the recording back end: projection, frame, base-map
// datasets, symbols, the panels with scripted keys, and the subfunctions
// with scripted clicks (the raster area test reads a recording image that
// the tests paint themselves).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sstream>

#include "catalog/store.h"
#include "device/screen.h"
#include "events.h"
#include "maps/map.h"
#include "maps/symbols.h"
#include "recording.h"
#include "shell/panel.h"
#include "shell/setup.h"

using namespace tw;

namespace {

constexpr unsigned long F3 = KS_F1 + 2;
using Calls = std::vector<std::array<int, 4>>;

// A map dataset file built record by record; coordinates in degrees.
struct MapFile {
	std::string b;
	int s = 100, l0 = 0;
	MapFile &header(char res, int base) { return s = res == 'F' ? 1000 : 100, l0 = base, b += res, w16(base); }
	MapFile &w16(long v) { return b += (char)(v & 255), b += (char)(v >> 8 & 255), *this; }
	MapFile &z(char part) { return b += 'Z', b += part, *this; } // on in the next file
	MapFile &x() { return b += "X0", *this; }                     // the end
	// pts: (latitude, longitude) pairs; the bounds lead the points.
	MapFile &line(char code, const std::vector<std::pair<double, double>> &pts, char flag = '1')
	{
		std::vector<long> ys, xs;
		for (auto [la, lo] : pts)
			ys.push_back((long)(la * s)), xs.push_back((long)((lo - l0) * s));
		b += code, b += flag;
		flag == '2' ? w16((long)pts.size()) : (b += (char)pts.size(), *this);
		auto [y0, y1] = std::minmax_element(ys.begin(), ys.end());
		auto [x0, x1] = std::minmax_element(xs.begin(), xs.end());
		w16(*y0).w16(*y1).w16(*x0).w16(*x1);
		for (size_t i = 0; i < pts.size(); i++)
			w16(ys[i]).w16(xs[i]);
		return *this;
	}
	const MapFile &write(const std::string &path, size_t cut = 0) const
	{
		return test::write_file(path, b.substr(0, b.size() - cut)), *this;
	}
};

// An event appended to the selection; its record in the store. Depth < 0
// is undetermined, and so is magnitude 0.
unsigned char *add_event(double lon, double la, double depth = 10, double mag = 3)
{
	Ev e = Ev(1995, 6, 15, 12).at(lon, la).dep(depth < 0 ? 65535 : (int)std::lround(depth * 10));
	put_event(0, st.itot++, e.mag((int)std::lround(mag * 10)).b.data()); // marks a full segment as continued
	put_marker(0, st.itot, M_END);
	return evslot(0, st.itot - 1);
}

// A recording display over a fresh store, default symbol classes and map
// state, auxiliary files read from a scratch directory.
struct Map : ::testing::Test {
	Recording r;
	test::TempDir dir;
	void SetUp() override
	{
		use_recording(r), fresh_store(dir.path), dpmg_init(), maps_reset();
		box(120, 150, 20, 50);
	}
	// The box as MAP sets it after its checks.
	void box(double b1, double b2, double a1, double a2, short ynmap = 1)
	{
		mf.b1 = b1, mf.b2 = b1 >= b2 ? b2 + 360 : b2, mf.a1 = a1, mf.a2 = a2;
		mf.wrap = b1 >= b2, mf.ynmap = ynmap;
		map_geometry(), symbol_sizes();
	}
	// The four numbers of every recorded call of one kind ("line", "arc").
	Calls calls(const std::string &kind)
	{
		Calls v;
		for (auto &c : r.calls)
			if (std::array<int, 4> a; std::sscanf(c.c_str(), (kind + " %d %d %d %d").c_str(), &a[0], &a[1], &a[2], &a[3]) == 4)
				v.push_back(a);
		return v;
	}
	bool shows(const std::string &text) { return r.texts().find(text) != std::string::npos; }
	bool framed() // the map frame was drawn
	{
		return std::ranges::count(calls("rect"), std::array{mf.kx0 + 4, mf.ky0 + 45, mf.kx1 - mf.kx0, mf.ky1 - mf.ky0});
	}
	// Window pixel of a plotting point inside the map viewport.
	int wx(int x) { return x + mf.kx0 + 1 + 4; }
	// f written as file (less its last cut bytes) and drawn as the base map
	// name: its lines, or none when drawing failed (message in em_s).
	Calls draw(const MapFile &f, const char *file, const char *name, size_t cut = 0)
	{
		f.write(dir.file(file), cut);
		r.calls.clear();
		return dmap(name, 0, nullptr) == 1 ? calls("line") : Calls{};
	}
	// MAP's panel over a base map of one line and one event, with the SELECT
	// box as twelve words (degrees, minutes, letter, twice for longitude,
	// then twice for latitude), a region and a dataset; then Enter and F3:
	// what MAP answered.
	int enter_then_quit(const char *box = "120 00 E 150 00 E 20 00 N 50 00 N", const char *region = "",
			    const char *dataset = "T")
	{
		MapFile().header('F', 100).line('C', {{35, 135}, {36, 136}}).x().write(dir.file("t.m"));
		test::write_file(dir.file("regions"), "KANTO 138 E 141 E 34 N 37 N\nWRAP 170 E 170 W 30 N 60 N\n");
		if (!st.itot)
			add_event(135, 35, 10, 5);
		std::istringstream in(box);
		std::string w;
		for (char *f : {se.so1_s, se.som1_s, se.sew1_s, se.so2_s, se.som2_s, se.sew2_s, se.sa1_s, se.sam1_s,
				se.sns1_s, se.sa2_s, se.sam2_s, se.sns2_s})
			in >> w, std::strcpy(f, w.c_str());
		std::snprintf(se.dst_s, sizeof se.dst_s, "%s", region);
		std::snprintf(se.mps_s, sizeof se.mps_s, "%s", dataset);
		return quit_after(map, "\r");
	}
	// Keys typed into a panel, F3 to quit it: what the command answered
	// (the calls recorded are its own).
	int quit_after(int (*command)(), const std::string &keys)
	{
		r.calls.clear(), r.type(keys.c_str()), r.key(F3);
		return command();
	}
};

// The subfunctions after a SELECT that let everything through.
struct MapSub : Map {
	void SetUp() override
	{
		Map::SetUp();
		st.iyy1 = 0, st.iyy2 = 65535, st.imd2 = st.ihm2 = st.isc2 = 65535;
		st.ih1 = 0, st.ih2 = 65534, st.m1 = -127, st.m2 = 127;
		box(130, 140, 30, 40, 0);
		for (auto &row : r.image) // every pixel painted: the box decides
			std::fill(std::begin(row), std::end(row), 1);
	}
	// Plotting pixel of a position.
	int px(double lon) { return mf.kx0 + (int)((lon - mf.b1) * mf.rrx); }
	int py(double la) { return mf.ky0 + (int)((mf.c2 - lat(la)) * mf.rry); }
	// A profile axis from (x0, y0) to (x1, y1) and a width point on row wy,
	// plotting pixels, picked with clicks; Enter ends the pick loop.
	void profile(int x0, int y0, int x1, int y1, int wy)
	{
		for (auto [x, y] : {std::pair{x0, y0}, {x1, y1}, {x0 + 3, wy}})
			r.click(x + 4, y + 45);
		r.ch('\r');
	}
	// Events the area test keeps of a figure from (lon0, la0) to (lon1, la1).
	int area_test(double lon0, double lon1, double la0, double la1)
	{
		int xs[2] = {px(lon0), px(lon1)}, ys[2] = {py(la0), py(la1)}, n = -1;
		map_sub_prep(xs, ys, 2), map_retrv(n);
		return n;
	}
};

} // namespace

// Polylines outside the box are skipped; coast cyan, borders blue. In a
// fault file the codes take the activeness colours; drawn as a base map
// the same lines look like coast. The bundled nwpac.m over Japan: its 43
// polylines that meet the box hold 4,335 points, so 4,292 lines, those onto
// the pixel the pen is on included (the hard copy draws the same lines).
TEST_F(Map, BaseMapAndFaultColours)
{
	auto v = draw(MapFile().header('F', 100).line('C', {{35, 135}, {36, 136}}) // inside
			      .line('C', {{55, 135}, {56, 136}})                     // north of the box
			      .line('C', {{35, 155}, {36, 156}})                     // east of the box
			      .line('B', {{30, 125}, {31, 126}, {32, 127}}).x(), "japan.m", "japan");
	ASSERT_EQ(v.size(), 3u); // the frame is a rectangle, not lines
	EXPECT_NEAR(v[0][0], wx((mf.kx1 - mf.kx0 - 2) / 2), 2) << "135 E is the middle of 120..150";
	EXPECT_TRUE(r.has("gc 00ffff 000000") && r.has("gc 0000ff 000000"));

	MapFile().header('F', 100).line('F', {{35, 135}, {36, 136}}).line('I', {{30, 125}, {31, 126}}).x()
		.write(dir.file("flt.f")).write(dir.file("flt.m"));
	const int colours[4] = {4, 6, 2, 5};
	for (int fault : {1, 0}) {
		r.calls.clear();
		ASSERT_EQ(dmap("FLT", fault, colours), 1);
		EXPECT_EQ(r.has("gc ff0000 000000") && r.has("gc ff00ff 000000"), fault) << "'F' first, 'I' fourth";
		EXPECT_EQ(r.has("gc 00ffff 000000"), !fault);
	}

	ASSERT_TRUE(std::getenv("TARNWELL_SOURCE"));
	std::snprintf(st.drvo_s, sizeof st.drvo_s, "%s/data/aux", std::getenv("TARNWELL_SOURCE"));
	box(128, 146, 25, 46);
	r.calls.clear();
	EXPECT_EQ(dmap("", 0, nullptr), 1) << pn.em_s;
	EXPECT_EQ(calls("line").size(), 4292u);
}

// 'Z' parts chain on to the next file; nothing after 'X' is drawn, a
// missing part is named and keeps what was drawn, a loop of parts ends.
// Without 'X' the file ends at its loaded bytes, and so does a line whose
// point count claims more.
TEST_F(Map, DatasetsEndAtTheirLoadedBytes)
{
	MapFile a = MapFile().header(' ', 0).line('C', {{30, 130}, {31, 131}}).z('2');
	MapFile().line('C', {{32, 132}, {33, 133}}).z('3').write(dir.file("earth.m2"));
	MapFile().line('C', {{34, 134}, {35, 135}}).x().line('C', {{36, 136}, {37, 137}}).write(dir.file("earth.m3"));
	EXPECT_EQ(draw(a, "earth.m", "EARTH").size(), 3u);
	std::remove(dir.file("earth.m3").c_str());
	EXPECT_TRUE(draw(a, "earth.m", "EARTH").empty());
	EXPECT_NE(std::string(pn.em_s).find("earth.m3"), std::string::npos) << pn.em_s;
	EXPECT_EQ(calls("line").size(), 2u);

	MapFile f = MapFile().header(' ', 0).line('C', {{30, 130}, {31, 131}}).line('C', {{32, 132}, {33, 133}, {34, 134}});
	EXPECT_EQ(draw(f, "noend.m", "noend").size(), 3u);
	EXPECT_EQ(draw(f, "cut.m", "cut", 2).size(), 2u) << "the last point cut in half is not drawn";
	MapFile big = MapFile().header(' ', 0).line('C', {{30, 130}, {31, 131}}, '2');
	big.b[5] = '\xff', big.b[6] = 0x7f; // claims 32767 points
	EXPECT_EQ(draw(big, "big.m", "big").size(), 1u);
	for (auto [file, part] : {std::pair{"loop.m2", '3'}, {"loop.m3", '4'}, {"loop.m4", '3'}})
		MapFile().z(part).write(dir.file(file));
	MapFile().header(' ', 0).z('2').write(dir.file("loop.m"));
	EXPECT_EQ(dmap("loop", 0, nullptr), 1);
}

// Across the date line Asia and America meet at 180, and only events in
// the box are plotted; a full turn splits a line at the seam; a map that
// does not wrap never splits, however far a line runs past the frame.
TEST_F(Map, LinesAndEventsAcrossTheSeam)
{
	box(170, -170, 30, 60);
	auto v = draw(MapFile().header(' ', 0).line('C', {{40, 175}, {40, -175}}).x(), "dl.m", "dl");
	ASSERT_EQ(v.size(), 1u);
	EXPECT_NEAR(v[0][2] - v[0][0], 10 * mf.rrx, 1);
	for (double lon : {-175, 160, -165}) // inside, west, east of the box
		add_event(lon, 45);
	EXPECT_EQ(epicenters(), 1);

	box(0, 0, -60, 60);
	v = draw(MapFile().header(' ', 180).line('C', {{10, 358}, {12, 2}}).x(), "seam.m", "seam"); // 16-bit from 180 E
	ASSERT_EQ(v.size(), 2u);
	EXPECT_EQ(v[0][2], wx((int)(36000 * mf.rrx / 100))) << "to the east side";
	EXPECT_EQ(v[1][0], wx(0)) << "on from the west side";
	EXPECT_EQ(v[0][3], v[1][1]) << "at the same latitude";
	EXPECT_TRUE(v[0][3] <= v[0][1] && v[1][1] >= v[1][3] && v[0][1] > v[1][3]) << "between 10 N and 12 N";

	box(135, 135.5, 35, 35.5);
	v = draw(MapFile().header(' ', 0).line('C', {{35.2, 134}, {35.3, 137}}).x(), "zoom.m", "zoom");
	ASSERT_EQ(v.size(), 1u);
	EXPECT_TRUE(v[0][0] < wx(0) && v[0][2] > wx(mf.kx1 - mf.kx0));
}

// Colour and size by depth and magnitude class; unknown magnitude is MAG0,
// unknown depth DEP0; events on the frame are not plotted.
TEST_F(Map, DepthAndMagnitudeClasses)
{
	const struct { double lon, la, depth, mag; int colour, size; } cases[] = { // colour, size 0: not plotted
		{135, 35, 35, 3, 5, 2}, {135, 35, 600, 3, 7, 2}, {135, 35, 10, 3, 4, 2}, {135, 35, 10, 0, 4, 1},
		{120, 35, 10, 3, 0, 0}, {135, 50, 10, 3, 0, 0}, {120.01, 35, 10, 3, 4, 2}, // west and north edge
		{135, 35, 10, 7.5, 4, 7}, {135, 35, -1, 3, 4, 2},
	};
	for (const auto &c : cases)
		add_event(c.lon, c.la, c.depth, c.mag);
	Placed e;
	for (int i = 0; i < st.itot; i++) {
		if (!place_event(i, e))
			e.colour = e.size = 0;
		EXPECT_EQ((std::array{e.colour, e.size}), (std::array{cases[i].colour, cases[i].size})) << i;
	}
	EXPECT_NEAR(e.dep, -0.1, 1e-9);
	mf.ynmap = 0;
	dmap("", 0, nullptr); // the frame and its viewport
	r.calls.clear();
	EXPECT_EQ(epicenters(), 7);
	auto arcs = calls("arc");
	for (int d : {14, 2}) // circles of diameter d centred on the last event
		EXPECT_EQ(std::ranges::count(arcs, std::array{wx(e.x) - d / 2, e.y + mf.ky0 + 46 - d / 2, d, d}), 1) << d;
}

// Each refused panel says why; a refused box draws no frame. 180 E to
// 180 W is a full turn from the date line, as equal longitudes are: a
// frame of no width would divide by zero. A region across the date line
// wraps the same way (rows without a message: drawn from b1 to b2).
TEST_F(Map, PanelsRefusedOrWrapped)
{
	const struct { const char *box, *region, *dataset, *message; bool framed = false; int b1 = 0, b2 = 0; } cases[] = {
		{"120 00 E 150 00 E 30 00 N 30 00 N", "", "T", // no height
		 "The second latitude should be in the north of the first!"},
		{"200 00 E 150 00 E 20 00 N 50 00 N", "", "T", "Longitude values should not exceed 180 degrees!"},
		{"120 00 E 150 00 E 20 00 N 50 00 N", "NOWHERE", "T", "Invalid region name!"},
		{"120 00 E 150 00 E 20 00 N 50 00 N", "", "NONE", "none.m' does not exist!", true},
		{"180 00 E 180 00 W 20 00 N 50 00 N", "", "T", nullptr, true, 180, 540},
		{"180 00 E 180 00 W 20 00 N 50 00 N", "WRAP", "T", nullptr, true, 170, 190},
	};
	for (const auto &c : cases) {
		SCOPED_TRACE(std::string(c.box) + " " + c.region + " " + c.dataset);
		EXPECT_EQ(enter_then_quit(c.box, c.region, c.dataset), 0);
		EXPECT_EQ(framed(), c.framed);
		if (c.message) {
			EXPECT_TRUE(shows(c.message)) << r.texts();
			continue;
		}
		EXPECT_EQ((std::array{mf.b1, mf.b2, (double)mf.wrap}), (std::array{(double)c.b1, (double)c.b2, 1.0}));
		EXPECT_DOUBLE_EQ(mf.rrx, (mf.kx1 - mf.kx0) / double(c.b2 - c.b1));
	}
}

TEST_F(Map, SymbolPanelStopsAtABlankRangeOrQuits)
{
	// Field 14 changes the symbol assignments; MAP1 field 6 is the DEP3 range.
	r.type((std::string(14, '\t') + "y\r" + std::string(6, '\t') + "   ").c_str());
	EXPECT_EQ(enter_then_quit(), 0);
	EXPECT_EQ((std::array{se.ndp, se.cdp[2], se.icd[2], se.nmg}), (std::array{3, 40, 6, 8}));
	EXPECT_DOUBLE_EQ(se.ro, 1.5);
	EXPECT_TRUE(framed());

	// F3 on the symbol panel changes nothing and draws nothing.
	dpmg_init();
	EXPECT_EQ(quit_after(map, std::string(14, '\t') + "y\r999"), 0);
	EXPECT_EQ((std::array{se.ndp, se.cdp[0]}), (std::array{7, 0}));
	EXPECT_FALSE(framed());
}

// Distances along a profile axis picked as on the map (its ends, then the
// width point): a horizontal axis leaves latitude out, a vertical one
// longitude, and an oblique one of slope exactly -1 is not taken for a
// vertical one.
TEST_F(MapSub, ProjectionOntoTheAxis)
{
	Pick p;
	auto axis = [&](int x0, int y0, int x1, int y1) {
		profile(x0, y0, x1, y1, y0 + 5);
		EXPECT_EQ(project_area(p = Pick{}), K_RETURN);
	};
	axis(px(132), py(35), px(138), py(35));
	EXPECT_NEAR(rtal(135, 34.5, p), rtal(135, 35.3, p), 1e-6);
	EXPECT_NEAR(rtal(135, 34.5, p), 3 * 111.16 * std::cos(35 / 57.3), 8);
	axis(px(135), py(32), px(135), py(38));
	EXPECT_NEAR(rtal(134, 36, p), rtal(136.5, 36, p), 1e-6);
	axis(px(132), py(32), px(132) + 150, py(32) - 150);
	double lon1 = dm2deg(mp.lo[1], mp.lom[1], mp.low[1]), la1 = dm2deg(mp.la[1], mp.lam[1], mp.las[1]);
	EXPECT_EQ(p.slope, -1);
	EXPECT_NEAR(rtal(lon1, la1, p), p.length, 1.0);
	EXPECT_GT(p.length, 100);
}

// On maps that wrap the box runs on past 180; a box from 10 W round to
// 20 W holds Greenwich: a figure across it must not turn into an empty key
// range, nor one at the box's far end. A figure of one pixel (r = 0) keeps
// the events on it.
TEST_F(MapSub, AreaTestKeepsPaintedEventsAcrossSegmentsAndWraps)
{
	box(170, -170, 30, 60, 0);
	for (double lon : {-178, 178, -172}) // the last east of the figure
		add_event(lon, 45);
	EXPECT_EQ(area_test(175, 185, 40, 50), 2);
	st.itot = 0;
	box(-10, -20, -30, 30, 0);
	for (double lon : {-3, 2, 8, -27})
		add_event(lon, 0);
	EXPECT_EQ(area_test(-5, 5, -5, 5), 2);
	EXPECT_LT(st.lo1, st.lo2);
	EXPECT_EQ(area_test(330, 335, -5, 5), 1);
	EXPECT_EQ(coordkey(7, evslot(base2(), 0)), -27 * 256);

	st.itot = 0;
	box(130, 140, 30, 40, 0);
	for (int i = 0; i < 5000; i++)
		add_event(i < 4500 ? 135 : 131, 35); // the last 500 west of the box
	add_event(136, 36);         // inside the box, its pixel not painted
	r.image[py(36) + 1 + 45][px(136) + 1 + 4] = 0;
	EXPECT_EQ(area_test(133, 139, 32, 38), 4500);
	EXPECT_EQ(rec_marker(st.iseg[base2()] + MARKSLOT), M_CONT) << "the first segment is marked as continued";
	EXPECT_EQ(rec_marker(evslot(base2(), 4500)), M_END);
	EXPECT_EQ(coordkey(7, evslot(base2(), 4499)), 135 * 256);
	EXPECT_EQ(area_test(135, 135, 35, 35), 4500);
}

TEST_F(MapSub, SelectReplacesTheStoreOrNot)
{
	for (int i = 0; i < 11; i++)
		add_event(i < 10 ? 135 : 131, 35);
	// Four corners, Enter to leave the pick loop, then the answer to "Are
	// these all right?": N changes nothing.
	for (auto [answer, kept] : {std::pair{"\tn\r", 11}, {"\r", 10}}) {
		for (auto [lon, la] : {std::pair{133, 33}, {138, 33}, {138, 38}, {133, 38}})
			r.click(px(lon) + 4, py(la) + 45);
		r.ch('\r');
		r.type(answer);
		EXPECT_EQ(map_select(), K_F6);
		EXPECT_EQ(st.itot, kept);
	}
	EXPECT_STREQ(pn.em_s, "Memory contents were replaced.");
	EXPECT_EQ(coordkey(7, evslot(0, 9)), 135 * 256);
	EXPECT_EQ(rec_marker(evslot(0, 10)), M_END);
}

TEST_F(MapSub, CrossSectionWithoutADistanceSpan)
{
	add_event(135, 34.8, 5, 5);
	profile(px(132), py(35), px(138), py(35), py(34));
	EXPECT_EQ(quit_after(map_cross_section, "\t   0\r"), K_F3); // X2 = X1 = 0
	for (auto [x, y, w, h] : calls("arc")) // centres on the chart's axis row
		EXPECT_FALSE(y + h / 2 == 42 + 45 && x + w / 2 >= 44 && x + w / 2 <= 494) << "no event without a scale";
	EXPECT_TRUE(shows("CROSS-"));
}

TEST_F(MapSub, SpaceTimeHourUnitBounds)
{
	for (int hour : {5, 12, 18, 19}) { // before 06:00, inside, 18:30 still hour 18, after 18:59
		unsigned char *e = add_event(135, 34.8, 10, 5);
		e[0] = 90, e[1] = 6, e[2] = 15, e[3] = (unsigned char)hour, e[4] = 30;
	}
	// The SELECT time window: 1990-06-15, 06 to 18 h.
	for (auto [f, v] : {std::pair{se.y1_s, "1990"}, {se.y2_s, "1990"}, {se.m1_s, "06"}, {se.d1_s, "15"},
			    {se.h1_s, "06"}, {se.m2_s, "06"}, {se.d2_s, "15"}, {se.h2_s, "18"}})
		std::strcpy(f, v);
	profile(px(132), py(35), px(138), py(35), py(34));
	EXPECT_EQ(quit_after(map_space_time, std::string(12, '\t') + "h\r"), K_F3); // the tick unit
	// The map under the picks shows all four at one pixel; the plot only two.
	int mapx = wx((int)((135 - mf.b1) * mf.rrx)), events = 0;
	for (auto [x, y, w, h] : calls("arc"))
		events += x + w / 2 != mapx && x + w / 2 < 494 && w / 2 == 4;
	EXPECT_EQ(events, 2);
}

TEST_F(MapSub, StationsWithCodes)
{
	std::string b;
	for (auto [code, lon, la] : {std::tuple{"ABC ", 135, 35}, {"WXYZ", 136, 36}, {"EDGE", 130, 35}, // on the west edge
				     {"", 0, 0}, {"LATE", 137, 37}})                               // "": the end record
		b += *code ? std::string(6, '\0') + code + std::string((char *)Ev(1995).at(lon, la).b.data() + 7, 6)
			   : std::string(10, '\0') + '\xff' + std::string(5, '\0');
	std::snprintf(st.f2_s, sizeof st.f2_s, "TEST");
	for (size_t size : {b.size(), (size_t)32}) { // whole; cut before its end record
		test::write_file(dir.file("test.s"), b.substr(0, size));
		EXPECT_EQ(quit_after(map_stations, "\ty\r"), K_F3);
		// "ABC": three characters when the fourth is blank.
		EXPECT_TRUE(shows("ABC") && !shows("ABC ") && shows("WXYZ") && !shows("EDGE") && !shows("LATE")) << r.texts();
	}
}
