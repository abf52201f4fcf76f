#include <gtest/gtest.h>

#include <sstream>

#include "mapfile.h"
#include "stations.h"
#include "tmpdir.h"

using namespace tdata;

// Lines read back to the map's resolution (0.001 degrees from a base
// longitude, or 0.01): cut at the antimeridian at the latitude between,
// clipped to a box where they leave it and come back; a line too long for
// one file goes on in the next, named by a 'Z' record, the last ending 'X'.
TEST(MapFile, LinesReadBackThroughEveryFile) {
  TempDir d;
  std::filesystem::copy(DATA_DIR, d.path);
  const std::vector<Polyline> lines = {{'C', {{139.7671, 35.6812}, {140.1234, 36.0001}}}, {'C', {{130.5, 31.25}, {131, 32}}},
                                       {'C', {{141, 43}, {142.0005, 44.0004}}}, {'C', {{135, 34}, {136, 34}, {136, 35}, {135, 34}}}};
  std::ostringstream gmt;
  Polyline zig{'C', {}};
  for (int i = 0; i < 40000; ++i)
    zig.pts.push_back({-170 + i * 0.005, (i % 2000) * 0.01}), gmt << zig.pts.back()[0] << " " << zig.pts.back()[1] << "\n";
  write_file(d.file("long.gmt"), gmt.str());
  const struct { std::string args, out; bool fine; std::vector<Polyline> want; } cases[] = {
      {"--out japan.m C:geojson:lines.json",
       "japan.m: fine, base 130, 4 polylines, 10 points before quantising, 1 files, 89 bytes, C 4, 1 features without geometry\n",
       true, lines},
      {"--out earth.m --resolution normal C:geojson:lines.json", "earth.m: normal, base 0, 4 polylines", false, lines},
      {"--out world.m C:gmt:long.gmt", "world.m: normal, base 0, 1 polylines, 40000 points before quantising, 3 files", false,
       {zig}},
      {"--out a.m B:gmt:anti.gmt", "a.m: normal, base 0, 3 polylines, 6 points", false,
       {{'B', {{179, 10}, {180, 11}}}, {'B', {{-180, 11}, {-179, 12}}}, {'B', {{170, 0}, {171, 1}}}}},
      {"--out z.m --clip -1/1/-1/5 C:gmt:zig.gmt", "z.m: fine, base 0, 2 polylines", true, {{'C', {{0, 0}, {1, 0}}}, {'C', {{1, 4}, {0, 4}}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    const Ran r = run(d, "map " + c.args);
    EXPECT_EQ(r.out.rfind(c.out, 0), 0u) << r.out << r.err;
    MapLayout lay;
    std::vector<Polyline> got, back;  // pieces that go on where the last ended joined again
    std::string err;
    EXPECT_TRUE(read_map(d.path, c.args.substr(6, c.args.find(' ', 6) - 6), lay, got, err)) << err;
    EXPECT_EQ(lay.fine, c.fine);
    for (const Polyline& l : got)
      if (!back.empty() && back.back().pts.back() == l.pts.front())
        back.back().pts.insert(back.back().pts.end(), l.pts.begin() + 1, l.pts.end());
      else
        back.push_back(l);
    ASSERT_EQ(back.size(), c.want.size());
    for (size_t i = 0; i < back.size(); ++i) {
      EXPECT_EQ(back[i].code, c.want[i].code);
      ASSERT_EQ(back[i].pts.size(), c.want[i].pts.size()) << i;
      for (size_t k = 0; k < back[i].pts.size(); ++k)
        for (int j : {0, 1}) EXPECT_NEAR(back[i].pts[k][j], c.want[i].pts[k][j], (c.fine ? 0.0005 : 0.005) + 1e-9);
    }
  }
  // The fine header (base 130) and the first record: code, points, box in file units.
  const std::string b = slurp(d.file("japan.m"));
  auto u16 = [&](size_t k) { return uint8_t(b[k]) | uint8_t(b[k + 1]) << 8; };
  EXPECT_EQ((std::vector<int>{b[0], u16(1), b[3], b[5], u16(6), u16(8), u16(10), u16(12), b[b.size() - 2]}),
            (std::vector<int>{'F', 130, 'C', 2, 35681, 36000, 9767, 10123, 'X'}));
  EXPECT_EQ(slurp(d.file("world.m")).substr(65531), "Z2");
  EXPECT_EQ(slurp(d.file("world.m2")).substr(65532), "Z3");
  EXPECT_EQ(map_part_name("world.m", 10), "world.ma");
}

TEST(MapFile, FaultClassFromSlipRate) {
  EXPECT_DOUBLE_EQ(rate_of("(0.21,0.49,0.30)"), 0.30);
  EXPECT_DOUBLE_EQ(rate_of("(0.2,0.4,)"), 0.3);
  EXPECT_DOUBLE_EQ(rate_of("(,,)"), -1);
  for (auto [rate, cls] : {std::pair{"(,,1.00)", 'F'}, {"(0.5,0.9,)", 'G'}, {"(,,0.05)", 'H'}, {"(,,0.00)", 'I'}})
    EXPECT_EQ(fault_class({{"net_slip_rate", rate}}), cls) << rate;
  EXPECT_EQ(fault_class({{"vert_slip_rate", "(1.5,2.0,)"}, {"strike_slip_rate", "(,,0.2)"}}), 'F');
  EXPECT_EQ(fault_class({}), 'I');
}

// Station rows without a code are named; codes, places and the end record
// in the file.
TEST(Stations, RecordsAndTheEndRecord) {
  TempDir d;
  std::filesystem::copy(DATA_DIR "/s.csv", d.path);
  EXPECT_EQ(run(d, "stations --out x.s s.csv").out, "s.csv:5: no station code of 1 to 4 characters\n2 stations, 1 rows not readable\n");
  const std::string s = slurp(d.file("x.s"));
  const std::vector<uint8_t> bytes(s.begin(), s.end());
  ASSERT_EQ(bytes.size(), 48u);
  EXPECT_EQ(s.substr(6, 4), "SAP ");
  // 141 19 E, 43 N; 70 15 W; the end record.
  EXPECT_EQ((std::vector<int>{bytes[10], bytes[11], bytes[13], bytes[16 + 11], bytes[32 + 10]}),
            (std::vector<int>{141, 19, 43, 0x80 | 15, 255}));
  const auto back = decode_stations(bytes);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[1].code, "ABCD");
  EXPECT_NEAR(back[1].lat, -33.5, 1e-9);
  EXPECT_NEAR(back[0].lon, 141.3317, 0.5 / 3600);
}
