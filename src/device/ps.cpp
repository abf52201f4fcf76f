// PostScript hard copy: the prologue, one text form per plotting call, and
// the page scale patched into the finished file before it is spooled.
#include "device/ps.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>

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

static void psout(const char *text)
{
	if (sp.fq)
		std::fputs(text, sp.fq);
}

static constexpr double SCALE[] = {1, 10, 100, 1000};

// printf's "%W.Pf" (P from 1 to 3) without printf's generality, for the
// numbers that make up most of a page. Values within a hair of a rounding
// half are left to snprintf, so the text is the same byte for byte.
int ps_fixed(char *out, double v, int width, int prec)
{
	double t = v * SCALE[prec];
	long long f = std::fabs(t) < 1e15 ? (long long)t : 0;
	f -= t < (double)f; // floor, without a library call
	double frac = t - (double)f;
	if (!(std::fabs(t) < 1e15) || std::fabs(frac - 0.5) < 1e-6) {
		int len = std::snprintf(out, 32, "%*.*f", width, prec, v);
		return len < 32 ? len : 31; // what fits: callers size lines by it
	}
	long long n = f + (frac > 0.5);
	bool neg = std::signbit(v); // printf keeps the sign of a value rounded to 0
	unsigned long long a = n < 0 ? -(unsigned long long)n : n;
	char tmp[32], *p = tmp + sizeof tmp;
	for (int i = 0; i < prec; i++, a /= 10)
		*--p = (char)('0' + a % 10);
	*--p = '.';
	do
		*--p = (char)('0' + a % 10);
	while (a /= 10);
	if (neg)
		*--p = '-';
	// Short copies in plain loops: a library call costs more than the bytes.
	char *o = out;
	for (int pad = width - (int)(tmp + sizeof tmp - p); pad > 0; pad--)
		*o++ = ' ';
	while (p < tmp + sizeof tmp)
		*o++ = *p++;
	*o = 0;
	return (int)(o - out);
}

// The coordinates of a page, in the six characters they take as "%6.1f":
// filled from the right in one pass, without the general case's loops.
int ps_fixed1(char *out, double v)
{
	double t = v * 10.0;
	long long f = t > -1e6 && t < 1e6 ? (long long)t : 0;
	f -= t < (double)f;
	double frac = t - (double)f;
	if (!(t > -1e6 && t < 1e6) || std::fabs(frac - 0.5) < 1e-6)
		return ps_fixed(out, v, 6, 1);
	long long n = f + (frac > 0.5);
	bool neg = std::signbit(v);
	unsigned a = (unsigned)(n < 0 ? -n : n);
	char s[7];
	s[5] = (char)('0' + a % 10), a /= 10;
	s[4] = '.';
	s[3] = (char)('0' + a % 10), a /= 10;
	for (int i = 2; i >= 0; i--) {
		if (a) {
			s[i] = (char)('0' + a % 10), a /= 10;
		} else {
			s[i] = neg ? '-' : ' ';
			neg = false;
		}
	}
	if (a || neg) // wider than six
		return ps_fixed(out, v, 6, 1);
	s[6] = 0;
	std::memcpy(out, s, 7);
	return 6;
}

namespace {

// A page has many points on few pixel rows and columns: the text of each
// coordinate is kept with the value it was made from (bit for bit, so 0
// and -0 stay apart) and copied while the value comes again.
struct Memo {
	unsigned long long bits = ~0ULL; // no double has these bits from xps or yps
	char s[8];
};
Memo memo[2][1024]; // x, y by pixel position modulo 1024

int memo_text(char *out, double v, Memo &m)
{
	unsigned long long bits;
	std::memcpy(&bits, &v, sizeof bits);
	if (m.bits != bits) {
		if (ps_fixed1(m.s, v) != 6) // only the usual six characters are kept
			return ps_fixed1(out, v);
		m.bits = bits;
	}
	std::memcpy(out, m.s, 6);
	return 6;
}

// One line of output built in place and written with one call; a line
// longer than the buffer (a long text) goes out in pieces.
struct Line {
	char b[256];
	int n = 0;
	Line &nums(std::initializer_list<double> vs) // "%6.1f " each
	{
		for (double v : vs) {
			if (n > (int)sizeof b - 40)
				write(); // room for the longest number
			n += ps_fixed1(b + n, v);
			b[n++] = ' ';
		}
		return *this;
	}
	Line &xy(int x, int y) // "%6.1f %6.1f " of a pixel position on the page
	{
		n += memo_text(b + n, xps(x), memo[0][x & 1023]);
		b[n++] = ' ';
		n += memo_text(b + n, yps(y), memo[1][y & 1023]);
		b[n++] = ' ';
		return *this;
	}
	Line &put(const char *s)
	{
		while (*s)
			putc(*s++);
		return *this;
	}
	void putc(char c)
	{
		if (n == (int)sizeof b)
			write();
		b[n++] = c;
	}
	void write()
	{
		if (sp.fq)
			fwrite_unlocked(b, 1, n, sp.fq); // one thread: no lock per line
		n = 0;
	}
};

} // namespace

// [SECTION] transform

double xps(int x) { return ((short)x + ps.psxoff) * ps.PSXFactor + 60.0; }
double yps(int y) { return (400 - (short)y - ps.psyoff) * ps.PSYFactor + 110.0; }

// [SECTION] drawing

void psmoveto(int x, int y) { Line().xy(x, y).put("pM\n").write(); }
void pslineto(int x, int y) { Line().xy(x, y).put("pL\n").write(); }

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
	// The angles are always 0 and 360: their text is fixed.
	Line().xy(x, y).nums({r * ps.PSXFactor}).put("   0.0  360.0 arc\n").write();
}

// Parentheses and the backslash are the string syntax's own characters: a
// lone one would end the string early or swallow the next character.
void pstext(int, int, const char *text)
{
	Line().put("0 ").nums({-(ps.PSFontSize - 2.0) * ps.PSYFactor}).put("rmoveto\n").write();
	Line l;
	l.nums({ps.PSFontSize}).put("tR (");
	for (const char *c = text; *c; c++) {
		if (*c == '(' || *c == ')' || *c == '\\')
			l.putc('\\');
		l.putc(*c);
	}
	l.put(") show\n").write();
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
	Line().put("/viewpath { newpath ").nums({X1, Y1}).put("pM\n").write();
	Line().nums({X2, Y1}).put("pL\n").write();
	Line().nums({X2, Y2}).put("lineto\n").write();
	Line().nums({X1, Y2}).put("lineto\n").write();
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
	if (width >= 0) {
		Line l;
		l.n = ps_fixed(l.b, width == 0 ? 0.0 : width * 0.2 + 0.1, 6, 2);
		l.put(" setlinewidth\n").write();
	}
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
	// Straight after the file is opened, before its first byte: a larger
	// buffer means fewer writes for a map of many thousand lines.
	if (sp.fq)
		std::setvbuf(sp.fq, nullptr, _IOFBF, 1 << 16);
	for (const char *line : prologue)
		Line().put(line).put("\n").write();
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
	Line l;
	l.n = ps_fixed(l.b, s, 3, 1);
	l.b[l.n++] = ' ';
	l.n += ps_fixed(l.b + l.n, s, 3, 1);
	l.write();
	lpclose();
}

} // namespace tw
