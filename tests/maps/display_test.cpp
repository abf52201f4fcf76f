// A map drawn on a real X server: frame, coastline and symbol pixels are
// read back from the backing pixmap.
#include <gtest/gtest.h>

#include <string>

#include "device/graph.h"
#include "maps/mapsub.h"
#include "mapdata.h"
#include "x11_display.h"

using namespace tw;

namespace {

constexpr unsigned long BLACK = 0, WHITE = xrgb(255, 255, 255), CYAN = xrgb(0, 255, 255),
			MAGENTA = xrgb(255, 0, 255), RED = xrgb(255, 0, 0), BLUE = xrgb(0, 0, 255);

struct MapDisplay : ::testing::Test {
	static void SetUpTestSuite() { open_display(); }
	static void TearDownTestSuite() { win_finish(); }
	test::TempDir dir;
	void SetUp() override { map_fresh(dir.path); }
	static unsigned long at(int x, int y) { return pixmap_at(be, x, y); }
};

} // namespace

TEST_F(MapDisplay, FrameCoastlineAndSymbols)
{
	map_box(120, 150, 20, 50, 1);
	MapFile f;
	// A coastline along 30 N and a border along 40 N, both across the box.
	f.header('F', 100).line('C', {{30, 110}, {30, 160}}).line('B', {{40, 110}, {40, 160}}).x();
	f.write(dir.file("t.m"));
	add_event(135, 35, 35, 6);  // DEP1 magenta square, MAG6 size trunc(1.5 x 1.25^6) = 5
	add_event(140, 45, 10, 5);  // DEP0 red circle
	add_event(120, 25, 10, 5);  // on the west edge: not drawn
	clear(0);
	ASSERT_EQ(dmap("T", 0, nullptr), 1);
	EXPECT_EQ(epicenters(), 2);
	gviewport(0, 0, 639, 399);

	// The frame outline in white, black inside.
	EXPECT_EQ(at(mf.kx0 + 4, mf.ky0 + 100), WHITE);
	EXPECT_EQ(at(mf.kx1 + 4, mf.ky0 + 100), WHITE);
	EXPECT_EQ(at(mf.kx0 + 100, mf.ky0 + 45), WHITE);
	EXPECT_EQ(at(mf.kx0 + 4 + 3, mf.ky0 + 45 + 3), BLACK);

	// The coastline crosses the whole frame at the row of 30 N.
	int y30 = wy((int)((int)(mf.c2 * mf.rry) - lat(30) * mf.rry));
	for (int x : {mf.kx0 + 6, (mf.kx0 + mf.kx1) / 2 + 4, mf.kx1 + 2})
		EXPECT_EQ(at(x, y30), CYAN) << x;
	EXPECT_EQ(at(mf.kx1 + 6, y30), BLACK) << "clipped at the frame";
	int y40 = wy((int)((int)(mf.c2 * mf.rry) - lat(40) * mf.rry));
	EXPECT_EQ(at((mf.kx0 + mf.kx1) / 2 + 4, y40), BLUE) << "border";

	Placed e;
	ASSERT_TRUE(place_event(0, e));
	int d = (int)(e.size * 0.9 + 0.5);
	EXPECT_EQ(at(wx(e.x - d), wy(e.y)), MAGENTA) << "left side of the square";
	EXPECT_EQ(at(wx(e.x + d), wy(e.y)), MAGENTA);
	EXPECT_EQ(at(wx(e.x), wy(e.y)), BLACK) << "an outline, not filled";
	ASSERT_TRUE(place_event(1, e));
	EXPECT_EQ(e.size, 4);
	EXPECT_EQ(at(wx(e.x), wy(e.y - e.size)), RED) << "top of the circle";
	EXPECT_EQ(at(wx(e.x), wy(e.y)), BLACK);

	// The west-edge event left nothing at its place.
	int x0 = wx(0), yw = wy((int)((mf.c2 - lat(25)) * mf.rry));
	EXPECT_EQ(at(x0 + 2, yw), BLACK);
}

TEST_F(MapDisplay, LegendSymbolsAtTheRight)
{
	map_box(120, 150, 20, 50, 0);
	clear(0);
	legend("", 0);
	// Depth rows: symbols of size 5 at x 554, y = trunc((i + 8.5) x 15) + 1.
	int y0 = (int)(8.5 * 15) + 1, y1 = (int)(9.5 * 15) + 1;
	EXPECT_EQ(at(554 + 4, y0 - 5 + 45), RED) << "DEP0 circle top";
	int d = (int)(5 * 0.9 + 0.5);
	EXPECT_EQ(at(554 - d + 4, y1 + 45), MAGENTA) << "DEP1 square side";
	// Magnitude rows: white outline circles of the class sizes.
	int ym = (int)(24.5 * 15);
	EXPECT_EQ(at(554 + 4, ym - 7 + 45), WHITE) << "MAG7 circle of radius 7";
}

// The area test keeps what the fill painted: a circle, its centre pixel
// alone (r = 0), and a self-crossing quadrilateral (a bow tie).
TEST_F(MapDisplay, AreaTestFollowsTheFill)
{
	st.iyy1 = 0, st.iyy2 = 65535, st.imd2 = st.ihm2 = st.isc2 = 65535;
	st.ih2 = 65534, st.m1 = -127, st.m2 = 127;
	map_box(130, 140, 30, 40, 0);
	// An event placed in the middle of a plotting pixel.
	auto at_pixel = [&](int x, int y) {
		double lon = mf.b1 + (x - mf.kx0 - 1 + 0.5) / mf.rrx;
		double la = unlat(mf.c2 - (y - mf.ky0 - 1 + 0.5) / mf.rry);
		add_event(lon, la, 10, 3);
	};
	int cx = 250, cy = 200;
	at_pixel(cx, cy);           // centre
	at_pixel(cx + 15, cy);      // inside
	at_pixel(cx + 16, cy + 16); // in the square, outside the circle
	auto find = [&](int r) {
		clear(0);
		_setcolor(4);
		gcircle(1, cx, cy, r);
		const int xs[2] = {cx - r, cx + r}, ys[2] = {cy + r, cy - r};
		map_sub_prep(xs, ys, 2);
		int n = 0;
		map_retrv(n);
		return n;
	};
	EXPECT_EQ(find(20), 2);
	EXPECT_EQ(find(0), 1) << "the centre pixel only";

	// Bow tie: corners (200,150) (300,250) (300,150) (200,250) cross at
	// (250,200); the even-odd fill leaves the top and bottom wedges empty.
	st.itot = 0;
	put_marker(0, 0, M_END);
	at_pixel(210, 200); // left wedge
	at_pixel(290, 200); // right wedge
	at_pixel(250, 160); // top gap
	int qx[4] = {200, 300, 300, 200}, qy[4] = {150, 250, 150, 250};
	clear(0);
	_setcolor(4);
	gfillpolygon(qx, qy, 4);
	map_sub_prep(qx, qy, 4);
	int n = 0;
	map_retrv(n);
	EXPECT_EQ(n, 2);
}
