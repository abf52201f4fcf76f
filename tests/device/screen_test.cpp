#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "device/graph.h"
#include "device/screen.h"
#include "recording.h"

using namespace tw;

namespace {

std::string row_text(int r, int c, int n) { return std::string(scr.mz + r * NCOL + c, n); }

struct ScreenTest : ::testing::Test {
	Recording rec;
	void SetUp() override { use_recording(rec); }
};

} // namespace

TEST_F(ScreenTest, ClearLeavesBlankProtectedCells)
{
	mvaddstr(3, 4, "hello");
	set_writable(3, 4);
	EXPECT_EQ(mvinch(3, 4), 'h');
	EXPECT_TRUE(_iswritable(3, 4));
	EXPECT_FALSE(_iswritable(3, 5));
	clear(9);
	for (int i = 0; i < NROW * NCOL; i++) {
		ASSERT_EQ(scr.mz[i], ' ');
		ASSERT_LT(scr.mv[i], 0);
	}
	// The clear paints everything below the toolbar.
	EXPECT_TRUE(rec.has("fill 0 45 653 426"));
}

TEST_F(ScreenTest, TextIsPlacedByCellAndClippedAtTheEdge)
{
	_normal_spacing();
	rec.calls.clear();
	mvaddch(2, 3, 'A');
	EXPECT_TRUE(rec.has("itext 28 89 A")) << "x = 8c + 4, top = 16r + 45, baseline + ascent 12";
	_wide_spacing();
	mvaddch(2, 3, 'B');
	EXPECT_TRUE(rec.has("itext 28 91 B"));
	mvaddstr(24, 75, "0123456789");
	EXPECT_EQ(row_text(24, 75, 5), "01234");
	EXPECT_EQ(scr.col, NCOL);
	move(30, -4);
	EXPECT_EQ(scr.row, NROW - 1);
	EXPECT_EQ(scr.col, 0);
	printw("%s", std::string(200, 'x').c_str()); // longer than a line
	EXPECT_EQ(row_text(24, 0, 80), std::string(80, 'x'));
}

TEST_F(ScreenTest, BackspaceShiftsOnlyTheField)
{
	mvaddstr(5, 9, "xABCDy");
	for (int c = 10; c < 14; c++)
		set_writable(5, c);
	move(5, 12); // on C
	backspace();
	EXPECT_EQ(row_text(5, 9, 6), "xACD y");
	EXPECT_EQ(scr.col, 11);
	// On the protected cell just after the field.
	mvaddstr(5, 9, "xABCDy");
	move(5, 14);
	backspace();
	EXPECT_EQ(row_text(5, 9, 6), "xABC y");
	EXPECT_EQ(scr.col, 13);
	// At the first cell: nothing changes but the bell.
	move(5, 10);
	int bells = rec.bells;
	backspace();
	EXPECT_EQ(rec.bells, bells + 1);
	EXPECT_EQ(row_text(5, 9, 6), "xABC y");
	EXPECT_EQ(scr.col, 10);
}

TEST_F(ScreenTest, KeyTranslation)
{
	rec.key(KS_CONTROL_L);
	rec.ch('\r');
	EXPECT_EQ(getcchr(), K_CTRL_RETURN);
	rec.ch('\r');
	EXPECT_EQ(getcchr(), K_RETURN);
	// The Control flag lives for one wait only.
	rec.key(KS_CONTROL_R);
	rec.key(KS_SHIFT_L);
	rec.ch('\x13');
	EXPECT_EQ(getcchr(), 19);
	rec.ch('\r');
	EXPECT_EQ(getcchr(), K_RETURN);
	const struct { unsigned long ks; int code; } fkeys[] = {
		{KS_F1, 315}, {KS_F1 + 8, 323}, {KS_F1 + 12, 327}, {KS_F1 + 20, 335},
		{KS_LEFT, 331}, {KS_UP, 328}, {KS_RIGHT, 333}, {KS_DOWN, 336},
	};
	for (auto k : fkeys) {
		rec.key(k.ks);
		EXPECT_EQ(getcchr(), k.code) << std::hex << k.ks;
	}
	rec.ch('a');
	EXPECT_EQ(getcchr(), 'a');
	rec.ch('\b');
	EXPECT_EQ(getcchr(), K_BS);
	// Home, Page Up, Alt: no text, no meaning.
	for (unsigned long ks : {0xff50ul, 0xff55ul, 0xffe9ul}) {
		rec.key(ks);
		int k = getcchr();
		EXPECT_TRUE(k < -1) << k;
	}
}

TEST(TextHelpers, CaseAndNumbers)
{
	char s[] = "Vela.b2";
	EXPECT_STREQ(strupr(s), "VELA.B2");
	EXPECT_STREQ(strlwr(s), "vela.b2");
	char buf[16];
	EXPECT_STREQ(itoa(-4095, buf, 16), "-4095");
}
