// The region list "regions": a typed region name looked up line by line,
// the box words handed back for a form.
//
// Input: byte 0 (unused), then the typed name (at most the
// form's 10 characters), FZ_SEP, and the file's text.
#include <cstring>

#include "catalog/select.h"
#include "common.h"

using namespace tw;

// Each filled text fits its field with its terminator.
template <size_t N> static void fits(const char (&s)[N], size_t width)
{
	size_t n = strnlen(s, N);
	if (n == N || n > width)
		fz_fail("a box word overflows its field");
}

// Every word ends inside its slot, and each cut word fits a form field.
static void check(const RegionBox &b)
{
	static constexpr size_t width[8] = {3, 1, 3, 1, 2, 1, 2, 1};
	for (const auto &w : b.w)
		if (strnlen(w, sizeof w) == sizeof w)
			fz_fail("a box word runs over its slot");
	char f[12][9];
	put_box(b, {f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]}, {f[8], f[9], f[10], f[11]});
	for (int i = 0; i < 12; i++)
		fits(f[i], i < 8 ? width[i] : 2);
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
	RegionBox box;
	int r = dist(typed, box);
	if (r != 0 && r != 1)
		fz_fail("dist result out of range");
	if (r)
		check(box);
	return 0;
}
