// Listing lines: one event as text for the screen, the printer and files.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "catalog/store.h"
#include "device/screen.h"
#include "device/spool.h"
#include "listing/listing.h"

namespace tw {

// Before 1885 the catalogues hold no reliable time of day nor depth.
constexpr int EARLY_YEAR = 1885;

// Month-day or hour-minute as four digits, "    " when unknown.
static void fourdig(char *out, int hi, int lo, bool blank)
{
	if (blank) {
		std::memcpy(out, "    ", 5);
		return;
	}
	char t[16];
	std::snprintf(t, sizeof t, "%4d", hi * 100 + lo);
	for (char *p = t; *p; p++)
		if (*p == ' ')
			*p = '0';
	std::memcpy(out, t, 4); // "%4d" gives at least four; more is cut
	out[4] = 0;
}

// Seconds, depth and magnitude columns (16-20, 40-46, 47-51 without the
// epicentre between them), each blank when unknown.
static void seconds_col(char *out, const unsigned char *rec, bool early)
{
	if (early)
		std::memcpy(out, "     ", 6);
	else
		std::snprintf(out, 6, "%5.1f", qeek(5, rec) / 10.0);
}

static void depth_col(char *out, const unsigned char *rec, bool early)
{
	short d = (short)qeek(13, rec); // FF FF reads as negative
	if (early || peek(0, rec) == 255 || d < 0)
		std::memcpy(out, "       ", 8);
	else
		std::snprintf(out, 8, "  %5.1f", d / 10.0);
}

static void mag_col(char *out, const unsigned char *rec)
{
	double m = rec_mag(rec);
	if (m <= -1000)
		std::memcpy(out, "     ", 6);
	else
		std::snprintf(out, 6, " %4.1f", m);
}

void evfields(char *out, int n, const unsigned char *rec)
{
	int year = fnyear(0, rec);
	bool early = year < EARLY_YEAR;
	char md[5], hm[5], sec[6], dep[8], mag[6];
	fourdig(md, peek(1, rec), peek(2, rec), peek(1, rec) == 0 && peek(2, rec) == 0);
	fourdig(hm, peek(3, rec), peek(4, rec), early);
	seconds_col(sec, rec, early);
	depth_col(dep, rec, early);
	mag_col(mag, rec);
	char ew = peek(8, rec) & 128 ? 'W' : 'E';
	char ns = peek(11, rec) & 128 ? 'S' : 'N';
	std::snprintf(out, n, "%4d %s  %s%s %8.3f%c %7.3f%c%s%s", year, md, hm,
		      sec, std::fabs(bin2deg(7, rec)), ew, std::fabs(bin2deg(10, rec)), ns,
		      dep, mag);
}

// Region name of the record; the tables are in the work segment.
static const char *rec_region(const unsigned char *rec, int kind)
{
	return region(kind, peek(10, rec), peek(11, rec) & 128 ? 'S' : 'N', peek(7, rec),
		      peek(8, rec) & 128 ? 'W' : 'E', std::fabs(bin2deg(10, rec)),
		      st.nseg > 0 ? st.iseg[workseg()] : nullptr);
}

static void screen_header(long first, int row)
{
	move(row, 0);
	wreverse();
	clrtoeol();
	printw("%ld", first + 1);
	mvaddstr(row, 5, "Date       Time       Lon       Lat    Depth   M         Region");
	standend();
}

// One line for the given target, cut to n.
static void event_line(char *out, int n, const unsigned char *rec, int output,
		       int kind, int letter)
{
	char f[96];
	evfields(f, sizeof f, rec);
	const char *name = kind ? rec_region(rec, kind) : nullptr;
	if (output == LO_SCREEN)
		std::snprintf(out, n, "%c  %s%s%s", letter, f, name ? "  " : "", name ? name : "");
	else if (output == LO_PRINTER)
		std::snprintf(out, n, "%s  %s\r\n", f, name ? name : "");
	else
		std::snprintf(out, n, "%s\n", f);
}

void brosub(long first, long last, int base, int mode, int output, int kind)
{
	int row = mode == 0 ? 1 : 2; // the column header's row
	if (output == LO_SCREEN)
		screen_header(first, row);
	char line[128];
	for (long i = first; i <= last; i++) {
		int letter = 'A' + (int)((i - first) % 26);
		event_line(line, sizeof line, evslot(base, (int)i), output, kind, letter);
		if (output == LO_SCREEN)
			mvaddstr(row + 1 + (int)(i - first), 0, line);
		else if (output == LO_PRINTER)
			lpputs(line);
		else if (ls.fs)
			std::fputs(line, ls.fs);
	}
	if (output == LO_SCREEN)
		mvaddstr(22, 1, "--->");
}

} // namespace tw
