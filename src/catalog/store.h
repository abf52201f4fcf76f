// Event records and the segmented event store.
//
// A record is 16 bytes, the same on disk, on the wire and in memory. The
// store is up to eight 64 KB segments laid out like dataset files: a 4-byte
// head, 4095 record slots and one marker slot at byte 65524. The primary
// half (the selection) comes first, the secondary half after it; the last
// segment doubles as the work segment that files are loaded into.
#pragma once
#include <cstdint>

namespace tw {

constexpr int SEGSIZE = 65536, SEGREC = 4095, MAXSEG = 8;
constexpr int RECLEN = 16;
constexpr long MARKSLOT = 4 + 16L * SEGREC; // 65524: the slot for a marker only
constexpr int M_END = 65535, M_CONT = 65534;  // end and continuation markers
constexpr int M_LOW = 65280;                  // smallest marker value (00 FF)

struct Store {
	unsigned char *iseg[10]; // segments obtained at start-up, 8 used
	int nseg;                // number of segments obtained
	short nmax;              // capacity of the primary half, in events
	short nmax2;             // capacity of the secondary half, in events
	int itot;                // events in the primary half
	short isort;             // 1 after SORT ("special order")
	char f2_s[6];            // data source of the current selection
	int seglimit;            // segments alloc_mem may take (tests lower it)
	char drv_s[65];          // directory of data files
	char drvo_s[65];         // directory of auxiliary files

	// Bounds of the last SELECT, read by the filter (and by map FIND).
	unsigned iyy1, iyy2;     // From and To year
	int imd1, imd2;          // month x 256 + day
	int ihm1, ihm2;          // hour x 256 + minute
	int isc1, isc2;          // seconds x 10
	int lo1, lo2;            // longitude keys: deg x 256 + min, W negative
	short la1, la2;          // latitude keys: deg x 256 + min, S negative
	short lom1, lom2;        // longitude minutes as typed
	short lam1, lam2;        // latitude minutes as typed
	double hh1, hh2;         // depth bounds in km as typed
	unsigned ih1, ih2;       // depth bounds in tenths of km
	double rm1, rm2;         // magnitude bounds as typed
	int m1, m2;              // magnitude bounds in tenths
	bool noh;                // undetermined depths rejected (ynh$ was "N")
	bool nom;                // undetermined magnitudes rejected (ynm$ was "N")
};
extern Store st;

constexpr int b360 = 92160, b180 = 46080; // 360 and 180 degrees as keys

void store_reset(); // forget everything, segments included

// Take up to segs segments and split them as start-up does (the primary
// half gets the odd one); nothing selected.
void store_init(int segs = MAXSEG);

// Segments and byte access.
int alloc_mem();
int peek(long offset, const unsigned char *block);
int qeek(long offset, const unsigned char *block);
void poke(int value, long offset, unsigned char *block);
long bload(unsigned char *block, long offset, const char *name);
long rbload(unsigned char *block, long offset, const char *name); // server_client.cpp
void data_path(char *out, int n, const char *name); // what bload opens

// Decoding one record that begins at block + offset.
int fnyear(long offset, const unsigned char *block);
double bin2deg(long offset, const unsigned char *block);
int coordkey(long offset, const unsigned char *block); // deg x 256 + min, signed
double rec_depth(const unsigned char *rec);  // km; negative when undetermined
double rec_mag(const unsigned char *rec);    // -9999.0 when undetermined
int rec_marker(const unsigned char *rec);    // marker value, or 0 for a record

// Halves of the store: base segment of each, slot of event i (from 0).
inline int workseg() { return st.nseg - 1; }
inline int base2() { return st.nmax / SEGREC; }
unsigned char *evslot(int base, int i);
inline unsigned char *event(int i) { return evslot(0, i); }
void put_event(int base, int i, const unsigned char *rec);
void put_marker(int base, int i, int m);
void seal_full(int base, int n); // end marker after a half filled to n
void swap_segments(int n);       // first n segments of the two halves

} // namespace tw
