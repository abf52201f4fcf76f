// Plotting, window and pixel layers.
#include "device/graph.h"

#include <cstring>

#include "device/ps.h"

namespace tw {

Graph gr;
Backend *be;

void graph_reset()
{
	gr = Graph{};
	gr.forecolor = 7;
	gr.mywidth = 1;
	gr.textmode = 1;
	gr.ft = FONT_NORMAL;
}

// [SECTION] colours

struct ColourDef {
	unsigned char r, g, b;
	const char *name; // asked for when the exact colour cannot be had
};

static constexpr ColourDef colours[12] = {
	{0, 0, 0, nullptr},       {0, 0, 255, "blue"},     {0, 255, 0, "green"},
	{0, 255, 255, "cyan"},    {255, 0, 0, "red"},      {255, 0, 255, "magenta"},
	{255, 255, 0, "yellow"},  {255, 255, 255, "white"}, {130, 130, 130, "gray"},
	{192, 192, 192, "gray"},  {230, 230, 230, "gray"},  {0, 0, 130, "blue"},
};

static unsigned long alloc_number(int n)
{
	bool ok = false;
	unsigned long px;
	if (n >= 0 && n < 12) {
		const ColourDef &c = colours[n];
		px = be->alloc_color(c.r, c.g, c.b, c.name, ok);
	} else {
		px = be->alloc_color(n & 4 ? 255 : 0, n & 2 ? 255 : 0, n & 1 ? 255 : 0, nullptr, ok);
	}
	if (ok)
		return px;
	// Nothing allocatable: 12 to 15 look like 4 to 7, anything else black.
	int m = n & 15;
	if (m >= 12)
		return color2RGB(m - 8);
	return be->black_pixel();
}

// Pixel values are cached per colour number: allocation is a round trip.
unsigned long color2RGB(int colour)
{
	int n = colour & 15;
	if (colour != n)
		return alloc_number(colour);
	if (!gr.have[n]) {
		gr.pix[n] = alloc_number(n);
		gr.have[n] = true;
	}
	return gr.pix[n];
}

void MyLineAttributes() { be->set_gc(gr.mycolor, gr.bkcolor, gr.mywidth, gr.mystyle); }

void _setcolor(int colour)
{
	gr.forecolor = (short)colour;
	gr.mycolor = color2RGB(colour);
	MyLineAttributes();
}

void _setbkcolor(int colour)
{
	gr.bkcolor = color2RGB(colour);
	MyLineAttributes();
}

int _getcolor() { return gr.forecolor; }

// [SECTION] fonts and text

static void select_font(Font f, int fh)
{
	gr.ft = f;
	gr.fh = fh;
	be->set_font(f);
}

void _normal_font() { select_font(FONT_NORMAL, gr.nfh); }
void _small_font() { select_font(FONT_SMALL, gr.sfh); }
void _menu_font() { select_font(FONT_MENU, gr.mfh); }
void _settextmode(int mode) { gr.textmode = mode; }
void _wide_spacing() { gr.widespace = 1; }
void _normal_spacing() { gr.widespace = 0; }
int _gettextextent(const char *text) { return be->text_extent(text, (int)std::strlen(text)); }

void _outgtext(const char *text)
{
	be->text(gr.xo, gr.yo + gr.fh, text, (int)std::strlen(text), gr.textmode != 0);
}

// [SECTION] pixel and window layers

short xx(int x) { return (short)(x + gr.xoff + 4); }
short yy(int y) { return (short)(y + gr.yoff + 45); }

void pmoveto(int x, int y)
{
	gr.xo = (short)x;
	gr.yo = (short)y;
}

void plineto(int x, int y)
{
	be->line(gr.xo, gr.yo, (short)x, (short)y);
	pmoveto(x, y);
}

void prectangle(int fill, int x1, int y1, int x2, int y2)
{
	be->rect(fill == 1, (short)x1, (short)y1, (short)(x2 - x1), (short)(y2 - y1));
}

void _setviewport(int x1, int y1, int x2, int y2)
{
	if (x1 == 0 && y1 == 0 && x2 == 639 && y2 == 399)
		be->set_clip(0, 0, WIN_W, WIN_H);
	else
		be->set_clip(x1 + 4, y1 + 45, x2 - x1, y2 - y1);
	gr.xoff = (short)x1;
	gr.yoff = (short)y1;
}

void _moveto(int x, int y) { pmoveto(xx(x), yy(y)); }
void _lineto(int x, int y) { plineto(xx(x), yy(y)); }

void _rectangle(int fill, int x1, int y1, int x2, int y2)
{
	prectangle(fill, xx(x1), yy(y1), xx(x2), yy(y2));
}

void _circle(int fill, int x, int y, int r)
{
	if (r == 0)
		be->point(xx(x), yy(y));
	else
		be->arc(fill != 0, xx(x) - r, yy(y) - r, 2 * r, 2 * r);
}

void _fillpolygon(const short (*pts)[2], int n)
{
	short dev[10][2];
	if (n > 10)
		n = 10;
	for (int i = 0; i < n; i++) {
		dev[i][0] = xx(pts[i][0]);
		dev[i][1] = yy(pts[i][1]);
	}
	be->polygon(dev, n);
}

void _getimage() { be->grab_image(); }

int _getpixel(int x, int y)
{
	return be->image_pixel(xx(x), yy(y)) != be->black_pixel();
}

// [SECTION] plotting layer

void gviewport(int x1, int y1, int x2, int y2)
{
	if (gr.psflag)
		psviewport(x1, y1, x2, y2);
	else
		_setviewport(x1, y1, x2, y2);
}

void gmoveto(int x, int y)
{
	if (gr.psflag)
		psmoveto(x, y);
	else
		_moveto(x, y);
}

void glineto(int x, int y)
{
	if (gr.psflag)
		pslineto(x, y);
	else
		_lineto(x, y);
}

void gbox(int fill, int x1, int y1, int x2, int y2)
{
	if (gr.psflag)
		psbox(fill, x1, y1, x2, y2);
	else
		_rectangle(fill != 0, x1, y1, x2, y2);
}

void gcircle(int fill, int x, int y, int r)
{
	if (gr.psflag)
		pscircle(x, y, r);
	else
		_circle(fill, x, y, r);
}

// The hard copy has no filled polygons: this always draws on the screen.
void gfillpolygon(const int *x, const int *y, int n)
{
	short pts[10][2];
	if (n > 10)
		n = 10;
	for (int i = 0; i < n; i++) {
		pts[i][0] = (short)x[i];
		pts[i][1] = (short)y[i];
	}
	_fillpolygon(pts, n);
}

static int half(int s, double f) { return (int)(s * f + 0.5); }

static void outline(const int (*pt)[2], int n)
{
	gmoveto(pt[0][0], pt[0][1]);
	for (int i = 1; i < n; i++)
		glineto(pt[i][0], pt[i][1]);
}

void gsymbol(int x, int y, int s, int kind)
{
	int d;
	switch (kind) {
	case 1:
		d = half(s, 0.85);
		gmoveto(x - d, y + d), glineto(x + d, y - d - 1);
		gmoveto(x - d, y - d), glineto(x + d, y + d + 1);
		break;
	case 2: {
		const int p[4][2] = {{x - s, y + s}, {x + s, y + s}, {x, y - s}, {x - s, y + s}};
		outline(p, 4);
		break;
	}
	case 3: {
		const int p[4][2] = {{x - s, y - s}, {x + s, y - s}, {x, y + s}, {x - s, y - s}};
		outline(p, 4);
		break;
	}
	case 5:
		d = half(s, 0.9);
		gbox(0, x - d, y - d, x + d, y + d);
		break;
	case 6: {
		d = half(s, 1.13);
		const int p[5][2] = {{x - d, y}, {x, y - d}, {x + d, y}, {x, y + d}, {x - d, y}};
		outline(p, 5);
		break;
	}
	case 7:
		d = half(s, 1.1);
		gmoveto(x - d + 1, y), glineto(x + d, y);
		gmoveto(x, y - d), glineto(x, y + d);
		break;
	default:
		gcircle(0, x, y, s);
	}
}

void gfprint(int x, int y, const char *text, int colour)
{
	gmoveto(x, y);
	if (gr.psflag) {
		pstext(x, y, text);
		return;
	}
	_setcolor(colour);
	_outgtext(text);
}

void gprint(int column, int row, const char *text, int colour)
{
	gfprint((column - 1) * 8, (row - 1) * 15, text, colour);
}

void gnormal_font()
{
	if (gr.psflag)
		psnormal_font();
	else
		_normal_font();
}

void gsmall_font()
{
	if (gr.psflag)
		pssmall_font();
	else
		_small_font();
}

// [SECTION] crosshair

void gcursor(int xmin, int ymin, int xmax, int ymax, int *x, int *y, int mark)
{
	be->define_cursor(CURSOR_CROSS);
	be->warp_pointer(xx(*x), yy(*y));
	InputEvent ev;
	int px, py;
	for (;;) {
		be->next_event(ev);
		if (ev.kind == EvKind::expose) {
			be->show_pixmap();
			continue;
		}
		if (ev.kind != EvKind::button)
			continue;
		px = ev.x - gr.xoff - 4;
		py = ev.y - gr.yoff - 45;
		if (px >= xmin && px <= xmax && py >= ymin && py <= ymax)
			break;
		be->bell();
	}
	*x = px;
	*y = py;
	if (mark) {
		_setcolor(2);
		_moveto(px, py - 5), _lineto(px, py + 5);
		_moveto(px - 5, py), _lineto(px + 5, py);
	}
	be->define_cursor(CURSOR_ARROW);
}

} // namespace tw
