// Record edges (hemispheres at 0 degrees, carries, longitude range) are
// checked through imports (nc.csv); here the layout of a year's parts.
#include <gtest/gtest.h>

#include "dataset.h"
#include "tmpdir.h"

using namespace tdata;

// A part holds 4095 records and ends in FF FF, or in FE FF (FD FF, FC FF
// ... for the third and later parts) when the year goes on; a missing part
// is named.
TEST(Dataset, PartsAndTheirMarkers) {
  const std::pair<int, std::vector<int>> cases[] = {
      {4095, {0xFFFF}}, {4096, {0xFFFE, 0xFFFF}}, {4095 * 3 + 7, {0xFFFE, 0xFFFD, 0xFFFC, 0xFFFF}}};
  for (const auto& [n, ends] : cases) {
    SCOPED_TRACE(n);
    TempDir d;
    std::vector<Record> recs(n), back;
    for (int i = 0; i < n; ++i) recs[i] = {95, 1, uint8_t(1 + i / 1440), uint8_t(i / 60 % 24), uint8_t(i % 60), 0, 0, 35};
    const auto names = write_parts(d.path, "NC-01.B", recs);
    ASSERT_EQ(names.size(), ends.size());
    for (size_t k = 0; k < names.size(); ++k) {
      EXPECT_EQ(names[k], "nc-01.b" + (k ? std::to_string(k + 1) : ""));
      const std::string img = slurp(d.file(names[k]));
      ASSERT_EQ(img.size(), 4 + 16 * (k + 1 < names.size() ? 4095 : n - 4095 * k) + 2);
      EXPECT_EQ(uint8_t(img[img.size() - 2]) | uint8_t(img.back()) << 8, ends[k]);
    }
    std::string err;
    EXPECT_TRUE(read_chain(d.path, "NC-01.B", back, err)) << err;
    EXPECT_EQ(back, recs);
    if (names.size() < 4) continue;
    std::filesystem::remove(d.path + "/nc-01.b3");
    EXPECT_FALSE(read_chain(d.path, "NC-01.B", back, err));
    EXPECT_NE(err.find("nc-01.b3"), std::string::npos);
  }
}
