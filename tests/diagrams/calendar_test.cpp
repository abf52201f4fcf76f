// Day numbers both ways, and the time axis in every unit and scaling.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "device/graph.h"
#include "diagrams/diagrams.h"
#include "recording.h"

using namespace tw;

TEST(Calendar, DayNumbers)
{
	EXPECT_EQ(fncal(700, 1, 1), 1);
	EXPECT_EQ(fncal(1899, 12, 31), 438300);
	EXPECT_EQ(fncal(1900, 1, 1), 438301);
	EXPECT_EQ(fncal(2000, 1, 1), 474826);
	EXPECT_EQ(fncal(1995, 1, 17), 473016);
	EXPECT_EQ(fncal(1900, 3, 1) - fncal(1900, 2, 28), 2); // every fourth year
	EXPECT_EQ(fncal(2100, 3, 1) - fncal(2100, 2, 28), 2);
	EXPECT_EQ(fncal(1999, 12, 32), fncal(2000, 1, 1)); // days count on
	EXPECT_EQ(fncal(650, 3, 5), 31 + 28 + 5);          // before the count
	EXPECT_EQ(fnuruu(1996) + fnuruu(1900) + fnuruu(1999), 2);
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

TEST(Calendar, DayNumbersOutsideTheCalendar)
{
	int y, m, d;
	fnlac(0, &y, &m, &d);
	EXPECT_EQ(y * 10000 + m * 100 + d, 7000101);
	fnlac(-500.5, &y, &m, &d);
	EXPECT_EQ(y * 10000 + m * 100 + d, 7000101);
	fnlac(fncal(2026, 12, 6), &y, &m, &d);
	EXPECT_EQ(y * 10000 + m * 100 + d, 20261206);
	fnlac(fncal(9999, 12, 31) + 1, &y, &m, &d);
	EXPECT_EQ(y * 10000 + m * 100 + d, 100000101);
}

namespace {

struct AxisFixture : ::testing::Test {
	Recording r;
	void SetUp() override
	{
		use_recording(r);
		diagrams_reset();
	}
	void range(int y1, int m1, int d1, int h1, int y2, int m2, int d2, int h2)
	{
		dg.kyy1 = y1, dg.km1 = m1, dg.kd1 = d1, dg.kh1 = h1, dg.kn1 = 0;
		dg.kyy2 = y2, dg.km2 = m2, dg.kd2 = d2, dg.kh2 = h2, dg.kn2 = 0;
	}
	bool run(int scaling, int unit)
	{
		r.calls.clear();
		return taxis(scaling, unit, fncal(dg.kyy1, dg.km1, dg.kd1), fncal(dg.kyy2, dg.km2, dg.kd2));
	}
	// Ticks hanging from the axis, as plotting x positions, in drawing order.
	std::vector<int> ticks(int y2 = 354)
	{
		std::vector<int> xs;
		for (auto &c : r.calls) {
			int a, b, cc, d;
			if (std::sscanf(c.c_str(), "line %d %d %d %d", &a, &b, &cc, &d) == 4 && a == cc &&
			    b == 347 + 45 && d == y2 + 45)
				xs.push_back(a - 4);
		}
		return xs;
	}
};

} // namespace

TEST_F(AxisFixture, LinearYearAxis)
{
	range(1981, 1, 1, 0, 2000, 12, 31, 23);
	ASSERT_TRUE(run(1, 0));
	EXPECT_EQ(dg.st0, fncal(1981, 1, 1));
	EXPECT_DOUBLE_EQ(dg.ut, 418 / (fncal(2000, 12, 31) + 1 - fncal(1981, 1, 1)));
	std::string want;
	for (int y = 1981; y <= 2001; y += 2)
		want += std::to_string(y);
	EXPECT_EQ(r.texts(), want);
	auto x = ticks();
	ASSERT_EQ(x.size(), 13u); // eleven year ticks and the two cyan end marks
	EXPECT_EQ(x[0], 56);
	EXPECT_EQ(x[10], (int)(56 + (fncal(2001, 1, 1) - dg.st0) * dg.ut)); // end of 2000
	EXPECT_NEAR(x[10], 474, 1);
	EXPECT_EQ(x[11], 57);
	EXPECT_NEAR(x[12], 475, 1);
	EXPECT_TRUE(r.has("line 45 392 494 392")); // the axis line
}

TEST_F(AxisFixture, LinearMonthAxisNamesEachYearOnce)
{
	range(1999, 1, 1, 0, 1999, 12, 31, 0);
	ASSERT_TRUE(run(1, 1));
	EXPECT_EQ(r.texts(), "11999234567891011121" "2000");
	EXPECT_EQ(ticks().size(), 13u + 2);
}

TEST_F(AxisFixture, LinearDayAxisAcrossLeapFebruary)
{
	range(1996, 2, 27, 0, 1996, 3, 2, 0);
	ASSERT_TRUE(run(1, 2));
	EXPECT_EQ(r.texts(), "1996/2" "27" "28" "29" "3" "1" "2" "3");
}

TEST_F(AxisFixture, LinearHourAxisOverMidnight)
{
	range(1995, 3, 14, 22, 1995, 3, 15, 3);
	ASSERT_TRUE(run(1, 3));
	EXPECT_EQ(dg.rt0, 22);
	EXPECT_DOUBLE_EQ(dg.ut, 418.0 / (24 + 3 + 1 - 22));
	EXPECT_EQ(r.texts(), "3/14" "22" "23" "15" "0" "1" "2" "3" "4");
	auto x = ticks();
	ASSERT_EQ(x.size(), 7u + 2);
	EXPECT_EQ(x[0], 57);
	EXPECT_NEAR(x[6], 57 + 418, 1);
}

TEST_F(AxisFixture, LogarithmicDayAxis)
{
	range(1995, 1, 1, 0, 1995, 2, 6, 0); // 37 days
	ASSERT_TRUE(run(2, 2));
	EXPECT_DOUBLE_EQ(dg.ut, 418 / std::log10(40.0));
	EXPECT_EQ(r.texts(), "1" "10" "37");
	auto x = ticks();
	ASSERT_EQ(x.size(), 4u);
	EXPECT_EQ(x[1], 57 + (int)dg.ut);
	EXPECT_EQ(x[3], 57 + (int)(std::log10(37.0) * dg.ut));
	EXPECT_EQ(_getcolor(), 3); // the bars that follow are cyan
}

TEST_F(AxisFixture, RangesWithoutSpanAreRefused)
{
	range(1995, 1, 1, 0, 1995, 1, 1, 0); // one day, log: U = 1
	EXPECT_FALSE(taxis_ok(2, 2, fncal(1995, 1, 1), fncal(1995, 1, 1)));
	EXPECT_FALSE(run(2, 2));
	EXPECT_TRUE(r.texts().empty());
	EXPECT_EQ(ticks().size(), 0u);
	range(1995, 6, 1, 0, 1994, 1, 1, 0); // ends before it starts
	EXPECT_FALSE(run(1, 0));
	EXPECT_FALSE(run(1, 2));
	range(1995, 6, 1, 10, 1995, 6, 1, 5);
	EXPECT_FALSE(run(1, 3));
	EXPECT_FALSE(run(2, 3));
	range(1900, 1, 1, 0, 2054, 1, 1, 0); // more hours than the axis can count
	EXPECT_FALSE(run(2, 3));
	EXPECT_TRUE(run(2, 0));
}
