// Catalogue readers: delimited tables with named or numbered columns,
// the USGS Centennial fixed-width layout, USGS GeoJSON and QuakeML.
#pragma once
#include <istream>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "record.h"

namespace tdata {

struct Row {
  int line = 0;      // 1-based line (or feature number for GeoJSON)
  Event ev;
  std::string type;  // event type as the catalogue names it, empty when not given
};

struct Problem {
  std::string file;
  int line = 0;
  std::string what;
};

struct ReadResult {
  std::vector<Row> rows;
  std::vector<Problem> problems;            // rows that could not be read
  std::map<std::string, int> skipped;       // rows left out on purpose, by reason
};

// The keys of --columns and what each names.
struct ColumnKey {
  const char* key;
  const char* what;
};
constexpr ColumnKey column_keys[] = {
    {"datetime", "date and time in one (ISO 8601 or YYYY/MM/DD hh:mm:ss)"},
    {"date", "date, with time the time of day"},
    {"time", "time of day"},
    {"year", "year, with month day hour minute second as separate columns"},
    {"month", ""}, {"day", ""}, {"hour", ""}, {"minute", ""}, {"second", ""},
    {"lat", "latitude, degrees north"},
    {"lon", "longitude, degrees east (-180..360)"},
    {"depth", "depth, km"},
    {"mag", "magnitude"},
    {"evtype", "event type (earthquake, quarry blast, ...), filtered by --types"},
    {"type", "any text column that FORMAT@TEXT and --type select on"},
};
// The keys as one line, for messages: "datetime, date, ...".
std::string column_key_list();

// Layout of a delimited table, keyed as in column_keys. A column is named
// by its header text, or by "#n" (1-based) when there is no header.
struct TableSpec {
  char sep = ',';
  std::string comment;            // lines starting with it are not data
  bool header_in_comment = false; // the last comment line before the data is the header
  bool header = true;             // else columns are "#n"
  int skip = 0;                   // lines to ignore before anything else
  bool depth_negative = false;    // depth written as -km
  std::string only_type;          // keep rows whose type column equals this ("X*": starts with X)
  std::map<std::string, std::string> columns;
};

// Built-in layouts: comcat, isc-gem, ncedc, jma, noaa, ghec, emca, fdsn, export. The type
// column is the location name for noaa and the magnitude type for ghec.
bool table_preset(const std::string& name, TableSpec& layout);
// Adds "key=Column,key=#3" pairs to layout.columns; false on a malformed
// list or an unknown key.
bool parse_columns(const std::string& list, TableSpec& layout);

ReadResult read_table(std::istream& in, const std::string& file, const TableSpec& layout);
ReadResult read_centennial(std::istream& in, const std::string& file);
ReadResult read_geojson(std::istream& in, const std::string& file);
ReadResult read_quakeml(std::istream& in, const std::string& file);

// Field helpers shared by the readers.
std::string trim(const std::string& s);
std::vector<std::string> split_fields(const std::string& line, char sep);
// Parses "YYYY-MM-DD[Thh:mm[:ss[.s...]]][Z|+hh:mm|-hh:mm]" ("/" for "-" and
// " " for "T" too); an offset is taken off, so ev is in UTC.
bool parse_datetime(const std::string& s, Event& ev);
// A whole decimal number and nothing else: no hex, no "inf", no NUL.
std::optional<double> parse_number(const std::string& s);
// Deepest nesting the GeoJSON and QuakeML readers accept.
constexpr int max_depth = 64;

}  // namespace tdata
