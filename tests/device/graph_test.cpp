#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "device/graph.h"
#include "device/screen.h"
#include "recording.h"

using namespace tw;

namespace {

struct GraphTest : ::testing::Test {
	Recording rec;
	void SetUp() override
	{
		use_recording(rec);
		rec.calls.clear();
	}
	int count(const char *prefix) const
	{
		int n = 0;
		for (auto &c : rec.calls)
			n += c.rfind(prefix, 0) == 0;
		return n;
	}
};

} // namespace

TEST_F(GraphTest, ViewportsMoveAndClip)
{
	gviewport(10, 20, 110, 220);
	EXPECT_TRUE(rec.has("clip 14 65 100 200"));
	gmoveto(0, 0);
	glineto(5, 7);
	EXPECT_TRUE(rec.has("line 14 65 19 72"));
	gviewport(0, 0, 639, 399);
	EXPECT_TRUE(rec.has("clip 0 0 653 471")) << "the full viewport lifts clipping everywhere";
	gprint(3, 2, "ab", 4);
	EXPECT_TRUE(rec.has("itext 20 72 ab")) << "gprint(3, 2) puts the text at (16, 15)";
}

TEST_F(GraphTest, CirclesBoxesAndPolygons)
{
	gcircle(1, 10, 10, 0);
	EXPECT_TRUE(rec.has("point 14 55"));
	gcircle(1, 10, 10, 3);
	EXPECT_TRUE(rec.has("fillarc 11 52 6 6"));
	gbox(2, 0, 0, 10, 10);
	EXPECT_TRUE(rec.has("fill 4 45 10 10")) << "gbox passes any fill on";
	prectangle(2, 0, 0, 10, 10);
	EXPECT_TRUE(rec.has("rect 0 0 10 10")) << "prectangle fills only for 1";
	gr.psflag = 1;
	rec.calls.clear();
	const int x[3] = {0, 10, 5}, y[3] = {0, 0, 8};
	gfillpolygon(x, y, 3);
	gmoveto(1, 1);
	glineto(2, 2);
	gcircle(0, 5, 5, 2);
	gbox(0, 1, 1, 2, 2);
	gr.psflag = 0;
	EXPECT_EQ(rec.calls, std::vector<std::string>{"polygon 4,45 14,45 9,53"})
		<< "only the polygon reaches the screen during a hard copy";
}

TEST_F(GraphTest, CrosshairAcceptsOnlyInsideClicks)
{
	gviewport(10, 20, 110, 220);
	int x = 50, y = 60;
	rec.click(14 + 101, 65 + 10); // right of xmax
	rec.key('a', "a");            // keys are ignored
	rec.expose();
	rec.click(14 + 100, 65 + 200); // exactly on xmax, ymax
	gcursor(0, 0, 100, 200, &x, &y, 1);
	EXPECT_EQ(rec.calls.back(), "cursor 2");
	gviewport(0, 0, 639, 399);
	EXPECT_EQ(x, 100);
	EXPECT_EQ(y, 200);
	EXPECT_EQ(rec.bells, 1);
	EXPECT_TRUE(rec.has("warp 64 125"));
	EXPECT_TRUE(rec.has("cursor 130"));
	EXPECT_TRUE(rec.has("line 114 260 114 270")) << "green plus mark";
	EXPECT_EQ(_getcolor(), 2);
}
