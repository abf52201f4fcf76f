// Shared by the map tests: small map datasets and event records made by the
// tests themselves, a fresh map state over a scratch auxiliary directory,
// and readers of the recorded drawing calls.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "catalog/store.h"
#include "diagrams/diagrams.h"
#include "events.h"
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
	// pts: (latitude, longitude) pairs; the bounds lead the points.
	MapFile &line(char code, const std::vector<std::pair<double, double>> &pts, char flag = '1')
	{
		std::vector<long> ys, xs;
		for (auto [la, lo] : pts)
			ys.push_back((long)(la * s)), xs.push_back((long)((lo - l0) * s));
		b.push_back((uint8_t)code), b.push_back((uint8_t)flag);
		flag == '2' ? w16((long)pts.size()) : b.push_back((uint8_t)pts.size());
		for (long e : {*std::min_element(ys.begin(), ys.end()), *std::max_element(ys.begin(), ys.end()),
			       *std::min_element(xs.begin(), xs.end()), *std::max_element(xs.begin(), xs.end())})
			w16(e);
		for (size_t i = 0; i < pts.size(); i++)
			w16(ys[i]), w16(xs[i]);
		return *this;
	}
	MapFile &z(char flag) { return b.push_back('Z'), b.push_back((uint8_t)flag), *this; }
	MapFile &x() { return b.push_back('X'), b.push_back('0'), *this; }
	void write(const std::string &path, size_t cut = 0) const
	{
		test::write_file(path, std::string(b.begin(), b.end() - cut));
	}
};

// An event appended to the selection; its record in the store. Depth < 0
// is undetermined, and so is magnitude 0.
inline unsigned char *add_event(double lon, double la, double depth, double mag)
{
	Ev e = Ev(1995, 6, 15, 12).at(lon, la).dep(depth < 0 ? 65535 : (int)std::lround(depth * 10));
	e.mag((int)std::lround(mag * 10));
	put_event(0, st.itot, e.b.data()); // marks a full segment as continued
	st.itot++;
	put_marker(0, st.itot, M_END);
	return evslot(0, st.itot - 1);
}

// A fresh store split as start-up splits it, default settings and symbol
// classes, and auxiliary files read from dir.
inline void map_fresh(const std::string &dir)
{
	fresh_store(dir);
	dpmg_init();
	maps_reset();
	diagrams_reset();
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
	bool framed() // the map frame was drawn
	{
		return r.has("rect " + std::to_string(mf.kx0 + 4) + " " + std::to_string(mf.ky0 + 45) + " " +
			     std::to_string(mf.kx1 - mf.kx0) + " " + std::to_string(mf.ky1 - mf.ky0));
	}
	void enter() { r.ch('\r'); }
	void type(const std::string &s)
	{
		for (char c : s)
			r.ch(c);
	}
};

} // namespace tw
