// Plotting layer (g calls: screen or PostScript by psflag), window layer
// (_ calls: plotting coordinates, always the screen) and pixel layer (p
// calls: window coordinates).
#pragma once
#include "device/seam.h"

namespace tw {

struct Graph {
	int psflag;              // 0 screen, 1 full-size hard copy, 2 half-size
	short xoff, yoff;        // origin of the current viewport
	short xo, yo;            // pen position, window coordinates
	short forecolor;         // current foreground colour number
	unsigned long mycolor;   // pixel value of forecolor
	unsigned long bkcolor;   // pixel value of the background colour
	int mywidth;             // screen line width, always 1
	int mystyle;             // screen line style, always solid
	int textmode;            // 1 text with background, 0 glyphs only
	int widespace;           // 0 text rows 16 pixels apart, 1 17 pixels
	Font ft;                 // current font
	int fh;                  // its height offset (baseline below the top)
	int nfh, sfh, mfh;       // height offsets of the normal, small, menu fonts
	int fontmode;            // 1 when the menu font is the "6x13" fallback
	unsigned long pix[16];   // allocated pixel value per colour number
	bool have[16];           // pix[] filled
};
extern Graph gr;

void graph_reset(); // initial values, forgets allocated colours

// Plotting layer.
void gviewport(int x1, int y1, int x2, int y2);
void gmoveto(int x, int y);
void glineto(int x, int y);
void gbox(int fill, int x1, int y1, int x2, int y2);
void gcircle(int fill, int x, int y, int r);
void gfillpolygon(const int *x, const int *y, int n);
void gsymbol(int x, int y, int size, int kind);
void gfprint(int x, int y, const char *text, int colour);
void gprint(int column, int row, const char *text, int colour);
void gnormal_font();
void gsmall_font();

// Window layer.
void _setviewport(int x1, int y1, int x2, int y2);
void _moveto(int x, int y);
void _lineto(int x, int y);
void _rectangle(int fill, int x1, int y1, int x2, int y2);
void _circle(int fill, int x, int y, int r);
void _fillpolygon(const short (*pts)[2], int n);
void _outgtext(const char *text);
void _setcolor(int colour);
void _setbkcolor(int colour);
int _getcolor();
void _normal_font();
void _small_font();
void _menu_font();
void _settextmode(int mode);
void _wide_spacing();
void _normal_spacing();
int _gettextextent(const char *text);
void _getimage();
int _getpixel(int x, int y);
short xx(int x);
short yy(int y);
unsigned long color2RGB(int colour);
void MyLineAttributes();
void gcursor(int xmin, int ymin, int xmax, int ymax, int *x, int *y, int mark);

// Pixel layer.
void pmoveto(int x, int y);
void plineto(int x, int y);
void prectangle(int fill, int x1, int y1, int x2, int y2);

} // namespace tw
