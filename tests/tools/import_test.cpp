#include <gtest/gtest.h>

#include <lzma.h>
#include <sys/wait.h>

#include <cmath>
#include <filesystem>
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
  std::vector<Record> recs;
  std::string err;
  EXPECT_TRUE(source_records(d.path, "T", 1900, 2099, recs, err)) << err;
  write_export(csv, ExportFormat::csv, "T", recs);
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
   <origin publicID="o2"><time><value>2011-03-11T14:46:24.1234+09:00</value></time>
    <latitude><value>38.297</value></latitude><longitude><value>142.373</value></longitude>
    <depth><value>29000</value></depth></origin>
   <magnitude publicID="m1"><mag><value>7.0</value></mag></magnitude>
   <magnitude publicID="m2"><mag><value>9.1</value></mag></magnitude>
  </event>
  <event publicID="e2"><type>quarry blast</type>
   <origin><time><value>2011-03-12T01:00:00Z</value></time>
    <latitude><value>1</value></latitude><longitude><value>1</value></longitude></origin>
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
      {"comcat", "cc.csv",
       "time,latitude,longitude,depth,mag,magType,id,type\n"
       "2018-02-07T23:58:36.14Z,61.2,-150.1,12.4,1.2,ml,ak1,earthquake\n"
       "2018-02-07T09:00:00.05-08:00,34.1,-117.2,0.1,1.6,ml,ci1,quarry blast\n"
       "2018-02-06 23:30:00,34.1,-117.2,,,ml,ci2,earthquake\n",
       {{2018, 2, 6, 23, 30, 0, 34.1, -117.2, {}, {}}, {2018, 2, 7, 23, 58, 36.1, 61.2, -150.1, 12.4, 1.2}}},
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
    {"type":"Feature","properties":{"mag":1.0,"time":1517961600000,"type":"explosion"},
     "geometry":{"type":"Point","coordinates":[-116.8,33.5,0]}},
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

// Times as catalogues write them, in UTC after parsing; "" for refused.
TEST(Import, TimeForms) {
  const std::pair<const char*, const char*> cases[] = {
      {"2011-03-11T05:46:24Z", "2011-03-11 05:46:24.000000"},
      {"2011-03-11T05:46:24.123456789", "2011-03-11 05:46:24.123457"},
      {"2011-03-11T05:46:24+09:00", "2011-03-10 20:46:24.000000"},
      {"2011-12-31T23:30:00.5-02:30", "2012-01-01 02:00:00.500000"},
      {"1984/01/01 01:19:11.31", "1984-01-01 01:19:11.310000"},
      {"1926-01-10  17:57", "1926-01-10 17:57:00.000000"},
      {"1703-12-31", "1703-12-31 00:00:00.000000"},
      {"-500-01-01", ""}, {"1e3-01-01", ""}, {"2011-03-11T05:46:24+25:00", ""},
      {"2011-03-11T05", ""}, {"2011-03-11T05:46:24 junk", ""}, {"2011-03-11T05:46:0x1", ""},
  };
  for (auto [text, want] : cases) {
    Event e;
    char got[64] = "";
    if (parse_datetime(text, e))
      std::snprintf(got, sizeof got, "%04d-%02d-%02d %02d:%02d:%09.6f", e.year, e.month, e.day, e.hour, e.minute, e.second);
    EXPECT_STREQ(got, want) << text;
  }
}

// Each file has one good row and bad ones: every bad row is reported with
// its line (feature number for GeoJSON) and reason, and the good row kept.
TEST(Import, UnreadableRowsAreNamed) {
  const std::string nul_mag = std::string("1990/01/05 00:00:01.00,36,-120,5,3.1") + '\0' + "junk\n";
  const std::string feature = R"({"type":"Feature","geometry":{"coordinates":[1,2,3]},"properties":{"time":0)";
  const struct {
    const char *format, *name;
    std::string text;
    std::vector<std::pair<int, std::string>> bad;
  } cases[] = {
      {"ncedc", "nc.csv",
       "DateTime,Latitude,Longitude,Depth,Magnitude\n"
       "1990/01/01 00:00:01.00,36,-120,5,2.0\n"
       "1990/01/01 00:00:xx,36,-120,5,2.0\n"
       "1990/02/30 00:00:01.00,36,-120,5,2.0\n"
       "1990/01/02 00:00:01.00,36,-120,4000,2.0\n"
       "1990/01/03 00:00:01.00,,-120,5,2.0\n"
       "1990/01/04 00:00:01.00,36,-120,5,big\n"
       "-500/01/01 00:00:01.00,36,-120,5,2.0\n"
       "1e3/01/01 00:00:01.00,36,-120,5,2.0\n"
       "1990/01/05 00:00:01.00,0x10,-120,5,2.0\n"
       "1990/01/05 00:00:01.00,36,-120\n" + nul_mag + ",36,-120,5,2.0\n1990/01/06 00:00:01.00,36,,5,2.0\n",
       {{3, "date and time"}, {4, "day out of range"}, {5, "3276.7"}, {6, "no coordinates"},
        {7, "unreadable mag"}, {8, "date and time"}, {9, "date and time"}, {10, "unreadable lat"},
        {11, "cut short: 3 of 5"}, {12, "unreadable mag"}, {13, "date and time"}, {14, "no coordinates"}}},
      {"jma", "jma.csv", "date,time,long,lat,mag,depth\n1926-01-10,17:57:43,141.5,35.8,5.6,-24\n"
       "1926-01-10,,141.5,35.8,5.6\n",
       {{3, "cut short"}}},
      {"geojson", "f.geojson",
       "{\"features\":[" + feature + ",\"mag\":\"3.5\"}},\n" + feature + ",\"type\":5}}," + feature + ",\"mag\":1}},"
       R"({"geometry":{"coordinates":[1,2,"deep"]},"properties":{"time":0}},7,)"
       R"({"geometry":{"coordinates":[1,2]},"properties":{"time":1.5e20}}]})",
       {{1, "feature 1: mag is not a number"}, {2, "type is not a text"}, {4, "depth is not a number"},
        {5, "no coordinates"}, {6, "time out of range"}}},
      {"quakeml", "q.xml",
       "<q><event publicID=\"a\"><origin><time><value>2011-03-11T05:46:24</value></time>\n"
       "<latitude><value>1</value></latitude><longitude><value>1</value></longitude></origin></event>\n"
       "<event publicID=\"b\"><origin><time><value>2011-03-11T05:46:24+25:00</value></time></origin></event>\n"
       "<event publicID=\"c\"><origin><time><value>2011-03-11T05:46:24</value></time><depth><value>1e</value></depth>\n"
       "<latitude><value>1</value></latitude><longitude><value>1</value></longitude></origin></event></q>",
       {{3, "event b: unreadable origin time"}, {4, "event c: unreadable depth"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    TmpDir d;
    ImportReport rep;
    EXPECT_EQ(round_trip(d, Input(c.format, d.file(c.name, c.text)), &rep).size(), 1u);
    ASSERT_EQ(rep.problems.size(), c.bad.size());
    for (size_t i = 0; i < c.bad.size(); ++i) {
      EXPECT_EQ(rep.problems[i].line, c.bad[i].first);
      EXPECT_NE(rep.problems[i].what.find(c.bad[i].second), std::string::npos) << rep.problems[i].what;
    }
    std::ostringstream text;
    print_report(text, rep);
    EXPECT_NE(text.str().find(c.name + (":" + std::to_string(c.bad[0].first) + ": ")), std::string::npos);
    EXPECT_NE(text.str().find(std::to_string(c.bad.size()) + " unreadable\n"), std::string::npos) << text.str();
  }
}

// Files refused as a whole with a message (nesting that would exhaust the
// stack in a recursive walk, a number past double), and an .xz file whose
// name a shell would run.
TEST(Import, HostileFiles) {
  TmpDir d;
  auto nest = [](const char* open, const char* inner, const char* close, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += open;
    s += inner;
    for (int i = 0; i < n; ++i) s += close;
    return s;
  };
  const std::pair<const char*, std::string> refused[] = {
      {"geojson", "{\"features\":[1e999]}"},
      {"geojson", "{\"features\":" + nest("[", "", "]", 1000000) + "}"},
      {"geojson", "{\"features\":[" + nest("{\"a\":", "1", "}", 200000) + "]}"},
      {"quakeml", nest("<a>", "<event/>", "</a>", 60000)},
  };
  for (const auto& [format, text] : refused)
    EXPECT_THROW(read_input(Input(format, d.file("deep", text))), std::runtime_error) << format;

  const std::string csv = "DateTime,Latitude,Longitude,Depth,Magnitude\n1990/01/01 00:00:01,36,-120,5,2\n";
  std::string packed(csv.size() + 128, '\0');
  size_t n = 0;
  ASSERT_EQ(lzma_easy_buffer_encode(6, LZMA_CHECK_CRC64, nullptr, reinterpret_cast<const uint8_t*>(csv.data()),
                                    csv.size(), reinterpret_cast<uint8_t*>(packed.data()), &n, packed.size()),
            LZMA_OK);
  Cwd in(d.path);
  const std::string name = d.file("x';touch pwned;'.xz", packed.substr(0, n));
  EXPECT_EQ(read_input(Input("ncedc", name)).rows.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(d.path + "/pwned"));
  d.file("cut.xz", packed.substr(0, n / 2));
  EXPECT_THROW(read_input(Input("ncedc", d.path + "/cut.xz")), std::runtime_error);
}

// Our own export, in every format, imports to the same records byte for
// byte; QuakeML and GeoJSON cannot hold an unknown day and leave it out.
TEST(Export, RoundTripOfEveryFormat) {
  const Want evs[] = {
      {1995, 1, 17, 5, 46, 52.0, 34.6, 135.0, 16.0, 7.3},
      {1995, 1, 17, 5, 46, 52.0, -33.25, -70.125, {}, -0.1},
      {1995, 3, 1, 23, 59, 59.9, 0, -180, 0.0, {}},
      {1995, 6, 0, 12, 0, 0, 10.5, 10.5, 3276.7, 12.7},
      {1996, 12, 31, 0, 0, 0.1, 89.999, 179.99999, 700.5, 9.5},
  };
  std::vector<Record> recs, dated;
  for (const Want& w : evs) {
    Event e{w.y, w.mo, w.d, w.h, w.mi, w.s, w.lat, w.lon, w.depth, w.mag};
    Record r;
    EncodeNotes n;
    ASSERT_FALSE(encode(e, ZeroMag::tenth, r, n));
    recs.push_back(r);
    if (w.d) dated.push_back(r);
  }
  TableSpec fdsn;
  fdsn.sep = '|';
  ASSERT_TRUE(parse_columns("datetime=Time,lat=Latitude,lon=Longitude,depth=Depth/km,mag=Magnitude", fdsn));
  const struct {
    ExportFormat fmt;
    Input in;
    const std::vector<Record>& want;
  } cases[] = {
      {ExportFormat::csv, Input("export", "x"), recs},
      {ExportFormat::fdsn, Input("columns", "x", fdsn), recs},
      {ExportFormat::quakeml, Input("quakeml", "x"), dated},
      {ExportFormat::geojson, Input("geojson", "x"), dated},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.fmt));
    TmpDir d;
    std::ostringstream out;
    EXPECT_EQ(write_export(out, c.fmt, "s", recs), recs.size() - c.want.size());
    EXPECT_NE(out.str().find("S-1996-1"), std::string::npos);
    Input in = c.in;
    in.path = d.file("export", out.str());
    ImportOptions opt;
    opt.source = "S";
    opt.outdir = d.path;
    EXPECT_TRUE(run_import({in}, opt).problems.empty());
    std::vector<Record> back;
    std::string err;
    ASSERT_TRUE(source_records(d.path, "S", 1995, 1996, back, err)) << err;
    EXPECT_EQ(back, c.want);
  }
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

// Every year from the first to the last gets a file (--fill-years: from
// --from to --to); years before 1926 are warned about, those without a
// yearly file name left out.
TEST(Import, EveryYearWritten) {
  const std::string rows =
      "DateTime,Latitude,Longitude,Depth,Magnitude\n"
      "1890/12/31 23:00:00,1,1,1,6\n1920/06/01 00:00:00,1,1,1,6\n1923/06/01 00:00:00,1,1,1,6\n"
      "9999/01/01 00:00:00,1,1,1,6\n";
  const struct {
    int from, to;
    bool fill;
    std::vector<std::string> files;
    bool warned;
  } cases[] = {
      {1921, 1926, true, {"t-21.b", "t-22.b", "t-23.b", "t-24.b", "t-25.b", "t-26.b"}, true},
      {INT_MIN, INT_MAX, true, {"t-20.b", "t-21.b", "t-22.b", "t-23.b"}, true},
      {1926, 1927, false, {}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.from);
    TmpDir d;
    ImportOptions opt;
    opt.source = "T";
    opt.from = c.from;
    opt.to = c.to;
    opt.fill_years = c.fill;
    opt.outdir = d.path + "/new/dir";
    const ImportReport rep = run_import({Input("ncedc", d.file("x.csv", rows))}, opt);
    EXPECT_EQ(rep.files, c.files);
    EXPECT_EQ(rep.warnings.size(), c.warned ? 1u : 0u);
    if (c.warned) {
      EXPECT_NE(rep.warnings[0].find("start at 1926"), std::string::npos);
    }
    for (const auto& f : c.files) EXPECT_TRUE(std::filesystem::exists(opt.outdir + "/" + f)) << f;
  }
}

// The command line: help, usage errors (2), unreadable rows (1 unless
// --skip-bad), and --out made when missing.
TEST(Cli, ExitStatusAndMessages) {
  TmpDir d;
  Cwd in(d.path);
  d.file("bad.csv", "DateTime,Latitude,Longitude,Depth,Magnitude\n1990/01/01 00:00:01,36,-120,5,2\n1990/01/01,x,1,1,1\n");
  const struct {
    const char* args;
    int status;
    const char *out, *err;
  } cases[] = {
      {"--help", 0, "usage: tarnwell-data", ""},
      {"import -h", 0, "evtype", ""},
      {"import --bogus 1 ncedc:bad.csv", 2, "", "unknown option --bogus\nusage:"},
      {"import --source T --columns lat=x,when=y columns:bad.csv", 2, "", "keys datetime, date"},
      {"import --source T --out new/dir ncedc:bad.csv", 1, "bad.csv:3: unreadable lat", "--skip-bad"},
      {"import --source T --out new/dir --skip-bad ncedc:bad.csv", 0, "2 read, 1 written", ""},
      {"export --dir new/dir --source T --format kml", 2, "", "--format is csv"},
      {"export --dir new/dir --source T", 0, "1990-01-01T00:00:01.0Z,36.000000,-120.000000,5.0,2.0,T-1990-1,T", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    const int rc = std::system((std::string(TDATA_BIN) + " " + c.args + " >out 2>err").c_str());
    EXPECT_EQ(WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, c.status);
    EXPECT_NE(slurp_file("out").find(c.out), std::string::npos) << slurp_file("out");
    const std::string err = slurp_file("err");
    EXPECT_TRUE(*c.err ? err.find(c.err) != std::string::npos : err.empty()) << err;
  }
}
