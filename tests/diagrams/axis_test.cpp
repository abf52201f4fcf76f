// Round axis ends, the value axis of every kind, the legend block, day
// numbers both ways, and the time axis in every unit and scaling.
#include <gtest/gtest.h>

#include <tuple>

#include "catalog/store.h"
#include "device/graph.h"
#include "diag_support.h"
#include "diagrams/diagrams.h"
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
	bool time_axis(int scaling, int unit, Ints from, Ints to)
	{
		TimeAxis &a = dg.ax;
		a.kyy1 = from[0], a.km1 = from[1], a.kd1 = from[2], a.kh1 = from[3], a.kn1 = 0;
		a.kyy2 = to[0], a.km2 = to[1], a.kd2 = to[2], a.kh2 = to[3], a.kn2 = 0;
		r.calls.clear();
		return taxis(scaling, unit, fncal(a.kyy1, a.km1, a.kd1), fncal(a.kyy2, a.km2, a.kd2), a);
	}
	// Ticks drawn from one point to another, as the coordinate that moves.
	Ints ticks(bool vertical) const
	{
		Ints at;
		for (auto &v : calls_of(r, "line"))
			if (vertical ? v[0] == 36 && v[2] == 44 && v[1] == v[3] : v[0] == v[2] && v[1] == 392 && v[3] == 399)
				at.push_back(vertical ? v[1] - 45 : v[0] - 4);
		return at;
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

// Linear (range marks magenta, every second label past 8 steps),
// logarithmic, and depth (downwards, no axis line); ranges without span
// draw nothing, as they would divide by zero.
TEST_F(Axis, ValueAxesOfEveryKind)
{
	const struct {
		int kind, lo, hi;
		const char *labels;
		size_t ticks;
		int first, colour;
	} cases[] = {
		{1, 0, 37, "010203040", 7, 347, 5}, {1, 0, 100, "020406080100", 13, 347, 5},
		{2, 0, 37, "11037", 3, 219, 3},     {3, 0, 100, "020406080100", 13, 37, 5},
		{1, 5, 5, "", 0, 0, 0}, {1, 9, 3, "", 0, 0, 0}, {2, 0, 0, "", 0, 0, 0}, {2, -5, -1, "", 0, 0, 0},
		{3, 7, 7, "", 0, 0, 0}, {1, 0, 2000000, "", 0, 0, 0},
	};
	for (auto &c : cases) {
		SCOPED_TRACE(testing::Message() << c.kind << " " << c.lo << ".." << c.hi);
		EXPECT_EQ(value_axis(c.kind, c.lo, c.hi), c.ticks > 0);
		EXPECT_EQ(vaxis_ok(c.kind, c.lo, c.hi), c.ticks > 0);
		EXPECT_EQ(r.texts(), c.labels);
		EXPECT_EQ(ticks(true).size(), c.ticks);
		if (c.ticks) {
			EXPECT_EQ(ticks(true).front(), c.first);
			EXPECT_EQ(r.has("line 44 45 44 392"), c.kind != 3);
			EXPECT_EQ(_getcolor(), c.colour);
		} else {
			EXPECT_EQ(factor, 0);
		}
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
	legend3();
	EXPECT_EQ(r.texts(), "data 42(JMA)from1979/01/0100:00:00.00to1979/12/3123:59:59.99"
			     "00 00N- 60 00N120 00E-180 00Edepth000.0-999.9km");
	EXPECT_TRUE(r.has("itext 500 72 data ")); // column 63, row 2
	EXPECT_TRUE(r.has("itext 524 192 000.0-999.9km")); // column 66, row 10
	r.calls.clear(); // a map's count and box
	pfromto(2, 7, {{"10", "30", "N", "40", "00", "N"}, {"130", "15", "E", "150", "45", "E"}});
	EXPECT_EQ(r.texts(), "data 7(JMA)from1979/01/0100:00:00.00to1979/12/3123:59:59.9910 30N- 40 00N130 15E-150 45E");
}

// Day numbers from 700-01-01, both ways: dates before the count, past its
// end and days past the month's end count on; every fourth year is a leap
// year, 1900 and 2100 included.
TEST(Calendar, RoundTripFrom700Through2100)
{
	const std::tuple<int, int, int, int> days[] = {
		{700, 1, 1, 1}, {1900, 1, 1, 438301}, {2000, 1, 1, 474826}, {1995, 1, 17, 473016},
		{1999, 12, 32, 474826}, {650, 3, 5, 31 + 28 + 5},
	};
	for (auto [y, m, d, n] : days)
		EXPECT_EQ(fncal(y, m, d), n) << y << "/" << m << "/" << d;
	EXPECT_EQ(fncal(1900, 3, 1) - fncal(1900, 2, 28), 2);
	EXPECT_EQ(fncal(2100, 3, 1) - fncal(2100, 2, 28), 2);
	const std::pair<double, int> back[] = {{0, 7000101}, {-500.5, 7000101}, {fncal(9999, 12, 31) + 1, 100000101}};
	for (auto [n, ymd] : back) {
		int y, m, d;
		fnlac(n, &y, &m, &d);
		EXPECT_EQ(y * 10000 + m * 100 + d, ymd) << n;
	}
	double expect = 1;
	int bad = 0;
	for (int y = 700; y <= 2100; y++)
		for (int m = 1; m <= 12; m++)
			for (int d = 1; d <= lmt[m - 1] + (m == 2 ? fnuruu(y) : 0); d++) {
				int yy, mm, dd;
				double n = fncal(y, m, d);
				fnlac(n, &yy, &mm, &dd);
				if ((n != expect++ || yy != y || mm != m || dd != d) && bad++ < 5)
					ADD_FAILURE() << y << "/" << m << "/" << d << " came back as " << yy << "/" << mm << "/" << dd;
			}
	EXPECT_EQ(bad, 0);
	EXPECT_EQ(fnuruu(1996) + fnuruu(1900) + fnuruu(1999), 2);
}

// Ticks counted with the two cyan end marks of a linear axis; ranges
// without span, backwards, or with more hours than the axis can count are
// refused and draw nothing.
TEST_F(Axis, TimeAxesOfEveryUnitAndScaling)
{
	const struct {
		Ints from, to;
		int scaling, unit;
		const char *labels;
		size_t ticks;
	} cases[] = {
		{{1981, 1, 1, 0}, {2000, 12, 31, 23}, 1, 0, "19811983198519871989199119931995199719992001", 13},
		{{1999, 1, 1, 0}, {1999, 12, 31, 0}, 1, 1, "11999234567891011121" "2000", 15}, // year named once
		{{1996, 2, 27, 0}, {1996, 3, 2, 0}, 1, 2, "1996/2" "27" "28" "29" "3" "1" "2" "3", 8}, // six days
		{{1995, 3, 14, 22}, {1995, 3, 15, 3}, 1, 3, "3/14" "22" "23" "15" "0" "1" "2" "3" "4", 9},
		{{1995, 1, 1, 0}, {1995, 2, 6, 0}, 2, 2, "1" "10" "37", 4}, // 37 days
		{{1900, 1, 1, 0}, {2054, 1, 1, 0}, 2, 0, "110100155", 5}, // 155 years, log
		{{1995, 1, 1, 0}, {1995, 1, 1, 0}, 2, 2, "", 0}, // one day, log
		{{1995, 6, 1, 0}, {1994, 1, 1, 0}, 1, 0, "", 0}, {{1995, 6, 1, 0}, {1994, 1, 1, 0}, 1, 2, "", 0},
		{{1995, 6, 1, 10}, {1995, 6, 1, 5}, 1, 3, "", 0}, {{1995, 6, 1, 10}, {1995, 6, 1, 5}, 2, 3, "", 0},
		{{1900, 1, 1, 0}, {2054, 1, 1, 0}, 2, 3, "", 0},
	};
	for (auto &c : cases) {
		SCOPED_TRACE(testing::Message() << c.from[0] << " " << c.scaling << " " << c.unit);
		EXPECT_EQ(time_axis(c.scaling, c.unit, c.from, c.to), c.ticks > 0);
		EXPECT_EQ(r.texts(), c.labels);
		EXPECT_EQ(ticks(false).size(), c.ticks);
	}
	EXPECT_FALSE(taxis_ok(2, 2, fncal(1995, 1, 1), fncal(1995, 1, 1), dg.ax));
}
