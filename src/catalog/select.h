// SELECT: the form's checks, the reading plan of each data source, the
// dataset file names, the record filter and the region lookup.
#pragma once

namespace tw {

// One leg of a selection: a whole catalogue or a run of yearly files.
struct Leg {
	char name[6]; // source of the files: "RIKA", "VELA", "JMA" or the form's
	bool yearly;  // one file (one server request) per year from y1 to y2
	int y1, y2;   // the time window's years while this leg runs
	int parts;    // whole catalogue: how many parts to read (1 or 2)
};
constexpr int MAXLEG = 3;

// The legs for a source and year range; local reading and the server
// differ in where yearly legs of plain sources start. Returns the count.
int select_plan(const char *src, int iyy1, int iyy2, bool server, Leg *legs);

// Dataset file names: the year's first part, and part p (2 or more) of a
// file. Both cut to the buffer.
void year_file(char *out, int n, const char *src, int year);
void part_file(char *out, int n, const char *first, int part);
// The part marker m of part cur leads to, or 0 when the file ends there.
int part_after(int m, int cur, int maxpart);

// What a record must meet to pass. SELECT fills it from its form (the
// fields in st, see select_bounds), the server from a request; a value of
// its own lets several selections run at once.
struct Bounds {
	unsigned iyy1, iyy2; // From and To year
	int imd1, imd2;      // month x 256 + day
	int ihm1, ihm2;      // hour x 256 + minute
	int isc1, isc2;      // seconds x 10
	int lo1, lo2;        // longitude keys; lo2 past 180 degrees wraps round
	int la1, la2;        // latitude keys
	unsigned ih1, ih2;   // depth in tenths of km
	int m1, m2;          // magnitude in tenths
	bool noh, nom;       // undetermined depth (magnitude) rejected
};
Bounds select_bounds(); // the bounds of the last SELECT, from st

// Bounds made ready for the scan: the time window as two record keys, so
// each record costs one comparison per end. The cheap and selective tests
// (magnitude, depth) come first.
class Filter {
public:
	explicit Filter(const Bounds &b);
	bool passes(const unsigned char *rec) const;

private:
	unsigned long long t1, t2; // time keys: a record passes when t1 <= key <= t2
	Bounds b;
};

// The first record from k on of a loaded segment (len valid bytes) that
// passes: its index, or the value of the marker met first. A scan that runs
// out of bytes ends as at an end marker. seg_marker finds the marker alone.
int next_pass(const Filter &f, const unsigned char *seg, long len, int k);
int seg_marker(const unsigned char *seg, long len);

// Scan segment src from record k; copy the first passing record to event
// count of the half based at dst and return its index, or copy the marker
// met first and return its value. Only len bytes of src are valid.
int retrv(const Filter &f, int k, int count, int src, int dst, long len = 65536);
int retrv(int k, int count, int src, int dst, long len = 65536); // st's bounds

// Read one file (and its parts when parts is above 1) into the primary half
// through the filter. Returns 0 missing file, 2 store full, 1 done.
int scan_file(const char *first, int parts);
int rvrika();
int rvvela(bool first_only);

// The box words of a line of "regions": longitude from, E/W, longitude
// to, E/W, latitude from, N/S, latitude to, N/S.
struct RegionBox {
	char w[8][16];
};

// Look a region up in "regions": 1 and its box when found.
int dist(const char *region, RegionBox &box);

// A box into a form's fields, in the order of its words, each cut to what
// the field shows (three digits of longitude, two of latitude, one letter;
// every field holds that and an end mark); the four minutes become "00".
void put_box(const RegionBox &b, char *const (&words)[8], char *const (&mins)[4]);

// One round of SELECT after Enter on its form, the form's values already
// in the settings: -1 back to the form (em_s and isr set), else the result.
int select_round();
int select_seis(); // the SELECT command


} // namespace tw
