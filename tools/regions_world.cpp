// World region tables from the Flinn-Engdahl files.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "record.h"
#include "regions.h"

namespace tdata {

namespace {

std::vector<int> numbers(const std::string& path) {
  std::ifstream f(path);
  if (!f) throw std::runtime_error("cannot open " + path);
  std::vector<int> v;
  for (int x; f >> x;) v.push_back(x);
  return v;
}

using Pairs = std::vector<std::pair<int, int>>;  // start |lon|, region

// Rows 0..90 of one quadrant: the pairs of each row.
std::vector<Pairs> quadrant(const std::string& dir, const char* q, const std::vector<int>& counts, int qi) {
  const auto nums = numbers(dir + "/" + q + "sect.asc");
  std::vector<Pairs> rows(91);
  size_t at = 0;
  for (int r = 0; r < 91; ++r)
    for (int k = 0; k < counts[qi * 91 + r]; ++k, at += 2) {
      if (at + 1 >= nums.size()) throw std::runtime_error(std::string(q) + "sect.asc is short");
      rows[r].push_back({nums[at], nums[at + 1]});
    }
  return rows;
}

int region_at(const Pairs& row, int a) {
  int reg = 0;
  for (auto [start, r] : row)
    if (start <= a) reg = r;
  return reg;
}

}  // namespace

FeTables load_fe(const std::string& dir) {
  FeTables fe;
  std::ifstream nf(dir + "/names.asc");
  for (std::string l; std::getline(nf, l);) fe.names.push_back(l.substr(0, l.find_last_not_of(" \r") + 1));
  const auto counts = numbers(dir + "/quadsidx.asc");
  if (fe.names.size() != 757 || counts.size() != 364) throw std::runtime_error("unexpected Flinn-Engdahl files");
  const auto ne = quadrant(dir, "ne", counts, 0), nw = quadrant(dir, "nw", counts, 1);
  const auto se = quadrant(dir, "se", counts, 2), sw = quadrant(dir, "sw", counts, 3);
  for (int lat = -90; lat < 90; ++lat) {
    const Pairs& e = lat >= 0 ? ne[lat] : se[-lat - 1];
    const Pairs& w = lat >= 0 ? nw[lat] : sw[-lat - 1];
    std::array<int, 361> row{};
    for (int lon = -180; lon <= 180; ++lon) row[lon + 180] = lon >= 0 ? region_at(e, lon) : region_at(w, -lon);
    fe.cells.push_back(row);
  }
  return fe;
}

std::string base_name(const std::string& n) {
  static const std::regex region(" REGION$"), coast("^(NEAR|OFF) ([A-Z.]+ )?COAST OF ");
  static const std::regex side("^(NORTHERN|SOUTHERN|EASTERN|WESTERN|CENTRAL|NORTHEASTERN|NORTHWESTERN|"
                               "SOUTHEASTERN|SOUTHWESTERN|N\\.|S\\.|E\\.|W\\.|C\\.) ");
  std::string s = std::regex_replace(n, region, "");
  s = std::regex_replace(s, coast, "");
  const std::string t = std::regex_replace(s, side, "");
  return t.empty() ? s : t;
}

std::string shorten(const std::string& name) {
  static const std::pair<const char*, const char*> abbrev[] = {
      {"ISLANDS", "IS."}, {"ISLAND", "I."}, {"REGION", "REG."}, {"NORTHERN", "N."}, {"SOUTHERN", "S."},
      {"EASTERN", "E."}, {"WESTERN", "W."}, {"CENTRAL", "C."}, {"MOUNTAINS", "MTS."}, {"PENINSULA", "PEN."},
      {"REPUBLIC", "REP."}, {"ARCHIPELAGO", "ARCH."}, {"TERRITORY", "TERR."}, {"TERRITORIES", "TERR."},
      {"FRACTURE ZONE", "F.Z."}, {"BORDER", "BORD."}, {"AUSTRALIA", "AUSTR."}, {"INDONESIA", "INDON."}};
  std::string s = name;
  for (auto [from, to] : abbrev) {
    if (s.size() <= name_len) break;
    for (size_t at; (at = s.find(from)) != std::string::npos;) s.replace(at, std::string(from).size(), to);
  }
  return s.substr(0, name_len);
}

namespace {

// Cells of each group, and border lengths between group g and the others.
std::vector<int> cell_counts(const FeTables& fe, const std::vector<int>& group) {
  std::vector<int> n(group.size(), 0);
  for (const auto& row : fe.cells)
    for (int r : row) ++n[group[r]];
  return n;
}

size_t used(const std::vector<int>& counts) {
  return static_cast<size_t>(std::count_if(counts.begin(), counts.end(), [](int c) { return c > 0; }));
}

std::map<int, int> borders_of(const FeTables& fe, const std::vector<int>& group, int g) {
  std::map<int, int> b;
  auto touch = [&](int x, int y) {
    if (group[x] == g && group[y] != g) ++b[group[y]];
    if (group[y] == g && group[x] != g) ++b[group[x]];
  };
  for (size_t i = 0; i < fe.cells.size(); ++i)
    for (int k = 0; k < 361; ++k) {
      if (k + 1 < 361) touch(fe.cells[i][k], fe.cells[i][k + 1]);
      if (i + 1 < fe.cells.size()) touch(fe.cells[i][k], fe.cells[i + 1][k]);
    }
  return b;
}

// The smallest group (fewest cells, then lowest number) joins its longest neighbour.
void absorb_smallest(const FeTables& fe, std::vector<int>& group) {
  const auto counts = cell_counts(fe, group);
  int small = 0;
  for (size_t g = 1; g < counts.size(); ++g)
    if (counts[g] > 0 && (small == 0 || counts[g] < counts[small])) small = static_cast<int>(g);
  const auto b = borders_of(fe, group, small);
  if (b.empty()) throw std::runtime_error("a region without neighbours");
  const int into = std::max_element(b.begin(), b.end(), [](auto& x, auto& y) { return x.second < y.second; })->first;
  std::replace(group.begin(), group.end(), small, into);
}

size_t mesh_entries(const FeTables& fe, const std::vector<int>& group) {
  size_t n = 0;
  for (const auto& row : fe.cells)
    for (size_t k = 0; k < row.size(); ++k) n += k == 0 || group[row[k]] != group[row[k - 1]];
  return n;
}

// Joins the two names that meet most often along the rows (each meeting
// costs a mesh entry); the one with fewer cells takes the other's name.
void join_busiest_border(const FeTables& fe, std::vector<int>& group) {
  std::map<std::pair<int, int>, int> meet;
  for (const auto& row : fe.cells)
    for (size_t k = 1; k < row.size(); ++k) {
      const int a = group[row[k - 1]], b = group[row[k]];
      if (a != b) ++meet[{std::min(a, b), std::max(a, b)}];
    }
  const auto best = std::max_element(meet.begin(), meet.end(), [](auto& x, auto& y) { return x.second < y.second; });
  const auto counts = cell_counts(fe, group);
  auto [a, b] = best->first;
  if (counts[a] < counts[b]) std::swap(a, b);
  std::replace(group.begin(), group.end(), b, a);
}

}  // namespace

NameTable reduce_names(const FeTables& fe) {
  // Group ids start as the first region number of each base name.
  std::map<std::string, int> first_of;
  std::vector<int> group(fe.names.size() + 1, 0);
  for (size_t r = 1; r <= fe.names.size(); ++r) group[r] = first_of.emplace(base_name(fe.names[r - 1]), r).first->second;
  std::map<int, int> members;
  for (size_t r = 1; r < group.size(); ++r) ++members[group[r]];
  while (used(cell_counts(fe, group)) > max_names) absorb_smallest(fe, group);
  while (2 * fe.cells.size() + 3 * mesh_entries(fe, group) > mesh_limit) join_busiest_border(fe, group);
  // A group that is one region keeps its full name; otherwise the base name.
  // Groups with no whole-degree cell never reach the mesh and get no name.
  const auto counts = cell_counts(fe, group);
  std::map<std::string, int> number;
  std::map<int, std::string> label;
  for (size_t r = 1; r < group.size(); ++r) {
    if (static_cast<size_t>(group[r]) != r || counts[group[r]] == 0) continue;
    const std::string& full = fe.names[r - 1];
    label[r] = shorten(members[group[r]] == 1 ? full : base_name(full));
    number[label[r]];
  }
  NameTable nt;
  for (auto& [text, k] : number) { nt.names.push_back(text); k = static_cast<int>(nt.names.size()); }
  nt.group.assign(group.size(), 0);
  for (size_t r = 1; r < group.size(); ++r)
    if (label.count(group[r])) nt.group[r] = number[label[group[r]]];
  return nt;
}

std::vector<uint8_t> world_mesh(const FeTables& fe, const NameTable& nt) {
  std::vector<uint8_t> m;
  for (int lat = -90; lat < 90; ++lat) {
    std::vector<std::pair<int, int>> e;
    for (int lon = -180; lon <= 180; ++lon) {
      const int k = nt.group[fe.cells[lat + 90][lon + 180]];
      if (e.empty() || e.back().second != k) e.push_back({lon, k});
    }
    m.push_back(static_cast<uint8_t>(static_cast<int8_t>(lat)));
    m.push_back(static_cast<uint8_t>(e.size()));
    for (auto [lon, k] : e) {
      m.push_back(static_cast<uint8_t>(lon & 0xFF));
      m.push_back(static_cast<uint8_t>((lon >> 8) & 0xFF));
      m.push_back(static_cast<uint8_t>(k));
    }
  }
  if (m.size() > mesh_limit) throw std::runtime_error("world mesh larger than 8192 bytes");
  return m;
}

std::vector<uint8_t> name_file(const std::vector<std::string>& names) {
  std::vector<uint8_t> out;
  for (const std::string& n : names) {
    std::string s = n.substr(0, name_len);
    s.resize(name_len, ' ');
    out.insert(out.end(), s.begin(), s.end());
  }
  return out;
}

int mesh_lookup(const std::vector<uint8_t>& mesh, bool japan, int lat_deg, bool south, double lat,
                int lon_deg, bool west) {
  const int slat = south ? -lat_deg - 1 : lat_deg, slon = west ? -lon_deg : lon_deg;
  if (japan && (slat < 28 || slat >= 46 || slon < 128 || slon >= 148)) return 0;
  const int key = japan ? static_cast<int>(lat * 1.5) : slat;
  const size_t entry = japan ? 2 : 3;
  size_t at = 0;
  for (int row = 0; row < (japan ? 90 : 180) && at + 2 <= mesh.size(); ++row) {
    const int k = static_cast<int8_t>(mesh[at]), n = mesh[at + 1];
    if (k != key) { at += 2 + n * entry; continue; }
    int name = 0;
    for (int i = 0; i < n && at + 2 + (i + 1) * entry <= mesh.size(); ++i) {
      const uint8_t* p = &mesh[at + 2 + i * entry];
      const int b = japan ? p[0] : static_cast<int16_t>(p[0] | p[1] << 8);
      if (b > slon) break;
      name = p[entry - 1];
    }
    return name;
  }
  return 0;
}

Agreement check_world(const std::string& path, const std::vector<uint8_t>& mesh, const NameTable& nt,
                      const FeTables& fe) {
  std::ifstream f(path);
  if (!f) throw std::runtime_error("cannot open " + path);
  Agreement a;
  for (std::string line; std::getline(f, line);) {
    std::istringstream ls(line);
    Event ev;
    int reg = 0;
    if (!(ls >> ev.lat >> ev.lon >> reg) || reg < 1 || reg >= static_cast<int>(nt.group.size())) continue;
    ev.year = 2000; ev.month = 1; ev.day = 1;
    Record r;
    EncodeNotes notes;
    if (encode(ev, ZeroMag::tenth, r, notes)) continue;
    ++a.points;
    const int k = mesh_lookup(mesh, false, r[10], r[11] & 0x80, std::fabs(ev.lat), r[7], r[8] & 0x80);
    if (k != nt.group[reg]) continue;
    ++a.same;
    const std::string& name = nt.names[k - 1];
    a.own += name == shorten(fe.names[reg - 1]) || name == shorten(base_name(fe.names[reg - 1]));
  }
  return a;
}

}  // namespace tdata
