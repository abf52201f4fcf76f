// The region list "regions": a typed region name looked up line by line,
// the box words copied into the SELECT or the MAP form.
//
// Input: byte 0 chooses the form (bit 0), then the typed name (at most the
// form's 10 characters), FZ_SEP, and the file's text.
#include <cstring>

#include "catalog/select.h"
#include "common.h"
#include "maps/map.h"
#include "shell/setup.h"

using namespace tw;

// Each filled text fits its field with its terminator.
template <size_t N> static void fits(const char (&s)[N], size_t width)
{
	size_t n = strnlen(s, N);
	if (n == N || n > width)
		fz_fail("a box word overflows its field");
}

static void check(int which)
{
	if (which == 0) {
		fits(se.so1_s, 3), fits(se.sew1_s, 1), fits(se.so2_s, 3), fits(se.sew2_s, 1);
		fits(se.sa1_s, 2), fits(se.sns1_s, 1), fits(se.sa2_s, 2), fits(se.sns2_s, 1);
		fits(se.som1_s, 2), fits(se.sam2_s, 2);
	} else {
		fits(mp.to1_s, 3), fits(mp.tew1_s, 1), fits(mp.to2_s, 3), fits(mp.tew2_s, 1);
		fits(mp.ta1_s, 2), fits(mp.tns1_s, 1), fits(mp.ta2_s, 2), fits(mp.tns2_s, 1);
		fits(mp.tom1_s, 2), fits(mp.tam2_s, 2);
	}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	if (size < 1)
		return 0;
	fz_fresh(2);
	auto parts = fz_split(data + 1, size - 1, 2);
	char typed[11];
	std::snprintf(typed, sizeof typed, "%s", parts[0].c_str());
	if (parts.size() > 1)
		fz_write("regions", parts[1]);
	else
		fz_remove("regions");
	int which = data[0] & 1;
	int r = dist(typed, which);
	if (r != 0 && r != 1)
		fz_fail("dist result out of range");
	if (r)
		check(which);
	return 0;
}
