// tarnwell-data: builds the program's binary data files from public data.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "commands.h"
#include "readers.h"

namespace {

constexpr const char* usage_text =
    "usage: tarnwell-data COMMAND [options]\n"
    "       tarnwell-data -h | --help\n"
    "  import  (--source NAME | --single FILE [--split-year Y]) [--out DIR]\n"
    "          [--from Y] [--to Y] [--fill-years] [--box W/E/S/N] [--zero-mag tenth|unknown]\n"
    "          [--types T,...|all] [--type TEXT] [--merge-km K] [--skip-bad]\n"
    "          [--columns key=Column,...] [--sep C] [--no-header] [--comment S] [--depth-negative]\n"
    "          FORMAT[@TEXT]:PATH...   (PATH may end in .xz)\n"
    "          FORMAT: comcat isc-gem ncedc jma noaa ghec emca fdsn export columns centennial\n"
    "                  geojson quakeml\n"
    "          --types: event types kept (default earthquake); rows without a type are kept\n"
    "          --skip-bad: exit 0 even when rows were unreadable (they are still listed)\n"
    "          --columns keys (for FORMAT columns):\n";

constexpr const char* usage_tail =
    "  export  --dir DIR (--source NAME [--from Y] [--to Y] | --file NAME) [--out FILE]\n"
    "          [--format csv|fdsn|quakeml|geojson]\n"
    "  map     --out FILE [--clip W/E/S/N] [--resolution auto|fine|normal]\n"
    "          CODE:FORMAT:PATH...   (FORMAT geojson or gmt; CODE a letter, '-' for faults)\n"
    "  fetch   URL --source NAME [--out DIR] [--catalog C] [--from Y] [--to Y] [--box W/E/S/N]\n"
    "          [--depth MIN/MAX] [--mag MIN/MAX] [--page N] [--keep FILE] [--skip-bad]\n"
    "  stations --out FILE PATH...\n"
    "  regions --events DATASET_DIR --world FE_DIR [--check DIR] [--felt NOAA.tsv] [--japan PREFECTURES.geojson]\n"
    "          --out DIR\n";

std::string usage() {
  std::string u = usage_text;
  for (const tdata::ColumnKey& k : tdata::column_keys)
    u += std::string("            ") + k.key + (*k.what ? std::string(10 - std::strlen(k.key), ' ') + k.what : "") + "\n";
  return u + usage_tail;
}

const std::map<std::string, std::function<int(const tdata::Args&)>> commands = {
    {"import", tdata::cmd_import},
    {"export", tdata::cmd_export},
    {"map", tdata::cmd_map},
    {"stations", tdata::cmd_stations},
    {"regions", tdata::cmd_regions},
    {"fetch", tdata::cmd_fetch},
};

bool wants_help(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) return true;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (wants_help(argc, argv)) {
    std::cout << usage();
    return 0;
  }
  if (argc < 2 || !commands.count(argv[1])) {
    std::cerr << usage();
    return 2;
  }
  try {
    return commands.at(argv[1])(tdata::Args(argv + 2, argv + argc));
  } catch (const tdata::Usage& e) {
    std::cerr << "tarnwell-data " << argv[1] << ": " << e.what() << "\n" << usage();
    return 2;
  } catch (const std::exception& e) {
    std::cerr << "tarnwell-data " << argv[1] << ": " << e.what() << "\n";
    return 1;
  }
}
