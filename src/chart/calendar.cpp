// Calendar arithmetic (day numbers from 1 January 700, a leap day every
// fourth year) and the time axis of the TIME and SPACE-TIME diagrams.
#include <cmath>
#include <cstdio>

#include "chart/chart.h"
#include "device/graph.h"

namespace tw {

// [SECTION] calendar

int fnuruu(int year) { return year % 4 == 0 ? 1 : 0; }

static int yearlen(int y) { return 365 + fnuruu(y); }
static int monthlen(int y, int m) { return lmt[m - 1] + (m == 2 ? fnuruu(y) : 0); }

// Day number of 31 December of the year before y: every year from 700 has
// 365 days and every fourth one, 700 first, one more.
static double yearstart(int y)
{
	if (y < 700)
		return 0; // before the count: the day of the year alone
	long n = y - 700;
	return (double)(n * 365 + (n + 3) / 4);
}

double fncal(int year, int month, int day)
{
	double n = yearstart(year) + day;
	for (int m = 1; m < month && m <= 12; m++)
		n += monthlen(year, m);
	return n;
}

// Whole years are taken off in four-year cycles, so dates of any length of
// catalogue come back; day numbers before day 1 give 1 January 700.
void fnlac(double n, int *year, int *month, int *day)
{
	long k = std::isnan(n) || n < 1 ? 1 : n > 1e9 ? 1000000000L : (long)std::ceil(n);
	long y = 700 + (k - 1) / 1461 * 4;
	k -= (long)yearstart((int)y);
	while (k > yearlen((int)y)) {
		k -= yearlen((int)y);
		y++;
	}
	int m = 1;
	while (m < 12 && k > monthlen((int)y, m)) {
		k -= monthlen((int)y, m);
		m++;
	}
	*year = (int)y;
	*month = m;
	*day = (int)k;
}

// [SECTION] axis spans

// Units of the range for a logarithmic axis.
static double log_units(int unit, double t1, double t2, const TimeAxis &ax)
{
	switch (unit) {
	case 0: return ax.kyy2 - ax.kyy1 + 1;
	case 1: return (ax.kyy2 - ax.kyy1) * 12 + ax.km2 - ax.km1 + 1;
	case 2: return t2 - t1 + 1;
	default: return (t2 - t1) * 24 + ax.kh2 + 1 - ax.kh1;
	}
}

static double linear_start(int unit, const TimeAxis &ax)
{
	switch (unit) {
	case 0: return fncal(ax.kyy1, 1, 1);
	case 1: return fncal(ax.kyy1, ax.km1, 1);
	default: return fncal(ax.kyy1, ax.km1, ax.kd1);
	}
}

// The denominator of ut for a linear axis: days, or hours for the hour unit.
static double linear_span(int unit, double t2, const TimeAxis &ax)
{
	double s = linear_start(unit, ax);
	if (unit != 3)
		return t2 + 1 - s;
	double he = ax.kh2 + ax.kn2 / 60.0;
	return (t2 - s) * 24 + he + 1 - ax.kh1;
}

static int log_top(double n)
{
	int lower, upper, step;
	if (n > 1e7)
		return -1;
	scale(1, (int)n, &lower, &upper, &step);
	return upper;
}

bool taxis_ok(int scaling, int unit, double t1, double t2, const TimeAxis &ax)
{
	if (unit < 0 || unit > 3)
		unit = 0;
	if (scaling == 1)
		return linear_span(unit, t2, ax) > 0;
	return log_top(log_units(unit, t1, t2, ax)) >= 2;
}

// [SECTION] ticks and labels

static void tick(int x, int y2)
{
	gmoveto(x, 347);
	glineto(x, y2);
}

static void label(int x, int y, int v, int colour)
{
	char buf[16];
	std::snprintf(buf, sizeof buf, "%d", v);
	gfprint(x - _gettextextent(buf) / 2, y, buf, colour);
}

// Centred with the half width of another text: the second-row labels line
// up with the first-row label of the same tick.
static void label_under(int x, int y, const char *text, const char *under)
{
	gfprint(x - _gettextextent(under) / 2, y, text, 7);
}

static int steps(double n)
{
	int s = (int)(n / 8);
	return s < 1 ? 1 : s;
}

static int xday(double t, const TimeAxis &ax) { return (int)(56 + (t - ax.st0) * ax.ut); }

static void year_ticks(const TimeAxis &ax)
{
	int n = ax.kyy2 - ax.kyy1 + 1, step = steps(n);
	for (int k = 0; k <= n; k += step) {
		int x = xday(fncal(ax.kyy1 + k, 1, 1), ax);
		tick(x, 354);
		label(x, 356, ax.kyy1 + k, 7);
	}
}

static void month_ticks(const TimeAxis &ax)
{
	int n = (ax.kyy2 - ax.kyy1) * 12 + ax.km2 + 1 - ax.km1, step = steps(n);
	int y = ax.kyy1, m = ax.km1, shown = -1;
	char mb[16], yb[16];
	for (int o = 0; o <= n; o += step) {
		int x = xday(fncal(y, m, 1), ax);
		tick(x, 354);
		label(x, 356, m, 7);
		if (y != shown) {
			std::snprintf(mb, sizeof mb, "%d", m);
			std::snprintf(yb, sizeof yb, "%d", y);
			label_under(x, 369, yb, mb);
			shown = y;
		}
		for (m += step; m > 12; m -= 12)
			y++;
	}
}

static void day_ticks(const TimeAxis &ax)
{
	double n = fncal(ax.kyy2, ax.km2, ax.kd2) - fncal(ax.kyy1, ax.km1, ax.kd1) + 1;
	int step = steps(n), ly = -1, lm = -1, y, m, d;
	char buf[32];
	for (int o = 0; o <= n; o += step) {
		fnlac(ax.st0 + o, &y, &m, &d);
		int x = xday(fncal(y, m, d), ax);
		if (m != lm) {
			if (y != ly) {
				std::snprintf(buf, sizeof buf, "%d/%d", y, m);
				label_under(x, 369, buf, buf);
				ly = y;
			} else {
				label(x, 369, m, 7);
			}
		}
		tick(x, 354);
		label(x, 354, d, 7);
		lm = m;
	}
}

static void hour_ticks(const TimeAxis &ax)
{
	double n = (fncal(ax.kyy2, ax.km2, ax.kd2) - fncal(ax.kyy1, ax.km1, ax.kd1)) * 24 + ax.kh2 + 1 - ax.kh1;
	int step = steps(n), lm = -1, ld = -1, y, m, d;
	char buf[32];
	for (int o = 0; o <= n; o += step) {
		int days = o / 24, h = ax.kh1 + (o - 24 * days);
		if (h > 23)
			days++, h -= 24;
		fnlac(ax.st0 + days, &y, &m, &d);
		int x = (int)(((fncal(y, m, d) - ax.st0) * 24 + h - ax.rt0) * ax.ut) + 57;
		if (d != ld) {
			if (m != lm) {
				std::snprintf(buf, sizeof buf, "%d/%d", m, d);
				label_under(x, 369, buf, buf);
				lm = m;
			} else {
				label(x, 369, d, 7);
			}
		}
		tick(x, 354);
		label(x, 354, h, 7);
		ld = d;
	}
}

// [SECTION] taxis

static void linear_axis(int unit, double t1, double t2, TimeAxis &ax)
{
	ax.st0 = linear_start(unit, ax);
	ax.ut = 418 / linear_span(unit, t2, ax);
	double hs = ax.kh1 + ax.kn1 / 60.0, he = ax.kh2 + ax.kn2 / 60.0;
	if (unit == 3)
		ax.rt0 = ax.kh1;
	static void (*const ticks[4])(const TimeAxis &) = {year_ticks, month_ticks, day_ticks, hour_ticks};
	ticks[unit](ax);
	_setcolor(3);
	if (unit == 3) {
		tick((int)(((t1 - ax.st0) * 24 + hs - ax.rt0) * ax.ut) + 57, 354);
		tick((int)(((t2 - ax.st0) * 24 + he + 1 - ax.rt0) * ax.ut) + 57, 354);
	} else {
		tick((int)((t1 - ax.st0) * ax.ut) + 57, 354);
		tick((int)((t2 + 1 - ax.st0) * ax.ut) + 57, 354);
	}
}

static void log_axis(int unit, double t1, double t2, TimeAxis &ax)
{
	double n = log_units(unit, t1, t2, ax);
	ax.st0 = linear_start(unit, ax);
	if (unit == 3)
		ax.rt0 = ax.kh1;
	int u = log_top(n);
	ax.ut = 418 / std::log10((double)u);
	int v = 1;
	for (int k = 0; k <= 4 && v <= u; k++, v *= 10) {
		int x = (int)(k * ax.ut) + 57;
		tick(x, 354);
		label(x, 354, v, 7);
	}
	_setcolor(3);
	tick(57, 354);
	int x = (int)(std::log10(n) * ax.ut) + 57;
	tick(x, 354);
	label(x, 354, (int)n, 3);
}

bool taxis(int scaling, int unit, double t1, double t2, TimeAxis &ax)
{
	_setcolor(7);
	gmoveto(41, 347);
	glineto(490, 347);
	if (unit < 0 || unit > 3)
		unit = 0;
	if (!taxis_ok(scaling, unit, t1, t2, ax))
		return false;
	if (scaling == 1)
		linear_axis(unit, t1, t2, ax);
	else
		log_axis(unit, t1, t2, ax);
	return true;
}

} // namespace tw
