// Catalogue readers: delimited tables with named or numbered columns,
// the USGS Centennial fixed-width layout, USGS GeoJSON and QuakeML.
#pragma once
#include <istream>
#include <map>
#include <string>
#include <vector>

#include "record.h"

namespace tdata {

struct Row {
  int line = 0;  // 1-based line (or feature/event number for JSON and XML)
  Event ev;
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

// Layout of a delimited table. Column keys: datetime, date, time, year,
// month, day, hour, minute, second, lat, lon, depth, mag, type. A column is
// named by its header text, or by "#n" (1-based) when there is no header.
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

// Built-in layouts: isc-gem, ncedc, jma, noaa, ghec, emca, fdsn, export. The type
// column is the location name for noaa and the magnitude type for ghec.
bool table_preset(const std::string& name, TableSpec& layout);
// Adds "key=Column,key=#3" pairs to layout.columns; false on a malformed list.
bool parse_columns(const std::string& list, TableSpec& layout);

ReadResult read_table(std::istream& in, const std::string& file, const TableSpec& layout);
ReadResult read_centennial(std::istream& in, const std::string& file);
// Keeps features whose "type" is only_type (all when empty).
ReadResult read_geojson(std::istream& in, const std::string& file, const std::string& only_type);
ReadResult read_quakeml(std::istream& in, const std::string& file);

// Field helpers shared by the readers.
std::string trim(const std::string& s);
std::vector<std::string> split_fields(const std::string& line, char sep);
// Parses "YYYY-MM-DD hh:mm:ss.s" and its variants ("/" or "T", a final "Z").
bool parse_datetime(const std::string& s, Event& ev);

}  // namespace tdata
