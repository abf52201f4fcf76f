#include "catalogue.h"

#include <algorithm>

#include "shell/setup.h"

namespace tw {
namespace {

unsigned seed;

int g(int n)
{
	seed = seed * 1103515245u + 12345u;
	return (int)((seed >> 8) % (unsigned)n);
}

// n events a year from y1 to y2, spread over the globe, the calendar, the
// depths and magnitudes, undetermined values included, in time order.
std::vector<Ev> events(int n, int y1, int y2 = 0)
{
	std::vector<Ev> v;
	for (int y = y1; y <= std::max(y1, y2); y++) {
		for (int i = 0; i < n; i++) {
			Ev e(y, 1 + g(12), 1 + g(28), g(24), g(60), g(600));
			e.lon(g(180), g(60), g(3) ? 0 : g(60), g(2)).lat(g(90), g(60), g(3) ? 0 : g(60), g(2));
			if (e.b[0] != 255)
				e.dep(g(10) ? g(7000) : 65535);
			v.push_back(e.mag(g(8) ? (g(10) ? 1 + g(90) : -(1 + g(20))) : 0));
		}
		std::sort(v.end() - n, v.end(), [](const Ev &a, const Ev &b) {
			return std::memcmp(a.b.data() + 1, b.b.data() + 1, 6) < 0;
		});
	}
	return v;
}

} // namespace

void make_data(const TempDir &d)
{
	seed = 12345;
	d.write("rika.b", events(2, 1600, 1890));
	d.write("vela.b", events(8, 1885, 1910), M_CONT);
	d.write("vela.b2", events(8, 1911, 1963));
	for (int y : {1926, 1927, 1929, 1930, 1931, 1933}) // no 1932
		d.write("jma-" + std::to_string(y - 1900) + ".b", events(900, y));
	// 1928 in three parts: FE FF to B2, FD FF to B3.
	d.write("jma-28.b", events(700, 1928), M_CONT);
	d.write("jma-28.b2", events(600, 1928), 0xfffd);
	d.write("jma-28.b3", events(500, 1928));
	for (int y = 1990; y <= 1992; y++)
		d.write("pde-" + std::to_string(y - 1900) + ".b", events(1500, y));
	// More parts than the server keeps from its walk: the later ones are
	// read again.
	for (int part = 1; part <= 11; part++)
		d.write("pde-93.b" + (part > 1 ? std::to_string(part) : ""), events(150, 1993),
			part < 11 ? 65536 - (part + 1) : 0xffff);
	for (auto [name, y, n] : {std::tuple{"isc-64.b", 1964, 800}, {"isc-65.b", 1965, 800},
				  {"big000.b", 2000, 3000}, {"big001.b", 2001, 3000}})
		d.write(name, events(n, y));
	d.text("regions", "KANTO 100 E 160 E 00 N 60 N\nPACIF 170 E 170 W 40 S 40 N\n");
}

void apply(const Form &f)
{
	set(st.f2_s, f.src), set(se.y1_s, f.y1), set(se.y2_s, f.y2);
	set(se.m1_s, f.m1), set(se.d1_s, f.d1), set(se.m2_s, f.m2), set(se.d2_s, f.d2);
	set(se.so1_s, f.lon1), set(se.sew1_s, f.ew1), set(se.so2_s, f.lon2), set(se.sew2_s, f.ew2);
	set(se.som1_s, "00"), set(se.som2_s, "00"), set(se.sam1_s, "00"), set(se.sam2_s, "00");
	set(se.sa1_s, f.lat1), set(se.sns1_s, f.ns1), set(se.sa2_s, f.lat2), set(se.sns2_s, f.ns2);
	set(se.dp1_s, f.dp1), set(se.dp2_s, f.dp2), set(se.mg1_s, f.mg1), set(se.mg2_s, f.mg2);
	set(se.ynh_s, f.ynh), set(se.ynm_s, f.ynm), set(se.dst_s, f.region);
}

} // namespace tw
