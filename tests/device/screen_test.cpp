// The character screen, the keyboard, the menu bar and the plotting layer on
// the recording back end: the calls they make and the input they give.
#include <gtest/gtest.h>

#include "device/graph.h"
#include "device/menubar.h"
#include "device/screen.h"
#include "device/spool.h"
#include "recording.h"

using namespace tw;

namespace {

struct ScreenTest : ::testing::Test {
	Recording rec;
	void SetUp() override { use_recording(rec), menu_init(); }
	std::string row(int r, int c, int n) const { return std::string(scr.mz + r * NCOL + c, n); }
	int click(int x, int y) { return rec.click(x, y), getcchr(); }
};

} // namespace

TEST_F(ScreenTest, TextIsPlacedByCellAndClippedAtTheEdge)
{
	mvaddstr(24, 75, "0123456789");
	EXPECT_EQ(row(24, 75, 5), "01234");
	EXPECT_EQ(scr.col, NCOL);
	EXPECT_EQ((move(30, -4), std::pair<int, int>(scr.row, scr.col)), std::pair(NROW - 1, 0));
	printw("%s", std::string(200, 'x').c_str()); // longer than a line
	EXPECT_EQ(row(24, 0, 80), std::string(80, 'x'));
}

// BackSpace in the field of columns 10 to 13, from the cursor at col; a
// clear then leaves every cell blank and protected.
TEST_F(ScreenTest, BackspaceShiftsOnlyTheFieldAndClearEndsIt)
{
	const struct { int col; const char *row; int after, bells; } cases[] = {
		{12, "xACD y", 11, 0}, // on C: the rest of the field moves left
		{14, "xABC y", 13, 0}, // on the protected cell just after the field
		{10, "xABCDy", 10, 1}, // at the first cell: nothing but the bell
	};
	for (int c = 10; c < 14; c++)
		set_writable(5, c);
	for (auto c : cases) {
		mvaddstr(5, 9, "xABCDy"), move(5, c.col), rec.bells = 0, backspace();
		EXPECT_EQ(std::tuple(row(5, 9, 6), (int)scr.col, rec.bells), std::tuple(c.row, c.after, c.bells));
	}
	clear(9);
	for (int i = 0; i < NROW * NCOL; i++)
		ASSERT_TRUE(scr.mz[i] == ' ' && scr.mv[i] < 0) << i;
}

TEST_F(ScreenTest, KeyTranslation)
{
	// Control counts for the next key only; modifiers alone give nothing.
	rec.key(KS_CONTROL_L), rec.ch('\r'), rec.ch('\r');
	rec.key(KS_CONTROL_R), rec.key(KS_SHIFT_L), rec.ch('\x13'), rec.ch('\r'), rec.type("a\b");
	// Home, Page Up and Alt (the last three) have no meaning.
	for (unsigned long ks : {KS_F1, KS_F1 + 8, KS_F1 + 12, KS_F1 + 20, KS_LEFT, KS_UP, KS_RIGHT, KS_DOWN, 0xff50ul,
				 0xff55ul, 0xffe9ul})
		rec.key(ks);
	for (int want : std::initializer_list<int>{K_CTRL_RETURN, K_RETURN, 19, K_RETURN, 'a', K_BS, 315, 323, 327,
						  335, 331, 328, 333, 336, K_IGNORED, K_IGNORED, K_IGNORED})
		EXPECT_EQ(getcchr(), want);
}

TEST_F(ScreenTest, ClicksGiveCommandsAndCells)
{
	// The recording's menu font is 6 pixels a character: the middle of each
	// item, then the edges of Select, Browse and Exit, the separator, cells.
	const struct { int x, y, code; } cases[] = {
		{28, 8, menucode[0]}, {80, 8, menucode[1]}, {129, 8, menucode[2]}, {172, 8, menucode[3]}, {212, 8, menucode[4]},
		{249, 8, menucode[5]}, {286, 8, menucode[6]}, {341, 8, menucode[7]}, {402, 8, menucode[8]}, {448, 8, menucode[9]},
		{9, 1, 19}, {47, 16, 19}, {48, 8, K_NONE}, {60, 8, K_NONE}, {61, 8, 2}, {461, 16, 5}, {462, 8, K_NONE},
		{300, 18, K_NONE}, {4, 45, 512}, {12, 62, 593}, {643, 460, 2511}, {2, 100, K_NONE},
		{653, 471, 2511}, // the last pixel rows and columns stay in the 80 x 25 grid
	};
	for (auto c : cases)
		EXPECT_EQ(click(c.x, c.y), c.code) << c.x << ", " << c.y;
}

// Toolbar buttons give function keys; the graphics key reader answers the
// keys a diagram knows and beeps at the rest.
TEST_F(ScreenTest, ToolbarAndGraphicsKeys)
{
	fkey(0);
	for (int i = 0; i < 10; i++)
		EXPECT_EQ(click((mb.barx1[i] + mb.barx2[i]) / 2, 30), i == 9 ? K_RETURN : K_F1 + i);
	EXPECT_EQ(click(mb.barx2[0] + 3, 30), K_NONE) << "between buttons";
	fkey(-1); // an empty toolbar keeps the last boxes
	EXPECT_EQ(click((mb.barx1[2] + mb.barx2[2]) / 2, 30), K_F3);
	fkey(2), rec.type("\r\r");
	EXPECT_EQ(fgkey(0, 1), K_F6);
	EXPECT_EQ(fgkey(0, 0), K_RETURN);
	rec.key(KS_F1 + 7), rec.key(KS_F1 + 3), rec.key(KS_F1 + 2);
	EXPECT_EQ(fgkey(0, 0), K_F3) << "F8 and F4 beep on a diagram";
	EXPECT_EQ(rec.bells, 2);
	EXPECT_EQ((rec.key(KS_F1 + 7), fgkey(1, 0)), K_F8);
	EXPECT_THROW(fgkey(0, 0), Exited) << "an empty script is Ctrl+E";
	EXPECT_EQ((rec.key(KS_F1 + 1), fgkey(0, 0)), K_F1) << "F2 starts a copy and answers as F1";
	EXPECT_EQ(gr.psflag, 2);
	gr.psflag = 0, spool_reset();
}

// During a hard copy only the polygon reaches the screen; the pixel layer's
// rectangle fills only for 1.
TEST_F(ScreenTest, DrawingCalls)
{
	const int x[3] = {0, 10, 5}, y[3] = {0, 0, 8};
	gr.psflag = 1, rec.calls.clear();
	gfillpolygon(x, y, 3), gmoveto(1, 1), glineto(2, 2), gcircle(0, 5, 5, 2), gbox(0, 1, 1, 2, 2);
	gr.psflag = 0, prectangle(2, 0, 0, 10, 10);
	EXPECT_EQ(rec.calls, (std::vector<std::string>{"polygon 4,45 14,45 9,53", "rect 0 0 10 10"}));
}

TEST_F(ScreenTest, CrosshairAcceptsOnlyInsideClicks)
{
	gviewport(10, 20, 110, 220);
	int x = 50, y = 60;
	// A click right of xmax, a key (ignored), an expose, a click exactly on
	// xmax, ymax.
	rec.click(14 + 101, 65 + 10), rec.key('a', "a"), rec.expose(), rec.click(14 + 100, 65 + 200);
	gcursor(0, 0, 100, 200, &x, &y, 1);
	EXPECT_EQ(rec.calls.back(), "cursor 2");
	EXPECT_EQ(std::pair(x, y), std::pair(100, 200));
	EXPECT_EQ(rec.bells, 1);
	for (const char *call : {"warp 64 125", "cursor 130", "show_pixmap", "line 114 260 114 270"})
		EXPECT_TRUE(rec.has(call)) << call; // the last, the green plus mark
	EXPECT_EQ(_getcolor(), 2);
}
