// Delimited catalogue tables through each preset of tarnwell-data.
//
// Input: 1 byte choosing the preset, then the file.
#include <sstream>
#include <stdexcept>

#include "tools_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	static constexpr const char *presets[] = {"comcat", "isc-gem", "ncedc", "jma",
						  "noaa", "ghec", "emca", "export"};
	if (size < 1)
		return 0;
	tdata::TableSpec layout;
	tdata::table_preset(presets[data[0] % 8], layout);
	std::istringstream in(std::string(reinterpret_cast<const char *>(data) + 1, size - 1));
	try {
		fz_tools::check(tdata::read_table(in, "fz.csv", layout));
	} catch (const std::runtime_error &) {
		// A header without the preset's columns: refused as a whole.
	}
	return 0;
}
