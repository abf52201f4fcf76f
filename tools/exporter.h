// export: dataset files -> CSV, FDSN text, QuakeML 1.2 or GeoJSON, each
// event named SOURCE-YYYY-N (N: its place in that year's file, from 1).
#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "record.h"

namespace tdata {

enum class ExportFormat { csv, fdsn, quakeml, geojson };
// false for a name that is not one of csv, fdsn, quakeml, geojson.
bool export_format(const std::string& name, ExportFormat& fmt);

// Writes recs of source in fmt; returns the number of events left out
// because the format cannot say "month or day unknown" (QuakeML, GeoJSON).
size_t write_export(std::ostream& out, ExportFormat fmt, const std::string& source,
                    const std::vector<Record>& recs);

// The records of all yearly files (and their parts) of source in dir,
// years from..to. Returns false with err set when a chain is broken.
bool source_records(const std::string& dir, const std::string& source, int from, int to,
                    std::vector<Record>& out, std::string& err);

}  // namespace tdata
