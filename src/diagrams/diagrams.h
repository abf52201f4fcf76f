// Frequency diagrams: MAGNITUDE and TIME.
#pragma once
#include <cstddef>

#include "chart/chart.h"

namespace tw {

constexpr int MAXBIN = 100; // magnitude bins a diagram can hold

struct Diagrams {
	double rng[MAXBIN + 1]; // MAGNITUDE bin bounds, rng[k] = From + k x width
	int nn[MAXBIN + 1];     // MAGNITUDE count per bin
	TimeAxis ax;            // TIME's range and axis
};
extern Diagrams dg;

void diagrams_reset();

// The TIME and MAGNITUDE commands.
int time_tarnw();
int magnitude();

void legend3(); // the data block with SELECT's area, and the depths

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
