// Map dataset files: layout choice, quantisation, records, the 'Z' chain.
#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "dataset.h"
#include "mapfile.h"

namespace tdata {

namespace {

constexpr size_t file_limit = 65535;  // the program loads at most this much
constexpr int max_files = 35;         // continuation flags '2'..'9', 'a'..'z'

char flag_of(int k) { return static_cast<char>(k <= 9 ? '0' + k : 'a' + (k - 10)); }

using Stored = std::array<long, 2>;  // latitude, longitude in file units

struct Writer {
  std::vector<std::vector<uint8_t>> files{{}};
  void put16(long v) {
    files.back().push_back(static_cast<uint8_t>(v & 0xFF));
    files.back().push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
  }
  size_t room() const { return file_limit - 2 - files.back().size(); }  // 2 kept for 'Z' or 'X'
  void next_file() {
    if (static_cast<int>(files.size()) == max_files) throw std::runtime_error("map needs more than 35 files");
    files.back().push_back('Z');
    files.back().push_back(static_cast<uint8_t>(flag_of(static_cast<int>(files.size()) + 1)));
    files.emplace_back();
  }
  void record(char code, const Stored* p, size_t n);
};

void Writer::record(char code, const Stored* p, size_t n) {
  long box[4] = {p[0][0], p[0][0], p[0][1], p[0][1]};
  for (size_t i = 0; i < n; ++i) {
    box[0] = std::min(box[0], p[i][0]); box[1] = std::max(box[1], p[i][0]);
    box[2] = std::min(box[2], p[i][1]); box[3] = std::max(box[3], p[i][1]);
  }
  auto& f = files.back();
  f.push_back(static_cast<uint8_t>(code));
  f.push_back(n > 255 ? '2' : '1');
  if (n > 255) put16(static_cast<long>(n));
  else f.push_back(static_cast<uint8_t>(n));
  for (long b : box) put16(b);
  for (size_t i = 0; i < n; ++i) { put16(p[i][0]); put16(p[i][1]); }
}

// Most points a record can take in the room left (0 or 1: not worth it).
size_t fits(size_t room) {
  if (room < 12) return 0;
  const size_t wide = std::min<size_t>(65535, (room - 12) / 4);
  return wide > 255 ? wide : std::min<size_t>(255, (room - 11) / 4);
}

std::vector<Stored> quantise(const Polyline& l, const MapLayout& lay) {
  const double s = lay.fine ? 1000 : 100;
  const long lo = lay.fine ? 0 : -32768, hi = lay.fine ? 65535 : 32767;
  std::vector<Stored> v;
  for (const Point& p : l.pts) {
    const Stored q = {std::lround(p[1] * s), std::lround((p[0] - lay.base) * s)};
    if (q[0] < lo || q[0] > hi || q[1] < lo || q[1] > hi)
      throw std::runtime_error("a point does not fit the map's coordinate range");
    if (v.empty() || v.back() != q) v.push_back(q);
  }
  return v;
}

// Long polylines are cut where a record would overflow its file; the pieces
// share their end points so the line stays joined.
void write_line(Writer& w, char code, const std::vector<Stored>& pts) {
  size_t i = 0;
  while (i + 1 < pts.size()) {
    size_t k = fits(w.room());
    if (k < 2) { w.next_file(); continue; }
    const size_t m = std::min(k, pts.size() - i);
    w.record(code, &pts[i], m);
    i += m - 1;
  }
}

}  // namespace

MapLayout choose_layout(const std::vector<Polyline>& lines) {
  double lon0 = 1e9, lon1 = -1e9, lat0 = 1e9, lat1 = -1e9;
  for (const auto& l : lines)
    for (const Point& p : l.pts) {
      lon0 = std::min(lon0, p[0]); lon1 = std::max(lon1, p[0]);
      lat0 = std::min(lat0, p[1]); lat1 = std::max(lat1, p[1]);
    }
  MapLayout lay;
  const int base = static_cast<int>(std::floor(lon0));
  if (lat0 >= 0 && lat1 <= 65.535 && lon1 - base <= 65.535) lay = {true, base};
  return lay;
}

std::string map_part_name(const std::string& first, int k) {
  return k == 1 ? first : first + flag_of(k);
}

std::vector<std::vector<uint8_t>> encode_map(const std::vector<Polyline>& lines, const MapLayout& lay) {
  Writer w;
  w.files.back().push_back(lay.fine ? 'F' : 'N');
  w.put16(lay.base);
  for (const Polyline& l : lines) write_line(w, l.code, quantise(l, lay));
  w.files.back().push_back('X');
  w.files.back().push_back(0);
  return w.files;
}

namespace {

long get16(const std::vector<uint8_t>& b, size_t at, bool is_unsigned) {
  const unsigned v = b[at] | b[at + 1] << 8;
  return is_unsigned ? static_cast<long>(v) : static_cast<long>(static_cast<int16_t>(v));
}

// Reads the records of one file from offset at; returns the code that ended
// it ('X', 'Z' with its flag in flag, or 0 when the bytes ran out).
char read_records(const std::vector<uint8_t>& b, size_t at, const MapLayout& lay,
                  std::vector<Polyline>& out, char& flag) {
  const double s = lay.fine ? 1000 : 100;
  while (at + 2 <= b.size()) {
    const char code = static_cast<char>(b[at]);
    flag = static_cast<char>(b[at + 1]);
    if (code == 'X' || code == 'Z') return code;
    at += 2;
    size_t n = b[at];
    if (flag == '2') { n = static_cast<size_t>(get16(b, at, true)); ++at; }
    at += 1 + 8;
    if (at + 4 * n > b.size()) return 0;
    Polyline l{code, {}};
    for (size_t i = 0; i < n; ++i, at += 4)
      l.pts.push_back({get16(b, at + 2, lay.fine) / s + lay.base, get16(b, at, lay.fine) / s});
    out.push_back(l);
  }
  return 0;
}

}  // namespace

bool read_map(const std::string& dir, const std::string& first, MapLayout& lay,
              std::vector<Polyline>& lines, std::string& err) {
  std::string name = first;
  for (int k = 1; k <= max_files; ++k) {
    std::vector<uint8_t> b;
    if (!read_file(dir + "/" + name, b)) { err = "File '" + dir + "/" + name + "' does not exist!"; return false; }
    if (k == 1) {
      if (b.size() < 3) { err = name + ": no header"; return false; }
      lay = {b[0] == 'F', static_cast<int>(get16(b, 1, false))};
    }
    char flag = 0;
    const char end = read_records(b, k == 1 ? 3 : 0, lay, lines, flag);
    if (end == 'X') return true;
    if (end != 'Z') { err = name + ": ends without 'X' or 'Z'"; return false; }
    name = flag == '2' ? name + "2" : name.substr(0, name.size() - 1) + flag;
  }
  err = first + ": chain too long";
  return false;
}

}  // namespace tdata
