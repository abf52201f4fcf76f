// Shared by the catalogue reader targets: what every reader promises of
// the rows it returns.
#pragma once
#include <sstream>
#include <stdexcept>

#include "common.h"
#include "readers.h"

namespace fz_tools {

using tw::fz_fail;

// A row is either refused by the encoder with a reason, or written as a
// record that decodes to a valid time, latitude and longitude and encodes
// again to the same bytes. A file refused as a whole (not a document,
// nested too deep, a header without the columns) is no finding.
template <class Read>
int read_checked(const uint8_t* data, size_t size, Read read) {
  using namespace tdata;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  ReadResult rr;
  try {
    rr = read(in);
  } catch (const std::runtime_error&) {
  }
  for (const Problem& p : rr.problems)
    if (p.line < 1 || p.what.empty()) fz_fail("a problem without its line or reason");
  for (const Row& row : rr.rows) {
    Record r, again;
    EncodeNotes n;
    if (auto err = encode(row.ev, ZeroMag::tenth, r, n)) {
      if (err->empty()) fz_fail("a refusal without a reason");
      continue;
    }
    const Event e = decode(r);
    int y, m, d;
    civil_from_days(days_from_civil(e.year, e.month, e.day), y, m, d);
    if (e.month < 0 || e.month > 12 || e.day < 0 || e.day > 31 || e.hour > 23 || e.minute > 59 ||
        !(e.second >= 0 && e.second < 60) || (e.month && e.day && (y != e.year || m != e.month || d != e.day)))
      fz_fail("a written record with an invalid time or a day its month lacks");
    if (!(e.lat >= -90 && e.lat <= 90) || !(e.lon >= -180 && e.lon <= 180))
      fz_fail("a written record with an invalid latitude or longitude");
    if (encode(e, ZeroMag::tenth, again, n) || again != r) fz_fail("a written record that does not encode to itself");
  }
  return 0;
}

}  // namespace fz_tools
