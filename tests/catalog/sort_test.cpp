// SORT: item values, both passes, the order flag and the form's messages.
#include <gtest/gtest.h>

#include <algorithm>
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
#include "shell/shell.h"

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
	void load(const std::vector<Ev> &evs)
	{
		st.itot = 0;
		st.isort = 0;
		for (const Ev &e : evs)
			put_event(0, st.itot++, e.b.data());
		put_marker(0, st.itot, M_END);
	}
	int run(const char *i1, const char *o1, const char *i2 = "    ", const char *o2 = " ")
	{
		std::strcpy(pn.mc_s[0], i1), std::strcpy(pn.mc_s[1], o1);
		std::strcpy(pn.mc_s[2], i2), std::strcpy(pn.mc_s[3], o2);
		return sort_round();
	}
	// The tags in the order the sort leaves.
	Ints sorted(const char *i1, const char *o1, const char *i2 = "    ", const char *o2 = " ")
	{
		EXPECT_EQ(0, run(i1, o1, i2, o2)) << pn.em_s;
		return tags();
	}
};

TEST_F(SortTest, ItemValuesAndItemWords)
{
	load({Ev(1880).dep(500), Ev(1990, 3, 31, 12, 30).lon(10, 30, 0, true).lat(5, 6, 36, true)
					 .dep(65535).mag(-5),
	      Ev(1990).mag(0), Ev(1900).dep(1234)});
	const std::tuple<int, Item, double> values[] = {
		{1, IT_DEP, -1.0}, // before 1885: whatever the field says
		{2, IT_TIME, 1990 * 12 + 3 + (31 + 12.5 / 24) / 31},
		{2, IT_LON, -10.5}, {2, IT_LAT, -5.11}, {2, IT_DEP, 6553.5}, {2, IT_MAG, -0.5},
		{3, IT_MAG, -9999.0}, {4, IT_DEP, 123.4},
	};
	for (auto [i, item, v] : values)
		EXPECT_DOUBLE_EQ(v, fnarg(i, item)) << i << " " << item;
	// A year beyond the year code keeps it in the depth word: depth unknown.
	load({Ev(2060)});
	EXPECT_DOUBLE_EQ(6553.5, fnarg(1, IT_DEP));

	EXPECT_EQ((Ints{IT_MAG, IT_TIME, IT_LAT, IT_BAD}),
		  (Ints{fnitem("XMAG"), fnitem("TIME"), fnitem("LAT "), fnitem("TIM ")}));
}

TEST_F(SortTest, MagnitudeAndDepthOrders)
{
	load({Ev(1990).mag(30).id(1), Ev(1990).mag(0).id(2), Ev(1990).mag(70).id(3),
	      Ev(1990).mag(-2).id(4), Ev(1990).mag(0).id(5)});
	Ints t = sorted("MAG ", "D");
	EXPECT_EQ((Ints{3, 1, 4}), Ints(t.begin(), t.begin() + 3));
	EXPECT_EQ(1, st.isort);
	t = sorted("MAG ", "A");
	EXPECT_EQ((Ints{4, 1, 3}), Ints(t.begin() + 2, t.end())); // unknown first

	load({Ev(1990).dep(65535).id(1), Ev(1990).dep(50).id(2), Ev(1850).dep(10).id(3),
	      Ev(1990).dep(0).id(4)});
	EXPECT_EQ((Ints{3, 4, 2, 1}), sorted("DEP ", "A"));
	EXPECT_EQ(M_END, qeek(4 + 16 * 4, st.iseg[0])); // the end marker stays
}

TEST_F(SortTest, TimeDescendingReversesAFreshStore)
{
	// Same minute: a comparison sort could not tell these apart.
	load({Ev(1990, 1, 1, 0, 0).id(1), Ev(1990, 1, 1, 0, 0).id(2), Ev(1990, 1, 2).id(3)});
	EXPECT_EQ((Ints{3, 2, 1}), sorted("TIME", "D"));
	EXPECT_EQ(1, st.isort);

	load({Ev(1991).id(1), Ev(1990).id(2)});
	EXPECT_EQ((Ints{1, 2}), sorted("TIME", "A")); // chronological already: nothing moves
	EXPECT_EQ(0, st.isort);

	// After another order TIME is a real sort, and ascending restores the flag.
	load({Ev(1990).mag(10).id(1), Ev(1992).mag(30).id(2), Ev(1991).mag(20).id(3)});
	EXPECT_EQ(0, run("MAG ", "D"));
	EXPECT_EQ((Ints{2, 3, 1}), sorted("TIME", "D"));
	EXPECT_EQ((Ints{1, 3, 2}), sorted("TIME", "A"));
	EXPECT_EQ(0, st.isort);
	EXPECT_EQ(0, run("TIME", "A", "MAG ", "D"));
	EXPECT_EQ(1, st.isort);
}

TEST_F(SortTest, SecondItemOrdersEachGroupOfEqualFirstItems)
{
	load({Ev(1990).lat(30, 0).mag(20).id(1), Ev(1990).lat(10, 0).mag(10).id(2),
	      Ev(1990).lat(30, 0).mag(50).id(3), Ev(1990).lat(10, 0).mag(40).id(4),
	      Ev(1990).lat(20, 0).mag(30).id(5), Ev(1990).lat(30, 0).mag(30).id(6)});
	// The last group (latitude 30) includes the last event.
	EXPECT_EQ((Ints{4, 2, 5, 3, 6, 1}), sorted("LAT ", "A", "MAG ", "D"));
	EXPECT_EQ(1, st.isort);
	EXPECT_NE(std::string::npos, r.texts().find("Be patient. Now sorting to MAG  ..."));

	EXPECT_EQ(-1, run("LAT ", "D", "TIM ", "D"));
	EXPECT_STREQ("The second item is invalid!", pn.em_s);
	EXPECT_EQ(2, pn.isr);
	EXPECT_EQ(30, (int)fnarg(1, IT_LAT)); // the first pass stays done
	Ints t = sorted("XMAG", "D"); // the word may stand anywhere in the field; 5 and 6 tie
	EXPECT_EQ((Ints{3, 4}), Ints(t.begin(), t.begin() + 2));
	EXPECT_EQ((Ints{1, 2}), Ints(t.begin() + 4, t.end()));
}

// The second pass against std::stable_sort of (group of equal first keys,
// second key) over the same records: real clustered NCEDC data, and one
// group of 16,380 (magnitudes alone repeat heavily in both).
TEST_F(SortTest, SecondPassKeepsStableOrderOnRealAndWorstCaseData)
{
	std::vector<Ev> ncedc, same;
	const char *src = std::getenv("TARNWELL_SOURCE");
	ASSERT_TRUE(src);
	for (const char *part : {".b", ".b2", ".b3", ".b4"}) {
		std::string b = test::slurp(std::string(src) + "/data/dataset/ncedc-90" + part);
		for (size_t o = 4; o + 16 <= b.size() && ncedc.size() < 16380; o += 16)
			std::memcpy(ncedc.emplace_back(1990).b.data(), &b[o], 16);
	}
	std::mt19937 rng(3);
	for (int i = 0; i < 16380; i++)
		same.push_back(Ev(1990, 1 + rng() % 12, 1 + rng() % 28).dep(rng() % 300).id(i));
	const std::tuple<const std::vector<Ev> *, Item, Item, bool> cases[] = {
		{&ncedc, IT_MAG, IT_DEP, false}, {&ncedc, IT_MAG, IT_TIME, true},
		{&ncedc, IT_DEP, IT_LAT, false}, {&same, IT_MAG, IT_TIME, false},
		{&same, IT_MAG, IT_DEP, true},
	};
	for (auto [evs, i1, i2, desc] : cases) {
		load(*evs);
		quicksort(st.itot, i1, true);
		std::vector<Bytes> before(st.itot);
		std::vector<std::tuple<int, double, int>> want;
		for (int n = 1; n <= st.itot; n++) {
			std::memcpy(before[n - 1].data(), event(n - 1), 16);
			int group = n == 1 ? 0 : std::get<0>(want.back()) + (fnarg(n, i1) != fnarg(n - 1, i1));
			want.emplace_back(group, fnarg(n, i2), n - 1);
		}
		std::stable_sort(want.begin(), want.end(), [desc = desc](auto &a, auto &b) {
			auto [ga, ka] = std::pair(std::get<0>(a), std::get<1>(a));
			auto [gb, kb] = std::pair(std::get<0>(b), std::get<1>(b));
			return ga != gb ? ga < gb : desc ? ka > kb : ka < kb;
		});
		groupsort(st.itot, i1, i2, desc);
		for (int n = 0; n < st.itot; n++)
			ASSERT_EQ(0, std::memcmp(event(n), before[std::get<2>(want[n])].data(), 16))
				<< i1 << " " << i2 << " at " << n;
	}
}

// Every key pattern ends sorted, and keeps every record once.
TEST_F(SortTest, QuicksortOrdersAnyPatternOfKeys)
{
	std::mt19937 rng(7);
	const int n = 16380;
	auto check = [&](auto key) {
		std::vector<Ev> evs;
		for (int i = 0; i < n; i++)
			evs.push_back(Ev(1990).mag(key(i)).id(i));
		load(evs);
		quicksort(n, IT_MAG, false);
		std::vector<int> seen(n);
		for (int i = 1; i <= n; i++) {
			seen[qeek(5, event(i - 1))]++;
			if (i > 1) {
				ASSERT_LE(fnarg(i - 1, IT_MAG), fnarg(i, IT_MAG)) << i;
			}
		}
		EXPECT_EQ(std::vector<int>(n, 1), seen);
	};
	check([](int) { return 30; });
	check([](int i) { return 1 + i % 120; });
	check([](int i) { return 1 + i * 120 / n; });
	check([](int i) { return 120 - i * 120 / n; });
	check([](int i) { return 1 + (i < n / 2 ? i : n - i) * 120 / n; });
	check([&](int) { return 1 + (int)(rng() % 3); });
}

} // namespace
} // namespace tw
