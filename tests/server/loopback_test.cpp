// SELECT through tarnwell-server on loopback against SELECT from the same
// files on disk: the stores must be identical byte for byte, for every
// source plan, and a year the server lacks ends the selection there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "catalog/select.h"
#include "catalog/server_client.h"
#include "catalog/store.h"
#include "dataset.h"
#include "peer.h"
#include "recording.h"
#include "shell/setup.h"
#include "shell/shell.h"

namespace tw {
namespace {

template <size_t N> void set(char (&s)[N], const char *v) { std::snprintf(s, N, "%s", v); }

struct Rng {
	unsigned s = 12345;
	int operator()(int n)
	{
		s = s * 1103515245u + 12345u;
		return (int)((s >> 8) % (unsigned)n);
	}
};

// Events spread over the globe, the calendar, the depths and magnitudes,
// undetermined values included, in time order.
std::vector<Ev> year_events(int year, int n, Rng &g)
{
	std::vector<Ev> v;
	for (int i = 0; i < n; i++) {
		Ev e(year, 1 + g(12), 1 + g(28), g(24), g(60), g(600));
		e.lon(g(180), g(60), g(3) ? 0 : g(60), g(2)).lat(g(90), g(60), g(3) ? 0 : g(60), g(2));
		if (e.b[0] != 255)
			e.dep(g(10) ? g(7000) : 65535);
		e.mag(g(8) ? (g(10) ? 1 + g(90) : -(1 + g(20))) : 0);
		v.push_back(e);
	}
	std::sort(v.begin(), v.end(), [](const Ev &a, const Ev &b) {
		return std::memcmp(a.b.data() + 1, b.b.data() + 1, 6) < 0;
	});
	return v;
}

std::vector<Ev> years(int y1, int y2, int per, Rng &g)
{
	std::vector<Ev> v;
	for (int y = y1; y <= y2; y++)
		for (const Ev &e : year_events(y, per, g))
			v.push_back(e);
	return v;
}

// The data both sides read: historical catalogues, yearly files with
// continuation parts, a gap in JMA's years, and a source big enough to
// fill a small store.
void make_data(const TempDir &d)
{
	Rng g;
	d.write("rika.b", years(1600, 1890, 2, g));
	d.write("vela.b", years(1885, 1910, 8, g), M_CONT);
	d.write("vela.b2", years(1911, 1963, 8, g));
	for (int y = 1926; y <= 1933; y++) {
		char n[16];
		std::snprintf(n, sizeof n, "jma-%02d.b", y - 1900);
		if (y == 1928) { // three parts: FE FF to B2, FD FF to B3
			d.write("jma-28.b", year_events(y, 700, g), M_CONT);
			d.write("jma-28.b2", year_events(y, 600, g), 0xfffd);
			d.write("jma-28.b3", year_events(y, 500, g));
		} else if (y != 1932)
			d.write(n, year_events(y, 900, g));
	}
	for (int y = 1990; y <= 1992; y++)
		d.write("pde-" + std::to_string(y - 1900) + ".b", year_events(y, 1500, g));
	// More parts than the server keeps from its walk: the later ones are
	// read again.
	for (int part = 1; part <= 11; part++)
		d.write(part == 1 ? "pde-93.b" : "pde-93.b" + std::to_string(part),
			year_events(1993, 150, g), part < 11 ? 65536 - (part + 1) : 0xffff);
	d.write("isc-64.b", year_events(1964, 800, g));
	d.write("isc-65.b", year_events(1965, 800, g));
	d.write("big000.b", year_events(2000, 3000, g));
	d.write("big001.b", year_events(2001, 3000, g));
	d.text("regions", "KANTO 100 E 160 E 00 N 60 N\nPACIF 170 E 170 W 40 S 40 N\n");
}

struct Form {
	const char *src, *y1, *y2;
	const char *lon1 = "000", *lon2 = "000", *ew1 = "E", *ew2 = "E";
	const char *lat1 = "90", *lat2 = "90", *ns1 = "S", *ns2 = "N";
	const char *dp1 = "000.0", *dp2 = "999.9", *mg1 = "-9.9", *mg2 = "+9.9";
	const char *ynh = "Y", *ynm = "Y", *region = "";
	const char *m1 = "01", *d1 = "01", *m2 = "12", *d2 = "31";
	int segs = 8;
};

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

struct Outcome {
	int res;
	int itot;
	std::string em;
	std::string primary; // every byte of the primary half
};

struct Loopback : ::testing::Test {
	Recording r;
	TempDir dir;
	ServerProc server;
	void SetUp() override
	{
		make_data(dir);
		ASSERT_TRUE(server.start(dir.path, dir.path));
	}
	// One SELECT with the directories given; untouched bytes carry a
	// pattern, so that they compare too.
	Outcome run(const Form &f, const std::string &drv, const std::string &drvo)
	{
		use_recording(r);
		fresh_store(dir.path, f.segs);
		server_client_reset();
		set(sh.drv_s, drv.c_str()), set(sh.drvo_s, drvo.c_str());
		apply(f);
		for (int s = 0; s < st.nseg; s++)
			std::memset(st.iseg[s], 0x5a, SEGSIZE);
		Outcome o;
		o.res = select_round();
		o.itot = st.itot;
		o.em = sh.em_s;
		for (int s = 0; s < st.nseg - st.nseg / 2; s++)
			o.primary.append((const char *)st.iseg[s], SEGSIZE);
		return o;
	}
	// Local and server selections of one form: the same in every byte.
	Outcome same(const Form &f)
	{
		Outcome a = run(f, dir.path, dir.path);
		Outcome b = run(f, server.at(), server.at());
		EXPECT_EQ(a.res, b.res) << f.src << " " << b.em;
		EXPECT_EQ(a.itot, b.itot) << f.src;
		EXPECT_TRUE(a.primary == b.primary) << f.src << " " << f.y1 << "-" << f.y2;
		return b;
	}
};

int count_if_year(int year, int monday_after)
{
	int n = 0;
	for (int i = 0; i < st.itot; i++)
		if (fnyear(0, event(i)) == year && event(i)[1] * 256 + event(i)[2] > monday_after)
			n++;
	return n;
}

TEST_F(Loopback, EverySourcePlanGivesTheSameStore)
{
	Form rika{"RIKA", "1600", "1900"};
	EXPECT_GT(same(rika).itot, 300);
	Form vela{"VELA", "1885", "1963"};
	vela.lon1 = "120", vela.lon2 = "150", vela.lat1 = "20", vela.lat2 = "50", vela.ns1 = "N";
	EXPECT_GT(same(vela).itot, 0);
	// RIKA, VELA to the end of 1925, then JMA from 1926 with its parts.
	Form jpn{"JPN", "1880", "1928"};
	jpn.m1 = "03", jpn.m2 = "06", jpn.d2 = "15";
	Outcome o = same(jpn);
	EXPECT_GT(o.itot, 1000);
	EXPECT_GT(count_if_year(1925, 6 * 256 + 15), 0) << "VELA's 1925 after the To date";
	EXPECT_EQ(1880u, st.iyy1) << "the window's years come back after the plan";
	EXPECT_EQ(1928u, st.iyy2);
	Form early{"JPN", "1900", "1920"};
	EXPECT_GT(same(early).itot, 0);
	Form late{"JPN", "1927", "1929"};
	EXPECT_EQ(900 + 1800 + 900, same(late).itot);
	Form jma{"JMA", "1926", "1931"};
	jma.dp1 = "010.0", jma.dp2 = "300.0", jma.ynh = "N", jma.mg1 = "+3.0", jma.ynm = "N";
	EXPECT_GT(same(jma).itot, 0);
	Form pde{"PDE", "1990", "1993"}; // 1993 in eleven parts
	pde.lon1 = "170", pde.lon2 = "170", pde.ew2 = "W", pde.lat1 = "40", pde.lat2 = "40";
	EXPECT_GT(same(pde).itot, 0);
	Form isc{"ISC", "1964", "1965"};
	isc.mg1 = "-1.0", isc.mg2 = "+2.0", isc.ynm = "N";
	EXPECT_GT(same(isc).itot, 0);
	Form region{"JMA", "1926", "1927"};
	region.region = "KANTO";
	EXPECT_GT(same(region).itot, 0);
	EXPECT_STREQ("100", se.so1_s) << "the region came from the server";
}

TEST_F(Loopback, FullStoreEndsBothAlike)
{
	Form big{"BIG", "2000", "2001"};
	big.segs = 2;
	Outcome o = same(big);
	EXPECT_EQ(2, o.res);
	EXPECT_EQ(4095, o.itot);
}

TEST_F(Loopback, MissingYearEndsTheSelectionThere)
{
	Form jma{"JMA", "1926", "1933"};
	Outcome b = run(jma, server.at(), dir.path);
	EXPECT_EQ(-1, b.res);
	EXPECT_EQ("File `JMA-32.B' does not exist on `127.0.0.1:" + std::to_string(server.port) + "'!",
		  b.em);
	jma.y2 = "1931";
	Outcome a = run(jma, dir.path, dir.path);
	EXPECT_EQ(a.itot, b.itot);
	EXPECT_TRUE(a.primary == b.primary) << "the years before the gap stay selected";
	// One connection per request: six years answered, the seventh refused.
	EXPECT_TRUE(server.wait_log("event JMA 1932: not found JMA-32.B"));
	std::string log = server.log();
	size_t n = 0;
	for (size_t p = 0; (p = log.find(" event JMA ", p)) != std::string::npos; p++)
		n++;
	EXPECT_EQ(7u, n) << log;
}

} // namespace
} // namespace tw
