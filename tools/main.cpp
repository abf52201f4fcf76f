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

namespace {

const char* usage =
    "usage: tarnwell-data COMMAND [options]\n"
    "  import  (--source NAME | --single FILE [--split-year Y]) --out DIR\n"
    "          [--from Y] [--to Y] [--fill-years] [--box W/E/S/N] [--zero-mag tenth|unknown]\n"
    "          [--type T] [--merge-km K] [--columns k=Col,...] [--sep C] [--no-header]\n"
    "          [--comment S] [--depth-negative] FORMAT[@TYPE]:PATH...\n"
    "          FORMAT: isc-gem ncedc jma noaa ghec emca export columns centennial geojson quakeml\n"
    "  export  --dir DIR (--source NAME [--from Y] [--to Y] | --file NAME) [--out FILE]\n"
    "  map     --out FILE [--clip W/E/S/N] [--resolution auto|fine|normal]\n"
    "          CODE:FORMAT:PATH...   (FORMAT geojson or gmt; CODE a letter, '-' for faults)\n"
    "  stations --out FILE PATH...\n"
    "  regions --events DATASET_DIR --world FE_DIR [--check DIR] [--japan PREFECTURES.geojson] --out DIR\n";

const std::map<std::string, std::function<int(const tdata::Args&)>> commands = {
    {"import", tdata::cmd_import},
    {"export", tdata::cmd_export},
    {"map", tdata::cmd_map},
    {"stations", tdata::cmd_stations},
    {"regions", tdata::cmd_regions},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || !commands.count(argv[1])) {
    std::cerr << usage;
    return 2;
  }
  try {
    return commands.at(argv[1])(tdata::Args(argv + 2, argv + argc));
  } catch (const std::exception& e) {
    std::cerr << "tarnwell-data " << argv[1] << ": " << e.what() << "\n";
    return 1;
  }
}
