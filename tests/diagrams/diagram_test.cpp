// Round axis ends, value and time axes of every kind, day numbers both
// ways, the legend block; MAGNITUDE and TIME: bins and bars, running
// counts, the magnitude plot, corrections written back into the form and
// refused settings.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <iterator>
#include <sstream>
#include <tuple>

#include "catalog/store.h"
#include "device/graph.h"
#include "diagrams/diagrams.h"
#include "events.h"
#include "recording.h"
#include "shell/panel.h"

using namespace tw;

namespace {

using Ints = std::vector<int>;
using Bars = std::vector<Ints>; // calls, bars and rising lines
using Strs = std::vector<std::string>;

// The TIME form: scaling, From, To, unit, item, count scaling, Y1, Y2.
struct TimeForm {
	std::string scal = "LNR", from = "1995 01 01 00 00", to = "1995 12 31 23 59", unit = "Y", item = "FRQ",
		    yscal = "LNR", y1 = "0", y2 = "5";
};

struct Diagram : ::testing::Test {
	Recording r;
	void SetUp() override
	{
		use_recording(r), fill_store({}), diagrams_reset();
	}
	void fill_store(const std::vector<Ev> &evs)
	{
		fresh_store("", 2), fill(evs);
		std::snprintf(st.f2_s, sizeof st.f2_s, "TEST");
	}
	// The four numbers of every recorded call of one kind.
	Bars calls(const std::string &kind) const
	{
		Bars out;
		for (auto &c : r.calls)
			if (Ints v(4); std::sscanf(c.c_str(), (kind + " %d %d %d %d").c_str(), &v[0], &v[1], &v[2], &v[3]) == 4)
				out.push_back(v);
		return out;
	}
	// Ticks drawn from one point to another, as the coordinate that moves.
	Ints ticks(bool vertical) const
	{
		Ints at;
		for (auto &v : calls("line"))
			if (vertical ? v[0] == 36 && v[2] == 44 && v[1] == v[3] : v[0] == v[2] && v[1] == 392 && v[3] == 399)
				at.push_back(vertical ? v[1] - 45 : v[0] - 4);
		return at;
	}
	// A whole form, each value padded to its field's width, Enter, then F3
	// to quit the diagram or the form: what the command answered.
	int run(int (*command)(), const Strs &values, const Ints &widths)
	{
		r.calls.clear();
		for (size_t i = 0; i < values.size(); i++)
			r.type((values[i] + std::string(widths[i] - values[i].size(), ' ')).c_str());
		r.ch('\r'), r.key(KS_F1 + 2);
		return command();
	}
	int magnitude(const Strs &form) { return run(tw::magnitude, form, {4, 4, 4, 3, 3, 6}); }
	// Dates as "yyyy mm dd hh nn".
	int time(const TimeForm &f)
	{
		std::istringstream in(f.scal + " " + f.from + " 00.00 " + f.to + " 59.99 " + f.unit + " " + f.item + " " +
				      f.yscal + " " + f.y1 + " " + f.y2);
		return run(time_tarnw, {std::istream_iterator<std::string>(in), {}},
			   {3, 4, 2, 2, 2, 2, 5, 4, 2, 2, 2, 2, 5, 1, 3, 3, 5, 5});
	}
	// Boxes of one kind standing on the axis, as {left, right, height};
	// with "line", lines rising from the axis as {x, top}.
	Bars bars(const char *kind = "rect") const
	{
		Bars out;
		for (auto &v : calls(kind))
			if (kind[0] == 'l' ? v[0] == v[2] && v[1] == 392 && v[3] < 392 : v[1] + v[3] == 392 && v[0] >= 45)
				out.push_back(kind[0] == 'l' ? Ints{v[0], v[3]} : Ints{v[0] - 61, v[0] - 61 + v[2], v[3]});
		return out;
	}
	bool shown(const std::string &text) const { return r.texts().find(text) != std::string::npos; }
};

} // namespace

TEST(Scale, RoundEndsAndSteps)
{
	for (const Ints &c : {Ints{0, 37, 0, 40, 10}, {0, 14, 0, 14, 1}, {5, 100, -10, 100, 10}, {0, 2000, 0, 2000, 1000},
			      {3, 7, 3, 7, 1}, {0, 0, 0, 0, 1}, {0, 999999, 0, 1000000, 1000}, {0, 1000001, 0, -1, 1000}}) {
		int lower, upper, step;
		scale(c[0], c[1], &lower, &upper, &step);
		EXPECT_EQ((Ints{c[0], c[1], lower, upper, step}), c);
	}
}

// Linear (range marks magenta, every second label past 8 steps),
// logarithmic, and depth (downwards, no axis line); ranges without span
// draw nothing, as they would divide by zero.
TEST_F(Diagram, ValueAxesOfEveryKind)
{
	const struct { int kind, lo, hi; const char *labels; int ticks, first, colour; } cases[] = {
		{1, 0, 37, "010203040", 7, 347, 5}, {1, 0, 100, "020406080100", 13, 347, 5},
		{2, 0, 37, "11037", 3, 219, 3},     {3, 0, 100, "020406080100", 13, 37, 5},
		{1, 5, 5, "", 0, 0, 0}, {1, 9, 3, "", 0, 0, 0}, {2, 0, 0, "", 0, 0, 0}, {2, -5, -1, "", 0, 0, 0},
		{3, 7, 7, "", 0, 0, 0}, {1, 0, 2000000, "", 0, 0, 0},
	};
	for (auto &c : cases) {
		SCOPED_TRACE(testing::Message() << c.kind << " " << c.lo << ".." << c.hi);
		r.calls.clear();
		int base;
		double factor = 1, low; // the axis's scale, as the diagram reads it
		EXPECT_EQ(vaxis(c.kind, c.lo, c.hi, &base, &factor, &low), c.ticks > 0);
		Ints t = ticks(true);
		EXPECT_EQ(r.texts(), c.labels);
		EXPECT_EQ((t.empty() ? Ints{0, 0, 0} : Ints{(int)t.size(), t[0], _getcolor()}), (Ints{c.ticks, c.first, c.colour}));
		EXPECT_EQ(r.has("line 44 45 44 392"), c.kind != 3);
		EXPECT_EQ(factor == 0, !c.ticks);
	}
	EXPECT_TRUE(vaxis_ok(2, 0, 1) && vaxis_ok(1, -3, 0));
}

TEST_F(Diagram, LegendOfSelectionAndMap)
{
	st.itot = 42;
	legend3();
	EXPECT_EQ(r.texts(), "data 42(TEST)from1979/01/0100:00:00.00to1979/12/3123:59:59.99"
			     "00 00N- 60 00N120 00E-180 00Edepth000.0-999.9km");
	EXPECT_TRUE(r.has("itext 500 72 data ") && r.has("itext 524 192 000.0-999.9km")); // columns 63 and 66, rows 2 and 10
	r.calls.clear(); // a map's count and box
	pfromto(2, 7, {{"10", "30", "N", "40", "00", "N"}, {"130", "15", "E", "150", "45", "E"}});
	EXPECT_EQ(r.texts(), "data 7(TEST)from1979/01/0100:00:00.00to1979/12/3123:59:59.9910 30N- 40 00N130 15E-150 45E");
}

// Day numbers from 700-01-01, both ways: dates before the count, past its
// end and days past the month's end count on; every fourth year is a leap
// year, 1900 and 2100 included (the walk takes the leap rule from fnuruu,
// so the fixed numbers pin it).
TEST(Calendar, RoundTripFrom700Through2100)
{
	for (auto [y, m, d, n] :
	     {std::array{1900, 3, 1, 438361}, {2100, 3, 1, 511411}, {1999, 12, 32, 474826}, {650, 3, 5, 31 + 28 + 5}})
		EXPECT_EQ(fncal(y, m, d), n) << y << "/" << m << "/" << d;
	auto ymd = [](double n) { int y, m, d; fnlac(n, &y, &m, &d); return y * 10000 + m * 100 + d; };
	for (auto [n, date] : {std::pair{0.0, 7000101}, {-500.5, 7000101}, {fncal(9999, 12, 31) + 1, 100000101}})
		EXPECT_EQ(ymd(n), date) << n;
	double n = 1;
	for (int y = 700; y <= 2100; y++)
		for (int m = 1; m <= 12; m++)
			for (int d = 1; d <= lmt[m - 1] + (m == 2 ? fnuruu(y) : 0); d++, n++) {
				ASSERT_EQ(fncal(y, m, d), n) << y << "/" << m << "/" << d;
				ASSERT_EQ(ymd(n), y * 10000 + m * 100 + d);
			}
}

// Ticks counted with the two cyan end marks of a linear axis; ranges
// without span, backwards, or with more hours than the axis can count are
// refused and draw nothing.
TEST_F(Diagram, TimeAxesOfEveryUnitAndScaling)
{
	const struct { Ints from, to; int scaling, unit; const char *labels; size_t ticks; } cases[] = {
		{{1981, 1, 1, 0}, {2000, 12, 31, 23}, 1, 0, "19811983198519871989199119931995199719992001", 13},
		{{1999, 1, 1, 0}, {1999, 12, 31, 0}, 1, 1, "11999234567891011121" "2000", 15}, // year named once
		{{1996, 2, 27, 0}, {1996, 3, 2, 0}, 1, 2, "1996/2" "27" "28" "29" "3" "1" "2" "3", 8}, // six days
		{{1995, 3, 14, 22}, {1995, 3, 15, 3}, 1, 3, "3/14" "22" "23" "15" "0" "1" "2" "3" "4", 9},
		{{1995, 1, 1, 0}, {1995, 2, 6, 0}, 2, 2, "1" "10" "37", 4}, // 37 days
		{{1900, 1, 1, 0}, {2054, 1, 1, 0}, 2, 0, "110100155", 5}, // 155 years, log
		{{1995, 1, 1, 0}, {1995, 1, 1, 0}, 2, 2, "", 0}, {{1900, 1, 1, 0}, {2054, 1, 1, 0}, 2, 3, "", 0}, // one day, log
		{{1995, 6, 1, 0}, {1994, 1, 1, 0}, 1, 0, "", 0}, {{1995, 6, 1, 0}, {1994, 1, 1, 0}, 1, 2, "", 0},
		{{1995, 6, 1, 10}, {1995, 6, 1, 5}, 1, 3, "", 0}, {{1995, 6, 1, 10}, {1995, 6, 1, 5}, 2, 3, "", 0},
	};
	for (auto &c : cases) {
		SCOPED_TRACE(testing::Message() << c.from[0] << " " << c.scaling << " " << c.unit);
		r.calls.clear();
		auto &f = c.from, &t = c.to;
		TimeAxis a{f[0], f[1], f[2], f[3], 0, t[0], t[1], t[2], t[3], 0, 0, 0, 0};
		EXPECT_EQ(taxis(c.scaling, c.unit, fncal(f[0], f[1], f[2]), fncal(t[0], t[1], t[2]), a), c.ticks > 0);
		EXPECT_EQ((std::pair{r.texts(), ticks(false).size()}), (std::pair{std::string(c.labels), c.ticks}));
	}
}

// 7.5: the partial bin [7, 8); steps of 0.1 that do not divide exactly in
// binary still make whole bins. Too many bins: a refused MAGNITUDE form.
TEST(MagnitudeBins, CountAndLimits)
{
	for (auto [from, to, step, n] : {std::tuple{2.0, 7.5, 1.0, 6}, {0.0, 10.0, 0.1, 100}, {0.0, 4.0, 0.1, 40},
					 {2.0, 7.0, 0.0, -1}, {7.0, 7.0, 1.0, -1}})
		EXPECT_EQ(nbins(from, to, step), n) << from << " " << to << " " << step;
}

// Nine events, one without magnitude: 2.5, 3.1, 4.3 twice, 6.9 in 2..7
// (7.0 is past To, nothing in [5, 6)); running counts stack the unknown
// bar onto the first bin. Bar heights: log10(count) + 1 over 166 pixels.
TEST_F(Diagram, MagnitudeBarsOfBothKinds)
{
	fill_store({Ev(1990).mag(25), Ev(1990).mag(31), Ev(1990).mag(43), Ev(1990).mag(43), Ev(1990).mag(69),
		    Ev(1990).mag(0), Ev(1990).mag(15), Ev(1990).mag(-5), Ev(1990).mag(70)});
	const std::tuple<const char *, const char *, Bars, Bars> cases[] = {
		{"FRQ", "LNR", {{58, 132, 33}, {132, 206, 33}, {206, 280, 66}, {354, 428, 33}}, {{-16, 58, 33}}},
		{"ACM", "LOG", {{58, 132, 295}, {132, 206, 282}, {206, 280, 265}, {280, 354, 215}, {354, 428, 215}},
		 {{-16, 58, 306}}},
	};
	for (auto &[kind, scale, fills, unknown] : cases) {
		ASSERT_EQ(magnitude({"2.0", "7.0", "1.00", kind, scale, "10"}), 0);
		EXPECT_EQ((std::pair{bars("fill"), bars()}), (std::pair{fills, unknown})) << kind;
		EXPECT_TRUE(shown("unknown23456") && shown(std::string("(") + kind + ")"));
		EXPECT_EQ(ticks(false), (Ints{115, 189, 263, 337, 411})) << "bin ticks";
	}
}

// Bars of every unit: an empty From year, a leap February ending on March
// first, and an hour event past To that ends the bar before it. A
// logarithmic day axis plots crosses: counts 2 on day 1 and 1 on day 10.
// The magnitude plot draws lines up from the axis, the unknown magnitude a
// tick below it, and leaves out events before From and after To; sorted
// data may be plotted by magnitude, as only frequencies need time order.
TEST_F(Diagram, TimeBarsOfEveryUnitAndTheMagnitudePlot)
{
	const struct { std::vector<Ev> evs; TimeForm form; Bars boxes, rising = {}; Strs calls = {}; } cases[] = {
		{{Ev(1991, 5, 1), Ev(1991, 5, 1), Ev(1993, 2, 2)},
		 {.from = "1990 01 01 00 00", .to = "1994 12 31 23 59"}, {{0, 83, 0}, {83, 167, 132}, {250, 334, 66}}},
		{{Ev(1996, 1, 20), Ev(1996, 2, 10), Ev(1996, 2, 29)},
		 {.from = "1996 01 01 00 00", .to = "1996 03 31 23 59", .unit = "M"}, {{0, 142, 66}, {142, 275, 132}}},
		{{Ev(1995, 3, 14, 22, 30), Ev(1995, 3, 15, 1, 10), Ev(1995, 3, 15, 1, 50), Ev(1995, 3, 15, 5, 0)},
		 {.from = "1995 03 14 22 00", .to = "1995 03 15 03 59", .unit = "H"}, {{0, 59, 66}, {179, 239, 132}}},
		{{Ev(1995, 1, 1), Ev(1995, 1, 1), Ev(1995, 1, 10)}, {.scal = "LOG", .to = "1995 02 06 23 59", .unit = "D"},
		 {}, {}, {"line 55 260 67 260", "line 61 254 61 266", "line 315 326 327 326"}},
		{{Ev(1994, 12, 31).mag(60), Ev(1995, 1, 10).mag(40), Ev(1995, 1, 20, 12).mag(0), Ev(1995, 3, 1).mag(50)},
		 {.to = "1995 01 31 23 59", .unit = "D", .item = "MAG", .y2 = "10"}, {}, {{182, 260}}, {"line 323 392 323 399"}},
	};
	for (auto &c : cases) {
		fill_store(c.evs);
		st.isort = c.form.item == "MAG"; // the magnitude plot on sorted data
		ASSERT_EQ(time(c.form), 0);
		EXPECT_EQ((std::pair{bars(), bars("line")}), (std::pair{c.boxes, c.rising})) << c.form.unit;
		EXPECT_TRUE(shown("(" + c.form.item + ")") && (c.form.item == "FRQ" || shown("unknown")));
		for (auto &l : c.calls)
			EXPECT_TRUE(r.has(l)) << l;
	}
}

// On an empty store MAGNITUDE and TIME draw nothing at all; settings they
// cannot draw (a MAGNITUDE form given, else the TIME form) are refused
// with a message, and nothing is drawn. Corrections made before the checks
// are written back into the form: a logarithmic time axis plots magnitudes
// by day, and a logarithmic Y1 starts at 0.
TEST_F(Diagram, SettingsThatCannotBeDrawnAreRefused)
{
	r.calls.clear();
	for (int (*command)() : {tw::magnitude, time_tarnw})
		EXPECT_EQ(command(), 3);
	EXPECT_TRUE(r.calls.empty());
	const std::tuple<Strs, TimeForm, int, const char *> cases[] = {
		{{"2.0", "7.0", "0", "FRQ", "LNR", "10"}, {}, 0, "Tick Unit must be above 0!"},
		{{"7.0", "2.0", "1.00", "FRQ", "LNR", "10"}, {}, 0, "To must be above From!"},
		{{"0", "10.1", "0.1", "FRQ", "LNR", "10"}, {}, 0, "(To - From) / Tick Unit must not exceed 100!"},
		{{"2.0", "7.0", "1.00", "FRQ", "LNR", "0"}, {}, 0, "Maximum must be above 0!"},
		{{}, {}, 1, "Frequency diagram cannot be made for data in special order."},
		{{}, {.from = "1995 06 01 00 00", .to = "1995 01 31 23 59", .unit = "D"}, 0, "To must not be before From!"},
		{{}, {.from = "1995 06 01 10 00", .to = "1995 06 01 09 59", .unit = "H", .item = "MAG"}, 0,
		 "To must not be before From!"},
		{{}, {.scal = "LOG", .from = "1995 01 10 00 00", .to = "1995 01 10 23 59", .unit = "D"}, 0,
		 "A logarithmic time axis needs more than one Tick Unit!"},
		{{}, {.y1 = "5", .y2 = "5"}, 0, "Y2 must be above Y1!"},
		{{}, {.scal = "LOG", .to = "1995 03 31 23 59", .unit = "M", .item = "MAG", .yscal = "LOG", .y1 = "-3",
		      .y2 = "0"}, 0, "Y2 must be above Y1 and above 0!"},
	};
	fill_store({Ev(1995, 1, 10).mag(25), Ev(1995, 1, 20)});
	for (auto &[magnitude_form, time_form, isort, msg] : cases) {
		st.isort = (short)isort;
		EXPECT_EQ(magnitude_form.empty() ? time(time_form) : magnitude(magnitude_form), 0);
		EXPECT_TRUE(shown(msg) && bars("fill").empty() && bars().empty() && !shown("unknown") && !shown("(FRQ)")) << msg;
	}
	EXPECT_EQ((Strs{pn.mc_s[13], pn.mc_s[16]}), (Strs{"D", "    0"}));
}
