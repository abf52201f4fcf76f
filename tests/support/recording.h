// A back end that draws nothing: it records every call as a line of text
// and replays scripted input, so the logic above the seam runs without X.
#pragma once
#include <algorithm>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "device/seam.h"

namespace tw {

struct Recording final : Backend {
	std::vector<std::string> calls; // one line per drawing call
	std::deque<InputEvent> input;   // scripted events; empty = Ctrl+E
	int bells = 0;
	unsigned long image[WIN_H][WIN_W] = {}; // what image_pixel answers

	template <class... A> void log(const char *f, A... a)
	{
		char b[128];
		std::snprintf(b, sizeof b, f, a...);
		calls.push_back(b);
	}
	unsigned long alloc_color(int r, int g, int b, const char *, bool &ok) override
	{
		return ok = true, (unsigned long)r << 16 | g << 8 | b;
	}
	unsigned long black_pixel() override { return 0; }
	void set_gc(unsigned long fg, unsigned long bg, int, int) override { log("gc %06lx %06lx", fg, bg); }
	void set_font(Font f) override { log("font %d", (int)f); }
	int font_ascent(Font f) override { return f == FONT_MENU ? 11 : 12; }
	int text_extent(const char *, int n) override { return 6 * n; }
	int fontmode() override { return 0; }
	void set_clip(int x, int y, int w, int h) override { log("clip %d %d %d %d", x, y, w, h); }
	void line(int x1, int y1, int x2, int y2) override { log("line %d %d %d %d", x1, y1, x2, y2); }
	void point(int x, int y) override { log("point %d %d", x, y); }
	void rect(bool f, int x, int y, int w, int h) override { log("%s %d %d %d %d", f ? "fill" : "rect", x, y, w, h); }
	void arc(bool f, int x, int y, int w, int h) override { log("%s %d %d %d %d", f ? "fillarc" : "arc", x, y, w, h); }
	void polygon(const short (*pts)[2], int n) override;
	void text(int x, int baseline, const char *s, int n, bool image) override
	{
		log("%s %d %d ", image ? "itext" : "text", x, baseline);
		calls.back().append(s, n);
	}
	void show_pixmap() override { calls.push_back("show_pixmap"); }
	void grab_image() override { calls.push_back("grab_image"); }
	unsigned long image_pixel(int x, int y) override
	{
		return x >= 0 && y >= 0 && x < WIN_W && y < WIN_H ? image[y][x] : 0;
	}
	void next_event(InputEvent &ev) override;
	int event_fd() override { return -1; }
	// Unlike a blocking wait, a look for input finds nothing once the script
	// has run out: a wait on the network goes on.
	bool poll_event(InputEvent &ev) override { return !input.empty() && (next_event(ev), true); }
	void define_cursor(PointerShape c) override { log("cursor %d", (int)c); }
	void warp_pointer(int x, int y) override { log("warp %d %d", x, y); }
	void bell() override { bells++; }
	void flush() override {}

	// Script helpers.
	void key(unsigned long keysym, const char *text = "");
	void ch(char c) { key(c == '\r' ? KS_RETURN : (unsigned char)c, std::string(1, c).c_str()); } // or control
	void type(const char *s) { while (*s) ch(*s++); }
	void click(int x, int y) { input.push_back({EvKind::button, x, y}); }
	void expose() { input.push_back({EvKind::expose}); }
	bool has(const std::string &call) const { return std::find(calls.begin(), calls.end(), call) != calls.end(); }
	std::string texts() const; // every drawn text, in order, joined
};

// Make r the back end and reset every piece of device and shell state.
void use_recording(Recording &r);

// Thrown by the test's exit_process so that check_exit returns control.
struct Exited {
	int status;
};

} // namespace tw
