// GeoJSON files through tarnwell-data's reader.
#include <sstream>
#include <stdexcept>

#include "tools_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	std::istringstream in(std::string(reinterpret_cast<const char *>(data), size));
	try {
		fz_tools::check(tdata::read_geojson(in, "fz"));
	} catch (const std::runtime_error &) {
		// Not a document at all, or nested too deep: refused as a whole.
	}
	return 0;
}
