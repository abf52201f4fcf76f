// Shared by the display tests: the real X11 back end, opened once per test
// suite, and the colours a 24-bit server keeps. Include only in tests built
// with X11 (tarnwell_test(... X11)); they need DISPLAY.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>

#include "device/graph.h"
#include "device/menubar.h"
#include "device/screen.h"
#include "device/x11/x11.h"

namespace tw {

// Channels are asked for as component x 255, so a 24-bit server keeps the
// top 8 bits of that: 255 becomes 254, 130 becomes 129.
constexpr unsigned long xrgb(unsigned long r, unsigned long g, unsigned long b)
{
	return (r * 255 >> 8) << 16 | (g * 255 >> 8) << 8 | b * 255 >> 8;
}

// A fresh program on the real display, with its menu bar laid out.
inline void open_display()
{
	ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "display tests need an X server";
	graph_reset();
	screen_reset();
	open_backend = x11_open;
	close_backend = x11_close;
	be = nullptr;
	win_init();
	ASSERT_NE(be, nullptr);
	menu_init();
}

} // namespace tw
