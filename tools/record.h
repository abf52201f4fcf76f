// The 16-byte event record: encoding from catalogue values and decoding back.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace tdata {

using Record = std::array<uint8_t, 16>;

// One event as a catalogue gives it, in natural units.
struct Event {
  int year = 0, month = 0, day = 0;  // month and day 0: unknown
  int hour = 0, minute = 0;
  double second = 0;
  double lat = 0, lon = 0;           // degrees, south and west negative
  std::optional<double> depth;       // km below the surface
  std::optional<double> mag;
};

// What to do with a magnitude that rounds to 0.0, which the record cannot
// hold: tenth stores 0.1 (-0.1 for a negative value); unknown stores an
// exact 0 as undetermined and other values as tenth does.
enum class ZeroMag { tenth, unknown };

// Changes made while encoding; the importer counts them in its report.
struct EncodeNotes {
  bool zero_mag = false;       // 0.0 stored as 0.1 or as unknown
  bool depth_dropped = false;  // year code 255 keeps the year in the depth word
  bool depth_clamped = false;  // a depth above the surface stored as 0.0
  bool second_clamped = false; // 59.95 s and more with an unknown date
};

// Fills rec; returns the reason when the event cannot be stored.
std::optional<std::string> encode(const Event& ev, ZeroMag zm, Record& rec,
                                  EncodeNotes& notes);
Event decode(const Record& rec);

int record_year(const Record& rec);
// Chronological key: year, month, day, hour, minute, tenths of a second.
uint64_t time_key(const Record& rec);
bool is_marker(const Record& rec);

// Days since 1970-01-01 in the proleptic Gregorian calendar, and back.
int64_t days_from_civil(int y, int m, int d);
void civil_from_days(int64_t z, int& y, int& m, int& d);

}  // namespace tdata
