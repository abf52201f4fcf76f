// Shared by the map tests: small map datasets and event records made by the
// tests themselves, a fresh map state over a scratch auxiliary directory,
// and readers of the recorded drawing calls.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "catalog/store.h"
#include "diagrams/diagrams.h"
#include "files.h"
#include "maps/map.h"
#include "maps/symbols.h"
#include "recording.h"
#include "shell/setup.h"
#include "shell/panel.h"

namespace tw {

// A map dataset file built record by record; coordinates in degrees.
struct MapFile {
	std::vector<uint8_t> b;
	int s = 100, l0 = 0;

	MapFile &header(char res, int base)
	{
		s = res == 'F' ? 1000 : 100, l0 = base;
		b.push_back((uint8_t)res);
		w16(base);
		return *this;
	}
	void w16(long v) { b.push_back((uint8_t)(v & 255)), b.push_back((uint8_t)(v >> 8 & 255)); }
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
		b.push_back((uint8_t)code), b.push_back((uint8_t)flag);
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
	MapFile &z(char flag) { return b.push_back('Z'), b.push_back((uint8_t)flag), *this; }
	MapFile &x() { return b.push_back('X'), b.push_back('0'), *this; }
	void write(const std::string &path, size_t cut = 0) const
	{
		test::write_file(path, std::string(b.begin(), b.end() - cut));
	}
};

// One 16-byte event record; depth < 0 writes the undetermined depth word,
// mag 0 the undetermined magnitude.
inline void make_event(unsigned char *r, double lon, double la, double depth, double mag)
{
	auto angle = [](unsigned char *p, double v) {
		double a = v < 0 ? -v : v;
		int d = (int)a, m = (int)((a - d) * 60 + 1e-9);
		p[0] = (unsigned char)d;
		p[1] = (unsigned char)(m | (v < 0 ? 128 : 0));
		p[2] = (unsigned char)(((a - d) * 60 - m) * 60 + 0.5);
	};
	r[0] = 95, r[1] = 6, r[2] = 15, r[3] = 12, r[4] = 0, r[5] = r[6] = 0;
	angle(r + 7, lon);
	angle(r + 10, la);
	unsigned dw = depth < 0 ? 65535u : (unsigned)(depth * 10 + 0.5);
	r[13] = (unsigned char)(dw & 255), r[14] = (unsigned char)(dw >> 8);
	int m = (int)((mag < 0 ? -mag : mag) * 10 + 0.5);
	r[15] = (unsigned char)(mag == 0 ? 0 : m | (mag < 0 ? 128 : 0));
}

// An event appended to the selection; its record in the store.
inline unsigned char *add_event(double lon, double la, double depth, double mag)
{
	unsigned char rec[16];
	make_event(rec, lon, la, depth, mag);
	put_event(0, st.itot, rec); // marks a full segment as continued
	st.itot++;
	put_marker(0, st.itot, M_END);
	return evslot(0, st.itot - 1);
}

// A fresh store split as start-up splits it, default settings and symbol
// classes, and auxiliary files read from dir.
inline void map_fresh(const std::string &dir)
{
	store_reset();
	store_init();
	settings_reset();
	select_defaults();
	dpmg_init();
	maps_reset();
	diagrams_reset();
	std::snprintf(st.drvo_s, sizeof st.drvo_s, "%s", dir.c_str());
}

// The box as MAP sets it after its checks.
inline void map_box(double b1, double b2, double a1, double a2, int ynmap)
{
	mf.b1 = b1, mf.b2 = b2, mf.a1 = a1, mf.a2 = a2;
	mf.wrap = b1 >= b2;
	if (mf.wrap)
		mf.b2 += 360;
	map_geometry();
	symbol_sizes();
	mf.ynmap = ynmap;
}

// Window pixel of a plotting point inside the map viewport.
inline int wx(int x) { return x + mf.kx0 + 1 + 4; }
inline int wy(int y) { return y + mf.ky0 + 1 + 45; }

// A recording display over a fresh map state.
struct MapTest : ::testing::Test {
	Recording r;
	test::TempDir dir;
	void SetUp() override
	{
		use_recording(r);
		map_fresh(dir.path);
	}
	std::string path(const char *name) { return dir.file(name); }
	// The four numbers of every recorded call of one kind ("line", "arc").
	std::vector<std::array<int, 4>> calls(const char *kind)
	{
		std::vector<std::array<int, 4>> v;
		std::string fmt = std::string(kind) + " %d %d %d %d";
		for (auto &c : r.calls) {
			std::array<int, 4> a;
			if (std::sscanf(c.c_str(), fmt.c_str(), &a[0], &a[1], &a[2], &a[3]) == 4)
				v.push_back(a);
		}
		return v;
	}
	size_t count(const char *kind) { return calls(kind).size(); }
	bool shows(const std::string &text) { return r.texts().find(text) != std::string::npos; }
	bool has_arc(int x, int y, int d) // a circle of diameter d centred on window (x, y)
	{
		return r.has("arc " + std::to_string(x - d / 2) + " " + std::to_string(y - d / 2) + " " +
			     std::to_string(d) + " " + std::to_string(d));
	}
	bool framed() // the map frame was drawn
	{
		char b[64];
		std::snprintf(b, sizeof b, "rect %d %d %d %d", mf.kx0 + 4, mf.ky0 + 45, mf.kx1 - mf.kx0,
			      mf.ky1 - mf.ky0);
		return r.has(b);
	}
	void fkey(int n) { r.key(KS_F1 + n - 1); }
	void enter() { r.ch('\r'); }
	void type(const std::string &s)
	{
		for (char c : s)
			r.ch(c);
	}
};

} // namespace tw
