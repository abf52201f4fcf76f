// SORT: item values and words, both passes, the order flag and the form's messages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

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
	void SetUp() override { use_recording(r), fresh_store(dir.path); }
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

TEST_F(SortTest, ItemValues)
{
	load({Ev(1880).dep(500), Ev(1990, 3, 31, 12, 30).lon(10, 30, 0, true).lat(5, 6, 36, true).dep(65535).mag(-5),
	      Ev(1990).mag(0), Ev(1900).dep(1234), Ev(2060)});
	// Depth: before 1885 whatever the field says, -1; a year past the year
	// code is kept in the depth word (event 5).
	const std::tuple<int, Item, double> values[] = {
		{1, IT_DEP, -1.0}, {2, IT_TIME, 1990 * 12 + 3 + (31 + 12.5 / 24) / 31}, {2, IT_LON, -10.5},
		{2, IT_LAT, -5.11}, {2, IT_DEP, 6553.5}, {2, IT_MAG, -0.5}, {3, IT_MAG, -9999.0}, {4, IT_DEP, 123.4},
		{5, IT_DEP, 6553.5}};
	for (auto [i, item, v] : values)
		EXPECT_DOUBLE_EQ(v, fnarg(i, item)) << i << " " << item;
}

// Each row sorts what the row before left, unless it loads events. TIME
// on a fresh (chronological) store moves nothing ascending and reverses
// descending: events of the same minute, which a comparison sort could not
// tell apart, come out reversed too.
TEST_F(SortTest, OrdersAndTheSortedFlag)
{
	const struct { std::vector<Ev> load; const char *form; Ints want; int isort; } rows[] = {
		{{Ev(1990).mag(30).id(1), Ev(1990).mag(0).id(2), Ev(1990).mag(70).id(3), Ev(1990).mag(-2).id(4)},
		 "MAG D", {3, 1, 4, 2}, 1},
		{{}, "XMAGA", {2, 4, 1, 3}, 1}, // unknown first; an item word anywhere in the field counts
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
	for (const auto &row : rows) {
		SCOPED_TRACE(row.form);
		if (!row.load.empty())
			load(row.load);
		EXPECT_EQ(0, run(row.form)) << pn.em_s;
		EXPECT_EQ(std::pair(row.want, row.isort), std::pair(tags(), (int)st.isort));
		EXPECT_EQ(M_END, qeek(4 + 16 * st.itot, st.iseg[0]));
	}
	EXPECT_NE(std::string::npos, r.texts().find("Be patient. Now sorting to MAG  ..."));
	for (auto [form, msg, isr] : {std::tuple{"LAT D TIM D", "The second item is invalid!", 2},
				      {"DEEPA", "The first item is invalid!", 0}}) {
		pn.isr = -1;
		EXPECT_EQ(-1, run(form));
		EXPECT_EQ(std::pair(std::string(msg), isr), std::pair(std::string(pn.em_s), (int)pn.isr));
	}
	EXPECT_EQ(30, (int)fnarg(1, IT_LAT)); // the first pass of a refused form stays done
}

// The first pass ends ordered, with every record once, for any pattern of
// keys; the second pass equals a stable sort of (group of equal first keys,
// second key) over the same records: real clustered NCEDC data, and one
// group of 16,380 (magnitudes alone repeat heavily in both). Every record
// carries its first place as its tag.
TEST_F(SortTest, SecondPassKeepsStableOrderOnRealAndWorstCaseData)
{
	constexpr int N = 16380;
	std::vector<Ev> ncedc;
	for (const char *part : {".b", ".b2", ".b3", ".b4"}) {
		std::string b = test::slurp(std::string(std::getenv("TARNWELL_SOURCE")) + "/data/dataset/ncedc-90" + part);
		for (size_t o = 4; o + 16 <= b.size() && ncedc.size() < N; o += 16)
			std::memcpy(ncedc.emplace_back(1990).b.data(), &b[o], 16), ncedc.back().id(ncedc.size() - 1);
	}
	// Magnitude by place (r: a random number): one group, saw teeth,
	// rising, falling, a tent, three values at random.
	int (*const keys[])(int, unsigned) = {
		[](int, unsigned) { return 0; }, [](int i, unsigned) { return 1 + i % 120; },
		[](int i, unsigned) { return 1 + i * 120 / N; },
		[](int i, unsigned) { return 120 - i * 120 / N; },
		[](int i, unsigned) { return 1 + (i < N / 2 ? i : N - i) * 120 / N; },
		[](int, unsigned r) { return 1 + (int)(r % 3); },
	};
	std::mt19937 rng(3);
	// Cases 0-2 NCEDC with three pairs of items, then the key patterns
	// (the first two over the one group); every third case descending.
	const Item firsts[] = {IT_MAG, IT_MAG, IT_DEP}, seconds[] = {IT_DEP, IT_TIME, IT_LAT, IT_TIME, IT_DEP};
	for (int c = 0; c < 10; c++) {
		Item i1 = firsts[c < 3 ? c : 0], i2 = seconds[c < 5 ? c : c % 2];
		bool desc = c % 3 == 1;
		std::vector<Ev> evs = c < 3 ? ncedc : std::vector<Ev>();
		for (int i = 0; c >= 3 && i < N; i++)
			evs.push_back(Ev(1990, 1 + rng() % 12, 1 + rng() % 28).mag(keys[std::max(c - 4, 0)](i, rng())).dep(rng() % 300).id(i));
		load(evs);
		quicksort(st.itot, i1, desc);
		Ints after = tags(), want, once = after;
		std::sort(once.begin(), once.end());
		ASSERT_TRUE(std::adjacent_find(once.begin(), once.end()) == once.end()) << c << ": every record once";
		std::vector<std::tuple<int, double, int>> order; // group of equal first keys, second key, place
		for (int n = 1; n <= st.itot; n++) {
			double a = n > 1 ? fnarg(n - 1, i1) : 0, b = fnarg(n, i1), k = fnarg(n, i2);
			ASSERT_TRUE(n == 1 || (desc ? a >= b : a <= b)) << c << " at " << n;
			order.emplace_back(n == 1 ? 0 : std::get<0>(order.back()) + (a != b), desc ? -k : k, n - 1);
		}
		std::sort(order.begin(), order.end()); // the place breaks ties: stable
		for (auto &o : order)
			want.push_back(after[std::get<2>(o)]);
		groupsort(st.itot, i1, i2, desc);
		ASSERT_TRUE(tags() == want) << c;
	}
}

} // namespace
} // namespace tw
