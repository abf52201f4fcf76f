// The window: opening the back end with its fonts, and closing it.
#include <cstdio>
#include <cstdlib>

#include "device/graph.h"
#include "device/screen.h"
#include "device/seam.h"

namespace tw {

void (*exit_process)(int) = std::exit;
Backend *(*open_backend)();
void (*close_backend)(Backend *);

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

void show_machine(char *line, int size)
{
	if (size > 29)
		std::snprintf(line + 29, size - 29, "for UNIX/X Window");
}

} // namespace tw
