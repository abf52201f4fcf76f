// Panel form engine: draws a template, lets the user edit its input fields
// and hands the values back through the shared slots.
//
// [SECTION] Field geometry and slots
// [SECTION] Field movers
// [SECTION] Drawing
// [SECTION] Key loop
// [SECTION] Entry
#include "shell/panel.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "device/graph.h"
#include "device/menubar.h"
#include "device/screen.h"
#include "device/spool.h"
#include "shell/templates.h"

namespace tw {

Panel pn;

void panel_reset() { pn = Panel{}; }

void set_em(const char *fmt, ...)
{
	va_list ap;
	va_start(ap, fmt);
	std::vsnprintf(pn.em_s, sizeof pn.em_s, fmt, ap);
	va_end(ap);
}

static void em_text(const char *text) { set_em("%s", text); }
void (*spool_message)(const char *) = em_text;

// The pending message on row r, once.
void show_error_message(int r)
{
	if (!pn.em_s[0])
		return;
	_normal_font();
	wblink();
	xouttext(r, 6, pn.em_s);
	beep();
	pn.em_s[0] = 0;
	standend();
}

// [SECTION] Field geometry and slots

// Cells of field i: the width code without the case-keeping offset.
static int fwidth(int i)
{
	int w = pn.ml[i];
	return w > 100 ? w - 100 : w;
}

static int first_cell(int i) { return pn.my[i] * NCOL + pn.mx[i]; }

static void go(int pos) { move(pos / NCOL, pos % NCOL); }

// Where input field i of width w keeps its value, and the slot's size.
static char *value_slot(int number, int i, int w, size_t *size)
{
	if (w <= 8) {
		*size = sizeof pn.mc_s[i];
		return pn.mc_s[i];
	}
	*size = sizeof pn.md_s;
	if (number == PAN_OPTION && i == 1)
		return pn.me_s;
	if (number == PAN_OPTION && i == 2)
		return pn.mf_s;
	return pn.md_s;
}

// [SECTION] Field movers

void mvtonext()
{
	int pos = get_position(), first = -1;
	for (int i = 0; i < pn.mn; i++) {
		if (fwidth(i) < 1)
			continue;
		if (first < 0)
			first = i;
		if (first_cell(i) > pos) {
			go(first_cell(i));
			return;
		}
	}
	if (first >= 0)
		go(first_cell(first));
}

void mvtoprevious()
{
	if (pn.mn <= 0)
		return;
	int pos = get_position();
	for (int i = pn.mn - 1; i >= 0; i--) {
		int w = fwidth(i);
		if (w >= 1 && first_cell(i) + w - 1 < pos) {
			go(first_cell(i) + w - 1);
			return;
		}
	}
	int last = pn.mn - 1, w = fwidth(last);
	go(first_cell(last) + (w > 1 ? w - 1 : 0));
}

void mvhome()
{
	if (pn.mn > 0)
		go(first_cell(0));
}

void mvend()
{
	if (pn.mn > 0)
		go(first_cell(pn.mn - 1));
}

// [SECTION] Drawing

enum { SHOWN = 1000, HELP_ASKED = 1001, REFUSED = 1002 }; // internal results, never returned

static bool no_memory()
{
	StoreCounts c = store_counts();
	if (c.nmax && c.nmax2)
		return false;
	wblink();
	mvaddstr(9, 20, "Available memory is less than 128KB!");
	mvaddstr(10, 20, "Click 'Exit' to exit.");
	standend();
	return true;
}

static void draw_printer_prompt()
{
	pn.mn = pn.lm = 0;
	pn.pan = nullptr;
	fkey(0);
	wblink();
	mvaddstr(5, 10, "Power on your printer and press Enter.");
	standend();
}

static void draw_text(int number)
{
	for (int k = 0; k < pn.lm; k++) {
		char line[81];
		std::memcpy(line, pn.pan + k * PANEL_COLS, PANEL_COLS);
		line[PANEL_COLS] = 0;
		if (number == PAN_INIT && k == 8)
			show_machine(line, sizeof line);
		if (number == PAN_INIT && k == 9) // the banner without "Tarnwell "
			std::snprintf(line + 22, sizeof line - 22, "%s", std::strchr(VERSION, '('));
		mvaddstr(k, 0, line);
	}
}

// The opening and help screens: one key or click, then back.
static int text_screen(int number)
{
	fkey(-1);
	wrblink();
	if (number == PAN_INIT)
		mvaddstr(18, 22, "Press any key or button to begin.");
	else
		mvaddstr(22, 22, "Press any key or button to return.");
	if (getcchr() == K_CTRL_E)
		check_exit();
	standend();
	return 0;
}

static void parse_fields()
{
	const char *list = pn.pan + pn.lm * PANEL_COLS;
	for (int i = 0; i < pn.mn; i++) {
		int c = 0, r = 0, w = 0;
		std::sscanf(list + FIELD_LEN * i, "%d, %d, %d", &c, &r, &w);
		pn.mx[i] = (short)c, pn.my[i] = (short)r, pn.ml[i] = (short)w;
	}
}

// The right-hand part of the first row tells how much the command has.
static void draw_header(int number)
{
	if (number == PAN_MAPS6 || number == PAN_OPTION)
		return;
	StoreCounts c = store_counts();
	if (number == PAN_SELECT) {
		move(0, 28);
		clrtoeol();
		printw(" Memory available for %d/%d events.", c.nmax, c.nmax2);
	} else {
		move(0, 32);
		clrtoeol();
		printw("for %d events from %s.", c.itot, c.source);
	}
}

static void draw_input_field(int number, int i, int w)
{
	inputarea(pn.mx[i], pn.my[i], w);
	wreverse();
	size_t size;
	char *slot = value_slot(number, i, w, &size);
	size_t n = (size_t)w < size - 1 ? (size_t)w : size - 1;
	size_t len = strnlen(slot, n);
	std::memset(slot + len, ' ', n - len);
	slot[n] = 0;
	for (int k = 0; k < w; k++)
		set_writable(pn.my[i], pn.mx[i] + k);
	mvaddstr(pn.my[i], pn.mx[i], slot);
}

static void draw_fields(int number)
{
	_small_font();
	for (int i = 0; i < pn.mn; i++) {
		int w = fwidth(i);
		if (w >= 1) {
			draw_input_field(number, i, w);
			continue;
		}
		char *text = w >= -8 ? pn.mc_s[i] : pn.md_s;
		text[w >= -8 ? sizeof pn.mc_s[i] - 1 : sizeof pn.md_s - 1] = 0;
		mvaddstr(pn.my[i], pn.mx[i], text);
	}
}

// One drawing of the panel: SHOWN when the key loop should run, else the
// panel's result.
static int draw(int number)
{
	clear(9);
	_normal_font();
	if (no_memory())
		return -1;
	if (number == PAN_PRINTER) {
		draw_printer_prompt();
		return SHOWN;
	}
	const PanelEntry *e = find_panel(number);
	if (!e) {
		beep();
		return 3;
	}
	if (number != PAN_INIT && number != PAN_HELP)
		_wide_spacing();
	standend();
	pn.pan = e->pan;
	pn.mn = e->mn < MAXFIELD ? e->mn : MAXFIELD;
	pn.lm = e->lm;
	draw_text(number);
	if (pn.mn == 0)
		return text_screen(number);
	mvaddstr(pn.lm, 0, " --->");
	parse_fields();
	fkey(0);
	standend();
	draw_header(number);
	show_error_message(pn.lm);
	draw_fields(number);
	int f = pn.isr >= 0 && pn.isr < pn.mn ? pn.isr : 0;
	move(pn.my[f], pn.mx[f]);
	wreverse();
	return SHOWN;
}

// [SECTION] Key loop

static void accept(int number)
{
	for (int i = 0; i < pn.mn; i++) {
		int w = fwidth(i);
		if (w < 1)
			continue;
		size_t size;
		char *slot = value_slot(number, i, w, &size);
		size_t n = (size_t)w < size - 1 ? (size_t)w : size - 1;
		for (size_t k = 0; k < n; k++)
			slot[k] = (char)mvinch(pn.my[i], pn.mx[i] + (int)k);
		slot[n] = 0;
		if (pn.ml[i] <= 100)
			strupr(slot);
	}
}

// Left or Right: onto the neighbouring cell, or on to the next field when
// that cell is not part of one. Without fields there is nowhere to go.
static void step(int dir)
{
	short r = scr.row, c = scr.col;
	if (dir < 0)
		move_left();
	else
		move_right();
	if (iswritable())
		return;
	if (pn.mn == 0) {
		move(r, c);
		return;
	}
	if (dir < 0)
		mvtoprevious();
	else
		mvtonext();
}

static void type(int ch)
{
	if (!iswritable()) {
		beep();
		return;
	}
	addch(ch);
	if (!iswritable())
		mvtonext();
}

static void hardcopy()
{
	if (!tcopy())
		show_error_message(pn.lm);
	fkey(0);
}

// Keys that move or edit; false for a key without meaning here.
static bool edit_key(int k)
{
	switch (k) {
	case K_BS: backspace(); return true;
	case K_TAB: mvtonext(); return true;
	case K_F1: hardcopy(); return true;
	case K_HOME: mvhome(); return true;
	case K_UP: move_up(); return true;
	case K_LEFT: step(-1); return true;
	case K_RIGHT: step(1); return true;
	case K_END: mvend(); return true;
	case K_DOWN: move_down(); return true;
	case K_IGNORED: return true; // modifier and unbound keys: silence
	}
	if (k >= K_CELL) {
		move((k - K_CELL) / NCOL, (k - K_CELL) % NCOL);
		return true;
	}
	if (k >= 32 && k <= 126) {
		type(k);
		return true;
	}
	return false;
}

// A field no command could read: the form again, the cursor on it.
static bool refuse(int number)
{
	int bad = bad_field(number);
	if (bad < 0)
		return false;
	pn.isr = (short)bad;
	return true;
}

static int key_loop(int number)
{
	for (;;) {
		int k = getchr();
		switch (k) {
		case K_RETURN:
			accept(number);
			standend();
			return refuse(number) ? REFUSED : 0;
		case K_CTRL_E: check_exit();
		case K_F3: standend(); return 3;
		case K_F6: standend(); return 6;
		case K_F9: return HELP_ASKED;
		}
		if (!edit_key(k))
			beep();
	}
}

// [SECTION] Entry

// Draw and run the panel until it is left; a visit to the help screen or a
// refused Enter draws it again from the slots.
static int show(int number)
{
	for (;;) {
		int r = draw(number);
		if (r != SHOWN)
			return r;
		r = key_loop(number);
		if (r == REFUSED)
			continue;
		if (r != HELP_ASKED)
			return r;
		draw(PAN_HELP);
	}
}

int panel(int number)
{
	windows_menu(number);
	return show(number);
}

} // namespace tw
