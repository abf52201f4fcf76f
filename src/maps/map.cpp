// The MAP command: its panel and checks, the drawing and the hard copy, the
// symbol assignment panel and the subfunction menu.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "catalog/select.h"
#include "catalog/store.h"
#include "device/graph.h"
#include "device/menubar.h"
#include "device/ps.h"
#include "device/screen.h"
#include "maps/map.h"
#include "shell/panel.h"
#include "shell/setup.h"
#include "shell/templates.h"

namespace tw {

// [SECTION] panel values

// The twelve coordinate strings in panel order (fields 2 to 13).
static char *area(int k)
{
	char *a[12] = {mp.to1_s, mp.tom1_s, mp.tew1_s, mp.to2_s, mp.tom2_s, mp.tew2_s,
		       mp.ta1_s, mp.tam1_s, mp.tns1_s, mp.ta2_s, mp.tam2_s, mp.tns2_s};
	return a[k];
}

// Copy into a text of n characters and its end mark, cut to fit.
static void cut(char *dst, int n, const char *src)
{
	int i = 0;
	for (; i < n && src[i]; i++)
		dst[i] = src[i];
	dst[i] = 0;
}

static void put(char *dst, const char *src) { cut(dst, 8, src); }

// MAP starts from the area of the last SELECT.
static void select_area()
{
	const char *s[12] = {se.so1_s, se.som1_s, se.sew1_s, se.so2_s, se.som2_s, se.sew2_s,
			     se.sa1_s, se.sam1_s, se.sns1_s, se.sa2_s, se.sam2_s, se.sns2_s};
	std::snprintf(mp.est_s, sizeof mp.est_s, "%s", se.dst_s);
	for (int k = 0; k < 12; k++)
		put(area(k), s[k]);
}

static void fill_map_fields()
{
	put(pn.mc_s[0], se.mps_s);
	std::snprintf(pn.md_s, sizeof pn.md_s, "%s", mp.est_s);
	for (int k = 0; k < 12; k++)
		put(pn.mc_s[2 + k], area(k));
	put(pn.mc_s[14], mp.yns_s);
	put(pn.mc_s[15], se.ync_s);
	pn.isr = se.mps_s[0] ? 0 : mp.est_s[0] ? 1 : 2;
}

static void take_map_fields()
{
	strxcpy(se.mps_s, pn.mc_s[0]);
	strxcpy(mp.est_s, pn.md_s);
	for (int k = 0; k < 12; k++)
		put(area(k), pn.mc_s[2 + k]);
	put(mp.yns_s, pn.mc_s[14]);
	cut(se.ync_s, sizeof se.ync_s - 1, pn.mc_s[15]);
}

// [SECTION] checks

static bool fail(int field, const char *msg)
{
	set_em("%s", msg);
	pn.isr = (short)field;
	return false;
}

static double degrees(const char *deg, const char *min, const char *neg)
{
	double v = std::atoi(deg) + std::atoi(min) / 60.0;
	return std::strncmp(neg, "W", 1) == 0 || std::strncmp(neg, "S", 1) == 0 ? -v : v;
}

static bool check_region()
{
	if (!mp.est_s[0])
		return true;
	pn.em_s[0] = 0;
	RegionBox box;
	if (dist(mp.est_s, box)) {
		put_box(box, {mp.to1_s, mp.tew1_s, mp.to2_s, mp.tew2_s, mp.ta1_s, mp.tns1_s, mp.ta2_s, mp.tns2_s},
			{mp.tom1_s, mp.tom2_s, mp.tam1_s, mp.tam2_s});
		return true;
	}
	// A missing "regions" file keeps the loader's message.
	return fail(1, pn.em_s[0] ? pn.em_s : "Invalid region name!");
}

// Beyond the range of the earth the frame arithmetic has no meaning (a
// box of zero height divides by zero, one wider than a full turn is drawn
// inside out). The form checks what is typed; a region's box comes from
// the "regions" file unchecked.
static bool check_box()
{
	if (std::fabs(mf.b1) > 180 || std::fabs(mf.b2) > 180)
		return fail(std::fabs(mf.b1) > 180 ? 2 : 5,
			    "Longitude values should not exceed 180 degrees!");
	if (std::fabs(mf.a1) > 90 || std::fabs(mf.a2) > 90)
		return fail(std::fabs(mf.a1) > 90 ? 8 : 11,
			    "Latitude values should not exceed 90 degrees!");
	if (mf.a1 >= mf.a2)
		return fail(8, "The second latitude should be in the north of the first!");
	return true;
}

static bool check_map_fields()
{
	if (!check_region())
		return false;
	mf.b1 = degrees(mp.to1_s, mp.tom1_s, mp.tew1_s);
	mf.b2 = degrees(mp.to2_s, mp.tom2_s, mp.tew2_s);
	mf.a1 = degrees(mp.ta1_s, mp.tam1_s, mp.tns1_s);
	mf.a2 = degrees(mp.ta2_s, mp.tam2_s, mp.tns2_s);
	if (!check_box())
		return false;
	mf.wrap = mf.b1 >= mf.b2;
	if (mf.wrap)
		mf.b2 += 360;
	// 180 E to 180 W names one meridian twice: a full turn like any pair
	// of equal longitudes, not a frame of no width.
	if (mf.b2 <= mf.b1)
		mf.b2 = mf.b1 + 360;
	return true;
}

// [SECTION] the MAP command

// Steps of the command: where the flow goes next.
enum Step { S_END, S_FILL, S_PANEL, S_DRAW };

static Step form_step()
{
	if (panel(PAN_MAP) != 0)
		return S_END;
	take_map_fields();
	if (!check_map_fields())
		return S_PANEL;
	if (mp.yns_s[0] == 'Y') {
		int r = map1();
		if (r == 6)
			return S_FILL;
		if (r != 0)
			return S_END;
	}
	return S_DRAW;
}

static bool draw_picture()
{
	mf.ynmap = 1;
	if (!dmap(se.mps_s, 0, nullptr))
		return false;
	int n = epicenters();
	gviewport(0, 0, 639, 399);
	int d = std::atoi(se.ync_s);
	legend(se.mps_s, d > 0 ? -d : n);
	return true;
}

// A map file that vanished while a copy was being drawn: finish the copy
// so that drawing goes back to the screen.
static void end_copy()
{
	if (gr.psflag) {
		pshcopy(gr.psflag);
		gr.psflag = 0;
	}
}

static Step draw_step()
{
	symbol_sizes();
	clear(0);
	map_geometry();
	for (;;) {
		if (!draw_picture()) {
			gviewport(0, 0, 639, 399);
			end_copy();
			return S_PANEL;
		}
		switch (fgkey(1, 1)) {
		case K_F1: continue; // the copy is open: draw again into it
		case K_F3: return S_END;
		case K_F6: return S_FILL;
		case K_F8: return map2() == K_F3 ? S_END : S_FILL;
		default: beep(); return S_FILL; // the printer could not be started
		}
	}
}

int map()
{
	if (st.itot == 0)
		return 3;
	select_area();
	put(mp.yns_s, "N");
	for (Step s = S_FILL; s != S_END;) {
		switch (s) {
		case S_FILL: fill_map_fields(); s = S_PANEL; break;
		case S_PANEL: s = form_step(); break;
		case S_DRAW: s = draw_step(); break;
		case S_END: break;
		}
	}
	return 0;
}

// [SECTION] symbol assignment panel

static void fill_map1_fields()
{
	char h[16];
	for (int i = 0; i < 7; i++) {
		bool on = i < se.ndp;
		std::snprintf(pn.mc_s[2 * i], 9, on ? "%d" : "   ", se.cdp[i]);
		std::snprintf(pn.mc_s[2 * i + 1], 9, on ? "%d" : " ", se.icd[i]);
	}
	for (int i = 0; i < 8; i++)
		put(pn.mc_s[14 + i], i < se.nmg ? hcvt(se.cmg[i], h) : "   ");
	put(pn.mc_s[22], hcvt(se.ro, h));
	put(pn.mc_s[23], hcvt(se.ru, h));
	pn.isr = 0;
}

static bool blank(const char *s) { return s[std::strspn(s, " ")] == 0; }

// Classes are read down to the first blank range: those below it do not work.
static void take_map1_fields()
{
	int n = 0;
	while (n < 7 && !blank(pn.mc_s[2 * n])) {
		se.cdp[n] = std::atoi(pn.mc_s[2 * n]);
		se.icd[n] = std::atoi(pn.mc_s[2 * n + 1]);
		n++;
	}
	se.ndp = n;
	for (n = 0; n < 8 && !blank(pn.mc_s[14 + n]); n++)
		se.cmg[n] = std::atof(pn.mc_s[14 + n]);
	se.nmg = n;
	se.ro = std::atof(pn.mc_s[22]);
	se.ru = std::atof(pn.mc_s[23]);
}

int map1()
{
	fill_map1_fields();
	int r = panel(PAN_MAP1);
	if (r != 0)
		return r;
	take_map1_fields();
	return 0;
}

// [SECTION] subfunction menu

static void fill_map2_area()
{
	std::snprintf(pn.md_s, sizeof pn.md_s, "%s", mp.est_s);
	for (int k = 0; k < 12; k++)
		put(pn.mc_s[1 + k], area(k));
}

static int run_subfunction(int n)
{
	switch (n) {
	case 1: return map_find();
	case 2: return map_select();
	case 3: return map_cross_section();
	case 4: return map_space_time();
	case 5: return map_active_faults();
	default: return map_stations();
	}
}

int map2()
{
	char num[9] = "1";
	fill_map2_area();
	for (;;) {
		put(pn.mc_s[13], num);
		put(pn.mc_s[14], "N");
		pn.isr = 13;
		int r = panel(PAN_MAP2);
		if (r == 3)
			return K_F3;
		if (r != 0)
			return K_F6;
		put(num, pn.mc_s[13]);
		int n = std::atoi(num); // 1 to 6: the form has checked it
		mf.ynmap = pn.mc_s[14][0] == 'Y' || n >= 5;
		if (run_subfunction(n) == K_F3)
			return K_F3;
		fill_map2_area();
	}
}

} // namespace tw
