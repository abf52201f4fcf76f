// What diagrams and maps draw alike: the value axis and its round numbers,
// the time axis with its calendar arithmetic, and the block at the right
// that says which data a picture shows.
#pragma once

namespace tw {

// [SECTION] value axis

// Round axis ends and tick step for the integer range lo..hi; upper stays
// -1 when hi is beyond a thousand steps.
void scale(int lo, int hi, int *lower, int *upper, int *step);

// Whether vaxis can draw lo..hi as an axis of this kind: the range must
// leave a span (and, logarithmic, positive decades to span).
bool vaxis_ok(int kind, int lo, int hi);

// Vertical value axis at x = 40: kind 1 linear up, 2 logarithmic up, 3
// linear down (depth). A value v sits at base - (v - low) x factor (log10(v)
// for kind 2). Returns false, drawing nothing and leaving factor 0, when the
// range has no span.
bool vaxis(int kind, int lo, int hi, int *base, double *factor, double *low);

void vprint(int row, const char *text); // vertical title in column 1

// [SECTION] calendar and time axis

// Month lengths, January first.
constexpr int lmt[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

int fnuruu(int year);                          // 1 for a leap year
double fncal(int year, int month, int day);    // 1 January 700 is day 1
void fnlac(double n, int *year, int *month, int *day);

// A time axis: the range it spans, and where taxis put its left end.
struct TimeAxis {
	int kyy1, km1, kd1, kh1, kn1; // start of the time range
	int kyy2, km2, kd2, kh2, kn2; // end of the time range
	double st0;                   // day number at the left end
	double rt0;                   // hour of day at the left end (hour unit)
	double ut;                    // pixels per day, per hour, or per decade (log)
};

// Whether taxis can map t1..t2 (day numbers of ax's range) in this scaling
// and unit without dividing by zero or going backwards.
bool taxis_ok(int scaling, int unit, double t1, double t2, const TimeAxis &ax);

// Horizontal time axis at y = 347: scaling 1 linear, other logarithmic; unit
// 0 year, 1 month, 2 day, 3 hour. Sets ax's st0, rt0, ut. Returns false,
// drawing nothing but the axis line, when taxis_ok is false.
bool taxis(int scaling, int unit, double t1, double t2, TimeAxis &ax);

// [SECTION] data block

// An area as its form shows it: degrees, minutes and hemisphere of each end.
struct AreaText {
	const char *la[6]; // latitude from and to
	const char *lo[6]; // longitude from and to
};

// Data, period and area from row on; count 0 means the selection's.
void pfromto(int row, int count, const AreaText &area);

} // namespace tw
