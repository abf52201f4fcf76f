// World region tables from the Flinn-Engdahl files.
//
// [SECTION] Reading the Flinn-Engdahl files
// [SECTION] Names: base names, countries, abbreviations
// [SECTION] Grouping: neighbouring regions share a name until the tables fit
// [SECTION] Mesh, name file, lookup and the reference-point check
#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <tuple>

#include "record.h"
#include "regions.h"

namespace tdata {

// [SECTION] Reading the Flinn-Engdahl files


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

// [SECTION] Names: base names, countries, abbreviations

namespace {

bool is_letter(char c) { return c >= 'A' && c <= 'Z'; }

bool whole_word_at(const std::string& s, size_t at, size_t len) {
  return (at == 0 || !is_letter(s[at - 1])) && (at + len >= s.size() || !is_letter(s[at + len]));
}

std::string replace_words(std::string s, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = s.find(from, at)) != std::string::npos;) {
    if (!whole_word_at(s, at, from.size())) { ++at; continue; }
    s.replace(at, from.size(), to);
    at += to.size();
  }
  return s;
}

bool has_words(const std::string& s, const std::string& w) {
  for (size_t at = 0; !w.empty() && (at = s.find(w, at)) != std::string::npos; ++at)
    if (whole_word_at(s, at, w.size())) return true;
  return false;
}

struct Abbrev {
  const char* from;
  const char* to;
};
// Tried in this order, whole words only: the least telling words go first,
// country names last.
constexpr Abbrev abbrevs[] = {
    {"BORDER REGION", "BORDER"}, {"BORDER REG.", "BORDER"}, {"BORD REG.", "BORDER"}, {"BORD REG", "BORDER"},
    {"BRD REG", "BORDER"},       {"REGION", "REG."},        {"ISLANDS", "IS."},      {"ISLAND", "I."},
    {"ISL.", "IS."},             {"NORTHEASTERN", "NE"},    {"NORTHWESTERN", "NW"},  {"SOUTHEASTERN", "SE"},
    {"SOUTHWESTERN", "SW"},      {"NORTHERN", "N."},        {"SOUTHERN", "S."},      {"EASTERN", "E."},
    {"WESTERN", "W."},           {"CENTRAL", "C."},         {"PROVINCE", "PROV."},   {"PENINSULA", "PEN."},
    {"MOUNTAINS", "MTS."},       {"REPUBLIC", "REP."},      {"ARCHIPELAGO", "ARCH."}, {"TERRITORIES", "TERR."},
    {"TERRITORY", "TERR."},      {"FRACTURE ZONE", "F.Z."}, {"TRIPLE JUNCTION", "TRIPLE JCT."},
    {"NORTH COAST", "N. COAST"}, {"SOUTH COAST", "S. COAST"}, {"EAST COAST", "E. COAST"},
    {"WEST COAST", "W. COAST"},  {"NEAR COAST OF", "NEAR"}, {"OFF COAST OF", "OFF"}, {"COAST OF", "COAST"},
    {"NORTHEAST", "NE"},         {"NORTHWEST", "NW"},       {"SOUTHEAST", "SE"},     {"SOUTHWEST", "SW"},
    {"BORDER", "BORD."},         {"AUSTRALIA", "AUSTR."},   {"INDONESIA", "INDON."}, {"ARGENTINA", "ARG."},
    {"CALIFORNIA", "CALIF."},    {"PAPUA NEW GUINEA", "PNG"}, {"NEW ZEALAND", "N.Z."}, {"NEW GUINEA", "N. GUINEA"},
    {"MICRONESIA", "MICRON."},   {"AFGHANISTAN", "AFGH."},  {"KAZAKHSTAN", "KAZAKH."}, {"TURKMENISTAN", "TURKMEN."},
    {"TAJIKISTAN", "TAJIK."},    {"KYRGYZSTAN", "KYRGYZ."}, {"UZBEKISTAN", "UZBEK."}, {"AZERBAIJAN", "AZERB."},
    {"BANGLADESH", "BANGL."},    {"UNITED STATES", "U.S."}, {"MISSOURI", "MO."},     {"KIRIBATI", "KIRIB."},
    {"SIBERIA", "SIB."},         {"RUSSIA", "RUS."}};

// Every abbreviation applied: the form in which names are compared.
std::string canon(std::string s) {
  for (auto [from, to] : abbrevs) s = replace_words(s, from, to);
  return s;
}

std::string trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" ,-"), b = s.find_last_not_of(" ,-");
  return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
}

// Position words in front of a name, also "NORTHERN AND CENTRAL".
const std::regex& side_words() {
  static const std::regex side(
      "^(((NORTHERN|SOUTHERN|EASTERN|WESTERN|CENTRAL) AND )?(NORTHERN|SOUTHERN|EASTERN|WESTERN|CENTRAL|"
      "NORTHEASTERN|NORTHWESTERN|SOUTHEASTERN|SOUTHWESTERN|NORTHCENTRAL|N\\.|S\\.|E\\.|W\\.|C\\.|NW|NE|SW|SE) )");
  return side;
}

// Abbreviated country spellings of the regionalisation, written out.
constexpr Abbrev aliases[] = {{"N.Z.", "NEW ZEALAND"},       {"P.N.G.", "PAPUA NEW GUINEA"},
                              {"PNG.", "PAPUA NEW GUINEA"},  {"ARG.", "ARGENTINA"},
                              {"CALIF.", "CALIFORNIA"},      {"BAJA CALIF.", "BAJA CALIFORNIA"},
                              {"MARSHALL IS.", "MARSHALL ISLANDS"}, {"ALEUTIAN IS.", "ALEUTIAN ISLANDS"},
                              {"N.E. CHINA", "CHINA"}};

std::string key_of(std::string part) {
  static const std::regex tail(" (BORDER|BORD\\.?|BRD|REGION|REG\\.?)$");
  part = std::regex_replace(trim(part), tail, "");
  part = std::regex_replace(part, side_words(), "");
  for (auto [from, to] : aliases)
    if (part == from) part = to;
  return canon(part);
}

std::vector<std::string> split_border(const std::string& b) {
  std::vector<std::string> parts;
  size_t from = 0;
  for (size_t at; (at = b.find('-', from)) != std::string::npos; from = at + 1) parts.push_back(b.substr(from, at - from));
  parts.push_back(b.substr(from));
  return parts;
}

}  // namespace

std::string base_name(const std::string& n) {
  static const std::regex region(" (REGION|REG\\.?)$"), coast("^(NEAR|OFF) ([A-Z.]+ )?COAST OF ");
  static const std::regex island("^N\\. ISLAND"), south_island("^S\\. ISLAND");
  std::string s = std::regex_replace(n, region, "");
  s = std::regex_replace(s, coast, "");
  s = std::regex_replace(std::regex_replace(s, island, "NORTH ISLAND"), south_island, "SOUTH ISLAND");
  if (const size_t comma = s.rfind(", "); comma != std::string::npos)
    for (auto [from, to] : aliases)
      if (s.compare(comma + 2, std::string::npos, from) == 0) s = s.substr(0, comma + 2) + to;
  if (has_words(s, "OCEAN")) return s;
  // The side is part of the name in "CENTRAL AFRICAN REPUBLIC" and "NORTHERN TERRITORY".
  static const std::regex named_side("^(AFRICAN|TERRITOR)");
  const std::string t = std::regex_replace(s, side_words(), "");
  return t.empty() || std::regex_search(t, named_side) ? s : t;
}

std::string shorten(const std::string& name) {
  std::string s = name;
  for (auto [from, to] : abbrevs) {
    if (s.size() <= name_len) break;
    s = replace_words(s, from, to);
  }
  return s.size() <= name_len ? s : trim(s.substr(0, name_len));
}

std::vector<std::string> name_keys(const std::string& n) {
  const std::string b = base_name(n);
  const size_t comma = b.rfind(", "), of = b.find(" OF ");
  const bool border = has_words(b, "BORDER") || has_words(b, "BORD") || has_words(b, "BRD") ||
                      b.find(" - ") != std::string::npos || std::count(b.begin(), b.end(), '-') >= 2;
  std::vector<std::string> parts;
  if (comma != std::string::npos) parts = {b.substr(comma + 2)};
  else if (of != std::string::npos) parts = {b.substr(of + 4)};
  else if (border) parts = split_border(b);
  else parts = {b};
  std::vector<std::string> keys;
  for (const std::string& p : parts)
    if (const std::string k = key_of(p); !k.empty()) keys.push_back(k);
  return keys;
}

bool is_sea(const std::string& n) {
  static const std::regex sea(
      "\\b(SEA|OCEAN|GULF|BAY|STRAIT|PASSAGE|CHANNEL|RIDGE|RISE|TRENCH|PLATEAU|FRACTURE|JUNCTION|BASIN)\\b|"
      "^OFF |^(NORTH|SOUTH|EAST|WEST|NORTHEAST|NORTHWEST|SOUTHEAST|SOUTHWEST) OF ");
  return std::regex_search(n, sea);
}

// [SECTION] Grouping: neighbouring regions share a name until the tables fit
//
// The 757 regions meet at about 5,800 row boundaries; the mesh holds 2,610.
// Regions are grouped greedily. Only groups that meet along a row are
// joined (that saves mesh entries), and only when the area-weighted centres
// of all their regions stay within a distance limit and no northern sea
// joins a southern one. Each step takes the join that costs the least name
// value per mesh entry saved: regions with the same base name or country
// join for nothing, and the group is named by the member name that serves
// its regions best, land counting double; that name must fit regions holding
// at least 40 % of the group's weight. The limit starts at 15 degrees and
// grows by one degree until the tables fit.

namespace {

constexpr double first_limit = 15, limit_step = 1;
constexpr long min_fit_percent = 40;

struct Vec3 {
  double x = 0, y = 0, z = 0;
};

// One Flinn-Engdahl region as the grouping sees it.
struct Region {
  bool present = false;          // has whole-degree cells
  std::string full, base;        // shortened own and base names
  std::string country;           // shortened text after the base name's last comma
  std::vector<std::string> keys; // canonical countries
  bool sea = false;
  int hemi = 0;                  // seas: 1 north, -1 south of 5 degrees, else 0
  Vec3 centre;                   // area-weighted, unit length
  long weight = 0;               // run ends in the full grid: detail, where events are
};

// Nearly flat, so that fitting many regions beats naming a few exactly.
constexpr int value_country = 9, value_within = 8;

int value_of(const Region& r, const std::string& name, const std::string& canon_name) {
  if (name == r.full || name == r.base) return value_own;
  int v = 0;
  for (const std::string& k : r.keys) {
    if (canon_name == k) return value_country;
    if (has_words(canon_name, k)) v = value_within;
  }
  return v;
}

Region describe(const std::string& n) {
  Region r;
  r.full = shorten(n);
  r.base = shorten(base_name(n));
  const std::string b = base_name(n);
  if (const size_t comma = b.rfind(", "); comma != std::string::npos) r.country = shorten(b.substr(comma + 2));
  r.keys = name_keys(n);
  r.sea = is_sea(n);
  return r;
}

void add_cell(Region& r, int lat, int lon) {
  const double pi = std::acos(-1.0), a = (lat + 0.5) * pi / 180, b = (lon + 0.5) * pi / 180;
  const double w = std::cos(a);
  r.centre.x += w * std::cos(a) * std::cos(b);
  r.centre.y += w * std::cos(a) * std::sin(b);
  r.centre.z += w * std::sin(a);
  r.present = true;
}

std::vector<Region> region_facts(const FeTables& fe) {
  std::vector<Region> reg(fe.names.size() + 1);
  for (size_t k = 1; k < reg.size(); ++k) reg[k] = describe(fe.names[k - 1]);
  for (size_t i = 0; i < fe.cells.size(); ++i) {
    const auto& row = fe.cells[i];
    for (int k = 0; k < 361; ++k) {
      Region& r = reg[row[k]];
      add_cell(r, static_cast<int>(i) - 90, k - 180);
      r.weight += (k == 0 || row[k - 1] != row[k]) + (k == 360 || row[k + 1] != row[k]);
    }
  }
  for (Region& r : reg) {
    Vec3& c = r.centre;
    const double n = std::sqrt(c.x * c.x + c.y * c.y + c.z * c.z);
    if (n == 0) continue;
    c = {c.x / n, c.y / n, c.z / n};
    const double lat = std::asin(c.z) * 180 / std::acos(-1.0);
    r.hemi = !r.sea ? 0 : lat > 5 ? 1 : lat < -5 ? -1 : 0;
  }
  return reg;
}

double degrees_apart(const Vec3& a, const Vec3& b) {
  const double d = std::clamp(a.x * b.x + a.y * b.y + a.z * b.z, -1.0, 1.0);
  return std::acos(d) * 180 / std::acos(-1.0);
}

struct Join {
  bool ok = false;
  long cost = 0;     // name value lost
  std::string name;  // of the joined group
  long value = 0;
};

struct Grouping {
  std::vector<Region> reg;                 // by region number
  double limit = first_limit;              // degrees between member centres
  std::vector<std::vector<int>> members;   // by group id; empty once joined
  std::vector<std::string> name;
  std::vector<long> value;                 // sum of weight x value_of
  std::vector<std::map<int, int>> across;  // boundaries along rows with each group
  std::vector<std::set<int>> touch;        // groups sharing any boundary
  std::map<std::pair<int, int>, Join> joins;
  int runs = 0;                            // mesh entries
};

// The member name that serves the group best; land counts double, so a
// place on land is named after the land before the sea around it.
std::pair<std::string, long> best_name(const std::vector<Region>& reg, const std::vector<int>& m) {
  if (m.size() == 1) return {reg[m[0]].full, value_own * reg[m[0]].weight};
  std::set<std::string> cand;
  for (int r : m) {
    cand.insert(reg[r].base);
    if (!reg[r].country.empty()) cand.insert(reg[r].country);
  }
  std::string best;
  long best_score = -1, best_value = 0;
  for (const std::string& n : cand) {
    const std::string cn = canon(n);
    long score = 0, value = 0;
    for (int r : m) {
      const long v = reg[r].weight * value_of(reg[r], n, cn);
      value += v;
      score += reg[r].sea ? v : 2 * v;
    }
    if (score > best_score) best = n, best_score = score, best_value = value;
  }
  return {best, best_value};
}

bool may_join(const Grouping& g, int a, int b) {
  bool north = false, south = false;
  for (int x : g.members[a]) {
    for (int y : g.members[b])
      if (degrees_apart(g.reg[x].centre, g.reg[y].centre) > g.limit) return false;
  }
  for (int id : {a, b})
    for (int x : g.members[id]) north |= g.reg[x].hemi > 0, south |= g.reg[x].hemi < 0;
  return !(north && south);
}

// A group's name must fit (own name or country) regions holding at least
// min_fit_percent of its weight: no "ICELAND" over the British Isles.
bool name_fits(const std::vector<Region>& reg, const std::vector<int>& m, const std::string& name) {
  const std::string cn = canon(name);
  long fit = 0, all = 0;
  for (int r : m) all += reg[r].weight, fit += value_of(reg[r], name, cn) > 0 ? reg[r].weight : 0;
  return fit * 100 >= all * min_fit_percent;
}

const Join& join_of(Grouping& g, int a, int b) {
  const auto key = std::minmax(a, b);
  auto it = g.joins.find(key);
  if (it != g.joins.end()) return it->second;
  Join j;
  if ((j.ok = may_join(g, a, b))) {
    std::vector<int> m = g.members[a];
    m.insert(m.end(), g.members[b].begin(), g.members[b].end());
    std::tie(j.name, j.value) = best_name(g.reg, m);
    j.ok = name_fits(g.reg, m, j.name);
    j.cost = g.value[a] + g.value[b] - j.value;
  }
  return g.joins.emplace(key, j).first->second;
}

Grouping start_grouping(const FeTables& fe, const std::vector<Region>& reg, double limit) {
  Grouping g;
  g.reg = reg;
  g.limit = limit;
  const size_t n = reg.size();
  g.members.resize(n); g.name.resize(n); g.value.resize(n); g.across.resize(n); g.touch.resize(n);
  for (size_t r = 1; r < n; ++r)
    if (reg[r].present) g.members[r] = {static_cast<int>(r)}, g.name[r] = reg[r].full, g.value[r] = value_own * reg[r].weight;
  auto meet = [&](int a, int b, bool along) {
    if (a == b) return;
    g.touch[a].insert(b), g.touch[b].insert(a);
    if (along) ++g.across[a][b], ++g.across[b][a], ++g.runs;
  };
  for (size_t i = 0; i < fe.cells.size(); ++i) {
    ++g.runs;
    for (int k = 0; k < 361; ++k) {
      if (k > 0) meet(fe.cells[i][k - 1], fe.cells[i][k], true);
      if (i + 1 < fe.cells.size()) meet(fe.cells[i][k], fe.cells[i + 1][k], false);
    }
  }
  return g;
}

// b's regions and boundaries go to a; joins with either are valued anew.
void join(Grouping& g, int a, int b, const Join& j) {
  g.runs -= g.across[a][b];
  g.members[a].insert(g.members[a].end(), g.members[b].begin(), g.members[b].end());
  g.members[b].clear();
  g.name[a] = j.name;
  g.value[a] = j.value;
  for (auto [c, n] : g.across[b]) {
    g.across[c].erase(b);
    if (c != a) g.across[a][c] += n, g.across[c][a] += n;
  }
  g.across[b].clear();
  g.across[a].erase(a);
  for (int c : g.touch[b]) {
    g.touch[c].erase(b);
    if (c != a) g.touch[a].insert(c), g.touch[c].insert(a);
  }
  g.touch[b].clear();
  std::erase_if(g.joins, [&](const auto& e) {
    const auto [x, y] = e.first;
    return x == a || x == b || y == a || y == b;
  });
}

size_t names_used(const Grouping& g) {
  std::set<std::string> s;
  for (size_t k = 0; k < g.members.size(); ++k)
    if (!g.members[k].empty()) s.insert(g.name[k]);
  return s.size();
}

// One join: the least value lost per mesh entry saved (per name saved once
// the mesh fits). False when no allowed join is left.
bool join_step(Grouping& g, int max_runs) {
  const bool for_runs = g.runs > max_runs;
  int best_a = 0, best_b = 0;
  long best_cost = 0, best_save = 0;
  for (size_t a = 1; a < g.members.size(); ++a) {
    if (g.members[a].empty()) continue;
    for (int b : g.touch[a]) {
      if (b <= static_cast<int>(a)) continue;
      const auto along = g.across[a].find(b);
      const long save = for_runs ? (along == g.across[a].end() ? 0 : along->second) : 1;
      if (save == 0) continue;
      const Join& j = join_of(g, static_cast<int>(a), b);
      if (!j.ok) continue;
      const long lhs = j.cost * best_save, rhs = best_cost * save;
      if (best_a == 0 || lhs < rhs || (lhs == rhs && save > best_save))
        best_a = static_cast<int>(a), best_b = b, best_cost = j.cost, best_save = save;
    }
  }
  if (best_a == 0) return false;
  const Join j = join_of(g, best_a, best_b);
  join(g, best_a, best_b, j);
  return true;
}

NameTable name_table(const Grouping& g, const FeTables& fe) {
  NameTable nt;
  nt.extent = g.limit;
  std::map<std::string, int> number;
  for (size_t k = 0; k < g.members.size(); ++k)
    if (!g.members[k].empty()) number[g.name[k]];
  for (auto& [text, k] : number) {
    nt.names.push_back(text);
    k = static_cast<int>(nt.names.size());
  }
  nt.group.assign(fe.names.size() + 1, 0);
  for (size_t k = 0; k < g.members.size(); ++k)
    for (int r : g.members[k]) nt.group[r] = number[g.name[k]];
  return nt;
}

}  // namespace

NameTable reduce_names(const FeTables& fe, size_t mesh_bytes) {
  const std::vector<Region> reg = region_facts(fe);
  const int max_runs = static_cast<int>((mesh_bytes - 2 * fe.cells.size()) / 3);
  for (double limit = first_limit; limit <= 180; limit += limit_step) {
    Grouping g = start_grouping(fe, reg, limit);
    auto fits = [&] { return g.runs <= max_runs && names_used(g) <= max_names; };
    while (!fits() && join_step(g, max_runs)) {}
    if (fits()) return name_table(g, fe);
  }
  throw std::runtime_error("the regions cannot be grouped to fit the world mesh");
}

int name_value(const std::string& fe_name, const std::string& table_name) {
  return value_of(describe(fe_name), table_name, canon(table_name));
}

// [SECTION] Mesh, name file, lookup and the reference-point check

std::vector<uint8_t> world_mesh(const FeTables& fe, const NameTable& nt) {
  std::vector<uint8_t> m;
  for (int lat = -90; lat < 90; ++lat) {
    std::vector<std::pair<int, int>> e;
    for (int lon = -180; lon <= 180; ++lon) {
      const int k = nt.group[fe.cells[lat + 90][lon + 180]];
      if (e.empty() || e.back().second != k) e.push_back({lon, k});
    }
    if (e.size() > 255) throw std::runtime_error("a world mesh row with more than 255 entries");
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
    const int v = name_value(fe.names[reg - 1], nt.names[k - 1]);
    a.own += v == value_own;
    a.fitting += v > 0;
  }
  return a;
}

}  // namespace tdata
