// One event as the map pictures place it.
#pragma once

namespace tw {

struct Placed {
	double lon, lat, dep, mag; // decoded, longitude shifted on wrap maps
	int x, y;                  // position relative to the map viewport
	int size;                  // symbol size, pixels
	int colour;                // colour and shape number
};

// Symbol size of magnitude class m in whole pixels, kept within 0..400.
int symbol_size(int m);

// Decodes event i of the selection and places it: false when it lies
// outside the map area (or on its edge).
bool place_event(int i, Placed &e);

} // namespace tw
