// Legends at the right of the map pictures, and the two associated
// cross-section charts drawn instead of the text legend.
#include <cstdio>
#include <cstdlib>

#include "catalog/store.h"
#include "device/graph.h"
#include "device/ps.h"
#include "maps/map.h"
#include "maps/symbols.h"
#include "shell/setup.h"

namespace tw {

// MAP's area as its form shows it.
static AreaText map_area()
{
	return {{mp.ta1_s, mp.tam1_s, mp.tns1_s, mp.ta2_s, mp.tam2_s, mp.tns2_s},
		{mp.to1_s, mp.tom1_s, mp.tew1_s, mp.to2_s, mp.tom2_s, mp.tew2_s}};
}

static void depth_legend()
{
	char t[16];
	gprint(63, 9, "depth ", 2);
	int ndp = se.ndp < 0 ? 0 : se.ndp > 7 ? 7 : se.ndp;
	for (int i = 0; i <= ndp; i++) {
		int y = (int)((i + 8.5) * 15) + 1;
		int c = i < ndp ? se.icd[i] : se.icd[0];
		if (i < ndp)
			std::snprintf(t, sizeof t, "%d -", se.cdp[i]);
		else
			std::snprintf(t, sizeof t, "unknown");
		_setcolor(c);
		gsymbol(554, y, 5, c);
		gprint(72, 9 + i, t, 7);
	}
}

// The "unknown" row mirrors the depth legend and the symbol panel:
// undetermined magnitudes are drawn at the MAG0 size.
void mag_legend()
{
	char t[16], h[16];
	gprint(63, 17, "magnitude ", 2);
	int nmg = se.nmg < 0 ? 0 : se.nmg > 8 ? 8 : se.nmg;
	for (int i = 0; i <= nmg; i++) {
		int y = (int)((i + 17.5) * 15);
		if (i < nmg)
			std::snprintf(t, sizeof t, "%s -", hcvt(se.cmg[i], h));
		else
			std::snprintf(t, sizeof t, "unknown");
		gprint(72, 18 + i, t, 7);
		_setcolor(7);
		gcircle(0, 554, y, symbol_size(i < nmg ? i : 0));
	}
}

static void chart_frames()
{
	pspen(1, 0);
	_setcolor(7);
	gbox(0, mf.kx1 + 5, mf.ky0 + 1, mf.kx1 + 95, mf.ky1 - 1);
	gbox(0, mf.kx0 + 1, mf.ky1 + 5, mf.kx1 - 1, mf.ky1 + 95);
	gsmall_font();
	gfprint(mf.kx1 + 3, mf.ky1 + 1, "0", 7);
	gfprint(mf.kx1 + 80, mf.ky1 + 1, se.ync_s, 7);
	gfprint(mf.kx1 + 3, mf.ky1 + 85, se.ync_s, 7);
	gnormal_font();
	pspen(2, 0);
}

// East chart: depth across, latitude as on the map; south chart: longitude
// as on the map, depth downwards. Unknown depths (-0.1 km) sit on 0 km.
static void charts(int depth)
{
	chart_frames();
	Placed e;
	for (int i = 0; i < st.itot; i++) {
		if (!place_event(i, e) || e.dep > depth)
			continue;
		int d = (int)(e.dep * 90 / depth);
		_setcolor(e.colour);
		gsymbol(mf.kx1 + 5 + d, mf.ky0 + 1 + e.y, e.size, e.colour);
		gsymbol(mf.kx0 + 1 + e.x, mf.ky1 + 5 + d, e.size, e.colour);
	}
}

void legend(const char *, int n)
{
	if (n < 0) {
		charts(-n);
		return;
	}
	gprint(63, 1, "MAP", 4);
	pfromto(2, n, map_area());
	depth_legend();
	mag_legend();
}

// One profile end as "135 20E-35 07N".
static void end_point(int e, char *out, int cap)
{
	char a[12], b[12], c[12], d[12];
	std::snprintf(out, cap, "%s %s%s%s %s%s", jtoa(std::abs(mp.lo[e]), a, -3),
		      jtoa(mp.lom[e], b, -2), mp.low[e] ? "W-" : "E-",
		      jtoa(std::abs(mp.la[e]), c, -2), jtoa(mp.lam[e], d, -2),
		      mp.las[e] ? "S" : "N");
}

void legend2(int length, int n)
{
	char t[40];
	pfromto(3, n, map_area());
	for (int e = 0; e < 2; e++) {
		end_point(e, t, sizeof t);
		gprint(63, 11 + 2 * e, t, 7);
	}
	gprint(63, 14, "length", 2);
	std::snprintf(t, sizeof t, "%dkm", length);
	gprint(66, 15, t, 7);
	mag_legend();
}

} // namespace tw
