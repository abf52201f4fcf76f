// regions on the command line: world and Japanese tables, and the check of
// the world table against the Flinn-Engdahl reference points.
#include <iostream>
#include <stdexcept>

#include "commands.h"
#include "dataset.h"
#include "regions.h"

namespace tdata {

namespace {

void report_world(const std::string& fe_dir, const std::vector<uint8_t>& mesh, const NameTable& nt,
                  const FeTables& fe) {
  const Agreement a = check_world(fe_dir + "/fe-short.txt", mesh, nt, fe);
  auto pc = [&](int n) { return a.points ? 100.0 * n / a.points : 0; };
  std::cout << "world: " << nt.names.size() << " names, mesh " << mesh.size() << " bytes, regions grouped within "
            << nt.extent << " degrees; " << a.same << " of " << a.points << " reference points agree ("
            << pc(a.same) << " %); " << a.own << " (" << pc(a.own) << " %) get their region's own name, "
            << a.fitting << " (" << pc(a.fitting) << " %) its own name or its country's\n";
}

}  // namespace

int cmd_regions(const Args& a) {
  const std::string out = a.value("--out", ".");
  if (!a.value("--world").empty()) {
    const FeTables fe = load_fe(a.value("--world"));
    const NameTable nt = reduce_names(fe);
    const auto mesh = world_mesh(fe, nt);
    write_file(out + "/world.mes", mesh);
    write_file(out + "/world.nam", name_file(nt.names));
    report_world(a.value("--world"), mesh, nt, fe);
  }
  if (!a.value("--japan").empty()) {
    const JapanTables t = japan_tables(a.value("--japan"));
    write_file(out + "/japan.mes", t.mesh);
    write_file(out + "/japan.nam", name_file(t.names));
    std::cout << "japan: " << t.names.size() << " names, mesh " << t.mesh.size() << " bytes\n";
  }
  return 0;
}

}  // namespace tdata
