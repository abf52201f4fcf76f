// The MAP command driven through its panels with scripted keys.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

#include "catalog/store.h"
#include "device/graph.h"
#include "device/ps.h"
#include "device/spool.h"
#include "maps/map.h"
#include "mapdata.h"
#include "recording.h"
#include "shell/panel.h"
#include "shell/setup.h"
#include "shell/shell.h"

using namespace tw;

namespace {

struct MapFlow : ::testing::Test {
	Recording r;
	std::string dir, oldpath;
	char cwd[512];

	void SetUp() override
	{
		use_recording(r);
		store_reset();
		int n = alloc_mem();
		st.nmax = (short)((n - n / 2) * SEGREC);
		st.nmax2 = (short)(n / 2 * SEGREC);
		settings_reset();
		select_defaults();
		dpmg_init();
		maps_reset();
		ps_reset();
		char tmpl[] = "/tmp/twflowXXXXXX";
		dir = mkdtemp(tmpl);
		std::snprintf(sh.drvo_s, sizeof sh.drvo_s, "%s", dir.c_str());
		area("120", "00", "E", "150", "00", "E", "20", "00", "N", "50", "00", "N");
		se.dst_s[0] = 0;
		std::snprintf(se.mps_s, sizeof se.mps_s, "T");
		MapFile f;
		f.header('F', 100).line('C', {{35, 135}, {36, 136}}).line('B', {{30, 125}, {31, 126}}).x();
		f.write(dir + "/t.m");
		make_event(evslot(0, 0), 135, 35, 10, 5);
		st.itot = 1;
		put_marker(0, 1, M_END);
		// Hard copies: seis.prn is written here and "lpr" keeps a copy.
		ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
		ASSERT_EQ(chdir(dir.c_str()), 0);
		std::ofstream lpr(dir + "/lpr");
		lpr << "#!/bin/sh\ncp seis.prn printed.ps\n";
		lpr.close();
		std::system(("chmod +x " + dir + "/lpr").c_str());
		oldpath = std::getenv("PATH");
		setenv("PATH", (dir + ":" + oldpath).c_str(), 1);
		std::snprintf(sp.port_s, sizeof sp.port_s, "ps");
	}
	void TearDown() override
	{
		setenv("PATH", oldpath.c_str(), 1);
		(void)!chdir(cwd);
		std::system(("rm -rf " + dir).c_str());
	}
	void area(const char *o1, const char *om1, const char *ew1, const char *o2, const char *om2,
		  const char *ew2, const char *a1, const char *am1, const char *ns1, const char *a2,
		  const char *am2, const char *ns2)
	{
		std::snprintf(se.so1_s, sizeof se.so1_s, "%s", o1);
		std::snprintf(se.som1_s, sizeof se.som1_s, "%s", om1);
		std::snprintf(se.sew1_s, sizeof se.sew1_s, "%s", ew1);
		std::snprintf(se.so2_s, sizeof se.so2_s, "%s", o2);
		std::snprintf(se.som2_s, sizeof se.som2_s, "%s", om2);
		std::snprintf(se.sew2_s, sizeof se.sew2_s, "%s", ew2);
		std::snprintf(se.sa1_s, sizeof se.sa1_s, "%s", a1);
		std::snprintf(se.sam1_s, sizeof se.sam1_s, "%s", am1);
		std::snprintf(se.sns1_s, sizeof se.sns1_s, "%s", ns1);
		std::snprintf(se.sa2_s, sizeof se.sa2_s, "%s", a2);
		std::snprintf(se.sam2_s, sizeof se.sam2_s, "%s", am2);
		std::snprintf(se.sns2_s, sizeof se.sns2_s, "%s", ns2);
	}
	void fkey(int n) { r.key(KS_F1 + n - 1); }
	void enter() { r.ch('\r'); }
	void type(const char *s)
	{
		for (; *s; s++)
			r.ch(*s);
	}
	void tabs(int n)
	{
		while (n--)
			r.ch('\t');
	}
	bool framed() // the map frame was drawn
	{
		char b[64];
		std::snprintf(b, sizeof b, "rect %d %d %d %d", mf.kx0 + 4, mf.ky0 + 45,
			      mf.kx1 - mf.kx0, mf.ky1 - mf.ky0);
		return r.has(b);
	}
	std::string slurp(const std::string &p)
	{
		std::ifstream f(p);
		std::stringstream s;
		s << f.rdbuf();
		return s.str();
	}
};

} // namespace

TEST_F(MapFlow, MinutesCheckedThenAccepted)
{
	st.itot = 0;
	EXPECT_EQ(map(), 3) << "no selection, no map";
	EXPECT_TRUE(r.calls.empty() || r.texts().find("Request : MAP") == std::string::npos);
	st.itot = 1;
	std::snprintf(se.som1_s, sizeof se.som1_s, "60");
	enter();      // refused: the cursor goes to field 3
	type("00");   // corrected
	enter();      // drawn
	fkey(3);
	EXPECT_EQ(map(), 0);
	EXPECT_NE(r.texts().find("Minute values should be less than 60!"), std::string::npos);
	EXPECT_DOUBLE_EQ(mf.b1, 120);
	EXPECT_DOUBLE_EQ(mf.b2, 150);
	EXPECT_EQ(mf.wrap, 0);
	EXPECT_TRUE(framed());
	EXPECT_STREQ(mp.tom1_s, "00");
}

TEST_F(MapFlow, LatitudeOrderAndRange)
{
	area("120", "00", "E", "150", "00", "E", "40", "00", "N", "30", "00", "N");
	enter();
	fkey(3);
	EXPECT_EQ(map(), 0);
	EXPECT_NE(r.texts().find("The second latitude should be in the north of the first!"),
		  std::string::npos);
	EXPECT_FALSE(framed());

	// A box of no height cannot be drawn either.
	r.calls.clear();
	area("120", "00", "E", "150", "00", "E", "30", "00", "N", "30", "00", "N");
	enter();
	fkey(3);
	EXPECT_EQ(map(), 0);
	EXPECT_NE(r.texts().find("The second latitude should be in the north of the first!"),
		  std::string::npos);

	r.calls.clear();
	area("200", "00", "E", "150", "00", "E", "20", "00", "N", "50", "00", "N");
	enter();
	fkey(3);
	EXPECT_EQ(map(), 0);
	EXPECT_NE(r.texts().find("Longitude values should not exceed 180 degrees!"), std::string::npos);
}

// 180 E to 180 W is a full turn from the date line, as equal longitudes
// are: a frame of no width would divide by zero.
TEST_F(MapFlow, DateLineToDateLineIsAFullTurn)
{
	area("180", "00", "E", "180", "00", "W", "20", "00", "N", "50", "00", "N");
	enter();
	fkey(3);
	EXPECT_EQ(map(), 0);
	EXPECT_DOUBLE_EQ(mf.b1, 180);
	EXPECT_DOUBLE_EQ(mf.b2, 540);
	EXPECT_EQ(mf.wrap, 1);
	EXPECT_DOUBLE_EQ(mf.rrx, (mf.kx1 - mf.kx0) / 360.0);
	EXPECT_TRUE(framed());
}

TEST_F(MapFlow, RegionFillsTheBox)
{
	std::ofstream(dir + "/regions") << "KANTO 138 E 141 E 34 N 37 N\nWRAP 170 E 170 W 30 N 60 N\n";
	std::snprintf(se.dst_s, sizeof se.dst_s, "WRAP");
	enter();
	fkey(3);
	EXPECT_EQ(map(), 0);
	EXPECT_DOUBLE_EQ(mf.b1, 170);
	EXPECT_DOUBLE_EQ(mf.b2, 190);
	EXPECT_EQ(mf.wrap, 1);
	EXPECT_TRUE(framed());

	r.calls.clear();
	std::snprintf(se.dst_s, sizeof se.dst_s, "NOWHERE");
	enter();
	fkey(3);
	EXPECT_EQ(map(), 0);
	EXPECT_NE(r.texts().find("Invalid region name!"), std::string::npos);
}

TEST_F(MapFlow, MissingMapFileShowsThePanelAgain)
{
	std::snprintf(se.mps_s, sizeof se.mps_s, "NONE");
	enter();
	fkey(3);
	EXPECT_EQ(map(), 0);
	EXPECT_NE(r.texts().find("none.m' does not exist!"), std::string::npos) << r.texts();
}

TEST_F(MapFlow, SymbolPanelStopsAtABlankRange)
{
	tabs(14);     // field 14: change symbol assignments
	type("y");
	enter();
	tabs(6);      // MAP1 field 6: the DEP3 range
	type("   ");
	enter();
	fkey(3);
	EXPECT_EQ(map(), 0);
	EXPECT_EQ(se.ndp, 3);
	EXPECT_EQ(se.cdp[2], 40);
	EXPECT_EQ(se.icd[2], 6);
	EXPECT_EQ(se.nmg, 8);
	EXPECT_DOUBLE_EQ(se.ro, 1.5);
	EXPECT_TRUE(framed());
	EXPECT_STREQ(mp.yns_s, "Y");
}

TEST_F(MapFlow, SymbolPanelQuitChangesNothing)
{
	tabs(14);
	type("y");
	enter();
	type("999");
	fkey(3);
	EXPECT_EQ(map(), 0);
	EXPECT_EQ(se.ndp, 7);
	EXPECT_EQ(se.cdp[0], 0);
	EXPECT_FALSE(framed());
}

TEST_F(MapFlow, SubfunctionMenuChecksTheNumber)
{
	enter();
	fkey(8);      // the subfunction menu
	type("9");
	enter();
	fkey(6);      // back to the MAP panel
	fkey(3);
	EXPECT_EQ(map(), 0);
	EXPECT_NE(r.texts().find("Invalid subfunction number!"), std::string::npos);
	EXPECT_NE(r.texts().find("MAP SUBFUNCTIONS"), std::string::npos);
}

TEST_F(MapFlow, HardCopyIsPostScript)
{
	enter();
	fkey(1);      // full-size copy: the map is drawn again into it
	fkey(3);      // the copy is finished and handed to lpr
	EXPECT_EQ(map(), 0);
	EXPECT_EQ(gr.psflag, 0);
	std::string ps = slurp(dir + "/printed.ps");
	ASSERT_FALSE(ps.empty());
	EXPECT_NE(ps.find("[6 2 2 2] 0 setdash"), std::string::npos) << "the border line";
	EXPECT_NE(ps.find("(MAP)"), std::string::npos);
	std::string cmd = "gs -q -dSAFER -dBATCH -dNOPAUSE -dNODISPLAY " + dir + "/printed.ps";
	EXPECT_EQ(std::system(cmd.c_str()), 0);
	const char *art = std::getenv("TARNWELL_SOURCE");
	if (art)
		std::system(("mkdir -p " + std::string(art) + "/artifacts && cp " + dir +
			     "/printed.ps " + art + "/artifacts/map_hardcopy.ps").c_str());
}
