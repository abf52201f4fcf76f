// Character screen and keyboard: an 80 x 25 cell terminal drawn into the
// plotting area, and the key readers that turn X input into key codes.
#pragma once

struct pollfd;

namespace tw {

constexpr int NROW = 25, NCOL = 80;

// Key codes beyond the character set: 256 + the PC scan code.
enum Key {
	K_CTRL_E = 5, K_BS = 8, K_TAB = 9, K_RETURN = 13, K_CTRL_RETURN = 269,
	K_F1 = 315, K_F2 = 316, K_F3 = 317, K_F4 = 318, K_F5 = 319, K_F6 = 320,
	K_F7 = 321, K_F8 = 322, K_F9 = 323, K_HOME = 327, K_UP = 328,
	K_LEFT = 331, K_RIGHT = 333, K_END = 335, K_DOWN = 336, K_CELL = 512,
	K_NONE = -1,
	K_IGNORED = -2, // keys without a meaning anywhere (Home, Page Up, Alt ...)
};

struct CharScreen {
	char mz[NROW * NCOL];        // character shown in each cell, row-major
	signed char mv[NROW * NCOL]; // -1 protected, 0 or more writable
	short row, col;              // cursor: where the next character goes
};
extern CharScreen scr;

void screen_reset(); // all cells blank and protected, cursor home

// Window start-up and end.
void win_init();
void win_finish();

// Cursor and cells. Moves outside the grid stop at its edge.
void move(int r, int c);
void move_left();
void move_right();
void move_up();
void move_down();
int get_position();
void set_writable(int r, int c);
bool _iswritable(int r, int c);
bool iswritable();
int mvinch(int r, int c);

// Writing. Text beyond column 79 is clipped.
void addch(int ch);
void mvaddch(int r, int c, int ch);
void addstr(const char *s);
void mvaddstr(int r, int c, const char *s);
void printw(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
void clrtoeol();
void clear(int colour);
void physical_clear(int colour);
void backspace();
void standend();
void wreverse();
void wblink();
void wrblink();

// Pixel-level text.
void pouttext(int x, int y, const char *s);
void xouttext(int r, int c, const char *s);

// Input.
int getcchr();
// poll(2) on one descriptor for up to ms while the window stays alive:
// Expose repaints from the pixmap, Ctrl+E ends the program at once. Also 0
// when input woke it first: the caller keeps its own time.
int poll_window(pollfd &p, int ms);
int getchr();
void beep();
void xflush();

// Small text helpers.
char *strupr(char *s);
char *strlwr(char *s);
char *itoa(int value, char *buf, int radix);
void show_machine(char *line, int size); // the machine name into an opening-panel line

} // namespace tw
