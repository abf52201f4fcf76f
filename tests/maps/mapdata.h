// Small map datasets and event records made by the map tests themselves.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace tw {

// A map dataset file built record by record; coordinates in degrees.
struct MapFile {
	std::vector<uint8_t> b;
	int s = 100, l0 = 0;

	MapFile &header(char res, int base)
	{
		s = res == 'F' ? 1000 : 100;
		l0 = base;
		b.push_back((uint8_t)res);
		w16(base);
		return *this;
	}
	void w16(long v)
	{
		b.push_back((uint8_t)(v & 255));
		b.push_back((uint8_t)(v >> 8 & 255));
	}
	// pts: (latitude, longitude) pairs.
	MapFile &line(char code, const std::vector<std::pair<double, double>> &pts, char flag = '1')
	{
		long la0 = 1L << 30, la1 = -la0, lo0 = la0, lo1 = -la0;
		std::vector<long> v;
		for (auto [la, lo] : pts) {
			long y = (long)(la * s), x = (long)((lo - l0) * s);
			v.push_back(y), v.push_back(x);
			la0 = std::min(la0, y), la1 = std::max(la1, y);
			lo0 = std::min(lo0, x), lo1 = std::max(lo1, x);
		}
		b.push_back((uint8_t)code);
		b.push_back((uint8_t)flag);
		if (flag == '2')
			w16((long)pts.size());
		else
			b.push_back((uint8_t)pts.size());
		for (long e : {la0, la1, lo0, lo1})
			w16(e);
		for (long e : v)
			w16(e);
		return *this;
	}
	MapFile &z(char flag)
	{
		b.push_back('Z');
		b.push_back((uint8_t)flag);
		return *this;
	}
	MapFile &x()
	{
		b.push_back('X');
		b.push_back('0');
		return *this;
	}
	void write(const std::string &path, size_t cut = 0) const
	{
		FILE *f = std::fopen(path.c_str(), "wb");
		std::fwrite(b.data(), 1, cut ? cut : b.size(), f);
		std::fclose(f);
	}
};

// One 16-byte event record; depth < 0 writes the undetermined depth word,
// mag 0 the undetermined magnitude.
inline void make_event(unsigned char *r, double lon, double la, double depth, double mag)
{
	auto angle = [](unsigned char *p, double v) {
		double a = v < 0 ? -v : v;
		int d = (int)a, m = (int)((a - d) * 60 + 1e-9);
		int sec = (int)(((a - d) * 60 - m) * 60 + 0.5);
		p[0] = (unsigned char)d;
		p[1] = (unsigned char)(m | (v < 0 ? 128 : 0));
		p[2] = (unsigned char)sec;
	};
	r[0] = 95, r[1] = 6, r[2] = 15, r[3] = 12, r[4] = 0, r[5] = r[6] = 0;
	angle(r + 7, lon);
	angle(r + 10, la);
	unsigned dw = depth < 0 ? 65535u : (unsigned)(depth * 10 + 0.5);
	r[13] = (unsigned char)(dw & 255), r[14] = (unsigned char)(dw >> 8);
	int m = (int)((mag < 0 ? -mag : mag) * 10 + 0.5);
	r[15] = (unsigned char)(mag == 0 ? 0 : m | (mag < 0 ? 128 : 0));
}

} // namespace tw
