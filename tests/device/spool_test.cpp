#include <gtest/gtest.h>

#include "shell/templates.h"
#include "shell_support.h"

using namespace tw;
using namespace tw::test;

namespace {

struct Printing : ::testing::Test {
	Recording r;
	PrintPlace p;
	void SetUp() override { start(r); }
};

} // namespace

TEST_F(Printing, TextHardCopyOfTheScreen)
{
	std::strcpy(sp.port_s, "lp0");
	mvaddstr(0, 0, "Request : SORT");
	scr.mz[1 * NCOL + 3] = '\a';
	scr.mz[1 * NCOL + 4] = '\t';
	scr.mz[2 * NCOL + 79] = (char)0xe9;
	scr.mz[24 * NCOL + 0] = 0;
	EXPECT_EQ(tcopy(), 1);
	std::string out = p.prn();
	ASSERT_EQ(out.size(), 25u * 82u);
	for (int row = 0; row < 25; row++)
		EXPECT_EQ(out.substr(row * 82 + 80, 2), "\r\n") << row;
	EXPECT_EQ(out.substr(0, 14), "Request : SORT");
	EXPECT_EQ(out.substr(82, 80), std::string(80, ' ')); // control characters as blanks
	EXPECT_EQ(out[2 * 82 + 79], ' ');
	EXPECT_EQ(out[24 * 82], ' ');
	EXPECT_EQ(p.args(), "-Plp0\nseis.prn\n---\n");
	EXPECT_EQ(sp.fq, nullptr);

	// A second job overwrites the file.
	mvaddstr(0, 0, "Second        ");
	EXPECT_EQ(tcopy(), 1);
	EXPECT_EQ(p.prn().size(), 25u * 82u);
	EXPECT_EQ(p.prn().substr(0, 14), "Second        ");
	EXPECT_EQ(p.args(), "-Plp0\nseis.prn\n---\n-Plp0\nseis.prn\n---\n");
}

TEST_F(Printing, PrinterNameStaysOneArgument)
{
	std::strcpy(sp.port_s, "x; touch pwned");
	ASSERT_TRUE(lpinit());
	lpputs("abc");
	lpputn("d\0e", 3);
	lpclose();
	EXPECT_EQ(p.prn(), std::string("abcd\0e", 6));
	EXPECT_EQ(p.args(), "-Px; touch pwned\nseis.prn\n---\n");
	EXPECT_FALSE(std::filesystem::exists(p.d.file("pwned")));

	// No name: lpr's default printer, and the file stays the file.
	sp.port_s[0] = 0;
	lpsubmit();
	EXPECT_EQ(p.args(), "-Px; touch pwned\nseis.prn\n---\nseis.prn\n---\n");

	char kind[5], name[65];
	get_printer_defaults(kind, name);
	EXPECT_STREQ(kind, "PS  ");
	EXPECT_STREQ(name, "ps");
}

TEST_F(Printing, FormHardCopyAndItsFailure)
{
	std::strcpy(sp.port_s, "ps");
	fkey_press(r, 1);
	fkey_press(r, 3);
	EXPECT_EQ(panel(PAN_SORT), 3);
	EXPECT_EQ(p.prn().substr(0, 18), "    Request : SORT");
	EXPECT_EQ(p.prn().substr(4 * 82 + 17, 12), "1st (      )");
	EXPECT_EQ(p.args(), "-Pps\nseis.prn\n---\n");
	EXPECT_TRUE(drew(r, "Hcopy:F1")); // the button shows it was pressed

	// The spool file cannot be made: the message on the form, no job.
	std::filesystem::remove(p.d.file("seis.prn"));
	std::filesystem::create_directory(p.d.file("seis.prn"));
	r.calls.clear();
	fkey_press(r, 1);
	r.ch('\r');
	EXPECT_EQ(panel(PAN_SORT), 0);
	EXPECT_TRUE(drew(r, "Printer file cannot be opened!"));
	EXPECT_STREQ(pn.em_s, "");
	EXPECT_EQ(p.args(), "-Pps\nseis.prn\n---\n");
	EXPECT_EQ(tcopy(), 0);
	EXPECT_STREQ(pn.em_s, "Printer file cannot be opened!");
}

// A hard copy whose file is not whole is never sent; a job lpr refuses is
// reported.
TEST_F(Printing, FailedJobsAreReported)
{
	const struct {
		const char *what;
		bool lpr_fails, disk_full;
		const char *message, *args;
	} cases[] = {
		{"lpr fails", true, false, "Print job failed (lpr)!", "-Pps\nseis.prn\n---\n"},
		{"disk full", false, true, "Printer file cannot be written!", ""},
	};
	std::strcpy(sp.port_s, "ps");
	for (const auto &c : cases) {
		SCOPED_TRACE(c.what);
		PrintPlace q;
		if (c.lpr_fails)
			q.lpr_fails();
		if (c.disk_full)
			std::filesystem::create_symlink("/dev/full", q.d.file("seis.prn"));
		pn.em_s[0] = 0;
		EXPECT_EQ(tcopy(), 0);
		EXPECT_STREQ(pn.em_s, c.message);
		EXPECT_EQ(q.args(), c.args);
	}
}
