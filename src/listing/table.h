// The paged event table of BROWSE (mode 0) and of map FIND (mode 1).
#pragma once

namespace tw {

// Lists n events of the primary half (mode 0) or of the secondary half
// (mode 1). Returns 3 for an empty BROWSE; otherwise 0 on leaving BROWSE,
// 317 (F3) or 320 (F6) on leaving FIND BROWSE.
int table(int mode, int n);
int browse(); // the BROWSE command

} // namespace tw
