// Stand-ins for parts of the program that are not in this build yet. Each
// is weak: the real definition, once linked, replaces it. Commands answer
// NOT_BUILT so the main loop beeps as for an unbound key.
#include "catalog/store.h"
#include "device/ps.h"
#include "device/spool.h"
#include "shell/panel.h"
#include "shell/shell.h"

#define WEAK __attribute__((weak))

namespace tw {

WEAK int select_seis() { return NOT_BUILT; }
WEAK int browse() { return NOT_BUILT; }
WEAK int print() { return NOT_BUILT; }
WEAK int save() { return NOT_BUILT; }
WEAK int sort() { return NOT_BUILT; }
WEAK int map() { return NOT_BUILT; }
WEAK int time_tarnw() { return NOT_BUILT; }
WEAK int magnitude() { return NOT_BUILT; }
WEAK int option() { return NOT_BUILT; }

WEAK void psmoveto(int, int) {}
WEAK void pslineto(int, int) {}
WEAK void psbox(int, int, int, int, int) {}
WEAK void pscircle(int, int, int) {}
WEAK void pstext(int, int, const char *) {}
WEAK void psviewport(int, int, int, int) {}
WEAK void psnormal_font() {}
WEAK void pssmall_font() {}
WEAK void psinit() {}
WEAK void pshcopy(int) {}

WEAK Spool sp;
WEAK int lpinit() { return 0; }
WEAK int pfile_open(const char *) { return 0; }
WEAK void pfile_close() {}
WEAK void lpputs(const char *) {}
WEAK void lpputn(const char *, int) {}
WEAK void lpclose() {}
WEAK void lpsubmit() {}
WEAK int tcopy() { return 0; }

// Start-up steps that join as their subsystems land.
WEAK int alloc_mem() { return 0; }
WEAK int panel(int) { return 0; }
WEAK void load_setup() {}
WEAK void dump_setup() {}
WEAK void map_init() {}

} // namespace tw
