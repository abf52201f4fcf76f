// PRINT and SAVE: the whole selection as text, to the printer or a file.
#include <cerrno>
#include <cstdio>

#include "catalog/store.h"
#include "device/screen.h"
#include "device/spool.h"
#include "listing/listing.h"
#include "shell/panel.h"
#include "device/safefile.h"
#include "shell/setup.h"

namespace tw {

// Result code for a listing that could not be written: the main menu shows
// "Error!" instead of passing a lost listing off as done.
constexpr int LIST_FAILED = 5;

constexpr const char *print_header =
	"  Date       Time       Lon       Lat    Depth   M         Region\r\n\r\n";

int print()
{
	if (st.itot == 0)
		return 3;
	int kind = load_tables(select_kind());
	if (panel(2) != 0)
		return 0;
	clear(9);
	wblink();
	mvaddstr(5, 20, "Now printing .....");
	standend();
	xflush();
	if (!lpinit())
		return LIST_FAILED; // the spool's message waits for the next form
	lpputs(print_header);
	brosub(0, st.itot - 1, 0, 0, LO_PRINTER, kind);
	return lpclose() ? 0 : LIST_FAILED;
}

// A device or a pipe is written as it is: there is no old file to keep.
static bool save_in_place(const char *path)
{
	ls.fs = std::fopen(path, "w");
	if (!ls.fs) {
		set_em("`%s' cannot be opened.", path);
		return false;
	}
	brosub(0, st.itot - 1, 0, 0, LO_FILE, RK_NONE);
	bool whole = close_whole(ls.fs);
	ls.fs = nullptr;
	if (!whole)
		set_em("`%s' could not be written completely.", path);
	return whole;
}

// Writes the selection to path; false (message set) when that fails. A file
// is replaced whole or not at all: a full disk or a crash keeps the old one.
static bool save_to(const char *path)
{
	std::string target;
	if (resolve_target(path, target) == TARGET_OTHER)
		return save_in_place(path);
	SafeFile out;
	ls.fs = safe_open(out, path);
	if (!ls.fs) {
		set_em("`%s' cannot be opened.", path);
		return false;
	}
	brosub(0, st.itot - 1, 0, 0, LO_FILE, RK_NONE);
	ls.fs = nullptr;
	if (safe_close(out))
		return true;
	set_em("`%s' was not saved: nothing changed!", path);
	return false;
}

int save()
{
	if (st.itot == 0)
		return 3;
	pn.md_s[0] = 0;
	pn.isr = 0;
	for (;;) {
		if (panel(3) != 0)
			return 0;
		char path[sizeof pn.md_s];
		strxcpy(path, pn.md_s);
		if (save_to(path))
			return 0;
		pn.isr = 0;
	}
}

} // namespace tw
