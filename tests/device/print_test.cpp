// Printing: the spool and lpr, the text copy of the screen, the exact text
// of each PostScript operation, whole hard copies with their page scale,
// and ghostscript's verdict on what we write.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>

#include "device/graph.h"
#include "device/ps.h"
#include "device/screen.h"
#include "device/spool.h"
#include "files.h"
#include "recording.h"

using namespace tw;
using namespace tw::test;

namespace {

std::string said; // the spool's last message
struct Printing : ::testing::Test {
	Recording r;
	PrintPlace p;
	void SetUp() override { use_recording(r), spool_reset(), spool_message = [](const char *t) { said = t; }; }
};

} // namespace

// Every row with its CR LF, control characters and the rest as blanks; a
// second job writes the file anew.
TEST_F(Printing, TextHardCopyOfTheScreen)
{
	std::strcpy(sp.port_s, "lp0");
	scr.mz[1 * NCOL + 3] = '\a', scr.mz[1 * NCOL + 4] = '\t', scr.mz[2 * NCOL + 79] = (char)0xe9, scr.mz[24 * NCOL] = 0;
	std::string want;
	for (int row = 0; row < 25; row++)
		want += std::string(80, ' ') + "\r\n";
	for (const char *top : {"Request : SORT", "Second        "}) {
		mvaddstr(0, 0, top);
		EXPECT_EQ(tcopy(), 1);
		EXPECT_EQ(p.prn(), want.replace(0, 14, top));
	}
	EXPECT_EQ(p.args(), "-Plp0\nseis.prn\n---\n-Plp0\nseis.prn\n---\n");
}

// A copy whose file cannot be made or is not whole is never sent; a job lpr
// refuses is reported.
TEST_F(Printing, FailedJobsAreReported)
{
	const struct { const char *what, *message, *args; void (*make)(const PrintPlace &); } cases[] = {
		{"seis.prn a directory", "Printer file cannot be opened!", "",
		 [](const PrintPlace &q) { std::filesystem::create_directory(q.d.file("seis.prn")); }},
		{"lpr fails", "Print job failed (lpr)!", "-Pps\nseis.prn\n---\n", [](const PrintPlace &q) { q.lpr_fails(); }},
		{"disk full", "Printer file cannot be written!", "",
		 [](const PrintPlace &q) { std::filesystem::create_symlink("/dev/full", q.d.file("seis.prn")); }},
	};
	std::strcpy(sp.port_s, "ps");
	for (const auto &c : cases) {
		SCOPED_TRACE(c.what);
		PrintPlace q;
		c.make(q), said.clear();
		EXPECT_EQ(tcopy(), 0);
		EXPECT_EQ(said, c.message);
		EXPECT_EQ(q.args(), c.args);
	}
}

TEST_F(Printing, PrinterNameStaysOneArgument)
{
	std::strcpy(sp.port_s, "x; touch pwned");
	ASSERT_TRUE(lpinit());
	lpputs("abc"), lpputn("d\0e", 3), lpclose();
	EXPECT_EQ(p.prn(), std::string("abcd\0e", 6));
	EXPECT_EQ(p.args(), "-Px; touch pwned\nseis.prn\n---\n");
	EXPECT_FALSE(std::filesystem::exists(p.d.file("pwned")));
	sp.port_s[0] = 0, lpsubmit(); // no name: lpr's default printer, and the file stays the file
	EXPECT_EQ(p.args(), "-Px; touch pwned\nseis.prn\n---\nseis.prn\n---\n");
}

// Each drawing on a fresh copy in progress, and exactly what it writes.
TEST_F(Printing, OperationTexts)
{
	const std::pair<void (*)(), const char *> cases[] = {
		// The fill flag does not reach paper.
		{[] { gmoveto(100, 200), gcircle(1, 100, 200, 5), pspen(5, 0); },
		  " 170.0  330.0 pM\n 175.5  330.0 pM\n 170.0  330.0    5.5    0.0  360.0 arc\n"
		  "stroke\n  1.10 setlinewidth\n[] 0 setdash\n"},
		// The pen leaves negative attributes alone.
		{[] { pspen(-1, 1), pspen(-1, -1), pspen(0, 7); },
		  "stroke\n[6 2 2 2] 0 setdash\nstroke\n  0.00 setlinewidth\n"},
		// No copy in progress: nothing at all.
		{[] { gr.psflag = 0, pspen(3, 0), glineto(5, 5); }, ""},
		// The viewport moves the origin.
		{[] { gviewport(10, 20, 110, 220), gmoveto(0, 0), gviewport(0, 0, 639, 399), gmoveto(0, 0); },
		  "/viewpath { newpath   71.0  528.0 pM\n 181.0  528.0 pL\n 181.0  308.0 lineto\n"
		  "  71.0  308.0 lineto\nclosepath } def\ngrestore\ngsave\nviewpath clip\n"
		  "  71.0  528.0 pM\nstroke\ngrestore\ngsave\n  60.0  550.0 pM\n"},
		// Boxes follow the foreground colour (none in colour 0), lines do not.
		{[] { _setcolor(0), gbox(1, 0, 0, 10, 10), glineto(5, 5), _setcolor(3), gbox(2, 0, 0, 10, 10); },
		  "  65.5  544.5 pL\nstroke newpath\n  60.0  550.0 pM\n  71.0  550.0 pL\n  71.0  539.0 pL\n"
		  "  60.0  539.0 pL\n  60.0  550.0 pL\ngsave stroke grestore fill\n"},
		// Text escapes the string syntax; the small font is 10 points.
		{[] { gfprint(0, 0, "a(b)c\\", 7), gsmall_font(), gfprint(0, 0, "", 7); },
		  "  60.0  550.0 pM\n0  -15.3 rmoveto\n  15.9 tR (a\\(b\\)c\\\\) show\n"
		  "  60.0  550.0 pM\n0   -8.8 rmoveto\n  10.0 tR () show\n"},
	};
	for (auto [draw, text] : cases) { // into a copy in progress at the screen's factor 1.1
		ps_reset(), sp.fq = std::fopen("capture.ps", "w");
		gr.psflag = 1, ps.PSXFactor = ps.PSYFactor = 1.1;
		draw(), gr.psflag = 0, std::fclose(sp.fq), sp.fq = nullptr;
		EXPECT_EQ(slurp("capture.ps"), text);
	}
	EXPECT_EQ(ps.PSFontSize, 10.0);
}

// A whole hard copy the way fgkey runs it (its page scale is the end-to-end
// scripts'): what is drawn in between, odd text too, must pass ghostscript.
TEST_F(Printing, WholeHardCopyPassesGhostscript)
{
	ps_reset();
	std::strcpy(sp.port_s, "ps");
	for (int job : {1, 2}) { // the second's file is someone else's: nothing to patch, nothing sent
		gr.psflag = 1;
		ASSERT_TRUE(lpinit());
		psinit(), _setcolor(7), gbox(0, 10, 10, 100, 100), gcircle(1, 50, 50, 20);
		gfprint(120, 40, "C:\\data\\ (odd) \\", 7);
		gviewport(200, 100, 400, 300), glineto(500, 500), gviewport(0, 0, 639, 399);
		if (job == 2)
			std::remove("seis.prn");
		pshcopy(1), gr.psflag = 0;
	}
	EXPECT_FALSE(std::filesystem::exists(p.job(2)));
	EXPECT_EQ(sp.fq, nullptr);
	std::string full = slurp(p.job(1));
	EXPECT_EQ(full.rfind("%!PS-Adobe-2.0 EPSF-2.0\n%%BoundingBox:                    \ninitmatrix\n", 0), 0u);
	EXPECT_EQ(full.substr(full.size() - 16), "stroke\nshowpage\n");
	EXPECT_TRUE(gs_ok(p.job(1)));
	EXPECT_EQ(ps.PSXFactor, 1.1);
}

// The fast number formatter must write what printf would, digit for digit,
// including values at and near rounding halves and negative zero, in every
// width and precision the hard copy uses.
TEST(PostScriptFormat, FixedMatchesPrintf)
{
	std::mt19937_64 rng(5516);
	std::uniform_real_distribution<double> any(-5000.0, 5000.0);
	std::vector<double> vs = {0.0, -0.0, -0.04, -0.05, 0.05, 0.15, 0.25, 2.45, 99999.95, 1234567.0, -1234567.89, 1e20,
				  -1e20, 0.949999999, 60.0, 110.0, -999.94, -999.96, 9999.94, 9999.96, 99999.94, -9999.9, 99999.9};
	for (int k = -2000; k <= 2000; k++)
		vs.insert(vs.end(), {k * 1.1 + 60.0, (400 - k) * 0.55 + 110.0, k * 0.05, k + 0.05});
	for (int i = 0; i < 200000; i++)
		vs.push_back(any(rng));
	char want[64], got[64];
	// The last: the coordinates' own path.
	for (auto [width, prec, own] : {std::tuple(6, 1, false), {6, 2, false}, {3, 1, false}, {8, 3, false}, {6, 1, true}})
		for (double v : vs) {
			std::snprintf(want, sizeof want, "%*.*f", width, prec, v);
			int n = own ? ps_fixed1(got, v) : ps_fixed(got, v, width, prec);
			ASSERT_STREQ(got, want) << v << " " << width << "." << prec << (own ? " own" : "");
			ASSERT_EQ(n, (int)std::strlen(want));
		}
}
