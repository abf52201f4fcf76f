// Shared pieces of the fuzz targets: a scratch directory for the files a
// reader opens, one input cut into those files, a fresh program state for
// each run, and the checks that more than one target makes. With them the
// store and the panel engine, which nearly every target reads. The
// catalogue reader targets take fz_fail alone.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "catalog/store.h"
#include "shell/panel.h"

namespace tw {

// Parts of one input are separated by this text; a part may be empty.
constexpr const char *FZ_SEP = "\n--tw--\n";

// The scratch directory (created once, short enough for st.drvo_s), and a
// file written there (its directories made as needed).
const char *fz_dir();
void fz_write(const std::string &name, const std::string &s);

// The input cut at every sep; at most max parts (the last keeps the rest).
std::vector<std::string> fz_split(const uint8_t *data, size_t size, size_t max, const std::string &sep = FZ_SEP);

// The input cut into names.size() parts, each written to its file in the
// scratch directory (none for a null name); files without a part are
// removed, so a run never reads the last run's.
std::vector<std::string> fz_files(const uint8_t *data, size_t size, std::vector<const char *> names);

// Every subsystem reset, the recording back end in use, both directories
// pointing at the scratch directory, and a store of segs segments with the
// capacities start-up gives it.
void fz_fresh(int segs);

// Events from..count of the store: within its capacity, no marker among
// them, and an end marker after the last (also after none, if empty_too).
void fz_check_store(int from, int count, bool empty_too = false);

// A map frame from four input bytes, as MAP accepts boxes: inside the
// earth, south below north, a west edge at or east of the east edge
// crossing the 180th meridian.
void fz_map_box(const uint8_t *c);

// Abort with a message: a broken invariant is a finding like a crash.
[[noreturn]] inline void fz_fail(const char *what)
{
	std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
	std::abort();
}

} // namespace tw
