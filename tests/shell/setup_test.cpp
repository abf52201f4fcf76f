#include <gtest/gtest.h>

#include <sys/stat.h>

#include "shell/templates.h"
#include "shell_support.h"

using namespace tw;
using namespace tw::test;

TEST(Setup, TextHelpers)
{
	char b[16];
	strxcpy(b, "abc   ");
	EXPECT_STREQ(b, "abc");
	strxcpy(b, "      ");
	EXPECT_STREQ(b, "");
	strxcpy(b, "a b\t\r\n");
	EXPECT_STREQ(b, "a b");
	strxcpy(b, "0123456789abcdefXYZ"); // cut to the destination
	EXPECT_STREQ(b, "0123456789abcde");

	EXPECT_STREQ(hcvt(1.25, b), "1.25");
	EXPECT_STREQ(hcvt(1.5, b), "1.5");
	EXPECT_STREQ(hcvt(7, b), "7");
	EXPECT_STREQ(hcvt(0, b), "0");
	EXPECT_STREQ(hcvt(600, b), "600");
	EXPECT_STREQ(hcvt(-0.125, b), "-0.125");
	EXPECT_STREQ(hcvt(1234567, b), "1.23457e+06");
	EXPECT_STREQ(ggcvt(2.5, 9, b), "2.5");
	EXPECT_STREQ(ggcvt(-1.5e300, 6, b), "-1.5e+300");

	char p[8] = "data";
	add_separator(p);
	EXPECT_STREQ(p, "data/");
	add_separator(p);
	EXPECT_STREQ(p, "data/");
	for (const char *kept : {"", "c:", "a\\", "abcdef/"}) {
		std::strcpy(p, kept);
		add_separator(p);
		EXPECT_STREQ(p, kept);
	}
	std::strcpy(p, "abcdefg"); // full: no room for the separator
	add_separator(p);
	EXPECT_STREQ(p, "abcdefg");
}

TEST(Setup, LineReadingAndWriting)
{
	TempDir d;
	std::string path = d.file("lines");
	FILE *f = std::fopen(path.c_str(), "w");
	EXPECT_GE(ffputs("first", f), 0);
	ffputs("", f);
	std::fputs("0123456789\nlast without newline", f);
	std::fclose(f);
	EXPECT_EQ(slurp(path), "first\n\n0123456789\nlast without newline");

	f = std::fopen(path.c_str(), "r");
	char b[8];
	EXPECT_EQ(ffgets(b, 7, f), 1);
	EXPECT_STREQ(b, "first");
	EXPECT_EQ(ffgets(b, 7, f), 1);
	EXPECT_STREQ(b, "");
	EXPECT_EQ(ffgets(b, 7, f), 1); // a long line comes in pieces
	EXPECT_STREQ(b, "0123456");
	EXPECT_EQ(ffgets(b, 7, f), 1);
	EXPECT_STREQ(b, "789");
	EXPECT_EQ(ffgets(b, 7, f), 1);
	EXPECT_STREQ(b, "last wi");
	EXPECT_EQ(ffgets(b, 7, f), 1);
	EXPECT_EQ(ffgets(b, 7, f), 1);
	EXPECT_STREQ(b, "ewline"); // the unterminated last line is not lost
	EXPECT_EQ(ffgets(b, 7, f), 0);
	EXPECT_STREQ(b, "");
	std::fclose(f);
}

TEST(Setup, PathOfTheSetupFile)
{
	char b[128];
	{
		SetEnv h("HOME", "/home/qx");
		EXPECT_TRUE(mksetup(b, sizeof b));
		EXPECT_STREQ(b, "/home/qx/_seis");
	}
	{
		SetEnv h("HOME", "/home/qx/");
		mksetup(b, sizeof b);
		EXPECT_STREQ(b, "/home/qx/_seis");
	}
	{
		SetEnv h("HOME", nullptr);
		mksetup(b, sizeof b);
		EXPECT_STREQ(b, "_seis");
	}
	std::string longhome(200, 'h');
	SetEnv h("HOME", longhome.c_str());
	EXPECT_FALSE(mksetup(b, sizeof b)); // refused rather than cut to a wrong path
}

namespace {

// Every setting set to a value unlike its default.
void odd_settings()
{
	sh.drv_s[0] = 0;
	std::strcpy(sh.drvo_s, "/aux/files");
	std::strcpy(sp.prn_s, "LP  ");
	std::strcpy(sp.port_s, "lp0");
	std::strcpy(st.f2_s, "JMA  ");
	const char *v[] = {"2001", "02", "03", "04", "05", "06.50", "2002", "07", "08", "09",
			   "10", "11.25", "JAPAN", "130", "15", "W", "140", "45", "E", "30",
			   "20", "S", "40", "10", "N", "010.5", "700.0", "+2.5", "+8.0", "N", "N",
			   "KANTO"};
	char *s[] = {se.y1_s, se.m1_s, se.d1_s, se.h1_s, se.n1_s, se.s1_s, se.y2_s, se.m2_s,
		     se.d2_s, se.h2_s, se.n2_s, se.s2_s, se.dst_s, se.so1_s, se.som1_s, se.sew1_s,
		     se.so2_s, se.som2_s, se.sew2_s, se.sa1_s, se.sam1_s, se.sns1_s, se.sa2_s,
		     se.sam2_s, se.sns2_s, se.dp1_s, se.dp2_s, se.mg1_s, se.mg2_s, se.ynh_s,
		     se.ynm_s, se.mps_s};
	for (size_t i = 0; i < std::size(s); i++)
		std::strcpy(s[i], v[i]);
	se.ndp = 3, se.nmg = 2, se.ro = 2.5, se.ru = 1.5;
	se.cdp[0] = 0, se.cdp[1] = 35, se.cdp[2] = 300;
	se.icd[0] = 7, se.icd[1] = 1, se.icd[2] = 4;
	se.cmg[0] = 2.5, se.cmg[1] = 6.25;
	std::strcpy(se.ync_s, "150");
}

} // namespace

TEST(Setup, RoundTripOfEverySetting)
{
	Recording r;
	start(r);
	TempDir d;
	SetEnv h("HOME", d.path.c_str());
	odd_settings();
	dump_setup();
	std::string written = slurp(d.file("_seis"));
	auto lines = read_lines(d.file("_seis"));
	ASSERT_EQ(lines.size(), 42u);
	EXPECT_EQ(lines[0], " "); // an empty data directory is one blank
	EXPECT_EQ(lines[1], "LP  ");
	EXPECT_EQ(lines[35], "KANTO");
	EXPECT_EQ(lines[36], "3 2 2.500000 1.500000");
	EXPECT_EQ(lines[37], "0 35 300 ");
	EXPECT_EQ(lines[38], "7 1 4 ");
	EXPECT_EQ(lines[39], "2.500000 6.250000 ");
	EXPECT_EQ(lines[41], "/aux/files");
	EXPECT_EQ(std::filesystem::directory_iterator(d.path)->path().filename(), "_seis");

	start(r); // everything empty
	std::strcpy(sh.drvo_s, "/from/SEIS");
	r.calls.clear();
	load_setup();
	EXPECT_TRUE(r.calls.empty()); // nothing was shown
	EXPECT_STREQ(sh.drv_s, "");
	EXPECT_STREQ(sh.drvo_s, "/aux/files");
	EXPECT_STREQ(sp.port_s, "lp0");
	EXPECT_STREQ(st.f2_s, "JMA  ");
	EXPECT_STREQ(se.s2_s, "11.25");
	EXPECT_STREQ(se.sns1_s, "S");
	EXPECT_EQ(se.ndp, 3);
	EXPECT_EQ(se.cdp[2], 300);
	EXPECT_EQ(se.icd[1], 1);
	EXPECT_EQ(se.cmg[1], 6.25);
	EXPECT_EQ(se.ru, 1.5);
	EXPECT_STREQ(se.ync_s, "150");
	// Every other setting too: written again, the file is the same.
	dump_setup();
	EXPECT_EQ(slurp(d.file("_seis")), written);
}

TEST(Setup, FileWithoutSymbolClasses)
{
	Recording r;
	start(r);
	TempDir d;
	SetEnv h("HOME", (d.path + "/").c_str());
	odd_settings();
	std::strcpy(sh.drv_s, "/data");
	dump_setup();
	auto lines = read_lines(d.file("_seis"));
	lines.resize(36);
	std::string text;
	for (auto &l : lines)
		text += l + "\n";
	write_file(d.file("_seis"), text);

	start(r);
	std::strcpy(sh.drvo_s, "/from/SEIS");
	load_setup();
	EXPECT_STREQ(sh.drv_s, "/data");
	EXPECT_STREQ(se.mps_s, "KANTO");
	EXPECT_STREQ(sh.drvo_s, "/from/SEIS");
	EXPECT_EQ(se.ndp, 7);
	EXPECT_EQ(se.nmg, 8);
	EXPECT_EQ(se.cdp[6], 600);
	EXPECT_EQ(se.icd[0], 4);
	EXPECT_EQ(se.cmg[7], 7.0);
	EXPECT_EQ(se.ro, 1.5);
	EXPECT_EQ(se.ru, 1.25);
	EXPECT_STREQ(se.ync_s, "000");
}

TEST(Setup, HandEditedFilesAreCutAndClamped)
{
	Recording r;
	start(r);
	TempDir d;
	SetEnv h("HOME", d.path.c_str());
	std::string longline(300, 'x');
	std::string text = "/data dir with blanks\nPRINTER\n" + longline + "\r\nISCNE-EXTRA\n";
	for (int i = 5; i <= 36; i++)
		text += i == 17 ? "VERYLONGREGIONNAME\n" : "12345678\n";
	text += "9 12 nan 2\n";    // counts above the maxima, a number that is none
	text += "10 20\n";         // fewer numbers than announced
	text += "1 2 3 4 5 6 7 8 9\n";
	text += "0.5 abc\n";
	text += "12345\n";
	text += "/aux dir\n";
	write_file(d.file("_seis"), text);
	load_setup();
	EXPECT_STREQ(sh.drv_s, "/data");
	EXPECT_STREQ(sp.prn_s, "PRIN");
	EXPECT_EQ(std::string(sp.port_s), std::string(64, 'x'));
	EXPECT_STREQ(st.f2_s, "ISCNE"); // the long line did not shift the lines after it
	EXPECT_STREQ(se.y1_s, "1234");
	EXPECT_STREQ(se.s1_s, "12345");
	EXPECT_STREQ(se.dst_s, "VERYLONGRE");
	EXPECT_STREQ(se.sew1_s, "1");
	EXPECT_STREQ(se.mps_s, "12345678");
	EXPECT_EQ(se.ndp, 7);
	EXPECT_EQ(se.nmg, 8);
	EXPECT_EQ(se.ro, 1.5); // not a number: the default
	EXPECT_EQ(se.ru, 2.0);
	EXPECT_EQ(se.cdp[1], 20);
	EXPECT_EQ(se.cdp[2], 0); // missing numbers are 0
	EXPECT_EQ(se.icd[6], 7);
	EXPECT_EQ(se.cmg[0], 0.5);
	EXPECT_EQ(se.cmg[1], 0.0);
	EXPECT_EQ(se.cmg[7], 0.0);
	EXPECT_STREQ(se.ync_s, "123");
	EXPECT_STREQ(sh.drvo_s, "/aux");

	// A file that stops early empties the settings whose lines are missing.
	start(r);
	write_file(d.file("_seis"), "/d\nPS  \nps\nPDE  \n1980");
	std::strcpy(se.m1_s, "07");
	load_setup();
	EXPECT_STREQ(se.y1_s, "1980");
	EXPECT_STREQ(se.m1_s, "");
	EXPECT_STREQ(se.mps_s, "");
	EXPECT_EQ(se.ndp, 7); // no line 37: the defaults
}

TEST(Setup, FirstRunShowsOptionWithTheMessage)
{
	Recording r;
	start(r);
	TempDir d;
	SetEnv h("HOME", d.path.c_str());
	std::strcpy(sh.drvo_s, "/seis/aux");
	type(r, "/Data/Dir");
	r.ch('\r');
	load_setup();
	std::string msg = d.path + "/_seis is not found. Check the above options.";
	EXPECT_TRUE(drew(r, msg)) << msg;
	EXPECT_EQ(row_text(4).substr(6, 9), "/Data/Dir");
	EXPECT_EQ(row_text(6).substr(6, 10), "/seis/aux ");
	EXPECT_EQ(row_text(13).substr(6, 3), "ps ");
	EXPECT_STREQ(sh.drv_s, "/Data/Dir");
	EXPECT_STREQ(sh.drvo_s, "/seis/aux");
	EXPECT_STREQ(sp.port_s, "ps");
	EXPECT_STREQ(sp.prn_s, "PS  ");
	EXPECT_STREQ(st.f2_s, "PDE  ");
	EXPECT_STREQ(se.s2_s, "59.99");
	EXPECT_STREQ(se.dst_s, "NWPAC");
	EXPECT_STREQ(se.mps_s, "");
	EXPECT_EQ(se.icd[3], 2);
	EXPECT_STREQ(se.ync_s, "000");
	dump_setup();
	EXPECT_EQ(read_lines(d.file("_seis")).size(), 42u);

	// A long home: the message keeps its ending and fits its line.
	std::string deep = d.path + "/a-rather-long-directory-name-for-a-home";
	std::filesystem::create_directory(deep);
	SetEnv h2("HOME", deep.c_str());
	start(r);
	r.calls.clear();
	fkey_press(r, 3);
	load_setup();
	std::string tail = "-for-a-home/_seis is not found. Check the above options.";
	bool found = false;
	for (const auto &c : r.calls)
		if (c.find(tail) != std::string::npos) {
			found = true;
			std::string shown = c.substr(c.find("..."));
			EXPECT_EQ(shown.size(), 70u) << shown;
			EXPECT_EQ(shown.substr(shown.size() - tail.size()), tail);
		}
	EXPECT_TRUE(found);
}

TEST(Setup, OptionQuitChangesNothing)
{
	Recording r;
	start(r);
	std::strcpy(sh.drv_s, "/d");
	std::strcpy(sh.drvo_s, "/a");
	std::strcpy(sp.port_s, "lp");
	type(r, "XYZ");
	fkey_press(r, 3);
	EXPECT_EQ(option(), 0);
	EXPECT_STREQ(sh.drv_s, "/d");
	EXPECT_STREQ(sh.drvo_s, "/a");
	EXPECT_STREQ(sp.port_s, "lp");

	type(r, "\t\tcolour");
	r.ch('\r');
	EXPECT_EQ(option(), 0);
	EXPECT_STREQ(sh.drv_s, "/d"); // trailing blanks of the 64 cells dropped
	EXPECT_STREQ(sp.port_s, "colour");
}

TEST(Setup, UnwritableHomeEndsQuietlyAndOldFileSurvives)
{
	Recording r;
	start(r);
	{
		SetEnv h("HOME", "/nonexistent/home");
		dump_setup(); // no file, no crash, no message
		EXPECT_STREQ(sh.em_s, "");
	}
	// The file goes in whole by rename: a reader never sees half of it and
	// no temporary file is left behind.
	TempDir d;
	SetEnv h("HOME", d.path.c_str());
	write_file(d.file("_seis"), "old\n");
	struct stat before;
	stat(d.file("_seis").c_str(), &before);
	dump_setup();
	struct stat after;
	stat(d.file("_seis").c_str(), &after);
	EXPECT_NE(before.st_ino, after.st_ino);
	int n = 0;
	for (auto &e : std::filesystem::directory_iterator(d.path)) {
		n++;
		EXPECT_EQ(e.path().filename(), "_seis");
	}
	EXPECT_EQ(n, 1);
}
