// ACTIVE-FAULTS and STATIONS: auxiliary datasets drawn over the map.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "catalog/store.h"
#include "device/graph.h"
#include "device/menubar.h"
#include "device/ps.h"
#include "device/screen.h"
#include "maps/map.h"
#include "maps/mapsub.h"
#include "shell/panel.h"
#include "shell/setup.h"
#include "shell/templates.h"

namespace tw {

static void put(int field, const char *s)
{
	std::strncpy(pn.mc_s[field], s, 8);
	pn.mc_s[field][8] = 0;
}

static bool blank(const char *s) { return s[std::strspn(s, " ")] == 0; }

static void map_legend(int n)
{
	gviewport(0, 0, 639, 399);
	int d = std::atoi(se.ync_s);
	legend(se.mps_s, d > 0 ? -d : n);
}

// [SECTION] ACTIVE-FAULTS

static void faults_picture()
{
	mp.failed = !dmap(mp.ovname, 1, mp.fcol);
	gviewport(0, 0, 639, 399);
	if (mp.failed)
		return;
	dmap(se.mps_s, 0, nullptr);
	map_legend(epicenters());
}

// The faults of Japan are offered for a map inside Japan.
static bool within_japan()
{
	return 123 < mf.b1 && mf.b2 < 150 && 23 < mf.a1 && mf.a2 < 50;
}

// Shows an overlay's form until its dataset name is filled in: 0 then, or
// the key that leaves (F3 or F6).
static int ask_dataset(int pan)
{
	for (;;) {
		pn.isr = 0;
		int r = panel(pan);
		if (r == 3)
			return K_F3;
		if (r != 0)
			return K_F6;
		if (!blank(pn.mc_s[0]))
			return 0;
		set_em("Invalid dataset name!");
	}
}

int map_active_faults()
{
	put(0, within_japan() ? "JAPAN   " : "        ");
	put(1, "5"), put(2, "2"), put(3, "3"), put(4, "3");
	for (;;) {
		if (int k = ask_dataset(PAN_MAPS5))
			return k;
		strxcpy(mp.ovname, pn.mc_s[0]);
		for (int i = 0; i < 4; i++)
			mp.fcol[i] = std::atoi(pn.mc_s[1 + i]);
		clear(0);
		faults_picture();
		if (mp.failed)
			continue; // the loader's message is on the panel
		for (;;) {
			int k = fgkey(0, 1);
			if (k != K_F1)
				return k;
			faults_picture();
		}
	}
}

// [SECTION] STATIONS

static long load_stations()
{
	return rbload(st.iseg[workseg()], 0, mp.ovname);
}

static void station(const unsigned char *r)
{
	double lon = bin2deg(10, r), la = bin2deg(13, r);
	if (mf.wrap == 1 && lon < mf.b2 - 360)
		lon += 360;
	if (!(mf.b1 < lon && lon < mf.b2 && mf.a1 < la && la < mf.a2))
		return;
	int x = (int)((lon - mf.b1) * mf.rrx), y = (int)((mf.c2 - lat(la)) * mf.rry);
	gsymbol(x, y, 3, 7);
	if (mp.codes) {
		char code[5];
		std::memcpy(code, r + 6, 4);
		code[r[9] == ' ' ? 3 : 4] = 0;
		gfprint(x + 4, y, code, 4);
	}
}

// The list ends at a longitude above 254 degrees or at the loaded bytes.
static void stations_picture()
{
	dmap(se.mps_s, 0, nullptr);
	int n = epicenters();
	long len = load_stations();
	const unsigned char *w = st.iseg[workseg()];
	pspen(5, 0);
	_setcolor(4);
	gsmall_font();
	for (long off = 0; off + 16 <= len; off += 16) {
		double lon = bin2deg(off + 10, w);
		if (lon > 254 || lon < -254)
			break;
		_setcolor(4);
		station(w + off);
	}
	// The legend is drawn in the small font the stations left in force.
	pspen(2, 0);
	map_legend(n);
}

int map_stations()
{
	put(0, st.f2_s);
	put(1, "N");
	for (;;) {
		if (int k = ask_dataset(PAN_MAPS6))
			return k;
		char name[9];
		strxcpy(name, pn.mc_s[0]);
		std::snprintf(mp.ovname, sizeof mp.ovname, "%s.s", name);
		strlwr(mp.ovname);
		mp.codes = pn.mc_s[1][0] == 'Y';
		if (!load_stations())
			continue;
		clear(0);
		return replay(0, stations_picture);
	}
}

} // namespace tw
