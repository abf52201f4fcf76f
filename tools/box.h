// A longitude/latitude box in degrees (west may exceed east across 180).
#pragma once
#include <string>

namespace tdata {

struct Box {
  double west = -180, east = 180, south = -90, north = 90;
};

// "W/E/S/N"; throws on anything else.
Box parse_box(const std::string& s);

}  // namespace tdata
