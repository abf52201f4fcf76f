// Map (".m") and fault (".f") datasets: the base map drawn polyline by
// polyline, across continuation files named by 'Z' records, on the screen
// or into a PostScript copy.
//
// Input: 8 bytes of settings, then up to four files separated by FZ_SEP
// (written as "fz.m", "fz.m2", "fz.m3", "fz.m4", or the same with ".f").
//   byte 0: bit 0 fault dataset, bit 1 a PostScript copy
//   bytes 1-4: the map box (west, east, south, north)
//   bytes 5-7: the fault colours of the codes 'F' to 'I'
#include "common.h"
#include "device/graph.h"
#include "device/spool.h"
#include "maps/map.h"

using namespace tw;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	if (size < 8)
		return 0;
	fz_fresh(2);
	int mode = data[0] & 1;
	mf.ynmap = 1;
	fz_map_box(data + 1);
	int colours[4] = {data[5] % 16, data[6] % 16, data[7] % 16, (data[5] + data[6]) % 16};
	static const std::vector<const char *> files[2] = {{"fz.m", "fz.m2", "fz.m3", "fz.m4"}, {"fz.f", "fz.f2", "fz.f3", "fz.f4"}};
	fz_files(data + 8, size - 8, files[mode]);
	if (data[0] & 2) {
		sp.fq = std::fopen("/dev/null", "w");
		gr.psflag = 1;
	}
	// The copy is closed by the next run's reset.
	int r = dmap("FZ", mode, colours);
	if (r != 0 && r != 1)
		fz_fail("dmap result out of range");
	return 0;
}
