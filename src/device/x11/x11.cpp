// The X11 back end: the only file that talks to Xlib. One struct owns every
// X resource and frees them in reverse order at exit.
#include "device/x11/x11.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>

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
	Cursor cs = 0;
	XFontStruct *font[3] = {};
	::Font fid[3] = {};
	tw::Font cur = FONT_NORMAL;
	XImage *im = nullptr;
	int fontmode_ = 0;
	bool menu_font_missing = false;

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
	void show_pixmap() override { XCopyArea(d, p, w, gc, 0, 0, WIN_W, WIN_H, 0, 0); }
	void grab_image() override;
	unsigned long image_pixel(int x, int y) override;
	void next_event(InputEvent &ev) override;
	int event_fd() override { return ConnectionNumber(d); }
	bool poll_event(InputEvent &ev) override;
	void define_cursor(PointerShape c) override;
	void warp_pointer(int x, int y) override { XWarpPointer(d, None, w, 0, 0, 0, 0, x, y); }
	void bell() override { XBell(d, 0); }
	void flush() override { XFlush(d); }
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

void XWindow::line(int x1, int y1, int x2, int y2)
{
	XDrawLine(d, w, gc, x1, y1, x2, y2);
	XDrawLine(d, p, gc, x1, y1, x2, y2);
}

void XWindow::point(int x, int y)
{
	XDrawPoint(d, w, gc, x, y);
	XDrawPoint(d, p, gc, x, y);
}

void XWindow::rect(bool fill, int x, int y, int rw, int rh)
{
	if (rw < 0 || rh < 0)
		return; // Xlib takes unsigned sizes: a negative one is huge
	auto fn = fill ? XFillRectangle : XDrawRectangle;
	fn(d, w, gc, x, y, rw, rh);
	fn(d, p, gc, x, y, rw, rh);
}

void XWindow::arc(bool fill, int x, int y, int aw, int ah)
{
	auto fn = fill ? XFillArc : XDrawArc;
	fn(d, w, gc, x, y, aw, ah, 0, 23040);
	fn(d, p, gc, x, y, aw, ah, 0, 23040);
}

void XWindow::polygon(const short (*pts)[2], int n)
{
	XPoint xp[10];
	for (int i = 0; i < n && i < 10; i++)
		xp[i] = {pts[i][0], pts[i][1]};
	XFillPolygon(d, w, gc, xp, n, Nonconvex, CoordModeOrigin);
	XFillPolygon(d, p, gc, xp, n, Nonconvex, CoordModeOrigin);
}

void XWindow::text(int x, int baseline, const char *s, int n, bool image)
{
	auto fn = image ? XDrawImageString : XDrawString;
	fn(d, w, gc, x, baseline, s, n);
	fn(d, p, gc, x, baseline, s, n);
}

void XWindow::grab_image()
{
	if (im)
		XDestroyImage(im);
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

// XPending flushes what was drawn and reads what the server has sent.
bool XWindow::poll_event(InputEvent &ev)
{
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

} // namespace tw
