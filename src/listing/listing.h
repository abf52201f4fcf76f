// Event listings: region names, the line formatter shared by the event
// table, PRINT and SAVE, and the region-table loader.
#pragma once
#include <cstdio>

namespace tw {

// Region table sets; 0 lists without a region column.
enum RegionKind { RK_NONE = 0, RK_JAPAN = 1, RK_WORLD = 2 };

// Where the tables sit in the work segment.
constexpr long MESH_OFF = 0, MESH_MAX = 8192, NAME_OFF = 8192;
constexpr int NAMELEN = 24;

// Output targets of brosub.
enum ListOut { LO_SCREEN = 0, LO_PRINTER = 1, LO_FILE = 2 };

struct Listing {
	char region_str[NAMELEN + 1]; // last region name, or empty
	long mesl;                    // mesh bytes usable at MESH_OFF
	long naml;                    // name-file bytes loaded at NAME_OFF
	long first;                   // first event on the table's page
	FILE *fs;                     // the SAVE file while it is written
};
extern Listing ls;

void listing_reset();

// The PRINT and SAVE commands.
int print();
int save();

// Name of the region of one epicentre (degree bytes, hemisphere letters,
// absolute latitude) from tables loaded as above; "" when there is none.
const char *region(int kind, int lad, char ns, int lod, char ew, double lat,
		   const unsigned char *tables);

// Table set for a SELECT box given as its form texts.
int box_kind(const char *so1, const char *sew1, const char *so2, const char *sew2,
	     const char *sa1, const char *sns1, const char *sa2, const char *sns2);
int select_kind();         // the same for the current SELECT box
int load_tables(int kind); // into the work segment; kind back (names may be empty)

// Columns 1-51 of a listing line for the record at rec.
void evfields(char *out, int n, const unsigned char *rec);

// Events first..last of the half starting at segment base.
void brosub(long first, long last, int base, int mode, int output, int kind);

} // namespace tw
