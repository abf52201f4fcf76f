// Japanese region tables from prefecture polygons: each cell of 40 minutes
// by 1 degree is named after the prefecture covering most of it, and a cell
// that is mostly sea is "OFF" the prefecture with most land in it, or else
// the nearest one.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "regions.h"

namespace tdata {

namespace {

using nlohmann::json;

struct Ring {
  std::vector<std::array<double, 2>> pts;
  double w = 1e9, e = -1e9, s = 1e9, n = -1e9;
};

struct Prefecture {
  std::string name;  // "AOMORI" from "Aomori Ken"
  std::vector<Ring> rings;
};

std::string pref_name(const std::string& nam) {
  std::string s = nam == "Hokkai Do" ? "Hokkaido" : nam.substr(0, nam.find(' '));
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

void add_ring(Prefecture& p, const json& coords) {
  Ring r;
  for (const json& c : coords) {
    const double x = c[0].get<double>(), y = c[1].get<double>();
    r.pts.push_back({x, y});
    r.w = std::min(r.w, x); r.e = std::max(r.e, x); r.s = std::min(r.s, y); r.n = std::max(r.n, y);
  }
  if (r.pts.size() > 2) p.rings.push_back(std::move(r));
}

std::vector<Prefecture> load_prefectures(const std::string& path) {
  std::ifstream f(path);
  if (!f) throw std::runtime_error("cannot open " + path);
  const json doc = json::parse(f);
  std::vector<Prefecture> out;
  for (const json& feat : doc.at("features")) {
    Prefecture p{pref_name(feat.at("properties").at("nam").get<std::string>()), {}};
    const json& g = feat.at("geometry");
    const std::string type = g.at("type").get<std::string>();
    for (const json& poly : type == "Polygon" ? json::array({g["coordinates"]}) : g["coordinates"])
      for (const json& ring : poly) add_ring(p, ring);
    out.push_back(std::move(p));
  }
  return out;
}

// Even-odd rule over all rings, so holes and islands both work.
bool inside(const Prefecture& p, double x, double y) {
  bool in = false;
  for (const Ring& r : p.rings) {
    if (x < r.w || x > r.e || y < r.s || y > r.n) continue;
    for (size_t i = 0, j = r.pts.size() - 1; i < r.pts.size(); j = i++) {
      const auto &a = r.pts[i], &b = r.pts[j];
      if ((a[1] > y) != (b[1] > y) && x < (b[0] - a[0]) * (y - a[1]) / (b[1] - a[1]) + a[0]) in = !in;
    }
  }
  return in;
}

size_t nearest(const std::vector<Prefecture>& prefs, double x, double y) {
  double best = 1e18;
  size_t who = 0;
  const double c = std::cos(y * M_PI / 180);
  for (size_t i = 0; i < prefs.size(); ++i)
    for (const Ring& r : prefs[i].rings)
      for (const auto& p : r.pts) {
        const double d = std::pow((p[0] - x) * c, 2) + std::pow(p[1] - y, 2);
        if (d < best) { best = d; who = i; }
      }
  return who;
}

constexpr int samples = 8;  // per side of a cell

// The name of the cell of row key k and longitude lon.
std::string cell_name(const std::vector<Prefecture>& prefs, int k, int lon) {
  std::vector<int> hits(prefs.size(), 0);
  int land = 0;
  for (int i = 0; i < samples; ++i)
    for (int j = 0; j < samples; ++j) {
      const double x = lon + (i + 0.5) / samples, y = (k + (j + 0.5) / samples) / 1.5;
      for (size_t p = 0; p < prefs.size(); ++p)
        if (inside(prefs[p], x, y)) { ++hits[p]; ++land; break; }
    }
  const size_t most = std::max_element(hits.begin(), hits.end()) - hits.begin();
  if (land * 4 >= samples * samples)
    return prefs[most].name + (prefs[most].name == "HOKKAIDO" || prefs[most].name == "TOKYO" ? "" : " PREF.");
  const size_t off = land ? most : nearest(prefs, lon + 0.5, (k + 0.5) / 1.5);
  return "OFF " + prefs[off].name;
}

}  // namespace

JapanTables japan_tables(const std::string& path, const std::vector<Record>&) {
  const auto prefs = load_prefectures(path);
  std::map<std::pair<int, int>, std::string> cells;  // (row key, longitude) -> name
  std::map<std::string, int> number;
  for (int k = 42; k <= 68; ++k)
    for (int lon = 128; lon <= 147; ++lon) number[cells[{k, lon}] = cell_name(prefs, k, lon)];
  JapanTables t;
  for (auto& [name, n] : number) { t.names.push_back(name); n = static_cast<int>(t.names.size()); }
  if (t.names.size() > max_names) throw std::runtime_error("more than 255 Japanese names");
  for (int k = 42; k <= 68; ++k) {
    std::vector<std::pair<int, int>> e;
    for (int lon = 128; lon <= 147; ++lon) {
      const int n = number[cells[{k, lon}]];
      if (e.empty() || e.back().second != n) e.push_back({lon, n});
    }
    t.mesh.push_back(static_cast<uint8_t>(k));
    t.mesh.push_back(static_cast<uint8_t>(e.size()));
    for (auto [lon, n] : e) { t.mesh.push_back(static_cast<uint8_t>(lon)); t.mesh.push_back(static_cast<uint8_t>(n)); }
  }
  return t;
}

}  // namespace tdata
