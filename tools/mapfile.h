// Map (.m) and fault (.f) datasets: polylines read from GeoJSON or GMT
// multi-segment text, clipped, quantised and written as one or more files
// chained by 'Z' records and ended by 'X'.
#pragma once
#include <array>
#include <cstdint>
#include <istream>
#include <map>
#include <string>
#include <vector>

#include "box.h"

namespace tdata {

using Point = std::array<double, 2>;  // longitude, latitude in degrees

struct Polyline {
  char code = 'C';  // 'B' border, 'F'-'I' fault classes, anything else coastline
  std::vector<Point> pts;
};

// Code '-' takes each feature's fault class from its slip rate
// (fault_class); null geometries are counted in skipped.
std::vector<Polyline> read_geojson_lines(std::istream& in, char code, int& skipped);
std::vector<Polyline> read_gmt_lines(std::istream& in, char code);

// Fault class from the GEM slip-rate attributes, in mm per year: the net
// slip rate's preferred value (else the middle of its range, else the
// largest of the other rates). 1 and more 'F' (class A), from 0.1 'G'
// (B and A-B), above 0 'H' (C and B-C), none or 0 'I' (unknown).
char fault_class(const std::map<std::string, std::string>& props);
// "(min,max,preferred)" with any part blank -> the value the rule uses; -1 if none.
double rate_of(const std::string& tuple);

// Cuts polylines to a box; pieces leaving and re-entering become new polylines.
std::vector<Polyline> clip_lines(const std::vector<Polyline>& in, const Box& box);

struct MapLayout {
  bool fine = false;  // 1000 units per degree, unsigned; else 100, signed
  int base = 0;       // base longitude L0
};
// Fine when every point fits the unsigned 16-bit range from a whole-degree base.
MapLayout choose_layout(const std::vector<Polyline>& lines);

// File images of the dataset; throws when a point does not fit the layout
// or more than 35 files would be needed.
std::vector<std::vector<uint8_t>> encode_map(const std::vector<Polyline>& lines, const MapLayout& lay);
// The name of file k (1-based) of a dataset: japan.f, japan.f2, japan.f3 ...
std::string map_part_name(const std::string& first, int k);
// Reads a dataset back by following its 'Z' chain; false with err on a break.
bool read_map(const std::string& dir, const std::string& first, MapLayout& lay,
              std::vector<Polyline>& lines, std::string& err);

}  // namespace tdata
