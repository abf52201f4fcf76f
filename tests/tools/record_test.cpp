#include <gtest/gtest.h>

#include "record.h"

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

Record enc(const Event& e, ZeroMag zm = ZeroMag::tenth) {
  Record r;
  EncodeNotes n;
  EXPECT_FALSE(encode(e, zm, r, n).has_value());
  return r;
}

}  // namespace

TEST(Record, HemisphereBitsWithZeroDegrees) {
  const Record r = enc(at(-0.5, -0.25));
  EXPECT_EQ(r[7], 0);
  EXPECT_EQ(r[8], 0x80 | 15);
  EXPECT_EQ(r[10], 0);
  EXPECT_EQ(r[11], 0x80 | 30);
  const Event back = decode(r);
  EXPECT_DOUBLE_EQ(back.lat, -0.5);
  EXPECT_DOUBLE_EQ(back.lon, -0.25);
  // A value that rounds to zero seconds has no hemisphere to mark.
  EXPECT_EQ(enc(at(-0.0001, 10))[11], 0);
  // 135 30 30 W: the sample of the record layout.
  const Record w = enc(at(0, -(135 + 30 / 60.0 + 30 / 3600.0)));
  EXPECT_EQ(w[7], 135);
  EXPECT_EQ(w[8], 0x9E);
  EXPECT_EQ(w[9], 30);
  // Rounding to the second carries into minutes and degrees.
  const Record c = enc(at(35.99999, 139.99999));
  EXPECT_EQ(c[10], 36);
  EXPECT_EQ(c[11], 0);
  EXPECT_EQ(c[7], 140);
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
  EXPECT_EQ(r[13], 0xFF);
  EXPECT_EQ(r[14], 0xFF);
  EXPECT_EQ(r[15], 0);
  EXPECT_FALSE(decode(r).depth || decode(r).mag);

  e.mag = -0.5;
  EXPECT_EQ(enc(e)[15], 0x85);
  e.mag = 12.7;
  EXPECT_EQ(enc(e)[15], 0x7F);
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
  EXPECT_EQ(r[0], 100);
  EXPECT_EQ(r[1], 1);
  EXPECT_EQ(r[2], 1);
  EXPECT_EQ(r[3] + r[4] + r[5] + r[6], 0);
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
