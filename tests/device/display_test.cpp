// Drawing against a real X server: the backing pixmap is read back and
// checked at the pixels the layout promises.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <string>
#include <tuple>

#include "device/graph.h"
#include "device/menubar.h"
#include "device/screen.h"
#include "device/x11/x11.h"
#include "x11_display.h"
#include "files.h"
#include "shell/shell.h"

using namespace tw;

namespace {

constexpr unsigned long GREY = xrgb(130, 130, 130), LIGHT = xrgb(192, 192, 192),
			WHITE = xrgb(255, 255, 255), BLACK = 0, VLIGHT = xrgb(230, 230, 230),
			RED = xrgb(255, 0, 0), BLUE = xrgb(0, 0, 255);

struct Display : ::testing::Test {
	static void SetUpTestSuite()
	{
		open_display();
	}
	static void TearDownTestSuite() { win_finish(); }
	static unsigned long at(int x, int y) { return pixmap_at(be, x, y); }
	// Each pixel (x, y) has its colour.
	static void pixels(std::initializer_list<std::tuple<int, int, unsigned long>> want)
	{
		for (auto [x, y, c] : want)
			EXPECT_EQ(at(x, y), c) << "at " << x << ", " << y;
	}
};

} // namespace

TEST_F(Display, MenuBarAndToolbarLines)
{
	EXPECT_EQ(gr.fontmode, 0) << "the test server has the Palatino alias";
	windows_menu(-1);
	fkey(0);
	for (int x : {4, 300, 640})
		pixels({{x, 18, GREY}, {x, 19, WHITE}, {x, 40, GREY}, {x, 41, WHITE}});
	pixels({{3, 18, LIGHT}, {641, 19, LIGHT}});
	// A raised button: black outline, white top-left inner edge.
	pixels({{mb.barx1[0] - 1, mb.bary2 + 1, BLACK}, {mb.barx1[0] + 3, mb.bary1, WHITE}});
	// Some ink of "Select" lies inside its hot box.
	bool ink = false;
	for (int x = mb.menux1[0]; x <= mb.menux2[0]; x++)
		for (int y = mb.menuy1; y <= mb.menuy2; y++)
			ink |= at(x, y) == BLACK;
	EXPECT_TRUE(ink);
	windows_menu(0);
	EXPECT_EQ(at(mb.menux1[0] - 2, 8), xrgb(0, 0, 130)) << "navy box of the selected item";
}

TEST_F(Display, InputBoxAndTextCells)
{
	clear(9);
	_wide_spacing();
	inputarea(26, 2, 5);
	// Sunken: black left and top edges, a very light right edge.
	pixels({{211, 85, BLACK}, {230, 78, BLACK}, {230, 85, WHITE}, {252, 85, VLIGHT}});
	standend();
	_normal_font();
	_normal_spacing();
	mvaddstr(2, 3, "M");
	// Cell (2, 3) at normal spacing: x 28..35, y 77..92, black ink on grey.
	// Courier 14 is 9 pixels wide at 100 dpi: one column may spill over.
	int inside = 0, outside = 0;
	for (int x = 20; x < 44; x++)
		for (int y = 70; y < 100; y++) {
			bool black = at(x, y) == BLACK;
			bool in = x >= 28 && x <= 36 && y >= 77 && y <= 92;
			(in ? inside : outside) += black;
		}
	EXPECT_GT(inside, 5);
	EXPECT_EQ(outside, 0);
}

TEST_F(Display, SymbolsViewportsAndColours)
{
	clear(9);
	_setcolor(4);
	gsymbol(100, 100, 5, 5); // square from device (99, 140) to (109, 150)
	pixels({{99, 145, RED}, {109, 140, RED}, {104, 145, LIGHT}});
	gsymbol(200, 100, 5, 7); // upright cross, d = 6
	pixels({{204, 145, RED}, {204, 139, RED}, {203, 139, LIGHT}});
	_setcolor(12);
	gcircle(0, 300, 100, 0);
	EXPECT_EQ(at(304, 145), RED) << "colour 12 is red";

	gviewport(10, 20, 110, 220);
	_setcolor(1);
	gbox(1, -50, -50, 500, 500);
	gviewport(0, 0, 639, 399);
	// Filled to the viewport's edges and not a pixel beyond.
	pixels({{14, 65, BLUE}, {113, 264, BLUE}, {13, 100, LIGHT}, {114, 100, LIGHT}, {50, 265, LIGHT},
		{50, 64, LIGHT}});
}

TEST_F(Display, ImageReadBack)
{
	clear(0);
	_setcolor(7);
	gcircle(0, 50, 50, 0);
	be->flush();
	_getimage();
	EXPECT_EQ(_getpixel(50, 50), 1);
	EXPECT_EQ(_getpixel(51, 50), 0);
}

// A server of its own for a test that reads the window itself: on a shared
// one another test's window may lie over it.
struct OwnServer {
	pid_t pid = -1;
	std::string display;
	OwnServer()
	{
		int fd[2];
		if (pipe(fd) != 0)
			return;
		pid = fork();
		if (pid == 0) {
			close(fd[0]);
			std::string n = std::to_string(fd[1]);
			execlp("Xvfb", "Xvfb", "-displayfd", n.c_str(), "-screen", "0", "1024x768x24",
			       "-nolisten", "tcp", "-fp", "/usr/share/fonts/X11/misc,built-ins", nullptr);
			_exit(127);
		}
		close(fd[1]);
		// The number, then a newline, once the server is ready: read both, as
		// the server gives up if it cannot write the second.
		std::string n;
		for (char c; read(fd[0], &c, 1) == 1 && c != '\n';)
			n += c;
		close(fd[0]);
		if (!n.empty())
			display = ":" + n;
	}
	~OwnServer()
	{
		if (pid > 0)
			kill(pid, SIGTERM), waitpid(pid, nullptr, 0);
	}
};

// The window shows what was drawn into the pixmap once the drawing is
// flushed, whatever the primitive, its line width or its place.
TEST(DisplayWindow, FlushShowsEveryPrimitive)
{
	OwnServer x;
	ASSERT_FALSE(x.display.empty()) << "Xvfb did not start";
	test::SetEnv env("DISPLAY", x.display.c_str());
	Backend *b = x11_open();
	ASSERT_NE(b, nullptr);
	const short tri[3][2] = {{600, 400}, {652, 470}, {560, 470}};
	const std::function<void()> draws[] = {
		[=] { b->line(10, 300, 200, 310); },
		[=] { b->line(640, 5, 652, 0); },
		[=] { b->rect(false, 20, 200, 100, 50); },
		[=] { b->rect(true, 0, 460, 30, 11); },
		[=] { b->arc(false, 300, 300, 40, 40); },
		[=] { b->arc(true, 630, 200, 30, 30); },
		[&] { b->polygon(tri, 3); },
		[=] { b->point(652, 470); },
		[=] { b->text(400, 120, "Wj(|", 4, false); },
		[=] { b->text(0, 13, "gq", 2, true); },
	};
	bool ok;
	b->set_clip(0, 0, WIN_W, WIN_H);
	b->set_font(FONT_NORMAL);
	for (int width : {0, 7})
		for (size_t i = 0; i < std::size(draws); i++) {
			b->set_gc(b->alloc_color(255, i * 20, width * 30, nullptr, ok), b->black_pixel(),
				  width, 0);
			draws[i]();
			b->flush();
			EXPECT_EQ(0, x11_window_diff(b)) << "drawing " << i << ", width " << width;
		}
	x11_close(b);
}
