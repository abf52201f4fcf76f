// map and stations on the command line.
#include <fstream>
#include <iostream>
#include <set>
#include <stdexcept>

#include "commands.h"
#include "dataset.h"
#include "mapfile.h"
#include "stations.h"

namespace tdata {

namespace {

std::ifstream open_text(const std::string& path) {
  std::ifstream f(path);
  if (!f) throw std::runtime_error("cannot open " + path);
  return f;
}

// CODE:FORMAT:PATH -> polylines of that layer.
std::vector<Polyline> read_layer(const std::string& arg, int& skipped) {
  if (arg.size() < 4 || arg[1] != ':') throw std::runtime_error("layers are CODE:FORMAT:PATH, not " + arg);
  const size_t colon = arg.find(':', 2);
  if (colon == std::string::npos) throw std::runtime_error("layers are CODE:FORMAT:PATH, not " + arg);
  const std::string format = arg.substr(2, colon - 2), path = arg.substr(colon + 1);
  auto f = open_text(path);
  if (format == "geojson") return read_geojson_lines(f, arg[0], skipped);
  if (format == "gmt") return read_gmt_lines(f, arg[0]);
  throw std::runtime_error("unknown map format " + format);
}

MapLayout layout_for(const Args& a, const std::vector<Polyline>& lines) {
  const std::string res = a.value("--resolution", "auto");
  if (res == "normal") return {false, 0};
  MapLayout lay = choose_layout(lines);
  if (res == "fine" && !lay.fine) throw std::runtime_error("the lines do not fit a fine map");
  return lay;
}

}  // namespace

int cmd_map(const Args& a) {
  const std::string out = a.value("--out");
  if (out.empty()) throw std::runtime_error("map needs --out");
  std::vector<Polyline> lines;
  int skipped = 0;
  for (const std::string& layer : a.positional({})) {
    auto part = read_layer(layer, skipped);
    lines.insert(lines.end(), part.begin(), part.end());
  }
  if (!a.value("--clip").empty()) lines = clip_lines(lines, parse_box(a.value("--clip")));
  const MapLayout lay = layout_for(a, lines);
  const auto files = encode_map(lines, lay);
  const size_t slash = out.find_last_of('/');
  const std::string dir = slash == std::string::npos ? "." : out.substr(0, slash);
  const std::string first = lower(out.substr(slash + 1));
  size_t points = 0, bytes = 0;
  for (const auto& l : lines) points += l.pts.size();
  for (size_t k = 0; k < files.size(); ++k) {
    write_file(dir + "/" + map_part_name(first, static_cast<int>(k) + 1), files[k]);
    bytes += files[k].size();
  }
  std::map<char, int> codes;
  for (const auto& l : lines) ++codes[l.code];
  std::cout << first << ": " << (lay.fine ? "fine" : "normal") << ", base " << lay.base << ", "
            << lines.size() << " polylines, " << points << " points before quantising, "
            << files.size() << " files, " << bytes << " bytes";
  for (auto [c, n] : codes) std::cout << ", " << c << " " << n;
  std::cout << (skipped ? ", " + std::to_string(skipped) + " features without geometry" : "") << "\n";
  return 0;
}

int cmd_stations(const Args& a) {
  const std::string out = a.value("--out");
  if (out.empty()) throw std::runtime_error("stations needs --out");
  std::vector<Station> all;
  std::vector<Problem> problems;
  std::set<std::string> seen;
  for (const std::string& path : a.positional({})) {
    auto f = open_text(path);
    for (const Station& s : read_stations(f, path, problems)) {
      if (seen.insert(s.code).second) all.push_back(s);
      else std::cout << path << ": station " << s.code << " listed before, left out\n";
    }
  }
  for (const Problem& p : problems) std::cout << p.file << ":" << p.line << ": " << p.what << "\n";
  write_file(out, encode_stations(all));
  std::cout << all.size() << " stations, " << problems.size() << " rows not readable\n";
  return 0;
}

}  // namespace tdata
