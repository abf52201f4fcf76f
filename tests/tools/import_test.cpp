#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "dataset.h"
#include "exporter.h"
#include "importer.h"
#include "tmpdir.h"

using namespace tdata;

namespace {

// Imports one file as source T, exports it again and reads the CSV back.
std::vector<Event> round_trip(const TmpDir& d, const Input& in, ImportReport* rep_out = nullptr) {
  ImportOptions opt;
  opt.source = "T";
  opt.outdir = d.path;
  const ImportReport rep = run_import({in}, opt);
  if (rep_out) *rep_out = rep;
  std::ostringstream csv;
  std::string err;
  EXPECT_TRUE(export_source(d.path, "T", 1900, 2099, csv, err)) << err;
  std::istringstream back(csv.str());
  TableSpec spec;
  table_preset("export", spec);
  std::vector<Event> out;
  for (const Row& r : read_table(back, "export", spec).rows) out.push_back(r.ev);
  return out;
}

void expect_event(const Event& e, int y, int mo, int d, int h, int mi, double s, double lat, double lon,
                  std::optional<double> depth, std::optional<double> mag) {
  EXPECT_EQ(e.year, y);
  EXPECT_EQ(e.month, mo);
  EXPECT_EQ(e.day, d);
  EXPECT_EQ(e.hour, h);
  EXPECT_EQ(e.minute, mi);
  EXPECT_NEAR(e.second, s, 0.05);
  EXPECT_NEAR(e.lat, lat, 0.5 / 3600 + 1e-9);
  EXPECT_NEAR(e.lon, lon, 0.5 / 3600 + 1e-9);
  ASSERT_EQ(e.depth.has_value(), depth.has_value());
  if (depth) {
    EXPECT_NEAR(*e.depth, *depth, 0.05 + 1e-9);
  }
  ASSERT_EQ(e.mag.has_value(), mag.has_value());
  if (mag) {
    EXPECT_NEAR(*e.mag, *mag, 0.05 + 1e-9);
  }
}

}  // namespace

TEST(Import, RoundTripDelimitedLayouts) {
  TmpDir d1, d2, d3, d4, d5;
  auto isc = round_trip(d1, Input("isc-gem", d1.file("isc.csv",
      "# ISC-GEM\n#  date , lat , lon , depth , mw , eventid\n"
      " 1964-03-28 03:36:16.13 ,   60.908 , -147.339 ,   25.0 , 9.26 , 1\n"
      " 1963-12-31 23:59:59.97 ,  -33.333 ,   -0.011 ,        , 6.04 , 2\n")));
  ASSERT_EQ(isc.size(), 2u);
  expect_event(isc[0], 1964, 1, 1, 0, 0, 0.0, -33.333, -0.011, std::nullopt, 6.0);
  expect_event(isc[1], 1964, 3, 28, 3, 36, 16.1, 60.908, -147.339, 25.0, 9.3);

  auto nc = round_trip(d2, Input("ncedc", d2.file("nc.csv",
      "DateTime,Latitude,Longitude,Depth,Magnitude,MagType\n"
      "1984/01/01 01:19:11.31,36.08781,-120.22869,10.897,1.75,Md\n")));
  ASSERT_EQ(nc.size(), 1u);
  expect_event(nc[0], 1984, 1, 1, 1, 19, 11.3, 36.08781, -120.22869, 10.9, 1.8);

  auto jma = round_trip(d3, Input("jma", d3.file("jma.csv",
      "date,time,long,lat,mag,depth\n1926-01-10,17:57:43,141.5225,35.8435,5.6,-24\n")));
  ASSERT_EQ(jma.size(), 1u);
  expect_event(jma[0], 1926, 1, 10, 17, 57, 43, 35.8435, 141.5225, 24.0, 5.6);

  auto noaa = round_trip(d4, Input("noaa", d4.file("noaa.tsv",
      "\"Search Parameters\"\t\"Year\"\t\"Mo\"\t\"Dy\"\t\"Hr\"\t\"Mn\"\t\"Sec\"\t\"Location Name\"\t"
      "\"Latitude\"\t\"Longitude\"\t\"Focal Depth (km)\"\t\"Mag\"\n"
      "\t1923\t9\t1\t2\t58\t32.5\t\"JAPAN:  KANTO\"\t35.4\t139.2\t\t7.9\n")));
  ASSERT_EQ(noaa.size(), 1u);
  expect_event(noaa[0], 1923, 9, 1, 2, 58, 32.5, 35.4, 139.2, std::nullopt, 7.9);

  Input cols("columns", d5.file("g.txt", "lat|lon|t|m\n-12.5|170.25|2001-02-03T04:05:06.5Z|-0.7\n"));
  cols.spec.sep = '|';
  ASSERT_TRUE(parse_columns("datetime=t,lat=lat,lon=lon,mag=m", cols.spec));
  auto g = round_trip(d5, cols);
  ASSERT_EQ(g.size(), 1u);
  expect_event(g[0], 2001, 2, 3, 4, 5, 6.5, -12.5, 170.25, std::nullopt, -0.7);
}

TEST(Import, RoundTripFixedWidthJsonAndXml) {
  TmpDir d1, d2, d3;
  auto pde = round_trip(d1, Input("centennial", d1.file("c.txt",
      " UTSU       1927  3  7   9 27 37.00   35.600 134.900  10.0 221   0 7.3 Mj UTSU  0.0\n"
      " ABE        1930  1  5  19  0  0.00   -3.000 102.000   0.0 274   0 0.0 Ms AN2   0.0\n")));
  ASSERT_EQ(pde.size(), 2u);
  expect_event(pde[0], 1927, 3, 7, 9, 27, 37, 35.6, 134.9, 10.0, 7.3);
  expect_event(pde[1], 1930, 1, 5, 19, 0, 0, -3.0, 102.0, 0.0, std::nullopt);

  auto gj = round_trip(d2, Input("geojson", d2.file("w.geojson", R"({"type":"FeatureCollection","features":[
    {"type":"Feature","properties":{"mag":-0.8,"time":1517961600000,"type":"earthquake"},
     "geometry":{"type":"Point","coordinates":[-116.8,33.5,-1.2]}},
    {"type":"Feature","properties":{"mag":null,"time":1517875199950,"type":"earthquake"},
     "geometry":{"type":"Point","coordinates":[142.25,38.1,35.55]}}]})")));
  ASSERT_EQ(gj.size(), 2u);
  expect_event(gj[0], 2018, 2, 6, 0, 0, 0.0, 38.1, 142.25, 35.6, std::nullopt);  // 23:59:59.95 carried
  expect_event(gj[1], 2018, 2, 7, 0, 0, 0.0, 33.5, -116.8, 0.0, -0.8);

  auto qml = round_trip(d3, Input("quakeml", d3.file("q.xml", R"(<?xml version="1.0"?>
<q:quakeml xmlns:q="http://quakeml.org/xmlns/quakeml/1.2" xmlns="http://quakeml.org/xmlns/bed/1.2">
 <eventParameters publicID="x">
  <event publicID="e1">
   <preferredOriginID>o2</preferredOriginID><preferredMagnitudeID>m2</preferredMagnitudeID>
   <origin publicID="o1"><time><value>2011-03-11T05:46:00Z</value></time>
    <latitude><value>10</value></latitude><longitude><value>10</value></longitude></origin>
   <origin publicID="o2"><time><value>2011-03-11T05:46:24.12Z</value></time>
    <latitude><value>38.297</value></latitude><longitude><value>142.373</value></longitude>
    <depth><value>29000</value></depth></origin>
   <magnitude publicID="m1"><mag><value>7.0</value></mag></magnitude>
   <magnitude publicID="m2"><mag><value>9.1</value></mag></magnitude>
  </event>
 </eventParameters>
</q:quakeml>)")));
  ASSERT_EQ(qml.size(), 1u);
  expect_event(qml[0], 2011, 3, 11, 5, 46, 24.1, 38.297, 142.373, 29.0, 9.1);
}

TEST(Import, BadRowsAreReportedWithTheirLines) {
  TmpDir d;
  ImportReport rep;
  auto ok = round_trip(d, Input("ncedc", d.file("nc.csv",
      "DateTime,Latitude,Longitude,Depth,Magnitude\n"
      "1990/01/01 00:00:01.00,36,-120,5,2.0\n"
      "1990/01/01 00:00:xx,36,-120,5,2.0\n"
      "1990/02/30 00:00:01.00,36,-120,5,2.0\n"
      "1990/01/02 00:00:01.00,36,-120,4000,2.0\n"
      "1990/01/03 00:00:01.00,,-120,5,2.0\n"
      "1990/01/04 00:00:01.00,36,-120,5,big\n")), &rep);
  EXPECT_EQ(ok.size(), 1u);
  ASSERT_EQ(rep.problems.size(), 5u);
  for (size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(rep.problems[i].line, static_cast<int>(i) + 3);
    EXPECT_NE(rep.problems[i].file.find("nc.csv"), std::string::npos);
  }
  EXPECT_NE(rep.problems[2].what.find("3276.7"), std::string::npos);
  std::ostringstream text;
  print_report(text, rep);
  EXPECT_NE(text.str().find("nc.csv:5: depth above 3276.7 km"), std::string::npos);
}

TEST(Import, DuplicatesAndMergedInputs) {
  TmpDir d;
  const std::string a = d.file("a.csv",
      "DateTime,Latitude,Longitude,Depth,Magnitude\n"
      "1890/10/28 06:38:00,35.6,136.6,,8.0\n"
      "1890/10/28 06:38:00,35.6,136.6,,8.0\n");
  const std::string b = d.file("b.csv",
      "DateTime,Latitude,Longitude,Depth,Magnitude\n"
      "1890/10/29 00:00:00,35.9,136.9,,7.9\n"   // a day later, 40 km away: the same event
      "1890/10/28 06:38:00,40.0,141.0,,6.0\n"); // same time, far away: another event
  ImportOptions opt;
  opt.single = "VELA.B";
  opt.split_year = 1926;
  opt.outdir = d.path;
  const ImportReport rep = run_import({Input("ncedc", a), Input("ncedc", b)}, opt);
  EXPECT_EQ(rep.events, 3u);
  ASSERT_EQ(rep.duplicates.size(), 2u);
  EXPECT_NE(rep.duplicates[0].find("b.csv:2 is "), std::string::npos);
  EXPECT_NE(rep.duplicates[1].find("a.csv:3 repeats "), std::string::npos);
  EXPECT_EQ(rep.files, (std::vector<std::string>{"vela.b", "vela.b2"}));
  std::vector<Record> back;
  std::string err;
  ASSERT_TRUE(read_chain(d.path, "VELA.B", back, err)) << err;
  EXPECT_EQ(back.size(), 3u);
}

TEST(Import, YearFilterAndEmptyYears) {
  TmpDir d;
  ImportOptions opt;
  opt.source = "ISC";
  opt.from = 1964;
  opt.to = 1966;
  opt.fill_years = true;
  opt.outdir = d.path;
  const ImportReport rep = run_import({Input("ncedc", d.file("x.csv",
      "DateTime,Latitude,Longitude,Depth,Magnitude\n"
      "1963/12/31 23:00:00,1,1,1,6\n1964/06/01 00:00:00,1,1,1,6\n"))}, opt);
  EXPECT_EQ(rep.events, 1u);
  EXPECT_EQ(rep.counts.at("outside the years asked for"), 1);
  EXPECT_EQ(rep.files, (std::vector<std::string>{"isc-64.b", "isc-65.b", "isc-66.b"}));
}
