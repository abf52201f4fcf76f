// PostScript hard copy: while psflag is set the plotting layer writes here
// instead of drawing on the screen.
#pragma once

namespace tw {

struct PostScript {
	double PSXFactor, PSYFactor; // points per plotting unit
	short psxoff, psyoff;        // origin of the current viewport
	double PSFontSize;           // current text size in points
};
extern PostScript ps;

void ps_reset();
int ps_fixed(char *out, double v, int width, int prec); // "%*.*f", prec 1-3, out 32 bytes
int ps_fixed1(char *out, double v); // "%6.1f" into out (32 bytes); length
double xps(int x);
double yps(int y);
void psmoveto(int x, int y);
void pslineto(int x, int y);
void psbox(int fill, int x1, int y1, int x2, int y2);
void pscircle(int x, int y, int r);
void pstext(int x, int y, const char *text);
void psviewport(int x1, int y1, int x2, int y2);
void psnormal_font();
void pssmall_font();
void pspen(int width, int style);
void psinit();
void psterm();
void pshcopy(int flag);

} // namespace tw
