// Character screen and keyboard.
#include "device/screen.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <poll.h>

#include "device/graph.h"
#include "device/menubar.h"
#include "device/seam.h"

namespace tw {

CharScreen scr;

// Keys and clicks met while the program waited on something else, kept
// for the next key wait as the display would have kept them.
static InputEvent ahead[16];
static int nahead;

void screen_reset()
{
	nahead = 0;
	std::memset(scr.mz, ' ', sizeof scr.mz);
	std::memset(scr.mv, -1, sizeof scr.mv);
	scr.row = scr.col = 0;
}

static bool ingrid(int r, int c) { return r >= 0 && r < NROW && c >= 0 && c < NCOL; }

static short clampi(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

// The cursor may sit one column past the last (after writing column 79),
// but never outside the rows or left of column 0.
void move(int r, int c)
{
	scr.row = clampi(r, 0, NROW - 1);
	scr.col = clampi(c, 0, NCOL);
}

void move_left() { move(scr.row, scr.col - 1); }
void move_right() { move(scr.row, scr.col + 1); }
void move_up() { move(scr.row - 1, scr.col); }
void move_down() { move(scr.row + 1, scr.col); }
int get_position() { return scr.row * NCOL + scr.col; }

void set_writable(int r, int c)
{
	if (ingrid(r, c))
		scr.mv[r * NCOL + c] = 1;
}

bool _iswritable(int r, int c) { return ingrid(r, c) && scr.mv[r * NCOL + c] >= 0; }
bool iswritable() { return _iswritable(scr.row, scr.col); }
int mvinch(int r, int c) { return ingrid(r, c) ? (unsigned char)scr.mz[r * NCOL + c] : ' '; }

static int pitch() { return gr.widespace ? 17 : 16; }

void pouttext(int x, int y, const char *s)
{
	be->text(x, y + gr.fh, s, (int)std::strlen(s), gr.textmode != 0);
}

void xouttext(int r, int c, const char *s)
{
	pouttext(8 * c + gr.xoff + 4, pitch() * r + gr.yoff + 45, s);
}

void addch(int ch)
{
	if (ingrid(scr.row, scr.col)) {
		char t[2] = {(char)ch, 0};
		xouttext(scr.row, scr.col, t);
		scr.mz[scr.row * NCOL + scr.col] = (char)ch;
	}
	if (scr.col < NCOL)
		scr.col++;
}

void mvaddch(int r, int c, int ch)
{
	move(r, c);
	addch(ch);
}

void addstr(const char *s)
{
	while (*s)
		addch((unsigned char)*s++);
}

void mvaddstr(int r, int c, const char *s)
{
	move(r, c);
	addstr(s);
}

void printw(const char *fmt, ...)
{
	char buf[81];
	va_list ap;
	va_start(ap, fmt);
	std::vsnprintf(buf, sizeof buf, fmt, ap);
	va_end(ap);
	addstr(buf);
}

void clrtoeol()
{
	short r = scr.row, c = scr.col;
	while (scr.col < NCOL)
		addch(' ');
	move(r, c);
}

void clear(int colour)
{
	std::memset(scr.mz, ' ', sizeof scr.mz);
	std::memset(scr.mv, -1, sizeof scr.mv);
	physical_clear(colour);
}

void physical_clear(int colour)
{
	_setcolor(colour);
	prectangle(1, 0, 45 + gr.yoff, WIN_W, WIN_H);
}

// Shift the rest of the input field one cell left over the deleted one.
void backspace()
{
	int r = scr.row, c = scr.col;
	if (!_iswritable(r, c - 1)) {
		beep();
		return;
	}
	int last = c - 1;
	for (int k = c; _iswritable(r, k); k++) {
		mvaddch(r, k - 1, mvinch(r, k));
		last = k;
	}
	mvaddch(r, last, ' ');
	move(r, c - 1);
}

void standend() { _setcolor(0); _setbkcolor(9); }
void wreverse() { _setcolor(0); _setbkcolor(7); }
void wblink() { _setcolor(4); _setbkcolor(9); }
void wrblink() { _setcolor(4); _setbkcolor(7); }

static bool ctrlflag; // a Control key went down during this wait

// One key press in the current wait: a code, or 0 to keep waiting.
static int keycode(const InputEvent &ev)
{
	unsigned long ks = ev.keysym;
	switch (ks) {
	case KS_LEFT: return K_LEFT;
	case KS_UP: return K_UP;
	case KS_RIGHT: return K_RIGHT;
	case KS_DOWN: return K_DOWN;
	case KS_SHIFT_L: case KS_SHIFT_R: return 0;
	case KS_CONTROL_L: case KS_CONTROL_R: ctrlflag = true; return 0;
	}
	if (ks >= KS_F1 && ks <= KS_F35)
		return 315 + (int)(ks - KS_F1);
	if (ev.ntext == 0)
		return K_IGNORED; // Home, Page Up, Alt and the like
	int c = (signed char)ev.text[0];
	if (c == K_RETURN && ctrlflag)
		return K_CTRL_RETURN;
	return c;
}

static void next_input(InputEvent &ev)
{
	if (nahead == 0) {
		be->next_event(ev);
		return;
	}
	ev = ahead[0];
	std::memmove(ahead, ahead + 1, --nahead * sizeof ahead[0]);
}

int getcchr()
{
	InputEvent ev;
	ctrlflag = false;
	for (;;) {
		next_input(ev);
		if (ev.kind == EvKind::expose)
			be->show_pixmap();
		else if (ev.kind == EvKind::button)
			return mouse2key(ev.x, ev.y);
		else if (ev.kind == EvKind::key) {
			int k = keycode(ev);
			if (k)
				return k;
		}
	}
}

// Input met while waiting on something else: Expose and Ctrl+E act now,
// other keys and clicks wait for the next key wait.
static void idle_input()
{
	InputEvent ev;
	while (be->poll_event(ev)) {
		if (ev.kind == EvKind::expose)
			be->show_pixmap();
		else if (ev.kind == EvKind::key && keycode(ev) == K_CTRL_E)
			check_exit();
		else if ((ev.kind == EvKind::key || ev.kind == EvKind::button) && nahead < 16)
			ahead[nahead++] = ev;
	}
}

int poll_window(pollfd &p, int ms)
{
	if (!be)
		return ::poll(&p, 1, ms);
	idle_input();
	pollfd f[2] = {p, {be->event_fd(), POLLIN, 0}};
	int r = ::poll(f, 2, ms);
	p.revents = f[0].revents;
	if (r > 0 && !p.revents) {
		idle_input();
		r = 0;
	}
	return r;
}

// Draw the cursor cell in its resting look.
static void rest_cell()
{
	if (iswritable()) {
		wreverse();
		_small_font();
	} else {
		standend();
		_normal_font();
	}
}

int getchr()
{
	short r = scr.row, c = scr.col;
	bool w = iswritable();
	wreverse();
	_setbkcolor(2);
	if (w)
		_small_font();
	else
		_normal_font();
	addch(mvinch(r, c));
	move(r, c);
	int k = getcchr();
	rest_cell();
	addch(mvinch(r, c));
	move(r, c);
	restore_box(c, r);
	rest_cell();
	return k;
}

void beep() { be->bell(); }
void xflush() { be->flush(); }

char *strupr(char *s)
{
	for (char *p = s; *p; p++)
		*p = (char)std::toupper((unsigned char)*p);
	return s;
}

char *strlwr(char *s)
{
	for (char *p = s; *p; p++)
		*p = (char)std::tolower((unsigned char)*p);
	return s;
}

char *itoa(int value, char *buf, int)
{
	std::sprintf(buf, "%d", value);
	return buf;
}

} // namespace tw
