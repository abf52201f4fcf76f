// Station files: 16-byte station records drawn over a map by the STATIONS
// subfunction, driven through its form as a user would.
//
// Input: byte 0 (bit 0: print the station codes), bytes 1-4 the map box,
// then the station file (written as "fz.s").
#include "common.h"
#include "device/screen.h"
#include "maps/map.h"
#include "recording.h"
#include "shell/setup.h"

using namespace tw;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	if (size < 5)
		return 0;
	fz_fresh(2);
	dpmg_init();
	symbol_sizes();
	std::snprintf(st.f2_s, sizeof st.f2_s, "FZ");
	fz_map_box(data + 1);
	fz_files(data + 5, size - 5, {"fz.s"});
	Recording &r = *static_cast<Recording *>(be);
	if (data[0] & 1)
		r.ch('\t'), r.ch('Y');
	r.ch('\r');
	r.key(KS_F1 + 2); // F3 leaves the picture
	r.key(KS_F1 + 2); // and the form, if it comes back
	try {
		int k = map_stations();
		if (k != K_F3 && k != K_F6)
			fz_fail("STATIONS left with an unexpected key");
	} catch (const Exited &) {
		fz_fail("STATIONS ran past its script");
	}
	return 0;
}
