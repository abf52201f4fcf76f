// World names by seismicity: the Flinn-Engdahl regions where the bundled
// global catalogues put most events keep their own names, and the others
// take a truthful broader name (their country, sea or ocean), never a
// neighbour's. Earthquakes are concentrated, so a few hundred regions hold
// nearly all events and their true boundaries fit the mesh.
//
// [SECTION] Events of the bundled catalogues
// [SECTION] Broader names
// [SECTION] Choosing the names
// [SECTION] How events are named
#include <algorithm>
#include <cmath>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <stdexcept>

#include "dataset.h"
#include "readers.h"
#include "regions.h"

namespace tdata {

// [SECTION] Events of the bundled catalogues

std::vector<Record> bundled_events(const std::string& dir, const std::vector<std::string>& prefixes) {
  std::vector<std::string> firsts;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    const std::string f = e.path().filename().string();
    if (e.path().extension() != ".b") continue;
    for (const std::string& p : prefixes)
      if (f.starts_with(p)) firsts.push_back(f);
  }
  std::sort(firsts.begin(), firsts.end());
  std::vector<Record> out;
  for (const std::string& f : firsts) {
    std::string err;
    if (!read_chain(dir, f, out, err)) throw std::runtime_error(err);
  }
  std::erase_if(out, is_marker);
  return out;
}

namespace {

// The region of whole degrees, by the program's rule (0.5 S is row -1).
int fe_cell(const FeTables& fe, int lad, bool south, int lod, bool west) {
  lad = std::min(lad, 89), lod = std::min(lod, 180);
  const int row = (south ? -lad - 1 : lad) + 90;
  if (west && lod == 0) return fe.west_zero[row];
  return fe.cells[row][(west ? -lod : lod) + 180];
}

}  // namespace

int fe_region(const FeTables& fe, const Record& r) { return fe_cell(fe, r[10], r[11] & 0x80, r[7], r[8] & 0x80); }

std::vector<long> region_events(const FeTables& fe, const std::vector<Record>& recs) {
  std::vector<long> n(fe.names.size() + 1, 0);
  for (const Record& r : recs) ++n[fe_region(fe, r)];
  return n;
}

std::vector<long> felt_events(const FeTables& fe, const std::string& path) {
  std::ifstream f(path);
  TableSpec layout;
  if (!f || !table_preset("noaa", layout)) throw std::runtime_error("cannot read " + path);
  std::vector<Record> recs;
  for (Row& row : read_table(f, path, layout).rows) {
    row.ev.year = 2000;  // only where it struck counts; the table goes back to 2150 BC
    Record r;
    EncodeNotes notes;
    if (!encode(row.ev, ZeroMag::tenth, r, notes)) recs.push_back(r);
  }
  return region_events(fe, recs);
}

// [SECTION] Broader names

namespace {

bool island_group(const std::string& n);

bool ends_with_ocean(const std::string& n) { return n.ends_with(" OCEAN"); }

struct Sea {
  const char* name;  // base name
  const char* wide;
};
// Marginal seas by the ocean (or larger sea) they belong to. A named sea
// not listed (inland, or claimed by two oceans) keeps its own name.
constexpr Sea seas[] = {
    {"ARABIAN SEA", "INDIAN OCEAN"},       {"LACCADIVE SEA", "INDIAN OCEAN"},
    {"BARENTS SEA", "ARCTIC OCEAN"},       {"KARA SEA", "ARCTIC OCEAN"},
    {"LAPTEV SEA", "ARCTIC OCEAN"},        {"EAST SIBERIAN SEA", "ARCTIC OCEAN"},
    {"CHUKCHI SEA", "ARCTIC OCEAN"},       {"BEAUFORT SEA", "ARCTIC OCEAN"},
    {"NORTH SEA", "ATLANTIC OCEAN"},       {"NORWEGIAN SEA", "ATLANTIC OCEAN"},
    {"LABRADOR SEA", "ATLANTIC OCEAN"},    {"CARIBBEAN SEA", "ATLANTIC OCEAN"},
    {"BERING SEA", "PACIFIC OCEAN"},       {"SEA OF OKHOTSK", "PACIFIC OCEAN"},
    {"SEA OF JAPAN", "PACIFIC OCEAN"},     {"YELLOW SEA", "PACIFIC OCEAN"},
    {"PHILIPPINE SEA", "PACIFIC OCEAN"},   {"SOUTH CHINA SEA", "PACIFIC OCEAN"},
    {"CORAL SEA", "PACIFIC OCEAN"},        {"CELEBES SEA", "PACIFIC OCEAN"},
    {"SULU SEA", "PACIFIC OCEAN"},         {"MOLUCCA SEA", "PACIFIC OCEAN"},
    {"BANDA SEA", "PACIFIC OCEAN"},        {"CERAM SEA", "PACIFIC OCEAN"},
    {"BISMARCK SEA", "PACIFIC OCEAN"},     {"ADRIATIC SEA", "MEDITERRANEAN SEA"},
    {"AEGEAN SEA", "MEDITERRANEAN SEA"},   {"IONIAN SEA", "MEDITERRANEAN SEA"},
    {"TYRRHENIAN SEA", "MEDITERRANEAN SEA"}, {"JAVA SEA", "PACIFIC OCEAN"},
    {"TIMOR SEA", "INDIAN OCEAN"},         {"GULF OF MEXICO", "ATLANTIC OCEAN"},
    {"BAY OF CAMPECHE", "ATLANTIC OCEAN"}, {"GULF OF ST. LAWRENCE", "ATLANTIC OCEAN"},
    {"PERSIAN GULF", "INDIAN OCEAN"}};

constexpr const char* basins[] = {"", "PACIFIC OCEAN", "ATLANTIC OCEAN", "INDIAN OCEAN", "ARCTIC OCEAN"};

// "SOUTHEAST CENTRAL PACIFIC OCEAN" -> 1 (Pacific); 0 for no ocean.
int basin_of(const std::string& n) {
  for (int k = 1; k < 5; ++k)
    if (n.find(basins[k]) != std::string::npos) return k;
  return 0;
}

const char* sea_wide(const std::string& fe_name) {
  const std::string b = base_name(fe_name);
  for (const Sea& s : seas)
    if (b == s.name) return s.wide;
  return nullptr;
}

bool has_sea_word(const std::string& b) {
  for (size_t at = b.find("SEA"); at != std::string::npos; at = b.find("SEA", at + 1))
    if ((at == 0 || b[at - 1] == ' ') && (at + 3 == b.size() || b[at + 3] == ' ')) return true;
  return false;
}

// A sea, gulf or bay with a name of its own (not "OFF COAST OF", a ridge).
bool named_sea(const std::string& fe_name) {
  return is_sea(fe_name) && (has_sea_word(base_name(fe_name)) || sea_wide(fe_name));
}

// The ocean a region's water belongs to by its own name: an ocean, or a
// marginal sea of the table.
int own_basin(const std::string& n) {
  if (ends_with_ocean(n)) return basin_of(n);
  const char* w = named_sea(n) ? sea_wide(n) : nullptr;
  return w ? basin_of(w) : 0;
}

// Island groups whose neighbours are all island groups or land (Tonga,
// Hawaii, the Society Islands) lie in the ocean of the neighbours that have
// one, passed on from group to group; not where an inland sea (the
// Mediterranean) borders them more.
void island_basins(const FeTables& fe, std::vector<int>& basin) {
  const int rows = static_cast<int>(fe.cells.size());
  for (bool changed = true; changed;) {
    std::vector<std::array<int, 5>> votes(basin.size(), {0, 0, 0, 0, 0});
    for (int i = 0; i < rows; ++i)
      for (int k = 0; k < 361; ++k) {
        const int r = fe.cells[i][k];
        if (basin[r] || !island_group(fe.names[r - 1])) continue;
        const std::pair<int, int> next[] = {{i - 1, k}, {i + 1, k}, {i, k == 0 ? 360 : k - 1}, {i, k == 360 ? 0 : k + 1}};
        for (auto [a, b] : next) {
          if (a < 0 || a >= rows) continue;
          const int n = fe.cells[a][b];
          if (named_sea(fe.names[n - 1]) && !own_basin(fe.names[n - 1])) ++votes[r][0];
          else if (basin[n]) ++votes[r][basin[n]];
        }
      }
    changed = false;
    for (size_t r = 1; r < basin.size(); ++r) {
      const auto best = std::max_element(votes[r].begin() + 1, votes[r].end());
      if (!basin[r] && *best > votes[r][0]) basin[r] = static_cast<int>(best - votes[r].begin()), changed = true;
    }
  }
}

// Every region's ocean: breadth first on the grid from the cells whose
// name gives their ocean, through the other unnamed sea regions (ridges,
// "OFF COAST OF", "SOUTH OF"), so no ocean is reached over land or through
// a sea of its own; a region takes the ocean of most of its reached cells.
std::vector<int> region_basins(const FeTables& fe) {
  std::vector<std::array<int, 361>> near(fe.cells.size());
  std::deque<std::pair<int, int>> todo;
  for (size_t i = 0; i < fe.cells.size(); ++i)
    for (int k = 0; k < 361; ++k)
      if ((near[i][k] = own_basin(fe.names[fe.cells[i][k] - 1]))) todo.push_back({static_cast<int>(i), k});
  const int rows = static_cast<int>(fe.cells.size());
  while (!todo.empty()) {
    const auto [i, k] = todo.front();
    todo.pop_front();
    const std::string& n = fe.names[fe.cells[i][k] - 1];
    if (!is_sea(n) || (named_sea(n) && !own_basin(n))) continue;
    const std::pair<int, int> next[] = {{i - 1, k}, {i + 1, k}, {i, k == 0 ? 360 : k - 1}, {i, k == 360 ? 0 : k + 1}};
    for (auto [a, b] : next)
      if (a >= 0 && a < rows && !near[a][b]) near[a][b] = near[i][k], todo.push_back({a, b});
  }
  std::vector<std::array<int, 5>> votes(fe.names.size() + 1, {0, 0, 0, 0, 0});
  for (size_t i = 0; i < fe.cells.size(); ++i)
    for (int k = 0; k < 361; ++k) ++votes[fe.cells[i][k]][near[i][k]];
  std::vector<int> out(votes.size(), 0);
  for (size_t r = 1; r < votes.size(); ++r)
    out[r] = static_cast<int>(std::max_element(votes[r].begin() + 1, votes[r].end()) - votes[r].begin());
  for (size_t r = 1; r < votes.size(); ++r)
    if (votes[r][out[r]] == 0) out[r] = 0;
  island_basins(fe, out);
  return out;
}

// Where a region's cells lie on average (area-weighted), in degrees.
std::vector<std::pair<double, double>> region_centres(const FeTables& fe) {
  const double rad = std::acos(-1.0) / 180;
  std::vector<std::array<double, 3>> sum(fe.names.size() + 1, {0, 0, 0});
  for (size_t i = 0; i < fe.cells.size(); ++i)
    for (int k = 0; k < 361; ++k) {
      const double a = (static_cast<int>(i) - 90 + 0.5) * rad, b = (k - 180 + 0.5) * rad, w = std::cos(a);
      auto& v = sum[fe.cells[i][k]];
      v[0] += w * std::cos(a) * std::cos(b), v[1] += w * std::cos(a) * std::sin(b), v[2] += w * std::sin(a);
    }
  std::vector<std::pair<double, double>> out;
  for (const auto& v : sum)
    out.push_back({std::atan2(v[2], std::hypot(v[0], v[1])) / rad, std::atan2(v[1], v[0]) / rad});
  return out;
}

struct Area {
  double south, north, west, east;
  const char* name;
};
// Land by its centre, first match wins: the name of regions too quiet to
// spend a name of their own or their country's on. The boxes stay inside
// one continent's part; a region outside them keeps its country (or, on
// an island group, takes its ocean).
constexpr Area areas[] = {
    // south north west   east   name
    {-90,   -62,  -180,  180,  "ANTARCTICA"},
    {7,     19,   -93,   -77,  "CENTRAL AMERICA"},
    {50,    72,   -168,  -53,  "NORTH AMERICA"},
    {25,    50,   -125,  -53,  "NORTH AMERICA"},
    {14,    33,   -118,  -86,  "NORTH AMERICA"},
    {-56,   12,   -82,   -35,  "SOUTH AMERICA"},
    {36.5,  42,   28.8,  45,   "ASIA"},  // Anatolia
    {12,    42,   35,    63,   "ASIA"},  // the Middle East
    {36,    71,   -10,   40,   "EUROPE"},
    {50,    71,   40,    58,   "EUROPE"},
    {-35,   35,   -17,   51,   "AFRICA"},
    {-39,   -11,  114,   153,  "AUSTRALIA"},
    {-48,   -34,  165,   180,  "NEW ZEALAND"},
    {-11,   10,   92,    130,  "ASIA"},
    {10,    22,   40,    128,  "ASIA"},
    {22,    50,   40,    146,  "ASIA"},
    {50,    78,   58,    180,  "ASIA"},
};

const char* area_of(double lat, double lon) {
  for (const Area& a : areas)
    if (lat >= a.south && lat <= a.north && lon >= a.west && lon <= a.east) return a.name;
  return nullptr;
}

// Islands and island countries lie in their ocean: an island arc takes
// the ocean's name rather than the nearest continent's.
constexpr const char* islands[] = {"ISLAND", " IS.", "ARCHIPELAGO", "JAPAN", "HONSHU", "HOKKAIDO", "KYUSHU",
                                   "SHIKOKU", "TAIWAN", "PHILIPPINES", "MINDANAO", "LUZON", "INDONESIA",
                                   "SUMATRA", "JAVA", "BORNEO", "SULAWESI", "NEW GUINEA", "IRIAN JAYA",
                                   "P.N.G.", "PNG", "N.Z.", "NEW ZEALAND", "ICELAND", "GREENLAND",
                                   "MADAGASCAR", "SRI LANKA", "CUBA", "JAMAICA", "HAITI", "DOMINICAN REPUBLIC",
                                   "PUERTO RICO", "NEW CALEDONIA", "HAWAII", "TASMANIA", "SAKHALIN", "HAINAN",
                                   "FIJI", "TONGA", "SAMOA", "VANUATU", "TRISTAN DA CUNHA", "MAURITIUS",
                                   "TUVALU", "KIRIBATI", "SVALBARD", "ZEMLYA", "FRANZ JOSEF LAND"};

bool island_group(const std::string& n) {
  return std::any_of(std::begin(islands), std::end(islands),
                     [&](const char* i) { return n.find(i) != std::string::npos; });
}

std::string near_name(const std::string& n, int basin) {
  const std::string b = base_name(n);
  if (const size_t comma = b.rfind(", "); comma != std::string::npos) return shorten(b.substr(comma + 2));
  if (ends_with_ocean(n)) return shorten(n);
  if (named_sea(n)) return shorten(b);
  if (is_sea(n) && basin) return basins[basin];
  return shorten(name_keys(n).size() > 1 ? n : b);
}

}  // namespace

// Near, in order: the place after the comma ("SOUTHERN XINJIANG, CHINA" ->
// "CHINA"); an ocean itself; a named sea ("WESTERN MEDITERRANEAN SEA" ->
// "MEDITERRANEAN SEA"); other sea regions (ridges, "OFF COAST OF") their
// ocean; a border region its own name, as it lies in both countries; other
// land its base name ("NORTHERN IRAN" -> "IRAN"). Wide: land its part of a
// continent where the box table knows it, an island group or unnamed water
// its ocean, a marginal sea its ocean by the table.
std::vector<Broader> broader_names(const FeTables& fe) {
  const std::vector<int> basin = region_basins(fe);
  const auto centre = region_centres(fe);
  std::vector<Broader> out(fe.names.size() + 1);
  for (size_t r = 1; r < out.size(); ++r) {
    const std::string& n = fe.names[r - 1];
    const char* wide = named_sea(n)                             ? sea_wide(n)
                       : is_sea(n) || (island_group(n) && basin[r]) ? nullptr
                                                                    : area_of(centre[r].first, centre[r].second);
    out[r].near = near_name(n, basin[r]);
    if (wide) out[r].wide = wide;
    else if (basin[r] && (is_sea(n) || island_group(n)) && !named_sea(n)) out[r].wide = basins[basin[r]];
    else out[r].wide = out[r].near;
  }
  return out;
}

// [SECTION] Choosing the names

namespace {

// Every region's names as numbers by level (0 own, 1 near, 2 wide), the
// level each region is given, and what that costs.
struct Choice {
  std::vector<std::string> text;        // by name id
  std::vector<std::array<int, 3>> ids;  // by region
  std::vector<int> level;               // by region
  std::vector<std::vector<int>> rows;   // by region: the grid rows it has cells in
  std::vector<int> uses;                // by name id: regions named so
  size_t names = 0;                     // name ids in use
  size_t bytes = 0;                     // of the mesh
  int id(const std::string& s) {
    const auto at = std::find(text.begin(), text.end(), s);
    if (at != text.end()) return static_cast<int>(at - text.begin());
    text.push_back(s);
    return static_cast<int>(text.size() - 1);
  }
  int name(size_t r) const { return ids[r][level[r]]; }
};

size_t row_bytes(const Choice& c, const std::array<int, 361>& row) {
  size_t bytes = 2 + 3;
  for (int k = 1; k < 361; ++k) bytes += c.name(row[k]) != c.name(row[k - 1]) ? 3 : 0;
  return bytes;
}

// Gives region r the level, keeping the names in use and the mesh size.
void set_level(const FeTables& fe, Choice& c, int r, int level) {
  for (int i : c.rows[r]) c.bytes -= row_bytes(c, fe.cells[i]);
  c.names -= --c.uses[c.name(r)] == 0;
  c.level[r] = level;
  c.names += c.uses[c.name(r)]++ == 0;
  for (int i : c.rows[r]) c.bytes += row_bytes(c, fe.cells[i]);
}

Choice start_choice(const FeTables& fe) {
  const auto broad = broader_names(fe);
  Choice c;
  const size_t n = fe.names.size() + 1;
  c.ids.assign(n, {0, 0, 0}), c.level.assign(n, 2), c.rows.resize(n);
  for (size_t r = 1; r < n; ++r) c.ids[r] = {c.id(shorten(fe.names[r - 1])), c.id(broad[r].near), c.id(broad[r].wide)};
  c.uses.assign(c.text.size(), 0);
  for (size_t i = 0; i < fe.cells.size(); ++i) {
    for (int k = 0; k < 361; ++k) {
      auto& rows = c.rows[fe.cells[i][k]];
      if (rows.empty() || rows.back() != static_cast<int>(i)) rows.push_back(static_cast<int>(i));
    }
    c.bytes += row_bytes(c, fe.cells[i]);
  }
  for (size_t r = 1; r < n; ++r)
    if (!c.rows[r].empty()) c.names += c.uses[c.name(r)]++ == 0;
  return c;
}

// What a new name is worth in mesh bytes when choosing: both run out.
constexpr double name_bytes = 1;
constexpr size_t spare_step = 64;      // bytes first tried at a time for the countries
constexpr size_t spare_per_name = 16;  // spare bytes that come with a spare name

struct Budget {
  size_t bytes, names;
};

bool fits(const Choice& c, const Budget& b) { return c.bytes <= b.bytes && c.names <= b.names; }

// Raises the candidate groups to the level one group at a time, always the
// one with most value per mesh byte (and name) it adds, while the budget
// holds; with only_savings, those that shrink the mesh without a new name.
// A group is one region, or a country's quiet regions: raised together
// they cost one name and the country's outline, not every member's.
void raise(const FeTables& fe, Choice& c, std::vector<std::vector<int>> cand, const std::vector<long>& value,
           int level, const Budget& budget, bool only_savings = false, double per_name = name_bytes) {
  while (!cand.empty()) {
    size_t best = 0;
    double best_score = -1;
    const size_t names_before = c.names, bytes_before = c.bytes;
    for (size_t j = 0; j < cand.size(); ++j) {
      std::vector<int> was;
      long v = 0;
      for (int r : cand[j]) was.push_back(c.level[r]), set_level(fe, c, r, level), v += value[r];
      const double grow = static_cast<double>(c.bytes) - static_cast<double>(bytes_before) +
                          per_name * (static_cast<double>(c.names) - static_cast<double>(names_before));
      const bool ok = fits(c, budget) && (!only_savings || (c.names <= names_before && c.bytes < bytes_before));
      for (size_t m = cand[j].size(); m-- > 0;) set_level(fe, c, cand[j][m], was[m]);
      const double score = ok ? v / std::max(grow, 0.5) : -1;
      if (score > best_score) best = j, best_score = score;
    }
    if (best_score < 0) return;
    for (int r : cand[best]) set_level(fe, c, r, level);
    cand.erase(cand.begin() + static_cast<long>(best));
  }
}

std::vector<std::vector<int>> singles(const std::vector<int>& regions) {
  std::vector<std::vector<int>> out;
  for (int r : regions) out.push_back({r});
  return out;
}

// Greedy choice by events per byte leaves busy but long regions (ridges)
// out: each may still come in for the quietest kept ones when that names
// more events.
void swap_in(const FeTables& fe, Choice& c, const std::vector<int>& active, const std::vector<long>& events,
             const Budget& budget) {
  std::vector<int> kept;
  for (int r : active)
    if (c.level[r] == 0) kept.push_back(r);
  std::sort(kept.begin(), kept.end(), [&](int a, int b) { return events[a] < events[b]; });
  for (int r : active) {
    if (c.level[r] == 0) continue;
    const int was = c.level[r];
    set_level(fe, c, r, 0);
    long lost = 0;
    std::vector<int> out;
    for (size_t j = 0; j < kept.size() && !fits(c, budget) && lost < events[r]; ++j) {
      if (c.level[kept[j]] != 0) continue;
      set_level(fe, c, kept[j], 2), out.push_back(kept[j]), lost += events[kept[j]];
    }
    if (fits(c, budget) && lost < events[r]) {
      std::erase_if(kept, [&](int k) { return c.level[k] != 0; });
      kept.insert(std::upper_bound(kept.begin(), kept.end(), r, [&](int a, int b) { return events[a] < events[b]; }), r);
      continue;
    }
    for (int k : out) set_level(fe, c, k, 0);
    set_level(fe, c, r, was);
  }
}

NameTable name_table(const Choice& c) {
  NameTable nt;
  std::map<std::string, int> number;
  for (size_t r = 1; r < c.level.size(); ++r)
    if (!c.rows[r].empty()) number[c.text[c.name(r)]];
  for (auto& [text, k] : number) nt.names.push_back(text), k = static_cast<int>(nt.names.size());
  nt.group.assign(c.level.size(), 0);
  for (size_t r = 1; r < c.level.size(); ++r)
    if (!c.rows[r].empty()) nt.group[r] = number[c.text[c.name(r)]];
  return nt;
}

// Events named after their own region: its own name, or a country name
// that is its own ("NEPAL").
long own_events(const Choice& c, const std::vector<long>& events) {
  long n = 0;
  for (size_t r = 1; r < c.level.size(); ++r) n += c.name(r) == c.ids[r][0] ? events[r] : 0;
  return n;
}

// Quiet land regions by the country (near name) they share, sea regions
// alone.
std::vector<std::vector<int>> countries(const FeTables& fe, const Choice& c, const std::vector<int>& near) {
  std::map<int, std::vector<int>> land;
  std::vector<std::vector<int>> out;
  for (int r : near) {
    if (c.level[r] != 2) continue;
    if (is_sea(fe.names[r - 1])) out.push_back({r});
    else land[c.ids[r][1]].push_back(r);
  }
  for (auto& [id, g] : land) out.push_back(g);
  return out;
}

// The forced regions keep their own names whatever they cost. Then own
// names, leaving spare bytes (and a name for every spare_per_name of
// them); then countries by the damaging earthquakes (felt) per byte, every
// region worth one and a name worth as many bytes as it was spared for;
// what is left to more own names.
Choice choose(const FeTables& fe, const std::vector<long>& events, const std::vector<long>& felt, size_t mesh_bytes,
              size_t spare, const std::vector<int>& forced) {
  Choice c = start_choice(fe);
  std::vector<bool> fixed(c.level.size());
  for (int r : forced) set_level(fe, c, r, 0), fixed[r] = true;
  if (!fits(c, {mesh_bytes, max_names})) throw std::runtime_error("the wide names alone do not fit the world tables");
  std::vector<int> active, near;
  std::vector<long> plus_one(events.size());
  for (size_t r = 1; r < c.level.size(); ++r) {
    if (c.rows[r].empty() || fixed[r]) continue;
    // A country name that is the region's own ("NEPAL") names its events too.
    plus_one[r] = felt[r] + 1 + (c.ids[r][1] == c.ids[r][0] ? events[r] : 0);
    if (events[r] > 0 && c.ids[r][0] != c.ids[r][2]) active.push_back(static_cast<int>(r));
    if (c.ids[r][1] != c.ids[r][2]) near.push_back(static_cast<int>(r));
  }
  const Budget all{mesh_bytes, max_names}, own{mesh_bytes - spare, max_names - spare / spare_per_name};
  raise(fe, c, singles(near), plus_one, 1, all, true);
  raise(fe, c, singles(active), events, 0, own);
  std::stable_sort(active.begin(), active.end(), [&](int a, int b) { return events[a] > events[b]; });
  swap_in(fe, c, active, events, own);
  raise(fe, c, countries(fe, c, near), plus_one, 1, all, false, spare_per_name);
  std::erase_if(near, [&](int r) { return c.level[r] != 2; });
  raise(fe, c, singles(near), plus_one, 1, all);
  std::erase_if(active, [&](int r) { return c.level[r] == 0; });
  raise(fe, c, singles(active), events, 0, all);
  return c;
}

struct Place {
  const char* name;
  double lat, lon;
};
// Places a seismologist looks for whose regions hold too few bundled
// events to win their own names by events per byte, and would otherwise
// fall to a continent's or an ocean's name: each place's region keeps its
// own name (which holds the country) while own_share of the events still
// can. Those dropped first when it cannot come last.
constexpr Place places[] = {
    // name             lat     lon
    {"Tehran",          35.69,  51.39},
    {"Kabul",           34.53,  69.17},
    {"Islamabad",       33.7,   73.1},
    {"Bogota",          4.7,    -74.1},
    {"Tbilisi",         41.7,   44.8},
    {"Yerevan",         40.2,   44.5},
    {"Reykjavik",       64.15,  -21.94},
    {"Addis Ababa",     9.03,   38.74},
    {"Kathmandu",       27.7,   85.3},
    {"Beijing",         39.9,   116.4},
    {"Port-au-Prince",  18.54,  -72.34},
    {"Bishkek",         42.87,  74.59},
    {"Ashgabat",        37.95,  58.38},
    {"Cape Town",       -33.92, 18.42},
    {"Chengdu",         30.6,   104.1},
    {"Lhasa",           29.6,   91.1},
};

// The region of a place given in signed degrees.
int region_at(double lat, double lon, const FeTables& fe) {
  return fe_cell(fe, static_cast<int>(std::fabs(lat)), lat < 0, static_cast<int>(std::fabs(lon)), lon < 0);
}

}  // namespace

// The places first, as many of them (in their order) as leave own_share of
// the events their own region's name. Then the most own names cost the
// rest their country: give the countries as many bytes as can be spared
// while own_share still holds, found in steps that halve past the limit.
NameTable choose_names(const FeTables& fe, const std::vector<long>& events, const std::vector<long>& felt,
                       size_t mesh_bytes) {
  long total = 0;
  for (long e : events) total += e;
  const double need = own_share * static_cast<double>(total);
  std::vector<int> forced;
  for (const Place& p : places) forced.push_back(region_at(p.lat, p.lon, fe));
  Choice best = choose(fe, events, felt, mesh_bytes, 0, forced);
  while (!forced.empty() && own_events(best, events) < need)
    forced.pop_back(), best = choose(fe, events, felt, mesh_bytes, 0, forced);
  size_t spare = 0, limit = mesh_bytes;
  for (size_t step = spare_step; step >= spare_step / 4; step /= 2)
    while (spare + step < limit) {
      Choice c = choose(fe, events, felt, mesh_bytes, spare + step, forced);
      if (own_events(c, events) < need) {
        limit = spare + step;
        break;
      }
      spare += step;
      best = std::move(c);
    }
  return name_table(best);
}

// [SECTION] How events are named

// Own: the region's shortened Flinn-Engdahl name. Another place: neither
// that, nor its broader name, nor its own base name or country (or a name
// holding it: "SEA OF JAPAN" may be "HONSHU, JAPAN").
Shares name_shares(const FeTables& fe, const std::vector<Record>& recs, const std::vector<uint8_t>& mesh,
                   const std::vector<uint8_t>& name_bytes) {
  const auto broad = broader_names(fe);
  Shares s;
  for (const Record& rec : recs) {
    const int r = fe_region(fe, rec), k = mesh_lookup(mesh, false, rec);
    ++s.events;
    if (k <= 0 || static_cast<size_t>(k) * name_len > name_bytes.size()) continue;
    std::string t(name_bytes.begin() + (k - 1) * name_len, name_bytes.begin() + k * name_len);
    t.erase(t.find_last_not_of(' ') + 1);
    const std::string& n = fe.names[r - 1];
    if (t == shorten(n)) ++s.own;
    else if (t != broad[r].near && t != broad[r].wide && name_value(n, t) == 0) ++s.other;
  }
  return s;
}

}  // namespace tdata
