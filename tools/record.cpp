#include "record.h"

#include <cmath>

namespace tdata {

int64_t days_from_civil(int y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void civil_from_days(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

namespace {

int days_in_month(int y, int m) {
  static const int n[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : n[m - 1];
}

void put16(Record& r, int at, unsigned v) {
  r[at] = v & 0xFF;
  r[at + 1] = (v >> 8) & 0xFF;
}

unsigned get16(const Record& r, int at) { return r[at] | (r[at + 1] << 8); }

std::optional<std::string> check_date(const Event& ev) {
  if (ev.year < 0 || ev.year > 65535) return "year " + std::to_string(ev.year) + " cannot be stored";
  if (ev.month < 0 || ev.month > 12) return "month out of range";
  if (ev.day < 0 || ev.day > 31) return "day out of range";
  if (ev.month > 0 && ev.day > days_in_month(ev.year, ev.month)) return "day out of range";
  if (ev.hour < 0 || ev.hour > 23 || ev.minute < 0 || ev.minute > 59) return "time out of range";
  if (!(ev.second >= 0 && ev.second < 60)) return "second out of range";
  return std::nullopt;
}

// Seconds round to tenths; 59.95 s carries into the next minute, which can
// move the date, so the carry goes through the calendar.
void put_time(const Event& ev, Record& r, EncodeNotes& notes, int& year) {
  int y = ev.year, mo = ev.month, d = ev.day, h = ev.hour, mi = ev.minute;
  long tenths = std::lround(ev.second * 10);
  if (tenths >= 600 && (mo == 0 || d == 0)) {
    tenths = 599;
    notes.second_clamped = true;
  } else if (tenths >= 600) {
    tenths -= 600;
    int64_t minutes = days_from_civil(y, mo, d) * 1440 + h * 60 + mi + 1;
    int64_t day = minutes >= 0 ? minutes / 1440 : (minutes - 1439) / 1440;
    int64_t rest = minutes - day * 1440;
    civil_from_days(day, y, mo, d);
    h = static_cast<int>(rest / 60);
    mi = static_cast<int>(rest % 60);
  }
  year = y;
  r[1] = mo; r[2] = d; r[3] = h; r[4] = mi;
  put16(r, 5, static_cast<unsigned>(tenths));
}

// Degrees, minutes with the hemisphere in bit 7, seconds; rounded to the
// nearest second, so -0.0001 becomes 0 00 00 without the hemisphere bit.
void put_angle(double v, Record& r, int at) {
  const long total = std::lround(std::fabs(v) * 3600);
  r[at] = static_cast<uint8_t>(total / 3600);
  r[at + 1] = static_cast<uint8_t>((total / 60) % 60 | (v < 0 && total > 0 ? 0x80 : 0));
  r[at + 2] = static_cast<uint8_t>(total % 60);
}

// Catalogues give longitudes as -180..180 or 0..360; anything else is an
// error in the row, not a position to wrap.
double normal_lon(double lon) { return lon > 180 ? lon - 360 : lon; }

std::optional<std::string> put_depth(const Event& ev, int year, Record& r, EncodeNotes& notes) {
  if (year < 1800 || year > 2054) {
    r[0] = 255;
    put16(r, 13, static_cast<unsigned>(year));
    notes.depth_dropped = ev.depth.has_value();
    return std::nullopt;
  }
  r[0] = static_cast<uint8_t>(year >= 1900 ? year - 1900 : year - 1645);
  if (!ev.depth) {
    put16(r, 13, 0xFFFF);
    return std::nullopt;
  }
  double km = *ev.depth;
  if (!std::isfinite(km)) return "depth is not a number";
  if (km < 0) {
    km = 0;
    notes.depth_clamped = true;
  }
  const long tenths = std::lround(km * 10);
  if (tenths > 32767) return "depth above 3276.7 km cannot be stored";
  put16(r, 13, static_cast<unsigned>(tenths));
  return std::nullopt;
}

std::optional<std::string> put_mag(const Event& ev, ZeroMag zm, Record& r, EncodeNotes& notes) {
  r[15] = 0;
  if (!ev.mag) return std::nullopt;
  if (!std::isfinite(*ev.mag)) return "magnitude is not a number";
  const long tenths = std::lround(std::fabs(*ev.mag) * 10);
  if (tenths > 127) return "magnitude beyond 12.7 cannot be stored";
  if (tenths == 0) {
    // Byte 0 means "undetermined", so 0.0 itself has no code: keep it as the
    // nearest storable value, unless the catalogue writes 0 for "not determined".
    notes.zero_mag = true;
    const bool unknown = zm == ZeroMag::unknown && *ev.mag == 0;
    r[15] = unknown ? 0 : static_cast<uint8_t>(1 | (*ev.mag < 0 ? 0x80 : 0));
    return std::nullopt;
  }
  r[15] = static_cast<uint8_t>(tenths | (*ev.mag < 0 ? 0x80 : 0));
  return std::nullopt;
}

}  // namespace

std::optional<std::string> encode(const Event& ev, ZeroMag zm, Record& rec, EncodeNotes& notes) {
  rec.fill(0);
  notes = EncodeNotes{};
  if (auto err = check_date(ev)) return err;
  if (!(std::fabs(ev.lat) <= 90)) return "latitude out of range";
  if (!(ev.lon >= -180 && ev.lon <= 360)) return "longitude out of range";
  int year = ev.year;
  put_time(ev, rec, notes, year);
  if (year > 65535) return "year cannot be stored";
  put_angle(normal_lon(ev.lon), rec, 7);
  put_angle(ev.lat, rec, 10);
  if (auto err = put_depth(ev, year, rec, notes)) return err;
  return put_mag(ev, zm, rec, notes);
}

int record_year(const Record& r) {
  if (r[0] < 155) return 1900 + r[0];
  if (r[0] < 255) return 1645 + r[0];
  return static_cast<int>(get16(r, 13));
}

namespace {
double get_angle(const Record& r, int at) {
  const double v = r[at] + (r[at + 1] & 0x7F) / 60.0 + r[at + 2] / 3600.0;
  return r[at + 1] & 0x80 ? -v : v;
}
}  // namespace

Event decode(const Record& r) {
  Event ev;
  ev.year = record_year(r);
  ev.month = r[1]; ev.day = r[2]; ev.hour = r[3]; ev.minute = r[4];
  ev.second = get16(r, 5) / 10.0;
  ev.lon = get_angle(r, 7);
  ev.lat = get_angle(r, 10);
  if (r[0] != 255 && get16(r, 13) != 0xFFFF) ev.depth = get16(r, 13) / 10.0;
  if (r[15] != 0) ev.mag = (r[15] & 0x7F) / 10.0 * (r[15] & 0x80 ? -1 : 1);
  return ev;
}

uint64_t time_key(const Record& r) {
  uint64_t k = static_cast<uint64_t>(record_year(r));
  for (int i = 1; i <= 4; ++i) k = k << 8 | r[i];
  return k << 16 | get16(r, 5);
}

bool is_marker(const Record& r) { return r[1] == 255; }

}  // namespace tdata
