#include "importer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <lzma.h>
#include <memory>
#include <sstream>
#include <stdexcept>

#include "dataset.h"

namespace tdata {

namespace {

// The whole of an .xz file, unpacked by liblzma (no shell sees the name).
std::string unxz(std::istream& in, const std::string& path) {
  lzma_stream z = LZMA_STREAM_INIT;
  if (lzma_stream_decoder(&z, UINT64_MAX, LZMA_CONCATENATED) != LZMA_OK)
    throw std::runtime_error("cannot unpack " + path);
  std::string text;
  char inbuf[1 << 16], outbuf[1 << 16];
  lzma_ret r = LZMA_OK;
  while (r == LZMA_OK) {
    if (z.avail_in == 0 && in) {
      in.read(inbuf, sizeof inbuf);
      z.next_in = reinterpret_cast<const uint8_t*>(inbuf);
      z.avail_in = static_cast<size_t>(in.gcount());
    }
    z.next_out = reinterpret_cast<uint8_t*>(outbuf);
    z.avail_out = sizeof outbuf;
    r = lzma_code(&z, in || z.avail_in ? LZMA_RUN : LZMA_FINISH);
    text.append(outbuf, sizeof outbuf - z.avail_out);
  }
  lzma_end(&z);
  if (r != LZMA_STREAM_END) throw std::runtime_error(path + ": not a whole .xz file");
  return text;
}

std::unique_ptr<std::istream> open_input(const std::string& path) {
  auto f = std::make_unique<std::ifstream>(path, std::ios::binary);
  if (!*f) throw std::runtime_error("cannot open " + path);
  if (path.size() < 3 || path.compare(path.size() - 3, 3, ".xz") != 0) return f;
  return std::make_unique<std::istringstream>(unxz(*f, path));
}

std::string date_text(const Record& r) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", record_year(r), r[1], r[2]);
  return buf;
}

void count_notes(const EncodeNotes& n, ImportOptions const& opt, ImportReport& rep) {
  if (n.zero_mag) ++rep.counts[opt.zero == ZeroMag::tenth ? "magnitude rounding to 0.0 stored as +-0.1"
                                                          : "magnitude rounding to 0.0 stored as +-0.1, or unknown when exactly 0"];
  if (n.depth_dropped) ++rep.counts["depth not stored (year outside 1800-2054)"];
  if (n.depth_clamped) ++rep.counts["depth above the surface stored as 0.0"];
  if (n.second_clamped) ++rep.counts["second 59.95 or more stored as 59.9 (unknown date)"];
}

bool in_box(const Event& ev, const Box& b) {
  if (ev.lat < b.south || ev.lat > b.north) return false;
  return b.west <= b.east ? ev.lon >= b.west && ev.lon <= b.east : ev.lon >= b.west || ev.lon <= b.east;
}

bool type_wanted(const std::string& type, const ImportOptions& opt) {
  return type.empty() || opt.types.empty() || std::find(opt.types.begin(), opt.types.end(), type) != opt.types.end();
}

// Encodes and filters the rows of one input.
std::vector<Item> encode_rows(const ReadResult& rr, int input, const std::string& file,
                              const ImportOptions& opt, ImportReport& rep) {
  std::vector<Item> items;
  for (const Row& row : rr.rows) {
    if (!type_wanted(row.type, opt)) { ++rep.by_type[row.type]; continue; }
    if (row.ev.year < opt.from || row.ev.year > opt.to) { ++rep.counts["outside the years asked for"]; continue; }
    if (opt.box && !in_box(row.ev, *opt.box)) { ++rep.counts["outside the area asked for"]; continue; }
    Item it{{}, input, row.line};
    EncodeNotes notes;
    if (auto err = encode(row.ev, opt.zero, it.rec, notes)) {
      rep.problems.push_back({file, row.line, *err});
      continue;
    }
    count_notes(notes, opt, rep);
    items.push_back(it);
  }
  return items;
}

double distance_km(const Record& a, const Record& b) {
  const Event x = decode(a), y = decode(b);
  const double r = M_PI / 180, p1 = x.lat * r, p2 = y.lat * r;
  const double c = std::sin(p1) * std::sin(p2) + std::cos(p1) * std::cos(p2) * std::cos((x.lon - y.lon) * r);
  return 6371.0 * std::acos(std::clamp(c, -1.0, 1.0));
}

// Day number for matching; unknown months and days never match a neighbour day.
int64_t match_day(const Record& r) {
  if (r[1] == 0 || r[2] == 0) return INT64_MIN;
  return days_from_civil(record_year(r), r[1], r[2]);
}

bool same_event(const Record& a, const Record& b, double km) {
  const int64_t da = match_day(a), db = match_day(b);
  const bool close_in_time = da == INT64_MIN || db == INT64_MIN
      ? record_year(a) == record_year(b) && a[1] == b[1] && a[2] == b[2]
      : std::llabs(da - db) <= 1;
  return close_in_time && distance_km(a, b) <= km;
}

void leave_out_early(std::vector<Item>& items, ImportReport& rep);
void write_yearly(std::vector<Item>& items, const ImportOptions& opt, ImportReport& rep);
void write_single(std::vector<Item>& items, const ImportOptions& opt, ImportReport& rep);

}  // namespace

ReadResult read_input(const Input& in) {
  auto stream = open_input(in.path);
  if (in.format == "centennial") return read_centennial(*stream, in.path);
  if (in.format == "geojson") return read_geojson(*stream, in.path);
  if (in.format == "quakeml") return read_quakeml(*stream, in.path);
  TableSpec layout = in.layout;
  if (in.format != "columns" && !table_preset(in.format, layout))
    throw std::runtime_error("unknown input format " + in.format);
  layout.only_type = in.layout.only_type;
  return read_table(*stream, in.path, layout);
}

std::vector<Item> merge_inputs(std::vector<std::vector<Item>> per_input, double km,
                               const std::vector<std::string>& names, ImportReport& rep) {
  std::vector<Item> kept;
  for (auto& items : per_input) {
    const size_t before = kept.size();
    for (const Item& it : items) {
      auto dup = std::find_if(kept.begin(), kept.begin() + static_cast<ptrdiff_t>(before),
                              [&](const Item& k) { return same_event(k.rec, it.rec, km); });
      if (dup == kept.begin() + static_cast<ptrdiff_t>(before)) { kept.push_back(it); continue; }
      ++rep.counts["same event in an earlier input, left out"];
      rep.duplicates.push_back(names[it.input] + ":" + std::to_string(it.line) + " is " +
                               names[dup->input] + ":" + std::to_string(dup->line) + ", left out");
    }
  }
  return kept;
}

void report_duplicates(const std::vector<Item>& sorted, const std::vector<std::string>& names,
                       ImportReport& rep) {
  for (size_t i = 1; i < sorted.size(); ++i) {
    const Record &a = sorted[i - 1].rec, &b = sorted[i].rec;
    if (!std::equal(a.begin(), a.begin() + 13, b.begin())) continue;
    ++rep.counts["duplicate time and place within the source, kept"];
    rep.duplicates.push_back(names[sorted[i].input] + ":" + std::to_string(sorted[i].line) + " repeats " +
                             names[sorted[i - 1].input] + ":" + std::to_string(sorted[i - 1].line));
  }
}

ImportReport run_import(const std::vector<Input>& inputs, const ImportOptions& opt) {
  ImportReport rep;
  std::vector<std::vector<Item>> per_input;
  std::vector<std::string> names;
  for (size_t i = 0; i < inputs.size(); ++i) {
    names.push_back(inputs[i].path);
    ReadResult rr = read_input(inputs[i]);
    rep.read += rr.rows.size() + rr.problems.size();
    for (auto& [why, n] : rr.skipped) rep.counts[why] += n;
    rep.problems.insert(rep.problems.end(), rr.problems.begin(), rr.problems.end());
    per_input.push_back(encode_rows(rr, static_cast<int>(i), inputs[i].path, opt, rep));
  }
  std::stable_sort(rep.problems.begin(), rep.problems.end(),
                   [](const Problem& a, const Problem& b) { return a.file == b.file && a.line < b.line; });
  std::vector<Item> items = per_input.size() == 1 ? std::move(per_input[0])
                                                  : merge_inputs(std::move(per_input), opt.merge_km, names, rep);
  std::stable_sort(items.begin(), items.end(),
                   [](const Item& a, const Item& b) { return time_key(a.rec) < time_key(b.rec); });
  if (opt.single.empty()) leave_out_early(items, rep);
  report_duplicates(items, names, rep);
  rep.events = items.size();
  if (!items.empty()) { rep.first = date_text(items.front().rec); rep.last = date_text(items.back().rec); }
  std::filesystem::create_directories(opt.outdir);
  if (opt.single.empty()) write_yearly(items, opt, rep);
  else write_single(items, opt, rep);
  return rep;
}

namespace {

// Yearly files have names for 1900-2099 only, and the viewer reads yearly
// sources from 1926 on.
void leave_out_early(std::vector<Item>& items, ImportReport& rep) {
  const auto unnamed = std::remove_if(items.begin(), items.end(), [](const Item& it) {
    return record_year(it.rec) < 1900 || record_year(it.rec) > 2099;
  });
  const size_t n_unnamed = static_cast<size_t>(items.end() - unnamed);
  items.erase(unnamed, items.end());
  if (n_unnamed) rep.counts["outside 1900-2099, no yearly file name: left out"] += static_cast<int>(n_unnamed);
  const auto unread = std::count_if(items.begin(), items.end(), [](const Item& it) { return record_year(it.rec) < 1926; });
  if (unread)
    rep.warnings.push_back(std::to_string(unread) + " events before 1926: yearly sources start at 1926, "
                           "so the viewer never reads them; give --from 1926 to leave them out, or import "
                           "them with --single NAME.B into a historical file");
}

void write_yearly(std::vector<Item>& items, const ImportOptions& opt, ImportReport& rep) {
  std::map<int, std::vector<Record>> years;
  for (const Item& it : items) years[record_year(it.rec)].push_back(it.rec);
  // The viewer stops at a missing year, so every year between is written.
  int first = years.empty() ? 0 : years.begin()->first, last = years.empty() ? -1 : years.rbegin()->first;
  if (opt.fill_years && opt.from != INT_MIN && opt.to != INT_MAX) {
    first = years.empty() ? opt.from : std::min(first, opt.from);
    last = std::max(last, opt.to);
  }
  for (int y = std::max(first, 1900); y <= std::min(last, 2099); ++y) years[y];
  for (const auto& [y, recs] : years) {
    auto names = write_parts(opt.outdir, year_file_name(opt.source, y), recs);
    rep.files.insert(rep.files.end(), names.begin(), names.end());
  }
}

void write_single(std::vector<Item>& items, const ImportOptions& opt, ImportReport& rep) {
  std::vector<Record> first, second;
  for (const Item& it : items)
    (opt.split_year && record_year(it.rec) >= opt.split_year ? second : first).push_back(it.rec);
  const std::string name = lower(opt.single);
  if (!opt.split_year) {
    write_file(opt.outdir + "/" + name, make_image(first, 0xFF, 0xFF, 1));
    rep.files.push_back(name);
    return;
  }
  write_file(opt.outdir + "/" + name, make_image(first, 0xFE, 0xFF, 1));
  write_file(opt.outdir + "/" + name + "2", make_image(second, 0xFF, 0xFF, 2));
  rep.files.push_back(name);
  rep.files.push_back(name + "2");
}

}  // namespace

void print_report(std::ostream& out, const ImportReport& rep) {
  for (const Problem& p : rep.problems) out << p.file << ":" << p.line << ": " << p.what << "\n";
  for (const std::string& d : rep.duplicates) out << "duplicate: " << d << "\n";
  for (const auto& [why, n] : rep.counts) out << n << " " << why << "\n";
  for (const std::string& w : rep.warnings) out << "warning: " << w << "\n";
  out << rep.events << " events";
  if (rep.events) out << " from " << rep.first << " to " << rep.last;
  out << " in " << rep.files.size() << " files\n";
  int by_type = 0;
  std::string types;
  for (const auto& [t, n] : rep.by_type) {
    by_type += n;
    types += (types.empty() ? " (" : ", ") + t + " " + std::to_string(n);
  }
  out << rep.read << " read, " << rep.events << " written, " << by_type << " left out by type"
      << (types.empty() ? "" : types + ")") << ", " << rep.problems.size() << " unreadable\n";
}

}  // namespace tdata
