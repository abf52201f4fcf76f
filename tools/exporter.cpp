#include "exporter.h"

#include <cstdio>
#include <filesystem>

#include "dataset.h"

namespace tdata {

void write_csv(std::ostream& out, const std::vector<Record>& recs) {
  out << "year,month,day,hour,minute,second,lat,lon,depth,mag\n";
  char buf[160];
  for (const Record& r : recs) {
    const Event e = decode(r);
    int n = std::snprintf(buf, sizeof buf, "%d,%d,%d,%d,%d,%.1f,%.6f,%.6f,", e.year, e.month, e.day,
                          e.hour, e.minute, e.second, e.lat, e.lon);
    if (e.depth) n += std::snprintf(buf + n, sizeof buf - n, "%.1f", *e.depth);
    buf[n++] = ',';
    if (e.mag) n += std::snprintf(buf + n, sizeof buf - n, "%.1f", *e.mag);
    buf[n++] = '\n';
    out.write(buf, n);
  }
}

bool export_source(const std::string& dir, const std::string& source, int from, int to,
                   std::ostream& out, std::string& err) {
  std::vector<Record> all;
  for (int y = std::max(from, 1900); y <= std::min(to, 2099); ++y) {
    const std::string name = year_file_name(source, y);
    if (!std::filesystem::exists(dir + "/" + lower(name))) continue;
    if (!read_chain(dir, name, all, err)) return false;
  }
  write_csv(out, all);
  return true;
}

bool export_file(const std::string& dir, const std::string& name, std::ostream& out, std::string& err) {
  std::vector<Record> all;
  if (!read_chain(dir, name, all, err)) return false;
  write_csv(out, all);
  return true;
}

}  // namespace tdata
