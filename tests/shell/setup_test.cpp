// The setup file (read, written whole, odd files refused) and the loop
// that reads it at start-up and writes it at exit.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>

#include "device/menubar.h"
#include "shell_support.h"

using namespace tw;
using namespace tw::test;
namespace fs = std::filesystem;

namespace {

using Strs = std::vector<std::string>;
using Nums = std::vector<double>;

// A setup file with every setting unlike its default; no data directory.
constexpr const char *ODD =
	" \nLP  \nlp0\nJMA  \n2001\n02\n03\n04\n05\n06.50\n2002\n07\n08\n09\n10\n11.25\nJAPAN\n130\n15\nW\n140\n45\nE\n"
	"30\n20\nS\n40\n10\nN\n010.5\n700.0\n+2.5\n+8.0\nN\nN\nKANTO\n3 2 2.500000 1.500000\n0 35 300 \n7 1 4 \n"
	"2.500000 6.250000 \n150\n/aux/files\n";

// A fresh state with HOME in a scratch directory of its own.
struct Setup : ::testing::Test {
	Recording r;
	TempDir d;
	SetEnv home{"HOME", d.path.c_str()};
	void SetUp() override { start(r); }
	std::string file() const { return d.file("_seis"); }
	ino_t ino() const { struct stat s {}; return stat(file().c_str(), &s), s.st_ino; }
	// What f writes on stderr.
	template <class F> static std::string err(F f)
	{
		testing::internal::CaptureStderr();
		f();
		return testing::internal::GetCapturedStderr();
	}
};

} // namespace

TEST(SetupText, PathOfTheSetupFile)
{
	char b[128];
	const std::string deep(200, 'h'); // refused rather than cut to a wrong path
	const char *homes[][2] = {{"/home/qx", "/home/qx/_seis"}, {"/home/qx/", "/home/qx/_seis"}, {nullptr, "_seis"},
				  {deep.c_str(), nullptr}};
	for (auto [home, path] : homes) {
		SetEnv h("HOME", home);
		EXPECT_STREQ(mksetup(b, sizeof b) ? b : nullptr, path);
	}
}

// Read without a word on the screen, every setting where it belongs (the
// opening-screen test writes it back byte for byte). A link is read and
// written through, the file beside its target.
TEST_F(Setup, RoundTripOfEverySetting)
{
	TempDir elsewhere;
	std::string target = elsewhere.file("real_seis");
	write_file(target, ODD), fs::create_symlink(target, file());
	r.calls.clear(), load_setup();
	EXPECT_TRUE(r.calls.empty());
	EXPECT_EQ(Strs({st.drv_s, sp.prn_s, sp.port_s, st.f2_s, se.y1_s, se.s2_s, se.dst_s, se.sew1_s, se.mg2_s, se.mps_s,
			se.ync_s, st.drvo_s}),
		  (Strs{"", "LP  ", "lp0", "JMA  ", "2001", "11.25", "JAPAN", "W", "+8.0", "KANTO", "150", "/aux/files"}));
	EXPECT_EQ((Nums{se.ro, se.ru, (double)se.cdp[2], (double)se.icd[0], se.cmg[1]}), (Nums{2.5, 1.5, 300, 7, 6.25}));
	std::strcpy(st.drv_s, "/changed");
	EXPECT_TRUE(dump_setup());
	EXPECT_TRUE(fs::is_symlink(file()));
	EXPECT_EQ(slurp(target).substr(0, 9), "/changed\n");
	EXPECT_EQ(std::distance(fs::directory_iterator(elsewhere.path), {}), 1);
}

TEST_F(Setup, HandEditedFilesAreCutAndClamped)
{
	std::string text = "/data dir with blanks\nPRINTER\n" + std::string(300, 'x') + "\r\nISCNE-EXTRA\n";
	for (int i = 5; i <= 36; i++)
		text += i == 17 ? "VERYLONGREGIONNAME\n" : "12345678\n";
	// Counts above the maxima, a number that is none; fewer numbers than announced.
	write_file(file(), text + "9 12 nan 2\n10 20\n1 2 3 4 5 6 7 8 9\n0.5 abc\n12345\n/aux dir\n");
	load_setup();
	// The long line is cut and does not shift the rest.
	EXPECT_EQ(Strs({st.drv_s, sp.prn_s, sp.port_s, st.f2_s, se.y1_s, se.dst_s, se.sew1_s, se.ync_s, st.drvo_s}),
		  (Strs{"/data", "PRIN", std::string(64, 'x'), "ISCNE", "1234", "VERYLONGRE", "1", "123", "/aux"}));
	// Not a number: the default; missing: 0.
	EXPECT_EQ((Nums{se.ro, se.ru, se.cmg[0], se.cmg[1], se.cmg[7]}), (Nums{1.5, 2.0, 0.5, 0, 0}));
	EXPECT_EQ((std::vector<int>{se.ndp, se.nmg, se.cdp[1], se.cdp[2], se.icd[6]}), (std::vector<int>{7, 8, 20, 0, 7}));

	// A file that stops early empties the settings whose lines are missing;
	// with no line 37 on the symbol classes take their first-run defaults,
	// and the auxiliary directory stays the one from SEIS.
	start(r), write_file(file(), "/d\nPS  \nps\nPDE  \n1980");
	std::strcpy(se.m1_s, "07"), std::strcpy(st.drvo_s, "/from/SEIS");
	load_setup();
	EXPECT_EQ(Strs({se.y1_s, se.m1_s, se.mps_s, se.ync_s, st.drvo_s}), (Strs{"1980", "", "", "000", "/from/SEIS"}));
	EXPECT_EQ((Nums{1. * se.ndp, 1. * se.nmg, 1. * se.cdp[6], 1. * se.icd[0], se.cmg[7], se.ro, se.ru}),
		  (Nums{7, 8, 600, 4, 7, 1.5, 1.25}));

	// Whatever a hand-edited file holds, what is written at exit reads back
	// to the same settings: a setting must not change from run to run.
	start(r), text = "/data\r;x\r\r\nPS\r\r\r\n";
	for (int i = 3; i <= 36; i++)
		text += "1\r\r\n";
	text += "7 8 1e300 -1e300\n1 2 3 4 5 6 7\n1 2 3 4 5 6 7\n1e300 -1e300 123456789 5 5 5 5 5\n000\n/aux\r\r/x\n";
	write_file(file(), text), load_setup();
	EXPECT_EQ(Strs({st.drv_s, sp.prn_s, se.y1_s, st.drvo_s}), (Strs{"/data", "PS", "1", "/aux"}));
	EXPECT_EQ((Nums{se.ro, se.ru, se.cmg[0], se.cmg[1], se.cmg[2], se.cmg[3]}), (Nums{1e6, -1e6, 1e6, -1e6, 1e6, 5}));
	std::string once = (dump_setup(), slurp(file()));
	EXPECT_NE(std::string::npos, once.find("1000000.000000 -1000000.000000 1000000.000000 "
					       "5.000000 5.000000 5.000000 5.000000 5.000000 \n"));
	start(r), load_setup(), dump_setup();
	EXPECT_EQ(slurp(file()), once);
}

TEST_F(Setup, FirstRunShowsOptionWithTheMessage)
{
	// The message names the file; a long home keeps the message's ending.
	const std::string deep = d.path + "/a-rather-long-directory-name-for-a-home";
	fs::create_directory(deep);
	const std::string tail = "/_seis is not found. Check the above options.";
	for (const std::string &home : {d.path, deep}) {
		SetEnv h("HOME", home.c_str());
		start(r), r.type("/Data/Dir\r"), load_setup();
		EXPECT_TRUE(drew(r, home == deep ? "...ectory-name-for-a-home" + tail : d.path + tail)) << home;
		EXPECT_STREQ(st.drv_s, "/Data/Dir");
	}
}

TEST_F(Setup, WritesAreWholeOrLeaveTheOldFile)
{
	// The file goes in whole by rename: a reader never sees half of it and
	// no temporary file is left behind. Leftovers of killed writes go once
	// stale; a fresh one may be another run's, a look-alike is the user's.
	write_file(file(), "old\n");
	chmod(file().c_str(), 0600);
	for (auto name : {"_seis.Ab3dE9.tmp", "_seis.backup", "_seis.Zz9yX8.tmp"}) {
		write_file(d.file(name), "x");
		if (name[6] != 'Z')
			fs::last_write_time(d.file(name), fs::file_time_type::clock::now() - std::chrono::hours(1));
	}
	EXPECT_TRUE(dump_setup());
	EXPECT_EQ(fs::status(file()).permissions(), fs::perms(0600)); // the user's permissions are kept
	EXPECT_FALSE(fs::exists(d.file("_seis.Ab3dE9.tmp")));
	EXPECT_EQ(std::distance(fs::directory_iterator(d.path), {}), 3); // _seis and the other two

	// Killed at any moment, a write leaves the old file or the new one,
	// whole; on a full disk it leaves the old one and says so.
	std::strcpy(st.drv_s, "/new/data/directory");
	std::string now = (dump_setup(), slurp(file()));
	write_file(file(), ODD);
	kill_during(20, [] { dump_setup(); }, [&] {
		std::string got = slurp(file());
		EXPECT_TRUE(got == ODD || got == now) << got.size() << " bytes";
	});

	FullFs full;
	if (!full.ok)
		GTEST_SKIP() << "no tmpfs can be mounted here (needs privileges)";
	SetEnv h("HOME", full.d.path.c_str());
	write_file(full.d.file("_seis"), ODD);
	full.fill();
	EXPECT_EQ(err([] { EXPECT_FALSE(dump_setup()); }),
		  full.d.file("_seis") + " could not be written completely: the old file is kept!\n");
	EXPECT_EQ(slurp(full.d.file("_seis")), ODD);
	EXPECT_EQ(std::distance(fs::directory_iterator(full.d.path), {}), 2); // and the filler
}

// A setup file that is not a plain file (nor a link to one) is refused
// without a hang, and the defaults are used.
TEST_F(Setup, SetupFileThatIsNoPlainFile)
{
	const struct { const char *what; void (*make)(const std::string &); } odd[] = {
		{"directory", [](const std::string &p) { fs::create_directory(p); }},
		{"link to /dev/zero", [](const std::string &p) { fs::create_symlink("/dev/zero", p); }},
		{"FIFO", [](const std::string &p) { mkfifo(p.c_str(), 0600); }},
	};
	for (const auto &c : odd) {
		SCOPED_TRACE(c.what);
		fs::remove_all(file());
		c.make(file());
		auto kind = fs::symlink_status(file()).type();
		start(r);
		EXPECT_EQ(err(load_setup), file() + " is not a readable file: default settings are used!\n");
		EXPECT_EQ(Strs({sp.prn_s, se.y1_s, se.ync_s}), (Strs{"PS  ", "1979", "000"}));
		EXPECT_EQ(se.seisok, 0); // nothing is written over it at exit
		EXPECT_EQ(err([] { EXPECT_FALSE(dump_setup()); }), file() + " cannot be written!\n");
		EXPECT_EQ(fs::symlink_status(file()).type(), kind);
	}
}

// The opening screen waits for a key before the setup file is read: an exit
// there must leave the file alone, while an exit after the start writes it.
// A long SEIS is cut to the auxiliary directory's size at start-up. On the
// main menu a letter and a function key without a command beep, and Ctrl+E
// shows "Exit" selected as it ends the program.
TEST_F(Setup, ExitFromTheOpeningScreenKeepsTheFile)
{
	write_file(file(), ODD);
	const std::string longdir(200, 'd');
	SetEnv seis("SEIS", longdir.c_str());
	for (bool started : {false, true}) {
		ino_t before = ino();
		start(r);
		if (started)
			r.type(" q"), r.key(KS_F1 + 4);
		EXPECT_THROW(for (init();;) command_step(), Exited);
		EXPECT_EQ(ino() != before, started) << "replaced";
		EXPECT_EQ(st.drvo_s, started ? "/aux/files" : longdir.substr(0, sizeof st.drvo_s - 1));
		EXPECT_EQ(r.bells, started ? 2 : 0);
	}
	EXPECT_TRUE(r.has("itext " + std::to_string(mb.menux1[9] + 1) + " 11 Exit"));
	EXPECT_EQ(slurp(file()), ODD);
}
