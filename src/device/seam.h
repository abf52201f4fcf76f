// The one seam between the program and a display: pixel-level drawing in
// window coordinates and raw input. The X11 back end and the recording back
// end of the tests implement it; nothing above it knows about Xlib.
#pragma once

namespace tw {

enum class EvKind { none, expose, key, button, other };

struct InputEvent {
	EvKind kind = EvKind::none;
	int x = 0, y = 0;          // button: press position in window pixels
	unsigned long keysym = 0;  // key: X keysym number
	char text[4] = {};         // key: translated text, at most 2 bytes used
	int ntext = 0;             // key: number of bytes in text
};

enum Font { FONT_NORMAL, FONT_SMALL, FONT_MENU };
enum PointerShape { CURSOR_ARROW = 2, CURSOR_CROSS = 130 };

// Keysyms the key translation looks at (X values, so the seam stays plain).
constexpr unsigned long KS_LEFT = 0xff51, KS_UP = 0xff52, KS_RIGHT = 0xff53,
			KS_DOWN = 0xff54, KS_RETURN = 0xff0d, KS_F1 = 0xffbe,
			KS_F35 = 0xffe0, KS_SHIFT_L = 0xffe1, KS_SHIFT_R = 0xffe2,
			KS_CONTROL_L = 0xffe3, KS_CONTROL_R = 0xffe4;

constexpr int WIN_W = 653, WIN_H = 471; // window size in pixels

struct Backend {
	virtual ~Backend() = default;

	// Colours: a pixel value for (r, g, b) in 0..255, or for the named colour
	// when the exact one cannot be had; ok is false when neither works.
	virtual unsigned long alloc_color(int r, int g, int b, const char *name, bool &ok) = 0;
	virtual unsigned long black_pixel() = 0;
	virtual void set_gc(unsigned long fg, unsigned long bg, int width, int style) = 0;

	// Fonts: the three loaded at start; ascent is the maximum ascent.
	virtual void set_font(Font f) = 0;
	virtual int font_ascent(Font f) = 0;
	virtual int text_extent(const char *s, int n) = 0; // ink width, current font
	virtual int fontmode() = 0; // 1 when the menu font fell back to "6x13"

	// Drawing: on the backing pixmap, shown in the window at the next flush
	// or wait for input.
	virtual void set_clip(int x, int y, int w, int h) = 0;
	virtual void line(int x1, int y1, int x2, int y2) = 0;
	virtual void point(int x, int y) = 0;
	virtual void rect(bool fill, int x, int y, int w, int h) = 0;
	virtual void arc(bool fill, int x, int y, int w, int h) = 0; // full turn
	virtual void polygon(const short (*pts)[2], int n) = 0;      // filled
	virtual void text(int x, int baseline, const char *s, int n, bool image) = 0;

	virtual void show_pixmap() = 0;                       // repaint from pixmap
	virtual void grab_image() = 0;                        // snapshot the window
	virtual unsigned long image_pixel(int x, int y) = 0;  // from the snapshot

	virtual void next_event(InputEvent &ev) = 0;          // blocks
	// While the program waits on something else (a network peer): the
	// descriptor that turns readable when input arrives (-1: none), and the
	// next event already there without blocking (false: none yet).
	virtual int event_fd() = 0;
	virtual bool poll_event(InputEvent &ev) = 0;
	virtual void define_cursor(PointerShape c) = 0;
	virtual void warp_pointer(int x, int y) = 0;
	virtual void bell() = 0;
	virtual void flush() = 0;
};

// The window title; the opening panel shows it too.
constexpr const char *VERSION = "Tarnwell (Version 3.02a  April 25, 2000)";

// How the process ends; a test replaces it to stay alive.
extern void (*exit_process)(int status);

// The back end in use; set once at start-up (or by a test). win_init opens
// it through open_backend when none is set.
extern Backend *be;
extern Backend *(*open_backend)();
extern void (*close_backend)(Backend *); // frees every X resource at exit

} // namespace tw
