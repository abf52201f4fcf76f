// The value axis at the left of every diagram and its round numbers.
#include <cmath>
#include <cstdio>

#include "chart/chart.h"
#include "device/graph.h"

namespace tw {

void scale(int lo, int hi, int *lower, int *upper, int *step)
{
	long d = (long)hi - lo;
	int s = d < 15 ? 1 : d < 150 ? 10 : d < 1500 ? 100 : 1000;
	*step = s;
	*lower = -1;
	*upper = -1;
	for (int k = -1; k <= 1000; k++) {
		int v = k * s;
		if (v == lo)
			*lower = v;
		if (*lower == -1 && lo > v)
			*lower = v;
		if (hi <= v) {
			*upper = v;
			return;
		}
	}
}

bool vaxis_ok(int kind, int lo, int hi)
{
	int lower, upper, step;
	if (hi <= lo)
		return false;
	scale(lo, hi, &lower, &upper, &step);
	if (upper == -1 && hi > -1)
		return false; // beyond a thousand steps
	if (kind != 2)
		return upper > lower;
	// Decades: the top and hi need logarithms, and above the base.
	double low = lower > 0 ? std::log10((double)lower) : -1.0;
	return upper > 0 && hi > 0 && std::log10((double)upper) > low;
}

static void vlabel(int y, int v, int colour)
{
	char buf[16];
	std::snprintf(buf, sizeof buf, "%d", v);
	gfprint(38 - _gettextextent(buf), y - 15, buf, colour);
}

static void vtick(int y)
{
	gmoveto(32, y);
	glineto(40, y);
}

static void linear_ticks(int lo, int hi, int base, int step, int ns, double factor, double low)
{
	for (int i = 0; i <= ns; i++) {
		int y = base - (int)(i * step * factor);
		vtick(y);
		int v = (int)(i * step + low);
		if ((ns <= 8 || i % 2 == 0) && v != -1)
			vlabel(y, v, 7);
	}
	_setcolor(5);
	vtick((int)(base - (lo - low) * factor));
	vtick((int)(base - (hi - low) * factor));
}

static void log_ticks(int hi, int upper, int base, double factor, double low)
{
	int d = 1;
	for (int k = 0; k <= 4 && d <= upper; k++, d *= 10) {
		int y = (int)(base - (k - low) * factor);
		vlabel(y, d, 7);
		vtick(y);
	}
	_setcolor(3);
	int y = base - (int)((std::log10((double)hi) - low) * factor);
	vtick(y);
	vlabel(y, hi, 3);
}

bool vaxis(int kind, int lo, int hi, int *base, double *factor, double *low)
{
	int lower, upper, step;
	scale(lo, hi, &lower, &upper, &step);
	*base = kind == 3 ? 37 : 347;
	*factor = 0;
	*low = kind == 2 ? -1.0 : lower;
	if (kind != 3) {
		gmoveto(40, 0);
		glineto(40, 347);
	}
	if (!vaxis_ok(kind, lo, hi))
		return false;
	double top = upper;
	if (kind == 2) {
		*low = lower > 0 ? std::log10((double)lower) : -1.0;
		top = std::log10((double)upper);
	}
	*factor = (kind == 3 ? -332 : 332) / (top - *low);
	_setcolor(7);
	if (kind == 2)
		log_ticks(hi, upper, *base, *factor, *low);
	else
		linear_ticks(lo, hi, *base, step, (upper - lower) / step, *factor, *low);
	return true;
}

void vprint(int row, const char *text)
{
	char c[2] = {0, 0};
	for (int i = 0; text[i]; i++) {
		c[0] = text[i];
		gprint(1, row + i, c, 2);
	}
}

} // namespace tw
