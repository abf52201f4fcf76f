// USGS GeoJSON event feeds: Point [lon, lat, depth km], properties mag and
// time (milliseconds since 1970, UTC).
#include <cmath>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "readers.h"

namespace tdata {

namespace {

using nlohmann::json;

void time_from_ms(double ms, Event& ev) {
  const int64_t whole_ms = static_cast<int64_t>(std::floor(ms));
  int64_t days = whole_ms / 86400000, rest = whole_ms % 86400000;
  if (rest < 0) { rest += 86400000; --days; }
  civil_from_days(days, ev.year, ev.month, ev.day);
  ev.hour = static_cast<int>(rest / 3600000);
  ev.minute = static_cast<int>(rest / 60000 % 60);
  ev.second = static_cast<double>(rest % 60000) / 1000.0;
}

std::optional<double> opt_number(const json& j) {
  if (j.is_number()) return j.get<double>();
  return std::nullopt;
}

std::optional<std::string> feature_event(const json& f, Event& ev) {
  const json& geo = f.value("geometry", json());
  const json& props = f.value("properties", json());
  if (!geo.is_object() || !geo.contains("coordinates")) return "no geometry";
  const json& c = geo["coordinates"];
  if (!c.is_array() || c.size() < 2 || !c[0].is_number() || !c[1].is_number()) return "no coordinates";
  ev.lon = c[0].get<double>();
  ev.lat = c[1].get<double>();
  ev.depth = c.size() > 2 ? opt_number(c[2]) : std::nullopt;
  if (!props.is_object() || !props.contains("time") || !props["time"].is_number()) return "no time";
  time_from_ms(props["time"].get<double>(), ev);
  ev.mag = opt_number(props.value("mag", json()));
  return std::nullopt;
}

}  // namespace

ReadResult read_geojson(std::istream& in, const std::string& file, const std::string& only_type) {
  ReadResult res;
  json doc;
  try {
    doc = json::parse(in);
  } catch (const json::parse_error& e) {
    throw std::runtime_error(file + ": " + e.what());
  }
  const json& feats = doc.value("features", json::array());
  int no = 0;
  for (const json& f : feats) {
    ++no;
    const json& props = f.value("properties", json::object());
    const std::string type = props.is_object() ? props.value("type", "") : "";
    if (!only_type.empty() && type != only_type) { ++res.skipped["type " + type]; continue; }
    Row row{no, {}};
    if (auto err = feature_event(f, row.ev)) res.problems.push_back({file, no, "feature " + std::to_string(no) + ": " + *err});
    else res.rows.push_back(row);
  }
  return res;
}

}  // namespace tdata
