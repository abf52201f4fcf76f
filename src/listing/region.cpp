// Region names: a mesh of latitude bands mapping longitude boundaries to
// name numbers, and a file of fixed 24-character names. Both come from
// auxiliary files, so every read is checked against the loaded length.
#include <cstring>

#include "catalog/store.h"
#include "listing/listing.h"

namespace tw {

Listing ls;

void listing_reset() { ls = Listing{}; }

struct MeshSet {
	int maxrows; // rows searched before giving up
	int esize;   // bytes per entry
};
static constexpr MeshSet meshset[3] = {{0, 0}, {90, 2}, {180, 3}};

// Row key of the band holding the epicentre; false when the set has none.
static bool row_key(int kind, int slat, int slon, double lat, int &key)
{
	if (kind == RK_WORLD) {
		key = slat;
		return true;
	}
	if (slat < 28 || slat >= 46 || slon < 128 || slon >= 148)
		return false;
	key = (int)(lat * 1.5);
	return true;
}

// Offset of the row with this key, or -1.
static long find_row(const unsigned char *t, const MeshSet &m, int key)
{
	long off = 0;
	for (int r = 0; r < m.maxrows && off + 2 <= ls.mesl; r++) {
		if ((signed char)t[off] == key)
			return off;
		off += 2 + (long)t[off + 1] * m.esize;
	}
	return -1;
}

// Name number of the last boundary not east of slon; 0 for none.
static int row_name(const unsigned char *t, long off, const MeshSet &m, int slon)
{
	int count = t[off + 1], num = 0;
	if (off + 2 + (long)count * m.esize > ls.mesl)
		return 0; // a row cut short by the file's end names nothing
	off += 2;
	for (int e = 0; e < count; e++, off += m.esize) {
		int bound = m.esize == 2 ? t[off] : (short)(t[off] | t[off + 1] << 8);
		if (bound > slon)
			break;
		num = t[off + m.esize - 1];
	}
	return num;
}

static const char *copy_name(const unsigned char *t, int num)
{
	ls.region_str[0] = 0;
	long at = (long)(num - 1) * NAMELEN;
	if (num <= 0 || at + NAMELEN > ls.naml)
		return ls.region_str;
	for (int i = 0; i < NAMELEN; i++) {
		unsigned char c = t[NAME_OFF + at + i];
		// Control bytes would break the line layout of a listing.
		ls.region_str[i] = c < 32 || c == 127 ? ' ' : (char)c;
	}
	ls.region_str[NAMELEN] = 0;
	return ls.region_str;
}

const char *region(int kind, int lad, char ns, int lod, char ew, double lat,
		   const unsigned char *tables)
{
	ls.region_str[0] = 0;
	if ((kind != RK_JAPAN && kind != RK_WORLD) || !tables)
		return ls.region_str;
	const MeshSet &m = meshset[kind];
	int slat = ns == 'S' ? -lad - 1 : lad; // 0.5 S lies in band -1
	int slon = ew == 'W' ? -lod : lod;
	int key;
	if (!row_key(kind, slat, slon, lat, key))
		return ls.region_str;
	long off = find_row(tables, m, key);
	if (off < 0)
		return ls.region_str;
	return copy_name(tables, row_name(tables, off, m, slon));
}

} // namespace tw
