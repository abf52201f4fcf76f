// FIND (the events inside a circle) and SELECT (the events inside a
// quadrilateral become the selection), and the profile rectangle that
// CROSS-SECTION and SPACE-TIME pick.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "catalog/store.h"
#include "device/graph.h"
#include "device/screen.h"
#include "listing/table.h"
#include "maps/map.h"
#include "maps/mapsub.h"
#include "shell/panel.h"
#include "shell/setup.h"
#include "shell/templates.h"

namespace tw {

// [SECTION] FIND

static int radius(const Pick &p)
{
	double dx = p.xs[1] - p.xs[0], dy = p.ys[1] - p.ys[0];
	return (int)std::sqrt(dx * dx + dy * dy);
}

static void circle_figure(const Pick &p)
{
	if (p.n >= 2)
		gcircle(0, p.xs[0], p.ys[0], radius(p));
}

int map_find()
{
	Pick p{};
	const PickSpec how{2, {"to area center     ", "on circumference   "}, circle_figure, nullptr};
	int k = pick_loop(p, how);
	if (k != K_RETURN)
		return k;
	int r = radius(p), cx = p.xs[0], cy = p.ys[0];
	const int xs[2] = {cx - r, cx + r}, ys[2] = {cy + r, cy - r};
	map_sub_prep(xs, ys, 2);
	clear(0);
	_setcolor(4);
	gcircle(1, cx, cy, r);
	int n;
	map_retrv(n);
	if (n > 0)
		return table(1, n);
	set_em("No event was found.");
	return K_F8;
}

// [SECTION] SELECT

static void quad_figure(const Pick &p)
{
	for (int i = 1; i < p.n; i++) {
		gmoveto(p.xs[i - 1], p.ys[i - 1]);
		glineto(p.xs[i], p.ys[i]);
	}
	if (p.n == 4)
		glineto(p.xs[0], p.ys[0]);
}

static void put(char *slot, const char *s)
{
	std::strncpy(slot, s, 8);
	slot[8] = 0;
}

// The corners come from map_sub_prep; the depth and magnitude ranges are
// the last SELECT's, which the filter applied.
static int confirm_select()
{
	put(pn.mc_s[24], se.dp1_s);
	put(pn.mc_s[25], se.dp2_s);
	put(pn.mc_s[26], se.ynh_s);
	put(pn.mc_s[27], se.mg1_s);
	put(pn.mc_s[28], se.mg2_s);
	put(pn.mc_s[29], se.ynm_s);
	put(pn.mc_s[30], "Y");
	pn.isr = 30;
	return panel(PAN_MAPS2);
}

int map_select()
{
	Pick p{};
	const PickSpec how{4, {"to 1st area corner ", "to 2nd area corner ", "to 3rd area corner ",
				"to 4th area corner "}, quad_figure, nullptr};
	int k = pick_loop(p, how);
	if (k != K_RETURN)
		return k;
	map_sub_prep(p.xs, p.ys, 4);
	int r = confirm_select();
	if (r == 3)
		return K_F3;
	if (r != 0 || pn.mc_s[30][0] == 'N')
		return K_F6;
	clear(0);
	_setcolor(4);
	gfillpolygon(p.xs, p.ys, 4);
	map_retrv(st.itot);
	swap_segments((st.itot + SEGREC - 1) / SEGREC);
	// Nothing inside: the old events must not stay visible to a scan.
	if (st.itot == 0)
		put_marker(0, 0, M_END);
	set_em("Memory contents were replaced.");
	return K_F6;
}

// [SECTION] profile rectangle

static void profile_figure(const Pick &p)
{
	if (p.n >= 2) {
		gmoveto(p.xs[0], p.ys[0]);
		glineto(p.xs[1], p.ys[1]);
	}
	if (p.n == 4) {
		glineto(p.xs[2], p.ys[2]);
		glineto(p.xs[3], p.ys[3]);
		glineto(p.xs[0], p.ys[0]);
	}
}

static void keep_form(int i, int x, int y)
{
	DegMin d;
	ital(x, y, d);
	mp.lo[i] = d.lo, mp.lom[i] = d.lom, mp.la[i] = d.la, mp.lam[i] = d.lam;
	mp.low[i] = d.w, mp.las[i] = d.s;
}

// P2 and P3 are the feet of the perpendiculars from P1 and P0 on the line
// through the width point W parallel to the axis. Vertical and horizontal
// axes are flagged apart from the slope, so an oblique axis of slope -1 or
// -2 stays oblique.
static void profile_done(Pick &p)
{
	int x0 = p.xs[0], y0 = p.ys[0], x1 = p.xs[1], y1 = p.ys[1];
	int wx = p.xs[2], wy = p.ys[2];
	keep_form(0, x0, y0);
	keep_form(1, x1, y1);
	p.length = (int)delta(dm2deg(mp.lo[1], mp.lom[1], mp.low[1]),
			      dm2deg(mp.la[1], mp.lam[1], mp.las[1]));
	p.vertical = x1 == x0;
	p.horizontal = !p.vertical && y1 == y0;
	if (p.vertical) {
		p.slope = -1;
		p.xs[2] = wx, p.ys[2] = y1, p.xs[3] = wx, p.ys[3] = y0;
	} else if (p.horizontal) {
		p.slope = -2;
		p.xs[2] = x1, p.ys[2] = wy, p.xs[3] = x0, p.ys[3] = wy;
	} else {
		double m = (double)(y1 - y0) / (x1 - x0), c = wy - m * wx, d = m + 1 / m;
		double x2 = (y1 + x1 / m - c) / d, x3 = (y0 + x0 / m - c) / d;
		p.slope = m;
		p.xs[2] = (int)x2, p.ys[2] = (int)(m * x2 + c);
		p.xs[3] = (int)x3, p.ys[3] = (int)(m * x3 + c);
	}
	p.n = 4;
	keep_form(2, p.xs[2], p.ys[2]);
	keep_form(3, p.xs[3], p.ys[3]);
}

int project_area(Pick &p)
{
	const PickSpec how{3, {"to 1st axis end    ", "to 2nd axis end    ", "to width point     "},
			    profile_figure, profile_done};
	return pick_loop(p, how);
}

} // namespace tw
