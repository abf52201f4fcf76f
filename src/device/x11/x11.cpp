// The X11 back end: the only file that talks to Xlib. One struct owns every
// X resource and frees them in reverse order at exit.
//
// Everything is drawn once, into the backing pixmap; the area drawn since
// the last flush is copied to the window at the flush (and before waiting
// for input or reading the window back). Drawing each primitive on both
// drawables in turn cost the server twice the work and broke up batching.
#include "device/x11/x11.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "device/seam.h"

namespace tw {

namespace {

constexpr const char *FONTNAME[3] = {"*-courier-medium-r-*-14-*", "7x14",
				     "*-palatino-medium-r-*-12-*"};

struct XWindow final : Backend {
	Display *d = nullptr;
	Window w = 0;
	Pixmap p = 0;
	GC gc = nullptr;
	GC copy = nullptr; // pixmap to window, no clip, no graphics exposures
	Cursor cs = 0;
	XFontStruct *font[3] = {};
	::Font fid[3] = {};
	tw::Font cur = FONT_NORMAL;
	XImage *im = nullptr;
	int fontmode_ = 0;
	bool menu_font_missing = false;
	int lw = 0;                          // current line width
	int dx0 = WIN_W, dy0 = WIN_H, dx1 = -1, dy1 = -1; // drawn since the last copy

	void damage(int x0, int y0, int x1, int y1, int margin);
	void present();

	~XWindow() override;
	bool open();
	void load_fonts();

	unsigned long alloc_color(int r, int g, int b, const char *name, bool &ok) override;
	unsigned long black_pixel() override { return BlackPixel(d, DefaultScreen(d)); }
	void set_gc(unsigned long fg, unsigned long bg, int width, int style) override;
	void set_font(tw::Font f) override;
	int font_ascent(tw::Font f) override { return font[f] ? font[f]->max_bounds.ascent : 12; }
	int text_extent(const char *s, int n) override;
	int fontmode() override { return fontmode_; }
	void set_clip(int x, int y, int w, int h) override;
	void line(int x1, int y1, int x2, int y2) override;
	void point(int x, int y) override;
	void rect(bool fill, int x, int y, int w, int h) override;
	void arc(bool fill, int x, int y, int w, int h) override;
	void polygon(const short (*pts)[2], int n) override;
	void text(int x, int baseline, const char *s, int n, bool image) override;
	void show_pixmap() override;
	void grab_image() override;
	unsigned long image_pixel(int x, int y) override;
	void next_event(InputEvent &ev) override;
	int event_fd() override { return ConnectionNumber(d); }
	bool poll_event(InputEvent &ev) override;
	void define_cursor(PointerShape c) override;
	void warp_pointer(int x, int y) override { XWarpPointer(d, None, w, 0, 0, 0, 0, x, y); }
	void bell() override { XBell(d, 0); }
	void flush() override
	{
		present();
		XFlush(d);
	}
};

XWindow *xw; // for the error handler

// Only an unknown font name matters: the menu font then falls back.
int ehandler(Display *, XErrorEvent *e)
{
	if (e->error_code == BadName && e->request_code == 45 && xw)
		xw->menu_font_missing = true;
	return 0;
}

XWindow::~XWindow()
{
	if (!d)
		return;
	if (im)
		XDestroyImage(im);
	if (cs)
		XFreeCursor(d, cs);
	for (int i = 2; i >= 0; i--)
		if (font[i])
			XFreeFont(d, font[i]);
	if (copy)
		XFreeGC(d, copy);
	if (gc)
		XFreeGC(d, gc);
	if (p)
		XFreePixmap(d, p);
	if (w)
		XDestroyWindow(d, w);
	XCloseDisplay(d);
}

bool XWindow::open()
{
	XSetErrorHandler(ehandler);
	d = XOpenDisplay(nullptr);
	if (!d)
		return false;
	int scr = DefaultScreen(d);
	bool ok;
	unsigned long grey = alloc_color(192, 192, 192, "gray", ok);
	w = XCreateSimpleWindow(d, RootWindow(d, scr), 0, 0, WIN_W, WIN_H, 5, grey, grey);
	XSelectInput(d, w, KeyPressMask | ButtonPressMask | ExposureMask);
	XStoreName(d, w, VERSION);
	XWMHints hints{};
	hints.flags = InputHint;
	hints.input = True;
	XSetWMHints(d, w, &hints);
	XMapWindow(d, w);
	gc = XCreateGC(d, w, 0, nullptr);
	XGCValues cv;
	cv.graphics_exposures = False;
	copy = XCreateGC(d, w, GCGraphicsExposures, &cv);
	p = XCreatePixmap(d, w, WIN_W, WIN_H, DefaultDepth(d, scr));
	// The pixmap starts as the window looks: background grey.
	XSetForeground(d, gc, grey);
	XFillRectangle(d, p, gc, 0, 0, WIN_W, WIN_H);
	load_fonts();
	cs = XCreateFontCursor(d, CURSOR_ARROW);
	XDefineCursor(d, w, cs);
	XEvent ev;
	do
		XNextEvent(d, &ev);
	while (ev.type != Expose);
	return true;
}

// Font loading is asynchronous: an unknown name shows up as an error at
// the next round trip, which the query below makes.
void XWindow::load_fonts()
{
	for (int i = 0; i < 3; i++) {
		fid[i] = XLoadFont(d, FONTNAME[i]);
		font[i] = XQueryFont(d, fid[i]);
		XSync(d, False);
		if (!font[i] && i < 2) {
			// Stand-in of the same cell size for the text fonts.
			fid[i] = XLoadFont(d, i == 0 ? "8x16" : "7x14");
			font[i] = XQueryFont(d, fid[i]);
		}
	}
	if (menu_font_missing || !font[2]) {
		fontmode_ = 1;
		if (font[2])
			XFreeFont(d, font[2]);
		fid[2] = XLoadFont(d, "6x13");
		font[2] = XQueryFont(d, fid[2]);
	}
	for (int i = 0; i < 3; i++)
		if (font[i])
			fid[i] = font[i]->fid;
}

unsigned long XWindow::alloc_color(int r, int g, int b, const char *name, bool &ok)
{
	Colormap cm = DefaultColormap(d, DefaultScreen(d));
	XColor c{};
	c.red = (unsigned short)(r * 255);
	c.green = (unsigned short)(g * 255);
	c.blue = (unsigned short)(b * 255);
	c.flags = DoRed | DoGreen | DoBlue;
	ok = XAllocColor(d, cm, &c);
	if (!ok && name) {
		XColor exact;
		ok = XAllocNamedColor(d, cm, name, &c, &exact);
	}
	return c.pixel;
}

void XWindow::set_gc(unsigned long fg, unsigned long bg, int width, int style)
{
	XGCValues v;
	v.foreground = fg;
	v.background = bg;
	v.line_width = width;
	v.line_style = style;
	v.cap_style = CapProjecting;
	v.arc_mode = ArcChord;
	lw = width;
	XChangeGC(d, gc, GCForeground | GCBackground | GCLineWidth | GCLineStyle | GCCapStyle | GCArcMode, &v);
}

void XWindow::set_font(tw::Font f)
{
	cur = f;
	if (font[f])
		XSetFont(d, gc, fid[f]);
}

int XWindow::text_extent(const char *s, int n)
{
	if (!font[cur])
		return 8 * n;
	int dir, asc, desc;
	XCharStruct cs;
	XTextExtents(font[cur], s, n, &dir, &asc, &desc, &cs);
	return cs.rbearing - cs.lbearing;
}

void XWindow::set_clip(int x, int y, int cw, int ch)
{
	XRectangle r = {(short)x, (short)y, (unsigned short)cw, (unsigned short)ch};
	XSetClipRectangles(d, gc, 0, 0, &r, 1, Unsorted);
}

// Grows the area to copy by a box, inclusive, plus a margin for wide lines
// and projecting caps.
void XWindow::damage(int x0, int y0, int x1, int y1, int margin)
{
	dx0 = std::min(dx0, x0 - margin), dy0 = std::min(dy0, y0 - margin);
	dx1 = std::max(dx1, x1 + margin), dy1 = std::max(dy1, y1 + margin);
}

void XWindow::present()
{
	int x0 = std::max(dx0, 0), y0 = std::max(dy0, 0);
	int x1 = std::min(dx1, WIN_W - 1), y1 = std::min(dy1, WIN_H - 1);
	if (x0 <= x1 && y0 <= y1)
		XCopyArea(d, p, w, copy, x0, y0, x1 - x0 + 1, y1 - y0 + 1, x0, y0);
	dx0 = WIN_W, dy0 = WIN_H, dx1 = dy1 = -1;
}

void XWindow::show_pixmap()
{
	damage(0, 0, WIN_W - 1, WIN_H - 1, 0);
	present();
}

void XWindow::line(int x1, int y1, int x2, int y2)
{
	XDrawLine(d, p, gc, x1, y1, x2, y2);
	damage(std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2), lw + 1);
}

void XWindow::point(int x, int y)
{
	XDrawPoint(d, p, gc, x, y);
	damage(x, y, x, y, 0);
}

void XWindow::rect(bool fill, int x, int y, int rw, int rh)
{
	if (rw < 0 || rh < 0)
		return; // Xlib takes unsigned sizes: a negative one is huge
	(fill ? XFillRectangle : XDrawRectangle)(d, p, gc, x, y, rw, rh);
	damage(x, y, x + rw, y + rh, lw + 1);
}

void XWindow::arc(bool fill, int x, int y, int aw, int ah)
{
	(fill ? XFillArc : XDrawArc)(d, p, gc, x, y, aw, ah, 0, 23040);
	damage(x, y, x + aw, y + ah, lw + 1);
}

void XWindow::polygon(const short (*pts)[2], int n)
{
	XPoint xp[10];
	int m = std::min(n, 10); // the points there are room for, no more
	for (int i = 0; i < m; i++) {
		xp[i] = {pts[i][0], pts[i][1]};
		damage(xp[i].x, xp[i].y, xp[i].x, xp[i].y, 1);
	}
	XFillPolygon(d, p, gc, xp, m, Nonconvex, CoordModeOrigin);
}

// The box from the font's largest cell: exact ink does not matter, only
// that nothing drawn is left out.
void XWindow::text(int x, int baseline, const char *s, int n, bool image)
{
	(image ? XDrawImageString : XDrawString)(d, p, gc, x, baseline, s, n);
	const XFontStruct *f = font[cur];
	int cw = f ? std::max<int>(f->max_bounds.width, f->max_bounds.rbearing) : 16;
	int asc = f ? std::max<int>(f->ascent, f->max_bounds.ascent) : 16;
	int desc = f ? std::max<int>(f->descent, f->max_bounds.descent) : 16;
	int left = f ? std::min<int>(0, f->min_bounds.lbearing) : 0;
	damage(x + left, baseline - asc, x + n * cw, baseline + desc, 1);
}

void XWindow::grab_image()
{
	if (im)
		XDestroyImage(im);
	present();
	im = XGetImage(d, w, 0, 0, WIN_W, WIN_H, AllPlanes, XYPixmap);
}

unsigned long XWindow::image_pixel(int x, int y)
{
	if (!im || x < 0 || y < 0 || x >= WIN_W || y >= WIN_H)
		return black_pixel();
	return XGetPixel(im, x, y);
}

void XWindow::next_event(InputEvent &out)
{
	XEvent ev;
	present(); // the window must be up to date while the user looks at it
	XNextEvent(d, &ev);
	out = InputEvent{};
	switch (ev.type) {
	case Expose:
		out.kind = EvKind::expose;
		break;
	case ButtonPress:
		out.kind = EvKind::button;
		out.x = ev.xbutton.x;
		out.y = ev.xbutton.y;
		break;
	case KeyPress: {
		KeySym ks;
		out.kind = EvKind::key;
		out.ntext = XLookupString(&ev.xkey, out.text, 2, &ks, nullptr);
		out.keysym = ks;
		break;
	}
	default:
		out.kind = EvKind::other;
	}
}

// What was drawn goes to the window first; XPending then flushes it and
// reads what the server has sent.
bool XWindow::poll_event(InputEvent &ev)
{
	present();
	if (!XPending(d))
		return false;
	next_event(ev);
	return true;
}

void XWindow::define_cursor(PointerShape c)
{
	Cursor nc = XCreateFontCursor(d, c);
	XDefineCursor(d, w, nc);
	XFreeCursor(d, cs);
	cs = nc;
}

} // namespace

Backend *x11_open()
{
	auto *x = new XWindow;
	xw = x;
	if (!x->open()) {
		delete x;
		xw = nullptr;
		return nullptr;
	}
	return x;
}

void x11_close(Backend *b)
{
	delete static_cast<XWindow *>(b);
	xw = nullptr;
}

unsigned long x11_pixmap_pixel(Backend *b, int x, int y)
{
	auto *x11 = static_cast<XWindow *>(b);
	XImage *img = XGetImage(x11->d, x11->p, x, y, 1, 1, AllPlanes, ZPixmap);
	if (!img)
		return 0;
	unsigned long v = XGetPixel(img, 0, 0);
	XDestroyImage(img);
	return v;
}

unsigned long x11_pixmap_rgb(Backend *b, int x, int y)
{
	auto *x11 = static_cast<XWindow *>(b);
	XColor c{};
	c.pixel = x11_pixmap_pixel(b, x, y);
	XQueryColor(x11->d, DefaultColormap(x11->d, DefaultScreen(x11->d)), &c);
	return (unsigned long)(c.red >> 8) << 16 | (c.green >> 8) << 8 | (c.blue >> 8);
}

long x11_window_diff(Backend *b)
{
	auto *x = static_cast<XWindow *>(b);
	XImage *wi = XGetImage(x->d, x->w, 0, 0, WIN_W, WIN_H, AllPlanes, ZPixmap);
	XImage *pi = XGetImage(x->d, x->p, 0, 0, WIN_W, WIN_H, AllPlanes, ZPixmap);
	long n = wi && pi ? 0 : -1;
	for (int yy = 0; n >= 0 && yy < WIN_H; yy++)
		for (int xx = 0; xx < WIN_W; xx++)
			n += XGetPixel(wi, xx, yy) != XGetPixel(pi, xx, yy);
	if (wi)
		XDestroyImage(wi);
	if (pi)
		XDestroyImage(pi);
	return n;
}

} // namespace tw
