// The SELECT filter and the scans that find passing records in a segment.
#include <cstring>

#include "catalog/select.h"
#include "catalog/store.h"

namespace tw {

using u64 = unsigned long long;
using u128 = unsigned __int128;

Bounds select_bounds()
{
	return {st.iyy1, st.iyy2, st.imd1, st.imd2, st.ihm1, st.ihm2, st.isc1, st.isc2,
		st.lo1, st.lo2, st.la1, st.la2, st.ih1, st.ih2, st.m1, st.m2, st.noh, st.nom};
}

// A record's time as one key: year, month x 256 + day, hour x 256 + minute
// and seconds x 10, 16 bits each, so tuples compare as numbers.
static inline u64 rec_time(const unsigned char *r)
{
	unsigned c = r[0];
	u64 y = c < 155 ? 1900 + c : c < 255 ? 1645 + c : (unsigned)(r[13] | r[14] << 8);
	return y << 48 | (u64)(r[1] << 8 | r[2]) << 32 | (u64)(r[3] << 8 | r[4]) << 16 |
	       (u64)(r[5] | r[6] << 8);
}

// A bound as the smallest (upper: largest) record key on its side. Record
// fields lie in 0..65535, so a bound field outside that range decides the
// comparison there. False when no record key lies on that side.
static bool bound_key(const long long (&v)[4], bool upper, u64 &key)
{
	u128 k = 0;
	for (int i = 0; i < 4; i++) {
		int sh = 48 - 16 * i;
		if (v[i] >= 0 && v[i] <= 65535) {
			k |= (u128)v[i] << sh;
			continue;
		}
		u128 unit = (u128)1 << (sh + 16);
		if (v[i] > 65535) // records with this prefix all lie below the bound
			k = upper ? k + unit - 1 : k + unit;
		else if (upper) // ... all above it (wraps round when k is 0)
			k = k - 1;
		break;
	}
	key = (u64)k;
	return k <= ~0ull;
}

Filter::Filter(const Bounds &bounds) : b(bounds)
{
	const long long lo[4] = {b.iyy1, b.imd1, b.ihm1, b.isc1};
	const long long hi[4] = {b.iyy2, b.imd2, b.ihm2, b.isc2};
	if (!bound_key(lo, false, t1) || !bound_key(hi, true, t2))
		t1 = ~0ull, t2 = 0;
}

// A key equal to a bound still hides seconds: they put the point past the
// east (north) bound, or west (south) of a negative west (south) bound.
static inline bool coord_ok(int k, int sec, int b1, int b2)
{
	if (k < b1 || k > b2)
		return false;
	return !sec || ((k != b2 || b2 <= 0) && (k != b1 || b1 >= 0));
}

static inline int coordkey(const unsigned char *p)
{
	int k = p[0] * 256 + (p[1] & 127);
	return p[1] & 128 ? -k : k;
}

bool Filter::passes(const unsigned char *rec) const
{
	if (int m = rec[15]) {
		m = m & 128 ? -(m & 127) : m;
		if (m < b.m1 || m > b.m2)
			return false;
	} else if (b.nom) {
		return false;
	}
	unsigned d = rec[13] | rec[14] << 8;
	if (rec[0] < 255 && d != 65535) {
		if (d < b.ih1 || d > b.ih2)
			return false;
	} else if (b.noh) {
		return false;
	}
	int k = coordkey(rec + 7);
	if (b.lo2 > b180 && k < b.lo1)
		k += b360;
	if (!coord_ok(k, rec[9], b.lo1, b.lo2) || !coord_ok(coordkey(rec + 10), rec[12], b.la1, b.la2))
		return false;
	u64 t = rec_time(rec);
	return t >= t1 && t <= t2;
}

// Slot 4095 is the marker slot: two bytes of it lie in the segment, so it
// can only end the scan. Bytes past len are stale, never data.
template <class Pass> static inline int scan(const unsigned char *seg, long len, int k, Pass pass)
{
	if (len > SEGSIZE)
		len = SEGSIZE;
	for (; k <= SEGREC; k++) {
		long off = 4 + RECLEN * (long)k;
		if (off + 2 > len)
			break;
		const unsigned char *rec = seg + off;
		if (rec[1] == 255)
			return rec_marker(rec);
		if (k == SEGREC || off + RECLEN > len)
			break;
		if (pass(rec))
			return k;
	}
	return M_END;
}

int next_pass(const Filter &f, const unsigned char *seg, long len, int k)
{
	return scan(seg, len, k, [&f](const unsigned char *rec) { return f.passes(rec); });
}

int seg_marker(const unsigned char *seg, long len)
{
	return scan(seg, len, 0, [](const unsigned char *) { return false; });
}

int retrv(const Filter &f, int k, int count, int src, int dst, long len)
{
	const unsigned char *seg = st.iseg[src];
	int r = next_pass(f, seg, len, k);
	if (r >= M_LOW)
		put_marker(dst, count, r);
	else
		put_event(dst, count, seg + 4 + RECLEN * (long)r);
	return r;
}

int retrv(int k, int count, int src, int dst, long len)
{
	return retrv(Filter(select_bounds()), k, count, src, dst, len);
}

} // namespace tw
