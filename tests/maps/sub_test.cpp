// Map subfunctions driven with scripted clicks and keys; the raster area
// test reads a recording image that the test paints itself.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "device/graph.h"
#include "device/screen.h"
#include "maps/mapsub.h"
#include "mapdata.h"
#include "shell/panel.h"

using namespace tw;

namespace {

struct MapSub : MapTest {
	void SetUp() override
	{
		MapTest::SetUp();
		// The last SELECT let everything through.
		st.iyy1 = 0, st.iyy2 = 65535, st.imd2 = st.ihm2 = st.isc2 = 65535;
		st.ih1 = 0, st.ih2 = 65534, st.m1 = -127, st.m2 = 127;
		box(130, 140, 30, 40);
		for (auto &row : r.image) // every pixel painted: the box decides
			for (auto &p : row)
				p = 1;
	}
	void box(double b1, double b2, double a1, double a2) { map_box(b1, b2, a1, a2, 0); }
	// Plotting pixel of a position, and a click there.
	int px(double lon) { return mf.kx0 + (int)((lon - mf.b1) * mf.rrx); }
	int py(double la) { return mf.ky0 + (int)((mf.c2 - lat(la)) * mf.rry); }
	void click(double lon, double la) { r.click(px(lon) + 4, py(la) + 45); }
	void profile() { click(132, 35), click(138, 35), click(135, 34), enter(); } // axis and width
	struct Arc {
		int cx, cy, r;
	};
	std::vector<Arc> arcs() // centres in plotting pixels
	{
		std::vector<Arc> v;
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
	Pick p{};
	// Horizontal axis along 35 N from 132 E: the latitude does not count.
	p.xs[0] = px(132), p.ys[0] = py(35), p.xs[1] = px(138), p.ys[1] = py(35);
	p.horizontal = true, p.slope = -2;
	p0_at_pixel(p.xs[0], p.ys[0]);
	EXPECT_NEAR(rtal(135, 34.5, p), rtal(135, 35.3, p), 1e-6);
	EXPECT_NEAR(rtal(135, 34.5, p), 3 * 111.16 * std::cos(35 / 57.3), 8);
	// Vertical axis: the longitude does not count.
	Pick v{};
	v.xs[0] = v.xs[1] = px(135), v.ys[0] = py(32), v.ys[1] = py(38);
	v.vertical = true, v.slope = -1;
	p0_at_pixel(v.xs[0], v.ys[0]);
	EXPECT_NEAR(rtal(134, 36, v), rtal(136.5, 36, v), 1e-6);
	// An oblique axis of slope exactly -1 is not taken for a vertical one.
	Pick o{};
	o.xs[0] = 100, o.ys[0] = 300, o.xs[1] = 300, o.ys[1] = 100, o.slope = -1;
	p0_at_pixel(o.xs[0], o.ys[0]);
	double lon1 = (300 - mf.kx0) / mf.rrx + mf.b1;
	double la1 = unlat(mf.c2 - (100 - mf.ky0) / mf.rry);
	EXPECT_NEAR(rtal(lon1, la1, o), delta(lon1, la1), 1.0);
	EXPECT_GT(rtal(lon1, la1, o), 100);
}

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
}

TEST_F(MapSub, AreaTestOnMapsThatWrap)
{
	// Across the 180th meridian: the box runs on past 180.
	box(170, -170, 30, 60);
	for (double lon : {-178, 178, -172}) // the last east of the figure
		add_event(lon, 45, 10, 3);
	EXPECT_EQ(area_test(175, 185, 40, 50), 2);

	// A box from 10 W round to 20 W holds Greenwich: a figure across it
	// must not turn into an empty key range, nor one at the box's far end.
	st.itot = 0;
	put_marker(0, 0, M_END);
	box(-10, -20, -30, 30);
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
		enter();
		type(answer);
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
	r.key(KS_F1 + 2);
	EXPECT_EQ(map_cross_section(), K_F3);
	for (auto a : arcs())
		EXPECT_FALSE(a.cy == 42 && a.cx >= 40 && a.cx <= 490) << "no event without a scale";
	EXPECT_TRUE(shows("CROSS-"));
}

TEST_F(MapSub, SpaceTimeHourUnitBounds)
{
	auto at = [&](int day, int hour) {
		unsigned char *e = add_event(135, 34.8, 10, 5);
		e[0] = 90, e[1] = 6, e[2] = (unsigned char)day, e[3] = (unsigned char)hour, e[4] = 30;
	};
	at(15, 5);  // before 06:00
	at(15, 12); // inside
	at(15, 18); // 18:30 is still hour 18: inside
	at(15, 19); // after 18:59
	// The SELECT time window: 1990-06-15, 06 to 18 h.
	for (auto *f : {se.y1_s, se.y2_s})
		std::snprintf(f, 5, "1990");
	for (auto [f, v] : {std::pair{se.m1_s, "06"}, {se.d1_s, "15"}, {se.h1_s, "06"}, {se.m2_s, "06"}, {se.d2_s, "15"}, {se.h2_s, "18"}})
		std::snprintf(f, 3, "%s", v);
	profile();
	type(std::string(12, '\t') + "h\r"); // the tick unit
	r.key(KS_F1 + 2);
	EXPECT_EQ(map_space_time(), K_F3);
	// The map under the picks shows all four at one pixel; the plot only two.
	int mapx = mf.kx0 + 1 + (int)((135 - mf.b1) * mf.rrx), events = 0;
	for (auto a : arcs())
		events += a.cx != mapx && a.cx < 490 && a.r == 4;
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
		r.key(KS_F1 + 2);
		EXPECT_EQ(map_stations(), K_F3);
		EXPECT_TRUE(shows("WXYZ")) << size;
		EXPECT_FALSE(shows("EDGE"));
		EXPECT_FALSE(shows("LATE"));
	}
	EXPECT_TRUE(shows("ABC"));
	EXPECT_FALSE(shows("ABC ")) << "three characters when the fourth is blank";
}
