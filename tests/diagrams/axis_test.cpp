// Round axis ends, the value axis of every kind, and the legend block.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "catalog/store.h"
#include "device/graph.h"
#include "diagrams/diagrams.h"
#include "maps/map.h"
#include "recording.h"
#include "shell/setup.h"

using namespace tw;

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
		EXPECT_EQ(lower, c.lower) << c.lo << ".." << c.hi;
		EXPECT_EQ(upper, c.upper) << c.lo << ".." << c.hi;
		EXPECT_EQ(step, c.step) << c.lo << ".." << c.hi;
	}
}

namespace {

// Ticks drawn from x 32 to 40, as plotting y, in drawing order.
std::vector<int> vticks(const Recording &r)
{
	std::vector<int> ys;
	for (auto &c : r.calls) {
		int a, b, cc, d;
		if (std::sscanf(c.c_str(), "line %d %d %d %d", &a, &b, &cc, &d) == 4 && a == 36 &&
		    cc == 44 && b == d)
			ys.push_back(b - 45);
	}
	return ys;
}

} // namespace

TEST(ValueAxis, LinearTicksAndRangeMarks)
{
	Recording r;
	use_recording(r);
	int base;
	double factor, low;
	ASSERT_TRUE(vaxis(1, 0, 37, &base, &factor, &low));
	EXPECT_EQ(base, 347);
	EXPECT_DOUBLE_EQ(factor, 332 / 40.0);
	EXPECT_EQ(low, 0);
	EXPECT_EQ(r.texts(), "010203040");
	std::vector<int> want;
	for (int i = 0; i <= 4; i++)
		want.push_back(347 - (int)(i * 10 * factor));
	want.push_back(347);
	want.push_back(39); // 37 itself
	EXPECT_EQ(vticks(r), want);
	EXPECT_EQ(want[4], 15);
	EXPECT_TRUE(r.has("line 44 45 44 392"));
	EXPECT_EQ(_getcolor(), 5); // the range marks are magenta

	r.calls.clear(); // more than 8 steps: every second label
	ASSERT_TRUE(vaxis(1, 0, 100, &base, &factor, &low));
	EXPECT_EQ(r.texts(), "020406080100");
	EXPECT_EQ(vticks(r).size(), 11u + 2);
}

TEST(ValueAxis, LogarithmicDecades)
{
	Recording r;
	use_recording(r);
	int base;
	double factor, low;
	ASSERT_TRUE(vaxis(2, 0, 37, &base, &factor, &low));
	EXPECT_EQ(low, -1.0);
	EXPECT_DOUBLE_EQ(factor, 332 / (std::log10(40.0) + 1));
	EXPECT_EQ(r.texts(), "11037");
	auto y = vticks(r);
	ASSERT_EQ(y.size(), 3u);
	EXPECT_EQ(y[0], (int)(347 - factor));
	EXPECT_EQ(y[2], 347 - (int)((std::log10(37.0) + 1) * factor));
	EXPECT_EQ(_getcolor(), 3);
}

TEST(ValueAxis, DownwardDepthAxis)
{
	Recording r;
	use_recording(r);
	int base;
	double factor, low;
	ASSERT_TRUE(vaxis(3, 0, 100, &base, &factor, &low));
	EXPECT_EQ(base, 37);
	EXPECT_DOUBLE_EQ(factor, -3.32);
	EXPECT_FALSE(r.has("line 44 45 44 392")); // no axis line
	EXPECT_EQ(vticks(r).front(), 37);
	EXPECT_EQ(vticks(r)[10], 369);
}

TEST(ValueAxis, RangesWithoutSpanDrawNoTicks)
{
	Recording r;
	use_recording(r);
	int base;
	double factor = 1, low;
	const int bad[][3] = {{1, 5, 5}, {1, 9, 3}, {2, 0, 0}, {2, -5, -1}, {3, 7, 7}, {1, 0, 2000000}};
	for (auto &b : bad) {
		r.calls.clear();
		EXPECT_FALSE(vaxis_ok(b[0], b[1], b[2]));
		EXPECT_FALSE(vaxis(b[0], b[1], b[2], &base, &factor, &low)) << b[0] << " " << b[1] << " " << b[2];
		EXPECT_EQ(factor, 0);
		EXPECT_TRUE(vticks(r).empty());
		EXPECT_TRUE(r.texts().empty());
	}
	EXPECT_TRUE(vaxis_ok(2, 0, 1));
	EXPECT_TRUE(vaxis_ok(1, -3, 0));
}

TEST(Legend, SelectionAndMapBlocks)
{
	Recording r;
	use_recording(r);
	settings_reset();
	select_defaults();
	st.itot = 42;
	std::snprintf(st.f2_s, sizeof st.f2_s, "JMA");
	std::snprintf(se.dp1_s, sizeof se.dp1_s, "000.0");
	std::snprintf(se.dp2_s, sizeof se.dp2_s, "999.9");
	legend3();
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
	char *slot[12] = {mp.ta1_s, mp.tam1_s, mp.tns1_s, mp.ta2_s, mp.tam2_s, mp.tns2_s,
			  mp.to1_s, mp.tom1_s, mp.tew1_s, mp.to2_s, mp.tom2_s, mp.tew2_s};
	for (int i = 0; i < 12; i++)
		std::snprintf(slot[i], 9, "%s", m[i]);
	r.calls.clear();
	pfromto(-2, 7);
	std::string b = r.texts(), mtail = "10 30N- 40 00N130 15E-150 45E";
	r.calls.clear();
	pfromto(2, 7);
	std::string a = r.texts(), stail = std::string(se.sa1_s) + " " + se.sam1_s + se.sns1_s + "- " +
					    se.sa2_s + " " + se.sam2_s + se.sns2_s + se.so1_s + " " +
					    se.som1_s + se.sew1_s + "-" + se.so2_s + " " + se.som2_s + se.sew2_s;
	ASSERT_GT(b.size(), mtail.size());
	ASSERT_GT(a.size(), stail.size());
	EXPECT_EQ(b.substr(b.size() - mtail.size()), mtail);
	EXPECT_EQ(a.substr(a.size() - stail.size()), stail);
	EXPECT_EQ(a.substr(0, a.size() - stail.size()), b.substr(0, b.size() - mtail.size()));
	EXPECT_EQ(a.rfind("data 7(JMA)from", 0), 0u);
}
