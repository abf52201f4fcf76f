// Picking on the map: the crosshair loop with its prompts and hard-copy
// replay, pixels back to positions, the area bounding box and the raster
// test that keeps the events inside a painted figure.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "catalog/select.h"
#include "catalog/store.h"
#include "device/graph.h"
#include "device/menubar.h"
#include "device/screen.h"
#include "maps/map.h"
#include "maps/mapsub.h"
#include "shell/panel.h"
#include "shell/setup.h"

namespace tw {

// [SECTION] positions

static void form(double v, int &deg, short &min, bool &neg)
{
	neg = v < 0;
	deg = (int)v;
	min = (short)(std::fabs(v - deg) * 60);
	if (min > 59)
		min = 59;
}

// The linear inverse of the latitude table.
double unlat(double y)
{
	if (y < mp.yln[0])
		return -90;
	if (y >= mp.yln[180])
		return 90;
	int k = 0;
	while (k <= 180 && !(y < mp.yln[k]))
		k++;
	return (k - 1 - 90) + (y - mp.yln[k - 1]) / mp.dln[k - 1];
}

static double pixel_lon(double x) { return (x - mf.kx0) / mf.rrx + mf.b1; }
static double pixel_lat(double y) { return unlat(mf.c2 - (y - mf.ky0) / mf.rry); }

void ital(int x, int y, DegMin &d)
{
	double lon = pixel_lon(x);
	if (lon > 180)
		lon -= 360;
	int la;
	form(lon, d.lo, d.lom, d.w);
	form(pixel_lat(y), la, d.lam, d.s);
	d.la = (short)la;
}

double dm2deg(int deg, int min, bool neg)
{
	double v = std::abs(deg) + min / 60.0;
	return neg ? -v : v;
}

static int key(int deg, int min, bool neg)
{
	int k = std::abs(deg) * 256 + min;
	return neg ? -k : k;
}

// Bounding-box key of a longitude counted on from b1 (above 180 on maps
// across the 180th meridian).
static int lon_key(double lon)
{
	int d;
	short m;
	bool neg;
	form(lon, d, m, neg);
	return key(d, m, neg);
}

// [SECTION] area bounding box

static void put_num(char *slot, int v, int width)
{
	char b[12];
	std::memcpy(slot, jtoa(v, b, width), 8);
	slot[8] = 0;
}

static void put_form(int i, const DegMin &d)
{
	put_num(pn.mc_s[6 * i], std::abs(d.lo), -3);
	put_num(pn.mc_s[6 * i + 1], d.lom, -2);
	std::strcpy(pn.mc_s[6 * i + 2], d.w ? "W" : "E");
	put_num(pn.mc_s[6 * i + 3], std::abs(d.la), -2);
	put_num(pn.mc_s[6 * i + 4], d.lam, -2);
	std::strcpy(pn.mc_s[6 * i + 5], d.s ? "S" : "N");
}

static int clampi(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

static int lat_key(int y)
{
	DegMin d;
	ital(mf.kx0, y, d);
	return key(d.la, d.lam, d.s);
}

// The box keys follow the filter's convention: a west edge within -180..180
// and an east edge beyond 180 when the figure crosses the 180th meridian.
// Counting from b1 keeps that true on every map that wraps, also those whose
// box holds the 0 meridian. The box is two pixels and one minute wider than
// the figure: a painted pixel covers positions up to a pixel beside the one
// its corner names, and the filter drops an event in the edge minute when it
// has seconds. The box only spares pixel reads; the painted figure decides.
void map_sub_prep(const int *xs, const int *ys, int n)
{
	int x0 = 0, x1 = 0, y0 = 0, y1 = 0;
	for (int i = 0; i < n; i++) {
		DegMin d;
		ital(xs[i], ys[i], d);
		put_form(i, d);
		int x = clampi(xs[i], mf.kx0, mf.kx1), y = clampi(ys[i], mf.ky0, mf.ky1);
		if (i == 0 || x < x0)
			x0 = x;
		if (i == 0 || x > x1)
			x1 = x;
		if (i == 0 || y < y0)
			y0 = y;
		if (i == 0 || y > y1)
			y1 = y;
	}
	double w = pixel_lon(x0 - 2), e = pixel_lon(x1 + 2);
	if (w >= 180)
		w -= 360, e -= 360;
	st.lo1 = lon_key(w) - 1;
	st.lo2 = lon_key(e) + 1;
	st.la1 = (short)(lat_key(y1 + 2) - 1);
	st.la2 = (short)(lat_key(y0 - 2) + 1);
}

// [SECTION] raster area test

// Pixel of a found event, as it was plotted.
static bool painted(int count)
{
	const unsigned char *seg = st.iseg[base2() + count / SEGREC];
	long off = 4 + 16L * (count % SEGREC);
	double lon = bin2deg(off + 7, seg), la = bin2deg(off + 10, seg);
	if (mf.wrap == 1 && lon < mf.b2 - 360)
		lon += 360;
	int x = mf.kx0 + 1 + (int)((lon - mf.b1) * mf.rrx);
	int y = mf.ky0 + 1 + (int)((mf.c2 - lat(la)) * mf.rry);
	return _getpixel(x, y) != 0;
}

void map_retrv(int &count)
{
	count = 0;
	int dst = base2();
	_getimage();
	for (int seg = 0, k = 0; seg < dst;) {
		if (count >= st.nmax2) {
			seal_full(dst, count);
			return;
		}
		int r = retrv(k, count, seg, dst);
		if (r == M_END)
			return;
		if (r >= M_LOW) { // continued in the next segment
			seg++, k = 0;
			continue;
		}
		k = r + 1;
		if (painted(count))
			count++;
	}
	put_marker(dst, count, M_END);
}

// [SECTION] pick loop

void press_prompt(int mode, int line)
{
	gprint(63, line, mode == 1 ? "and press a button." : "Press Enter or     ", 4);
}

void draw_base()
{
	dmap(se.mps_s, 0, nullptr);
	epicenters();
	gviewport(0, 0, 639, 399);
}

static void take_point(Pick &p, const PickSpec &how)
{
	int i = p.n;
	int x = i ? p.xs[i - 1] + 3 : (mf.kx0 + mf.kx1) / 2;
	int y = i ? p.ys[i - 1] - 2 : (mf.ky0 + mf.ky1) / 2;
	if (i == 0)
		gprint(63, 21, "Move the cross     ", 4);
	gprint(63, 22, how.prompt[i], 4);
	if (i == 0)
		press_prompt(1, 23);
	gcursor(mf.kx0, mf.ky0, mf.kx1, mf.ky1, &x, &y, i == 0);
	p.xs[i] = x, p.ys[i] = y;
	p.n = i + 1;
	_setcolor(2);
	how.figure(p);
}

static void finish_prompt()
{
	press_prompt(2, 21);
	gprint(63, 22, "a function key     ", 4);
	gprint(63, 23, "on the toolbar.    ", 4);
}

// Returns Enter, F3, F6 or 0 (a hard copy could not be started).
int pick_loop(Pick &p, const PickSpec &how)
{
	clear(0);
	p.n = 0;
	bool replaying = false;
	for (;;) {
		draw_base();
		if (!replaying) {
			while (p.n < how.npick)
				take_point(p, how);
			if (how.done)
				how.done(p);
		}
		_setcolor(2);
		how.figure(p);
		finish_prompt();
		int k = fgkey(0, 0);
		if (k != K_F1)
			return k;
		replaying = true;
	}
}

} // namespace tw
