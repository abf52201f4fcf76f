// Region-name tables: the latitude-band mesh and the file of 24-character
// names, for the Japanese and the world sets, asked for many epicentres.
//
// Input: byte 0 the set (bit 0: Japan or world), bytes 1-4 one epicentre
// of the input's own, then the mesh file, FZ_SEP, and the name file.
#include "common.h"
#include "listing/listing.h"

using namespace tw;

static void ask(int kind, int lad, char ns, int lod, char ew, double lat)
{
	const char *s = region(kind, lad, ns, lod, ew, lat, st.iseg[workseg()]);
	size_t n = strnlen(s, NAMELEN + 1);
	if (n > (size_t)NAMELEN)
		fz_fail("a region name longer than its field");
	for (size_t i = 0; i < n; i++)
		if ((unsigned char)s[i] < 32 || s[i] == 127)
			fz_fail("a control byte in a region name");
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	if (size < 5)
		return 0;
	fz_fresh(2);
	static const std::vector<const char *> files[2] = {{"world.mes", "world.nam"}, {"japan.mes", "japan.nam"}};
	fz_files(data + 5, size - 5, files[data[0] & 1]);
	int kind = data[0] & 1 ? RK_JAPAN : RK_WORLD;
	if (load_tables(kind) != kind)
		fz_fail("load_tables lost the set");
	if (ls.mesl > MESH_MAX || ls.naml > 65535 - NAME_OFF)
		fz_fail("table lengths past the work segment");
	// The input's own epicentre, then a grid over the globe and Japan.
	ask(kind, data[1] % 91, data[2] & 1 ? 'S' : 'N', data[3] % 181, data[2] & 2 ? 'W' : 'E',
	    data[4] % 91 + data[1] / 256.0);
	for (int la = 0; la <= 90; la += 10)
		for (int lo = 0; lo <= 180; lo += 20)
			for (int h = 0; h < 4; h++)
				ask(kind, la, h & 1 ? 'S' : 'N', lo, h & 2 ? 'W' : 'E', la + 0.5);
	for (int la = 24; la <= 48; la++)
		for (int lo = 124; lo <= 149; lo += 2)
			ask(kind, la, 'N', lo, 'E', la + 0.3);
	return 0;
}
