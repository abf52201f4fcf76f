// The block at the right of a diagram or map that says which data it shows.
#include <cstdio>

#include "catalog/store.h"
#include "device/graph.h"
#include "diagrams/diagrams.h"
#include "maps/map.h"
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

void pfromto(int row, int count)
{
	int r = row < 0 ? -row : row;
	char buf[64];
	gprint(63, r, "data ", 2);
	std::snprintf(buf, sizeof buf, "%d(%s)", count ? count : st.itot, st.f2_s);
	gprint(68, r, buf, 7);
	gprint(63, r + 1, "from", 2);
	period(r + 1, se.y1_s, se.m1_s, se.d1_s, se.h1_s, se.n1_s, se.s1_s);
	gprint(63, r + 3, "to", 2);
	period(r + 3, se.y2_s, se.m2_s, se.d2_s, se.h2_s, se.n2_s, se.s2_s);
	if (row >= 1) {
		const char *la[6] = {se.sa1_s, se.sam1_s, se.sns1_s, se.sa2_s, se.sam2_s, se.sns2_s};
		const char *lo[6] = {se.so1_s, se.som1_s, se.sew1_s, se.so2_s, se.som2_s, se.sew2_s};
		range(64, r + 5, "- ", la);
		range(63, r + 6, "-", lo);
	} else {
		const char *la[6] = {mp.ta1_s, mp.tam1_s, mp.tns1_s, mp.ta2_s, mp.tam2_s, mp.tns2_s};
		const char *lo[6] = {mp.to1_s, mp.tom1_s, mp.tew1_s, mp.to2_s, mp.tom2_s, mp.tew2_s};
		range(64, r + 5, "- ", la);
		range(63, r + 6, "-", lo);
	}
}

void legend3()
{
	char buf[32];
	pfromto(2, 0);
	gprint(63, 9, "depth", 2);
	std::snprintf(buf, sizeof buf, "%s-%skm", se.dp1_s, se.dp2_s);
	gprint(66, 10, buf, 7);
}

} // namespace tw
