// Shared pieces of the fuzz targets: a scratch directory for the files a
// reader opens, splitting one input into several files, and a fresh program
// state for each run.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tw {

// Parts of one input are separated by this text; a part may be empty.
constexpr const char *FZ_SEP = "\n--tw--\n";

// The scratch directory (created once, short enough for st.drvo_s).
const char *fz_dir();
void fz_write(const char *name, const unsigned char *p, size_t n);
void fz_write(const char *name, const std::string &s);
void fz_remove(const char *name);

// The input cut at every FZ_SEP; at most max parts (the last keeps the rest).
std::vector<std::string> fz_split(const uint8_t *data, size_t size, size_t max);

// Every subsystem reset, the recording back end in use, both directories
// pointing at the scratch directory, and a store of segs segments with the
// capacities start-up gives it.
void fz_fresh(int segs);

// The slot whose marker ends a primary half of i events.
const unsigned char *fz_end_slot(int i);

// A map frame from four input bytes, as MAP accepts boxes: inside the
// earth, south below north, a west edge at or east of the east edge
// crossing the 180th meridian.
void fz_map_box(const uint8_t *c);

// Abort with a message: a broken invariant is a finding like a crash.
[[noreturn]] void fz_fail(const char *what);

} // namespace tw
