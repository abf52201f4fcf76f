#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "device/graph.h"
#include "device/menubar.h"
#include "device/screen.h"
#include "recording.h"

using namespace tw;

namespace {

struct MenuTest : ::testing::Test {
	Recording rec;
	void SetUp() override
	{
		use_recording(rec);
		menu_init();
	}
	int click(int x, int y)
	{
		rec.click(x, y);
		return getcchr();
	}
};

} // namespace

TEST_F(MenuTest, EveryMenuItemGivesItsCommandCode)
{
	// The recording's menu font is 6 pixels a character.
	int x = 10;
	for (int i = 0; i < 10; i++) {
		int e = 6 * (int)std::string(menuitem[i]).size();
		EXPECT_EQ(mb.menux1[i], x - 1);
		EXPECT_EQ(mb.menux2[i], x + e + 1);
		EXPECT_EQ(click(x + e / 2, 8), menucode[i]) << menuitem[i];
		EXPECT_EQ(click(mb.menux1[i], mb.menuy1), menucode[i]);
		EXPECT_EQ(click(mb.menux2[i], mb.menuy2), menucode[i]);
		if (i < 9) {
			EXPECT_EQ(click(mb.menux2[i] + 5, 8), K_NONE) << "between items";
		}
		x += e + 16;
	}
	EXPECT_EQ(click(300, 18), K_NONE) << "separator";
}

TEST_F(MenuTest, ClicksInTheTextAreaGiveCells)
{
	EXPECT_EQ(click(4, 45), 512);
	EXPECT_EQ(click(12, 62), 593);
	EXPECT_EQ(click(643, 460), 512 + 79 + 80 * 24);
	// The last pixel rows and columns stay in the 80 x 25 grid.
	EXPECT_EQ(click(653, 471), 512 + 79 + 80 * 24);
	EXPECT_EQ(click(2, 100), K_NONE);
}

TEST_F(MenuTest, ToolbarButtonsGiveFunctionKeys)
{
	fkey(0);
	EXPECT_EQ(rec.texts().find("Hcopy:F1") != std::string::npos, true);
	std::string t = rec.texts();
	for (const char *label : {"Quit:F3", "Return:F6", "Help:F9", "Enter    "})
		EXPECT_NE(t.find(label), std::string::npos) << label;
	for (int i = 0; i < 10; i++) {
		int code = click((mb.barx1[i] + mb.barx2[i]) / 2, 30);
		EXPECT_EQ(code, i == 9 ? K_RETURN : K_F1 + i);
	}
	EXPECT_EQ(click(mb.barx2[0] + 3, 30), K_NONE) << "between buttons";
	// An empty toolbar keeps the last boxes.
	fkey(-1);
	EXPECT_EQ(click((mb.barx1[2] + mb.barx2[2]) / 2, 30), K_F3);
	fkey(2);
	t = rec.texts();
	for (const char *label : {"Top:F4", "Bottom:F5", "Back:F7", "Forwrd:F8"})
		EXPECT_NE(t.find(label), std::string::npos) << label;
}

TEST_F(MenuTest, GraphicsKeyReader)
{
	rec.ch('\r');
	EXPECT_EQ(fgkey(0, 1), K_F6);
	rec.ch('\r');
	EXPECT_EQ(fgkey(0, 0), K_RETURN);
	rec.key(KS_F1 + 7);
	rec.key(KS_F1 + 3);
	rec.key(KS_F1 + 2);
	int bells = rec.bells;
	EXPECT_EQ(fgkey(0, 0), K_F3) << "F8 and F4 beep on a diagram";
	EXPECT_EQ(rec.bells, bells + 2);
	rec.key(KS_F1 + 7);
	EXPECT_EQ(fgkey(1, 0), K_F8);
	std::string t = rec.texts();
	for (const char *label : {"HcpyL:F1", "HcpyS:F2", "Functn:F8"})
		EXPECT_NE(t.find(label), std::string::npos) << label;
	EXPECT_THROW(fgkey(0, 0), Exited) << "an empty script is Ctrl+E";
}

TEST_F(MenuTest, HardCopyKeysStartACopy)
{
	auto dir = std::filesystem::temp_directory_path() / "tarnwell_fgkey";
	std::filesystem::create_directories(dir);
	auto old = std::filesystem::current_path();
	std::filesystem::current_path(dir);
	rec.key(KS_F1 + 1);
	int k = fgkey(0, 0);
	std::filesystem::current_path(old);
	EXPECT_EQ(k, K_F1) << "F2 answers as F1";
	EXPECT_EQ(gr.psflag, 2);
	EXPECT_NE(rec.texts().find("HcopyS:F2"), std::string::npos);
	gr.psflag = 0;
}

