#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "dataset.h"
#include "mapfile.h"
#include "stations.h"
#include "tmpdir.h"

using namespace tdata;

namespace {

std::vector<Polyline> write_and_read(const TmpDir& d, const std::string& name,
                                     const std::vector<Polyline>& lines, MapLayout lay,
                                     size_t* files = nullptr) {
  const auto imgs = encode_map(lines, lay);
  for (size_t k = 0; k < imgs.size(); ++k) {
    EXPECT_LE(imgs[k].size(), 65535u);
    write_file(d.path + "/" + map_part_name(name, static_cast<int>(k) + 1), imgs[k]);
  }
  if (files) *files = imgs.size();
  MapLayout back;
  std::vector<Polyline> out;
  std::string err;
  EXPECT_TRUE(read_map(d.path, name, back, out, err)) << err;
  EXPECT_EQ(back.fine, lay.fine);
  EXPECT_EQ(back.base, lay.base);
  return out;
}

void expect_same(const std::vector<Polyline>& a, const std::vector<Polyline>& b, double tol) {
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].code, b[i].code);
    ASSERT_EQ(a[i].pts.size(), b[i].pts.size()) << i;
    for (size_t k = 0; k < a[i].pts.size(); ++k) {
      EXPECT_NEAR(a[i].pts[k][0], b[i].pts[k][0], tol);
      EXPECT_NEAR(a[i].pts[k][1], b[i].pts[k][1], tol);
    }
  }
}

const char* geojson = R"({"type":"FeatureCollection","features":[
 {"type":"Feature","properties":{},"geometry":{"type":"LineString","coordinates":[[139.7671,35.6812],[140.1234,36.0001]]}},
 {"type":"Feature","properties":{},"geometry":{"type":"MultiLineString","coordinates":[[[130.5,31.25],[131,32]],[[141,43],[142.0005,44.0004]]]}},
 {"type":"Feature","properties":{},"geometry":{"type":"Polygon","coordinates":[[[135,34],[136,34],[136,35],[135,34]]]}},
 {"type":"Feature","properties":{},"geometry":null}]})";

}  // namespace

TEST(MapFile, GeoJsonLinesReadBackFineAndNormal) {
  std::istringstream in(geojson);
  int skipped = 0;
  const auto lines = read_geojson_lines(in, 'C', skipped);
  EXPECT_EQ(skipped, 1);
  ASSERT_EQ(lines.size(), 4u);
  const MapLayout lay = choose_layout(lines);
  EXPECT_TRUE(lay.fine);
  EXPECT_EQ(lay.base, 130);
  TmpDir d;
  expect_same(write_and_read(d, "japan.m", lines, lay), lines, 0.0005 + 1e-9);
  expect_same(write_and_read(d, "earth.m", lines, {false, 0}), lines, 0.005 + 1e-9);

  // Header and the first record's box, in file units.
  std::vector<uint8_t> b;
  ASSERT_TRUE(read_file(d.path + "/japan.m", b));
  auto u16 = [&](size_t k) { return b[k] | b[k + 1] << 8; };
  EXPECT_EQ(std::tuple(b[0], u16(1), b[3], b[5]), std::tuple('F', 130, 'C', 2));  // fine, base, code, points
  // Latitude minimum and maximum, then longitude from 130.
  EXPECT_EQ((std::vector<int>{u16(6), u16(8), u16(10), u16(12)}), (std::vector<int>{35681, 36000, 9767, 10123}));
  EXPECT_EQ(b[b.size() - 2], 'X');
}

TEST(MapFile, LongLinesSplitIntoAZChain) {
  Polyline l{'C', {}};
  for (int i = 0; i < 40000; ++i) l.pts.push_back({-170 + i * 0.005, (i % 2000) * 0.01});
  TmpDir d;
  size_t files = 0;
  const auto back = write_and_read(d, "world.m", {l}, {false, 0}, &files);
  EXPECT_EQ(files, 3u);
  // Each file names the next after its 'Z'; the last ends in 'X'.
  auto tail = [&](const char* name) {
    std::vector<uint8_t> b;
    EXPECT_TRUE(read_file(d.path + "/" + name, b)) << name;
    return b.size() < 2 ? std::string() : std::string(b.end() - 2, b.end());
  };
  EXPECT_EQ(tail("world.m"), "Z2");
  EXPECT_EQ(tail("world.m2"), "Z3");
  EXPECT_EQ(tail("world.m3")[0], 'X');
  // The pieces share their end points: joined again they are the line.
  Polyline joined{'C', back[0].pts};
  for (size_t k = 1; k < back.size(); ++k) {
    EXPECT_EQ(back[k].pts.front(), joined.pts.back());
    joined.pts.insert(joined.pts.end(), back[k].pts.begin() + 1, back[k].pts.end());
  }
  expect_same({joined}, {l}, 0.005 + 1e-9);
  EXPECT_EQ(map_part_name("world.m", 10), "world.ma");
}

TEST(MapFile, AntimeridianAndClipping) {
  std::istringstream gmt("# x\n> seg\n179 10\n-179 12\n>\n170\t0\n171\t1\n");
  const auto lines = read_gmt_lines(gmt, 'B');
  ASSERT_EQ(lines.size(), 3u);
  // Cut at the antimeridian, at the latitude between the two points.
  EXPECT_EQ(lines[0].pts.back(), (Point{180, 11}));
  EXPECT_DOUBLE_EQ(lines[1].pts.front()[0], -180);
  EXPECT_EQ(lines[2].code, 'B');

  // In, out and in again: two pieces ending on the box edge.
  const Polyline zig{'C', {{0, 0}, {2, 0}, {2, 4}, {0, 4}}};
  const auto cut = clip_lines({zig}, {-1, 1, -1, 5});
  ASSERT_EQ(cut.size(), 2u);
  EXPECT_EQ(cut[0].pts, (std::vector<Point>{{0, 0}, {1, 0}}));
  EXPECT_EQ(cut[1].pts, (std::vector<Point>{{1, 4}, {0, 4}}));
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

TEST(Stations, RecordsAndTheEndRecord) {
  std::istringstream in("symbol_color\n#a085c6\n\xEF\xBB\xBForganization,station,location,,,latitude,longitude\n"
                        "JMA,SAP,Sapporo,Hokkaido,Japan,43.0583,141.3317\n"
                        "JMA,,Volcano,,Japan,,\n"
                        "X,ABCD,\"Far, away\",,,-33.5,-70.25\n");
  std::vector<Problem> problems;
  const auto st = read_stations(in, "s.csv", problems);
  ASSERT_EQ(st.size(), 2u);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].line, 5);
  const auto bytes = encode_stations(st);
  ASSERT_EQ(bytes.size(), 48u);
  EXPECT_EQ(std::string(bytes.begin() + 6, bytes.begin() + 10), "SAP ");
  // 141 19 E, 43 N; 70 15 W; the end record.
  EXPECT_EQ(std::tuple(bytes[10], bytes[11], bytes[13], bytes[16 + 11], bytes[32 + 10]),
            std::tuple(141, 19, 43, 0x80 | 15, 255));
  const auto back = decode_stations(bytes);
  ASSERT_EQ(back.size(), 2u);
  EXPECT_EQ(back[1].code, "ABCD");
  EXPECT_NEAR(back[1].lat, -33.5, 1e-9);
  EXPECT_NEAR(back[0].lon, 141.3317, 0.5 / 3600);
}
