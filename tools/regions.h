// Region-name tables: the world mesh and names from the Flinn-Engdahl
// regionalisation, and the Japanese mesh and names from prefecture polygons.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tdata {

constexpr int name_len = 24;   // bytes per name in a name file
constexpr int max_names = 255; // a name number is one byte
constexpr size_t mesh_limit = 8192;

// Flinn-Engdahl regions on the whole-degree grid: cells[lat + 90][lon + 180]
// is the region number (1-757) of signed row lat (-90..89, south rows as
// the program keys them) and signed whole-degree longitude lon (-180..180).
struct FeTables {
  std::vector<std::string> names;                   // region k at names[k - 1]
  std::vector<std::array<int, 361>> cells;          // 180 rows
};
FeTables load_fe(const std::string& dir);

// "NORTHERN CHILE", "NEAR COAST OF NORTHERN CHILE", "CHILE REGION" -> "CHILE".
// Ocean names keep their side ("SOUTHERN PACIFIC OCEAN").
std::string base_name(const std::string& fe_name);
// Abbreviates whole words by a fixed table, in order, until the name fits;
// then cuts to 24 characters.
std::string shorten(const std::string& name);
// The country or place a name belongs to, abbreviated as shorten would:
// the text after the last comma ("JAPAN"), the place after "OF" ("SEA OF
// JAPAN" -> "JAPAN"), each side of a border ("CHILE", "ARGENTINA"), or else
// the base name.
std::vector<std::string> name_keys(const std::string& fe_name);
// Sea, ocean, ridge, "OFF COAST OF ..." and "SOUTH OF ..." names.
bool is_sea(const std::string& fe_name);
// How well a table name serves a region: value_own for its own full or base
// name, 9 for its country alone, 8 for a name containing its country (whole
// words), else 0.
constexpr int value_own = 10;
int name_value(const std::string& fe_name, const std::string& table_name);

// A name table: names[k - 1] is name number k; group[r] is the name number
// of Flinn-Engdahl region r (index 0 unused).
struct NameTable {
  std::vector<std::string> names;
  std::vector<int> group;
  double extent = 0;  // distance limit the grouping needed, degrees
};
// Groups neighbouring regions until the names and the mesh fit (see the
// grouping section of regions_world.cpp); mesh_bytes is the mesh budget.
NameTable reduce_names(const FeTables& fe, size_t mesh_bytes = mesh_limit);

std::vector<uint8_t> world_mesh(const FeTables& fe, const NameTable& nt);
std::vector<uint8_t> name_file(const std::vector<std::string>& names);

// The program's lookup: name number for an event's degree bytes and
// hemisphere letters (0 when none). japan selects the 2-byte entry form.
int mesh_lookup(const std::vector<uint8_t>& mesh, bool japan, int lat_deg, bool south, double lat,
                int lon_deg, bool west);

struct Agreement {
  int points = 0;
  int same = 0;  // the name the table gives the point's Flinn-Engdahl region
  int own = 0;   // and that name is the region's own (full or base) name
  int fitting = 0;  // or at least contains the region's country (name_value > 0)
};
// Reference points "lat lon region NAME" against the mesh (through the
// record encoding, as events reach the lookup).
Agreement check_world(const std::string& fe_short_path, const std::vector<uint8_t>& mesh,
                      const NameTable& nt, const FeTables& fe);

// Japanese set: rows of 40 minutes (key 42-68), whole degrees 128-147.
struct JapanTables {
  std::vector<uint8_t> mesh;
  std::vector<std::string> names;
};
JapanTables japan_tables(const std::string& prefectures_geojson);

}  // namespace tdata
