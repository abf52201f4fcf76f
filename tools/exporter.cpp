#include "exporter.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>

#include "dataset.h"

namespace tdata {

namespace {

constexpr struct {
  const char* name;
  ExportFormat fmt;
} formats[] = {{"csv", ExportFormat::csv}, {"fdsn", ExportFormat::fdsn},
               {"quakeml", ExportFormat::quakeml}, {"geojson", ExportFormat::geojson}};

// The header line of the FDSN event service's text format.
constexpr const char* fdsn_header =
    "#EventID|Time|Latitude|Longitude|Depth/km|Author|Catalog|Contributor|ContributorID|MagType|"
    "Magnitude|MagAuthor|EventLocationName\n";

// One record as the exports write it.
struct Out {
  Event ev;
  std::string id, time;  // SOURCE-YYYY-N; ISO 8601 UTC without the zone
  bool dated;            // month and day known
};

std::string fmt1(const std::optional<double>& v) {
  char b[32] = "";
  if (v) std::snprintf(b, sizeof b, "%.1f", *v);
  return b;
}

std::string fmt6(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%.6f", v);
  return b;
}

// Unknown month and day are written as 00, which only our reader takes.
std::vector<Out> prepare(const std::string& source, const std::vector<Record>& recs) {
  std::vector<Out> out;
  std::map<int, int> per_year;
  for (const Record& r : recs) {
    Out o{decode(r), {}, {}, r[1] != 0 && r[2] != 0};
    const Event& e = o.ev;
    o.id = source + "-" + std::to_string(e.year) + "-" + std::to_string(++per_year[e.year]);
    char t[48];
    std::snprintf(t, sizeof t, "%04d-%02d-%02dT%02d:%02d:%04.1f", e.year, e.month, e.day, e.hour, e.minute, e.second);
    o.time = t;
    out.push_back(o);
  }
  return out;
}

void write_csv(std::ostream& out, const std::string& source, const std::vector<Out>& evs) {
  out << "time,latitude,longitude,depth,mag,id,source\n";
  for (const Out& o : evs)
    out << o.time << "Z," << fmt6(o.ev.lat) << ',' << fmt6(o.ev.lon) << ',' << fmt1(o.ev.depth) << ','
        << fmt1(o.ev.mag) << ',' << o.id << ',' << source << '\n';
}

void write_fdsn(std::ostream& out, const std::string& source, const std::vector<Out>& evs) {
  out << fdsn_header;
  for (const Out& o : evs)
    out << o.id << '|' << o.time << '|' << fmt6(o.ev.lat) << '|' << fmt6(o.ev.lon) << '|' << fmt1(o.ev.depth)
        << '|' << source << '|' << source << '|' << source << '|' << o.id << "||" << fmt1(o.ev.mag) << "||\n";
}

void value(pugi::xml_node parent, const char* name, const std::string& v) {
  parent.append_child(name).append_child("value").text().set(v.c_str());
}

void quakeml_event(pugi::xml_node params, const Out& o) {
  const std::string id = "smi:local/tarnwell/" + o.id;
  pugi::xml_node ev = params.append_child("event");
  ev.append_attribute("publicID").set_value(id.c_str());
  ev.append_child("preferredOriginID").text().set((id + "/origin").c_str());
  if (o.ev.mag) ev.append_child("preferredMagnitudeID").text().set((id + "/magnitude").c_str());
  pugi::xml_node origin = ev.append_child("origin");
  origin.append_attribute("publicID").set_value((id + "/origin").c_str());
  value(origin, "time", o.time + "Z");
  value(origin, "latitude", fmt6(o.ev.lat));
  value(origin, "longitude", fmt6(o.ev.lon));
  // QuakeML depths are in metres.
  if (o.ev.depth) value(origin, "depth", std::to_string(std::lround(*o.ev.depth * 1000)));
  if (!o.ev.mag) return;
  pugi::xml_node mag = ev.append_child("magnitude");
  mag.append_attribute("publicID").set_value((id + "/magnitude").c_str());
  value(mag, "mag", fmt1(o.ev.mag));
  mag.append_child("originID").text().set((id + "/origin").c_str());
}

void write_quakeml(std::ostream& out, const std::string& source, const std::vector<Out>& evs) {
  pugi::xml_document doc;
  pugi::xml_node q = doc.append_child("q:quakeml");
  q.append_attribute("xmlns:q").set_value("http://quakeml.org/xmlns/quakeml/1.2");
  q.append_attribute("xmlns").set_value("http://quakeml.org/xmlns/bed/1.2");
  pugi::xml_node params = q.append_child("eventParameters");
  params.append_attribute("publicID").set_value(("smi:local/tarnwell/" + source).c_str());
  for (const Out& o : evs) quakeml_event(params, o);
  doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
}

// Milliseconds since 1970 of a dated event, as USGS feeds give times.
int64_t epoch_ms(const Event& e) {
  return ((days_from_civil(e.year, e.month, e.day) * 24 + e.hour) * 60 + e.minute) * 60000 +
         std::lround(e.second * 10) * 100;
}

void write_geojson(std::ostream& out, const std::string& source, const std::vector<Out>& evs) {
  using nlohmann::json;
  auto num = [](const std::optional<double>& v, double scale) {
    return v ? json(std::round(*v * scale) / scale) : json(nullptr);
  };
  out << "{\"type\":\"FeatureCollection\",\"metadata\":{\"title\":" << json(source).dump() << "},\"features\":[";
  const char* sep = "\n";
  for (const Out& o : evs) {
    const json f = {{"type", "Feature"},
                    {"id", o.id},
                    {"properties", {{"mag", num(o.ev.mag, 10)}, {"time", epoch_ms(o.ev)}, {"source", source}}},
                    {"geometry", {{"type", "Point"},
                                  {"coordinates", {num(o.ev.lon, 1e6), num(o.ev.lat, 1e6), num(o.ev.depth, 10)}}}}};
    out << sep << f.dump();
    sep = ",\n";
  }
  out << "\n]}\n";
}

}  // namespace

bool export_format(const std::string& name, ExportFormat& fmt) {
  for (const auto& f : formats)
    if (name == f.name) return fmt = f.fmt, true;
  return false;
}

size_t write_export(std::ostream& out, ExportFormat fmt, const std::string& source, const std::vector<Record>& recs) {
  std::string src = source;
  for (char& c : src) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  std::vector<Out> evs = prepare(src, recs);
  size_t undated = 0;
  if (fmt == ExportFormat::quakeml || fmt == ExportFormat::geojson) {
    const auto keep = std::remove_if(evs.begin(), evs.end(), [](const Out& o) { return !o.dated; });
    undated = static_cast<size_t>(evs.end() - keep);
    evs.erase(keep, evs.end());
  }
  switch (fmt) {
    case ExportFormat::csv: write_csv(out, src, evs); break;
    case ExportFormat::fdsn: write_fdsn(out, src, evs); break;
    case ExportFormat::quakeml: write_quakeml(out, src, evs); break;
    case ExportFormat::geojson: write_geojson(out, src, evs); break;
  }
  return undated;
}

bool source_records(const std::string& dir, const std::string& source, int from, int to,
                    std::vector<Record>& out, std::string& err) {
  bool any = false;
  for (int y = std::max(from, 1900); y <= std::min(to, 2099); ++y) {
    const std::string name = year_file_name(source, y);
    if (!std::filesystem::exists(dir + "/" + lower(name))) continue;
    if (!read_chain(dir, name, out, err)) return false;
    any = true;
  }
  if (!any) err = "no yearly files of " + source + " in " + dir;
  return any;
}

}  // namespace tdata
