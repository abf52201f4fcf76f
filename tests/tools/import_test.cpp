// Imports of the sample catalogues in data/, each as source T in a
// directory of its own, checked by what tarnwell-data reports, the dataset
// files it leaves and the CSV export of them.
#include <gtest/gtest.h>

#include <map>

#include "tmpdir.h"

// Each case imports sample files (data/) as source T in a directory of its
// own; data/CASE.out holds what tarnwell-data printed, stderr after
// "stderr:", the exit status, the dataset files left with their sizes and
// the CSV export of them (rows in time order, at the record's resolution).
// nc.csv holds every way a row can fail, and time forms, places and
// magnitudes at their edges.
TEST(Import, SamplesGiveTheirTranscripts) {
  TempDir in;
  std::filesystem::copy(DATA_DIR, in.path);
  auto rep = [](const std::string& s, int n) { std::string r; while (n--) r += s; return r; };
  // Nesting a recursive walk would die of, a number past double, an .xz
  // file whose name a shell would run, and one cut short.
  write_file(in.file("deep.json"), "{\"features\":" + rep("[", 1000000) + rep("]", 1000000) + "}");
  write_file(in.file("deep2.json"), "{\"features\":[" + rep("{\"a\":", 200000) + "1" + rep("}", 200000) + "]}");
  write_file(in.file("deep.xml"), rep("<a>", 60000) + "<event/>" + rep("</a>", 60000));
  write_file(in.file("big.json"), "{\"features\":[1e999]}");
  const std::string packed = slurp(in.file("x.xz"));
  write_file(in.file("x';touch pwned;'.xz"), packed);
  write_file(in.file("cut.xz"), packed.substr(0, packed.size() / 2));
  const std::pair<const char*, const char*> cases[] = {
      {"isc", "--source T isc-gem:isc.csv"}, {"comcat", "--source T comcat:cc.csv"},
      {"ncedc", "--source T --skip-bad --zero-mag unknown ncedc:nc.csv"}, {"jma", "--source T jma:jma.csv"},
      {"noaa", "--source T noaa:noaa.tsv"}, {"columns", "--source T --sep '|' --columns datetime=t,lat=lat,lon=lon,mag=m columns:g.txt"},
      {"centennial", "--source T centennial:c.txt"}, {"geojson", "--source T --skip-bad geojson:w.json"},
      {"quakeml", "--source T --skip-bad quakeml:q.xml"},
      // The same event in a later input is left out; within one, kept.
      {"duplicates", "--single VELA.B --split-year 1926 ncedc:a.csv ncedc:b.csv"},
      // Every year from first to last gets a file, an end marker alone
      // when empty; years before 1926 are warned about.
      {"years", "--source T ncedc:y.csv"}, {"years-filled", "--source T --out new/dir --from 1921 --to 1926 --fill-years ncedc:y.csv"},
      {"years-none", "--source T --from 1926 --to 1927 ncedc:y.csv"},
      {"deep-json", "--source T geojson:deep.json"}, {"deep-json2", "--source T geojson:deep2.json"},
      {"deep-xml", "--source T quakeml:deep.xml"}, {"big-json", "--source T geojson:big.json"},
      {"xz", "--source T \"ncedc:x';touch pwned;'.xz\""}, {"cut-xz", "--source T ncedc:cut.xz"},
  };
  for (auto [name, args] : cases) {
    SCOPED_TRACE(name);
    TempDir d;
    std::filesystem::copy(in.path, d.path, std::filesystem::copy_options::recursive | std::filesystem::copy_options::create_hard_links);
    const Ran r = run(d, std::string("import ") + args);
    // The dataset files (and a file a shell would make), with sizes.
    std::map<std::string, uintmax_t> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(d.path))
      if (e.path().extension().string().rfind(".b", 0) == 0 || e.path().filename() == "pwned")
        files[std::filesystem::relative(e.path(), d.path)] = e.file_size();
    std::string got = r.out + "stderr:\n" + r.err + "exit " + std::to_string(r.status) + "\nfiles:";
    for (const auto& [file, size] : files) got += " " + file + ":" + std::to_string(size);
    EXPECT_EQ(got + "\n" + run(d, "export --source T").out, slurp(std::string(DATA_DIR "/") + name + ".out"));
  }
}

// The command line: help on stdout, usage errors exit 2 with a message.
TEST(Cli, ExitStatusAndMessages) {
  TempDir d;
  for (auto [args, status, out, err] : {std::tuple{"--help", 0, "usage: tarnwell-data", ""}, {"import -h", 0, "evtype", ""},
                                        {"import --bogus 1 ncedc:x.csv", 2, "", "unknown option --bogus\nusage:"},
                                        {"import --source T --columns lat=x,when=y columns:x.csv", 2, "", "keys datetime, date"},
                                        {"export --source T --format kml", 2, "", "--format is csv"}}) {
    const Ran r = run(d, args);
    EXPECT_EQ(r.status, status) << args;
    EXPECT_NE(r.out.find(out), std::string::npos) << args;
    EXPECT_TRUE(*err ? r.err.find(err) != std::string::npos : r.err.empty()) << args;
  }
}

// Our own export in every format is the sample of it (data/all.*), and
// imports to the same records; QuakeML and GeoJSON cannot hold an unknown
// day and leave it out.
TEST(Export, EveryFormatAndBack) {
  TempDir a;
  const std::string all = slurp(DATA_DIR "/all.csv");
  std::string dated = all;
  const size_t k = dated.find("1995-06-00");
  dated.erase(k, dated.find('\n', k) + 1 - k);
  ASSERT_EQ(run(a, "import --source T export:" DATA_DIR "/all.csv").status, 0);
  for (auto [format, reader] : {std::pair{"csv", "export"}, {"fdsn", "fdsn"}, {"quakeml", "quakeml"}, {"geojson", "geojson"}}) {
    SCOPED_TRACE(format);
    const std::string file = std::string(DATA_DIR "/all.") + format;
    EXPECT_EQ(run(a, std::string("export --source T --format ") + format).out, slurp(file));
    TempDir b;
    EXPECT_EQ(run(b, std::string("import --source T ") + reader + ":" + file).status, 0);
    EXPECT_EQ(run(b, "export --source T").out, format[0] == 'q' || format[0] == 'g' ? dated : all);
  }
}
