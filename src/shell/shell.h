// Start-up, the main menu and the command loop.
#pragma once

namespace tw {

constexpr const char *VERSION = "Tarnwell (Version 3.02a  April 25, 2000)";

struct Shell {
	int err;          // result code of the last command, shown by the menu
	char em_s[71];    // pending message, shown once by the next panel
	char w_s[81];     // shared line buffer
	short isr;        // field on which the next panel starts
	char drvo_s[65];  // directory of auxiliary files
	char drv_s[65];   // directory of data files
	int seisok;       // the setup file was read or made: only then is it written at exit
};
extern Shell sh;

void shell_reset();
void init();
int prompt(int code);
void command_step(); // one turn of the main loop
void show_error_message(int r);
[[noreturn]] void finish();

// How the process ends; a test replaces it to stay alive.
extern void (*exit_process)(int status);

// Set em_s, cut to its capacity.
void set_em(const char *fmt, ...) __attribute__((format(printf, 1, 2)));

// Commands of the main menu: no arguments, a result code back.
int select_seis();
int browse();
int print();
int save();
int sort();
int map();
int time_tarnw();
int magnitude();
int option();

// Start-up and exit steps owned by other subsystems.
void map_init();
int alloc_mem();
void load_setup();
bool dump_setup();

} // namespace tw
