// Helpers of the diagram tests: a small event store,
// typed forms and the recorded calls of one kind.
#pragma once
#include <string>
#include <vector>

#include "events.h"
#include "files.h"

namespace tw {

struct Recording;

// Fill the primary half of a fresh two-segment store with these events.
void fill_store(const std::vector<Ev> &evs);

// Type a whole form: each value padded with blanks to its field's width,
// from the field the cursor starts on; then Enter.
void type_form(Recording &r, const std::vector<std::string> &values, const std::vector<int> &widths);

// Calls of the recording of one kind ("fill", "rect", "line"), as numbers.
std::vector<std::vector<int>> calls_of(const Recording &r, const std::string &kind);

} // namespace tw
