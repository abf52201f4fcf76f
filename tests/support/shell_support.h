// Helpers for the shell tests: a fresh program state on the recording back
// end, and reading the screen and the drawing calls.
#pragma once
#include <cstring>
#include <string>

#include "catalog/store.h"
#include "device/screen.h"
#include "device/spool.h"
#include "files.h"
#include "recording.h"
#include "shell/panel.h"
#include "shell/setup.h"
#include "shell/shell.h"

namespace tw::test {

inline void start(Recording &r)
{
	use_recording(r);
	reset_all(); // every subsystem as at start-up, then the recording's window again
	win_init();
	st.nmax = st.nmax2 = 4095;
	std::strcpy(st.f2_s, "PDE  ");
}

// The click that lands on text cell (row, col) of a form.
inline void click_cell(Recording &r, int row, int col) { r.click(4 + 8 * col + 3, 45 + 17 * row + 5); }

inline std::string row_text(int r) { return std::string(scr.mz + r * NCOL, NCOL); }

// Some drawing call printed exactly this text in one piece.
inline bool drew(const Recording &r, const std::string &text)
{
	return std::any_of(r.calls.begin(), r.calls.end(), [&](const std::string &c) {
		return c.size() >= text.size() && c.compare(c.size() - text.size(), text.size(), text) == 0 &&
		       (c.rfind("text ", 0) == 0 || c.rfind("itext ", 0) == 0);
	});
}

} // namespace tw::test
