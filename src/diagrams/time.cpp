// TIME: the time-frequency diagram of the selection, as bars per year,
// month, day or hour, as a running count, or as one line per magnitude.
//
// [SECTION] helpers        nnleng, timbar, tlplot, itos
// [SECTION] bins           one bar per unit of time
// [SECTION] magnitude plot
// [SECTION] the command    form defaults, reading, checks, the loop
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "catalog/store.h"
#include "device/graph.h"
#include "device/menubar.h"
#include "device/screen.h"
#include "diagrams/diagrams.h"
#include "shell/panel.h"
#include "shell/setup.h"
#include "shell/templates.h"

namespace tw {

enum { FRQ = 0, ACM = 1, MAG = 2 };

struct TimeSet {
	int tscal; // time axis: 1 linear, 2 logarithmic
	int unit;  // 0 year, 1 month, 2 day, 3 hour
	int item;  // FRQ, ACM or MAG
	int yscal; // Y axis: 1 linear, 2 logarithmic
	int y1, y2;
};

// [SECTION] helpers

int nnleng(int count, int yscaling, double low, double factor)
{
	if (count == 0)
		return 0;
	double v = yscaling == 2 ? std::log10((double)count) : count;
	return (int)((v - low) * factor);
}

void timbar(int, int x1, int x2, int height, int base)
{
	gbox(0, x1 + 57, base - height, x2 + 57, base);
}

void tlplot(double t, double ut, int height, int base)
{
	int x = (int)(std::log10(t) * ut), y = base - height;
	gmoveto(x + 51, y);
	glineto(x + 63, y);
	gmoveto(x + 57, y - 6);
	glineto(x + 57, y + 6);
}

char *itos(int value, char *buffer, int width, size_t size)
{
	if (size == 0)
		return buffer;
	std::snprintf(buffer, size, "%*d", width, value);
	return buffer;
}

// [SECTION] bins

// One event's time, decoded.
struct When {
	int y, m, d, h, n, tenths;
};

static When when_of(int i)
{
	const unsigned char *r = event(i);
	return {fnyear(0, r), r[1], r[2], r[3], r[4], qeek(5, r)};
}

// A bin as a number that orders bins: the year, the first day of the
// month, the day, or the hour counted from day 0.
static double bin_key(int unit, const When &w)
{
	switch (unit) {
	case 0: return w.y;
	case 1: return fncal(w.y, w.m, 1);
	case 2: return fncal(w.y, w.m, w.d);
	default: return fncal(w.y, w.m, w.d) * 24 + w.h;
	}
}

// Where a bin starts and where the next one does: day numbers, or hour
// counts from st0 for the hour unit.
static double bin_start(int unit, const When &w)
{
	switch (unit) {
	case 0: return fncal(w.y, 1, 1);
	case 1: return fncal(w.y, w.m, 1);
	case 2: return fncal(w.y, w.m, w.d);
	default: return (fncal(w.y, w.m, w.d) - dg.ax.st0) * 24 + w.h;
	}
}

static double bin_next(int unit, const When &w)
{
	switch (unit) {
	case 0: return fncal(w.y, 12, 32);
	case 1: return w.m >= 12 ? fncal(w.y + 1, 1, 1) : fncal(w.y, w.m + 1, 1);
	default: return bin_start(unit, w) + 1;
	}
}

// Position of a bin on a logarithmic axis, 1 for the From bin.
static double bin_index(int unit, const When &w)
{
	switch (unit) {
	case 0: return w.y - dg.ax.kyy1 + 1;
	case 1: return (w.y - dg.ax.kyy1) * 12 + w.m - dg.ax.km1 + 1;
	case 2: return fncal(w.y, w.m, w.d) - dg.ax.st0 + 1;
	default: return (fncal(w.y, w.m, w.d) - dg.ax.st0) * 24 + w.h - dg.ax.rt0 + 1;
	}
}

struct BarRun {
	TimeSet s;
	double low, factor; // from the Y axis
	double E;           // end of the To date (or hour)
	int count;          // events of the current bin, or so far (ACM)
	int prev;           // right edge of the last bar, pixels
};

static int tpix(int unit, double c)
{
	return (int)((c - (unit == 3 ? dg.ax.rt0 : dg.ax.st0)) * dg.ax.ut);
}

// Draws the current bin; next is the bin of the event that ended it, or
// nullptr when the store ran out.
static void draw_bin(BarRun &b, const When &cur, const When *next)
{
	int u = b.s.unit, h = nnleng(b.count, b.s.yscal, b.low, b.factor);
	if (b.s.tscal != 1) {
		tlplot(bin_index(u, cur), dg.ax.ut, h, 347);
		return;
	}
	double r = b.s.item == ACM ? (next ? bin_start(u, *next) : b.E) : bin_next(u, cur);
	int left = b.s.item == ACM ? b.prev : tpix(u, bin_start(u, cur));
	int right = tpix(u, r < b.E ? r : b.E);
	timbar(1, left, right, h, 347);
	b.prev = right;
}

static When from_when() { return {dg.ax.kyy1, dg.ax.km1, dg.ax.kd1, dg.ax.kh1, dg.ax.kn1, 0}; }
static When to_when() { return {dg.ax.kyy2, dg.ax.km2, dg.ax.kd2, dg.ax.kh2, dg.ax.kn2, 0}; }

static void time_bars(const TimeSet &s, double low, double factor)
{
	BarRun b{s, low, factor, 0, 0, 0};
	int u = s.unit;
	b.E = u == 3 ? (fncal(dg.ax.kyy2, dg.ax.km2, dg.ax.kd2) - dg.ax.st0) * 24 + dg.ax.kh2 + 1
		     : fncal(dg.ax.kyy2, dg.ax.km2, dg.ax.kd2 + 1);
	When cur = from_when();
	double kfrom = bin_key(u, cur), kto = bin_key(u, to_when());
	for (int i = 0; i < st.itot; i++) {
		When w = when_of(i);
		double k = bin_key(u, w);
		bool last = i == st.itot - 1;
		if (k < kfrom)
			continue;
		if (k == bin_key(u, cur)) {
			b.count++;
			if (last)
				draw_bin(b, cur, nullptr);
			continue;
		}
		draw_bin(b, cur, &w);
		if (k > kto)
			break; // a bin after To is never drawn
		cur = w;
		b.count = s.item == FRQ ? 1 : b.count + 1;
		if (last)
			draw_bin(b, cur, nullptr);
	}
}

// [SECTION] magnitude plot

// Time offset of an event from the left end of the axis, in the axis unit.
static double offset_of(int unit, const When &w)
{
	double day = fncal(w.y, w.m, w.d) - dg.ax.st0;
	if (unit == 3)
		return day * 24 + w.h + w.n / 60.0 + w.tenths / 36000.0 - dg.ax.rt0;
	return day + w.h / 24.0 + w.n / 1440.0;
}

static void mag_line(const TimeSet &s, const When &w, double m, double low, double factor)
{
	double v = m;
	if (s.yscal == 2) {
		if (m < 0)
			return; // no place on a logarithmic axis
		v = m > 0 ? std::log10(m) : -1;
	}
	if (v < low)
		return;
	double t = offset_of(s.unit, w);
	if (s.tscal != 1 && t + 1 <= 0)
		return;
	int x = (int)(s.tscal == 1 ? t * dg.ax.ut : std::log10(t + 1) * dg.ax.ut);
	int h = m == 0 ? -7 : (int)((v - low) * factor);
	gmoveto(x + 57, 347);
	glineto(x + 57, 347 - h);
}

static void time_mags(const TimeSet &s, double low, double factor)
{
	_setcolor(4);
	long ym1 = dg.ax.kyy1 * 100L + dg.ax.km1, dh1 = dg.ax.kd1 * 100L + dg.ax.kh1;
	long ym2 = dg.ax.kyy2 * 100L + dg.ax.km2, dh2 = dg.ax.kd2 * 100L + dg.ax.kh2;
	for (int i = 0; i < st.itot; i++) {
		When w = when_of(i);
		long ym = w.y * 100L + w.m, dh = w.d * 100L + w.h;
		if (ym > ym2 || (ym == ym2 && dh > dh2))
			break;
		if (ym < ym1 || (ym == ym1 && dh < dh1))
			continue;
		double m = rec_mag(event(i));
		mag_line(s, w, m < -1000 ? 0 : m, low, factor);
	}
}

// [SECTION] the command

static void time_titles(int item)
{
	static constexpr const char *title[3] = {"Frequency", "Accumulated Frequency", "Magnitude"};
	static constexpr const char *tag[3] = {"(FRQ)", "(ACM FRQ)", "(MAG)"};
	vprint(item == ACM ? 1 : 4, title[item]);
	gprint(63, 1, "Time", 4);
	gprint(68, 1, tag[item], 4);
}

static void draw_time(const TimeSet &s)
{
	int base;
	double factor, low;
	time_titles(s.item);
	legend3();
	_setcolor(7);
	vaxis(s.yscal, s.y1, s.y2, &base, &factor, &low);
	if (s.item == MAG)
		gfprint(0, 348, "unknown", 5);
	taxis(s.tscal, s.unit, fncal(dg.ax.kyy1, dg.ax.km1, dg.ax.kd1), fncal(dg.ax.kyy2, dg.ax.km2, dg.ax.kd2), dg.ax);
	if (s.item == MAG)
		time_mags(s, low, factor);
	else
		time_bars(s, low, factor);
}

static void time_defaults()
{
	static constexpr const char *fixed[] = {"LNR", "Y", "FRQ", "LNR", "    0"};
	const char *from[6] = {se.y1_s, se.m1_s, se.d1_s, se.h1_s, se.n1_s, se.s1_s};
	const char *to[6] = {se.y2_s, se.m2_s, se.d2_s, se.h2_s, se.n2_s, se.s2_s};
	std::snprintf(pn.mc_s[0], sizeof pn.mc_s[0], "%s", fixed[0]);
	for (int i = 0; i < 6; i++) {
		std::snprintf(pn.mc_s[1 + i], sizeof pn.mc_s[0], "%s", from[i]);
		std::snprintf(pn.mc_s[7 + i], sizeof pn.mc_s[0], "%s", to[i]);
	}
	for (int i = 1; i < 5; i++)
		std::snprintf(pn.mc_s[12 + i], sizeof pn.mc_s[0], "%s", fixed[i]);
	int lower, upper, step;
	scale(0, st.itot, &lower, &upper, &step);
	itos(upper, pn.mc_s[17], 5);
	pn.isr = 0;
}

static bool is(const char *slot, const char *word) { return std::strncmp(slot, word, 3) == 0; }

// Reads the form, writing the two corrections back into it.
static TimeSet time_read()
{
	TimeSet s;
	int *k[10] = {&dg.ax.kyy1, &dg.ax.km1, &dg.ax.kd1, &dg.ax.kh1, &dg.ax.kn1,
		      &dg.ax.kyy2, &dg.ax.km2, &dg.ax.kd2, &dg.ax.kh2, &dg.ax.kn2};
	for (int i = 0; i < 5; i++) {
		*k[i] = std::atoi(pn.mc_s[1 + i]);
		*k[5 + i] = std::atoi(pn.mc_s[7 + i]);
	}
	s.tscal = is(pn.mc_s[0], "LOG") ? 2 : 1;
	char u = pn.mc_s[13][0];
	s.unit = u == 'H' ? 3 : u == 'D' ? 2 : u == 'M' ? 1 : 0;
	s.item = is(pn.mc_s[14], "MAG") ? MAG : is(pn.mc_s[14], "ACM") ? ACM : FRQ;
	s.yscal = is(pn.mc_s[15], "LOG") ? 2 : 1;
	s.y1 = std::atoi(pn.mc_s[16]);
	s.y2 = std::atoi(pn.mc_s[17]);
	if (s.item == MAG && s.tscal == 2 && s.unit != 3) {
		s.unit = 2;
		std::snprintf(pn.mc_s[13], sizeof pn.mc_s[13], "D");
	}
	if (s.yscal == 2 && s.y1 < 0) {
		s.y1 = 0;
		itos(0, pn.mc_s[16], 5);
	}
	return s;
}

// Settings that cannot be drawn go back to the form with a message.
static bool time_check(const TimeSet &s)
{
	double t1 = fncal(dg.ax.kyy1, dg.ax.km1, dg.ax.kd1), t2 = fncal(dg.ax.kyy2, dg.ax.km2, dg.ax.kd2);
	double m1 = dg.ax.kh1 * 60 + dg.ax.kn1, m2 = dg.ax.kh2 * 60 + dg.ax.kn2;
	if (s.item != MAG && st.isort >= 1) {
		set_em("Frequency diagram cannot be made for data in special order.");
		pn.isr = 14;
	} else if (t2 < t1 || (t2 == t1 && m2 < m1)) {
		set_em("To must not be before From!");
		pn.isr = 7;
	} else if (!taxis_ok(s.tscal, s.unit, t1, t2, dg.ax)) {
		set_em(s.tscal == 1 ? "The time range leaves the axis no span!"
				    : "A logarithmic time axis needs more than one Tick Unit!");
		pn.isr = s.tscal == 1 ? 7 : 13;
	} else if (!vaxis_ok(s.yscal, s.y1, s.y2)) {
		set_em(s.yscal == 2 ? "Y2 must be above Y1 and above 0!" : "Y2 must be above Y1!");
		pn.isr = 17;
	} else {
		return true;
	}
	return false;
}

// Shows the diagram until the user leaves it: false for quit.
static bool time_show(const TimeSet &s)
{
	clear(0);
	_setbkcolor(0);
	return replay(0, [&] { draw_time(s); }) != K_F3;
}

int time_tarnw()
{
	if (st.itot <= 0)
		return 3;
	time_defaults();
	for (;;) {
		if (panel(PAN_TIME) != 0)
			return 0;
		TimeSet s = time_read();
		if (!time_check(s))
			continue;
		if (!time_show(s))
			return 0;
	}
}

} // namespace tw
