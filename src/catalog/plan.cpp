// Which dataset files a selection reads, their names, and the scan of one
// file and its continuation parts into the primary half.
#include <cstdio>
#include <cstring>

#include "catalog/select.h"
#include "catalog/store.h"
#include "shell/panel.h"

namespace tw {

static void leg(Leg &l, const char *name, bool yearly, int y1, int y2, int parts)
{
	std::snprintf(l.name, sizeof l.name, "%s", name);
	l.yearly = yearly;
	l.y1 = y1;
	l.y2 = y2;
	l.parts = parts;
}

static int later(int a, int b) { return a > b ? a : b; }

// JPN joins three catalogues: RIKA for the earliest years, VELA up to 1925,
// JMA's yearly files from 1926. VELA is read whole with its window ending in
// 1925, so that its second part is never skipped and nothing of 1926 on is
// taken twice.
static int plan_jpn(int iyy1, int iyy2, Leg *legs)
{
	int n = 0;
	if (iyy1 < 1885)
		leg(legs[n++], "RIKA", false, iyy1, iyy2, 1);
	if (iyy1 < 1926)
		leg(legs[n++], "VELA", false, iyy1, iyy2 > 1925 ? 1925 : iyy2, 2);
	if (iyy2 > 1925)
		leg(legs[n++], "JMA", true, later(iyy1, 1926), iyy2, 0);
	return n;
}

int select_plan(const char *src, int iyy1, int iyy2, bool server, Leg *legs)
{
	if (!std::strcmp(src, "RIKA")) {
		leg(legs[0], "RIKA", false, iyy1, iyy2, 1);
		return 1;
	}
	if (!std::strcmp(src, "VELA")) {
		leg(legs[0], "VELA", false, iyy1, iyy2, 2);
		return 1;
	}
	if (!std::strcmp(src, "JPN"))
		return plan_jpn(iyy1, iyy2, legs);
	int from = server ? iyy1 : later(iyy1, 1926);
	if (from > iyy2)
		return 0;
	leg(legs[0], src, true, from, iyy2, 0);
	return 1;
}

void year_file(char *out, int n, const char *src, int year)
{
	if (year < 2000)
		std::snprintf(out, n, "%s-%d.B", src, year - 1900);
	else if (year < 2010)
		std::snprintf(out, n, "%s00%d.B", src, year - 2000);
	else
		std::snprintf(out, n, "%s0%d.B", src, year - 2000);
}

void part_file(char *out, int n, const char *first, int part)
{
	std::snprintf(out, n, "%s%d", first, part);
}

// A part that points back at itself or an earlier one would be read
// forever: it ends the file.
int part_after(int m, int cur, int maxpart)
{
	if (m == M_END || cur >= maxpart)
		return 0;
	int p = maxpart == 2 ? 2 : 65536 - m;
	return p > cur && p <= maxpart ? p : 0;
}

// Filter the loaded part into the primary half. Returns the marker that
// ended it, or 0 when the store became full.
static int scan_part(const Filter &f, long len)
{
	int k = 0;
	for (;;) {
		int r = retrv(f, k, st.itot, workseg(), 0, len);
		if (r >= M_LOW)
			return r;
		if (++st.itot >= st.nmax) {
			seal_full(0, st.nmax);
			return 0;
		}
		k = r + 1;
	}
}

int scan_file(const char *first, int maxpart)
{
	char name[32];
	std::snprintf(name, sizeof name, "%s", first);
	Filter f(select_bounds());
	for (int part = 1; part;) {
		pn.em_s[0] = 0;
		long len = bload(st.iseg[workseg()], 0, name);
		if (!len && pn.em_s[0])
			return 0;
		int m = scan_part(f, len);
		if (!m)
			return 2;
		// The file's marker only chooses the next part: copied into the
		// store, a continuation would lead later scans of the selection
		// into stale slots.
		put_marker(0, st.itot, M_END);
		part = part_after(m, part, maxpart);
		part_file(name, sizeof name, first, part);
	}
	return 1;
}

int rvrika() { return scan_file("RIKA.B", 1); }

int rvvela(bool first_only) { return scan_file("VELA.B", first_only ? 1 : 2); }

} // namespace tw
