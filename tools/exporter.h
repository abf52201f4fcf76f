// export: dataset files -> CSV with the columns of the "export" table layout.
#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "record.h"

namespace tdata {

void write_csv(std::ostream& out, const std::vector<Record>& recs);
// All yearly files (and their parts) of source in dir, years from..to.
// Returns false with err set when a chain is broken.
bool export_source(const std::string& dir, const std::string& source, int from, int to,
                   std::ostream& out, std::string& err);
// One file and whatever it chains to.
bool export_file(const std::string& dir, const std::string& name, std::ostream& out, std::string& err);

}  // namespace tdata
