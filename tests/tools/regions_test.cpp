#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>

#include "dataset.h"
#include "regions.h"
#include "tmpdir.h"

using namespace tdata;

namespace {

// A Flinn-Engdahl directory with six regions: north rows east 1 (from 0)
// and 2 (from 10), west 3 (from 0) and 4 (from 20); south rows 5 east, 6 west.
// The other form adds region 7 east from 20 and names the regions.
void write_small_fe(const TempDir& d, bool named = false) {
  const std::map<int, std::string> given = {{1, "SOUTHERN HONSHU, JAPAN"}, {2, "NEAR S. COAST OF HONSHU, JAPAN"},
                                            {3, "NORTH PACIFIC OCEAN"},    {4, "HAWAII"},
                                            {6, "SOUTH PACIFIC OCEAN"},    {7, "SEA OF JAPAN"}};
  std::ofstream names(d.path + "/names.asc"), idx(d.path + "/quadsidx.asc");
  for (int k = 1; k <= 757; ++k) names << (named && given.count(k) ? given.at(k) : "REGION " + std::to_string(k)) << "\n";
  for (auto [file, row] : {std::pair{"nesect.asc", named ? "0 1 10 2 20 7\n" : "0 1 10 2\n"}, {"nwsect.asc", "0 3 20 4\n"},
                           {"sesect.asc", "0 5\n"}, {"swsect.asc", "0 6\n"}}) {
    std::ofstream f(d.path + "/" + file);
    // Each of the 91 rows the same, with its count of boundaries in the index.
    for (int r = 0; r < 91; ++r) f << row, idx << std::count(row, row + std::strlen(row), ' ') / 2 + 1 << "\n";
  }
}

Record at(double lat, double lon) {
  Event ev;
  ev.year = 2000, ev.month = 1, ev.day = 1, ev.lat = lat, ev.lon = lon;
  Record r;
  EncodeNotes notes;
  encode(ev, ZeroMag::tenth, r, notes);
  return r;
}

}  // namespace

TEST(RegionTables, WorldMeshRowsAndBoundaries) {
  TempDir d;
  write_small_fe(d);
  const FeTables fe = load_fe(d.path);
  NameTable nt;
  nt.group.assign(758, 0);
  for (int r = 1; r <= 6; ++r) nt.group[r] = r, nt.names.push_back("REGION " + std::to_string(r));
  const auto mesh = world_mesh(fe, nt);
  EXPECT_EQ(mesh.size(), 90u * (2 + 4 * 3) + 90u * (2 + 2 * 3));
  // Boundary -19: 19 W is still region 3; 0.3 S is row -1.
  const struct { double lat, lon; int want; } cases[] = {{0.3, 5, 1},     {45, 10.2, 2},    {45, -1.5, 3},
                                                         {45, -19.9, 3},  {45, -20.1, 4},   {89.9, -180, 4},
                                                         {-0.3, 5, 5},    {-89.5, -100, 6}};
  for (auto [lat, lon, want] : cases)
    EXPECT_EQ(mesh_lookup(mesh, false, int(std::fabs(lat)), lat < 0, std::fabs(lat), int(std::fabs(lon)), lon < 0), want)
        << lat << " " << lon;
  // Row keys are signed bytes, boundaries signed 16-bit.
  EXPECT_EQ(static_cast<int8_t>(mesh[0]), -90);
  EXPECT_EQ(static_cast<int16_t>(mesh[2] | mesh[3] << 8), -180);
}

TEST(RegionTables, NamesAreShortenedAndPadded) {
  const struct { std::string (*f)(const std::string&); const char *in, *want; } cases[] = {
      {base_name, "NEAR COAST OF NORTHERN CHILE", "CHILE"}, {base_name, "SOUTHERN ALASKA", "ALASKA"},
      {base_name, "CENTRAL", "CENTRAL"}, {base_name, "SOUTHERN PACIFIC OCEAN", "SOUTHERN PACIFIC OCEAN"},
      {base_name, "OFF W. COAST OF S. ISLAND, N.Z.", "SOUTH ISLAND, NEW ZEALAND"},
      {base_name, "NORTHERN AND CENTRAL IRAN", "IRAN"}, {base_name, "CENTRAL AFRICAN REPUBLIC", "CENTRAL AFRICAN REPUBLIC"},
      {base_name, "NORTHERN TERRITORY, AUSTRALIA", "NORTHERN TERRITORY, AUSTRALIA"},
      {shorten, "SOUTH SANDWICH ISLANDS REGION", "SOUTH SANDWICH IS. REG."},
      {shorten, "SOUTHWESTERN ATLANTIC OCEAN", "SW ATLANTIC OCEAN"},
      {shorten, "OFF W. COAST OF BAJA CALIFORNIA", "OFF W. COAST BAJA CALIF."},
      {shorten, "NORTHWESTERN KASHMIR-XINJIANG BORDER REGION, XX", "NW KASHMIR-XINJIANG BORD"}};
  for (const auto& c : cases) EXPECT_EQ(c.f(c.in), c.want);
  // Countries: after the comma, after "OF", either side of a border; whole words.
  EXPECT_EQ(name_keys("CHILE-ARGENTINA BORDER REGION"), (std::vector<std::string>{"CHILE", "ARG."}));
  EXPECT_EQ(name_keys("VERMONT - NEW HAMPSHIRE REGION"), (std::vector<std::string>{"VERMONT", "NEW HAMPSHIRE"}));
  EXPECT_EQ(name_keys("LAKE ISSYK-KUL REGION"), (std::vector<std::string>{"LAKE ISSYK-KUL"}));
  for (auto [name, table, want] : {std::tuple{"CENTRAL CHILE", "CHILE", value_own}, {"SAN JUAN PROVINCE, ARGENTINA", "ARGENTINA", 9},
                                   {"SEA OF JAPAN", "HONSHU, JAPAN", 8}, {"NIGERIA", "NIGER", 0},
                                   {"INDIA-BANGLADESH BORDER REGION", "INDIAN OCEAN", 0}})
    EXPECT_EQ(name_value(name, table), want) << name;
  EXPECT_TRUE(is_sea("OFF COAST OF OREGON") && is_sea("SOUTH OF ALASKA") && is_sea("MID-INDIAN RIDGE"));
  EXPECT_FALSE(is_sea("NEAR COAST OF OREGON") || is_sea("ALASKA PENINSULA"));
  const auto bytes = name_file({"HOKKAIDO", std::string(30, 'X')});
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "HOKKAIDO                " + std::string(24, 'X'));
}

// Aomori and Akita share the cell 40.0-40.67 N, 140-141 E, Akita with more
// land; the events there lie in Aomori. A sea cell whose event lies on
// Saga's speck of land is Saga's. Far from both, the Flinn-Engdahl
// region ("SEA OF JAPAN" east of 20 E here) names the cell.
TEST(RegionTables, JapanCellsNamedWhereTheirEventsLie) {
  TempDir d;
  write_small_fe(d, true);
  const FeTables fe = load_fe(d.path);
  write_file(d.file("p.geojson"), R"({"type":"FeatureCollection","features":[
    {"type":"Feature","properties":{"nam":"Aomori Ken"},"geometry":{"type":"Polygon",
     "coordinates":[[[140,40],[140.3,40],[140.3,40.7],[140,40.7],[140,40]]]}},
    {"type":"Feature","properties":{"nam":"Akita Ken"},"geometry":{"type":"Polygon",
     "coordinates":[[[140.3,40],[141,40],[141,40.7],[140.3,40.7],[140.3,40]]]}},
    {"type":"Feature","properties":{"nam":"Hokkai Do"},"geometry":{"type":"MultiPolygon",
     "coordinates":[[[[141,42.7],[142.2,42.7],[142.2,43.4],[141,43.4],[141,42.7]]]]}},
    {"type":"Feature","properties":{"nam":"Saga Ken"},"geometry":{"type":"Polygon",
     "coordinates":[[[130,33.4],[130.1,33.4],[130.1,33.5],[130,33.5],[130,33.4]]]}}]})");
  const std::vector<Record> events = {at(40.3, 140.1), at(40.4, 140.2), at(40.5, 140.5),
                                      at(40.3, 141.9),   // off the Akita coast
                                      at(33.45, 130.05)};  // on a speck of land in a sea cell
  const JapanTables t = japan_tables(d.file("p.geojson"), events, fe);
  ASSERT_EQ(t.mesh[0], 42);
  ASSERT_LE(t.mesh.size(), mesh_limit);
  const struct { double lat, lon; std::string want; } cases[] = {
      {40.3, 140.5, "AOMORI PREF."}, {43.0, 141.5, "HOKKAIDO"},     {40.3, 141.5, "OFF AKITA"}, {44.0, 141.5, "OFF HOKKAIDO"},
      {40.3, 145.5, "SEA OF JAPAN"}, {33.45, 130.5, "SAGA PREF."}, {27.9, 140.5, ""},          {40.3, 148.2, ""}};
  for (const auto& c : cases) {
    const int k = mesh_lookup(t.mesh, true, int(c.lat), false, c.lat, int(c.lon), false);
    EXPECT_EQ(k ? t.names[k - 1] : "", c.want) << c.lat << " " << c.lon;
  }
}

// Builds the tables from the Flinn-Engdahl files and the bundled catalogues
// (TARNWELL_RAW_DATA, else ../shared/data next to the repository) and
// checks how the events of the global catalogues are named, and that the
// shipped files are what the builder makes.
TEST(RegionTables, BuiltTablesNameEventsAfterTheirOwnRegion) {
  const char* env = std::getenv("TARNWELL_RAW_DATA");
  const std::string raw = env ? env : std::string(TOOLS_DIR) + "/../../shared/data";
  const std::string dir = raw + "/regions/flinn_engdahl_1995", data = std::string(TOOLS_DIR) + "/../data";
  if (!std::filesystem::exists(dir + "/names.asc")) GTEST_SKIP() << "no Flinn-Engdahl files at " << dir;
  const FeTables fe = load_fe(dir);
  const auto recs = bundled_events(data + "/dataset", {"isc", "pde", "usgs"});
  const NameTable nt =
      choose_names(fe, region_events(fe, recs),
                   felt_events(fe, raw + "/catalogs/noaa_ncei_significant_earthquakes_2024-04-12.tsv"));
  ASSERT_LE(nt.names.size(), 255u);
  const auto mesh = world_mesh(fe, nt), names = name_file(nt.names);
  ASSERT_LE(mesh.size(), mesh_limit);
  const Shares s = name_shares(fe, recs, mesh, names);
  EXPECT_GT(s.events, 30000);
  EXPECT_GE(s.own, s.events * own_share);
  EXPECT_EQ(s.other, 0);
  std::vector<uint8_t> shipped;
  ASSERT_TRUE(read_file(data + "/aux/world.mes", shipped));
  EXPECT_EQ(shipped, mesh) << "data/aux is stale: run tools/build-data.sh";
}

// The shipped region list, read line by line with the program's nine-word
// format; the first line whose name occurs in the typed text wins.
TEST(RegionList, EveryHelpRegionIsFoundWithASensibleBox) {
  std::ifstream f(std::string(TOOLS_DIR) + "/regions.txt");
  ASSERT_TRUE(f);
  std::vector<std::string> names;
  for (std::string line; std::getline(f, line);) {
    char name[11], w[8], we[8], e[8], ee[8], s[8], sn[8], n[8], nn[8];
    ASSERT_EQ(std::sscanf(line.c_str(), "%10s %7s %7s %7s %7s %7s %7s %7s %7s", name, w, we, e, ee, s, sn, n, nn), 9)
        << line;
    EXPECT_TRUE(strlen(w) <= 3 && strlen(s) <= 2 && std::atoi(w) <= 180 && std::atoi(e) <= 180) << line;
    EXPECT_TRUE((we[0] == 'E' || we[0] == 'W') && (ee[0] == 'E' || ee[0] == 'W')) << line;
    EXPECT_TRUE((sn[0] == 'N' || sn[0] == 'S') && (nn[0] == 'N' || nn[0] == 'S')) << line;
    EXPECT_LT(std::atoi(s) * (sn[0] == 'S' ? -1 : 1), std::atoi(n) * (nn[0] == 'S' ? -1 : 1)) << line;
    names.push_back(name);
  }
  for (const char* typed : {"WORLD", "PACIFIC", "ATLANTIC", "INDIAN", "NWPAC", "AUSTRALIA", "AFRICA", "NAMERICA",
                            "CAMERICA", "SAMERICA", "USSR", "CHINA", "ASEAN", "INDIA", "ARAB", "EUROPE", "JAPAN",
                            "HOKKAIDO", "TOHOKU", "KANTO", "IZU", "TOKAI", "CHUBU", "KINKI", "NANKAI", "CHUGOKU",
                            "SHIKOKU", "KYUSHU"}) {
    const auto found = std::find_if(names.begin(), names.end(),
                                    [&](const std::string& n) { return std::string(typed).find(n) != std::string::npos; });
    EXPECT_TRUE(found != names.end() && *found == typed) << "typing " << typed;
  }
}
