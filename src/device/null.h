// A back end that draws nothing and has no input: the core runs without a
// display (benchmarks, batch use). Every wait would end at once with no
// event, so nothing that reads keys may run on it.
#pragma once
#include "device/seam.h"

namespace tw {

struct NullBackend final : Backend {
	unsigned long alloc_color(int, int, int, const char *, bool &ok) override { return ok = true, 0; }
	unsigned long black_pixel() override { return 0; }
	void set_gc(unsigned long, unsigned long, int, int) override {}
	void set_font(Font) override {}
	int font_ascent(Font) override { return 12; }
	int text_extent(const char *, int n) override { return 6 * n; }
	int fontmode() override { return 0; }
	void set_clip(int, int, int, int) override {}
	void line(int, int, int, int) override {}
	void point(int, int) override {}
	void rect(bool, int, int, int, int) override {}
	void arc(bool, int, int, int, int) override {}
	void polygon(const short (*)[2], int) override {}
	void text(int, int, const char *, int, bool) override {}
	void show_pixmap() override {}
	void grab_image() override {}
	unsigned long image_pixel(int, int) override { return 0; }
	void next_event(InputEvent &ev) override { ev.kind = EvKind::none; }
	int event_fd() override { return -1; }
	bool poll_event(InputEvent &) override { return false; }
	void define_cursor(PointerShape) override {}
	void warp_pointer(int, int) override {}
	void bell() override {}
	void flush() override {}
};

} // namespace tw
