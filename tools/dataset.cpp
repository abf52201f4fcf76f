#include "dataset.h"

#include <cctype>
#include <fstream>
#include <stdexcept>

namespace tdata {

std::string year_file_name(const std::string& source, int year) {
  if (year < 2000) return source + "-" + std::to_string(year - 1900) + ".B";
  if (year < 2010) return source + "00" + std::to_string(year - 2000) + ".B";
  return source + "0" + std::to_string(year - 2000) + ".B";
}

std::string part_name(const std::string& first, int part) {
  return part == 1 ? first : first + std::to_string(part);
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::vector<uint8_t> make_image(const std::vector<Record>& recs, uint8_t marker0,
                                uint8_t marker1, int part) {
  if (recs.size() > part_records) throw std::runtime_error("more than 4095 records in one file");
  std::vector<uint8_t> img;
  img.reserve(6 + 16 * recs.size());
  img.push_back(recs.size() & 0xFF);
  img.push_back(recs.size() >> 8);
  img.push_back(static_cast<uint8_t>(part));
  img.push_back(0);
  for (const Record& r : recs) img.insert(img.end(), r.begin(), r.end());
  img.push_back(marker0);
  img.push_back(marker1);
  return img;
}

std::vector<std::vector<uint8_t>> make_parts(const std::vector<Record>& recs) {
  const size_t n = recs.size();
  const size_t parts = n == 0 ? 1 : (n + part_records - 1) / part_records;
  if (parts > max_parts) throw std::runtime_error("too many records for one year");
  std::vector<std::vector<uint8_t>> out;
  for (size_t p = 0; p < parts; ++p) {
    const size_t a = p * part_records, b = std::min(n, a + part_records);
    std::vector<Record> slice(recs.begin() + a, recs.begin() + b);
    const int next = static_cast<int>(p) + 2;  // number of the part that follows
    uint8_t m0 = 0xFF;                          // FF FF: the end
    if (p + 1 < parts) m0 = next == 2 ? 0xFE : static_cast<uint8_t>(256 - next);
    out.push_back(make_image(slice, m0, 0xFF, static_cast<int>(p) + 1));
  }
  return out;
}

void write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!f) throw std::runtime_error("cannot write " + path);
}

bool read_file(const std::string& path, std::vector<uint8_t>& bytes) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  bytes.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  return true;
}

std::vector<std::string> write_parts(const std::string& dir, const std::string& first,
                                     const std::vector<Record>& recs) {
  std::vector<std::string> names;
  const auto parts = make_parts(recs);
  for (size_t p = 0; p < parts.size(); ++p) {
    names.push_back(lower(part_name(first, static_cast<int>(p) + 1)));
    write_file(dir + "/" + names.back(), parts[p]);
  }
  return names;
}

namespace {

// Reads the records of one image up to its marker; returns the marker value
// (65280-65535) or 0 when the image ends without one.
unsigned scan_image(const std::vector<uint8_t>& img, std::vector<Record>& out) {
  for (size_t at = 4; at + 2 <= img.size() && at < 65535; at += 16) {
    if (img[at + 1] == 0xFF) return 0xFF00u | img[at];
    if (at + 16 > img.size()) return 0;
    Record r;
    std::copy(img.begin() + at, img.begin() + at + 16, r.begin());
    out.push_back(r);
  }
  return 0;
}

}  // namespace

bool read_chain(const std::string& dir, const std::string& first, std::vector<Record>& out,
                std::string& err, bool stop_after_first) {
  std::string name = first;
  for (int guard = 0; guard < max_parts; ++guard) {
    std::vector<uint8_t> img;
    const std::string path = dir + "/" + lower(name);
    if (!read_file(path, img)) {
      err = "File '" + path + "' does not exist!";
      return false;
    }
    const unsigned m = scan_image(img, out);
    if (m == 0) {
      err = path + ": no end marker";
      return false;
    }
    if (m == 0xFFFF || stop_after_first) return true;
    name = m == 0xFFFE ? first + "2" : part_name(first, static_cast<int>(65536 - m));
  }
  err = first + ": chain longer than 256 parts";
  return false;
}

}  // namespace tdata
