// import and export on the command line.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <stdexcept>

#include "commands.h"
#include "dataset.h"
#include "exporter.h"
#include "importer.h"

namespace tdata {

Box parse_box(const std::string& s) {
  Box b;
  if (std::sscanf(s.c_str(), "%lf/%lf/%lf/%lf", &b.west, &b.east, &b.south, &b.north) != 4)
    throw std::runtime_error("a box is W/E/S/N, not " + s);
  return b;
}

bool Args::flag(const std::string& name) const { return std::find(a_.begin(), a_.end(), name) != a_.end(); }

std::string Args::value(const std::string& name, const std::string& def) const {
  for (size_t i = 0; i + 1 < a_.size(); ++i)
    if (a_[i] == name) return a_[i + 1];
  return def;
}

int Args::number(const std::string& name, int def) const {
  const std::string v = value(name);
  if (v.empty()) return def;
  char* end = nullptr;
  const long n = std::strtol(v.c_str(), &end, 10);
  if (*end) throw std::runtime_error(name + " wants a number, not " + v);
  return static_cast<int>(n);
}

std::vector<std::string> Args::positional(const std::vector<std::string>& flags) const {
  std::vector<std::string> out;
  for (size_t i = 0; i < a_.size(); ++i) {
    if (a_[i].rfind("--", 0) != 0) out.push_back(a_[i]);
    else if (std::find(flags.begin(), flags.end(), a_[i]) == flags.end()) ++i;
  }
  return out;
}

void Args::check(const std::vector<std::string>& flags, const std::vector<std::string>& values) const {
  auto in = [](const std::vector<std::string>& v, const std::string& s) { return std::find(v.begin(), v.end(), s) != v.end(); };
  for (size_t i = 0; i < a_.size(); ++i) {
    if (a_[i].rfind("--", 0) != 0 || in(flags, a_[i])) continue;
    if (!in(values, a_[i])) throw Usage("unknown option " + a_[i]);
    if (++i == a_.size()) throw Usage(a_[i - 1] + " wants a value");
  }
}

const std::vector<std::string> import_flags = {"--fill-years", "--no-header", "--depth-negative", "--skip-bad"};
const std::vector<std::string> import_values = {"--source", "--single", "--split-year", "--from", "--to", "--box",
                                                "--zero-mag", "--type", "--types", "--merge-km", "--out",
                                                "--columns", "--sep", "--comment"};
const std::vector<std::string> export_values = {"--dir", "--source", "--from", "--to", "--file", "--out", "--format"};

namespace {

std::vector<std::string> split_list(const std::string& s) {
  std::vector<std::string> out;
  for (size_t a = 0; a <= s.size();) {
    const size_t b = std::min(s.find(',', a), s.size());
    if (b > a) out.push_back(s.substr(a, b - a));
    a = b + 1;
  }
  return out;
}

TableSpec column_spec(const Args& a) {
  TableSpec layout;
  if (!parse_columns(a.value("--columns"), layout)) throw Usage("--columns wants key=Column,... with keys " + column_key_list());
  const std::string sep = a.value("--sep", ",");
  layout.sep = sep == "tab" || sep == "\\t" ? '\t' : sep[0];
  layout.header = !a.flag("--no-header");
  layout.comment = a.value("--comment");
  layout.depth_negative = a.flag("--depth-negative");
  return layout;
}

ImportOptions import_options(const Args& a) {
  ImportOptions o;
  o.source = a.value("--source");
  o.single = a.value("--single");
  if (o.source.empty() == o.single.empty()) throw Usage("give --source or --single");
  o.split_year = a.number("--split-year", 0);
  o.from = a.number("--from", INT_MIN);
  o.to = a.number("--to", INT_MAX);
  o.fill_years = a.flag("--fill-years");
  if (!a.value("--box").empty()) o.box = parse_box(a.value("--box"));
  const std::string zm = a.value("--zero-mag", "tenth");
  if (zm != "tenth" && zm != "unknown") throw std::runtime_error("--zero-mag is tenth or unknown");
  o.zero = zm == "tenth" ? ZeroMag::tenth : ZeroMag::unknown;
  o.only_type = a.value("--type");
  // "all" keeps every event type.
  o.types = split_list(a.value("--types", "earthquake"));
  if (o.types.size() == 1 && o.types[0] == "all") o.types.clear();
  o.merge_km = a.number("--merge-km", 150);
  o.outdir = a.value("--out", ".");
  return o;
}

}  // namespace

int cmd_import(const Args& a) {
  a.check(import_flags, import_values);
  const ImportOptions opt = import_options(a);
  std::vector<Input> inputs;
  for (const std::string& p : a.positional(import_flags)) {
    const size_t colon = p.find(':');
    if (colon == std::string::npos) throw Usage("inputs are FORMAT:PATH, not " + p);
    // FORMAT@TYPE:PATH keeps only rows of that type from this input.
    const std::string fmt = p.substr(0, colon);
    const size_t at = fmt.find('@');
    Input in(fmt.substr(0, at), p.substr(colon + 1));
    if (in.format == "columns") in.layout = column_spec(a);
    in.layout.only_type = at == std::string::npos ? opt.only_type : fmt.substr(at + 1);
    inputs.push_back(in);
  }
  if (inputs.empty()) throw Usage("no input");
  const ImportReport rep = run_import(inputs, opt);
  print_report(std::cout, rep);
  if (rep.problems.empty() || a.flag("--skip-bad")) return 0;
  std::cerr << "tarnwell-data import: " << rep.problems.size()
            << " rows unreadable (listed above); --skip-bad accepts the import without them\n";
  return 1;
}

int cmd_export(const Args& a) {
  a.check({}, export_values);
  ExportFormat fmt;
  if (!export_format(a.value("--format", "csv"), fmt)) throw Usage("--format is csv, fdsn, quakeml or geojson");
  const std::string dir = a.value("--dir", "."), file_name = a.value("--file");
  // A single file is named for its source without the extension: VELA.B is VELA.
  const std::string source = file_name.empty() ? a.value("--source") : file_name.substr(0, file_name.find('.'));
  if (source.empty()) throw Usage("give --source or --file");
  std::vector<Record> recs;
  std::string err;
  const bool ok = file_name.empty()
      ? source_records(dir, source, a.number("--from", 1900), a.number("--to", 2099), recs, err)
      : read_chain(dir, file_name, recs, err);
  if (!ok) throw std::runtime_error(err);
  const std::string out_path = a.value("--out");
  std::ofstream file;
  if (!out_path.empty()) file.open(out_path);
  if (!out_path.empty() && !file) throw std::runtime_error("cannot write " + out_path);
  const size_t undated = write_export(out_path.empty() ? std::cout : file, fmt, source, recs);
  if (undated)
    std::cerr << "tarnwell-data export: " << undated
              << " events with an unknown month or day left out (the format cannot hold them)\n";
  return 0;
}

}  // namespace tdata
