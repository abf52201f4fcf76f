// Delimited tables and the fixed-width Centennial layout. GeoJSON and
// QuakeML are in readers_json.cpp and readers_xml.cpp.
#include "readers.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <cstdlib>
#include <optional>
#include <stdexcept>

namespace tdata {

std::string trim(const std::string& s) {
  const char* ws = " \t\r\n";
  const size_t a = s.find_first_not_of(ws);
  if (a == std::string::npos) return "";
  return s.substr(a, s.find_last_not_of(ws) - a + 1);
}

// Splits one line; double quotes protect separators, "" is a quote.
std::vector<std::string> split_fields(const std::string& line, char sep) {
  std::vector<std::string> out(1);
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"' && quoted && i + 1 < line.size() && line[i + 1] == '"') {
      out.back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (c == sep && !quoted) {
      out.emplace_back();
    } else {
      out.back() += c;
    }
  }
  for (auto& f : out) f = trim(f);
  return out;
}

std::optional<double> parse_number(const std::string& s) {
  const char *p = s.data(), *end = p + s.size();
  if (p != end && *p == '+') ++p;
  if (p == end || !(std::isdigit(static_cast<unsigned char>(*p)) || *p == '-' || *p == '.')) return std::nullopt;
  double v = 0;
  const auto r = std::from_chars(p, end, v);
  if (r.ec != std::errc() || r.ptr != end || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::string column_key_list() {
  std::string out;
  for (const ColumnKey& k : column_keys) out += (out.empty() ? "" : ", ") + std::string(k.key);
  return out;
}

namespace {

bool is_blank_value(const std::string& s) { return s.empty() || s == "NA" || s == "NaN" || s == "nan"; }

std::optional<double> number(const std::string& s) {
  if (is_blank_value(s)) return std::nullopt;
  return parse_number(s);
}

bool whole(const std::string& s, int& v) {
  const auto r = std::from_chars(s.data(), s.data() + s.size(), v);
  return !s.empty() && r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// A left-to-right reader of one date-time text.
struct Scan {
  const std::string& s;
  size_t at = 0;
  bool eat(char c) { return at < s.size() && s[at] == c ? ++at, true : false; }
  bool eat_any(const char* cs) { return at < s.size() && std::strchr(cs, s[at]) && s[at] ? ++at, true : false; }
  // 1 to max digits.
  bool digits(int& v, int max) {
    const size_t from = at;
    while (at < s.size() && at - from < static_cast<size_t>(max) && std::isdigit(static_cast<unsigned char>(s[at]))) ++at;
    return at > from && whole(s.substr(from, at - from), v);
  }
  bool done() const { return at == s.size(); }
};

bool read_seconds(Scan& c, double& sec) {
  const size_t from = c.at;
  int whole_s = 0;
  if (!c.digits(whole_s, 2)) return false;
  if (c.eat('.'))
    while (c.at < c.s.size() && std::isdigit(static_cast<unsigned char>(c.s[c.at]))) ++c.at;
  const auto v = parse_number(c.s.substr(from, c.at - from));
  return v ? (sec = *v, true) : false;
}

// "Z", nothing, or +hh:mm, +hhmm, +hh (and -): minutes east of UTC.
bool read_zone(Scan& c, int& minutes) {
  minutes = 0;
  if (c.eat('Z') || c.eat('z') || c.done()) return c.done();
  const bool west = c.s[c.at] == '-';
  if (!c.eat_any("+-")) return false;
  int h = 0, m = 0;
  if (!c.digits(h, 2) || h > 14) return false;
  c.eat(':');
  if (!c.done() && (!c.digits(m, 2) || m > 59)) return false;
  minutes = (west ? -1 : 1) * (h * 60 + m);
  return c.done();
}

// Local time at an offset to UTC, through the calendar.
bool to_utc(Event& ev, int offset) {
  if (offset == 0) return true;
  if (ev.month < 1 || ev.month > 12 || ev.day < 1 || ev.day > 31) return false;
  const int64_t minutes = days_from_civil(ev.year, ev.month, ev.day) * 1440 + ev.hour * 60 + ev.minute - offset;
  const int64_t day = minutes >= 0 ? minutes / 1440 : (minutes - 1439) / 1440;
  civil_from_days(day, ev.year, ev.month, ev.day);
  ev.hour = static_cast<int>((minutes - day * 1440) / 60);
  ev.minute = static_cast<int>((minutes - day * 1440) % 60);
  return true;
}

}  // namespace

bool parse_datetime(const std::string& text, Event& ev) {
  const std::string s = trim(text);
  Scan c{s};
  ev.hour = ev.minute = 0;
  ev.second = 0;
  if (!c.digits(ev.year, 5) || !c.eat_any("-/") || !c.digits(ev.month, 2) || !c.eat_any("-/") ||
      !c.digits(ev.day, 2))
    return false;
  if (c.eat('T') || c.eat(' ')) {
    while (c.eat(' ')) {}
    if (!c.digits(ev.hour, 2) || !c.eat(':') || !c.digits(ev.minute, 2)) return false;
    if (c.eat(':') && !read_seconds(c, ev.second)) return false;
  }
  int offset = 0;
  return read_zone(c, offset) && to_utc(ev, offset);
}

bool table_preset(const std::string& name, TableSpec& s) {
  s = TableSpec{};
  if (name == "comcat") {
    s.columns = {{"datetime", "time"}, {"lat", "latitude"}, {"lon", "longitude"}, {"depth", "depth"},
                 {"mag", "mag"}, {"evtype", "type"}};
  } else if (name == "isc-gem") {
    s.comment.assign(1, '#');
    s.header_in_comment = true;
    s.columns = {{"datetime", "date"}, {"lat", "lat"}, {"lon", "lon"}, {"depth", "depth"}, {"mag", "mw"}};
  } else if (name == "ncedc") {
    s.columns = {{"datetime", "DateTime"}, {"lat", "Latitude"}, {"lon", "Longitude"},
                 {"depth", "Depth"}, {"mag", "Magnitude"}};
  } else if (name == "jma") {
    s.depth_negative = true;
    s.columns = {{"date", "date"}, {"time", "time"}, {"lat", "lat"}, {"lon", "long"},
                 {"depth", "depth"}, {"mag", "mag"}};
  } else if (name == "noaa") {
    s.sep = '\t';
    s.columns = {{"year", "Year"}, {"month", "Mo"}, {"day", "Dy"}, {"hour", "Hr"},
                 {"minute", "Mn"}, {"second", "Sec"}, {"lat", "Latitude"}, {"lon", "Longitude"},
                 {"depth", "Focal Depth (km)"}, {"mag", "Mag"}, {"type", "Location Name"}};
  } else if (name == "ghec") {
    s.sep = '\t';
    s.header = false;
    s.columns = {{"year", "#3"}, {"month", "#4"}, {"day", "#5"}, {"hour", "#6"}, {"minute", "#7"},
                 {"second", "#8"}, {"lat", "#10"}, {"lon", "#11"}, {"depth", "#15"}, {"mag", "#18"},
                 {"type", "#20"}};
  } else if (name == "emca") {
    s.columns = {{"year", "year"}, {"month", "month"}, {"day", "day"}, {"hour", "hour"},
                 {"minute", "min"}, {"second", "sec"}, {"lat", "lat"}, {"lon", "lon"},
                 {"depth", "fdepth"}, {"mag", "mlh"}};
  } else if (name == "fdsn") {  // the FDSN event service's text format
    s.sep = '|';
    s.comment.assign(1, '#');
    s.header_in_comment = true;
    s.columns = {{"datetime", "Time"}, {"lat", "Latitude"}, {"lon", "Longitude"},
                 {"depth", "Depth/km"}, {"mag", "Magnitude"}};
  } else if (name == "export") {
    s.columns = {{"datetime", "time"}, {"lat", "latitude"}, {"lon", "longitude"}, {"depth", "depth"},
                 {"mag", "mag"}};
  } else {
    return false;
  }
  return true;
}

bool parse_columns(const std::string& list, TableSpec& layout) {
  for (const auto& pair : split_fields(list, ',')) {
    const size_t eq = pair.find('=');
    if (eq == std::string::npos || eq == 0 || eq + 1 == pair.size()) return false;
    const std::string key = trim(pair.substr(0, eq));
    if (std::none_of(std::begin(column_keys), std::end(column_keys), [&](const ColumnKey& k) { return key == k.key; }))
      return false;
    layout.columns[key] = trim(pair.substr(eq + 1));
  }
  return !layout.columns.empty();
}

namespace {

// Column key -> field index, resolved once the header is known; "" holds
// the number of fields a whole row has.
using ColumnIndex = std::map<std::string, size_t>;

ColumnIndex resolve(const TableSpec& layout, const std::vector<std::string>& header) {
  ColumnIndex idx;
  for (const auto& [key, col] : layout.columns) {
    if (col.size() > 1 && col[0] == '#') {
      idx[key] = static_cast<size_t>(std::atoi(col.c_str() + 1) - 1);
      continue;
    }
    size_t i = 0;
    while (i < header.size() && header[i] != col) ++i;
    if (i == header.size()) throw std::runtime_error("column '" + col + "' not in the header");
    idx[key] = i;
  }
  size_t width = header.size();
  for (const auto& kv : idx) width = std::max(width, kv.second + 1);
  idx[""] = width;
  const bool has_time = idx.count("datetime") || idx.count("date") || idx.count("year");
  if (!has_time || !idx.count("lat") || !idx.count("lon"))
    throw std::runtime_error("columns must give a date, lat and lon");
  return idx;
}

struct Fields {
  const std::vector<std::string>& f;
  const ColumnIndex& idx;
  // Empty when the column is not mapped or the row is too short.
  std::string get(const char* key) const {
    auto it = idx.find(key);
    return it == idx.end() || it->second >= f.size() ? "" : f[it->second];
  }
  bool has(const char* key) const { return idx.count(key) > 0; }
};

// A blank date or time part means unknown and reads as 0.
bool part(const Fields& r, const char* key, int& v) {
  const std::string s = r.get(key);
  if (is_blank_value(s)) { v = 0; return true; }
  return whole(s, v);
}

std::optional<std::string> read_time(const Fields& r, Event& ev) {
  if (r.has("datetime")) {
    if (!parse_datetime(r.get("datetime"), ev)) return "unreadable date and time";
    return std::nullopt;
  }
  if (r.has("date")) {
    const std::string t = r.has("time") ? r.get("time") : "";
    if (!parse_datetime(r.get("date") + (t.empty() ? "" : " " + t), ev)) return "unreadable date or time";
    return std::nullopt;
  }
  if (is_blank_value(r.get("year")) || !part(r, "year", ev.year)) return "no year";
  if (!part(r, "month", ev.month) || !part(r, "day", ev.day) || !part(r, "hour", ev.hour) ||
      !part(r, "minute", ev.minute))
    return "unreadable date or time";
  const std::string sec = r.get("second");
  const auto s = number(sec);
  if (!is_blank_value(sec) && !s) return "unreadable second";
  ev.second = s.value_or(0);
  return std::nullopt;
}

std::optional<std::string> read_value(const Fields& r, const char* key, std::optional<double>& v) {
  const std::string s = r.get(key);
  v = number(s);
  if (!v && !is_blank_value(s)) return std::string("unreadable ") + key;
  return std::nullopt;
}

std::optional<std::string> read_row(const Fields& r, const TableSpec& layout, Event& ev) {
  if (auto err = read_time(r, ev)) return err;
  std::optional<double> lat, lon;
  if (auto err = read_value(r, "lat", lat)) return err;
  if (auto err = read_value(r, "lon", lon)) return err;
  if (!lat || !lon) return "no coordinates";
  ev.lat = *lat;
  ev.lon = *lon;
  if (auto err = read_value(r, "depth", ev.depth)) return err;
  if (ev.depth && layout.depth_negative) *ev.depth = -*ev.depth;
  return read_value(r, "mag", ev.mag);
}

// Empty wants anything; a final '*' makes the rest a prefix.
bool type_matches(const std::string& want, const std::string& type) {
  if (want.empty()) return true;
  if (want.back() == '*') return type.rfind(want.substr(0, want.size() - 1), 0) == 0;
  return type == want;
}

std::string strip_line(std::string line) {
  if (line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace

ReadResult read_table(std::istream& in, const std::string& file, const TableSpec& layout) {
  ReadResult res;
  std::string line, last_comment;
  std::optional<ColumnIndex> idx;
  if (!layout.header) idx = resolve(layout, {});
  for (int no = 1; std::getline(in, line); ++no) {
    line = strip_line(line);
    if (no <= layout.skip) continue;
    if (!layout.comment.empty() && line.rfind(layout.comment, 0) == 0) {
      last_comment = line.substr(layout.comment.size());
      continue;
    }
    if (trim(line).empty()) { ++res.skipped["blank line"]; continue; }
    if (!idx && !layout.header_in_comment) { idx = resolve(layout, split_fields(line, layout.sep)); continue; }
    if (!idx) idx = resolve(layout, split_fields(last_comment, layout.sep));
    const auto fields = split_fields(line, layout.sep);
    if (fields.size() < idx->at("")) {
      res.problems.push_back({file, no, "row cut short: " + std::to_string(fields.size()) + " of " +
                                            std::to_string(idx->at("")) + " fields"});
      continue;
    }
    const Fields r{fields, *idx};
    if (!type_matches(layout.only_type, r.get("type"))) { ++res.skipped["type not " + layout.only_type]; continue; }
    Row row{no, {}, r.get("evtype")};
    if (auto err = read_row(r, layout, row.ev)) res.problems.push_back({file, no, *err});
    else res.rows.push_back(row);
  }
  return res;
}

namespace {

std::string cut(const std::string& s, size_t a, size_t b) {
  return a >= s.size() ? "" : trim(s.substr(a, b - a));
}

std::optional<std::string> centennial_row(const std::string& l, Event& ev) {
  int v[5];
  const size_t at[6] = {12, 16, 19, 23, 26, 29};
  for (int i = 0; i < 5; ++i)
    if (!whole(cut(l, at[i], at[i + 1] - (i == 2 ? 1 : 0)), v[i])) return "unreadable date or time";
  ev.year = v[0]; ev.month = v[1]; ev.day = v[2]; ev.hour = v[3]; ev.minute = v[4];
  const auto sec = number(cut(l, 29, 35)), lat = number(cut(l, 36, 44)), lon = number(cut(l, 44, 52));
  if (!sec || !lat || !lon) return "unreadable second or coordinates";
  ev.second = *sec; ev.lat = *lat; ev.lon = *lon;
  ev.depth = number(cut(l, 52, 58));
  ev.mag = number(cut(l, 66, 70));
  if (ev.mag && *ev.mag == 0) ev.mag.reset();  // 0.0 fills an empty magnitude slot
  return std::nullopt;
}

}  // namespace

ReadResult read_centennial(std::istream& in, const std::string& file) {
  ReadResult res;
  std::string line;
  for (int no = 1; std::getline(in, line); ++no) {
    line = strip_line(line);
    if (trim(line).empty()) { ++res.skipped["blank line"]; continue; }
    Row row{no, {}, {}};
    if (auto err = centennial_row(line, row.ev)) res.problems.push_back({file, no, *err});
    else res.rows.push_back(row);
  }
  return res;
}

}  // namespace tdata
