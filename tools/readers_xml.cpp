// QuakeML 1.2: each event's preferred origin and magnitude (else the first).
// Element names are matched without their namespace prefix.
#include <cstring>
#include <pugixml.hpp>
#include <sstream>
#include <stdexcept>

#include "readers.h"

namespace tdata {

namespace {

const char* local(const char* name) {
  const char* colon = std::strrchr(name, ':');
  return colon ? colon + 1 : name;
}

pugi::xml_node child(pugi::xml_node n, const char* name) {
  for (pugi::xml_node c : n.children())
    if (std::strcmp(local(c.name()), name) == 0) return c;
  return {};
}

// The child whose publicID is id, or the first child of that name.
pugi::xml_node preferred(pugi::xml_node event, const char* name, const char* id_elem) {
  const std::string id = child(event, id_elem).text().as_string();
  for (pugi::xml_node c : event.children())
    if (std::strcmp(local(c.name()), name) == 0 && (id.empty() || id == c.attribute("publicID").as_string()))
      return c;
  return child(event, name);
}

std::optional<double> value(pugi::xml_node n, const char* name) {
  pugi::xml_node v = child(child(n, name), "value");
  if (!v) return std::nullopt;
  const std::string s = trim(v.text().as_string());
  char* end = nullptr;
  const double d = std::strtod(s.c_str(), &end);
  if (s.empty() || *end != '\0') return std::nullopt;
  return d;
}

std::optional<std::string> event_of(pugi::xml_node ev_node, Event& ev) {
  pugi::xml_node origin = preferred(ev_node, "origin", "preferredOriginID");
  if (!origin) return "no origin";
  if (!parse_datetime(child(child(origin, "time"), "value").text().as_string(), ev)) return "unreadable origin time";
  const auto lat = value(origin, "latitude"), lon = value(origin, "longitude");
  if (!lat || !lon) return "no coordinates";
  ev.lat = *lat;
  ev.lon = *lon;
  if (auto d = value(origin, "depth")) ev.depth = *d / 1000.0;  // QuakeML depths are in metres
  pugi::xml_node mag = preferred(ev_node, "magnitude", "preferredMagnitudeID");
  if (mag) ev.mag = value(mag, "mag");
  return std::nullopt;
}

// Line numbers of increasing offsets, counted once through the text.
struct LineCounter {
  const std::string& text;
  size_t at = 0;
  int line = 1;
  int to(ptrdiff_t offset) {
    for (; at < static_cast<size_t>(offset) && at < text.size(); ++at) line += text[at] == '\n';
    return line;
  }
};

void collect_events(pugi::xml_node n, std::vector<pugi::xml_node>& out) {
  for (pugi::xml_node c : n.children()) {
    if (std::strcmp(local(c.name()), "event") == 0) out.push_back(c);
    else collect_events(c, out);
  }
}

}  // namespace

ReadResult read_quakeml(std::istream& in, const std::string& file) {
  std::stringstream ss;
  ss << in.rdbuf();
  const std::string text = ss.str();
  pugi::xml_document doc;
  const auto ok = doc.load_buffer(text.data(), text.size());
  if (!ok) throw std::runtime_error(file + ":" + std::to_string(LineCounter{text}.to(ok.offset)) + ": " + ok.description());
  std::vector<pugi::xml_node> events;
  collect_events(doc, events);
  ReadResult res;
  LineCounter lines{text};
  for (pugi::xml_node e : events) {
    Row row{lines.to(e.offset_debug()), {}};
    if (auto err = event_of(e, row.ev)) res.problems.push_back({file, row.line, *err});
    else res.rows.push_back(row);
  }
  return res;
}

}  // namespace tdata
