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
#include "catalogue.h"
#include "peer.h"
#include "recording.h"
#include "shell/setup.h"
#include "shell/panel.h"

namespace tw {
namespace {

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
		set(st.drv_s, drv.c_str()), set(st.drvo_s, drvo.c_str());
		apply(f);
		for (int s = 0; s < st.nseg; s++)
			std::memset(st.iseg[s], 0x5a, SEGSIZE);
		Outcome o;
		o.res = select_round();
		o.itot = st.itot;
		o.em = pn.em_s;
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
	// Workers log in the order they finish, not the order of the years.
	EXPECT_TRUE(server.wait_log("event JMA 1932: not found JMA-32.B"));
	for (int y = 1926; y <= 1931; y++)
		EXPECT_TRUE(server.wait_log("event JMA " + std::to_string(y) + ":")) << y;
	std::string log = server.log();
	size_t n = 0;
	for (size_t p = 0; (p = log.find(" event JMA ", p)) != std::string::npos; p++)
		n++;
	EXPECT_EQ(7u, n) << log;
}

} // namespace
} // namespace tw
