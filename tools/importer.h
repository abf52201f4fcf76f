// import: catalogue rows -> yearly dataset files of one source, or one
// single-file catalogue, with every unreadable row and duplicate reported.
#pragma once
#include <climits>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "box.h"
#include "readers.h"
#include "record.h"

namespace tdata {

struct Input {
  std::string format;  // a table preset, "columns", "centennial", "geojson" or "quakeml"
  std::string path;    // ".xz" files are unpacked on the way
  TableSpec layout;    // used by "columns"
  Input(std::string f, std::string p, TableSpec s = {})
      : format(std::move(f)), path(std::move(p)), layout(std::move(s)) {}
};

struct ImportOptions {
  std::string source;              // yearly files of this source name
  std::string single;              // or one file such as "VELA.B"
  int split_year = 0;              // single: records from this year on go to the "2" file
  int from = INT_MIN, to = INT_MAX;
  bool fill_years = false;         // empty files for every year from..to, not only first..last
  std::optional<Box> box;
  ZeroMag zero = ZeroMag::tenth;
  std::string only_type;           // tables: keep rows whose "type" column is this
  std::vector<std::string> types = {"earthquake"};  // event types kept; empty: all
  std::string outdir = ".";
  double merge_km = 150;           // inputs after the first: same day and this close = duplicate
};

// One encoded event and where it came from.
struct Item {
  Record rec;
  int input = 0;
  int line = 0;
};

struct ImportReport {
  std::vector<Problem> problems;       // unreadable or unstorable rows
  std::vector<std::string> duplicates; // within the source, kept but reported
  std::map<std::string, int> counts;   // skipped rows and encoding notes, by reason
  std::map<std::string, int> by_type;  // left out by event type
  std::vector<std::string> warnings;   // about the files written
  size_t read = 0;                     // data rows seen, readable or not
  std::vector<std::string> files;      // written, lower case
  size_t events = 0;
  std::string first, last;             // dates of the first and last event
};

ImportReport run_import(const std::vector<Input>& inputs, const ImportOptions& opt);
void print_report(std::ostream& out, const ImportReport& rep);

// Pieces of run_import, exposed for the tests.
ReadResult read_input(const Input& in);
std::vector<Item> merge_inputs(std::vector<std::vector<Item>> per_input, double km,
                               const std::vector<std::string>& names, ImportReport& rep);
void report_duplicates(const std::vector<Item>& sorted, const std::vector<std::string>& names,
                       ImportReport& rep);

}  // namespace tdata
