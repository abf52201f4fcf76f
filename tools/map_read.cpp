// Polylines from GeoJSON and GMT text, fault classes, and clipping.
#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <sstream>

#include "mapfile.h"

namespace tdata {

namespace {

using nlohmann::json;

// Longitudes into -180..180; a step of more than half a turn crosses the
// antimeridian, where the line is cut and continued from the other side.
void add_line(std::vector<Polyline>& out, char code, const std::vector<Point>& raw) {
  Polyline cur{code, {}};
  for (Point p : raw) {
    p[0] = std::remainder(p[0], 360.0);
    if (p[0] == -180 && !cur.pts.empty() && cur.pts.back()[0] > 0) p[0] = 180;
    if (!cur.pts.empty() && std::fabs(p[0] - cur.pts.back()[0]) > 180) {
      const Point q = cur.pts.back();
      const double edge = q[0] > 0 ? 180 : -180;
      const double lon_p = p[0] + (q[0] > 0 ? 360 : -360);
      const double lat = q[1] + (p[1] - q[1]) * (edge - q[0]) / (lon_p - q[0]);
      cur.pts.push_back({edge, lat});
      if (cur.pts.size() > 1) out.push_back(cur);
      cur.pts = {{-edge, lat}};
    }
    cur.pts.push_back(p);
  }
  if (cur.pts.size() > 1) out.push_back(cur);
}

std::vector<Point> points(const json& arr) {
  std::vector<Point> v;
  for (const json& c : arr)
    if (c.is_array() && c.size() >= 2) v.push_back({c[0].get<double>(), c[1].get<double>()});
  return v;
}

void add_geometry(std::vector<Polyline>& out, char code, const json& g) {
  const std::string type = g.value("type", "");
  const json& c = g["coordinates"];
  if (type == "LineString") add_line(out, code, points(c));
  else if (type == "MultiLineString" || type == "Polygon")
    for (const json& l : c) add_line(out, code, points(l));
  else if (type == "MultiPolygon")
    for (const json& poly : c)
      for (const json& ring : poly) add_line(out, code, points(ring));
}

std::map<std::string, std::string> string_props(const json& props) {
  std::map<std::string, std::string> m;
  if (!props.is_object()) return m;
  for (auto it = props.begin(); it != props.end(); ++it)
    if (it->is_string()) m[it.key()] = it->get<std::string>();
  return m;
}

}  // namespace

std::vector<Polyline> read_geojson_lines(std::istream& in, char code, int& skipped) {
  const json doc = json::parse(in);
  std::vector<Polyline> out;
  for (const json& f : doc.value("features", json::array())) {
    const json& g = f.value("geometry", json());
    if (!g.is_object()) { ++skipped; continue; }
    const char c = code == '-' ? fault_class(string_props(f.value("properties", json()))) : code;
    add_geometry(out, c, g);
  }
  return out;
}

std::vector<Polyline> read_gmt_lines(std::istream& in, char code) {
  std::vector<Polyline> out;
  std::vector<Point> seg;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && (line[0] == '>' || line[0] == '#')) {
      add_line(out, code, seg);
      seg.clear();
      continue;
    }
    std::istringstream ls(line);
    Point p;
    if (ls >> p[0] >> p[1]) seg.push_back(p);
  }
  add_line(out, code, seg);
  return out;
}

double rate_of(const std::string& tuple) {
  double v[3];
  bool has[3] = {false, false, false};
  std::string s = tuple;
  for (char& c : s)
    if (c == '(' || c == ')') c = ' ';
  std::istringstream ss(s);
  std::string part;
  for (int i = 0; i < 3 && std::getline(ss, part, ','); ++i) {
    char* end = nullptr;
    v[i] = std::strtod(part.c_str(), &end);
    has[i] = end != part.c_str();
  }
  if (has[2]) return v[2];
  if (has[0] && has[1]) return (v[0] + v[1]) / 2;
  return has[0] ? v[0] : has[1] ? v[1] : -1;
}

char fault_class(const std::map<std::string, std::string>& props) {
  auto get = [&](const char* k) { auto it = props.find(k); return it == props.end() ? -1.0 : rate_of(it->second); };
  double r = get("net_slip_rate");
  if (r < 0) r = std::max({get("strike_slip_rate"), get("vert_slip_rate"), get("shortening_rate")});
  if (r >= 1.0) return 'F';
  if (r >= 0.1) return 'G';
  if (r > 0) return 'H';
  return 'I';
}

namespace {

// Liang-Barsky: the part of segment a-b inside the box, as parameters t0..t1.
bool clip_segment(const Point& a, const Point& b, const Box& box, double& t0, double& t1) {
  const double dx = b[0] - a[0], dy = b[1] - a[1];
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a[0] - box.west, box.east - a[0], a[1] - box.south, box.north - a[1]};
  t0 = 0;
  t1 = 1;
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
  }
  return t0 <= t1;
}

Point lerp(const Point& a, const Point& b, double t) { return {a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t}; }

}  // namespace

std::vector<Polyline> clip_lines(const std::vector<Polyline>& in, const Box& box) {
  std::vector<Polyline> out;
  for (const Polyline& l : in) {
    Polyline cur{l.code, {}};
    for (size_t i = 0; i + 1 < l.pts.size(); ++i) {
      double t0, t1;
      if (!clip_segment(l.pts[i], l.pts[i + 1], box, t0, t1)) continue;
      const Point a = lerp(l.pts[i], l.pts[i + 1], t0), b = lerp(l.pts[i], l.pts[i + 1], t1);
      if (cur.pts.empty() || cur.pts.back() != a) {
        if (cur.pts.size() > 1) out.push_back(cur);
        cur.pts = {a};
      }
      cur.pts.push_back(b);
    }
    if (cur.pts.size() > 1) out.push_back(cur);
  }
  return out;
}

}  // namespace tdata
