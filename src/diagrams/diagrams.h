// Frequency diagrams: MAGNITUDE and TIME, the value axis and legend blocks
// every diagram shares, and the time axis with its calendar arithmetic.
#pragma once
#include <cstddef>

namespace tw {

constexpr int MAXBIN = 100; // magnitude bins a diagram can hold

struct Diagrams {
	double rng[MAXBIN + 1]; // MAGNITUDE bin bounds, rng[k] = From + k x width
	int nn[MAXBIN + 1];     // MAGNITUDE count per bin
	double st0;             // day number at the left end of the time axis
	double rt0;             // hour of day at the left end (hour unit)
	double ut;              // pixels per day, per hour, or per decade (log)
	int kyy1, km1, kd1, kh1, kn1; // start of the time range
	int kyy2, km2, kd2, kh2, kn2; // end of the time range
};
extern Diagrams dg;

void diagrams_reset();

// The TIME and MAGNITUDE commands.
int time_tarnw();
int magnitude();

// [SECTION] value axis, scale and legends

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

void vprint(int row, const char *text);  // vertical title in column 1
void pfromto(int row, int count);         // data, period and area block
void legend3();                           // pfromto(2, 0) and the depths

// [SECTION] calendar and time axis

// Month lengths, January first.
constexpr int lmt[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

int fnuruu(int year);                          // 1 for a leap year
double fncal(int year, int month, int day);    // 1 January 700 is day 1
void fnlac(double n, int *year, int *month, int *day);

// Whether taxis can map t1..t2 (day numbers; kyy1... set) in this scaling
// and unit without dividing by zero or going backwards.
bool taxis_ok(int scaling, int unit, double t1, double t2);

// Horizontal time axis at y = 347: scaling 1 linear, other logarithmic; unit
// 0 year, 1 month, 2 day, 3 hour. Sets st0, rt0, ut. Returns false, drawing
// nothing but the axis line, when taxis_ok is false.
bool taxis(int scaling, int unit, double t1, double t2);

// [SECTION] MAGNITUDE and TIME

// Number of magnitude bins from a to b of width u, or -1 when the settings
// give none or more than MAXBIN.
int nbins(double a, double b, double u);

int nnleng(int count, int yscaling, double low, double factor);
void timbar(int kind, int x1, int x2, int height, int base);
void tlplot(double t, double ut, int height, int base);

// value right-aligned in width characters, cut to the buffer's capacity.
char *itos(int value, char *buffer, int width, size_t size);
template <size_t N> char *itos(int value, char (&buffer)[N], int width)
{
	return itos(value, buffer, width, N);
}

} // namespace tw
