// The SELECT filter and the scan that copies passing records into a half.
#include <cstring>

#include "catalog/select.h"
#include "catalog/store.h"

namespace tw {

// Time tuples compare element by element, so each element is checked only
// when all before it are equal to the bound.
static int cmp_time(const unsigned char *rec, unsigned y, int md, int hm, int sc)
{
	unsigned ry = (unsigned)fnyear(0, rec);
	if (ry != y)
		return ry < y ? -1 : 1;
	int v[3] = {rec[1] * 256 + rec[2], rec[3] * 256 + rec[4], qeek(5, rec)};
	int b[3] = {md, hm, sc};
	for (int i = 0; i < 3; i++)
		if (v[i] != b[i])
			return v[i] < b[i] ? -1 : 1;
	return 0;
}

static bool time_ok(const unsigned char *rec)
{
	return cmp_time(rec, st.iyy1, st.imd1, st.ihm1, st.isc1) >= 0
	    && cmp_time(rec, st.iyy2, st.imd2, st.ihm2, st.isc2) <= 0;
}

// A key equal to a bound still hides seconds: they put the point past the
// east (north) bound, or west (south) of a negative west (south) bound.
static bool coord_ok(int k, int sec, int b1, int b2)
{
	if (k < b1 || k > b2)
		return false;
	if (sec && k == b2 && b2 > 0)
		return false;
	if (sec && k == b1 && b1 < 0)
		return false;
	return true;
}

static bool place_ok(const unsigned char *rec)
{
	int k = coordkey(7, rec);
	if (st.lo2 > b180 && k < st.lo1)
		k += b360;
	return coord_ok(k, rec[9], st.lo1, st.lo2)
	    && coord_ok(coordkey(10, rec), rec[12], st.la1, st.la2);
}

static bool depth_ok(const unsigned char *rec)
{
	unsigned d = (unsigned)qeek(13, rec);
	if (rec[0] < 255 && d != 65535)
		return d >= st.ih1 && d <= st.ih2;
	return !st.noh;
}

static bool mag_ok(const unsigned char *rec)
{
	int b = rec[15];
	if (!b)
		return !st.nom;
	int m = b & 128 ? -(b & 127) : b & 127;
	return m >= st.m1 && m <= st.m2;
}

bool passes(const unsigned char *rec)
{
	return time_ok(rec) && place_ok(rec) && depth_ok(rec) && mag_ok(rec);
}

// Slot 4095 is the marker slot: two bytes of it lie in the segment, so it
// can only end the scan. Bytes past len are stale, never data.
int retrv(int k, int count, int src, int dst, long len)
{
	const unsigned char *seg = st.iseg[src];
	if (len > SEGSIZE)
		len = SEGSIZE;
	for (; k <= SEGREC; k++) {
		long off = 4 + RECLEN * (long)k;
		if (off + 2 > len)
			break;
		const unsigned char *rec = seg + off;
		if (rec[1] == 255) {
			int m = rec_marker(rec);
			put_marker(dst, count, m);
			return m;
		}
		if (k == SEGREC || off + RECLEN > len)
			break;
		if (passes(rec)) {
			put_event(dst, count, rec);
			return k;
		}
	}
	put_marker(dst, count, M_END);
	return M_END;
}

} // namespace tw
