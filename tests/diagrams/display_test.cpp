// The diagrams on a real X server: the commands run with scripted keys and
// the bars are read back from the backing pixmap.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <deque>

#include "device/graph.h"
#include "device/menubar.h"
#include "device/screen.h"
#include "device/x11/x11.h"
#include "x11_display.h"
#include "diag_support.h"
#include "diagrams/diagrams.h"
#include "recording.h"
#include "shell/setup.h"
#include "shell/shell.h"

using namespace tw;

namespace {

// Draws on the X server, takes its keys from a Recording's script.
struct Scripted final : Backend {
	Backend *x;
	Recording *keys;
	unsigned long alloc_color(int r, int g, int b, const char *n, bool &ok) override
	{
		return x->alloc_color(r, g, b, n, ok);
	}
	unsigned long black_pixel() override { return x->black_pixel(); }
	void set_gc(unsigned long f, unsigned long b, int w, int s) override { x->set_gc(f, b, w, s); }
	void set_font(Font f) override { x->set_font(f); }
	int font_ascent(Font f) override { return x->font_ascent(f); }
	int text_extent(const char *s, int n) override { return x->text_extent(s, n); }
	int fontmode() override { return x->fontmode(); }
	void set_clip(int a, int b, int c, int d) override { x->set_clip(a, b, c, d); }
	void line(int a, int b, int c, int d) override { x->line(a, b, c, d); }
	void point(int a, int b) override { x->point(a, b); }
	void rect(bool f, int a, int b, int c, int d) override { x->rect(f, a, b, c, d); }
	void arc(bool f, int a, int b, int c, int d) override { x->arc(f, a, b, c, d); }
	void polygon(const short (*p)[2], int n) override { x->polygon(p, n); }
	void text(int a, int b, const char *s, int n, bool i) override { x->text(a, b, s, n, i); }
	void show_pixmap() override { x->show_pixmap(); }
	void grab_image() override { x->grab_image(); }
	unsigned long image_pixel(int a, int b) override { return x->image_pixel(a, b); }
	void next_event(InputEvent &ev) override { keys->next_event(ev); }
	int event_fd() override { return -1; }
	bool poll_event(InputEvent &ev) override { return keys->poll_event(ev); }
	void define_cursor(PointerShape c) override { x->define_cursor(c); }
	void warp_pointer(int a, int b) override { x->warp_pointer(a, b); }
	void bell() override {}
	void flush() override { x->flush(); }
};

constexpr unsigned long CYAN = 0x00fefe, BLACK = 0, RED = 0xfe0000;

struct DiagramDisplay : ::testing::Test {
	static Backend *xb;
	Recording script;
	Scripted s;
	static void SetUpTestSuite()
	{
		open_display();
		xb = be;
	}
	static void TearDownTestSuite()
	{
		be = xb;
		win_finish();
	}
	void SetUp() override
	{
		exit_process = [](int status) { throw Exited{status}; };
		s.x = xb;
		s.keys = &script;
		be = &s;
		settings_reset();
		select_defaults();
	}
	void TearDown() override { be = xb; }
	// Pixel of the plotting area, as 0xRRGGBB.
	unsigned long at(int x, int y)
	{
		return pixmap_at(xb, x + 4, y + 45);
	}
};

Backend *DiagramDisplay::xb;

} // namespace

TEST_F(DiagramDisplay, MagnitudeBarsAreFilledCyan)
{
	fill_store({Ev(1990).mag(25), Ev(1990).mag(43), Ev(1990).mag(43), Ev(1990).mag(0)});
	type_form(script, {"2.0", "7.0", "1.00", "FRQ", "LNR", "10"}, {4, 4, 4, 3, 3, 6});
	script.key(KS_F1 + 2);
	ASSERT_EQ(magnitude(), 0);
	// w = 74; bin [2, 3) holds one event (33 px), [4, 5) two (66 px).
	EXPECT_EQ(at(150, 340), CYAN);
	EXPECT_EQ(at(150, 300), BLACK); // above the one-event bar
	EXPECT_EQ(at(300, 300), CYAN);
	EXPECT_EQ(at(220, 340), BLACK); // [3, 4) is empty
	EXPECT_EQ(at(41, 330), CYAN);   // the unknown bar's outline ...
	EXPECT_EQ(at(78, 330), BLACK);  // ... is not filled
}

TEST_F(DiagramDisplay, TimeBarsAndMagnitudeLines)
{
	fill_store({Ev(1991, 5, 1).mag(40), Ev(1991, 6, 1).mag(50), Ev(1993, 2, 2).mag(60)});
	const std::vector<int> w = {3, 4, 2, 2, 2, 2, 5, 4, 2, 2, 2, 2, 5, 1, 3, 3, 5, 5};
	auto form = [&](const char *item, const char *y2) {
		type_form(script, {"LNR", "1990", "01", "01", "00", "00", "00.00", "1994", "12", "31",
				   "23", "59", "59.99", "Y", item, "LNR", "0", y2}, w);
		script.key(KS_F1 + 2);
	};
	form("FRQ", "5");
	ASSERT_EQ(time_tarnw(), 0);
	int left = (int)((fncal(1991, 1, 1) - dg.ax.st0) * dg.ax.ut) + 57;
	EXPECT_EQ(at(left, 347 - 100), CYAN);     // the 1991 bar: 2 events, 132 px
	EXPECT_EQ(at(left + 5, 347 - 100), BLACK); // outline only
	EXPECT_EQ(at(left + 5, 347 - 132), CYAN);
	EXPECT_EQ(at(left + 5, 347 - 140), BLACK);

	form("MAG", "10");
	ASSERT_EQ(time_tarnw(), 0);
	int x = (int)((fncal(1991, 5, 1) - dg.ax.st0) * dg.ax.ut) + 57;
	EXPECT_EQ(at(x, 347 - 60), RED); // 4.0 on 0..10: 132 px high
	EXPECT_EQ(at(x, 347 - 140), BLACK);
	int x6 = (int)((fncal(1993, 2, 2) - dg.ax.st0) * dg.ax.ut) + 57;
	EXPECT_EQ(at(x6, 347 - 190), RED); // 6.0: 199 px
}
