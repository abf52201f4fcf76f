// import and export on the command line.
#include <algorithm>
#include <climits>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <stdexcept>

#include "commands.h"
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

namespace {

TableSpec column_spec(const Args& a) {
  TableSpec layout;
  if (!parse_columns(a.value("--columns"), layout)) throw std::runtime_error("--columns wants key=Column,...");
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
  if (o.source.empty() == o.single.empty()) throw std::runtime_error("give --source or --single");
  o.split_year = a.number("--split-year", 0);
  o.from = a.number("--from", INT_MIN);
  o.to = a.number("--to", INT_MAX);
  o.fill_years = a.flag("--fill-years");
  if (!a.value("--box").empty()) o.box = parse_box(a.value("--box"));
  const std::string zm = a.value("--zero-mag", "tenth");
  if (zm != "tenth" && zm != "unknown") throw std::runtime_error("--zero-mag is tenth or unknown");
  o.zero = zm == "tenth" ? ZeroMag::tenth : ZeroMag::unknown;
  o.only_type = a.value("--type");
  o.merge_km = a.number("--merge-km", 150);
  o.outdir = a.value("--out", ".");
  return o;
}

}  // namespace

int cmd_import(const Args& a) {
  const ImportOptions opt = import_options(a);
  std::vector<Input> inputs;
  for (const std::string& p : a.positional({"--fill-years", "--no-header", "--depth-negative"})) {
    const size_t colon = p.find(':');
    if (colon == std::string::npos) throw std::runtime_error("inputs are FORMAT:PATH, not " + p);
    // FORMAT@TYPE:PATH keeps only rows of that type from this input.
    const std::string fmt = p.substr(0, colon);
    const size_t at = fmt.find('@');
    Input in(fmt.substr(0, at), p.substr(colon + 1));
    if (in.format == "columns") in.layout = column_spec(a);
    in.layout.only_type = at == std::string::npos ? opt.only_type : fmt.substr(at + 1);
    inputs.push_back(in);
  }
  if (inputs.empty()) throw std::runtime_error("no input");
  const ImportReport rep = run_import(inputs, opt);
  print_report(std::cout, rep);
  return 0;
}

int cmd_export(const Args& a) {
  const std::string dir = a.value("--dir", "."), out_path = a.value("--out");
  std::ofstream file;
  if (!out_path.empty()) file.open(out_path);
  std::ostream& out = out_path.empty() ? std::cout : file;
  std::string err;
  const bool ok = a.value("--file").empty()
      ? export_source(dir, a.value("--source"), a.number("--from", 1900), a.number("--to", 2099), out, err)
      : export_file(dir, a.value("--file"), out, err);
  if (!ok) std::cerr << "tarnwell-data export: " << err << "\n";
  return ok ? 0 : 1;
}

}  // namespace tdata
