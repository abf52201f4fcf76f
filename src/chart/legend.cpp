// The block at the right of a diagram or map that says which data it shows.
#include <cstdio>

#include "catalog/store.h"
#include "chart/chart.h"
#include "device/graph.h"
#include "shell/setup.h"

namespace tw {

// One coordinate range: degrees, blank, minutes and hemisphere, twice.
static void range(int col, int row, const char *mid, const char *const v[6])
{
	char buf[64];
	std::snprintf(buf, sizeof buf, "%s %s%s%s%s %s%s", v[0], v[1], v[2], mid, v[3], v[4], v[5]);
	gprint(col, row, buf, 7);
}

static void period(int row, const char *y, const char *m, const char *d, const char *h,
		   const char *n, const char *s)
{
	char buf[64];
	std::snprintf(buf, sizeof buf, "%s/%s/%s", y, m, d);
	gprint(68, row, buf, 7);
	std::snprintf(buf, sizeof buf, "%s:%s:%s", h, n, s);
	gprint(68, row + 1, buf, 7);
}

void pfromto(int row, int count, const AreaText &area)
{
	char buf[64];
	gprint(63, row, "data ", 2);
	std::snprintf(buf, sizeof buf, "%d(%s)", count ? count : st.itot, st.f2_s);
	gprint(68, row, buf, 7);
	gprint(63, row + 1, "from", 2);
	period(row + 1, se.y1_s, se.m1_s, se.d1_s, se.h1_s, se.n1_s, se.s1_s);
	gprint(63, row + 3, "to", 2);
	period(row + 3, se.y2_s, se.m2_s, se.d2_s, se.h2_s, se.n2_s, se.s2_s);
	range(64, row + 5, "- ", area.la);
	range(63, row + 6, "-", area.lo);
}

} // namespace tw
