// Start-up, the main menu and the command loop.
#include "shell/shell.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "catalog/select.h"
#include "catalog/server_client.h"
#include "catalog/sort.h"
#include "catalog/store.h"
#include "device/graph.h"
#include "device/menubar.h"
#include "device/ps.h"
#include "device/screen.h"
#include "device/spool.h"
#include "diagrams/diagrams.h"
#include "listing/listing.h"
#include "listing/table.h"
#include "maps/map.h"
#include "shell/panel.h"
#include "shell/setup.h"

namespace tw {

Shell sh;
void (*exit_hook)() = finish;

void shell_reset() { sh = Shell{}; }

void reset_all()
{
	graph_reset();
	screen_reset();
	shell_reset();
	panel_reset();
	settings_reset();
	spool_reset();
	ps_reset();
	listing_reset();
	diagrams_reset();
	maps_reset();
	server_client_reset();
	store_reset();
}

void init()
{
	const char *seis = std::getenv("SEIS");
	std::snprintf(st.drvo_s, sizeof st.drvo_s, "%s", seis ? seis : "");
	map_init();
	win_init();
	menu_init();
	store_init();
	panel(99);
	load_setup();
}

void finish()
{
	// Settings never read (an exit from the opening screen, an unusable
	// file) are defaults or blanks: written, they would replace the user's.
	if (se.seisok)
		dump_setup();
	win_finish();
	exit_process(0);
	std::abort(); // exit_process never returns in the program itself
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
	const char *order = st.isort == 1 ? "special order" : "chronological";
	move(0, 5);
	if (st.itot)
		printw("%d events [%s] selected from %s.", st.itot, order, st.f2_s);
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
