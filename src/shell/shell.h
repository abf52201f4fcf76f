// Start-up, the main menu and the command loop.
#pragma once

namespace tw {

struct Shell {
	int err;          // result code of the last command, shown by the menu
};
extern Shell sh;

void shell_reset();
void init();
int prompt(int code);
void command_step(); // one turn of the main loop
[[noreturn]] void finish();

} // namespace tw
