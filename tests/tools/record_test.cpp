#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "dataset.h"
#include "record.h"
#include "tmpdir.h"

using namespace tdata;

namespace {

Event at(double lat, double lon) {
  Event e;
  e.year = 1990; e.month = 5; e.day = 17; e.hour = 3; e.minute = 4; e.second = 5.5;
  e.lat = lat; e.lon = lon;
  e.depth = 10.0;
  e.mag = 4.5;
  return e;
}

using Ints = std::vector<int>;

Record enc(const Event& e, ZeroMag zm = ZeroMag::tenth) {
  Record r;
  EncodeNotes n;
  EXPECT_FALSE(encode(e, zm, r, n).has_value());
  return r;
}

Ints pick(const Record& r, std::initializer_list<int> at) {
  Ints v;
  for (int k : at) v.push_back(r[k]);
  return v;
}

// n records of one year, a second apart.
std::vector<Record> events(int n, int year = 1995) {
  std::vector<Record> v;
  for (int i = 0; i < n; ++i) {
    Event e = at(35, 139);
    e.year = year; e.month = 1 + i / 40000; e.day = 1; e.hour = (i / 3600) % 24; e.minute = (i / 60) % 60;
    e.second = i % 60;
    v.push_back(enc(e));
  }
  return v;
}

// The file's bytes, and the 16-bit word at offset k of them.
std::vector<uint8_t> bytes(const TmpDir& d, const std::string& name) {
  std::vector<uint8_t> img;
  EXPECT_TRUE(read_file(d.path + "/" + name, img)) << name;
  return img;
}
int word(const std::vector<uint8_t>& img, size_t k) { return k + 1 < img.size() ? img[k] | img[k + 1] << 8 : -1; }

std::vector<Record> chain(const TmpDir& d, const std::string& name) {
  std::vector<Record> back;
  std::string err;
  EXPECT_TRUE(read_chain(d.path, name, back, err)) << err;
  return back;
}

}  // namespace

TEST(Record, HemisphereBitsWithZeroDegrees) {
  const Record r = enc(at(-0.5, -0.25));
  EXPECT_EQ(pick(r, {7, 8, 10, 11}), (Ints{0, 0x80 | 15, 0, 0x80 | 30}));
  const Event back = decode(r);
  EXPECT_DOUBLE_EQ(back.lat, -0.5);
  EXPECT_DOUBLE_EQ(back.lon, -0.25);
  // A value that rounds to zero seconds has no hemisphere to mark.
  EXPECT_EQ(enc(at(-0.0001, 10))[11], 0);
  // 135 30 30 W: the sample of the record layout.
  const Record w = enc(at(0, -(135 + 30 / 60.0 + 30 / 3600.0)));
  EXPECT_EQ(pick(w, {7, 8, 9}), (Ints{135, 0x9E, 30}));
  // Rounding to the second carries into minutes and degrees.
  const Record c = enc(at(35.99999, 139.99999));
  EXPECT_EQ(pick(c, {10, 11, 7}), (Ints{36, 0, 140}));
}

TEST(Record, YearCodes) {
  Event e = at(1, 1);
  const std::pair<int, int> cases[] = {{1900, 0}, {2054, 154}, {1800, 155}, {1899, 254}};
  for (auto [year, code] : cases) {
    e.year = year;
    const Record r = enc(e);
    EXPECT_EQ(r[0], code) << year;
    EXPECT_EQ(record_year(r), year);
    EXPECT_EQ(r[13] | r[14] << 8, 100) << "depth kept for " << year;
  }
  for (int year : {1703, 2055, 1008}) {
    e.year = year;
    Record r;
    EncodeNotes n;
    ASSERT_FALSE(encode(e, ZeroMag::tenth, r, n));
    EXPECT_EQ(r[0], 255);
    EXPECT_EQ(r[13] | r[14] << 8, year);
    EXPECT_TRUE(n.depth_dropped);
    EXPECT_EQ(decode(r).year, year);
    EXPECT_FALSE(decode(r).depth.has_value());
  }
  e.year = -5;
  Record r;
  EncodeNotes n;
  EXPECT_TRUE(encode(e, ZeroMag::tenth, r, n).has_value());
}

TEST(Record, DepthAndMagnitude) {
  Event e = at(1, 1);
  e.depth.reset();
  e.mag.reset();
  Record r = enc(e);
  EXPECT_EQ(pick(r, {13, 14, 15}), (Ints{0xFF, 0xFF, 0}));
  EXPECT_FALSE(decode(r).depth || decode(r).mag);

  for (auto [mag, byte] : {std::pair{-0.5, 0x85}, {12.7, 0x7F}}) {
    e.mag = mag;
    EXPECT_EQ(enc(e)[15], byte) << mag;
  }
  e.depth = 3276.7;
  EXPECT_EQ(enc(e)[13] | enc(e)[14] << 8, 32767);

  EncodeNotes n;
  e.depth = 3276.8;
  EXPECT_TRUE(encode(e, ZeroMag::tenth, r, n).has_value());
  e.depth = -1.2;
  ASSERT_FALSE(encode(e, ZeroMag::tenth, r, n));
  EXPECT_TRUE(n.depth_clamped);
  EXPECT_EQ(r[13] | r[14] << 8, 0);
  e.depth = 1.0;
  e.mag = 12.8;
  EXPECT_TRUE(encode(e, ZeroMag::tenth, r, n).has_value());
}

TEST(Record, ZeroMagnitudePolicy) {
  Event e = at(1, 1);
  e.mag = 0.0;
  EXPECT_EQ(enc(e, ZeroMag::tenth)[15], 1);
  EXPECT_EQ(enc(e, ZeroMag::unknown)[15], 0);
  e.mag = -0.03;
  EXPECT_EQ(enc(e, ZeroMag::tenth)[15], 0x81);
  EXPECT_EQ(enc(e, ZeroMag::unknown)[15], 0x81);  // only an exact 0 means "not determined"
  e.mag = 0.04;
  EXPECT_EQ(enc(e, ZeroMag::unknown)[15], 1);
}

TEST(Record, SecondsCarryThroughTheCalendar) {
  Event e = at(1, 1);
  e.year = 1999; e.month = 12; e.day = 31; e.hour = 23; e.minute = 59; e.second = 59.96;
  const Record r = enc(e);
  EXPECT_EQ(record_year(r), 2000);
  EXPECT_EQ(pick(r, {0, 1, 2, 3, 4, 5, 6}), (Ints{100, 1, 1, 0, 0, 0, 0}));
  e.year = 2000; e.month = 2; e.day = 28;
  EXPECT_EQ(enc(e)[2], 29);
  // With the day unknown there is nothing to carry into.
  e.day = 0;
  EXPECT_EQ(enc(e)[5] | enc(e)[6] << 8, 599);
  e.day = 31; e.month = 4;
  EncodeNotes n;
  Record bad;
  EXPECT_TRUE(encode(e, ZeroMag::tenth, bad, n).has_value());
}

TEST(Record, TimeKeyOrdersChronologically) {
  Event a = at(1, 1), b = at(1, 1);
  a.year = 1899; b.year = 1900;
  EXPECT_LT(time_key(enc(a)), time_key(enc(b)));
  a.year = 1900; a.second = 59.0; b.minute = 5; b.second = 0.0;
  EXPECT_LT(time_key(enc(a)), time_key(enc(b)));
}

TEST(Dataset, YearlyNames) {
  EXPECT_EQ(year_file_name("JMA", 1926), "JMA-26.B");
  EXPECT_EQ(year_file_name("JMA", 1999), "JMA-99.B");
  EXPECT_EQ(year_file_name("JMA", 2005), "JMA005.B");
  EXPECT_EQ(year_file_name("JMA", 2012), "JMA012.B");
  EXPECT_EQ(part_name("JMA-95.B", 1), "JMA-95.B");
  EXPECT_EQ(part_name("JMA-95.B", 2), "JMA-95.B2");
  EXPECT_EQ(part_name("JMA-95.B", 3), "JMA-95.B3");
}

// A part holds 4095 records and ends in FF FF, or in FE FF (FD FF, FC FF
// ... for the third and later parts) when the year goes on.
TEST(Dataset, PartsAtExactly4095And4096RecordsAndLater) {
  TmpDir d, e, f;
  ASSERT_EQ(write_parts(d.path, "JMA-95.B", events(4095)), std::vector<std::string>{"jma-95.b"});
  EXPECT_EQ(bytes(d, "jma-95.b").size(), 4 + 4095 * 16 + 2u);
  EXPECT_EQ(word(bytes(d, "jma-95.b"), 65524), 0xFFFF);

  ASSERT_EQ(write_parts(e.path, "JMA-95.B", events(4096)), (std::vector<std::string>{"jma-95.b", "jma-95.b2"}));
  EXPECT_EQ(bytes(e, "jma-95.b").size(), 65526u);
  EXPECT_EQ(word(bytes(e, "jma-95.b"), 65524), 0xFFFE);
  EXPECT_EQ(bytes(e, "jma-95.b2").size(), 4 + 16 + 2u);
  EXPECT_EQ(chain(e, "JMA-95.B"), events(4096));

  const auto recs = events(4095 * 3 + 7);
  const auto names = write_parts(f.path, "NC-01.B", recs);
  ASSERT_EQ(names.size(), 4u);
  EXPECT_EQ(names[3], "nc-01.b4");
  EXPECT_EQ(word(bytes(f, "nc-01.b2"), 65524), 0xFFFD);  // part 3
  EXPECT_EQ(word(bytes(f, "nc-01.b3"), 65524), 0xFFFC);  // part 4
  EXPECT_EQ(word(bytes(f, "nc-01.b4"), 4 + 7 * 16), 0xFFFF);
  EXPECT_EQ(chain(f, "NC-01.B"), recs);

  std::filesystem::remove(f.path + "/nc-01.b3");
  std::vector<Record> back;
  std::string err;
  EXPECT_FALSE(read_chain(f.path, "NC-01.B", back, err));
  EXPECT_NE(err.find("nc-01.b3"), std::string::npos);
}

TEST(Dataset, EmptyYearIsAnEndMarkerOnly) {
  TmpDir d;
  write_parts(d.path, "PDE-30.B", {});
  EXPECT_EQ(bytes(d, "pde-30.b").size(), 6u);
  EXPECT_TRUE(chain(d, "PDE-30.B").empty());
}

// Longitudes are -180..360 (360 and above 180 wrap once); others are refused,
// however large, at once.
TEST(Record, LongitudeRange) {
  const std::pair<double, double> ok[] = {{360, 0}, {180.5, -179.5}, {-180, -180}};
  for (auto [lon, stored] : ok) EXPECT_NEAR(decode(enc(at(1, lon))).lon, stored, 1e-9) << lon;
  for (double lon : {400.0, -540.5, 1e12, 1e300, -HUGE_VAL, std::nan("")}) {
    Record r;
    EncodeNotes n;
    EXPECT_EQ(encode(at(1, lon), ZeroMag::tenth, r, n), "longitude out of range") << lon;
  }
}
