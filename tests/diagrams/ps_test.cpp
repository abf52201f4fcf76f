// PostScript hard copy: the exact text of each operation, the finished file
// with its page scale, and ghostscript's verdict on what we write.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "device/graph.h"
#include "device/ps.h"
#include "device/spool.h"
#include "diag_support.h"
#include "recording.h"

using namespace tw;

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

TEST(PostScript, OperationTexts)
{
	PsCapture c;
	gmoveto(100, 200);
	gcircle(0, 100, 200, 5);
	pspen(5, 0);
	EXPECT_EQ(c.text(), " 170.0  330.0 pM\n"
			    " 175.5  330.0 pM\n"
			    " 170.0  330.0    5.5    0.0  360.0 arc\n"
			    "stroke\n  1.10 setlinewidth\n[] 0 setdash\n");
}

TEST(PostScript, PenLeavesNegativeAttributesAlone)
{
	PsCapture c;
	pspen(-1, 1);
	pspen(-1, -1);
	pspen(0, 7);
	EXPECT_EQ(c.text(), "stroke\n[6 2 2 2] 0 setdash\n"
			    "stroke\n  0.00 setlinewidth\n");
	gr.psflag = 0; // no copy in progress: nothing at all
	pspen(3, 0);
	EXPECT_EQ(c.text(), "stroke\n[6 2 2 2] 0 setdash\n"
			    "stroke\n  0.00 setlinewidth\n");
}

TEST(PostScript, ViewportMovesTheOrigin)
{
	PsCapture c;
	gviewport(10, 20, 110, 220);
	gmoveto(0, 0);
	gviewport(0, 0, 639, 399);
	gmoveto(0, 0);
	EXPECT_EQ(c.text(), "/viewpath { newpath   71.0  528.0 pM\n"
			    " 181.0  528.0 pL\n"
			    " 181.0  308.0 lineto\n"
			    "  71.0  308.0 lineto\n"
			    "closepath } def\n"
			    "grestore\ngsave\nviewpath clip\n"
			    "  71.0  528.0 pM\n"
			    "stroke\ngrestore\ngsave\n"
			    "  60.0  550.0 pM\n");
}

TEST(PostScript, BoxesFollowTheForegroundColour)
{
	PsCapture c;
	_setcolor(0);
	gbox(1, 0, 0, 10, 10);
	EXPECT_EQ(c.text(), "");
	glineto(5, 5); // lines are written whatever the colour
	_setcolor(3);
	gbox(2, 0, 0, 10, 10);
	EXPECT_EQ(c.text(), "  65.5  544.5 pL\n"
			    "stroke newpath\n"
			    "  60.0  550.0 pM\n  71.0  550.0 pL\n  71.0  539.0 pL\n"
			    "  60.0  539.0 pL\n  60.0  550.0 pL\n"
			    "gsave stroke grestore fill\n");
}

TEST(PostScript, TextEscapesStringSyntax)
{
	PsCapture c;
	gfprint(0, 0, "a(b)c\\", 7);
	gsmall_font();
	gfprint(0, 0, "", 7);
	EXPECT_EQ(c.text(), "  60.0  550.0 pM\n0  -15.3 rmoveto\n  15.9 tR (a\\(b\\)c\\\\) show\n"
			    "  60.0  550.0 pM\n0   -8.8 rmoveto\n  10.0 tR () show\n");
	EXPECT_EQ(ps.PSFontSize, 10.0);
}
