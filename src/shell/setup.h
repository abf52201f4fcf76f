// Settings kept between runs in the setup file "_seis", the OPTION command,
// and the small text helpers every command shares.
//
// The directories live in Store (st.drv_s, st.drvo_s), the printer in Spool
// (sp.prn_s, sp.port_s) and the data source in Store (st.f2_s); everything
// else the setup file carries is here.
#pragma once
#include <cstddef>
#include <cstdio>

namespace tw {

constexpr int NDPMAX = 7; // depth classes at most
constexpr int NMGMAX = 8; // magnitude classes at most

struct Settings {
	char y1_s[5];        // SELECT from: year
	char m1_s[3];        // SELECT from: month
	char d1_s[3];        // SELECT from: day
	char h1_s[3];        // SELECT from: hour
	char n1_s[3];        // SELECT from: minute
	char s1_s[6];        // SELECT from: second, "00.00"
	char y2_s[5];        // SELECT to: year
	char m2_s[3];        // SELECT to: month
	char d2_s[3];        // SELECT to: day
	char h2_s[3];        // SELECT to: hour
	char n2_s[3];        // SELECT to: minute
	char s2_s[6];        // SELECT to: second, "59.99"
	char dst_s[11];      // SELECT region name
	char so1_s[4];       // longitude from: degrees
	char som1_s[3];      // longitude from: minutes
	char sew1_s[2];      // longitude from: E or W
	char so2_s[4];       // longitude to: degrees
	char som2_s[3];      // longitude to: minutes
	char sew2_s[2];      // longitude to: E or W
	char sa1_s[3];       // latitude from: degrees
	char sam1_s[3];      // latitude from: minutes
	char sns1_s[2];      // latitude from: N or S
	char sa2_s[3];       // latitude to: degrees
	char sam2_s[3];      // latitude to: minutes
	char sns2_s[2];      // latitude to: N or S
	char dp1_s[6];       // depth from, km
	char dp2_s[6];       // depth to, km
	char mg1_s[5];       // magnitude from
	char mg2_s[5];       // magnitude to
	char ynh_s[2];       // include events of undetermined depth, Y or N
	char ynm_s[2];       // include events of undetermined magnitude, Y or N
	char mps_s[9];       // map dataset name of MAP
	int ndp;             // number of depth classes in use, 0 to 7
	int nmg;             // number of magnitude classes in use, 0 to 8
	double ro;           // symbol size of class MAG0, pixels
	double ru;           // size factor from one magnitude class to the next
	int cdp[NDPMAX];     // lower depth bound of each depth class, km
	int icd[NDPMAX];     // colour number (and shape) of each depth class
	double cmg[NMGMAX];  // lower magnitude bound of each magnitude class
	char ync_s[4];       // maximum depth of the map's cross-section charts, km
	int seisok;          // the setup file was read or made: only then is it written at exit
};
extern Settings se;

void settings_reset();  // every setting empty or zero
void select_defaults(); // SELECT's settings (st.f2_s included) as at first run
void dpmg_init();       // symbol classes and ync_s as at first run

// The setup file.
bool mksetup(char *buf, size_t size); // false when the path does not fit
void load_setup();
bool dump_setup(); // false (message on stderr) when the old file stays
int option();

// Text helpers.
int ffgets(char *buf, int n, FILE *f);   // buf holds n + 1 characters
int ffputs(const char *text, FILE *f);
char *ggcvt(double value, int width, char *buf); // buf holds 14 characters
char *hcvt(double value, char *buf);             // ggcvt with width 6

// Append "/" unless the path is empty or already ends in a separator; a
// full buffer is left as it is.
void add_separator(char *path, size_t size);
template <size_t N> void add_separator(char (&path)[N]) { add_separator(path, N); }

// Copy, cut to the destination, then drop trailing blanks and control
// characters.
void strxcpy(char *dst, size_t size, const char *src);
template <size_t N> void strxcpy(char (&dst)[N], const char *src) { strxcpy(dst, N, src); }

} // namespace tw
