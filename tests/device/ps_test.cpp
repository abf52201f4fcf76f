// PostScript hard copy: the exact text of each operation, the finished file
// with its page scale, and ghostscript's verdict on what we write.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <utility>

#include "device/graph.h"
#include "device/ps.h"
#include "device/spool.h"
#include "files.h"
#include "recording.h"

using namespace tw;
using test::PrintPlace;
using test::gs_ok;
using test::slurp;

namespace {

// Captures what the ps calls write while a copy is in progress.
struct PsCapture {
	Recording r;
	char path[64] = "/tmp/tw_ps_XXXXXX";
	PsCapture(int flag = 1)
	{
		use_recording(r);
		ps_reset();
		int fd = mkstemp(path);
		sp.fq = fdopen(fd, "w");
		gr.psflag = flag;
		ps.PSXFactor = ps.PSYFactor = 1.1;
	}
	std::string text()
	{
		std::fflush(sp.fq);
		return slurp(path);
	}
	~PsCapture()
	{
		if (sp.fq)
			std::fclose(sp.fq);
		sp.fq = nullptr;
		gr.psflag = 0;
		std::remove(path);
	}
};

} // namespace

// Each drawing on a fresh copy in progress, and exactly what it writes.
TEST(PostScript, OperationTexts)
{
	const std::pair<void (*)(), const char *> cases[] = {
		{[] { gmoveto(100, 200); gcircle(0, 100, 200, 5); pspen(5, 0); },
		  " 170.0  330.0 pM\n"
		  " 175.5  330.0 pM\n"
		  " 170.0  330.0    5.5    0.0  360.0 arc\n"
		  "stroke\n  1.10 setlinewidth\n[] 0 setdash\n"},
		// The fill flag does not reach paper.
		{[] { gcircle(1, 100, 200, 5); }, " 175.5  330.0 pM\n 170.0  330.0    5.5    0.0  360.0 arc\n"},
		// The pen leaves negative attributes alone.
		{[] { pspen(-1, 1); pspen(-1, -1); pspen(0, 7); },
		  "stroke\n[6 2 2 2] 0 setdash\nstroke\n  0.00 setlinewidth\n"},
		// No copy in progress: nothing at all.
		{[] { gr.psflag = 0; pspen(3, 0); glineto(5, 5); }, ""},
		// The viewport moves the origin.
		{[] { gviewport(10, 20, 110, 220); gmoveto(0, 0); gviewport(0, 0, 639, 399); gmoveto(0, 0); },
		  "/viewpath { newpath   71.0  528.0 pM\n"
		  " 181.0  528.0 pL\n"
		  " 181.0  308.0 lineto\n"
		  "  71.0  308.0 lineto\n"
		  "closepath } def\n"
		  "grestore\ngsave\nviewpath clip\n"
		  "  71.0  528.0 pM\n"
		  "stroke\ngrestore\ngsave\n"
		  "  60.0  550.0 pM\n"},
		// Boxes follow the foreground colour (none in colour 0), lines do not.
		{[] { _setcolor(0); gbox(1, 0, 0, 10, 10); glineto(5, 5); _setcolor(3); gbox(2, 0, 0, 10, 10); },
		  "  65.5  544.5 pL\n"
		  "stroke newpath\n"
		  "  60.0  550.0 pM\n  71.0  550.0 pL\n  71.0  539.0 pL\n"
		  "  60.0  539.0 pL\n  60.0  550.0 pL\n"
		  "gsave stroke grestore fill\n"},
		// Text escapes the string syntax; the small font is 10 points.
		{[] { gfprint(0, 0, "a(b)c\\", 7); gsmall_font(); gfprint(0, 0, "", 7); },
		  "  60.0  550.0 pM\n0  -15.3 rmoveto\n  15.9 tR (a\\(b\\)c\\\\) show\n"
		  "  60.0  550.0 pM\n0   -8.8 rmoveto\n  10.0 tR () show\n"},
	};
	for (auto [draw, text] : cases) {
		PsCapture c;
		draw();
		EXPECT_EQ(c.text(), text);
	}
	EXPECT_EQ(ps.PSFontSize, 10.0);
}

namespace {

// One whole hard copy the way fgkey runs it, with a picture in between.
void hard_copy(int flag, void (*picture)())
{
	gr.psflag = flag;
	ASSERT_TRUE(lpinit());
	psinit();
	picture();
	pshcopy(flag);
	gr.psflag = 0;
}

void picture()
{
	_setcolor(7);
	gbox(0, 10, 10, 100, 100);
	gcircle(1, 50, 50, 20);
	gfprint(120, 40, "C:\\data\\ (odd) \\", 7);
	gviewport(200, 100, 400, 300);
	glineto(500, 500);
	gviewport(0, 0, 639, 399);
}

} // namespace

TEST(PostScript, PrologueAndPageScale)
{
	Recording r;
	use_recording(r);
	ps_reset();
	PrintPlace d;
	std::snprintf(sp.port_s, sizeof sp.port_s, "ps");
	hard_copy(1, picture);
	hard_copy(2, picture);
	std::string full = slurp(d.job(1)), half = slurp(d.job(2));
	const std::string head = "%!PS-Adobe-2.0 EPSF-2.0\n"
				 "%%BoundingBox:                    \n"
				 "initmatrix\n"
				 "/pM {stroke newpath moveto} def\n"
				 "/pL {lineto} def\n"
				 "/pQ {moveto} def\n"
				 "2 setlinejoin\n"
				 "/tR {/Times-Roman findfont exch scalefont setfont} def\n"
				 "/tI {/Times-Italic findfont exch scalefont setfont} def\n"
				 "/tB {/Times-Bold findfont exch scalefont setfont} def\n"
				 "/hV {/Helvetica-Bold findfont exch scalefont setfont}def\n"
				 "590 5 translate\n"
				 "90 rotate\n";
	EXPECT_EQ(full.substr(0, head.size()), head);
	const std::string rest = "1.0 1.0 scale\n"
				 "stroke\n  0.50 setlinewidth\n[] 0 setdash\n"
				 "gsave\nnewpath\n"
				 "  71.0  539.0 pM\n";
	EXPECT_EQ(full.substr(head.size(), rest.size()), rest);
	EXPECT_EQ(half.substr(head.size(), 14), "0.5 0.5 scale\n");
	EXPECT_EQ(full.substr(0, head.size()), half.substr(0, head.size()));
	EXPECT_EQ(full.substr(head.size() + 14), half.substr(head.size() + 14));
	EXPECT_EQ(full.substr(full.size() - 16), "stroke\nshowpage\n");
	EXPECT_NE(full.find("(C:\\\\data\\\\ \\(odd\\) \\\\) show"), std::string::npos);
	EXPECT_TRUE(gs_ok(d.job(1)));
	EXPECT_TRUE(gs_ok(d.job(2)));
	EXPECT_EQ(ps.PSXFactor, 1.1);
}

TEST(PostScript, FileGoneBeforeTheScaleIsNotPrinted)
{
	Recording r;
	use_recording(r);
	PrintPlace d;
	gr.psflag = 1;
	ASSERT_TRUE(lpinit());
	psinit();
	std::remove("seis.prn"); // someone else's now: nothing to patch
	pshcopy(1);
	gr.psflag = 0;
	EXPECT_TRUE(slurp(d.job(1)).empty());
	EXPECT_EQ(sp.fq, nullptr);
}

// The fast number formatter must write what printf would, digit for digit,
// including values at and near rounding halves and negative zero, in every
// width and precision the hard copy uses.
TEST(PostScriptFormat, FixedMatchesPrintf)
{
	std::mt19937_64 rng(5516);
	std::uniform_real_distribution<double> any(-5000.0, 5000.0);
	std::vector<double> vs = {0.0, -0.0, -0.04, -0.05, 0.05, 0.15, 0.25, 2.45, 99999.95,
				  1234567.0, -1234567.89, 1e20, -1e20, 0.949999999, 60.0, 110.0,
				  -999.94, -999.96, 9999.94, 9999.96, 99999.94, -9999.9, 99999.9};
	for (int k = -2000; k <= 2000; k++) {
		vs.push_back(k * 1.1 + 60.0);
		vs.push_back((400 - k) * 0.55 + 110.0);
		vs.push_back(k * 0.05);
		vs.push_back(k + 0.05);
	}
	for (int i = 0; i < 200000; i++)
		vs.push_back(any(rng));
	char want[64], got[64];
	for (auto [width, prec] : {std::pair(6, 1), {6, 2}, {3, 1}, {8, 3}})
		for (double v : vs) {
			std::snprintf(want, sizeof want, "%*.*f", width, prec, v);
			int n = ps_fixed(got, v, width, prec);
			ASSERT_STREQ(got, want) << v << " " << width << "." << prec;
			ASSERT_EQ(n, (int)std::strlen(want));
			if (width == 6 && prec == 1) { // the coordinates' own path
				ASSERT_EQ(n, ps_fixed1(got, v));
				ASSERT_STREQ(got, want) << v;
			}
		}
}
