#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <tuple>

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
  TableSpec layout;
  table_preset("export", layout);
  std::vector<Event> out;
  for (const Row& r : read_table(back, "export", layout).rows) out.push_back(r.ev);
  return out;
}

// An event as exported, to the format's resolution; no depth or magnitude
// is {}.
struct Want {
  int y, mo, d, h, mi;
  double s, lat, lon;
  std::optional<double> depth, mag;
};

void expect_event(const Event& e, const Want& w) {
  EXPECT_EQ(std::tuple(e.year, e.month, e.day, e.hour, e.minute), std::tuple(w.y, w.mo, w.d, w.h, w.mi));
  EXPECT_NEAR(e.second, w.s, 0.05);
  EXPECT_NEAR(e.lat, w.lat, 0.5 / 3600 + 1e-9);
  EXPECT_NEAR(e.lon, w.lon, 0.5 / 3600 + 1e-9);
  EXPECT_NEAR(e.depth.value_or(-999), w.depth.value_or(-999), 0.05 + 1e-9);
  EXPECT_NEAR(e.mag.value_or(-99), w.mag.value_or(-99), 0.05 + 1e-9);
}

const char* const quakeml = R"(<?xml version="1.0"?>
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
</q:quakeml>)";

}  // namespace

// Every reader: import one file, export it, and the values come back in
// time order.
TEST(Import, RoundTripOfEveryReader) {
  const struct {
    const char *format, *name, *text;
    std::vector<Want> want;
  } cases[] = {
      {"isc-gem", "isc.csv",
       "# ISC-GEM\n#  date , lat , lon , depth , mw , eventid\n"
       " 1964-03-28 03:36:16.13 ,   60.908 , -147.339 ,   25.0 , 9.26 , 1\n"
       " 1963-12-31 23:59:59.97 ,  -33.333 ,   -0.011 ,        , 6.04 , 2\n",
       {{1964, 1, 1, 0, 0, 0.0, -33.333, -0.011, {}, 6.0}, {1964, 3, 28, 3, 36, 16.1, 60.908, -147.339, 25.0, 9.3}}},
      {"ncedc", "nc.csv",
       "DateTime,Latitude,Longitude,Depth,Magnitude,MagType\n"
       "1984/01/01 01:19:11.31,36.08781,-120.22869,10.897,1.75,Md\n",
       {{1984, 1, 1, 1, 19, 11.3, 36.08781, -120.22869, 10.9, 1.8}}},
      {"jma", "jma.csv", "date,time,long,lat,mag,depth\n1926-01-10,17:57:43,141.5225,35.8435,5.6,-24\n",
       {{1926, 1, 10, 17, 57, 43, 35.8435, 141.5225, 24.0, 5.6}}},
      {"noaa", "noaa.tsv",
       "\"Search Parameters\"\t\"Year\"\t\"Mo\"\t\"Dy\"\t\"Hr\"\t\"Mn\"\t\"Sec\"\t\"Location Name\"\t"
       "\"Latitude\"\t\"Longitude\"\t\"Focal Depth (km)\"\t\"Mag\"\n"
       "\t1923\t9\t1\t2\t58\t32.5\t\"JAPAN:  KANTO\"\t35.4\t139.2\t\t7.9\n",
       {{1923, 9, 1, 2, 58, 32.5, 35.4, 139.2, {}, 7.9}}},
      {"columns", "g.txt", "lat|lon|t|m\n-12.5|170.25|2001-02-03T04:05:06.5Z|-0.7\n",
       {{2001, 2, 3, 4, 5, 6.5, -12.5, 170.25, {}, -0.7}}},
      {"centennial", "c.txt",
       " UTSU       1927  3  7   9 27 37.00   35.600 134.900  10.0 221   0 7.3 Mj UTSU  0.0\n"
       " ABE        1930  1  5  19  0  0.00   -3.000 102.000   0.0 274   0 0.0 Ms AN2   0.0\n",
       {{1927, 3, 7, 9, 27, 37, 35.6, 134.9, 10.0, 7.3}, {1930, 1, 5, 19, 0, 0, -3.0, 102.0, 0.0, {}}}},
      {"geojson", "w.geojson", R"({"type":"FeatureCollection","features":[
    {"type":"Feature","properties":{"mag":-0.8,"time":1517961600000,"type":"earthquake"},
     "geometry":{"type":"Point","coordinates":[-116.8,33.5,-1.2]}},
    {"type":"Feature","properties":{"mag":null,"time":1517875199950,"type":"earthquake"},
     "geometry":{"type":"Point","coordinates":[142.25,38.1,35.55]}}]})",
       // 23:59:59.95 carries into the next day.
       {{2018, 2, 6, 0, 0, 0.0, 38.1, 142.25, 35.6, {}}, {2018, 2, 7, 0, 0, 0.0, 33.5, -116.8, 0.0, -0.8}}},
      {"quakeml", "q.xml", quakeml, {{2011, 3, 11, 5, 46, 24.1, 38.297, 142.373, 29.0, 9.1}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    TmpDir d;
    Input in(c.format, d.file(c.name, c.text));
    if (std::string(c.format) == "columns") {
      in.layout.sep = '|';
      ASSERT_TRUE(parse_columns("datetime=t,lat=lat,lon=lon,mag=m", in.layout));
    }
    const auto got = round_trip(d, in);
    ASSERT_EQ(got.size(), c.want.size());
    for (size_t i = 0; i < got.size(); ++i) expect_event(got[i], c.want[i]);
  }
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
