#include <gtest/gtest.h>

#include <filesystem>

#include "dataset.h"
#include "tmpdir.h"

using namespace tdata;

namespace {

std::vector<Record> events(int n, int year = 1995) {
  std::vector<Record> v;
  for (int i = 0; i < n; ++i) {
    Event e;
    e.year = year; e.month = 1 + i / 40000; e.day = 1; e.hour = (i / 3600) % 24; e.minute = (i / 60) % 60;
    e.second = i % 60;
    e.lat = 35; e.lon = 139;
    e.mag = 3.0;
    Record r;
    EncodeNotes notes;
    EXPECT_FALSE(encode(e, ZeroMag::tenth, r, notes));
    v.push_back(r);
  }
  return v;
}

size_t size_of(const TmpDir& d, const std::string& name) {
  return std::filesystem::file_size(d.path + "/" + name);
}

}  // namespace

TEST(Dataset, YearlyNames) {
  EXPECT_EQ(year_file_name("JMA", 1926), "JMA-26.B");
  EXPECT_EQ(year_file_name("JMA", 1999), "JMA-99.B");
  EXPECT_EQ(year_file_name("JMA", 2005), "JMA005.B");
  EXPECT_EQ(year_file_name("JMA", 2012), "JMA012.B");
  EXPECT_EQ(part_name("JMA-95.B", 1), "JMA-95.B");
  EXPECT_EQ(part_name("JMA-95.B", 2), "JMA-95.B2");
  EXPECT_EQ(part_name("JMA-95.B", 3), "JMA-95.B3");
}

TEST(Dataset, PartsAtExactly4095And4096Records) {
  TmpDir d;
  auto names = write_parts(d.path, "JMA-95.B", events(4095));
  ASSERT_EQ(names, std::vector<std::string>{"jma-95.b"});
  EXPECT_EQ(size_of(d, "jma-95.b"), 4 + 4095 * 16 + 2u);
  std::vector<uint8_t> img;
  ASSERT_TRUE(read_file(d.path + "/jma-95.b", img));
  EXPECT_EQ(img[65524], 0xFF);
  EXPECT_EQ(img[65525], 0xFF);

  TmpDir e;
  names = write_parts(e.path, "JMA-95.B", events(4096));
  ASSERT_EQ(names, (std::vector<std::string>{"jma-95.b", "jma-95.b2"}));
  ASSERT_TRUE(read_file(e.path + "/jma-95.b", img));
  EXPECT_EQ(img.size(), 65526u);
  EXPECT_EQ(img[65524], 0xFE);
  EXPECT_EQ(img[65525], 0xFF);
  EXPECT_EQ(size_of(e, "jma-95.b2"), 4 + 16 + 2u);
  std::vector<Record> back;
  std::string err;
  ASSERT_TRUE(read_chain(e.path, "JMA-95.B", back, err)) << err;
  EXPECT_EQ(back, events(4096));
}

TEST(Dataset, ThirdAndLaterPartsUseTheirNumberInTheMarker) {
  TmpDir d;
  const auto recs = events(4095 * 3 + 7);
  auto names = write_parts(d.path, "NC-01.B", recs);
  ASSERT_EQ(names.size(), 4u);
  EXPECT_EQ(names[3], "nc-01.b4");
  std::vector<uint8_t> img;
  ASSERT_TRUE(read_file(d.path + "/nc-01.b2", img));
  EXPECT_EQ(img[65524], 0xFD);  // part 3
  ASSERT_TRUE(read_file(d.path + "/nc-01.b3", img));
  EXPECT_EQ(img[65524], 0xFC);  // part 4
  ASSERT_TRUE(read_file(d.path + "/nc-01.b4", img));
  EXPECT_EQ(img[4 + 7 * 16], 0xFF);
  EXPECT_EQ(img[4 + 7 * 16 + 1], 0xFF);
  std::vector<Record> back;
  std::string err;
  ASSERT_TRUE(read_chain(d.path, "NC-01.B", back, err)) << err;
  EXPECT_EQ(back, recs);

  std::filesystem::remove(d.path + "/nc-01.b3");
  back.clear();
  EXPECT_FALSE(read_chain(d.path, "NC-01.B", back, err));
  EXPECT_NE(err.find("nc-01.b3"), std::string::npos);
}

TEST(Dataset, EmptyYearIsAnEndMarkerOnly) {
  TmpDir d;
  write_parts(d.path, "PDE-30.B", {});
  EXPECT_EQ(size_of(d, "pde-30.b"), 6u);
  std::vector<Record> back;
  std::string err;
  EXPECT_TRUE(read_chain(d.path, "PDE-30.B", back, err));
  EXPECT_TRUE(back.empty());
}
