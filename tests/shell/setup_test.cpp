#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <chrono>

#include "shell/templates.h"
#include "shell_support.h"

using namespace tw;
using namespace tw::test;

namespace {

using Strs = std::vector<std::string>;

// The text settings of the setup file's lines 5 to 36, in file order.
std::vector<char *> text_settings()
{
	return {se.y1_s,  se.m1_s,   se.d1_s,   se.h1_s,  se.n1_s,   se.s1_s,   se.y2_s,  se.m2_s,
		se.d2_s,  se.h2_s,   se.n2_s,   se.s2_s,  se.dst_s,  se.so1_s,  se.som1_s, se.sew1_s,
		se.so2_s, se.som2_s, se.sew2_s, se.sa1_s, se.sam1_s, se.sns1_s, se.sa2_s, se.sam2_s,
		se.sns2_s, se.dp1_s, se.dp2_s,  se.mg1_s, se.mg2_s,  se.ynh_s,  se.ynm_s, se.mps_s};
}

// Every setting the file carries, as text.
Strs snapshot()
{
	Strs v = {st.drv_s, st.drvo_s, sp.prn_s, sp.port_s, st.f2_s, se.ync_s};
	for (char *s : text_settings())
		v.push_back(s);
	v.push_back(std::to_string(se.ndp) + " " + std::to_string(se.nmg) + " " +
		    std::to_string(se.ro) + " " + std::to_string(se.ru));
	for (int i = 0; i < se.ndp && i < NDPMAX; i++)
		v.push_back(std::to_string(se.cdp[i]) + " " + std::to_string(se.icd[i]));
	for (int i = 0; i < se.nmg && i < NMGMAX; i++)
		v.push_back(std::to_string(se.cmg[i]));
	return v;
}

// Every setting set to a value unlike its default.
void odd_settings()
{
	st.drv_s[0] = 0;
	std::strcpy(st.drvo_s, "/aux/files");
	std::strcpy(sp.prn_s, "LP  ");
	std::strcpy(sp.port_s, "lp0");
	std::strcpy(st.f2_s, "JMA  ");
	const char *v[] = {"2001", "02", "03", "04", "05", "06.50", "2002", "07", "08", "09",
			   "10", "11.25", "JAPAN", "130", "15", "W", "140", "45", "E", "30",
			   "20", "S", "40", "10", "N", "010.5", "700.0", "+2.5", "+8.0", "N", "N",
			   "KANTO"};
	for (size_t i = 0; i < std::size(v); i++)
		std::strcpy(text_settings()[i], v[i]);
	se.ndp = 3, se.nmg = 2, se.ro = 2.5, se.ru = 1.5;
	se.cdp[0] = 0, se.cdp[1] = 35, se.cdp[2] = 300;
	se.icd[0] = 7, se.icd[1] = 1, se.icd[2] = 4;
	se.cmg[0] = 2.5, se.cmg[1] = 6.25;
	std::strcpy(se.ync_s, "150");
}

// A fresh state with HOME in a scratch directory of its own.
struct Setup : ::testing::Test {
	Recording r;
	TempDir d;
	SetEnv home{"HOME", d.path.c_str()};
	void SetUp() override { start(r); }
	std::string file() const { return d.file("_seis"); }
};

} // namespace

TEST(SetupText, LineReadingAndWriting)
{
	TempDir d;
	std::string path = d.file("lines");
	FILE *f = std::fopen(path.c_str(), "w");
	EXPECT_GE(ffputs("first", f), 0);
	ffputs("", f);
	std::fputs("0123456789\nlast without newline", f);
	std::fclose(f);
	EXPECT_EQ(slurp(path), "first\n\n0123456789\nlast without newline");

	// A long line comes in pieces; the unterminated last line is not lost.
	f = std::fopen(path.c_str(), "r");
	char b[8];
	Strs got;
	while (ffgets(b, 7, f) == 1)
		got.push_back(b);
	EXPECT_EQ(got, (Strs{"first", "", "0123456", "789", "last wi", "thout n", "ewline"}));
	EXPECT_STREQ(b, "");
	std::fclose(f);
}

TEST(SetupText, PathOfTheSetupFile)
{
	char b[128];
	const char *homes[][2] = {{"/home/qx", "/home/qx/_seis"}, {"/home/qx/", "/home/qx/_seis"},
				  {nullptr, "_seis"}};
	for (auto [home, path] : homes) {
		SetEnv h("HOME", home);
		EXPECT_TRUE(mksetup(b, sizeof b));
		EXPECT_STREQ(b, path);
	}
	std::string longhome(200, 'h');
	SetEnv h("HOME", longhome.c_str());
	EXPECT_FALSE(mksetup(b, sizeof b)); // refused rather than cut to a wrong path
}

TEST_F(Setup, RoundTripOfEverySetting)
{
	odd_settings();
	Strs before = snapshot();
	dump_setup();
	std::string written = slurp(file());
	auto lines = read_lines(file());
	ASSERT_EQ(lines.size(), 42u);
	EXPECT_EQ(lines[0], " "); // an empty data directory is one blank
	EXPECT_EQ(lines[1], "LP  ");
	EXPECT_EQ(lines[35], "KANTO");
	EXPECT_EQ(Strs(lines.begin() + 36, lines.end()),
		  (Strs{"3 2 2.500000 1.500000", "0 35 300 ", "7 1 4 ", "2.500000 6.250000 ", "150",
			"/aux/files"}));
	EXPECT_EQ(std::filesystem::directory_iterator(d.path)->path().filename(), "_seis");

	start(r); // everything empty
	std::strcpy(st.drvo_s, "/from/SEIS");
	r.calls.clear();
	load_setup();
	EXPECT_TRUE(r.calls.empty()); // nothing was shown
	EXPECT_EQ(snapshot(), before);
	dump_setup(); // written again, the file is the same
	EXPECT_EQ(slurp(file()), written);
}

TEST_F(Setup, FileWithoutSymbolClasses)
{
	SetEnv h("HOME", (d.path + "/").c_str());
	odd_settings();
	std::strcpy(st.drv_s, "/data");
	dump_setup();
	auto lines = read_lines(file());
	std::string text;
	for (int i = 0; i < 36; i++)
		text += lines[i] + "\n";
	write_file(file(), text);

	start(r);
	std::strcpy(st.drvo_s, "/from/SEIS");
	load_setup();
	EXPECT_STREQ(st.drv_s, "/data");
	EXPECT_STREQ(se.mps_s, "KANTO");
	EXPECT_STREQ(st.drvo_s, "/from/SEIS");
	// No lines 37 to 42: the symbol classes' first-run defaults.
	EXPECT_EQ(std::pair(se.ndp, se.nmg), std::pair(7, 8));
	EXPECT_EQ(se.cdp[6], 600);
	EXPECT_EQ(se.icd[0], 4);
	EXPECT_EQ(se.cmg[7], 7.0);
	EXPECT_EQ(se.ro, 1.5);
	EXPECT_EQ(se.ru, 1.25);
	EXPECT_STREQ(se.ync_s, "000");
}

TEST_F(Setup, HandEditedFilesAreCutAndClamped)
{
	std::string text = "/data dir with blanks\nPRINTER\n" + std::string(300, 'x') + "\r\nISCNE-EXTRA\n";
	for (int i = 5; i <= 36; i++)
		text += i == 17 ? "VERYLONGREGIONNAME\n" : "12345678\n";
	text += "9 12 nan 2\n"; // counts above the maxima, a number that is none
	text += "10 20\n";      // fewer numbers than announced
	text += "1 2 3 4 5 6 7 8 9\n0.5 abc\n12345\n/aux dir\n";
	write_file(file(), text);
	load_setup();
	EXPECT_EQ(Strs({st.drv_s, sp.prn_s, st.f2_s, se.y1_s, se.s1_s, se.dst_s, se.sew1_s, se.mps_s,
			se.ync_s, st.drvo_s}),
		  (Strs{"/data", "PRIN", "ISCNE", "1234", "12345", "VERYLONGRE", "1", "12345678", "123",
			"/aux"})); // the long line did not shift the lines after it
	EXPECT_EQ(std::string(sp.port_s), std::string(64, 'x'));
	EXPECT_EQ(std::pair(se.ndp, se.nmg), std::pair(7, 8));
	EXPECT_EQ(se.ro, 1.5); // not a number: the default
	EXPECT_EQ(se.ru, 2.0);
	EXPECT_EQ(se.cdp[1], 20);
	EXPECT_EQ(se.cdp[2], 0); // missing numbers are 0
	EXPECT_EQ(se.icd[6], 7);
	EXPECT_EQ((std::vector<double>{se.cmg[0], se.cmg[1], se.cmg[7]}), (std::vector<double>{0.5, 0, 0}));

	// A file that stops early empties the settings whose lines are missing.
	start(r);
	write_file(file(), "/d\nPS  \nps\nPDE  \n1980");
	std::strcpy(se.m1_s, "07");
	load_setup();
	EXPECT_EQ(Strs({se.y1_s, se.m1_s, se.mps_s}), (Strs{"1980", "", ""}));
	EXPECT_EQ(se.ndp, 7); // no line 37: the defaults
}

// Whatever a hand-edited file holds, what is written at exit reads back to
// the same settings: a setting must not change from run to run.
TEST_F(Setup, OddFilesSettleAfterOneRewrite)
{
	std::string text = "/data\r;x\r\r\nPS\r\r\r\n";
	for (int i = 3; i <= 36; i++)
		text += "1\r\r\n";
	text += "7 8 1e300 -1e300\n";
	text += "1 2 3 4 5 6 7\n1 2 3 4 5 6 7\n";
	text += "1e300 -1e300 123456789 5 5 5 5 5\n000\n/aux\r\r/x\n";
	write_file(file(), text);
	load_setup();
	EXPECT_EQ(Strs({st.drv_s, sp.prn_s, se.y1_s, st.drvo_s}), (Strs{"/data", "PS", "1", "/aux"}));
	EXPECT_EQ((std::vector<double>{se.ro, se.ru, se.cmg[0], se.cmg[1], se.cmg[2], se.cmg[3]}),
		  (std::vector<double>{1e6, -1e6, 1e6, -1e6, 1e6, 5}));
	dump_setup();
	std::string once = slurp(file());
	EXPECT_NE(std::string::npos, once.find("1000000.000000 -1000000.000000 1000000.000000 "
					       "5.000000 5.000000 5.000000 5.000000 5.000000 \n"));
	start(r);
	load_setup();
	dump_setup();
	EXPECT_EQ(slurp(file()), once);
}

TEST_F(Setup, FirstRunShowsOptionWithTheMessage)
{
	std::strcpy(st.drvo_s, "/seis/aux");
	type(r, "/Data/Dir\r");
	load_setup();
	std::string msg = d.path + "/_seis is not found. Check the above options.";
	EXPECT_TRUE(drew(r, msg)) << msg;
	EXPECT_EQ(row_text(4).substr(6, 9), "/Data/Dir");
	EXPECT_EQ(row_text(6).substr(6, 10), "/seis/aux ");
	EXPECT_EQ(row_text(13).substr(6, 3), "ps ");
	EXPECT_EQ(Strs({st.drv_s, st.drvo_s, sp.port_s, sp.prn_s, st.f2_s, se.s2_s, se.dst_s, se.mps_s,
			se.ync_s}),
		  (Strs{"/Data/Dir", "/seis/aux", "ps", "PS  ", "PDE  ", "59.99", "NWPAC", "", "000"}));
	EXPECT_EQ(se.icd[3], 2);
	dump_setup();
	EXPECT_EQ(read_lines(file()).size(), 42u);

	// A long home: the message keeps its ending and fits its line.
	std::string deep = d.path + "/a-rather-long-directory-name-for-a-home";
	std::filesystem::create_directory(deep);
	SetEnv h2("HOME", deep.c_str());
	start(r);
	r.calls.clear();
	fkey_press(r, 3);
	load_setup();
	std::string tail = "-for-a-home/_seis is not found. Check the above options.";
	int found = 0;
	for (const auto &c : r.calls)
		if (c.find(tail) != std::string::npos) {
			found++;
			std::string shown = c.substr(c.find("..."));
			EXPECT_EQ(shown.size(), 70u) << shown;
			EXPECT_EQ(shown.substr(shown.size() - tail.size()), tail);
		}
	EXPECT_GT(found, 0);
}

TEST_F(Setup, UnwritableHomeEndsQuietlyAndOldFileSurvives)
{
	{
		SetEnv h("HOME", "/nonexistent/home");
		testing::internal::CaptureStderr();
		EXPECT_FALSE(dump_setup()); // no file, no crash, no message on the form
		EXPECT_NE(testing::internal::GetCapturedStderr(), "");
		EXPECT_STREQ(pn.em_s, "");
	}
	// The file goes in whole by rename: a reader never sees half of it and
	// no temporary file is left behind. Leftovers of killed writes go once
	// stale; a fresh one may be another run's, a look-alike is the user's.
	write_file(file(), "old\n");
	chmod(file().c_str(), 0600);
	Strs keep = {"_seis", "_seis.backup", "_seis.Zz9yX8.tmp"};
	for (auto name : {"_seis.Ab3dE9.tmp", "_seis.backup", "_seis.Zz9yX8.tmp"}) {
		write_file(d.file(name), "x");
		if (name != keep[2])
			std::filesystem::last_write_time(d.file(name), std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
	}
	struct stat before, after;
	stat(file().c_str(), &before);
	EXPECT_TRUE(dump_setup());
	stat(file().c_str(), &after);
	EXPECT_NE(before.st_ino, after.st_ino);
	EXPECT_EQ(after.st_mode & 0777, 0600u); // the user's permissions are kept
	Strs names;
	for (auto &e : std::filesystem::directory_iterator(d.path))
		names.push_back(e.path().filename());
	std::sort(names.begin(), names.end());
	std::sort(keep.begin(), keep.end());
	EXPECT_EQ(names, keep);
}

// A link is written through, the file beside its target; anything else that
// is not a plain file is refused without a hang, and the defaults are used.
TEST_F(Setup, SetupFileThatIsNoPlainFile)
{
	TempDir elsewhere;
	std::string target = elsewhere.file("real_seis");
	odd_settings();
	std::strcpy(st.drv_s, "/linked");
	dump_setup();
	std::filesystem::rename(file(), target);
	std::filesystem::create_symlink(target, file());
	start(r);
	load_setup();
	EXPECT_STREQ(st.drv_s, "/linked");
	std::strcpy(st.drv_s, "/changed");
	EXPECT_TRUE(dump_setup());
	EXPECT_TRUE(std::filesystem::is_symlink(file()));
	EXPECT_EQ(read_lines(target)[0], "/changed");
	EXPECT_EQ(std::distance(std::filesystem::directory_iterator(elsewhere.path), {}), 1);

	const struct {
		const char *what;
		void (*make)(const std::string &);
	} odd[] = {
		{"directory", [](const std::string &p) { std::filesystem::create_directory(p); }},
		{"link to /dev/zero", [](const std::string &p) { std::filesystem::create_symlink("/dev/zero", p); }},
		{"FIFO", [](const std::string &p) { mkfifo(p.c_str(), 0600); }},
	};
	for (const auto &c : odd) {
		SCOPED_TRACE(c.what);
		std::filesystem::remove_all(file());
		c.make(file());
		auto kind = std::filesystem::symlink_status(file()).type();
		start(r);
		testing::internal::CaptureStderr();
		load_setup();
		EXPECT_EQ(testing::internal::GetCapturedStderr(),
			  file() + " is not a readable file: default settings are used!\n");
		EXPECT_EQ(Strs({sp.prn_s, se.y1_s, se.ync_s}), (Strs{"PS  ", "1979", "000"}));
		EXPECT_EQ(se.seisok, 0); // nothing is written over it at exit
		testing::internal::CaptureStderr();
		EXPECT_FALSE(dump_setup());
		EXPECT_EQ(testing::internal::GetCapturedStderr(), file() + " cannot be written!\n");
		EXPECT_EQ(std::filesystem::symlink_status(file()).type(), kind);
	}
}

// The opening screen waits for a key before the setup file is read: an exit
// there must leave the file alone, while an exit after the start writes it.
TEST_F(Setup, ExitFromTheOpeningScreenKeepsTheFile)
{
	odd_settings();
	dump_setup();
	std::string full = slurp(file());
	ASSERT_EQ(read_lines(file()).size(), 42u);
	const struct {
		const char *keys; // before the Ctrl+E that ends the script
		bool written;
	} cases[] = {{"", false}, {" ", true}};
	for (const auto &c : cases) {
		SCOPED_TRACE(c.keys);
		start(r);
		type(r, c.keys);
		struct stat before, after;
		stat(file().c_str(), &before);
		try {
			init();
			for (;;)
				command_step();
		} catch (const Exited &) {
		}
		stat(file().c_str(), &after);
		EXPECT_EQ(slurp(file()), full);
		EXPECT_EQ(before.st_ino != after.st_ino, c.written);
	}
}

// Killed at any moment, a write leaves the old file or the new one, whole;
// on a full disk it leaves the old one and says so.
TEST_F(Setup, KilledOrFullWritesLeaveAWholeFile)
{
	odd_settings();
	dump_setup();
	std::string old = slurp(file());
	std::strcpy(st.drv_s, "/new/data/directory");
	dump_setup();
	std::string now = slurp(file());
	write_file(file(), old);
	kill_during(20, [] { dump_setup(); }, [&] {
		std::string got = slurp(file());
		EXPECT_TRUE(got == old || got == now) << got.size() << " bytes";
	});

	FullFs fs;
	if (!fs.ok)
		GTEST_SKIP() << "no tmpfs can be mounted here (needs privileges)";
	SetEnv h("HOME", fs.d.path.c_str());
	write_file(fs.d.file("_seis"), old);
	fs.fill();
	testing::internal::CaptureStderr();
	EXPECT_FALSE(dump_setup());
	EXPECT_EQ(testing::internal::GetCapturedStderr(),
		  fs.d.file("_seis") + " could not be written completely: the old file is kept!\n");
	EXPECT_EQ(slurp(fs.d.file("_seis")), old);
	EXPECT_EQ(std::distance(std::filesystem::directory_iterator(fs.d.path), {}), 2); // and the filler
}
