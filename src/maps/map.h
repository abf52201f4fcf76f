// MAP: the map frame and its latitude projection, base-map datasets, the
// epicentre symbols and legends, and the subfunction menu.
#pragma once
#include "chart/chart.h"
#include "maps/mapsub.h"

namespace tw {

// The map box and its pixel frame, shared by every map picture.
struct MapFrame {
	double b1, b2;          // west and east edge longitude (b2 += 360 when wrap)
	double a1, a2;          // south and north edge latitude
	double c1, c2;          // fnyy(a1), fnyy(a2)
	double xm, ym;          // b2 - b1 (degrees), c2 - c1 (projected units)
	int kx0, kx1, ky0, ky1; // frame left, right, top, bottom (pixels)
	double rrx, rry;        // pixels per degree, pixels per projected unit
	short wrap;             // 1: the box crosses the longitude where b1 >= b2
	short ynmap;            // 1: draw the base map inside the frame
};
extern MapFrame mf;

// MAP panel values, the projection table, the symbol sizes and the profile
// points. The map dataset name (mps_s), the chart depth (ync_s) and the
// symbol classes (ndp, cdp, icd, nmg, cmg, ro, ru) are settings kept in the
// setup file: they live in se (shell/setup.h).
struct Maps {
	char est_s[11];     // region name
	char to1_s[9], tom1_s[9], tew1_s[9]; // first longitude: degrees, minutes, E/W
	char to2_s[9], tom2_s[9], tew2_s[9]; // second longitude
	char ta1_s[9], tam1_s[9], tns1_s[9]; // first latitude: degrees, minutes, N/S
	char ta2_s[9], tam2_s[9], tns2_s[9]; // second latitude
	char yns_s[9];      // "Y": change the symbol assignment first
	double yln[181];    // fnyy(k - 90), k = 0..180
	double dln[180];    // yln[k + 1] - yln[k]
	double rmg[8];      // symbol size of each magnitude class, from ro and ru
	int lo[4];          // profile corners P0..P3: longitude degrees
	short lom[4];       // longitude minutes
	short la[4];        // latitude degrees
	short lam[4];       // latitude minutes
	signed char low[4]; // 1: the longitude is west (negative)
	signed char las[4]; // 1: the latitude is south (negative)
	// The picture of the current subfunction, kept for its hard-copy redraws.
	Pick pk;            // CROSS-SECTION, SPACE-TIME: the profile rectangle
	int nfound;         // events found inside it
	int sx1, sx2;       // CROSS-SECTION: distance range, km
	int sy1, sy2;       // depth (CROSS-SECTION) or distance (SPACE-TIME) range, km
	int unit;           // SPACE-TIME tick unit: 0 year, 1 month, 2 day, 3 hour
	TimeAxis ax;        // SPACE-TIME's range and axis
	char ovname[65];    // ACTIVE-FAULTS dataset, or STATIONS file name
	int fcol[4];        // fault colours of the codes 'F' to 'I'
	bool codes;         // STATIONS: print the station codes
	bool failed;        // ACTIVE-FAULTS: the fault file could not be loaded
};
extern Maps mp;

void maps_reset();  // zero frame and texts, projection table built
void map_init();    // fills yln and dln
double fnyy(double phi);
double lat(double phi);
void map_geometry(); // frame and scales from b1, b2, a1, a2

int map();
int map1();
int map2();
int dmap(const char *name, int mode, const int *colours);

void symbol_sizes(); // rmg from ro and ru
void eqparm(int i, double &lon, double &lat, double &dep, double &mag, int j0);
int depth_class(double dep);
int mag_class(double mag);
int epicenters();
void legend(const char *name, int n);
void mag_legend();
void legend2(int length, int n);
char *jtoa(int value, char *buf, int width); // buf: 12 characters

// Map subfunctions, chosen from the map2 menu.
int map_find();
int map_select();
int map_cross_section();
int map_space_time();
int map_active_faults();
int map_stations();

} // namespace tw
