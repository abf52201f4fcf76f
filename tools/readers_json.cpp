// USGS GeoJSON event feeds: Point [lon, lat, depth km], properties mag,
// time (milliseconds since 1970, UTC) and type.
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

const json* member(const json& obj, const char* name) {
  if (!obj.is_object()) return nullptr;
  auto it = obj.find(name);
  return it == obj.end() ? nullptr : &*it;
}

// Absent or null is "not given"; anything but a number is an error.
std::optional<std::string> optional_number(const json* j, const char* what, std::optional<double>& v) {
  v.reset();
  if (!j || j->is_null()) return std::nullopt;
  if (!j->is_number()) return std::string(what) + " is not a number";
  v = j->get<double>();
  return std::nullopt;
}

std::optional<std::string> feature_event(const json& f, Row& row) {
  const json* props = member(f, "properties");
  const json* type = props ? member(*props, "type") : nullptr;
  if (type && !type->is_null() && !type->is_string()) return "type is not a text";
  if (type && type->is_string()) row.type = type->get<std::string>();
  const json* geo = member(f, "geometry");
  const json* c = geo ? member(*geo, "coordinates") : nullptr;
  if (!c || !c->is_array() || c->size() < 2 || !(*c)[0].is_number() || !(*c)[1].is_number())
    return "no coordinates";
  row.ev.lon = (*c)[0].get<double>();
  row.ev.lat = (*c)[1].get<double>();
  if (auto err = optional_number(c->size() > 2 ? &(*c)[2] : nullptr, "depth", row.ev.depth)) return err;
  const json* time = props ? member(*props, "time") : nullptr;
  if (!time || !time->is_number()) return "no time";
  // About 30,000 years either side of 1970: past that no calendar date.
  const double ms = time->get<double>();
  if (!(std::fabs(ms) < 1e15)) return "time out of range";
  time_from_ms(ms, row.ev);
  return optional_number(member(*props, "mag"), "mag", row.ev.mag);
}

// The parser is iterative, but a document nested this deep is no event feed.
json parse_bounded(std::istream& in, const std::string& file) {
  try {
    return json::parse(in, [](int depth, json::parse_event_t, json&) {
      if (depth > max_depth) throw std::runtime_error("nested deeper than " + std::to_string(max_depth));
      return true;
    });
  } catch (const json::exception& e) {  // a syntax error, or a number out of range
    throw std::runtime_error(file + ": " + e.what());
  } catch (const std::runtime_error& e) {
    throw std::runtime_error(file + ": " + e.what());
  }
}

}  // namespace

ReadResult read_geojson(std::istream& in, const std::string& file) {
  const json doc = parse_bounded(in, file);
  const json* feats = member(doc, "features");
  if (!feats || !feats->is_array()) throw std::runtime_error(file + ": no \"features\" array");
  ReadResult res;
  int no = 0;
  for (const json& f : *feats) {
    Row row{++no, {}, {}};
    if (auto err = feature_event(f, row)) res.problems.push_back({file, no, "feature " + std::to_string(no) + ": " + *err});
    else res.rows.push_back(row);
  }
  return res;
}

}  // namespace tdata
