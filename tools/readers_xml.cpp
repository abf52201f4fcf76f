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
  return parse_number(trim(v.text().as_string()));
}

// An element given but not a number is an error, not a missing value.
std::optional<std::string> optional_value(pugi::xml_node n, const char* name, std::optional<double>& v) {
  v = value(n, name);
  if (!v && child(child(n, name), "value")) return std::string("unreadable ") + name;
  return std::nullopt;
}

std::optional<std::string> event_of(pugi::xml_node ev_node, Row& row) {
  Event& ev = row.ev;
  row.type = trim(child(ev_node, "type").text().as_string());
  pugi::xml_node origin = preferred(ev_node, "origin", "preferredOriginID");
  if (!origin) return "no origin";
  if (!parse_datetime(child(child(origin, "time"), "value").text().as_string(), ev)) return "unreadable origin time";
  const auto lat = value(origin, "latitude"), lon = value(origin, "longitude");
  if (!lat || !lon) return "no coordinates";
  ev.lat = *lat;
  ev.lon = *lon;
  if (auto err = optional_value(origin, "depth", ev.depth)) return err;
  if (ev.depth) *ev.depth /= 1000.0;  // QuakeML depths are in metres
  pugi::xml_node mag = preferred(ev_node, "magnitude", "preferredMagnitudeID");
  return mag ? optional_value(mag, "mag", ev.mag) : std::nullopt;
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

// Every event element, in document order, without recursion; events sit
// a few levels down, so deeper nesting is refused rather than walked.
std::vector<pugi::xml_node> collect_events(pugi::xml_node root, const std::string& file) {
  std::vector<pugi::xml_node> out;
  pugi::xml_node n = root.first_child();
  int depth = 1;
  while (n) {
    const bool event = n.type() == pugi::node_element && std::strcmp(local(n.name()), "event") == 0;
    if (event) out.push_back(n);
    if (!event && n.first_child()) {
      if (++depth > max_depth) throw std::runtime_error(file + ": nested deeper than " + std::to_string(max_depth));
      n = n.first_child();
      continue;
    }
    while (n && !n.next_sibling()) {
      n = n.parent();
      --depth;
    }
    if (n) n = n.next_sibling();
  }
  return out;
}

}  // namespace

ReadResult read_quakeml(std::istream& in, const std::string& file) {
  std::stringstream ss;
  ss << in.rdbuf();
  const std::string text = ss.str();
  pugi::xml_document doc;
  const auto ok = doc.load_buffer(text.data(), text.size());
  if (!ok) throw std::runtime_error(file + ":" + std::to_string(LineCounter{text}.to(ok.offset)) + ": " + ok.description());
  ReadResult res;
  LineCounter lines{text};
  for (pugi::xml_node e : collect_events(doc, file)) {
    Row row{lines.to(e.offset_debug()), {}, {}};
    if (auto err = event_of(e, row))
      res.problems.push_back({file, row.line, "event " + std::string(e.attribute("publicID").as_string()) + ": " + *err});
    else res.rows.push_back(row);
  }
  return res;
}

}  // namespace tdata
