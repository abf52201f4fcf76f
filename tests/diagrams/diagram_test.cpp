// MAGNITUDE and TIME: bins and bars, running counts, the magnitude plot,
// the corrections written back into the form and refused settings.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

#include "catalog/store.h"
#include "device/graph.h"
#include "device/spool.h"
#include "diag_support.h"
#include "diagrams/diagrams.h"
#include "recording.h"
#include "shell/panel.h"
#include "shell/setup.h"
#include "shell/shell.h"

using namespace tw;

namespace {

using Bars = std::vector<std::vector<int>>;
using Strs = std::vector<std::string>;

struct Diagram : ::testing::Test {
	Recording r;
	void SetUp() override
	{
		use_recording(r);
		settings_reset();
		select_defaults();
	}
	// Bars standing on the axis, as {left, right, height} from plotting x 57.
	Bars bars() const
	{
		Bars out;
		for (auto &v : calls_of(r, "rect"))
			if (v[1] + v[3] == 392 && v[0] >= 61)
				out.push_back({v[0] - 61, v[0] - 61 + v[2], v[3]});
		return out;
	}
	bool shown(const std::string &text) const { return r.texts().find(text) != std::string::npos; }
};

// MAGNITUDE over nine events, one without magnitude.
struct Magnit : Diagram {
	void SetUp() override
	{
		Diagram::SetUp();
		fill_store({Ev(1990).mag(25), Ev(1990).mag(31), Ev(1990).mag(43), Ev(1990).mag(43),
			    Ev(1990).mag(69), Ev(1990).mag(0), Ev(1990).mag(15), Ev(1990).mag(-5),
			    Ev(1990).mag(70)});
	}
	// Then the keys on the diagram; F3 quits it, or the form shown again.
	int run(const Strs &form, const std::vector<int> &keys = {KS_F1 + 2})
	{
		type_form(r, form, {4, 4, 4, 3, 3, 6});
		for (int k : keys)
			r.key(k);
		return magnitude();
	}
	std::string box(const char *kind, int k, int h)
	{
		return std::string(kind) + " " + std::to_string(41 + (k + 1) * 74 + 4) + " " +
		       std::to_string(392 - h) + " 74 " + std::to_string(h);
	}
};

// The TIME form: scaling, From, To, unit, item, count scaling, Y1, Y2.
struct TimeForm {
	std::string scal = "LNR", from = "", to = "", unit = "Y", item = "FRQ", yscal = "LNR", y1 = "0", y2 = "5";
};

struct Time : Diagram {
	// Dates as "yyyy mm dd hh nn".
	int run(const TimeForm &f, const std::vector<int> &keys = {KS_F1 + 2})
	{
		Strs v = {f.scal};
		for (auto *d : {&f.from, &f.to}) {
			char b[5][8];
			std::sscanf(d->c_str(), "%7s %7s %7s %7s %7s", b[0], b[1], b[2], b[3], b[4]);
			v.insert(v.end(), {b[0], b[1], b[2], b[3], b[4], d == &f.from ? "00.00" : "59.99"});
		}
		v.insert(v.end(), {f.unit, f.item, f.yscal, f.y1, f.y2});
		type_form(r, v, {3, 4, 2, 2, 2, 2, 5, 4, 2, 2, 2, 2, 5, 1, 3, 3, 5, 5});
		for (int k : keys)
			r.key(k);
		return time_tarnw();
	}
	int px(double day) { return (int)((day - dg.ax.st0) * dg.ax.ut); }
	std::string line(int x1, int y1, int x2, int y2)
	{
		return "line " + std::to_string(x1) + " " + std::to_string(y1) + " " + std::to_string(x2) + " " +
		       std::to_string(y2);
	}
};

} // namespace

TEST(MagnitudeBins, CountAndLimits)
{
	const std::tuple<double, double, double, int> cases[] = {
		{2.0, 7.0, 1.0, 5},  {2.0, 7.5, 1.0, 6}, // the partial bin [7, 8)
		{0.0, 10.0, 0.1, 100}, {0.0, 4.0, 0.1, 40}, {0.0, 10.1, 0.1, -1}, {2.0, 7.0, 0.0, -1},
		{2.0, 7.0, -1.0, -1}, {7.0, 2.0, 1.0, -1}, {7.0, 7.0, 1.0, -1},
	};
	for (auto [from, to, step, n] : cases)
		EXPECT_EQ(nbins(from, to, step), n) << from << " " << to << " " << step;
}

TEST_F(Magnit, FrequencyBarsOnALinearAxis)
{
	ASSERT_EQ(run({"2.0", "7.0", "1.00", "FRQ", "LNR", "10"}), 0);
	// 2.5, 3.1, 4.3 twice, 6.9 (7.0 is past To); nothing in [5, 6).
	for (auto [k, h] : {std::pair{0, 33}, {1, 33}, {2, 66}, {4, 33}})
		EXPECT_TRUE(r.has(box("fill", k, h))) << box("fill", k, h);
	EXPECT_FALSE(r.has(box("fill", 3, 33)));
	EXPECT_TRUE(r.has("rect 45 359 74 33")); // the one event without magnitude
	for (int x : {115, 189, 263, 337, 411})
		EXPECT_TRUE(r.has("line " + std::to_string(x + 4) + " 392 " + std::to_string(x + 4) + " 399")) << x;
	EXPECT_TRUE(shown("unknown23456"));
	EXPECT_TRUE(shown("(FRQ)"));
	EXPECT_EQ(dg.nn[2], 2);
	EXPECT_EQ(dg.nn[4], 1);
}

TEST_F(Magnit, AccumulatedBarsOnALogarithmicAxis)
{
	ASSERT_EQ(run({"2.0", "7.0", "1.00", "ACM", "LOG", "10"}), 0);
	auto h = [](int c) { return (int)((std::log10((double)c) + 1) * 166); };
	const int counts[5] = {6, 5, 4, 2, 2};
	for (int k = 0; k < 5; k++) {
		EXPECT_EQ(dg.nn[k], counts[k]) << k;
		EXPECT_TRUE(r.has(box("fill", k, h(counts[k])))) << k;
	}
	// The unknown bar stacks onto the first bin: 1 + 6 events.
	EXPECT_TRUE(r.has("rect 45 " + std::to_string(392 - h(7)) + " 74 " + std::to_string(h(7))));
	EXPECT_TRUE(shown("(ACM)"));
}

TEST_F(Magnit, SettingsThatCannotBeDrawnAreRefused)
{
	const std::pair<Strs, const char *> bad[] = {
		{{"2.0", "7.0", "0", "FRQ", "LNR", "10"}, "Tick Unit must be above 0!"},
		{{"2.0", "7.0", "-1", "FRQ", "LNR", "10"}, "Tick Unit must be above 0!"},
		{{"7.0", "2.0", "1.00", "FRQ", "LNR", "10"}, "To must be above From!"},
		{{"0", "10.1", "0.1", "FRQ", "LNR", "10"}, "(To - From) / Tick Unit must not exceed 100!"},
		{{"2.0", "7.0", "1.00", "FRQ", "LNR", "0"}, "Maximum must be above 0!"},
		{{"2.0", "7.0", "1.00", "ACM", "LOG", "-5"}, "Maximum must be above 0!"},
	};
	for (auto &[form, msg] : bad) {
		SCOPED_TRACE(msg);
		r.calls.clear();
		EXPECT_EQ(run(form), 0);
		EXPECT_TRUE(shown(msg));
		for (auto &c : r.calls) // no bar in the first bin's place
			EXPECT_NE(c.rfind("fill 119 ", 0), 0u);
		EXPECT_FALSE(shown("unknown"));
	}
}

TEST(TimeHelpers, BarHeightsAndNumbers)
{
	EXPECT_EQ(nnleng(0, 1, 0, 10), 0);
	EXPECT_EQ(nnleng(0, 2, -1, 10), 0);
	EXPECT_EQ(nnleng(3, 1, 1, 10), 20);
	EXPECT_EQ(nnleng(100, 2, -1, 10), 30);
	char b5[6], b9[9];
	EXPECT_STREQ(itos(40, b9, 5), "   40");
	EXPECT_STREQ(itos(123456, b9, 5), "123456"); // more digits than width: in full
	EXPECT_STREQ(itos(-7, b9, 3), " -7");
	EXPECT_STREQ(itos(123456, b5, 5), "12345"); // never past the buffer
}

TEST_F(Diagram, EmptyStoreShowsNothing)
{
	fill_store({});
	for (int (*command)() : {magnitude, time_tarnw}) {
		r.calls.clear();
		EXPECT_EQ(command(), 3);
		EXPECT_TRUE(r.calls.empty());
	}
}

TEST_F(Time, YearBarsStartWithAnEmptyFromYear)
{
	fill_store({Ev(1991, 5, 1), Ev(1991, 5, 1), Ev(1993, 2, 2)});
	ASSERT_EQ(run({.from = "1990 01 01 00 00", .to = "1994 12 31 23 59"}), 0);
	EXPECT_EQ(dg.ax.st0, fncal(1990, 1, 1));
	int y1 = px(fncal(1991, 1, 1)), y2 = px(fncal(1992, 1, 1));
	EXPECT_EQ(bars(), (Bars{{0, y1, 0}, {y1, y2, 132}, {px(fncal(1993, 1, 1)), px(fncal(1994, 1, 1)), 66}}));
	EXPECT_TRUE(shown("(FRQ)"));
}

TEST_F(Time, MonthBarOfLeapFebruaryEndsOnMarchFirst)
{
	fill_store({Ev(1996, 1, 20), Ev(1996, 2, 10), Ev(1996, 2, 29)});
	ASSERT_EQ(run({.from = "1996 01 01 00 00", .to = "1996 03 31 23 59", .unit = "M"}), 0);
	EXPECT_DOUBLE_EQ(dg.ax.ut, 418.0 / 91);
	int feb = px(fncal(1996, 2, 1)), mar = px(fncal(1996, 3, 1));
	EXPECT_EQ(bars(), (Bars{{0, feb, 66}, {feb, mar, 132}}));
	EXPECT_EQ(mar, (int)(60 * 418.0 / 91));
}

TEST_F(Time, HourBarsAndEventsAfterTo)
{
	fill_store({Ev(1995, 3, 14, 22, 30), Ev(1995, 3, 15, 1, 10), Ev(1995, 3, 15, 1, 50),
		    Ev(1995, 3, 15, 5, 0)});
	ASSERT_EQ(run({.from = "1995 03 14 22 00", .to = "1995 03 15 03 59", .unit = "H"}), 0);
	EXPECT_EQ(dg.ax.rt0, 22);
	auto hx = [&](double h) { return (int)(h * dg.ax.ut); };
	// The 05h event is past To: it ends the 01h bar and gets none itself.
	EXPECT_EQ(bars(), (Bars{{0, hx(1), 66}, {hx(3), hx(4), 132}}));
}

TEST_F(Time, LogarithmicTimeAxisPlotsCrosses)
{
	fill_store({Ev(1995, 1, 1), Ev(1995, 1, 1), Ev(1995, 1, 10)});
	ASSERT_EQ(run({.scal = "LOG", .from = "1995 01 01 00 00", .to = "1995 02 06 23 59", .unit = "D"}), 0);
	int y2 = 392 - 132, y1 = 392 - 66, x10 = (int)(dg.ax.ut) + 4;
	EXPECT_TRUE(r.has(line(55, y2, 67, y2)));
	EXPECT_TRUE(r.has(line(61, y2 - 6, 61, y2 + 6)));
	EXPECT_TRUE(r.has(line(x10 + 51, y1, x10 + 63, y1)));
	EXPECT_TRUE(bars().empty());
}

TEST_F(Time, MagnitudePlot)
{
	fill_store({Ev(1994, 12, 31).mag(60), Ev(1995, 1, 10).mag(40), Ev(1995, 1, 20, 12).mag(0),
		    Ev(1995, 3, 1).mag(50)});
	ASSERT_EQ(run({.from = "1995 01 01 00 00", .to = "1995 01 31 23 59", .unit = "D", .item = "MAG",
		       .y2 = "10"}),
		  0);
	EXPECT_DOUBLE_EQ(dg.ax.ut, 418.0 / 31);
	int x4 = (int)(9 * dg.ax.ut) + 61, xu = (int)(19.5 * dg.ax.ut) + 61;
	EXPECT_TRUE(r.has(line(x4, 392, x4, 260)));
	EXPECT_TRUE(r.has(line(xu, 392, xu, 399)));
	int lines = 0; // the 1994 event is before From, the March one after To
	for (auto &v : calls_of(r, "line"))
		lines += v[0] == v[2] && v[1] == 392 && (v[3] == 226 || v[3] == 193);
	EXPECT_EQ(lines, 0);
	EXPECT_TRUE(shown("unknown"));

	// Sorted data may be plotted by magnitude (only frequencies need time order).
	fill_store({Ev(1995, 1, 20).mag(40), Ev(1995, 1, 10).mag(30)});
	st.isort = 1;
	ASSERT_EQ(run({.from = "1995 01 01 00 00", .to = "1995 01 31 23 59", .unit = "D", .item = "MAG"}), 0);
	EXPECT_TRUE(shown("(MAG)"));
}

TEST_F(Time, CorrectionsAreWrittenBackIntoTheForm)
{
	fill_store({Ev(1995, 1, 10).mag(40), Ev(1995, 1, 20).mag(0)});
	// F6 goes back to the form, F3 quits it.
	EXPECT_EQ(run({.scal = "LOG", .from = "1995 01 01 00 00", .to = "1995 03 31 23 59", .unit = "M",
		       .item = "MAG", .yscal = "LOG", .y1 = "-3", .y2 = "10"},
		      {KS_F1 + 5, KS_F1 + 2}),
		  0);
	EXPECT_STREQ(pn.mc_s[13], "D");
	EXPECT_STREQ(pn.mc_s[16], "    0");
}

TEST_F(Time, SettingsThatCannotBeDrawnAreRefused)
{
	const std::tuple<TimeForm, int, const char *> cases[] = {
		{{.from = "1995 01 01 00 00", .to = "1995 12 31 23 59"}, 1,
		 "Frequency diagram cannot be made for data in special order."},
		{{.from = "1995 06 01 00 00", .to = "1995 01 31 23 59", .unit = "D"}, 0, "To must not be before From!"},
		{{.from = "1995 06 01 10 00", .to = "1995 06 01 09 59", .unit = "H", .item = "MAG"}, 0,
		 "To must not be before From!"},
		{{.scal = "LOG", .from = "1995 01 10 00 00", .to = "1995 01 10 23 59", .unit = "D"}, 0,
		 "A logarithmic time axis needs more than one Tick Unit!"},
		{{.from = "1995 01 01 00 00", .to = "1995 12 31 23 59", .y1 = "5", .y2 = "5"}, 0, "Y2 must be above Y1!"},
		{{.from = "1995 01 01 00 00", .to = "1995 12 31 23 59", .y1 = "9", .y2 = "3"}, 0, "Y2 must be above Y1!"},
	};
	for (auto &[form, isort, msg] : cases) {
		SCOPED_TRACE(msg);
		fill_store({Ev(1995, 1, 10), Ev(1995, 1, 20)});
		st.isort = (short)isort;
		r.calls.clear();
		EXPECT_EQ(run(form), 0);
		EXPECT_TRUE(shown(msg));
		EXPECT_TRUE(bars().empty());
		EXPECT_FALSE(shown("(FRQ)"));
	}
}
