// The region list "regions": a typed region name looked up line by line,
// the box words handed back for a form.
//
// Input: byte 0 (unused), then the typed name (at most the form's 10
// characters), FZ_SEP, and the file's text.
#include "catalog/select.h"
#include "common.h"

using namespace tw;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	if (size < 1)
		return 0;
	fz_fresh(2);
	auto parts = fz_files(data + 1, size - 1, {nullptr, "regions"});
	char typed[11];
	std::snprintf(typed, sizeof typed, "%s", parts[0].c_str());
	RegionBox box;
	int r = dist(typed, box);
	if (r != 0 && r != 1)
		fz_fail("dist result out of range");
	if (!r)
		return 0;
	// Every word ends inside its slot, and each cut word fits its form
	// field with its terminator.
	static constexpr size_t width[12] = {3, 1, 3, 1, 2, 1, 2, 1, 2, 2, 2, 2};
	for (const auto &w : box.w)
		if (strnlen(w, sizeof w) == sizeof w)
			fz_fail("a box word runs over its slot");
	char f[12][9];
	put_box(box, {f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]}, {f[8], f[9], f[10], f[11]});
	for (int i = 0; i < 12; i++)
		if (strnlen(f[i], sizeof f[i]) > width[i])
			fz_fail("a box word overflows its field");
	return 0;
}
