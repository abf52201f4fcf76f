// The latitude projection and the map frame geometry.
#include <cmath>

#include "maps/map.h"

namespace tw {

MapFrame mf;
Maps mp;

void maps_reset()
{
	mf = MapFrame{};
	mp = Maps{};
	map_init();
}

// 57.2958 rather than 180/pi: the projection has always used this value.
double fnyy(double phi)
{
	return 1.25 * 57.2958 * std::log(std::tan((0.4 * phi + 45) / 57.2958));
}

void map_init()
{
	for (int k = 0; k <= 180; k++)
		mp.yln[k] = fnyy(k - 90);
	for (int k = 0; k < 180; k++)
		mp.dln[k] = mp.yln[k + 1] - mp.yln[k];
}

// Every plotted point goes through the table: a logarithm per point is
// what the table saves.
double lat(double phi)
{
	int k = 0;
	if (phi >= -90) {
		k = (int)std::floor(phi) + 90;
		if (k > 179)
			k = 179;
	}
	return mp.yln[k] + mp.dln[k] * (phi + 90 - k);
}

// The frame is centred at x 245 within the left 490 pixels (the legend
// takes the rest) and at y 199, with one pixel scale for a degree of
// longitude and a projected unit of latitude.
void map_geometry()
{
	mf.c1 = fnyy(mf.a1);
	mf.c2 = fnyy(mf.a2);
	mf.xm = mf.b2 - mf.b1;
	mf.ym = mf.c2 - mf.c1;
	double h = 399, w = h * mf.xm / mf.ym;
	if (w > 490) {
		w = 490;
		h = 490 * mf.ym / mf.xm;
	}
	mf.kx0 = (int)(245 - w / 2);
	mf.kx1 = (int)(mf.kx0 + w);
	mf.ky0 = (int)(199 - h / 2);
	mf.ky1 = (int)(mf.ky0 + h);
	mf.rrx = (mf.kx1 - mf.kx0) / mf.xm;
	mf.rry = (mf.ky1 - mf.ky0) / mf.ym;
}

} // namespace tw
