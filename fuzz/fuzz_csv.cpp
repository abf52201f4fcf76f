// Delimited catalogue tables through each preset of tarnwell-data.
//
// Input: 1 byte choosing the preset, then the file.
#include "tools_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	static constexpr const char *presets[] = {"comcat", "isc-gem", "ncedc", "jma", "noaa",
						  "ghec", "emca", "export", "fdsn"};
	if (size < 1)
		return 0;
	tdata::TableSpec layout;
	tdata::table_preset(presets[data[0] % std::size(presets)], layout);
	return fz_tools::read_checked(data + 1, size - 1,
				      [&](std::istream &in) { return tdata::read_table(in, "fz.csv", layout); });
}
