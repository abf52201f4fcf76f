// The area test on a real X server: it reads back what the fill painted.
#include <gtest/gtest.h>

#include <string>

#include "device/graph.h"
#include "maps/mapsub.h"
#include "mapdata.h"
#include "x11_display.h"

using namespace tw;

namespace {

struct MapDisplay : ::testing::Test {
	static void SetUpTestSuite() { open_display(); }
	static void TearDownTestSuite() { win_finish(); }
	test::TempDir dir;
	void SetUp() override { map_fresh(dir.path); }
};

} // namespace

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
