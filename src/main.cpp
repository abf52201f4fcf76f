#include "device/x11/x11.h"
#include "shell/shell.h"

int main()
{
	tw::reset_all();
	tw::open_backend = tw::x11_open;
	tw::close_backend = tw::x11_close;
	tw::init();
	for (;;)
		tw::command_step();
}
