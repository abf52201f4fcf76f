// PostScript hard copy: the prologue, one text form per plotting call, and
// the page scale patched into the finished file before it is spooled.
#include "device/ps.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "device/graph.h"
#include "device/spool.h"

namespace tw {

PostScript ps;

void ps_reset()
{
	ps = PostScript{};
	ps.PSFontSize = 15.95;
}

// Static initialisation gives the start-of-program font size without a call.
[[maybe_unused]] static const bool ps_started = (ps_reset(), true);

static void psout(const char *fmt, ...) __attribute__((format(printf, 1, 2)));

static void psout(const char *fmt, ...)
{
	if (!sp.fq)
		return;
	va_list ap;
	va_start(ap, fmt);
	std::vfprintf(sp.fq, fmt, ap);
	va_end(ap);
}

// "%6.1f" without printf's generality, for the coordinate pairs that make
// up most of a map. Values within a hair of a rounding half are left to
// snprintf, so the text is the same byte for byte.
int ps_fixed1(char *out, double v)
{
	double t = v * 10.0, f = std::floor(t), frac = t - f;
	if (!(std::fabs(t) < 1e15) || std::fabs(frac - 0.5) < 1e-6)
		return std::snprintf(out, 32, "%6.1f", v);
	long long n = (long long)f + (frac > 0.5);
	bool neg = std::signbit(v); // printf keeps the sign of a value rounded to 0
	unsigned long long a = n < 0 ? -(unsigned long long)n : n;
	char tmp[32], *p = tmp + sizeof tmp;
	*--p = (char)('0' + a % 10);
	*--p = '.';
	a /= 10;
	do
		*--p = (char)('0' + a % 10);
	while (a /= 10);
	if (neg)
		*--p = '-';
	int len = (int)(tmp + sizeof tmp - p), pad = len < 6 ? 6 - len : 0;
	std::memset(out, ' ', pad);
	std::memcpy(out + pad, p, len);
	out[pad + len] = 0;
	return pad + len;
}

// One "x y op" line of a path.
static void psxy(double x, double y, const char *op)
{
	if (!sp.fq)
		return;
	char line[96];
	int n = ps_fixed1(line, x);
	line[n++] = ' ';
	n += ps_fixed1(line + n, y);
	line[n++] = ' ';
	std::memcpy(line + n, op, 3);
	std::fwrite(line, 1, n + 3, sp.fq);
}

// [SECTION] transform

double xps(int x) { return ((short)x + ps.psxoff) * ps.PSXFactor + 60.0; }
double yps(int y) { return (400 - (short)y - ps.psyoff) * ps.PSYFactor + 110.0; }

// [SECTION] drawing

void psmoveto(int x, int y) { psxy(xps(x), yps(y), "pM\n"); }
void pslineto(int x, int y) { psxy(xps(x), yps(y), "pL\n"); }

void psbox(int fill, int x1, int y1, int x2, int y2)
{
	// Colour 0 is the black background of the diagrams: on paper it would
	// be an outline that is not on the screen.
	if (_getcolor() == 0)
		return;
	if (fill)
		psout("stroke newpath\n");
	psmoveto(x1, y1);
	pslineto(x2, y1);
	pslineto(x2, y2);
	pslineto(x1, y2);
	pslineto(x1, y1);
	if (fill)
		psout("gsave stroke grestore fill\n");
}

void pscircle(int x, int y, int r)
{
	psmoveto(x + r, y);
	psout("%6.1f %6.1f %6.1f %6.1f %6.1f arc\n", xps(x), yps(y), r * ps.PSXFactor, 0.0, 360.0);
}

// Parentheses and the backslash are the string syntax's own characters: a
// lone one would end the string early or swallow the next character.
void pstext(int, int, const char *text)
{
	psout("0 %6.1f rmoveto\n", -(ps.PSFontSize - 2.0) * ps.PSYFactor);
	psout("%6.1f tR (", ps.PSFontSize);
	for (const char *c = text; *c; c++) {
		if (*c == '(' || *c == ')' || *c == '\\')
			psout("\\");
		psout("%c", *c);
	}
	psout(") show\n");
}

void psviewport(int x1, int y1, int x2, int y2)
{
	ps.psxoff = (short)x1;
	ps.psyoff = (short)y1;
	if (x1 == 0 && y1 == 0 && x2 == 639 && y2 == 399) {
		psout("stroke\ngrestore\ngsave\n");
		return;
	}
	double X1 = x1 * ps.PSXFactor + 60.0, Y1 = (400 - y1) * ps.PSYFactor + 110.0;
	double X2 = x2 * ps.PSXFactor + 60.0, Y2 = (400 - y2) * ps.PSYFactor + 110.0;
	psout("/viewpath { newpath %6.1f %6.1f pM\n", X1, Y1);
	psout("%6.1f %6.1f pL\n", X2, Y1);
	psout("%6.1f %6.1f lineto\n", X2, Y2);
	psout("%6.1f %6.1f lineto\n", X1, Y2);
	psout("closepath } def\n");
	psout("grestore\ngsave\nviewpath clip\n");
}

void psnormal_font() { ps.PSFontSize = 15.95; }
void pssmall_font() { ps.PSFontSize = 10.0; }

void pspen(int width, int style)
{
	if (!gr.psflag)
		return;
	if (width >= 0 || style >= 0)
		psout("stroke\n");
	if (width >= 0)
		psout("%6.2f setlinewidth\n", width == 0 ? 0.0 : width * 0.2 + 0.1);
	if (style == 1)
		psout("[6 2 2 2] 0 setdash\n");
	else if (style == 0)
		psout("[] 0 setdash\n");
}

// [SECTION] file

static constexpr const char *prologue[] = {
	"%!PS-Adobe-2.0 EPSF-2.0",
	"%%BoundingBox:                    ", // 20 blanks, never filled in
	"initmatrix",
	"/pM {stroke newpath moveto} def",
	"/pL {lineto} def",
	"/pQ {moveto} def",
	"2 setlinejoin",
	"/tR {/Times-Roman findfont exch scalefont setfont} def",
	"/tI {/Times-Italic findfont exch scalefont setfont} def",
	"/tB {/Times-Bold findfont exch scalefont setfont} def",
	"/hV {/Helvetica-Bold findfont exch scalefont setfont}def",
	"590 5 translate",
	"90 rotate",
	"        scale", // the 14th line: pshcopy writes the page scale here
};

void psinit()
{
	for (const char *line : prologue)
		psout("%s\n", line);
	pspen(2, 0);
	psout("gsave\nnewpath\n");
	ps.PSXFactor = ps.PSYFactor = 440.0 / 400.0;
}

void psterm() { psout("stroke\nshowpage\n"); }

// Offset of the 14th line, read the way the lines were written: at most 80
// characters a read.
static long scale_offset()
{
	char line[81];
	long off = 0;
	for (int i = 0; i < 13; i++) {
		if (!std::fgets(line, sizeof line, sp.fq))
			return -1;
		off += (long)std::strlen(line);
	}
	return off;
}

void pshcopy(int flag)
{
	psterm();
	if (!pfile_close() || !pfile_open("r+"))
		return;
	long off = scale_offset();
	if (off < 0 || std::fseek(sp.fq, off, SEEK_SET) != 0) {
		pfile_close(); // not our file any more: print nothing
		return;
	}
	double s = (3 - flag) * 0.5;
	std::fprintf(sp.fq, "%3.1f %3.1f", s, s);
	lpclose();
}

} // namespace tw
