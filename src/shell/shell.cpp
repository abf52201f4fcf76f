// Start-up, the main menu and the command loop.
#include "shell/shell.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "catalog/store.h"
#include "shell/panel.h"
#include "device/graph.h"
#include "device/menubar.h"
#include "device/screen.h"

namespace tw {

Shell sh;
void (*exit_process)(int) = std::exit;
Backend *(*open_backend)();
void (*close_backend)(Backend *);

void shell_reset() { sh = Shell{}; }

void set_em(const char *fmt, ...)
{
	va_list ap;
	va_start(ap, fmt);
	std::vsnprintf(sh.em_s, sizeof sh.em_s, fmt, ap);
	va_end(ap);
}

// The window and its fonts; the program ends here without a display.
void win_init()
{
	if (!be && open_backend)
		be = open_backend();
	if (!be) {
		std::printf("You are not in the X Window environment!\n");
		std::fflush(stdout);
		exit_process(1);
		return;
	}
	gr.nfh = be->font_ascent(FONT_NORMAL);
	gr.sfh = be->font_ascent(FONT_SMALL);
	gr.mfh = be->font_ascent(FONT_MENU) - 1;
	gr.fontmode = be->fontmode();
	_normal_font();
	_setcolor(7);
	_setbkcolor(9);
}

void win_finish()
{
	if (be && close_backend) {
		close_backend(be);
		be = nullptr;
	}
}

void init()
{
	const char *seis = std::getenv("SEIS");
	std::snprintf(sh.drvo_s, sizeof sh.drvo_s, "%s", seis ? seis : "");
	map_init();
	win_init();
	menu_init();
	int s = alloc_mem();
	st.nmax2 = (short)(s / 2 * SEGREC);
	st.nmax = (short)((s - s / 2) * SEGREC);
	st.itot = 0;
	st.isort = 0;
	panel(99);
	load_setup();
}

void finish()
{
	// Settings never read (an exit from the opening screen, an unusable
	// file) are defaults or blanks: written, they would replace the user's.
	if (sh.seisok)
		dump_setup();
	win_finish();
	exit_process(0);
	std::abort(); // exit_process never returns in the program itself
}

void show_machine()
{
	std::snprintf(sh.w_s + 29, sizeof sh.w_s - 29, "for UNIX/X Window");
}

static constexpr const char *help[11] = {
	"SELECT......Select events.                                     ",
	"BROWSE......Browse data of the selected events.                ",
	"PRINT.......Print data of the selected events.                 ",
	"SAVE........Save data of the selected events.                  ",
	"SORT........Sort the selected events.                          ",
	"MAP.........Plot the selected events on a map.                 ",
	"TIME........Draw a time-frequency diagram for the events.      ",
	"MAGNITUDE...Draw a magnitude-frequency diagram for the events. ",
	"OPTION......Specify options for directories and a printer.     ",
	"END.........Exit.                                              ",
	"                                                               ",
};

static void result_message(int code, char *out, int n)
{
	switch (code) {
	case 1: std::snprintf(out, n, "Invalid command or number!"); break;
	case 2: std::snprintf(out, n, "Number of events exceeds %d!", st.nmax); break;
	case 3: std::snprintf(out, n, "No event has been selected!"); break;
	case 4: std::snprintf(out, n, "Events more than %d cannot be sorted!", st.nmax2); break;
	default: std::snprintf(out, n, "Error!");
	}
}

int prompt(int code)
{
	clear(9);
	_normal_font();
	_normal_spacing();
	wrblink();
	mvaddstr(2, 5, "Click one of the commands on the menubar,");
	mvaddstr(3, 5, "or Press Ctrl+(Capital Letter).          ");
	standend();
	for (int i = 0; i < 11; i++)
		mvaddstr(6 + i, 5, help[i]);
	std::snprintf(sh.w_s, sizeof sh.w_s, "%s", st.isort == 1 ? "special order" : "chronological");
	move(0, 5);
	if (st.itot)
		printw("%d events [%s] selected from %s.", st.itot, sh.w_s, st.f2_s);
	else
		addstr("No events selected.");
	mvaddstr(1, 5, "");
	printw("Memory available for %d/%d events.", st.nmax, st.nmax2);
	mvaddstr(5, 5, "--->");
	if (code) {
		char msg[81];
		result_message(code, msg, sizeof msg);
		wblink();
		mvaddstr(5, 10, msg);
		standend();
		beep();
	}
	windows_menu(-1);
	fkey(-1);
	int k = getcchr();
	if (k == K_CTRL_E)
		check_exit();
	return k;
}

void show_error_message(int r)
{
	if (!sh.em_s[0])
		return;
	_normal_font();
	wblink();
	xouttext(r, 6, sh.em_s);
	beep();
	sh.em_s[0] = 0;
	standend();
}

struct Command {
	int key;
	int (*run)();
};

static constexpr Command commands[] = {
	{19, select_seis}, {2, browse},      {16, print},
	{22, save},        {18, sort},       {269, map},
	{20, time_tarnw},  {7, magnitude},   {15, option},
};

// One turn of the loop: the menu, one key, its command.
void command_step()
{
	int key = prompt(sh.err);
	sh.err = 0;
	for (const Command &c : commands)
		if (c.key == key) {
			sh.err = c.run();
			return;
		}
	beep();
}

} // namespace tw
