// Japanese region tables from prefecture polygons: a cell of 40 minutes by
// 1 degree that is mostly Japanese land is named after the prefecture its
// events lie in (the bundled JMA catalogue), else the one covering most of
// it. A sea cell near Japan is "OFF" the coast its events lie off. Cells
// over Korea, Russia or China, and the open sea, keep their Flinn-Engdahl
// name ("SOUTH KOREA", "SEA OF JAPAN"), a border region the name of the
// side it lies on ("PRIMOR'YE, RUSSIA").
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

// Coast points of every prefecture, thinned: enough to tell which coast a
// point at sea lies off.
struct Coast {
  std::vector<std::pair<size_t, std::array<double, 2>>> pts;  // prefecture, lon/lat
};

Coast coast_of(const std::vector<Prefecture>& prefs) {
  Coast c;
  for (size_t i = 0; i < prefs.size(); ++i)
    for (const Ring& r : prefs[i].rings)
      for (size_t k = 0; k < r.pts.size(); k += r.pts.size() > 100 ? 4 : 1) c.pts.push_back({i, r.pts[k]});
  return c;
}

// The prefecture nearest to a point, and how far it is in degrees.
std::pair<size_t, double> nearest(const Coast& coast, double x, double y) {
  double best = 1e18;
  size_t who = 0;
  const double c = std::cos(y * M_PI / 180);
  for (const auto& [i, p] : coast.pts) {
    const double d = std::pow((p[0] - x) * c, 2) + std::pow(p[1] - y, 2);
    if (d < best) best = d, who = i;
  }
  return {who, std::sqrt(best)};
}

constexpr int samples = 8;         // per side of a cell
constexpr double off_limit = 1.0;  // degrees from Japanese land a cell is "OFF" it

using Points = std::vector<std::array<double, 2>>;  // lon/lat

size_t most(const std::vector<int>& n) { return std::max_element(n.begin(), n.end()) - n.begin(); }

std::string land_name(const std::string& pref) {
  return pref + (pref == "HOKKAIDO" || pref == "TOKYO" ? "" : " PREF.");
}

// Japanese Flinn-Engdahl regions; the Sea of Japan is not one.
bool japanese(const std::string& fe_name) {
  if (fe_name.find("SEA OF JAPAN") != std::string::npos) return false;
  for (const char* w : {"JAPAN", "HONSHU", "HOKKAIDO", "KYUSHU", "SHIKOKU", "RYUKYU", "BONIN", "IZU"})
    if (fe_name.find(w) != std::string::npos) return true;
  return false;
}

struct Japan {
  std::vector<Prefecture> prefs;
  Coast coast;
  const FeTables& fe;
};

// A sea cell near Japan is off the prefecture most of its events are
// nearest to; without events, the one nearest to its centre.
std::string off_name(const Japan& j, const Points& events, double x, double y) {
  std::vector<int> votes(j.prefs.size(), 0);
  for (const auto& p : events) ++votes[nearest(j.coast, p[0], p[1]).first];
  const size_t who = events.empty() ? nearest(j.coast, x, y).first : most(votes);
  return "OFF " + j.prefs[who].name;
}

// A border region's cell ("E. RUSSIA-N.E. CHINA BORDER REG." at
// Vladivostok) is named after the nearest one-country land region within
// three degrees of its centre, so the name says which side it lies on.
std::string side_name(const FeTables& fe, double x, double y, const std::string& fe_name) {
  if (name_keys(fe_name).size() < 2) return shorten(fe_name);
  double best = 9.5;
  std::string out = shorten(fe_name);
  for (int lat = static_cast<int>(y) - 3; lat <= static_cast<int>(y) + 3; ++lat)
    for (int lon = static_cast<int>(x) - 3; lon <= static_cast<int>(x) + 3; ++lon) {
      const std::string& n = fe.names[fe.cells[lat + 90][lon + 180] - 1];
      const double d = std::pow(lon + 0.5 - x, 2) + std::pow(lat + 0.5 - y, 2);
      if (d < best && !is_sea(n) && name_keys(n).size() == 1) best = d, out = shorten(n);
    }
  return out;
}

// The name of the cell of row key k and longitude lon, holding the events.
std::string cell_name(const Japan& j, int k, int lon, const Points& events) {
  std::vector<int> land(j.prefs.size(), 0), on(j.prefs.size(), 0);
  int sampled = 0, inland = 0;
  for (int i = 0; i < samples; ++i)
    for (int m = 0; m < samples; ++m) {
      const double x = lon + (i + 0.5) / samples, y = (k + (m + 0.5) / samples) / 1.5;
      for (size_t p = 0; p < j.prefs.size(); ++p)
        if (inside(j.prefs[p], x, y)) { ++land[p]; ++sampled; break; }
    }
  for (const auto& e : events)
    for (size_t p = 0; p < j.prefs.size(); ++p)
      if (inside(j.prefs[p], e[0], e[1])) { ++on[p]; ++inland; break; }
  // A cell whose events lie mostly on land is named after where they lie,
  // however little land it has: every prefecture that holds a cell's
  // events gets a name.
  if (inland * 2 > static_cast<int>(events.size())) return land_name(j.prefs[most(on)].name);
  if (sampled * 4 >= samples * samples) return land_name(j.prefs[most(inland ? on : land)].name);
  const double x = lon + 0.5, y = (k + 0.5) / 1.5;
  const std::string& fe_name = j.fe.names[j.fe.cells[static_cast<int>(y) + 90][lon + 180] - 1];
  const bool near = sampled || japanese(fe_name) || nearest(j.coast, x, y).second <= off_limit;
  if (!near || (!is_sea(fe_name) && !japanese(fe_name))) return side_name(j.fe, x, y, fe_name);
  return off_name(j, events, x, y);
}

std::map<std::pair<int, int>, Points> events_by_cell(const std::vector<Record>& recs) {
  std::map<std::pair<int, int>, Points> cells;
  for (const Record& r : recs) {
    if (r[8] & 0x80 || r[11] & 0x80) continue;
    const Event ev = decode(r);
    cells[{static_cast<int>(ev.lat * 1.5), r[7]}].push_back({ev.lon, ev.lat});
  }
  return cells;
}

}  // namespace

JapanTables japan_tables(const std::string& path, const std::vector<Record>& events, const FeTables& fe) {
  Japan j{load_prefectures(path), {}, fe};
  j.coast = coast_of(j.prefs);
  auto at = events_by_cell(events);
  std::map<std::pair<int, int>, std::string> cells;  // (row key, longitude) -> name
  std::map<std::string, int> number;
  for (int k = 42; k <= 68; ++k)
    for (int lon = 128; lon <= 147; ++lon) number[cells[{k, lon}] = cell_name(j, k, lon, at[{k, lon}])];
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
