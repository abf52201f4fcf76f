// Helpers of the diagram tests: files, ghostscript, a scratch directory
// with a stand-in lpr, and a small event store.
#pragma once
#include <string>

namespace tw {

std::string slurp(const std::string &path);

// ghostscript renders the file without error (empty files do not count).
bool gs_ok(const std::string &path);

// A fresh directory made the working directory, with an lpr on PATH that
// keeps each job it is given as job1.ps, job2.ps ...; back on destruction.
struct ScratchDir {
	std::string dir, old, oldpath;
	ScratchDir();
	~ScratchDir();
	std::string job(int n) const { return dir + "/job" + std::to_string(n) + ".ps"; }
};

// An event as the store holds it.
struct Ev {
	int year, month, day, hour = 0, minute = 0, tenths = 0;
	int mag10 = 40;        // magnitude in tenths; 0 undetermined
	int depth10 = 100;     // depth in tenths of a km
};

// Fill the primary half with these events in this order (segments are
// obtained here when the store has none).
void fill_store(const Ev *ev, int n);

} // namespace tw

#include <vector>

namespace tw {

struct Recording;

// Type a whole form: each value padded with blanks to its field's width,
// from the field the cursor starts on; then Enter.
void type_form(Recording &r, const std::vector<std::string> &values, const std::vector<int> &widths);

// Calls of the recording of one kind ("fill", "rect", "line"), as numbers.
std::vector<std::vector<int>> calls_of(const Recording &r, const std::string &kind);

} // namespace tw
