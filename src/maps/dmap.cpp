// The frame and the base map: map (".m") and fault (".f") datasets streamed
// polyline by polyline from the loaded bytes.
#include <cstdio>
#include <cstring>

#include "catalog/store.h"
#include "device/graph.h"
#include "device/ps.h"
#include "device/screen.h"
#include "maps/map.h"

namespace tw {

// A chain of 'Z' records may loop (a.m3 -> a.m4 -> a.m3): no real dataset
// needs this many parts.
constexpr int MAXPARTS = 64;

namespace {

// The loaded bytes of the current file and the read position in them.
struct Bytes {
	const unsigned char *p;
	long n, pos;
	bool has(long k) const { return pos + k <= n; }
	int u8() { return p[pos++]; }
	int u16()
	{
		int v = p[pos] | p[pos + 1] << 8;
		pos += 2;
		return v;
	}
	int s16() { return (short)u16(); }
};

// Scale and window of the base map in the dataset's stored units.
struct Window {
	int s;         // units per degree
	long xlo, xhi; // west edge; east edge relative to xlo
	long ylo, yhi; // south and north edge
	long t;        // a full turn
	double fx;     // pixels per stored longitude unit
	double y0;     // viewport y of projected latitude 0
	int wi;        // inner frame width
	bool fine;     // unsigned coordinates
	const int *colours; // fault colours of 'F' to 'I'; none on a base map
};

void dataset_name(const char *name, int mode, char *out, int cap)
{
	const char *n = name;
	if (!n || !*n) {
		if (mf.b1 >= 90 && mf.b2 <= 180 && mf.a1 >= 0 && mf.a2 <= 90)
			n = "NWPAC";
		else if (mf.rrx < 4.0)
			n = "EARTH";
		else
			n = "WORLD";
	}
	std::snprintf(out, cap, "%s%s", n, mode ? ".f" : ".m");
	strlwr(out);
}

long load(const char *name, Bytes &b)
{
	if (st.nseg < 1)
		return 0;
	unsigned char *work = st.iseg[workseg()];
	long n = rbload(work, 0, name);
	b = Bytes{work, n, 0};
	return n;
}

// 'Z' flag '2' appends ("japan.f" -> "japan.f2"); any other flag replaces
// the last character ("japan.f2" -> "japan.f3").
void next_name(char *name, int cap, int flag)
{
	int len = (int)std::strlen(name);
	if (flag == '2' && len + 1 < cap) {
		name[len] = '2';
		name[len + 1] = 0;
	} else if (flag != '2' && len > 0) {
		name[len - 1] = (char)flag;
	}
}

void frame()
{
	_setcolor(7);
	_setbkcolor(0);
	gbox(0, mf.kx0, mf.ky0, mf.kx1, mf.ky1);
	gviewport(mf.kx0 + 1, mf.ky0 + 1, mf.kx1 - 1, mf.ky1 - 1);
}

Window window(int res, int l0, const int *colours)
{
	Window w;
	w.fine = res == 'F';
	w.s = w.fine ? 1000 : 100;
	w.xlo = (long)((mf.b1 - l0) * w.s);
	w.xhi = (long)((mf.b2 - l0) * w.s) - w.xlo;
	w.ylo = (long)(mf.a1 * w.s);
	w.yhi = (long)(mf.a2 * w.s);
	w.fx = mf.rrx / w.s;
	w.t = 360L * w.s;
	w.y0 = (int)(mf.c2 * mf.rry);
	w.wi = mf.kx1 - mf.kx0 - 2;
	w.colours = colours;
	return w;
}

void set_pen(int code, const Window &w)
{
	pspen(-1, 0);
	if (code == 'B') {
		_setcolor(1);
		pspen(-1, 1);
	} else if (code >= 'F' && code <= 'I' && w.colours) {
		_setcolor(w.colours[code - 'F']);
	} else {
		// Base maps carry no activeness colours: a fault code met in a ".m"
		// file is drawn like the coastline.
		_setcolor(3);
	}
}

bool outside(long latmin, long latmax, long lonmin, long lonmax, const Window &w)
{
	lonmin -= w.xlo;
	lonmax -= w.xlo;
	if (mf.wrap) {
		if (lonmin < 0)
			lonmin += w.t;
		if (lonmax < 0)
			lonmax += w.t;
	}
	if (lonmin > lonmax) {
		long t = lonmin;
		lonmin = lonmax;
		lonmax = t;
	}
	return latmin > w.yhi || latmax < w.ylo || lonmin > w.xhi || lonmax < 0;
}

// Previous point of a polyline, for the split across the frame's sides.
struct Prev {
	long x;
	double y;
	int px;
};

// A line that leaves one side of a full-turn map comes back in at the
// other: draw it to the side it left, and on from the side it enters.
void seam_line(const Prev &pv, long x, double y, const Window &w)
{
	long e1 = pv.px < 10 ? 0 : w.xhi, e2 = pv.px < 10 ? w.xhi : 0;
	double ye = y;
	if (x != pv.x)
		ye = (double)(e1 - pv.x) * (y - pv.y) / (double)(x - pv.x) + pv.y;
	int py = (int)(w.y0 - ye * mf.rry);
	glineto((int)(e1 * w.fx), py);
	gmoveto((int)(e2 * w.fx), py);
}

// Every point after the first is a line, even onto the pixel the pen is
// on: a PostScript copy holds the dataset's lines one for one.
void polyline(Bytes &b, long n, const Window &w)
{
	Prev pv{};
	for (long i = 0; i < n && b.has(4); i++) {
		long la = w.fine ? b.u16() : b.s16();
		long lo = w.fine ? b.u16() : b.s16();
		long x = lo - w.xlo;
		if (mf.wrap && x < 0)
			x += w.t;
		double y = lat((double)la / w.s);
		int px = (int)(x * w.fx), py = (int)(w.y0 - y * mf.rry);
		if (i == 0) {
			gmoveto(px, py);
		} else if (mf.wrap && ((pv.px < 10 && px > w.wi - 10) || (pv.px > w.wi - 10 && px < 10))) {
			// Only a map with a seam has lines to join: elsewhere a line
			// across the whole frame (a zoomed map) is drawn as it is.
			seam_line(pv, x, y, w);
			glineto(px, py);
		} else {
			glineto(px, py);
		}
		pv = Prev{x, y, px};
	}
}

// One record after its code and flag: false at the end of the bytes.
bool record(Bytes &b, int code, int flag, const Window &w)
{
	if (!b.has(flag == '2' ? 10 : 9))
		return false;
	long n = flag == '2' ? b.u16() : b.u8();
	long box[4];
	for (long &v : box)
		v = w.fine ? b.u16() : b.s16();
	if (outside(box[0], box[1], box[2], box[3], w)) {
		b.pos += 4 * n;
		return b.pos <= b.n;
	}
	set_pen(code, w);
	polyline(b, n, w);
	return b.has(0);
}

// The records of the dataset, across its continuation files: 1 at the end
// (an 'X' record or the end of the loaded bytes), 0 when a part is missing.
int records(Bytes &b, char *name, int cap, const Window &w)
{
	for (int parts = 1;;) {
		if (!b.has(2))
			return 1;
		int code = b.u8(), flag = b.u8();
		if (code == 'X')
			return 1;
		if (code == 'Z') {
			if (++parts > MAXPARTS)
				return 1;
			next_name(name, cap, flag);
			if (!load(name, b))
				return 0;
			continue;
		}
		if (!record(b, code, flag, w))
			return 1;
	}
}

} // namespace

int dmap(const char *name, int mode, const int *colours)
{
	char fname[65];
	dataset_name(name, mode, fname, sizeof fname);
	frame();
	if (mode == 0 && mf.ynmap == 0)
		return 1;
	pspen(1, -1);
	Bytes b;
	if (!load(fname, b))
		return 0;
	if (!b.has(3)) {
		pspen(2, 0);
		return 1;
	}
	int res = b.u8(), l0 = b.s16();
	Window w = window(res, l0, mode ? colours : nullptr);
	int r = records(b, fname, sizeof fname, w);
	if (r)
		pspen(2, 0);
	return r;
}

} // namespace tw
