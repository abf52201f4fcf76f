#include "events.h"

#include <cmath>
#include <cstdio>

#include "catalog/store.h"
#include "shell/setup.h"

namespace tw {

// Years 1800-2054 in the year byte, others as year code 255 with the year
// in the depth word.
Ev::Ev(int year, int mon, int day, int hh, int mm, int sec10)
{
	int code = year >= 1900 && year <= 2054 ? year - 1900 : year >= 1800 && year < 1900 ? year - 1645 : 255;
	b[0] = (unsigned char)code, b[1] = mon, b[2] = day, b[3] = hh, b[4] = mm;
	id(sec10).lon(135, 0).lat(35, 0).mag(50).dep(code == 255 ? year : 100);
}

// Degrees, minutes (the top bit for west or south) and seconds.
static void put_deg(unsigned char *p, int d, int m, int s, bool neg)
{
	p[0] = (unsigned char)d, p[1] = (unsigned char)(m | (neg ? 128 : 0)), p[2] = (unsigned char)s;
}

Ev &Ev::lon(int d, int m, int s, bool west) { return put_deg(&b[7], d, m, s, west), *this; }
Ev &Ev::lat(int d, int m, int s, bool south) { return put_deg(&b[10], d, m, s, south), *this; }

// Rounded to the nearest second of arc.
static void put_deg(unsigned char *p, double v)
{
	long t = std::lround(std::fabs(v) * 3600);
	put_deg(p, (int)(t / 3600), (int)(t % 3600 / 60), (int)(t % 60), v < 0);
}

Ev &Ev::at(double lon, double lat) { return put_deg(&b[7], lon), put_deg(&b[10], lat), *this; }

Ev &Ev::dep(int tenths) { return b[13] = tenths & 0xff, b[14] = (tenths >> 8) & 0xff, *this; }
Ev &Ev::mag(int tenths) { return b[15] = (unsigned char)(tenths < 0 ? 128 | -tenths : tenths), *this; }
Ev &Ev::id(int n) { return b[5] = n & 0xff, b[6] = n >> 8, *this; }

void TempDir::write(const std::string &name, const std::vector<Ev> &evs, int marker, int cut) const
{
	std::string s(4, '\0');
	for (const Ev &e : evs)
		s.append((const char *)e.b.data(), 16);
	if (marker != NOMARK)
		s += (char)(marker & 0xff), s += (char)0xff;
	s.resize(s.size() - cut);
	text(name, s);
}

void fresh_store(const std::string &dir, int segs)
{
	store_reset();
	settings_reset();
	select_defaults();
	store_init(segs);
	std::snprintf(st.drv_s, sizeof st.drv_s, "%s", dir.c_str());
	std::snprintf(st.drvo_s, sizeof st.drvo_s, "%s", dir.c_str());
}

std::vector<int> tags()
{
	std::vector<int> t;
	for (int i = 0; i < st.itot; i++)
		t.push_back(qeek(5, event(i)));
	return t;
}

void fill(const std::vector<Ev> &evs, int base)
{
	for (size_t i = 0; i < evs.size(); i++)
		put_event(base, (int)i, evs[i].b.data());
	put_marker(base, (int)evs.size(), M_END);
	if (base == 0)
		st.itot = (int)evs.size();
}

} // namespace tw
