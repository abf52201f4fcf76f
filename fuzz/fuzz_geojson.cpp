// GeoJSON files through tarnwell-data's reader.
#include "tools_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	return fz_tools::read_checked(data, size, [](std::istream &in) { return tdata::read_geojson(in, "fz"); });
}
