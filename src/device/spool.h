// Printer spool: the print file "seis.prn" and its hand-over to lpr.
#pragma once
#include <cstdio>

namespace tw {

struct Spool {
	FILE *fq;         // the spool file while it is open
	char prn_s[5];    // printer kind, "PS  "
	char port_s[65];  // printer name given to lpr -P
};
extern Spool sp;

void spool_reset(); // closes the spool file, printer settings empty

// Where a failed print job is told; the panel engine defines it (its form
// message), so the spool needs nothing from above.
extern void (*spool_message)(const char *text);

void get_printer_defaults(char *kind, char *name);
int pfile_open(const char *mode);
bool pfile_close(); // false (message set) when the file was not written whole
int lpinit();
void lpputs(const char *text);
void lpputn(const char *bytes, int n);
int lpclose();  // 0 (message set) when the job was not sent or lpr failed
int lpsubmit();
int tcopy();

} // namespace tw
