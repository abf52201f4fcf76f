// The one event record of the tests: built field by field, written into
// dataset files (with a marker or without one) or straight into the store.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "files.h"

namespace tw {

using Bytes = std::array<unsigned char, 16>;

struct Ev {
	Bytes b{};
	Ev(int year, int mon = 1, int day = 1, int hh = 0, int mm = 0, int sec10 = 0);
	Ev &lon(int d, int m, int s = 0, bool west = false);
	Ev &lat(int d, int m, int s = 0, bool south = false);
	Ev &at(double lon, double lat); // degrees, west and south negative
	Ev &dep(int tenths); // 65535: undetermined
	Ev &mag(int tenths); // signed; 0: undetermined
	Ev &id(int n);       // tag kept in the seconds word, to follow an event
};

constexpr int NOMARK = -1;

struct TempDir : test::TempDir {
	std::string at(const std::string &name) const { return path + "/" + name; }
	// A dataset file: head, records, then the marker (none with NOMARK);
	// cut drops that many bytes from the end.
	void write(const std::string &name, const std::vector<Ev> &evs, int marker = 0xffff,
		   int cut = 0) const;
	void text(const std::string &name, const std::string &s) const { test::write_file(at(name), s); }
};

// A fresh store of segs segments split as start-up splits it, default
// settings, data and auxiliary directories both set to dir.
void fresh_store(const std::string &dir, int segs = 8);

// Tags of the selection in store order.
std::vector<int> tags();

// The half that starts at segment base filled with evs and ended as SELECT
// ends it; the primary half (base 0) also sets the count.
void fill(const std::vector<Ev> &evs, int base = 0);

} // namespace tw
