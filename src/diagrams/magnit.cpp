// MAGNITUDE: the magnitude-frequency diagram of the selection; also the
// diagrams' state and the legend block MAGNITUDE and TIME share.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "catalog/sort.h"
#include "catalog/store.h"
#include "device/graph.h"
#include "device/menubar.h"
#include "device/screen.h"
#include "diagrams/diagrams.h"
#include "shell/panel.h"
#include "shell/setup.h"
#include "shell/templates.h"

namespace tw {

Diagrams dg;

void diagrams_reset() { dg = Diagrams{}; }

void legend3()
{
	char buf[32];
	pfromto(2, 0, {{se.sa1_s, se.sam1_s, se.sns1_s, se.sa2_s, se.sam2_s, se.sns2_s},
		       {se.so1_s, se.som1_s, se.sew1_s, se.so2_s, se.som2_s, se.sew2_s}});
	gprint(63, 9, "depth", 2);
	std::snprintf(buf, sizeof buf, "%s-%skm", se.dp1_s, se.dp2_s);
	gprint(66, 10, buf, 7);
}

// Settings read from the form.
struct MagSet {
	double from, to, unit; // bin range and width
	bool acm;              // accumulated item
	int kind;              // value axis: 1 linear, 2 logarithmic
	int maximum;           // top of the count axis
};

int nbins(double a, double b, double u)
{
	if (!(u > 0) || !(b > a) || !std::isfinite(a) || !std::isfinite(b))
		return -1;
	double q = (b - a) / u;
	if (q > MAXBIN)
		return -1;
	int nb = (int)q;
	if (a + nb * u < b)
		nb++;
	return nb <= MAXBIN ? nb : -1;
}

// [SECTION] drawing

static void mag_titles(bool acm)
{
	if (acm)
		vprint(1, "Accumulated Frequency");
	else
		vprint(4, "Frequency");
	gprint(63, 1, "Magnitude", 4);
	gprint(74, 1, acm ? "(ACM)" : "(FRQ)", 4);
}

static void mag_ticks(int nb, int w)
{
	int s = nb / 8;
	char buf[16];
	for (int k = 0; k < nb; k++) {
		if (s > 1 && k % s != 0)
			continue;
		int x = (k + 1) * w + 41;
		gmoveto(x, 347);
		glineto(x, 354);
		ggcvt(dg.rng[k], 4, buf);
		size_t n = std::strlen(buf);
		if (n > 0 && buf[n - 1] == '.')
			buf[n - 1] = 0;
		gfprint(x - _gettextextent(buf) / 2, 356, buf, 7);
	}
}

// Fills nn[0 .. nb-1] and returns the events without a magnitude.
static int mag_count(int nb, bool acm)
{
	int q = 0;
	for (int k = 0; k < nb; k++)
		dg.nn[k] = 0;
	for (int n = 1; n <= st.itot; n++) {
		double m = fnarg(n, 4);
		if (m < -9000) {
			q++;
			continue;
		}
		for (int k = 0; k < nb; k++) {
			if (acm ? m >= dg.rng[k] : dg.rng[k] <= m && m < dg.rng[k + 1])
				dg.nn[k]++;
		}
	}
	return q;
}

static int bar_height(int count, int kind, double low, double factor)
{
	double v = kind == 2 ? std::log10((double)count) : count;
	return (int)((v - low) * factor);
}

static void mag_bars(int nb, int w, int q, const MagSet &s, int base, double factor, double low)
{
	_setcolor(3);
	if (q > 0) {
		if (s.acm)
			q += dg.nn[0];
		int h = bar_height(q, s.kind, low, factor);
		gbox(0, 41, base - h, 41 + w, base);
	}
	for (int k = 0; k < nb; k++) {
		if (dg.nn[k] <= 0)
			continue;
		int h = bar_height(dg.nn[k], s.kind, low, factor);
		gbox(1, 41 + (k + 1) * w, base - h, 41 + (k + 2) * w, base);
	}
}

static void draw_magnit(const MagSet &s)
{
	int base;
	double factor, low;
	mag_titles(s.acm);
	legend3();
	_setcolor(7);
	vaxis(s.kind, 0, s.maximum, &base, &factor, &low);
	gfprint(8, 348, "unknown", 5);
	_setcolor(7);
	int nb = nbins(s.from, s.to, s.unit);
	for (int k = 0; k <= nb; k++)
		dg.rng[k] = s.from + k * s.unit;
	int w = 449 / (nb + 1);
	mag_ticks(nb, w);
	int q = mag_count(nb, s.acm);
	mag_bars(nb, w, q, s, base, factor, low);
	_setcolor(7);
	gmoveto(41, 347);
	glineto(490, 347);
}

// [SECTION] the command

static void magnit_defaults()
{
	std::snprintf(pn.mc_s[0], sizeof pn.mc_s[0], "%s", se.mg1_s);
	std::snprintf(pn.mc_s[1], sizeof pn.mc_s[1], "%s", se.mg2_s);
	std::snprintf(pn.mc_s[2], sizeof pn.mc_s[2], "1.00");
	std::snprintf(pn.mc_s[3], sizeof pn.mc_s[3], "ACM");
	std::snprintf(pn.mc_s[4], sizeof pn.mc_s[4], "LOG");
	std::snprintf(pn.mc_s[5], sizeof pn.mc_s[5], "%d", st.itot);
	pn.isr = 0;
}

// Reads the form; on a setting that cannot be drawn leaves a message and
// the field to start on, and returns false.
static bool magnit_read(MagSet &s)
{
	s.from = std::atof(pn.mc_s[0]);
	s.to = std::atof(pn.mc_s[1]);
	s.unit = std::atof(pn.mc_s[2]);
	s.acm = std::strncmp(pn.mc_s[3], "ACM", 3) == 0;
	s.kind = std::strncmp(pn.mc_s[4], "LOG", 3) == 0 ? 2 : 1;
	s.maximum = std::atoi(pn.mc_s[5]);
	if (!(s.unit > 0)) {
		set_em("Tick Unit must be above 0!");
		pn.isr = 2;
	} else if (!(s.to > s.from)) {
		set_em("To must be above From!");
		pn.isr = 1;
	} else if (nbins(s.from, s.to, s.unit) < 0) {
		set_em("Too many bars: (To - From) / Tick Unit must not exceed %d!", MAXBIN);
		pn.isr = 2;
	} else if (!vaxis_ok(s.kind, 0, s.maximum)) {
		set_em("Maximum must be above 0!");
		pn.isr = 5;
	} else {
		return true;
	}
	return false;
}

// Shows the diagram until the user leaves it: false for quit.
static bool magnit_show(const MagSet &s)
{
	clear(0);
	_setbkcolor(0);
	return replay(0, [&] { draw_magnit(s); }) != K_F3;
}

int magnitude()
{
	if (st.itot <= 0)
		return 3;
	magnit_defaults();
	for (;;) {
		if (panel(PAN_MAGNIT) != 0)
			return 0;
		MagSet s;
		if (!magnit_read(s))
			continue;
		if (!magnit_show(s))
			return 0;
	}
}

} // namespace tw
