// SELECT: file plans and names, the filter, parts and markers, the form's
// checks, region lookup.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "catalog/select.h"
#include "catalog/store.h"
#include "dataset.h"
#include "maps/map.h"
#include "recording.h"
#include "shell/setup.h"
#include "shell/shell.h"

namespace tw {
namespace {

template <size_t N> void set(char (&s)[N], const char *v) { std::snprintf(s, N, "%s", v); }

using Ints = std::vector<int>;

struct SelectTest : ::testing::Test {
	Recording r;
	TempDir dir;
	void SetUp() override
	{
		use_recording(r);
		fresh_store(dir.path);
		// A window open in every direction over 1990.
		source("PDE"), years("1990", "1990");
		set(se.dst_s, "");
		box("000", "00", "E", "000", "00", "E");
		set(se.sa1_s, "90"), set(se.sam1_s, "00"), set(se.sns1_s, "S");
		set(se.sa2_s, "90"), set(se.sam2_s, "00"), set(se.sns2_s, "N");
		set(se.dp1_s, "000.0"), set(se.dp2_s, "999.9");
		set(se.mg1_s, "-9.9"), set(se.mg2_s, "+9.9");
		set(se.ynh_s, "Y"), set(se.ynm_s, "Y");
	}
	void source(const char *s) { set(st.f2_s, s); }
	void years(const char *a, const char *b) { set(se.y1_s, a), set(se.y2_s, b); }
	void box(const char *d1, const char *m1, const char *h1, const char *d2, const char *m2,
		 const char *h2)
	{
		set(se.so1_s, d1), set(se.som1_s, m1), set(se.sew1_s, h1);
		set(se.so2_s, d2), set(se.som2_s, m2), set(se.sew2_s, h2);
	}
	// Select from one yearly file of 1990 holding evs.
	Ints pick(const std::vector<Ev> &evs)
	{
		dir.write("pde-90.b", evs);
		EXPECT_EQ(0, select_round()) << sh.em_s;
		return tags();
	}
};

std::string yname(int year)
{
	char n[32];
	year_file(n, sizeof n, "JMA", year);
	return n;
}

TEST(SelectPlan, NamesYearlyFilesAndParts)
{
	EXPECT_EQ("JMA-26.B", yname(1926));
	EXPECT_EQ("JMA-99.B", yname(1999));
	EXPECT_EQ("JMA000.B", yname(2000));
	EXPECT_EQ("JMA005.B", yname(2005));
	EXPECT_EQ("JMA012.B", yname(2012));
	EXPECT_EQ("JMA099.B", yname(2099));
	char n[32];
	part_file(n, sizeof n, "JMA-95.B", 2);
	EXPECT_STREQ("JMA-95.B2", n);
	part_file(n, sizeof n, "JMA-95.B", 3);
	EXPECT_STREQ("JMA-95.B3", n);
}

std::string plan(const char *src, int y1, int y2, bool server)
{
	Leg l[MAXLEG];
	int n = select_plan(src, y1, y2, server, l);
	std::string s;
	for (int i = 0; i < n; i++)
		s += std::string(l[i].name) + (l[i].yearly ? " years " : " whole ") +
		     std::to_string(l[i].y1) + "-" + std::to_string(l[i].y2) +
		     (l[i].yearly ? "" : " parts " + std::to_string(l[i].parts)) + ";";
	return s;
}

TEST(SelectPlan, ReadsEachSourceFromItsFiles)
{
	EXPECT_EQ("RIKA whole 1600-1990 parts 1;", plan("RIKA", 1600, 1990, false));
	EXPECT_EQ("VELA whole 1900-1910 parts 2;", plan("VELA", 1900, 1910, false));
	EXPECT_EQ("RIKA whole 1800-1990 parts 1;VELA whole 1800-1925 parts 2;"
		  "JMA years 1926-1990;", plan("JPN", 1800, 1990, false));
	EXPECT_EQ("VELA whole 1900-1920 parts 2;", plan("JPN", 1900, 1920, false));
	EXPECT_EQ("JMA years 1930-1931;", plan("JPN", 1930, 1931, false));
	EXPECT_EQ("PDE years 1926-1927;", plan("PDE", 1900, 1927, false));
	EXPECT_EQ("", plan("PDE", 1900, 1920, false));
	EXPECT_EQ("ISCNE years 1964-1964;", plan("ISCNE", 1964, 1964, false));
	// The server is asked from the From year itself for plain sources.
	EXPECT_EQ("PDE years 1900-1927;", plan("PDE", 1900, 1927, true));
	EXPECT_EQ("RIKA whole 1880-1990 parts 1;VELA whole 1880-1925 parts 2;"
		  "JMA years 1926-1990;", plan("JPN", 1880, 1990, true));
}

TEST_F(SelectTest, FollowsPartsInFileOrderAndStopsAtTheLoadedLength)
{
	years("1995", "1996");
	dir.write("pde-95.b", {Ev(1995).id(1), Ev(1995).id(2)}, 0xfffe);
	dir.write("pde-95.b2", {Ev(1995).id(3)}, 0xfffd);
	dir.write("pde-95.b3", {Ev(1995).id(4)}, 0xffff);
	// No marker and a truncated last record: the scan ends at the data.
	dir.write("pde-96.b", {Ev(1996).id(5), Ev(1996).id(6)}, NOMARK, 3);
	std::memset(st.iseg[workseg()], 0x11, SEGSIZE); // stale bytes must not count
	EXPECT_EQ(0, select_round()) << sh.em_s;
	EXPECT_EQ((Ints{1, 2, 3, 4, 5}), tags());
	EXPECT_EQ(M_END, qeek(4 + 16 * 5, st.iseg[0]));
	EXPECT_EQ(0, st.isort);
	EXPECT_STREQ("PDE", st.f2_s);
	EXPECT_NE(std::string::npos, r.texts().find("PDE   (1996) --     4"));

	// A part that leads back to itself ends the year instead of looping.
	dir.write("pde-95.b2", {Ev(1995).id(3)}, 0xfffe);
	EXPECT_EQ(0, select_round()) << sh.em_s;
	EXPECT_EQ((Ints{1, 2, 3, 5}), tags());
}

// Whatever marker ended the file, the selection ends with an end marker:
// a continuation left there would send the map's area scan into the stale
// slots after the selection.
TEST_F(SelectTest, SelectionEndsWithAnEndMarkerWhateverEndedTheFile)
{
	std::memset(st.iseg[0], 0x11, SEGSIZE);
	dir.write("pde-90.b", {Ev(1990).id(1), Ev(1990).id(2)}, 0xfffe);
	dir.write("pde-90.b2", {Ev(1990).id(3)}, 0xfffe); // leads back to itself
	EXPECT_EQ(0, select_round()) << sh.em_s;
	EXPECT_EQ((Ints{1, 2, 3}), tags());
	EXPECT_EQ(M_END, qeek(4 + 16 * 3, st.iseg[0]));

	// A whole catalogue of one part that claims a continuation.
	source("RIKA"), years("1900", "1990");
	dir.write("rika.b", {Ev(1901).id(7)}, 0xfffe);
	EXPECT_EQ(0, select_round()) << sh.em_s;
	EXPECT_EQ((Ints{7}), tags());
	EXPECT_EQ(M_END, qeek(4 + 16, st.iseg[0]));

	// A missing part leaves what was read so far properly ended too.
	source("PDE"), years("1990", "1990");
	dir.write("pde-90.b", {Ev(1990).id(4)}, 0xfffd);
	std::remove(dir.at("pde-90.b3").c_str());
	EXPECT_EQ(-1, select_round());
	EXPECT_NE(nullptr, std::strstr(sh.em_s, "pde-90.b3")) << sh.em_s;
	EXPECT_EQ(M_END, qeek(4 + 16, st.iseg[0]));
}

TEST_F(SelectTest, TimeWindowComparesElementByElement)
{
	years("1990", "1990");
	set(se.m1_s, "03"), set(se.d1_s, "10"), set(se.h1_s, "12"), set(se.n1_s, "30");
	set(se.s1_s, "15.5");
	set(se.m2_s, "03"), set(se.d2_s, "10"), set(se.h2_s, "12"), set(se.n2_s, "31");
	set(se.s2_s, "00.0");
	// The tags here are the seconds in tenths.
	EXPECT_EQ((Ints{155, 0}),
		  pick({Ev(1990, 3, 10, 12, 30, 154), Ev(1990, 3, 10, 12, 30, 155),
			Ev(1990, 3, 10, 12, 31, 0), Ev(1990, 3, 10, 12, 31, 1),
			Ev(1990, 3, 9, 23, 59, 0), Ev(1990, 4, 1, 0, 0, 0)}));
	// Only the years are checked against each other: this window is empty.
	set(se.m1_s, "12"), set(se.d1_s, "31"), set(se.m2_s, "01"), set(se.d2_s, "01");
	EXPECT_EQ(Ints{}, pick({Ev(1990, 6, 1).id(1)}));
}

TEST_F(SelectTest, LongitudeBoxesCrossTheDateLineAndBoundSecondsCount)
{
	box("170", "00", "E", "170", "00", "W");
	EXPECT_EQ((Ints{1, 2, 3, 4}),
		  pick({Ev(1990).lon(170, 0).id(1), Ev(1990).lon(180, 0).id(2),
			Ev(1990).lon(175, 0, 0, true).id(3), Ev(1990).lon(170, 0, 0, true).id(4),
			Ev(1990).lon(169, 59).id(5), Ev(1990).lon(169, 0, 0, true).id(6),
			Ev(1990).lon(0, 0).id(7)}));
	EXPECT_EQ(48640, st.lo2);

	box("000", "00", "E", "000", "00", "E"); // every longitude
	EXPECT_EQ((Ints{1, 2}), pick({Ev(1990).lon(0, 0).id(1), Ev(1990).lon(179, 0, 0, true).id(2)}));

	box("130", "00", "E", "135", "00", "E");
	EXPECT_EQ((Ints{1, 3}), pick({Ev(1990).lon(135, 0, 0).id(1), Ev(1990).lon(135, 0, 12).id(2),
				      Ev(1990).lon(130, 0, 12).id(3)}));
	box("135", "00", "W", "130", "00", "W");
	EXPECT_EQ((Ints{2}), pick({Ev(1990).lon(135, 0, 12, true).id(1),
				   Ev(1990).lon(130, 0, 12, true).id(2)}));

	// Latitudes do the same without the wrap.
	box("000", "00", "E", "000", "00", "E");
	set(se.sa1_s, "10"), set(se.sns1_s, "S"), set(se.sa2_s, "20"), set(se.sns2_s, "N");
	EXPECT_EQ((Ints{2, 3}), pick({Ev(1990).lat(10, 0, 5, true).id(1), Ev(1990).lat(0, 0).id(2),
				      Ev(1990).lat(20, 0, 0).id(3), Ev(1990).lat(20, 0, 1).id(4)}));
}

TEST_F(SelectTest, DepthAndMagnitudeRangesAndUndeterminedValues)
{
	set(se.dp1_s, "10.0"), set(se.dp2_s, "20.0");
	set(se.mg1_s, "-0.5"), set(se.mg2_s, "+4.0");
	auto evs = std::vector<Ev>{Ev(1990).dep(100).mag(40).id(1), Ev(1990).dep(99).id(2),
				   Ev(1990).dep(201).id(3), Ev(1990).dep(150).mag(-5).id(4),
				   Ev(1990).dep(150).mag(-6).id(5), Ev(1990).dep(150).mag(41).id(6),
				   Ev(1990).dep(65535).mag(30).id(7), Ev(1990).dep(150).mag(0).id(8)};
	EXPECT_EQ((Ints{1, 4, 7, 8}), pick(evs));
	set(se.ynh_s, "N"), set(se.ynm_s, "N");
	set(se.dp1_s, "000.0"), set(se.dp2_s, "999.9");
	set(se.mg1_s, "-9.9"), set(se.mg2_s, "+9.9");
	EXPECT_EQ((Ints{1, 2, 3, 4, 5, 6}), pick(evs));
	set(se.dp1_s, "-05.0"), set(se.dp2_s, "010.0"); // a bound above ground
	EXPECT_EQ((Ints{1, 2}), pick(evs));
	EXPECT_EQ(0u, st.ih1);
	// A year kept in the depth word always counts as undetermined depth.
	years("1703", "1703"), source("RIKA");
	dir.write("rika.b", {Ev(1703).id(1)});
	EXPECT_EQ(0, select_round());
	EXPECT_EQ(0, st.itot);
	set(se.ynh_s, "Y");
	EXPECT_EQ(0, select_round());
	EXPECT_EQ(1, st.itot);
}

TEST_F(SelectTest, FillsTheStoreTo16380AndStops)
{
	std::vector<Ev> full(4095, Ev(1990));
	dir.write("pde-90.b", full, 0xfffe);
	dir.write("pde-90.b2", full, 0xfffd);
	dir.write("pde-90.b3", full, 0xfffc);
	dir.write("pde-90.b4", full, 0xfffb);
	dir.write("pde-90.b5", {Ev(1990).id(9)});
	years("1990", "1991"); // 1991 is missing: never asked for
	EXPECT_EQ(2, select_round()) << sh.em_s;
	EXPECT_EQ(16380, st.itot);
	for (int s = 0; s < 3; s++)
		EXPECT_EQ(M_CONT, qeek(MARKSLOT, st.iseg[s]));
	EXPECT_EQ(M_END, qeek(MARKSLOT, st.iseg[3]));
	EXPECT_STREQ("", sh.em_s);
}

TEST_F(SelectTest, SourcesReadTheirCatalogues)
{
	dir.write("rika.b", {Ev(1850).id(1), Ev(1990).id(9)}, 0xfffe); // one part only
	dir.write("rika.b2", {Ev(1851).id(99)});
	dir.write("vela.b", {Ev(1890).id(2)}, 0xfffd);
	dir.write("vela.b2", {Ev(1925, 12, 31).id(3), Ev(1926).id(98)}, 0xfffe);
	dir.write("jma-26.b", {Ev(1926, 1, 1).id(4), Ev(1926, 8, 1).id(5)});
	dir.write("jma-27.b", {Ev(1927).id(6)});
	source("JPN"), years("1800", "1927");
	set(se.m1_s, "06"), set(se.d1_s, "15");
	EXPECT_EQ(0, select_round()) << sh.em_s;
	// 1926 before June 15 is outside: the From date moved to 1926 stays.
	EXPECT_EQ((Ints{1, 2, 3, 5, 6}), tags());
	EXPECT_EQ(1926u, st.iyy1);
	EXPECT_NE(std::string::npos, r.texts().find("RIKA         --     1"));
	EXPECT_NE(std::string::npos, r.texts().find("VELA         --     3"));
	EXPECT_NE(std::string::npos, r.texts().find("JMA   (1927) --     4"));
	EXPECT_STREQ("JPN", st.f2_s);

	source("VELA"), years("1800", "1990");
	EXPECT_EQ(0, select_round());
	EXPECT_EQ((Ints{2, 3, 98}), tags());

	source("JMA"), years("1900", "1928"); // JMA-28.B is missing
	EXPECT_EQ(-1, select_round());
	EXPECT_EQ("File '" + dir.path + "/jma-28.b' does not exist!", std::string(sh.em_s));
	EXPECT_EQ(2, st.itot); // what came before stays

	source("ISC"), years("1963", "1990");
	EXPECT_EQ(-1, select_round());
	EXPECT_STREQ("Invalid date!", sh.em_s);
	EXPECT_EQ(1, sh.isr);
}

TEST_F(SelectTest, FormChecksSendTheCursorToTheField)
{
	years("1991", "1990");
	EXPECT_EQ(-1, select_round());
	EXPECT_STREQ("Invalid date!", sh.em_s);
	EXPECT_EQ(1, sh.isr);
	years("2099", "2100");
	EXPECT_EQ(-1, select_round());
	EXPECT_EQ(7, sh.isr);
	source("RIKA"), years("0600", "2200"); // a whole catalogue needs no year names
	dir.write("rika.b", {Ev(1703).id(1)});
	EXPECT_EQ(0, select_round()) << sh.em_s;
	EXPECT_EQ(1, st.itot);
	source("PDE");

	years("1990", "1990");
	dir.write("pde-90.b", {Ev(1990).id(1)});
	set(se.som1_s, "60"), set(se.sam1_s, "61"), set(se.sam2_s, "5");
	EXPECT_EQ(-1, select_round());
	EXPECT_STREQ("Minute values should be less than 60!", sh.em_s);
	EXPECT_EQ(21, sh.isr);
	EXPECT_STREQ("05", se.sam2_s);

	set(se.som1_s, "0"), set(se.sam1_s, "0"), set(se.so1_s, "7");
	set(se.sa1_s, "10"), set(se.sns1_s, "N"), set(se.sa2_s, "5");
	EXPECT_EQ(-1, select_round());
	EXPECT_STREQ("The second latitude should be in the north of the first!", sh.em_s);
	EXPECT_EQ(0, sh.isr);
	EXPECT_STREQ("007", se.so1_s);
	EXPECT_EQ(0, st.itot);

	std::strcpy(sh.drv_s, "@nohost");
	set(se.sa2_s, "50");
	EXPECT_EQ(-1, select_round());
	EXPECT_STREQ("`nohost' cannot be accessed to!", sh.em_s);
}

TEST_F(SelectTest, RegionNamesComeFromTheRegionsFile)
{
	set(se.dst_s, "KANTO");
	EXPECT_EQ(-1, select_round()); // no "regions" at all
	EXPECT_EQ("File '" + dir.path + "/regions' does not exist!", std::string(sh.em_s));

	dir.text("regions", "WORLD 0 E 0 E 90 S 90 N\n"
			    "KAN   138 E 141 E 34 N 37 N\n"
			    "KANTO 139 E 140 E 35 N 36 N\n"
			    "BROKEN 1 E\n"
			    "TOKAI 136 E 139 E 34 N 36 N\n");
	set(se.som1_s, "30");
	dir.write("pde-90.b", {Ev(1990).lon(138, 0).lat(34, 0).id(1), Ev(1990).lon(142, 0).id(2)});
	EXPECT_EQ(0, select_round()) << sh.em_s;
	EXPECT_EQ((Ints{1}), tags());
	EXPECT_STREQ("138", se.so1_s);
	EXPECT_STREQ("00", se.som1_s);
	EXPECT_STREQ("37", se.sa2_s);

	set(se.dst_s, "TOKAI"); // behind a line that does not parse
	EXPECT_EQ(-1, select_round());
	EXPECT_STREQ("Invalid region name!", sh.em_s);
	EXPECT_EQ(13, sh.isr);

	EXPECT_EQ(1, dist("XWORLDX", 1));
	EXPECT_STREQ("0", mp.to1_s);
	EXPECT_STREQ("S", mp.tns1_s);
	EXPECT_STREQ("00", mp.tam2_s);
}

// The whole command through its form, as a user drives it.
TEST_F(SelectTest, FormShowsMessagesAndStartsOnTheBadField)
{
	select_defaults(); // PDE 1979, region NWPAC
	dir.text("regions", "NWPAC 120 E 180 E 00 N 60 N\n");
	dir.write("pde-79.b", {Ev(1979, 5).lon(140, 0).id(1), Ev(1979, 6).lon(100, 0).id(2)});
	set(se.y1_s, "1980");
	r.ch('\r');
	for (char c : std::string("1979"))
		r.ch(c); // lands in field 1 only if the cursor started there
	r.ch('\r');
	EXPECT_EQ(0, select_seis());
	EXPECT_EQ((Ints{1}), tags());
	EXPECT_STREQ("1979", se.y1_s);
	EXPECT_STREQ("PDE", st.f2_s);
	EXPECT_STREQ("00.0", se.s1_s); // the 4-cell field returns what it showed
	std::string t = r.texts();
	EXPECT_NE(std::string::npos, t.find(" Memory available for 16380/16380 events."));
	EXPECT_NE(std::string::npos, t.find("Invalid date!"));
	EXPECT_NE(std::string::npos, t.find(" Now retrieving ..."));

	// Quitting leaves the store as it was.
	r.key(KS_F1 + 2);
	EXPECT_EQ(0, select_seis());
	EXPECT_EQ(1, st.itot);
}

} // namespace
} // namespace tw
