// SELECT: the form, its checks, and the retrieval from dataset files.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "catalog/select.h"
#include "catalog/server_client.h"
#include "catalog/store.h"
#include "device/graph.h"
#include "device/screen.h"
#include "shell/panel.h"
#include "shell/setup.h"
#include "shell/templates.h"

namespace tw {

// Form field -> setting. Field 13, the region, is the wide one in md_s.
struct FormVar {
	char *var;
	int cap; // characters the setting holds
};
#define V(x) {x, (int)sizeof x - 1}
static const FormVar formvars[32] = {
	V(st.f2_s), V(se.y1_s), V(se.m1_s), V(se.d1_s), V(se.h1_s), V(se.n1_s),
	V(se.s1_s), V(se.y2_s), V(se.m2_s), V(se.d2_s), V(se.h2_s), V(se.n2_s),
	V(se.s2_s), V(se.dst_s), V(se.so1_s), V(se.som1_s), V(se.sew1_s),
	V(se.so2_s), V(se.som2_s), V(se.sew2_s), V(se.sa1_s), V(se.sam1_s),
	V(se.sns1_s), V(se.sa2_s), V(se.sam2_s), V(se.sns2_s), V(se.dp1_s),
	V(se.dp2_s), V(se.mg1_s), V(se.mg2_s), V(se.ynh_s), V(se.ynm_s),
};
#undef V
constexpr int F_REGION = 13;

static void fill_slots()
{
	for (int i = 0; i < 32; i++) {
		char *slot = i == F_REGION ? pn.md_s : pn.mc_s[i];
		int n = i == F_REGION ? sizeof pn.md_s : sizeof pn.mc_s[i];
		std::snprintf(slot, n, "%s", formvars[i].var);
	}
}

static void take_slots()
{
	for (int i = 0; i < 32; i++) {
		const FormVar &f = formvars[i];
		if (i == F_REGION)
			strxcpy(f.var, f.cap + 1, pn.md_s);
		else
			std::snprintf(f.var, f.cap + 1, "%s", pn.mc_s[i]);
	}
}

// Back to the form: the message and the field the cursor goes to.
static int refuse(const char *msg, int field)
{
	set_em("%s", msg);
	pn.isr = (short)field;
	return -1;
}

static int check_dates()
{
	if (char *b = std::strchr(st.f2_s, ' '))
		*b = 0;
	st.iyy1 = (unsigned)std::atoi(se.y1_s);
	st.iyy2 = (unsigned)std::atoi(se.y2_s);
	// The form has refused a From after the To.
	if (std::strstr(st.f2_s, "ISC") && st.iyy1 < 1964)
		return refuse("Invalid date!", 1);
	// Yearly file names have no form for years of four digits after 2000.
	if (st.iyy2 > 2099 && std::strcmp(st.f2_s, "RIKA") && std::strcmp(st.f2_s, "VELA"))
		return refuse("Invalid date!", 7);
	st.imd1 = std::atoi(se.m1_s) * 256 + std::atoi(se.d1_s);
	st.imd2 = std::atoi(se.m2_s) * 256 + std::atoi(se.d2_s);
	st.ihm1 = std::atoi(se.h1_s) * 256 + std::atoi(se.n1_s);
	st.ihm2 = std::atoi(se.h2_s) * 256 + std::atoi(se.n2_s);
	st.isc1 = (int)(std::atof(se.s1_s) * 10);
	st.isc2 = (int)(std::atof(se.s2_s) * 10);
	return 0;
}

static int check_region()
{
	if (!se.dst_s[0])
		return 0;
	pn.em_s[0] = 0;
	RegionBox box;
	if (dist(se.dst_s, box)) {
		put_box(box, {se.so1_s, se.sew1_s, se.so2_s, se.sew2_s, se.sa1_s, se.sns1_s, se.sa2_s, se.sns2_s},
			{se.som1_s, se.som2_s, se.sam1_s, se.sam2_s});
		return 0;
	}
	if (pn.em_s[0]) // "regions" itself is missing: its message stands
		return -1;
	return refuse("Invalid region name!", F_REGION);
}

template <size_t N> static int redigit(char (&s)[N], int digits)
{
	int v = std::atoi(s);
	std::snprintf(s, N, "%0*d", digits, v);
	return v;
}

// Degrees and minutes rewritten with leading zeros (the form has checked
// their ranges).
static void redigit_box()
{
	redigit(se.so1_s, 3), redigit(se.so2_s, 3);
	redigit(se.sa1_s, 2), redigit(se.sa2_s, 2);
	st.lom1 = (short)redigit(se.som1_s, 2);
	st.lom2 = (short)redigit(se.som2_s, 2);
	st.lam1 = (short)redigit(se.sam1_s, 2);
	st.lam2 = (short)redigit(se.sam2_s, 2);
}

static int key(const char *deg, int min, const char *hemi, char neg)
{
	int k = std::atoi(deg) * 256 + min;
	return hemi[0] == neg ? -k : k;
}

// A negative depth bound would wrap round as unsigned tenths.
static unsigned tenths_km(double km)
{
	double t = km * 10 + 0.01;
	return t < 0 ? 0 : t > 4e9 ? 4000000000u : (unsigned)t;
}

static int tenths_mag(double m) { return (int)(m >= 0 ? m * 10 + 0.01 : m * 10 - 0.01); }

static int build_keys()
{
	st.lo1 = key(se.so1_s, st.lom1, se.sew1_s, 'W');
	st.lo2 = key(se.so2_s, st.lom2, se.sew2_s, 'W');
	st.la1 = (short)key(se.sa1_s, st.lam1, se.sns1_s, 'S');
	st.la2 = (short)key(se.sa2_s, st.lam2, se.sns2_s, 'S');
	if (st.la1 > st.la2)
		return refuse("The second latitude should be in the north of the first!", 0);
	if (st.lo1 >= st.lo2)
		st.lo2 += b360;
	st.hh1 = std::atof(se.dp1_s), st.hh2 = std::atof(se.dp2_s);
	st.ih1 = tenths_km(st.hh1), st.ih2 = tenths_km(st.hh2);
	st.rm1 = std::atof(se.mg1_s), st.rm2 = std::atof(se.mg2_s);
	st.m1 = tenths_mag(st.rm1), st.m2 = tenths_mag(st.rm2);
	st.noh = se.ynh_s[0] == 'N';
	st.nom = se.ynm_s[0] == 'N';
	return 0;
}

static void progress(const char *name, int year)
{
	move(14, 25);
	if (year)
		printw("%-5.5s (%4d) -- %5d", name, year, st.itot);
	else
		printw("%-5.5s        -- %5d", name, st.itot);
	xflush();
}

// A whole catalogue read for an earlier span than the window's end stops
// at the end of its last year.
static int run_whole(const Leg &l)
{
	unsigned y2 = st.iyy2;
	int md = st.imd2, hm = st.ihm2, sc = st.isc2;
	if ((unsigned)l.y2 < y2)
		st.iyy2 = l.y2, st.imd2 = st.ihm2 = st.isc2 = INT_MAX;
	int r = l.name[0] == 'R' ? rvrika() : rvvela(l.parts < 2);
	st.iyy2 = y2, st.imd2 = md, st.ihm2 = hm, st.isc2 = sc;
	progress(l.name, 0);
	return r;
}

static int run_years(const Leg &l)
{
	st.iyy1 = (unsigned)l.y1;
	for (int y = l.y1; y <= l.y2; y++) {
		progress(l.name, y);
		char name[32];
		year_file(name, sizeof name, l.name, y);
		int r = scan_file(name, 256);
		if (r != 1)
			return r;
	}
	return 1;
}

// 1 done, 2 store full, 0 a file is missing (its message is in em_s).
static int run_local()
{
	Leg legs[MAXLEG];
	int n = select_plan(st.f2_s, (int)st.iyy1, (int)st.iyy2, false, legs);
	for (int i = 0; i < n; i++) {
		int r = legs[i].yearly ? run_years(legs[i]) : run_whole(legs[i]);
		if (r != 1)
			return r;
	}
	return 1;
}

static void retrieving()
{
	_normal_font();
	wreverse();
	mvaddstr(14, 5, " Now retrieving ...");
	clrtoeol();
	xflush();
}

int select_round()
{
	if (check_dates() || check_region())
		return -1;
	redigit_box();
	retrieving();
	st.itot = 0;
	st.isort = 0;
	put_marker(0, 0, M_END);
	int r = build_keys();
	if (!r)
		r = st.drv_s[0] == '@' ? select_server(st.drv_s + 1) : run_local();
	standend();
	if (r == -1 || r == 0)
		return -1;
	return st.itot >= st.nmax ? 2 : 0;
}

int select_seis()
{
	pn.isr = 0;
	for (;;) {
		fill_slots();
		if (panel(PAN_SELECT) != 0)
			return 0;
		take_slots();
		int r = select_round();
		if (r >= 0)
			return r;
	}
}

} // namespace tw
