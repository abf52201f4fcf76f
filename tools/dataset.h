// Dataset files: yearly names, parts of at most 4095 records chained by
// continuation markers, and reading a chain back.
#pragma once
#include <string>
#include <vector>

#include "record.h"

namespace tdata {

constexpr int part_records = 4095;  // one 64 KB segment holds no more
constexpr int max_parts = 256;      // the last marker byte b FF reaches part 256

// "JMA-26.B", "JMA000.B", "JMA010.B" (upper case, as the program asks for it).
std::string year_file_name(const std::string& source, int year);
// Part 1 is the name itself, part 2 appends "2", part k appends k.
std::string part_name(const std::string& first, int part);
std::string lower(std::string s);

// Splits records into part images: 4-byte head, records, 2 marker bytes.
// The head holds the part's record count and part number (not read by the
// program, useful when inspecting files).
std::vector<std::vector<uint8_t>> make_parts(const std::vector<Record>& recs);
// A single file that continues in its "2" file: records then FE FF.
std::vector<uint8_t> make_image(const std::vector<Record>& recs, uint8_t marker0,
                                uint8_t marker1, int part);

// Writes the parts under lower-case names; returns the names written.
std::vector<std::string> write_parts(const std::string& dir, const std::string& first,
                                     const std::vector<Record>& recs);
void write_file(const std::string& path, const std::vector<uint8_t>& bytes);
bool read_file(const std::string& path, std::vector<uint8_t>& bytes);

// Follows a chain of parts from the file "first" in dir (lower-cased),
// as the program does; stop_after_first ends at the first marker.
// Returns false when a file of the chain is missing or malformed (why in err).
bool read_chain(const std::string& dir, const std::string& first, std::vector<Record>& out,
                std::string& err, bool stop_after_first = false);

}  // namespace tdata
