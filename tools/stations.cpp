#include "stations.h"

#include <algorithm>
#include <cmath>

#include "record.h"

namespace tdata {

namespace {

// The three angle bytes of a record, by way of the event encoder.
void put_angle(double v, uint8_t* out) {
  Event e;
  e.year = 2000; e.month = 1; e.day = 1;
  e.lat = 0; e.lon = v;
  Record r;
  EncodeNotes n;
  encode(e, ZeroMag::tenth, r, n);
  std::copy(r.begin() + 7, r.begin() + 10, out);
}

double get_angle(const uint8_t* b) {
  const double v = b[0] + (b[1] & 0x7F) / 60.0 + b[2] / 3600.0;
  return b[1] & 0x80 ? -v : v;
}

long column(const std::vector<std::string>& header, const char* name) {
  auto it = std::find(header.begin(), header.end(), name);
  return it == header.end() ? -1 : it - header.begin();
}

}  // namespace

std::vector<Station> read_stations(std::istream& in, const std::string& file, std::vector<Problem>& problems) {
  std::vector<Station> out;
  std::string line;
  long c_code = -1, c_lat = -1, c_lon = -1;
  for (int no = 1; std::getline(in, line); ++no) {
    if (line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
    const auto f = split_fields(line, ',');
    if (c_code < 0) {
      c_code = column(f, "station");
      if (c_code < 0) c_code = column(f, "station_id");
      c_lat = column(f, "latitude");
      c_lon = column(f, "longitude");
      if (c_lat < 0 || c_lon < 0) c_code = -1;
      continue;
    }
    if (trim(line).empty()) continue;
    const long need = std::max({c_code, c_lat, c_lon});
    Station s;
    char* e1 = nullptr;
    char* e2 = nullptr;
    if (static_cast<long>(f.size()) > need) {
      s = {f[c_code], std::strtod(f[c_lat].c_str(), &e1), std::strtod(f[c_lon].c_str(), &e2)};
    }
    if (s.code.empty() || s.code.size() > 4) problems.push_back({file, no, "no station code of 1 to 4 characters"});
    else if (!e1 || *e1 || !e2 || *e2 || f[c_lat].empty() || f[c_lon].empty()) problems.push_back({file, no, "no coordinates"});
    else out.push_back(s);
  }
  return out;
}

std::vector<uint8_t> encode_stations(const std::vector<Station>& st) {
  std::vector<uint8_t> out;
  for (const Station& s : st) {
    uint8_t r[16];
    std::fill(r, r + 10, ' ');
    std::copy(s.code.begin(), s.code.begin() + static_cast<long>(std::min<size_t>(4, s.code.size())), r + 6);
    put_angle(s.lon, r + 10);
    put_angle(s.lat, r + 13);
    out.insert(out.end(), r, r + 16);
  }
  uint8_t end[16] = {};
  end[10] = 255;
  out.insert(out.end(), end, end + 16);
  return out;
}

std::vector<Station> decode_stations(const std::vector<uint8_t>& b) {
  std::vector<Station> out;
  for (size_t at = 0; at + 16 <= b.size(); at += 16) {
    if (std::fabs(get_angle(&b[at + 10])) > 254) break;
    std::string code(b.begin() + static_cast<long>(at) + 6, b.begin() + static_cast<long>(at) + 10);
    code.erase(code.find_last_not_of(' ') + 1);
    out.push_back({code, get_angle(&b[at + 13]), get_angle(&b[at + 10])});
  }
  return out;
}

}  // namespace tdata
