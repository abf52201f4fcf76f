// SORT: item values, both passes, the order flag and the form's messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <tuple>
#include <vector>

#include "catalog/sort.h"
#include "catalog/store.h"
#include "events.h"
#include "recording.h"
#include "shell/panel.h"

namespace tw {
namespace {

using Ints = std::vector<int>;

struct SortTest : ::testing::Test {
	Recording r;
	TempDir dir;
	void SetUp() override
	{
		use_recording(r);
		fresh_store(dir.path);
	}
	void load(const std::vector<Ev> &evs) { fill(evs), st.isort = 0; }
	// The form's four fields from one line: "LAT A MAG D".
	int run(std::string f)
	{
		f.resize(11, ' ');
		for (auto [i, at, n] : {std::tuple{0, 0, 4}, {1, 4, 1}, {2, 6, 4}, {3, 10, 1}})
			std::snprintf(pn.mc_s[i], sizeof pn.mc_s[i], "%s", f.substr(at, n).c_str());
		return sort_round();
	}
};

TEST_F(SortTest, ItemValuesAndItemWords)
{
	load({Ev(1880).dep(500), Ev(1990, 3, 31, 12, 30).lon(10, 30, 0, true).lat(5, 6, 36, true)
					 .dep(65535).mag(-5),
	      Ev(1990).mag(0), Ev(1900).dep(1234), Ev(2060)});
	const std::tuple<int, Item, double> values[] = {
		{1, IT_DEP, -1.0}, // before 1885: whatever the field says
		{2, IT_TIME, 1990 * 12 + 3 + (31 + 12.5 / 24) / 31},
		{2, IT_LON, -10.5}, {2, IT_LAT, -5.11}, {2, IT_DEP, 6553.5}, {2, IT_MAG, -0.5},
		{3, IT_MAG, -9999.0}, {4, IT_DEP, 123.4},
		{5, IT_DEP, 6553.5}, // a year past the year code is kept in the depth word
	};
	for (auto [i, item, v] : values)
		EXPECT_DOUBLE_EQ(v, fnarg(i, item)) << i << " " << item;
	EXPECT_EQ((Ints{IT_MAG, IT_TIME, IT_LAT, IT_BAD}),
		  (Ints{fnitem("XMAG"), fnitem("TIME"), fnitem("LAT "), fnitem("TIM ")}));
}

// Each row sorts what the row before left, unless it loads events. TIME
// on a fresh (chronological) store moves nothing ascending and reverses
// descending: events of the same minute, which a comparison sort could not
// tell apart, come out reversed too.
TEST_F(SortTest, OrdersAndTheSortedFlag)
{
	struct Row {
		std::vector<Ev> load;
		const char *form;
		Ints want;
		int isort;
	} rows[] = {
		{{Ev(1990).mag(30).id(1), Ev(1990).mag(0).id(2), Ev(1990).mag(70).id(3), Ev(1990).mag(-2).id(4)},
		 "MAG D", {3, 1, 4, 2}, 1},
		{{}, "MAG A", {2, 4, 1, 3}, 1}, // unknown first
		{{Ev(1990).dep(65535).id(1), Ev(1990).dep(50).id(2), Ev(1850).dep(10).id(3), Ev(1990).dep(0).id(4)},
		 "DEP A", {3, 4, 2, 1}, 1},
		{{Ev(1990, 1, 1, 0, 0).id(1), Ev(1990, 1, 1, 0, 0).id(2), Ev(1990, 1, 2).id(3)}, "TIMED", {3, 2, 1}, 1},
		{{Ev(1991).id(1), Ev(1990).id(2)}, "TIMEA", {1, 2}, 0},
		{{Ev(1990).mag(10).id(1), Ev(1992).mag(30).id(2), Ev(1991).mag(20).id(3)}, "MAG D", {2, 3, 1}, 1},
		{{}, "TIMED", {2, 3, 1}, 1}, // now a real sort
		{{}, "TIMEA", {1, 3, 2}, 0},
		{{}, "TIMEA MAG D", {1, 3, 2}, 1},
		// The last group (latitude 30) includes the last event.
		{{Ev(1990).lat(30, 0).mag(20).id(1), Ev(1990).lat(10, 0).mag(10).id(2), Ev(1990).lat(30, 0).mag(50).id(3),
		  Ev(1990).lat(10, 0).mag(40).id(4), Ev(1990).lat(20, 0).mag(30).id(5), Ev(1990).lat(30, 0).mag(30).id(6)},
		 "LAT A MAG D", {4, 2, 5, 3, 6, 1}, 1},
	};
	for (const Row &row : rows) {
		if (!row.load.empty())
			load(row.load);
		EXPECT_EQ(0, run(row.form)) << pn.em_s;
		EXPECT_EQ(row.want, tags()) << row.form;
		EXPECT_EQ(row.isort, st.isort) << row.form;
		EXPECT_EQ(M_END, qeek(4 + 16 * st.itot, st.iseg[0])) << row.form;
	}
	EXPECT_NE(std::string::npos, r.texts().find("Be patient. Now sorting to MAG  ..."));
	for (auto [form, msg, isr] : {std::tuple{"LAT D TIM D", "The second item is invalid!", 2},
				      {"DEEPA", "The first item is invalid!", 0}}) {
		pn.isr = -1;
		EXPECT_EQ(-1, run(form));
		EXPECT_STREQ(msg, pn.em_s);
		EXPECT_EQ(isr, pn.isr);
	}
	EXPECT_EQ(30, (int)fnarg(1, IT_LAT)); // the first pass of a refused form stays done
}

// The first pass ends ordered, with every record once, for any pattern of
// keys; the second pass equals a stable sort of (group of equal first keys,
// second key) over the same records: real clustered NCEDC data, and one
// group of 16,380 (magnitudes alone repeat heavily in both).
TEST_F(SortTest, SecondPassKeepsStableOrderOnRealAndWorstCaseData)
{
	const int N = 16380;
	std::vector<Ev> ncedc;
	for (const char *part : {".b", ".b2", ".b3", ".b4"}) {
		std::string b = test::slurp(std::string(std::getenv("TARNWELL_SOURCE")) + "/data/dataset/ncedc-90" + part);
		for (size_t o = 4; o + 16 <= b.size() && ncedc.size() < N; o += 16)
			std::memcpy(ncedc.emplace_back(1990).b.data(), &b[o], 16);
	}
	std::mt19937 rng(3);
	auto keyed = [&](auto key) {
		std::vector<Ev> v;
		for (int i = 0; i < N; i++)
			v.push_back(Ev(1990, 1 + rng() % 12, 1 + rng() % 28).mag(key(i)).dep(rng() % 300).id(i));
		return v;
	};
	const std::vector<Ev> patterns[] = {
		ncedc, ncedc, ncedc, keyed([](int) { return 0; }), keyed([](int) { return 0; }),
		keyed([](int i) { return 1 + i % 120; }), keyed([](int i) { return 1 + i * 120 / N; }),
		keyed([](int i) { return 120 - i * 120 / N; }),
		keyed([](int i) { return 1 + (i < N / 2 ? i : N - i) * 120 / N; }),
		keyed([&](int) { return 1 + (int)(rng() % 3); }),
	};
	// Cases 0-2 NCEDC with three pairs of items, 3-4 the one group, then
	// the key patterns; every third case descending.
	const Item firsts[] = {IT_MAG, IT_MAG, IT_DEP}, seconds[] = {IT_DEP, IT_TIME, IT_LAT, IT_TIME, IT_DEP};
	for (int c = 0; c < 10; c++) {
		Item i1 = firsts[c < 3 ? c : 0], i2 = seconds[c < 5 ? c : c % 2];
		bool desc = c % 3 == 1;
		load(patterns[c]);
		quicksort(st.itot, i1, desc);
		std::vector<Bytes> after(st.itot), was, kept;
		std::vector<std::tuple<int, double, int>> want;
		for (int n = 1; n <= st.itot; n++) {
			std::memcpy(after[n - 1].data(), event(n - 1), 16);
			double a = n > 1 ? fnarg(n - 1, i1) : 0, b = fnarg(n, i1), k = fnarg(n, i2);
			ASSERT_TRUE(n == 1 || (desc ? a >= b : a <= b)) << c << " at " << n;
			want.emplace_back(n == 1 ? 0 : std::get<0>(want.back()) + (a != b), desc ? -k : k, n - 1);
		}
		for (const Ev &e : patterns[c])
			was.push_back(e.b);
		kept = after;
		std::sort(was.begin(), was.end()), std::sort(kept.begin(), kept.end());
		ASSERT_TRUE(was == kept) << c << ": every record once";
		std::sort(want.begin(), want.end()); // the place breaks ties: stable
		groupsort(st.itot, i1, i2, desc);
		for (int n = 0; n < st.itot; n++)
			ASSERT_EQ(0, std::memcmp(event(n), after[std::get<2>(want[n])].data(), 16)) << c << " at " << n;
	}
}

} // namespace
} // namespace tw
