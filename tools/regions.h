// Region-name tables: the world mesh and names from the Flinn-Engdahl
// regionalisation, and the Japanese mesh and names from prefecture polygons.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "record.h"

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
  std::array<int, 180> west_zero{};                 // the cell 0-1 degree west of each row (cells hold east)
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
};

// The events of the bundled catalogues whose file names start with one of
// the prefixes ("isc", "pde", "usgs"), every part of every yearly chain.
std::vector<Record> bundled_events(const std::string& dataset_dir, const std::vector<std::string>& prefixes);
// The Flinn-Engdahl region of an event record, by the regionalisation's own
// rule (so 0.5 W is looked up west of Greenwich).
int fe_region(const FeTables& fe, const Record& rec);
std::vector<long> region_events(const FeTables& fe, const std::vector<Record>& recs);
// The truthful broader names of every region (index 0 unused): near, its
// country or sea (a border region keeps its own name), and wide, the ocean
// or the part of a continent it lies in.
struct Broader {
  std::string near, wide;
};
std::vector<Broader> broader_names(const FeTables& fe);
// The most active regions keep their own names, the rest their broader
// name, as many as the names and the mesh budget allow: at least own_share
// of the events their own region's, the regions of a fixed list of
// well-known places in quiet countries (Reykjavik, Kathmandu, Beijing, ...)
// their own names, and as many other quiet countries as the bytes left
// allow, the ones with most damaging earthquakes (felt, by region) first.
constexpr double own_share = 0.85;
NameTable choose_names(const FeTables& fe, const std::vector<long>& events, const std::vector<long>& felt,
                       size_t mesh_bytes = mesh_limit);
// Damaging earthquakes by region, from the NOAA significant earthquakes table.
std::vector<long> felt_events(const FeTables& fe, const std::string& noaa_tsv);

std::vector<uint8_t> world_mesh(const FeTables& fe, const NameTable& nt);
std::vector<uint8_t> name_file(const std::vector<std::string>& names);

// The program's lookup: name number for an event's degree bytes and
// hemisphere letters (0 when none). japan selects the 2-byte entry form.
int mesh_lookup(const std::vector<uint8_t>& mesh, bool japan, int lat_deg, bool south, double lat,
                int lon_deg, bool west);
int mesh_lookup(const std::vector<uint8_t>& mesh, bool japan, const Record& rec);

// How the world tables name events: under their own Flinn-Engdahl region's
// name, a truthful broader one, or another place's.
struct Shares {
  long events = 0;
  long own = 0;
  long other = 0;
};
Shares name_shares(const FeTables& fe, const std::vector<Record>& recs, const std::vector<uint8_t>& mesh,
                   const std::vector<uint8_t>& name_bytes);

// Japanese set: rows of 40 minutes (key 42-68), whole degrees 128-147.
struct JapanTables {
  std::vector<uint8_t> mesh;
  std::vector<std::string> names;
};
// Cells are named after where the given events lie (the bundled JMA
// catalogue), else the land in them; cells away from Japan after their
// Flinn-Engdahl region.
JapanTables japan_tables(const std::string& prefectures_geojson, const std::vector<Record>& events,
                         const FeTables& fe);

}  // namespace tdata
