// Round axis ends, the value axis of every kind, the legend block, day
// numbers both ways, and the time axis in every unit and scaling.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "catalog/store.h"
#include "device/graph.h"
#include "diag_support.h"
#include "diagrams/diagrams.h"
#include "recording.h"
#include "shell/setup.h"

using namespace tw;

namespace {

using Ints = std::vector<int>;

struct Axis : ::testing::Test {
	Recording r;
	int base;
	double factor = 1, low;
	void SetUp() override
	{
		use_recording(r);
		diagrams_reset();
	}
	bool value_axis(int kind, int lo, int hi)
	{
		r.calls.clear();
		return vaxis(kind, lo, hi, &base, &factor, &low);
	}
	// Ticks drawn from x 32 to 40, as plotting y, in drawing order.
	Ints vticks() const
	{
		Ints ys;
		for (auto &v : calls_of(r, "line"))
			if (v[0] == 36 && v[2] == 44 && v[1] == v[3])
				ys.push_back(v[1] - 45);
		return ys;
	}
	void range(int y1, int m1, int d1, int h1, int y2, int m2, int d2, int h2)
	{
		dg.ax.kyy1 = y1, dg.ax.km1 = m1, dg.ax.kd1 = d1, dg.ax.kh1 = h1, dg.ax.kn1 = 0;
		dg.ax.kyy2 = y2, dg.ax.km2 = m2, dg.ax.kd2 = d2, dg.ax.kh2 = h2, dg.ax.kn2 = 0;
	}
	bool time_axis(int scaling, int unit)
	{
		r.calls.clear();
		return taxis(scaling, unit, fncal(dg.ax.kyy1, dg.ax.km1, dg.ax.kd1), fncal(dg.ax.kyy2, dg.ax.km2, dg.ax.kd2), dg.ax);
	}
	// Ticks hanging from the time axis, as plotting x, in drawing order.
	Ints ticks() const
	{
		Ints xs;
		for (auto &v : calls_of(r, "line"))
			if (v[0] == v[2] && v[1] == 347 + 45 && v[3] == 354 + 45)
				xs.push_back(v[0] - 4);
		return xs;
	}
};

} // namespace

TEST(Scale, RoundEndsAndSteps)
{
	struct {
		int lo, hi, lower, upper, step;
	} cases[] = {
		{0, 37, 0, 40, 10},     {0, 14, 0, 14, 1},     {5, 100, -10, 100, 10},
		{0, 2000, 0, 2000, 1000}, {3, 7, 3, 7, 1},     {0, 0, 0, 0, 1},
		{0, 999999, 0, 1000000, 1000}, {0, 1000001, 0, -1, 1000},
	};
	for (auto &c : cases) {
		int lower, upper, step;
		scale(c.lo, c.hi, &lower, &upper, &step);
		EXPECT_EQ((Ints{lower, upper, step}), (Ints{c.lower, c.upper, c.step})) << c.lo << ".." << c.hi;
	}
}

TEST_F(Axis, ValueAxesOfEveryKind)
{
	const struct {
		int kind, lo, hi;
		const char *labels;
		size_t ticks;
		int first, colour;
	} cases[] = {
		{1, 0, 37, "010203040", 7, 347, 5}, // linear: the range marks are magenta
		{1, 0, 100, "020406080100", 13, 347, 5}, // more than 8 steps: every second label
		{2, 0, 37, "11037", 3, 219, 3},
		{3, 0, 100, "020406080100", 13, 37, 5}, // depth: downwards
	};
	for (auto &c : cases) {
		SCOPED_TRACE(c.labels);
		ASSERT_TRUE(value_axis(c.kind, c.lo, c.hi));
		EXPECT_EQ(r.texts(), c.labels);
		EXPECT_EQ(vticks().size(), c.ticks);
		EXPECT_EQ(vticks().front(), c.first);
		EXPECT_EQ(r.has("line 44 45 44 392"), c.kind != 3); // no axis line for depth
		EXPECT_EQ(_getcolor(), c.colour);
	}
}

TEST_F(Axis, ValueRangesWithoutSpanDrawNoTicks)
{
	const int bad[][3] = {{1, 5, 5}, {1, 9, 3}, {2, 0, 0}, {2, -5, -1}, {3, 7, 7}, {1, 0, 2000000}};
	for (auto [kind, lo, hi] : bad) {
		SCOPED_TRACE(std::to_string(kind) + " " + std::to_string(lo) + " " + std::to_string(hi));
		EXPECT_FALSE(vaxis_ok(kind, lo, hi));
		EXPECT_FALSE(value_axis(kind, lo, hi));
		EXPECT_EQ(factor, 0);
		EXPECT_TRUE(vticks().empty());
		EXPECT_TRUE(r.texts().empty());
	}
	EXPECT_TRUE(vaxis_ok(2, 0, 1));
	EXPECT_TRUE(vaxis_ok(1, -3, 0));
}

TEST_F(Axis, LegendOfSelectionAndMap)
{
	settings_reset();
	select_defaults();
	st.itot = 42;
	std::snprintf(st.f2_s, sizeof st.f2_s, "JMA");
	legend3(); // over the SELECT defaults: NWPAC, any depth
	std::string sel = r.texts();
	EXPECT_NE(sel.find("data 42(JMA)from"), std::string::npos) << sel;
	EXPECT_NE(sel.find("depth000.0-999.9km"), std::string::npos) << sel;
	auto at = [&](int x, const std::string &text) {
		for (auto &c : r.calls)
			if (c.rfind("itext " + std::to_string(x) + " ", 0) == 0 &&
			    c.size() >= text.size() && c.compare(c.size() - text.size(), text.size(), text) == 0)
				return true;
		return false;
	};
	EXPECT_TRUE(at(500, "data "));           // column 63
	EXPECT_TRUE(at(524, "000.0-999.9km"));   // column 66

	const char *m[12] = {"10", "30", "N", "40", "00", "N", "130", "15", "E", "150", "45", "E"};
	r.calls.clear();
	pfromto(2, 7, {{m[0], m[1], m[2], m[3], m[4], m[5]}, {m[6], m[7], m[8], m[9], m[10], m[11]}});
	std::string b = r.texts(), mtail = "10 30N- 40 00N130 15E-150 45E";
	r.calls.clear();
	pfromto(2, 7, {{se.sa1_s, se.sam1_s, se.sns1_s, se.sa2_s, se.sam2_s, se.sns2_s},
		       {se.so1_s, se.som1_s, se.sew1_s, se.so2_s, se.som2_s, se.sew2_s}});
	std::string a = r.texts(), stail = "00 00N- 60 00N120 00E-180 00E";
	ASSERT_GT(b.size(), mtail.size());
	ASSERT_GT(a.size(), stail.size());
	EXPECT_EQ(b.substr(b.size() - mtail.size()), mtail);
	EXPECT_EQ(a.substr(a.size() - stail.size()), stail);
	EXPECT_EQ(a.substr(0, a.size() - stail.size()), b.substr(0, b.size() - mtail.size()));
	EXPECT_EQ(a.rfind("data 7(JMA)from", 0), 0u);
}

TEST(Calendar, DayNumbers)
{
	const std::tuple<int, int, int, int> days[] = {
		{700, 1, 1, 1},          {1899, 12, 31, 438300}, {1900, 1, 1, 438301},
		{2000, 1, 1, 474826},    {1995, 1, 17, 473016},  {1999, 12, 32, 474826}, // days count on
		{650, 3, 5, 31 + 28 + 5}, // before the count
	};
	for (auto [y, m, d, n] : days)
		EXPECT_EQ(fncal(y, m, d), n) << y << "/" << m << "/" << d;
	EXPECT_EQ(fncal(1900, 3, 1) - fncal(1900, 2, 28), 2); // every fourth year
	EXPECT_EQ(fncal(2100, 3, 1) - fncal(2100, 2, 28), 2);
	EXPECT_EQ(fnuruu(1996) + fnuruu(1900) + fnuruu(1999), 2);

	// Outside the calendar: the first day, and on past 9999.
	const std::pair<double, int> back[] = {{0, 7000101}, {-500.5, 7000101},
					       {fncal(2026, 12, 6), 20261206},
					       {fncal(9999, 12, 31) + 1, 100000101}};
	for (auto [n, ymd] : back) {
		int y, m, d;
		fnlac(n, &y, &m, &d);
		EXPECT_EQ(y * 10000 + m * 100 + d, ymd) << n;
	}
}

TEST(Calendar, RoundTripFrom700Through2100)
{
	double expect = fncal(700, 1, 1);
	int bad = 0;
	for (int y = 700; y <= 2100; y++)
		for (int m = 1; m <= 12; m++)
			for (int d = 1; d <= lmt[m - 1] + (m == 2 ? fnuruu(y) : 0); d++) {
				int yy, mm, dd;
				double n = fncal(y, m, d);
				fnlac(n, &yy, &mm, &dd);
				if (n != expect++ || yy != y || mm != m || dd != d)
					if (bad++ < 5)
						ADD_FAILURE() << y << "/" << m << "/" << d << " came back as "
							      << yy << "/" << mm << "/" << dd;
			}
	EXPECT_EQ(bad, 0);
}

TEST_F(Axis, TimeLabelsOfEveryUnitAndScaling)
{
	struct {
		int from[4], to[4], scaling, unit;
		const char *labels;
		size_t ticks; // with the two cyan end marks of a linear axis
	} cases[] = {
		{{1981, 1, 1, 0}, {2000, 12, 31, 23}, 1, 0, "19811983198519871989199119931995199719992001", 13},
		{{1999, 1, 1, 0}, {1999, 12, 31, 0}, 1, 1, "11999234567891011121" "2000", 15}, // year named once
		{{1996, 2, 27, 0}, {1996, 3, 2, 0}, 1, 2, "1996/2" "27" "28" "29" "3" "1" "2" "3", 8}, // six days
		{{1995, 3, 14, 22}, {1995, 3, 15, 3}, 1, 3, "3/14" "22" "23" "15" "0" "1" "2" "3" "4", 9},
		{{1995, 1, 1, 0}, {1995, 2, 6, 0}, 2, 2, "1" "10" "37", 4}, // 37 days
	};
	for (auto &c : cases) {
		SCOPED_TRACE(c.labels);
		range(c.from[0], c.from[1], c.from[2], c.from[3], c.to[0], c.to[1], c.to[2], c.to[3]);
		ASSERT_TRUE(time_axis(c.scaling, c.unit));
		EXPECT_EQ(r.texts(), c.labels);
		EXPECT_EQ(ticks().size(), c.ticks);
	}
}

TEST_F(Axis, TimeRangesWithoutSpanAreRefused)
{
	range(1995, 1, 1, 0, 1995, 1, 1, 0); // one day, log: U = 1
	EXPECT_FALSE(taxis_ok(2, 2, fncal(1995, 1, 1), fncal(1995, 1, 1), dg.ax));
	EXPECT_FALSE(time_axis(2, 2));
	EXPECT_TRUE(r.texts().empty());
	EXPECT_EQ(ticks().size(), 0u);
	range(1995, 6, 1, 0, 1994, 1, 1, 0); // ends before it starts
	EXPECT_FALSE(time_axis(1, 0));
	EXPECT_FALSE(time_axis(1, 2));
	range(1995, 6, 1, 10, 1995, 6, 1, 5);
	EXPECT_FALSE(time_axis(1, 3));
	EXPECT_FALSE(time_axis(2, 3));
	range(1900, 1, 1, 0, 2054, 1, 1, 0); // more hours than the axis can count
	EXPECT_FALSE(time_axis(2, 3));
	EXPECT_TRUE(time_axis(2, 0));
}
