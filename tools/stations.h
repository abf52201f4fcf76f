// Station files: 16-byte records (6 unused bytes, a 4-character code,
// longitude and latitude as record angles), ended by a record whose
// longitude degrees byte is 255.
#pragma once
#include <array>
#include <istream>
#include <optional>
#include <string>
#include <vector>

#include "box.h"
#include "readers.h"

namespace tdata {

struct Station {
  std::string code;
  double lat = 0, lon = 0;
};

// A CSV whose header (the first line naming station, latitude and
// longitude columns) may follow other lines. Rows without a code of 1 to 4
// characters or without coordinates are reported.
std::vector<Station> read_stations(std::istream& in, const std::string& file, std::vector<Problem>& problems);
std::vector<uint8_t> encode_stations(const std::vector<Station>& st);
std::vector<Station> decode_stations(const std::vector<uint8_t>& bytes);

}  // namespace tdata
