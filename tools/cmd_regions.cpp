// regions on the command line: world and Japanese tables, and how the world
// tables name the events of the bundled global catalogues.
#include <iostream>
#include <stdexcept>

#include "commands.h"
#include "dataset.h"
#include "regions.h"

namespace tdata {

namespace {

const std::vector<std::string> global_sources = {"isc", "pde", "usgs"};

std::vector<uint8_t> must_read(const std::string& path) {
  std::vector<uint8_t> b;
  if (!read_file(path, b)) throw std::runtime_error("cannot read " + path);
  return b;
}

void report_world(const FeTables& fe, const std::vector<Record>& recs, const std::vector<uint8_t>& mesh,
                  const std::vector<uint8_t>& names) {
  const Shares s = name_shares(fe, recs, mesh, names);
  auto pc = [&](long n) { return s.events ? 100.0 * n / s.events : 0; };
  std::cout << "world: " << names.size() / name_len << " names, mesh " << mesh.size() << " bytes; of " << s.events
            << " events (ISC, PDE, USGS) " << s.own << " (" << pc(s.own)
            << " %) named after their own Flinn-Engdahl region, " << s.other << " (" << pc(s.other)
            << " %) after another place\n";
}

void world_tables(const FeTables& fe, const std::vector<Record>& recs, const std::vector<long>& felt,
                  const std::string& out) {
  const NameTable nt = choose_names(fe, region_events(fe, recs), felt);
  const auto mesh = world_mesh(fe, nt), names = name_file(nt.names);
  write_file(out + "/world.mes", mesh);
  write_file(out + "/world.nam", names);
  report_world(fe, recs, mesh, names);
}

}  // namespace

// --check DIR measures the world tables already in DIR and writes nothing.
// --felt NOAA_TSV weighs quiet countries by the damaging earthquakes there.
int cmd_regions(const Args& a) {
  const std::string out = a.value("--out", "."), events = a.value("--events"), check = a.value("--check");
  if (events.empty() || a.value("--world").empty())
    throw std::runtime_error("regions needs --events DATASET_DIR and --world FE_DIR");
  const FeTables fe = load_fe(a.value("--world"));
  const auto recs = bundled_events(events, global_sources);
  if (!check.empty()) {
    report_world(fe, recs, must_read(check + "/world.mes"), must_read(check + "/world.nam"));
    return 0;
  }
  const std::string felt = a.value("--felt");
  world_tables(fe, recs, felt.empty() ? std::vector<long>(fe.names.size() + 1, 0) : felt_events(fe, felt), out);
  if (!a.value("--japan").empty()) {
    const JapanTables t = japan_tables(a.value("--japan"), bundled_events(events, {"jma"}), fe);
    write_file(out + "/japan.mes", t.mesh);
    write_file(out + "/japan.nam", name_file(t.names));
    std::cout << "japan: " << t.names.size() << " names, mesh " << t.mesh.size() << " bytes\n";
  }
  return 0;
}

}  // namespace tdata
