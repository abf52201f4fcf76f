// Start-up, the main menu and the command loop.
#pragma once

namespace tw {

struct Shell {
	int err;          // result code of the last command, shown by the menu
};
extern Shell sh;

void shell_reset();
// Every subsystem as before start-up (no segments taken), for tests, fuzz
// targets and benchmarks; the back end in use stays.
void reset_all();
void init();
int prompt(int code);
void command_step(); // one turn of the main loop
[[noreturn]] void finish();

} // namespace tw
