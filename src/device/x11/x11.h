// Opening and closing the X11 back end, and pixmap read-back for tests.
#pragma once
#include "device/seam.h"

namespace tw {

Backend *x11_open();            // nullptr when no display can be opened
void x11_close(Backend *b);
unsigned long x11_pixmap_pixel(Backend *b, int x, int y); // raw pixel value
unsigned long x11_pixmap_rgb(Backend *b, int x, int y);   // 0xRRGGBB
long x11_window_diff(Backend *b); // pixels where the window, as shown, differs from the pixmap

} // namespace tw
