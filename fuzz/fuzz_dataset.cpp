// Dataset files: a first part and its continuation parts, read by SELECT's
// scan into the primary half through the filter.
//
// Input: 4 bytes of settings, then up to four parts separated by FZ_SEP
// (written as "fz.b", "fz.b2", "fz.b3", "fz.b4").
//   byte 0: bits 0-1 the parts allowed (1, 2, 256), bits 2-3 the segments
//   byte 1: below 128 an empty store, else that many slots minus 127 left
//   bytes 2-3: filter bounds (bit 0 of byte 2 clear: everything passes)
#include <climits>

#include "catalog/select.h"
#include "common.h"

using namespace tw;

// Everything passes, or a narrower window, wrapping round 180 degrees for
// some inputs.
static void bounds(int b, int c)
{
	st.iyy1 = 0, st.iyy2 = UINT_MAX, st.ih1 = 0, st.ih2 = UINT_MAX, st.m1 = -200, st.m2 = 200;
	st.imd1 = st.ihm1 = st.isc1 = INT_MIN, st.imd2 = st.ihm2 = st.isc2 = INT_MAX;
	st.lo1 = -b180, st.lo2 = b180, st.la1 = -90 * 256, st.la2 = 90 * 256;
	if (!(b & 1))
		return;
	st.iyy1 = 1960 + (c & 31), st.iyy2 = st.iyy1 + (c >> 5), st.noh = b & 2, st.nom = b & 4;
	st.lo1 = ((b >> 3) * 12 - 180) * 256, st.lo2 = st.lo1 + (c + 1) * 256;
	st.lo2 -= st.lo2 > b180 ? b360 : 0; // east of the date line: wrapped
	st.lo2 += st.lo1 >= st.lo2 ? b360 : 0;
	st.la1 = (short)(((c & 15) * 10 - 90) * 256), st.la2 = (short)(st.la1 + 40 * 256);
	st.ih1 = (unsigned)(c * 4), st.ih2 = st.ih1 + 3000, st.m1 = (b >> 4) - 4, st.m2 = st.m1 + 60;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	if (size < 4)
		return 0;
	static constexpr int maxparts[4] = {1, 2, 256, 256}, segs[4] = {2, 3, 8, 8};
	fz_fresh(segs[data[0] >> 2 & 3]);
	bounds(data[2], data[3]);
	int from = st.itot = data[1] < 128 ? 0 : st.nmax - (data[1] - 127);
	put_marker(0, from, M_END);
	fz_files(data + 4, size - 4, {"fz.b", "fz.b2", "fz.b3", "fz.b4"});
	int r = scan_file("FZ.B", maxparts[data[0] & 3]);
	if (r < 0 || r > 2 || (r == 2) != (st.itot == st.nmax))
		fz_fail("scan_file result out of range, or store full reported wrongly");
	fz_check_store(from, st.itot, true);
	Filter f(select_bounds());
	for (int i = from; i < st.itot; i++)
		if (!f.passes(event(i)))
			fz_fail("a selected record the filter refuses");
	if (r == 0 && !std::strstr(pn.em_s, "does not exist"))
		fz_fail("a missing part without its message");
	return 0;
}
