// The paged event table: BROWSE and the FIND listing of the map.
#include "listing/table.h"

#include "catalog/store.h"
#include "device/graph.h"
#include "device/menubar.h"
#include "device/screen.h"
#include "device/spool.h"
#include "listing/listing.h"
#include "shell/panel.h"

namespace tw {

struct Page {
	int base;  // first segment of the listed half
	int lines; // events per page
	int kind;  // region table set, 0 without names
};

// The tables go into the work segment: only when the listed events do not
// reach into it, or loading them would overwrite the events themselves.
static bool work_segment_free(int base, int n)
{
	return st.nseg >= 2 && base + (n - 1) / SEGREC < workseg();
}

static void titles(int mode, int n)
{
	if (mode == 0) {
		mvaddstr(0, 4, "");
		printw("Request : BROWSE  for %d events from %s.", n, st.f2_s);
		return;
	}
	mvaddstr(0, 4, "");
	printw("Request : MAP  for %d events from %s.", st.itot, st.f2_s);
	mvaddstr(1, 4, "");
	printw("          FIND BROWSE  for %d events.", n);
}

static void draw_page(int mode, int n, const Page &pg)
{
	clear(9);
	fkey(2);
	standend();
	long last = ls.first + pg.lines - 1;
	if (last > n - 1)
		last = n - 1;
	titles(mode, n);
	brosub(ls.first, last, pg.base, mode, LO_SCREEN, pg.kind);
}

static long at_least0(long v) { return v < 0 ? 0 : v; }

// New first event for a paging key, or -1 when the key does not page.
static long page_to(int key, long first, int n, int lines)
{
	switch (key) {
	case K_F4: return 0;
	case K_F5: return at_least0(n - lines);
	case K_F7: return at_least0(first - lines);
	case K_F8:
		first += lines;
		return at_least0(first > n - 1 ? n - lines : first);
	}
	return -1;
}

static void hcopy()
{
	if (!tcopy())
		show_error_message(22);
	fkey(2);
}

// Keys until one leaves (its result) or changes the page (-1).
static int page_keys(int mode, int n, const Page &pg)
{
	for (;;) {
		int k = getcchr();
		long to = page_to(k, ls.first, n, pg.lines);
		if (to >= 0) {
			ls.first = to;
			return -1;
		}
		switch (k) {
		case K_F1: hcopy(); break;
		case K_F3: return mode == 0 ? 0 : K_F3;
		case K_F6: return mode == 0 ? 0 : K_F6;
		case K_CTRL_E: check_exit();
		default: beep();
		}
	}
}

int table(int mode, int n)
{
	if (mode == 0 && n == 0)
		return 3;
	Page pg;
	pg.base = mode == 0 ? 0 : base2();
	pg.lines = mode == 0 ? 20 : 19;
	pg.kind = work_segment_free(pg.base, n) ? load_tables(select_kind()) : RK_NONE;
	ls.first = 0;
	for (;;) {
		draw_page(mode, n, pg);
		int r = page_keys(mode, n, pg);
		if (r >= 0)
			return r;
	}
}

int browse()
{
	windows_menu(1);
	_wide_spacing();
	return table(0, st.itot);
}

} // namespace tw
