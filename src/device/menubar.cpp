// Menu bar, toolbar, pointer translation, input boxes and the graphics
// key reader.
#include "device/menubar.h"

#include <cstdlib>
#include <cstring>

#include "device/graph.h"
#include "device/ps.h"
#include "device/screen.h"
#include "device/spool.h"

namespace tw {

MenuBar mb = {{}, {}, 1, 16, {}, {}, 21, 38};

void menu_init()
{
	_menu_font();
	int x = 10;
	for (int i = 0; i < 10; i++) {
		int e = _gettextextent(menuitem[i]);
		mb.menux1[i] = x - 1;
		mb.menux2[i] = x + e + 1;
		x += e + 16;
	}
}

static void text_at(int x, int y, const char *s, int fg, int bg)
{
	_setcolor(fg);
	_setbkcolor(bg);
	pouttext(x, y, s);
}

static void separator(int y)
{
	_setcolor(8);
	pmoveto(4, y), plineto(640, y);
	_setcolor(7);
	pmoveto(4, y + 1), plineto(640, y + 1);
}

void windows_menu(int sel)
{
	_setcolor(9);
	prectangle(1, 0, mb.menuy1 - 1, WIN_W, mb.menuy2 + 4);
	_menu_font();
	for (int i = 0; i < 10; i++) {
		int fg = 0, bg = 9;
		if (i == sel) {
			_setcolor(11);
			int left = mb.menux1[i] - 8 < 4 ? 4 : mb.menux1[i] - 8;
			prectangle(1, left, mb.menuy1 - 1, mb.menux2[i] + 8, mb.menuy2 + 1);
			fg = 7, bg = 11;
		}
		if (sel < 0 || i == sel || i == 9) {
			text_at(mb.menux1[i] + 1, mb.menuy1, menuitem[i], fg, bg);
			continue;
		}
		_settextmode(0); // dimmed: an engraved look
		text_at(mb.menux1[i] + 2, mb.menuy1 + 1, menuitem[i], 7, bg);
		text_at(mb.menux1[i] + 1, mb.menuy1, menuitem[i], 8, bg);
		_settextmode(1);
	}
	separator(mb.menuy2 + 2);
}

// One toolbar slot's shown label: "return" becomes "Return:F6".
static void slot_label(const char *labels, int i, char *out)
{
	char s[7];
	std::memcpy(s, labels + 6 * i, 6);
	s[6] = 0;
	if (std::strcmp(s, "      ") == 0 || i >= 9) {
		std::strcpy(out, s);
		std::strcat(out, "   ");
		return;
	}
	char *b = s;
	while (*b == ' ')
		b++;
	int n = (int)std::strlen(b);
	while (n > 0 && b[n - 1] == ' ')
		b[--n] = 0;
	if (b[0] >= 'a' && b[0] <= 'z')
		b[0] = (char)(b[0] - 32);
	std::sprintf(out, "%s:F%d", b, i + 1);
}

static void draw_button(int i, const char *label)
{
	int y = mb.bary1 + (gr.fontmode ? 3 : 1);
	text_at(mb.barx1[i] + 4, y, label, 0, 9);
	_setcolor(8);
	prectangle(0, mb.barx1[i], mb.bary1 + 1, mb.barx2[i] + 1, mb.bary2);
	if (std::strcmp(label, "         ") == 0)
		return;
	int x1 = mb.barx1[i], x2 = mb.barx2[i], y1 = mb.bary1, y2 = mb.bary2;
	_setcolor(0);
	prectangle(0, x1 - 1, y1, x2 + 2, y2 + 1);
	_setcolor(7);
	pmoveto(x1 - 1, y2 - 1), plineto(x1 - 1, y1), plineto(x2 + 1, y1);
	_setcolor(10);
	pmoveto(x1, y2 - 2), plineto(x1, y1 + 1), plineto(x2, y1 + 1);
}

void windows_toolbar(const char *labels)
{
	_setcolor(9);
	prectangle(1, 0, mb.bary1 - 1, WIN_W, mb.bary2 + 7);
	if (labels[0]) {
		_menu_font();
		int x = 10;
		for (int i = 0; i < 10; i++) {
			char label[16];
			slot_label(labels, i, label);
			int e = _gettextextent(label);
			mb.barx1[i] = x - 4;
			mb.barx2[i] = x + e + 2;
			x += e + 14 + (i == 8 ? 15 : 0);
			draw_button(i, label);
		}
	}
	separator(mb.bary2 + 2);
}

void fkey(int set)
{
	if (set < 0) {
		windows_toolbar("");
		return;
	}
	char labels[61];
	std::memcpy(labels, fk[set], 48);
	std::memcpy(labels + 48, set == 2 ? "            " : " help Enter ", 12);
	labels[60] = 0;
	windows_toolbar(labels);
	_normal_font();
}

// Start a hard copy: the caller redraws into PostScript, and the next
// fgkey finishes the file.
static int start_copy(int key)
{
	blueF1_2(key == K_F1 ? 1 : 2);
	if (!lpinit())
		return 0;
	gr.psflag = key == K_F1 ? 1 : 2;
	psinit();
	return K_F1;
}

int fgkey(int set, int enterflag)
{
	if (gr.psflag) {
		pshcopy(gr.psflag);
		gr.psflag = 0;
	}
	char labels[61];
	std::memcpy(labels, fk[set], 48);
	std::memcpy(labels, "hcpyL hcpyS ", 12);
	std::memcpy(labels + 48, " help Enter ", 12);
	labels[60] = 0;
	windows_toolbar(labels);
	_normal_font();
	_setcolor(7);
	for (;;) {
		int k = getcchr();
		switch (k) {
		case K_CTRL_E: check_exit();
		case K_RETURN: return enterflag ? K_F6 : K_RETURN;
		case K_F1: case K_F2: return start_copy(k);
		case K_F3: case K_F6: return k;
		case K_F8:
			if (set == 1)
				return k;
			break;
		}
		beep();
	}
}

int mouse2key(int x, int y)
{
	for (int i = 0; i < 10; i++)
		if (mb.menux1[i] <= x && x <= mb.menux2[i] && mb.menuy1 <= y && y <= mb.menuy2)
			return menucode[i];
	for (int i = 0; i < 10; i++)
		if (mb.barx1[i] <= x && x <= mb.barx2[i] && mb.bary1 <= y && y <= mb.bary2)
			return i == 9 ? K_RETURN : K_F1 + i;
	if (x >= 4 && x <= WIN_W && y >= 45 && y <= WIN_H) {
		int c = (x - 4) / 8, r = (y - 45) / 17;
		// The last pixel rows and columns belong to the nearest cell.
		if (c > NCOL - 1)
			c = NCOL - 1;
		if (r > NROW - 1)
			r = NROW - 1;
		return K_CELL + c + 80 * r;
	}
	return K_NONE;
}

void check_exit()
{
	windows_menu(9);
	xflush();
	exit_hook();
	std::abort();
}

void inputarea(int col, int row, int width)
{
	int left = xx(8 * col) - 1, top = yy(17 * row) - 2;
	_setcolor(7);
	prectangle(1, left, top + 1, left + 8 * width + 1, top + 17);
	_setcolor(10);
	prectangle(0, left, top + 1, left + 8 * width + 1, top + 17);
	_setcolor(0);
	pmoveto(left, top + 16), plineto(left, top + 1), plineto(left + 8 * width, top + 1);
}

void restore_box(int col, int row)
{
	int x = xx(8 * col) - 1, y = yy(17 * row);
	if (_iswritable(row, col)) {
		_setcolor(_iswritable(row, col - 1) ? 7 : 0);
		pmoveto(x, y + 2), plineto(x, y + 14);
	}
	if (col > 0 && _iswritable(row, col - 1) && !_iswritable(row, col)) {
		_setcolor(10);
		pmoveto(x, y + 1), plineto(x, y + 17);
	}
}

void blueF1_2(int n)
{
	static constexpr const char *txt[3] = {"Hcopy:F1", "HcopyL:F1", "HcopyS:F2"};
	_menu_font();
	_setcolor(7);
	_setbkcolor(11);
	pouttext(n == 2 ? mb.barx1[1] : mb.barx1[0], mb.bary1 + (gr.fontmode ? 3 : 1), txt[n]);
	xflush();
}

} // namespace tw
