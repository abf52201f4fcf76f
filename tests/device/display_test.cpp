// Drawing against a real X server: the backing pixmap is read back and
// checked at the pixels the layout promises, one check per drawing path.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <memory>

#include "files.h"
#include "x11_display.h"

using namespace tw;

namespace {

constexpr unsigned long GREY = xrgb(130, 130, 130), LIGHT = xrgb(192, 192, 192), WHITE = xrgb(255, 255, 255),
			BLACK = 0, VLIGHT = xrgb(230, 230, 230), RED = xrgb(255, 0, 0), BLUE = xrgb(0, 0, 255);

struct Display : ::testing::Test {
	static void SetUpTestSuite() { open_display(); }
	static void TearDownTestSuite() { win_finish(); }
	static unsigned long at(int x, int y) { return be->flush(), x11_pixmap_rgb(be, x, y); } // 0xRRGGBB
	// Each pixel (x, y) has its colour.
	static void pixels(std::initializer_list<std::tuple<int, int, unsigned long>> want)
	{
		for (auto [x, y, c] : want)
			EXPECT_EQ(at(x, y), c) << "at " << x << ", " << y;
	}
	// Pixels of colour c in the box (x1, y1) to (x2, y2).
	static int count(int x1, int y1, int x2, int y2, unsigned long c)
	{
		int n = 0;
		for (int x = x1; x <= x2; x++)
			for (int y = y1; y <= y2; y++)
				n += at(x, y) == c;
		return n;
	}
};

} // namespace

TEST_F(Display, MenuBarAndToolbarLines)
{
	EXPECT_EQ(gr.fontmode, 0) << "the test server has the Palatino alias";
	windows_menu(-1), fkey(0);
	for (int x : {4, 300, 640})
		pixels({{x, 18, GREY}, {x, 19, WHITE}, {x, 40, GREY}, {x, 41, WHITE}});
	// Beyond the lines; a raised button: black outline, white top-left inner edge.
	pixels({{3, 18, LIGHT}, {641, 19, LIGHT}, {mb.barx1[0] - 1, mb.bary2 + 1, BLACK},
		{mb.barx1[0] + 3, mb.bary1, WHITE}});
	EXPECT_GT(count(mb.menux1[0], mb.menuy1, mb.menux2[0], mb.menuy2, BLACK), 0) << "ink of Select in its box";
	windows_menu(0);
	EXPECT_EQ(at(mb.menux1[0] - 2, 8), xrgb(0, 0, 130)) << "navy box of the selected item";
}

TEST_F(Display, InputBoxAndTextCells)
{
	clear(9), _wide_spacing(), inputarea(26, 2, 5);
	// Sunken: black left and top edges, a very light right edge.
	pixels({{211, 85, BLACK}, {230, 78, BLACK}, {230, 85, WHITE}, {252, 85, VLIGHT}});
	standend(), _normal_font(), _normal_spacing(), mvaddstr(2, 3, "M");
	// Cell (2, 3) at normal spacing: x 28..35, y 77..92, black ink on grey.
	// Courier 14 is 9 pixels wide at 100 dpi: one column may spill over.
	int inside = count(28, 77, 36, 92, BLACK);
	EXPECT_GT(inside, 5);
	EXPECT_EQ(count(20, 70, 43, 99, BLACK), inside) << "no ink outside the cell";
}

TEST_F(Display, SymbolsViewportsColoursAndReadBack)
{
	// A square from device (99, 140) to (109, 150), an upright cross (d = 6), a
	// circle in colour 12, which is red too.
	clear(9), _setcolor(4), gsymbol(100, 100, 5, 5), gsymbol(200, 100, 5, 7), _setcolor(12), gcircle(0, 300, 100, 0);
	pixels({{99, 145, RED}, {109, 140, RED}, {104, 145, LIGHT}, {204, 145, RED}, {204, 139, RED}, {203, 139, LIGHT},
		{304, 145, RED}});
	gviewport(10, 20, 110, 220), _setcolor(1), gbox(1, -50, -50, 500, 500), gviewport(0, 0, 639, 399);
	// Filled to the viewport's edges and not a pixel beyond.
	pixels({{14, 65, BLUE}, {113, 264, BLUE}, {13, 100, LIGHT}, {114, 100, LIGHT}, {50, 265, LIGHT},
		{50, 64, LIGHT}});
	_setcolor(0), gcircle(0, 301, 100, 0), _getimage(); // black reads 0, any other colour 1
	EXPECT_EQ(std::pair(_getpixel(300, 100), _getpixel(301, 100)), std::pair(1, 0));
}

// The window shows what was drawn into the pixmap once the drawing is
// flushed, whatever the primitive, its line width or its place; on a server
// of its own, as on a shared one another test's window may lie over it.
TEST(DisplayWindow, FlushShowsEveryPrimitive)
{
	// The shell prints the server's pid, then the server its display number
	// and a newline once it is ready (read both: it gives up if it cannot).
	int pid = 0, n = -1;
	if (FILE *p = popen("Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp "
			    "-fp /usr/share/fonts/X11/misc,built-ins 2>/dev/null & echo $!", "r"))
		std::fscanf(p, "%d %d%*c", &pid, &n), pclose(p);
	std::shared_ptr<void> stop(nullptr, [&](void *) { pid > 0 && kill(pid, SIGTERM); });
	ASSERT_GE(n, 0) << "Xvfb did not start";
	test::SetEnv env("DISPLAY", (":" + std::to_string(n)).c_str());
	Backend *b = x11_open();
	ASSERT_NE(b, nullptr);
	const short tri[3][2] = {{600, 400}, {652, 470}, {560, 470}};
	const std::function<void()> draws[] = {
		[=] { b->line(10, 300, 200, 310); }, [=] { b->line(640, 5, 652, 0); }, [=] { b->rect(false, 20, 200, 100, 50); },
		[=] { b->rect(true, 0, 460, 30, 11); }, [=] { b->arc(false, 300, 300, 40, 40); }, [&] { b->polygon(tri, 3); },
		[=] { b->arc(true, 630, 200, 30, 30); }, [=] { b->point(652, 470); }, [=] { b->text(0, 13, "gq", 2, true); },
		[=] { b->text(400, 120, "Wj(|", 4, false); },
	};
	bool ok;
	b->set_clip(0, 0, WIN_W, WIN_H), b->set_font(FONT_NORMAL);
	for (int width : {0, 7})
		for (size_t i = 0; i < std::size(draws); i++) {
			b->set_gc(b->alloc_color(255, i * 20, width * 30, nullptr, ok), b->black_pixel(), width, 0);
			draws[i](), b->flush();
			EXPECT_EQ(0, x11_window_diff(b)) << "drawing " << i << ", width " << width;
		}
	x11_close(b);
}
