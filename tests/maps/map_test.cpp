// MAP drawn through the recording back end: projection, frame, base-map
// datasets, symbols, the panels with scripted keys, and the subfunctions
// with scripted clicks (the raster area test reads a recording image that
// the tests paint themselves).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <tuple>

#include "catalog/store.h"
#include "device/graph.h"
#include "device/screen.h"
#include "device/spool.h"
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
using Ints = std::vector<int>;

// A map dataset file built record by record; coordinates in degrees.
struct MapFile {
	std::vector<uint8_t> b;
	int s = 100, l0 = 0;

	MapFile &header(char res, int base)
	{
		s = res == 'F' ? 1000 : 100, l0 = base;
		b.push_back((uint8_t)res);
		return w16(base);
	}
	MapFile &w16(long v) { return b.push_back((uint8_t)(v & 255)), b.push_back((uint8_t)(v >> 8 & 255)), *this; }
	// pts: (latitude, longitude) pairs; the bounds lead the points.
	MapFile &line(char code, const std::vector<std::pair<double, double>> &pts, char flag = '1')
	{
		std::vector<long> ys, xs;
		for (auto [la, lo] : pts)
			ys.push_back((long)(la * s)), xs.push_back((long)((lo - l0) * s));
		mark(code, flag);
		flag == '2' ? (void)w16((long)pts.size()) : b.push_back((uint8_t)pts.size());
		auto [y0, y1] = std::minmax_element(ys.begin(), ys.end());
		auto [x0, x1] = std::minmax_element(xs.begin(), xs.end());
		w16(*y0).w16(*y1).w16(*x0).w16(*x1);
		for (size_t i = 0; i < pts.size(); i++)
			w16(ys[i]).w16(xs[i]);
		return *this;
	}
	MapFile &mark(char code, char flag) { return b.push_back((uint8_t)code), b.push_back((uint8_t)flag), *this; }
	MapFile &z(char part) { return mark('Z', part); } // on in the next file
	MapFile &x() { return mark('X', '0'); }           // the end
	void write(const std::string &path, size_t cut = 0) const
	{
		test::write_file(path, std::string(b.begin(), b.end() - cut));
	}
};

// An event appended to the selection; its record in the store. Depth < 0
// is undetermined, and so is magnitude 0.
unsigned char *add_event(double lon, double la, double depth, double mag)
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
		use_recording(r);
		fresh_store(dir.path);
		dpmg_init();
		maps_reset();
		box(120, 150, 20, 50);
	}
	std::string path(const char *name) { return dir.file(name); }
	// The box as MAP sets it after its checks.
	void box(double b1, double b2, double a1, double a2, short ynmap = 1)
	{
		mf.b1 = b1, mf.b2 = b1 >= b2 ? b2 + 360 : b2, mf.a1 = a1, mf.a2 = a2;
		mf.wrap = b1 >= b2, mf.ynmap = ynmap;
		map_geometry();
		symbol_sizes();
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
		return r.has("rect " + std::to_string(mf.kx0 + 4) + " " + std::to_string(mf.ky0 + 45) + " " +
			     std::to_string(mf.kx1 - mf.kx0) + " " + std::to_string(mf.ky1 - mf.ky0));
	}
	void type(const std::string &s)
	{
		for (char c : s)
			r.ch(c);
	}
	// Window pixel of a plotting point inside the map viewport.
	int wx(int x) { return x + mf.kx0 + 1 + 4; }
	// f written as file (less its last cut bytes) and drawn as the base map
	// name: its lines, or none when drawing failed (message in em_s).
	Calls draw(const MapFile &f, const char *file, const char *name, size_t cut = 0)
	{
		f.write(path(file), cut);
		r.calls.clear();
		pn.em_s[0] = 0;
		return dmap(name, 0, nullptr) == 1 ? calls("line") : Calls{};
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
	b.line('C', {{32, 132}, {33, 133}}).z('3').write(path("earth.m2"));
	c.line('C', {{34, 134}, {35, 135}}).x().line('C', {{36, 136}, {37, 137}}).write(path("earth.m3"));
	EXPECT_EQ(draw(a, "earth.m", "EARTH").size(), 3u);
	std::remove(path("earth.m3").c_str());
	EXPECT_TRUE(draw(a, "earth.m", "EARTH").empty());
	EXPECT_NE(std::string(pn.em_s).find("earth.m3"), std::string::npos) << pn.em_s;
	EXPECT_EQ(calls("line").size(), 2u);

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
		EXPECT_EQ((Ints{e.colour, e.size}), (Ints{cases[i].colour, cases[i].size})) << i;
	}
	EXPECT_NEAR(e.dep, -0.1, 1e-9);
	mf.ynmap = 0;
	dmap("", 0, nullptr); // the frame and its viewport
	r.calls.clear();
	EXPECT_EQ(epicenters(), 6);
	EXPECT_TRUE(r.has("gc ff00ff 000000")) << "magenta";
	EXPECT_EQ(calls("rect").size(), 1u) << "one square";
	EXPECT_EQ(calls("arc").size(), 4u) << "four circles";
	for (int d : {14, 2}) // circles of diameter d centred on the last event
		EXPECT_TRUE(r.has("arc " + std::to_string(wx(e.x) - d / 2) + " " +
				  std::to_string(e.y + mf.ky0 + 1 + 45 - d / 2) + " " + std::to_string(d) + " " +
				  std::to_string(d)));
	st.itot = 0;
	for (auto [lon, la] : {std::pair{120.0, 35.0}, {135.0, 50.0}, {120.01, 35.0}}) // west and north edge
		add_event(lon, la, 10, 3);
	EXPECT_EQ(epicenters(), 1);
}

namespace {

// MAP through its panels, from the area of the last SELECT.
struct MapFlow : Map {
	void SetUp() override
	{
		Map::SetUp();
		area("120 00 E 150 00 E 20 00 N 50 00 N");
		se.dst_s[0] = 0;
		std::snprintf(se.mps_s, sizeof se.mps_s, "T");
		MapFile().header('F', 100).line('C', {{35, 135}, {36, 136}}).x().write(path("t.m"));
		add_event(135, 35, 10, 5);
	}
	// The SELECT box as twelve words: degrees, minutes, letter, twice for
	// longitude, then twice for latitude.
	void area(const std::string &words)
	{
		std::istringstream in(words);
		for (char *f : {se.so1_s, se.som1_s, se.sew1_s, se.so2_s, se.som2_s, se.sew2_s, se.sa1_s, se.sam1_s,
				se.sns1_s, se.sa2_s, se.sam2_s, se.sns2_s}) {
			std::string w;
			in >> w;
			std::strcpy(f, w.c_str());
		}
	}
	// The panel as it stands, then Enter and F3: what MAP answered.
	int enter_then_quit()
	{
		r.ch('\r');
		r.key(F3);
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
	r.key(F3);
	EXPECT_EQ(map(), 0);
	EXPECT_EQ(se.ndp, 7);
	EXPECT_EQ(se.cdp[0], 0);
	EXPECT_FALSE(framed());
}

namespace {

// The subfunctions after a SELECT that let everything through.
struct MapSub : Map {
	void SetUp() override
	{
		Map::SetUp();
		st.iyy1 = 0, st.iyy2 = 65535, st.imd2 = st.ihm2 = st.isc2 = 65535;
		st.ih1 = 0, st.ih2 = 65534, st.m1 = -127, st.m2 = 127;
		box(130, 140, 30, 40, 0);
		for (auto &row : r.image) // every pixel painted: the box decides
			for (auto &p : row)
				p = 1;
	}
	// Plotting pixel of a position, and a click there.
	int px(double lon) { return mf.kx0 + (int)((lon - mf.b1) * mf.rrx); }
	int py(double la) { return mf.ky0 + (int)((mf.c2 - lat(la)) * mf.rry); }
	void click(double lon, double la) { r.click(px(lon) + 4, py(la) + 45); }
	void profile() { click(132, 35), click(138, 35), click(135, 34), r.ch('\r'); } // axis and width
	// Circles as {centre x, centre y, radius}, in plotting pixels.
	std::vector<std::array<int, 3>> arcs()
	{
		std::vector<std::array<int, 3>> v;
		for (auto [x, y, w, h] : calls("arc"))
			v.push_back({x + w / 2 - 4, y + h / 2 - 45, w / 2});
		return v;
	}
	// Events the area test keeps of a figure from (lon0, la0) to (lon1, la1).
	int area_test(double lon0, double lon1, double la0, double la1)
	{
		int xs[2] = {px(lon0), px(lon1)}, ys[2] = {py(la0), py(la1)}, n = -1;
		map_sub_prep(xs, ys, 2);
		map_retrv(n);
		return n;
	}
	// The profile's first point at a plotting pixel, as the pick loop keeps it.
	void p0_at_pixel(int x, int y)
	{
		DegMin d;
		ital(x, y, d);
		double lon = dm2deg(d.lo, d.lom, d.w), la = dm2deg(d.la, d.lam, d.s);
		mp.lo[0] = (int)lon, mp.lom[0] = (short)std::round(std::fabs(lon - (int)lon) * 60);
		mp.la[0] = (short)la, mp.lam[0] = (short)std::round(std::fabs(la - (int)la) * 60);
		mp.low[0] = lon < 0, mp.las[0] = la < 0;
	}
};

} // namespace

TEST_F(MapSub, ProjectionOntoTheAxis)
{
	// Horizontal axis along 35 N from 132 E: the latitude does not count.
	Pick p{}, v{}, o{};
	p.xs[0] = px(132), p.ys[0] = py(35), p.xs[1] = px(138), p.ys[1] = py(35), p.horizontal = true, p.slope = -2;
	p0_at_pixel(p.xs[0], p.ys[0]);
	EXPECT_NEAR(rtal(135, 34.5, p), rtal(135, 35.3, p), 1e-6);
	EXPECT_NEAR(rtal(135, 34.5, p), 3 * 111.16 * std::cos(35 / 57.3), 8);
	// Vertical axis: the longitude does not count.
	v.xs[0] = v.xs[1] = px(135), v.ys[0] = py(32), v.ys[1] = py(38), v.vertical = true, v.slope = -1;
	p0_at_pixel(v.xs[0], v.ys[0]);
	EXPECT_NEAR(rtal(134, 36, v), rtal(136.5, 36, v), 1e-6);
	// An oblique axis of slope exactly -1 is not taken for a vertical one.
	o.xs[0] = 100, o.ys[0] = 300, o.xs[1] = 300, o.ys[1] = 100, o.slope = -1;
	p0_at_pixel(o.xs[0], o.ys[0]);
	double lon1 = (300 - mf.kx0) / mf.rrx + mf.b1;
	double la1 = unlat(mf.c2 - (100 - mf.ky0) / mf.rry);
	EXPECT_NEAR(rtal(lon1, la1, o), delta(lon1, la1), 1.0);
	EXPECT_GT(rtal(lon1, la1, o), 100);
}

// A figure of one pixel (r = 0) keeps the events on it.
TEST_F(MapSub, AreaTestKeepsPaintedEventsAcrossSegments)
{
	for (int i = 0; i < 4500; i++)
		add_event(135, 35, 10, 3);
	for (int i = 0; i < 500; i++)
		add_event(131, 35, 10, 3); // west of the box
	add_event(136, 36, 10, 3);     // inside the box, its pixel not painted
	r.image[py(36) + 1 + 45][px(136) + 1 + 4] = 0;
	EXPECT_EQ(area_test(133, 139, 32, 38), 4500);
	unsigned char *s0 = st.iseg[base2()];
	EXPECT_EQ(s0[65524], 0xfe) << "the first segment is marked as continued";
	EXPECT_EQ(s0[65525], 0xff);
	EXPECT_EQ(rec_marker(evslot(base2(), 4500)), M_END);
	EXPECT_EQ(coordkey(7, evslot(base2(), 4499)), 135 * 256);
	EXPECT_EQ(area_test(135, 135, 35, 35), 4500);
}

TEST_F(MapSub, AreaTestOnMapsThatWrap)
{
	// Across the 180th meridian: the box runs on past 180.
	box(170, -170, 30, 60, 0);
	for (double lon : {-178, 178, -172}) // the last east of the figure
		add_event(lon, 45, 10, 3);
	EXPECT_EQ(area_test(175, 185, 40, 50), 2);

	// A box from 10 W round to 20 W holds Greenwich: a figure across it
	// must not turn into an empty key range, nor one at the box's far end.
	st.itot = 0;
	put_marker(0, 0, M_END);
	box(-10, -20, -30, 30, 0);
	for (double lon : {-3, 2, 8, -27})
		add_event(lon, 0, 10, 3);
	EXPECT_EQ(area_test(-5, 5, -5, 5), 2);
	EXPECT_LT(st.lo1, st.lo2);
	EXPECT_EQ(area_test(330, 335, -5, 5), 1);
	EXPECT_EQ(coordkey(7, evslot(base2(), 0)), -27 * 256);
}

TEST_F(MapSub, SelectReplacesTheStoreOrNot)
{
	for (int i = 0; i < 10; i++)
		add_event(135, 35, 10, 3);
	add_event(131, 35, 10, 3);
	// Four corners, Enter to leave the pick loop, then the answer to "Are
	// these all right?": N changes nothing.
	for (auto [answer, kept] : {std::pair{"\tn\r", 11}, {"\r", 10}}) {
		click(133, 33), click(138, 33), click(138, 38), click(133, 38);
		type(std::string("\r") + answer);
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
	profile();
	type("\t   0\r"); // X2 = X1 = 0
	r.key(F3);
	EXPECT_EQ(map_cross_section(), K_F3);
	for (auto [x, y, radius] : arcs())
		EXPECT_FALSE(y == 42 && x >= 40 && x <= 490) << "no event without a scale";
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
	profile();
	type(std::string(12, '\t') + "h\r"); // the tick unit
	r.key(F3);
	EXPECT_EQ(map_space_time(), K_F3);
	// The map under the picks shows all four at one pixel; the plot only two.
	int mapx = mf.kx0 + 1 + (int)((135 - mf.b1) * mf.rrx), events = 0;
	for (auto [x, y, radius] : arcs())
		events += x != mapx && x < 490 && radius == 4;
	EXPECT_EQ(events, 2);
}

TEST_F(MapSub, StationsWithCodes)
{
	std::string b;
	auto rec = [&](const char *code, double lon, double la) {
		Ev ev = Ev(1995).at(lon, la);
		b += std::string(6, '\0') + code + std::string((char *)ev.b.data() + 7, 6);
	};
	rec("ABC ", 135, 35);
	rec("WXYZ", 136, 36);
	rec("EDGE", 130, 35); // on the west edge
	b += std::string(10, '\0') + '\xff' + std::string(5, '\0'); // the end record
	rec("LATE", 137, 37);
	std::snprintf(st.f2_s, sizeof st.f2_s, "TEST");
	for (size_t size : {b.size(), (size_t)32}) { // whole; cut before its end record
		test::write_file(path("test.s"), b.substr(0, size));
		r.calls.clear();
		type("\ty\r");
		r.key(F3);
		EXPECT_EQ(map_stations(), K_F3);
		EXPECT_TRUE(shows("WXYZ")) << size;
		EXPECT_FALSE(shows("EDGE"));
		EXPECT_FALSE(shows("LATE"));
	}
	EXPECT_TRUE(shows("ABC"));
	EXPECT_FALSE(shows("ABC ")) << "three characters when the fourth is blank";
}
