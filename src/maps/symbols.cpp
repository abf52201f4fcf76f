// Epicentre symbols: depth classes give shape and colour, magnitude classes
// give size.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "catalog/store.h"
#include "device/graph.h"
#include "maps/map.h"
#include "maps/symbols.h"
#include "shell/setup.h"

namespace tw {

void symbol_sizes()
{
	mp.rmg[0] = se.ro;
	for (int i = 1; i < 8; i++)
		mp.rmg[i] = mp.rmg[i - 1] * se.ru;
}

void eqparm(int i, double &lon, double &la, double &dep, double &mag, int j0)
{
	const unsigned char *seg = st.iseg[j0 + i / SEGREC];
	long off = (long)(i % SEGREC) * 16 + 4;
	const unsigned char *r = seg + off;
	lon = bin2deg(off + 7, seg);
	la = bin2deg(off + 10, seg);
	// Year code 255 keeps the year in the depth word.
	dep = r[0] == 255 ? 0 : (short)(r[13] | r[14] << 8) / 10.0;
	int m = r[15];
	if (m == 0)
		mag = -9999.0;
	else
		mag = (m & 127) / (m & 128 ? -10.0 : 10.0);
}

// Class tables may hold up to 7 and 8 classes whatever a setup file says.
static int clamp(int n, int hi) { return n < 0 ? 0 : n > hi ? hi : n; }

int depth_class(double dep)
{
	for (int k = clamp(se.ndp, 7) - 1; k >= 1; k--)
		if (dep >= se.cdp[k])
			return k;
	return 0;
}

int mag_class(double mag)
{
	for (int m = clamp(se.nmg, 8) - 1; m >= 1; m--)
		if (mag >= se.cmg[m])
			return m;
	return 0;
}

// Sizes come from typed numbers: keep them drawable (a factor of 9999
// over eight classes is no longer an int, a negative base no circle).
int symbol_size(int m)
{
	double r = mp.rmg[m];
	return r >= 0 && r < 400 ? (int)r : r >= 400 ? 400 : 0;
}

bool place_event(int i, Placed &e)
{
	eqparm(i, e.lon, e.lat, e.dep, e.mag, 0);
	if (mf.wrap == 1 && e.lon < mf.b2 - 360)
		e.lon += 360;
	// Strict: an event on the frame is not plotted.
	if (!(mf.b1 < e.lon && e.lon < mf.b2 && mf.a1 < e.lat && e.lat < mf.a2))
		return false;
	int k = depth_class(e.dep);
	e.colour = se.icd[k];
	e.size = symbol_size(mag_class(e.mag));
	e.x = (int)((e.lon - mf.b1) * mf.rrx);
	e.y = (int)((mf.c2 - lat(e.lat)) * mf.rry);
	return true;
}

int epicenters()
{
	int n = 0;
	Placed e;
	for (int i = 0; i < st.itot; i++) {
		if (!place_event(i, e))
			continue;
		_setcolor(e.colour);
		gsymbol(e.x, e.y, e.size, e.colour);
		n++;
	}
	return n;
}

char *jtoa(int value, char *buf, int width)
{
	int w = std::abs(width);
	if (w > 11)
		w = 11;
	std::snprintf(buf, 12, width < 0 ? "%0*d" : "%*d", w, value);
	return buf;
}

} // namespace tw
