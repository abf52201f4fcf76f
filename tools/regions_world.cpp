// World region tables from the Flinn-Engdahl files.
//
// [SECTION] Reading the Flinn-Engdahl files
// [SECTION] Names: base names, countries, abbreviations
// [SECTION] Mesh, name file and lookup
#include <algorithm>
#include <cmath>
#include <fstream>
#include <regex>
#include <stdexcept>

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
    fe.west_zero[lat + 90] = region_at(w, 0);
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

int name_value(const std::string& fe_name, const std::string& table_name) {
  if (table_name == shorten(fe_name) || table_name == shorten(base_name(fe_name))) return value_own;
  const std::string cn = canon(table_name);
  int v = 0;
  for (const std::string& k : name_keys(fe_name)) {
    if (cn == k) return 9;
    if (has_words(cn, k)) v = 8;
  }
  return v;
}

// [SECTION] Mesh, name file and lookup

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

int mesh_lookup(const std::vector<uint8_t>& mesh, bool japan, const Record& r) {
  const double lat = r[10] + (r[11] & 0x7F) / 60.0 + r[12] / 3600.0;
  return mesh_lookup(mesh, japan, r[10], r[11] & 0x80, lat, r[7], r[8] & 0x80);
}

}  // namespace tdata
