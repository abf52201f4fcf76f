// CROSS-SECTION (events along a profile against depth) and SPACE-TIME
// (events along a profile against time), with the great-circle distance
// and the projection onto the profile axis.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "catalog/store.h"
#include "chart/chart.h"
#include "device/graph.h"
#include "device/menubar.h"
#include "device/screen.h"
#include "maps/map.h"
#include "maps/mapsub.h"
#include "maps/symbols.h"
#include "shell/panel.h"
#include "shell/setup.h"
#include "shell/templates.h"

namespace tw {

// [SECTION] distances

static double rad(double deg) { return deg / 180 * 3.14159; }

// Great-circle distance from P0 on a sphere of 6369 km, through the chord.
double delta(double lon, double la)
{
	double lo0 = rad(dm2deg(mp.lo[0], mp.lom[0], mp.low[0]));
	double la0 = rad(dm2deg(mp.la[0], mp.lam[0], mp.las[0]));
	lon = rad(lon), la = rad(la);
	double u1 = std::cos(la0) * std::cos(lo0) - std::cos(la) * std::cos(lon);
	double u2 = std::cos(la0) * std::sin(lo0) - std::cos(la) * std::sin(lon);
	double u3 = std::sin(la0) - std::sin(la);
	double h = std::sqrt(u1 * u1 + u2 * u2 + u3 * u3) / 2;
	return 2 * 6369 * std::asin(h > 1 ? 1 : h);
}

// Distance from P0 of the foot of the perpendicular from the event's map
// pixel onto the axis.
double rtal(double lon, double la, const Pick &p)
{
	if (mf.wrap == 1 && lon < mf.b2 - 360)
		lon += 360;
	double x = (lon - mf.b1) * mf.rrx + mf.kx0, y = (mf.c2 - lat(la)) * mf.rry + mf.ky0;
	if (p.vertical) {
		x = p.xs[0];
	} else if (p.horizontal) {
		y = p.ys[0];
	} else {
		double m = p.slope, c0 = p.ys[0] - m * p.xs[0];
		x = (y + x / m - c0) / (m + 1 / m);
		y = m * x + c0;
	}
	return delta((x - mf.kx0) / mf.rrx + mf.b1, unlat(mf.c2 - (y - mf.ky0) / mf.rry));
}

void otparm(int i, int &year, int &month, int &day, int &hour, int &minute, int j0)
{
	const unsigned char *seg = st.iseg[j0 + i / SEGREC];
	long off = 4 + 16L * (i % SEGREC);
	year = fnyear(off, seg);
	month = seg[off + 1], day = seg[off + 2], hour = seg[off + 3], minute = seg[off + 4];
}

// [SECTION] shared steps

static void put(int field, const char *s)
{
	std::strncpy(pn.mc_s[field], s, 8);
	pn.mc_s[field][8] = 0;
}

static void put_length(int field)
{
	char b[12];
	put(field, jtoa(mp.pk.length, b, 4));
}

// The panel's answer as a subfunction result: 0 to go on.
static int panel_result(int number)
{
	int r = panel(number);
	return r == 3 ? K_F3 : r != 0 ? K_F6 : 0;
}

static void find_inside()
{
	clear(0);
	_setcolor(4);
	gfillpolygon(mp.pk.xs, mp.pk.ys, 4);
	map_retrv(mp.nfound);
	clear(0);
	_setbkcolor(0);
}

static void titles(const char *t1, const char *t2, const char *first, const char *second)
{
	gprint(63, 1, t1, 4);
	gprint(63, 2, t2, 4);
	gprint(63, 10, first, 2);
	gprint(63, 12, second, 2);
	legend2(mp.pk.length, mp.nfound);
	_setcolor(7);
}

// [SECTION] CROSS-SECTION

static void distance_scale(int lower, int upper, int step, double fx)
{
	char t[16];
	int ns = (upper - lower) / step;
	for (int i = 1; i <= ns; i++) {
		int x = (int)(i * step * fx) + 57;
		_setcolor(7);
		gmoveto(x, 30);
		glineto(x, 37);
		if (ns < 9 || i % 2 == 0) {
			itoa(i * step + lower, t, 10);
			gfprint(x - _gettextextent(t) / 2, 15, t, 7);
		}
	}
	_setcolor(3);
	for (int v : {mp.sx1, mp.sx2}) {
		int x = (int)((v - lower) * fx) + 57;
		gmoveto(x, 30);
		glineto(x, 37);
	}
}

static void section_events(int lower, double fx, int base, double factor, double low)
{
	int j0 = base2();
	for (int i = 0; i < mp.nfound; i++) {
		double lon, la, dep, mag;
		eqparm(i, lon, la, dep, mag, j0);
		double d = dep < 0 ? 0 : dep;
		if (d < mp.sy1 || d > mp.sy2)
			continue;
		double s = rtal(lon, la, mp.pk);
		if (s < mp.sx1 || s > mp.sx2)
			continue;
		int x = (int)((s - lower) * fx) + 57, y = base - (int)((d - low) * factor);
		_setcolor(se.icd[depth_class(dep)]);
		gcircle(0, x, y, symbol_size(mag_class(mag)));
	}
}

static void section_picture()
{
	gprint(27, 1, "Distance (km)", 2);
	vprint(8, "Depth ^kmv");
	titles("CROSS-", "SECTION", "leftmost", "rightmost");
	gbox(0, 40, 37, 490, 370);
	int base, lower, upper, step;
	double factor, low;
	bool depth_ok = vaxis(3, mp.sy1, mp.sy2, &base, &factor, &low);
	scale(mp.sx1, mp.sx2, &lower, &upper, &step);
	// A distance range that leaves no span has no scale to plot on.
	if (upper <= lower || step <= 0)
		return;
	double fx = 418.0 / (upper - lower);
	distance_scale(lower, upper, step, fx);
	if (depth_ok)
		section_events(lower, fx, base, factor, low);
}

int map_cross_section()
{
	mp.pk = Pick{}, mp.nfound = 0;
	int k = project_area(mp.pk);
	if (k != K_RETURN)
		return k;
	map_sub_prep(mp.pk.xs, mp.pk.ys, 4);
	put(18, "   0");
	put_length(19);
	put(20, "   0");
	put(21, " 300");
	pn.isr = 18;
	if (int r = panel_result(PAN_MAPS3))
		return r;
	mp.sx1 = std::atoi(pn.mc_s[18]), mp.sx2 = std::atoi(pn.mc_s[19]);
	mp.sy1 = std::atoi(pn.mc_s[20]), mp.sy2 = std::atoi(pn.mc_s[21]);
	find_inside();
	return replay(0, section_picture);
}

// [SECTION] SPACE-TIME

static int time_x(double t, int hour, int minute)
{
	double h = hour + minute / 60.0;
	if (mp.unit == 3)
		return (int)(((t - mp.ax.st0) * 24 + h - mp.ax.rt0) * mp.ax.ut) + 57;
	return (int)((t - mp.ax.st0 + h / 24) * mp.ax.ut) + 57;
}

static void space_time_events(double t1, double t2, int base, double factor, double low)
{
	int j0 = base2();
	for (int i = 0; i < mp.nfound; i++) {
		double lon, la, dep, mag;
		int y, mo, d, h, mi;
		eqparm(i, lon, la, dep, mag, j0);
		double s = rtal(lon, la, mp.pk);
		if (s < mp.sy1 || s > mp.sy2)
			continue;
		otparm(i, y, mo, d, h, mi, j0);
		double t = fncal(y, mo, d);
		if (t < t1 || t > t2)
			continue;
		if (mp.unit == 3 && ((t == t1 && h < mp.ax.kh1) || (t == t2 && h > mp.ax.kh2)))
			continue;
		int c = se.icd[depth_class(dep)];
		_setcolor(c);
		gsymbol(time_x(t, h, mi), base - (int)((s - low) * factor), symbol_size(mag_class(mag)), c);
	}
}

static void space_time_picture()
{
	vprint(8, "Distance ^kmv");
	titles("SPACE-", "TIME", "bottom", "top");
	gbox(0, 40, 0, 490, 348);
	int base;
	double factor, low;
	bool dist_ok = vaxis(1, mp.sy1, mp.sy2, &base, &factor, &low);
	double t1 = fncal(mp.ax.kyy1, mp.ax.km1, mp.ax.kd1), t2 = fncal(mp.ax.kyy2, mp.ax.km2, mp.ax.kd2);
	bool time_ok = taxis(1, mp.unit, t1, t2, mp.ax);
	if (dist_ok && time_ok)
		space_time_events(t1, t2, base, factor, low);
}

static void space_time_fields()
{
	const char *from[12] = {se.y1_s, se.m1_s, se.d1_s, se.h1_s, se.n1_s, se.s1_s,
				se.y2_s, se.m2_s, se.d2_s, se.h2_s, se.n2_s, se.s2_s};
	for (int i = 0; i < 12; i++)
		put(18 + i, from[i]);
	put(30, "Y");
	put(31, "   0");
	put_length(32);
	pn.isr = 18;
}

static void take_space_time()
{
	auto f = [](int i) { return std::atoi(pn.mc_s[i]); };
	mp.ax.kyy1 = f(18), mp.ax.km1 = f(19), mp.ax.kd1 = f(20), mp.ax.kh1 = f(21), mp.ax.kn1 = f(22);
	mp.ax.kyy2 = f(24), mp.ax.km2 = f(25), mp.ax.kd2 = f(26), mp.ax.kh2 = f(27), mp.ax.kn2 = f(28);
	static constexpr char units[] = "MDH"; // anything else: years
	const char *u = std::strchr(units, pn.mc_s[30][0]);
	mp.unit = pn.mc_s[30][0] && u ? (int)(u - units) + 1 : 0;
	mp.sy1 = f(31), mp.sy2 = f(32);
}

int map_space_time()
{
	mp.pk = Pick{}, mp.nfound = 0;
	int k = project_area(mp.pk);
	if (k != K_RETURN)
		return k;
	map_sub_prep(mp.pk.xs, mp.pk.ys, 4);
	space_time_fields();
	if (int r = panel_result(PAN_MAPS4))
		return r;
	take_space_time();
	find_inside();
	return replay(0, space_time_picture);
}

} // namespace tw
