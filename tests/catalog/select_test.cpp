// SELECT: file names and loads, the filter, parts and markers, the form's
// checks, region lookup.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

#include "catalog/select.h"
#include "catalog/store.h"
#include "events.h"
#include "recording.h"
#include "shell/panel.h"
#include "shell/setup.h"

namespace tw {
namespace {

using Ints = std::vector<int>;
using Strs = std::vector<std::string>;

// Form fields set from a list of words, one each; missing words blank.
template <class... F> void set(const std::string &words, F &...fields)
{
	std::istringstream in(words);
	auto one = [&](auto &f) { std::string w; in >> w, std::snprintf(f, sizeof f, "%s", w.c_str()); };
	(one(fields), ...);
}

struct SelectTest : ::testing::Test {
	Recording r;
	TempDir dir;
	void SetUp() override
	{
		use_recording(r), fresh_store(dir.path);
		// A window open in every direction over 1990.
		from("PDE 1990 1990"), lons("000 00 E 000 00 E"), lats("90 00 S 90 00 N");
		set("000.0 999.9 -9.9 +9.9 Y Y", se.dp1_s, se.dp2_s, se.mg1_s, se.mg2_s, se.ynh_s, se.ynm_s);
	}
	// "SOURCE FROM-YEAR TO-YEAR [REGION]"
	void from(const char *w) { set(w, st.f2_s, se.y1_s, se.y2_s, se.dst_s); }
	void lons(const char *w) { set(w, se.so1_s, se.som1_s, se.sew1_s, se.so2_s, se.som2_s, se.sew2_s); }
	void lats(const char *w) { set(w, se.sa1_s, se.sam1_s, se.sns1_s, se.sa2_s, se.sam2_s, se.sns2_s); }
	// The tags of what a selection takes; it ends with an end marker.
	Ints selected()
	{
		EXPECT_EQ(0, select_round()) << pn.em_s;
		EXPECT_EQ(M_END, qeek(4 + 16 * st.itot, st.iseg[0]));
		return tags();
	}
	// Select from one yearly file of 1990 holding evs.
	Ints pick(const std::vector<Ev> &evs) { return dir.write("pde-90.b", evs), selected(); }
	// The form is refused with this message and the cursor on field isr.
	void refused(const std::string &msg, int isr = -1)
	{
		EXPECT_EQ(-1, select_round());
		EXPECT_EQ(msg, pn.em_s);
		EXPECT_TRUE(isr < 0 || isr == pn.isr) << pn.isr;
	}
};

// Parts in file order; the scan ends at the loaded length when a file has
// no marker or a cut record. Whatever marker ended the file, the selection
// ends with an end marker: a continuation left there would send the map's
// area scan into the stale slots after the selection.
TEST_F(SelectTest, FollowsPartsAndEndsWithAnEndMarker)
{
	from("PDE 1995 1996");
	dir.write("pde-95.b", {Ev(1995).id(1), Ev(1995).id(2)}, 0xfffe);
	dir.write("pde-95.b2", {Ev(1995).id(3)}, 0xfffd);
	dir.write("pde-95.b3", {Ev(1995).id(4)}, 0xffff);
	dir.write("pde-96.b", {Ev(1996).id(5), Ev(1996).id(6)}, NOMARK, 3);
	std::memset(st.iseg[workseg()], 0x11, SEGSIZE); // stale bytes must not count
	std::memset(st.iseg[0], 0x11, SEGSIZE);
	EXPECT_EQ((Ints{1, 2, 3, 4, 5}), selected());
	EXPECT_EQ(0, st.isort);

	from("PDE 1990 1990");
	dir.write("pde-90.b", {Ev(1990).id(1), Ev(1990).id(2)}, 0xfffe);
	dir.write("pde-90.b2", {Ev(1990).id(3)}, 0xfffe); // leads back to itself
	EXPECT_EQ((Ints{1, 2, 3}), selected());

	// A whole catalogue of one part that claims a continuation.
	from("RIKA 1900 1990");
	dir.write("rika.b", {Ev(1901).id(7)}, 0xfffe);
	EXPECT_EQ((Ints{7}), selected());

	// A missing part leaves what was read so far properly ended too.
	from("PDE 1990 1990");
	dir.write("pde-90.b", {Ev(1990).id(4)}, 0xfffd);
	refused("File '" + dir.path + "/pde-90.b3' does not exist!");
	EXPECT_EQ(M_END, qeek(4 + 16, st.iseg[0]));
}

TEST_F(SelectTest, TimeWindowComparesElementByElement)
{
	set("03 10 12 30 15.5", se.m1_s, se.d1_s, se.h1_s, se.n1_s, se.s1_s);
	set("03 10 12 31 00.0", se.m2_s, se.d2_s, se.h2_s, se.n2_s, se.s2_s);
	// The tags here are the seconds in tenths.
	EXPECT_EQ((Ints{155, 0}),
		  pick({Ev(1990, 3, 10, 12, 30, 154), Ev(1990, 3, 10, 12, 30, 155), Ev(1990, 3, 10, 12, 31, 0),
			Ev(1990, 3, 10, 12, 31, 1), Ev(1990, 3, 9, 23, 59, 0), Ev(1990, 4, 1, 0, 0, 0)}));
	// Only the years are checked against each other: this window is empty.
	set("12 31 01 01", se.m1_s, se.d1_s, se.m2_s, se.d2_s);
	EXPECT_EQ(Ints{}, pick({Ev(1990, 6, 1).id(1)}));
}

TEST_F(SelectTest, LongitudeBoxesCrossTheDateLineAndBoundSecondsCount)
{
	lons("170 00 E 170 00 W");
	EXPECT_EQ((Ints{1, 2, 3, 4}),
		  pick({Ev(1990).lon(170, 0).id(1), Ev(1990).lon(180, 0).id(2), Ev(1990).lon(175, 0, 0, true).id(3),
			Ev(1990).lon(170, 0, 0, true).id(4), Ev(1990).lon(169, 59).id(5),
			Ev(1990).lon(169, 0, 0, true).id(6), Ev(1990).lon(0, 0).id(7)}));
	EXPECT_EQ(48640, st.lo2);

	lons("000 00 E 000 00 E"); // every longitude
	EXPECT_EQ((Ints{1, 2}), pick({Ev(1990).lon(0, 0).id(1), Ev(1990).lon(179, 0, 0, true).id(2)}));

	lons("130 00 E 135 00 E");
	EXPECT_EQ((Ints{1, 3}), pick({Ev(1990).lon(135, 0, 0).id(1), Ev(1990).lon(135, 0, 12).id(2),
				      Ev(1990).lon(130, 0, 12).id(3)}));
	lons("135 00 W 130 00 W");
	EXPECT_EQ((Ints{2}), pick({Ev(1990).lon(135, 0, 12, true).id(1), Ev(1990).lon(130, 0, 12, true).id(2)}));

	// Latitudes do the same without the wrap.
	lons("000 00 E 000 00 E"), lats("10 00 S 20 00 N");
	EXPECT_EQ((Ints{2, 3}), pick({Ev(1990).lat(10, 0, 5, true).id(1), Ev(1990).lat(0, 0).id(2),
				      Ev(1990).lat(20, 0, 0).id(3), Ev(1990).lat(20, 0, 1).id(4)}));
}

TEST_F(SelectTest, DepthAndMagnitudeRangesAndUndeterminedValues)
{
	set("10.0 20.0 -0.5 +4.0", se.dp1_s, se.dp2_s, se.mg1_s, se.mg2_s);
	auto evs = std::vector<Ev>{Ev(1990).dep(100).mag(40).id(1), Ev(1990).dep(99).id(2), Ev(1990).dep(201).id(3),
				   Ev(1990).dep(150).mag(-5).id(4), Ev(1990).dep(150).mag(-6).id(5),
				   Ev(1990).dep(150).mag(41).id(6), Ev(1990).dep(65535).mag(30).id(7),
				   Ev(1990).dep(150).mag(0).id(8)};
	EXPECT_EQ((Ints{1, 4, 7, 8}), pick(evs));
	set("000.0 999.9 -9.9 +9.9 N N", se.dp1_s, se.dp2_s, se.mg1_s, se.mg2_s, se.ynh_s, se.ynm_s);
	EXPECT_EQ((Ints{1, 2, 3, 4, 5, 6}), pick(evs));
	set("-05.0 010.0", se.dp1_s, se.dp2_s); // a bound above ground
	EXPECT_EQ((Ints{1, 2}), pick(evs));
	EXPECT_EQ(0u, st.ih1);
	// A year kept in the depth word always counts as undetermined depth; a
	// whole catalogue needs no year names.
	from("RIKA 0600 2200");
	dir.write("rika.b", {Ev(1703).id(1)});
	EXPECT_EQ(Ints{}, selected());
	set("Y", se.ynh_s);
	EXPECT_EQ((Ints{1}), selected());
}

TEST_F(SelectTest, FillsTheStoreTo16380AndStops)
{
	std::vector<Ev> full(4095, Ev(1990));
	for (int part = 1; part <= 4; part++)
		dir.write("pde-90.b" + (part > 1 ? std::to_string(part) : ""), full, 0xffff - part);
	dir.write("pde-90.b5", {Ev(1990).id(9)});
	from("PDE 1990 1991"); // 1991 is missing: never asked for
	EXPECT_EQ(2, select_round()) << pn.em_s;
	EXPECT_EQ(16380, st.itot);
	for (int s = 0; s < 4; s++)
		EXPECT_EQ(s < 3 ? M_CONT : M_END, qeek(MARKSLOT, st.iseg[s])) << s;
	EXPECT_STREQ("", pn.em_s);
}

TEST_F(SelectTest, SourcesReadTheirCatalogues)
{
	dir.write("rika.b", {Ev(1850).id(1), Ev(1990).id(9)}, 0xfffe); // one part only
	dir.write("rika.b2", {Ev(1851).id(99)});
	dir.write("vela.b", {Ev(1890).id(2)}, 0xfffd);
	dir.write("vela.b2", {Ev(1925, 12, 31).id(3), Ev(1926).id(98)}, 0xfffe);
	dir.write("jma-26.b", {Ev(1926, 1, 1).id(4), Ev(1926, 8, 1).id(5)});
	dir.write("jma-27.b", {Ev(1927).id(6)});
	from("JPN 1800 1927");
	set("06 15 06 15", se.m1_s, se.d1_s, se.m2_s, se.d2_s);
	// 1926 before June 15 is outside: the From date moved to 1926 stays.
	// VELA's window ends with 1925, past the To date.
	EXPECT_EQ((Ints{1, 2, 3, 5, 6}), selected());
	EXPECT_EQ(1926u, st.iyy1);
	for (const char *progress : {"RIKA         --     1", "VELA         --     3", "JMA   (1927) --     4"})
		EXPECT_NE(r.texts().find(progress), std::string::npos) << progress;
	EXPECT_STREQ("JPN", st.f2_s);

	from("VELA 1800 1990");
	EXPECT_EQ((Ints{2, 3, 98}), selected());

	from("PDE 1900 1920"); // no file before 1926: nothing, and no error
	EXPECT_EQ(Ints{}, selected());

	from("JMA 1900 1928"); // JMA-28.B is missing
	refused("File '" + dir.path + "/jma-28.b' does not exist!");
	EXPECT_EQ(2, st.itot); // what came before stays

	from("ISC 1963 1990");
	refused("Invalid date!", 1);
}

// Refused forms send the cursor to the field; a region's box comes from
// the first name in "regions" inside the typed text.
TEST_F(SelectTest, FormChecksAndRegionNames)
{
	from("PDE 2099 2100");
	refused("Invalid date!", 7);
	from("PDE 1990 1990");
	dir.write("pde-90.b", {Ev(1990).lon(138, 0).lat(34, 0).id(1), Ev(1990).lon(142, 0).id(2)});
	set("0 0 7", se.som1_s, se.sam1_s, se.so1_s);
	lats("10 00 N 5 00 N");
	refused("The second latitude should be in the north of the first!", 0);
	EXPECT_EQ((Strs{se.so1_s, se.sa2_s}), (Strs{"007", "05"}));
	EXPECT_EQ(0, st.itot);

	set("KANTO", se.dst_s); // no "regions" at all
	refused("File '" + dir.path + "/regions' does not exist!");
	dir.text("regions", "WORLD 0 E 0 E 90 S 90 N\nKAN   138 E 141 E 34 N 37 N\nKANTO 139 E 140 E 35 N 36 N\n"
			    "BROKEN 1 E\nTOKAI 136 E 139 E 34 N 36 N\n");
	set("30", se.som1_s);
	EXPECT_EQ((Ints{1}), selected());
	EXPECT_EQ((Strs{se.so1_s, se.som1_s, se.sa2_s}), (Strs{"138", "00", "37"}));
	set("TOKAI", se.dst_s); // behind a line that does not parse
	refused("Invalid region name!", 13);
	RegionBox box; // for the MAP form: the first name inside the typed text
	EXPECT_EQ(1, dist("XWORLDX", box));
	EXPECT_EQ((Strs{box.w[0], box.w[5]}), (Strs{"0", "S"}));

	set("", se.dst_s), std::strcpy(st.drv_s, "@nohost");
	refused("`nohost' cannot be accessed to!");
}

// Names are lower-cased and a directory's own separator is not doubled; a
// load never runs past the segment; a poke stores a byte whatever the value.
TEST_F(SelectTest, ReadsFilesUnderLowerCaseNamesNeverPastTheSegment)
{
	char path[160];
	std::strcpy(st.drvo_s, "/aux/"), data_path(path, sizeof path, "JAPAN.MES");
	EXPECT_STREQ("/aux/japan.mes", path);
	unsigned char *w = st.iseg[workseg()];
	dir.text("big.b", std::string(70000, 'x'));
	w[65535] = 0;
	EXPECT_EQ(65535 - 100, bload(w, 100, "BIG.B"));
	EXPECT_EQ(0, w[65535]);
	EXPECT_EQ(0xff, (poke(0x1ff, 1, w), peek(1, w)));
}

} // namespace
} // namespace tw
