// Menu bar, toolbar and pointer: pictures drawn with lines and text, and
// the translation of clicks on them into key codes.
#pragma once
#include "device/screen.h"

namespace tw {

struct MenuBar {
	int menux1[10], menux2[10]; // hot box edges of the menu items
	int menuy1, menuy2;         // top and bottom rows of the menu items
	int barx1[10], barx2[10];   // hot box edges of the toolbar buttons
	int bary1, bary2;           // top and bottom rows of the buttons
};
extern MenuBar mb;

constexpr const char *menuitem[10] = {"Select", "Browse", "Print", "saVe",
	"soRt", "Map", "Time", "maGnitude", "Option", "Exit"};
constexpr int menucode[10] = {19, 2, 16, 22, 18, 269, 20, 7, 15, 5};

// Function-key label sets: slots 0 to 7 of 6 characters each.
constexpr const char *fk[3] = {
	"hcopy " "      " " quit " "      " "      " "return" "      " "      ",
	"hcopy " "      " " quit " "      " "      " "return" "      " "functn",
	"hcopy " "      " " quit " " top  " "bottom" "return" " back " "forwrd",
};

void menu_init();
void windows_menu(int sel);
void fkey(int set);
int fgkey(int set, int enterflag);
void windows_toolbar(const char *labels);
int mouse2key(int x, int y);
[[noreturn]] void check_exit();
// Where check_exit goes; it never returns. The layer above defines it (the
// loop's finish), so the device layer needs nothing from there.
extern void (*exit_hook)();
void inputarea(int col, int row, int width);
void restore_box(int col, int row);
void blueF1_2(int n);

// Draws a picture and waits on the graphics toolbar of the set; a hard copy
// (F1 or F2) draws it again into the PostScript file. Returns the key that
// left: F3, F6 (Enter too) or, on the map toolbar, F8.
template <class Draw> int replay(int set, Draw &&draw)
{
	for (;;) {
		draw();
		int k = fgkey(set, 1);
		if (k != K_F1)
			return k;
	}
}

} // namespace tw
