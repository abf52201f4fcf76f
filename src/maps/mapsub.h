// Map subfunctions: the picks on the map, the raster area test and the
// profile rectangle they share.
#pragma once

namespace tw {

// A position in whole minutes; the hemisphere travels with it because the
// degrees alone lose it between 0 and 1 degree.
struct DegMin {
	int lo;          // longitude degrees, truncated toward zero
	short lom;       // longitude minutes
	short la;        // latitude degrees
	short lam;       // latitude minutes
	bool w, s;       // west, south
};

// Points picked on the map and the figure they make.
struct Pick {
	int n;           // points picked so far
	int xs[4], ys[4];// picked (or derived) points, plotting pixels
	int r;           // FIND: circle radius
	int length;      // profile: axis length in km
	double slope;    // profile: axis slope in pixels (see vertical, horizontal)
	bool vertical;   // profile axis in one pixel column
	bool horizontal; // profile axis in one pixel row
};

struct PickSpec {
	int npick;                                // points to pick
	const char *prompt[4];                    // line 22 before each pick
	void (*figure)(const Pick &p);            // draws what the points make so far
	void (*done)(Pick &p);                    // after the last pick (may be null)
};

void ital(int x, int y, DegMin &d);
double unlat(double y);                      // latitude of a projected value
double dm2deg(int deg, int min, bool neg);   // back from the form
void map_sub_prep(const int *xs, const int *ys, int n);
void map_retrv(int &count);
int pick_loop(Pick &p, const PickSpec &how);
int project_area(Pick &p);
void press_prompt(int mode, int line);
void draw_base();                 // frame, base map when ynmap, epicentres

double delta(double lon, double lat);
double rtal(double lon, double lat, const Pick &p);
void otparm(int i, int &year, int &month, int &day, int &hour, int &minute, int j0);

} // namespace tw
