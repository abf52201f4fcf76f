// MAGNITUDE and TIME: bins and bars, running counts, the magnitude plot,
// the corrections written back into the form and refused settings.
#include <gtest/gtest.h>

#include <tuple>

#include "catalog/store.h"
#include "diag_support.h"
#include "diagrams/diagrams.h"
#include "shell/panel.h"
#include "shell/setup.h"

using namespace tw;

namespace {

using Bars = std::vector<std::vector<int>>;
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
		use_recording(r);
		settings_reset();
		select_defaults();
	}
	void fill_store(const std::vector<Ev> &evs)
	{
		fresh_store("", 2);
		fill(evs);
		std::snprintf(st.f2_s, sizeof st.f2_s, "TEST");
	}
	// A whole form, each value padded to its field's width, Enter, then
	// the keys on the diagram (F3 quits it).
	void type_form(const Strs &values, const std::vector<int> &widths, const std::vector<int> &keys)
	{
		r.calls.clear();
		for (size_t i = 0; i < values.size(); i++)
			for (char c : values[i] + std::string(widths[i] - values[i].size(), ' '))
				r.ch(c);
		r.ch('\r');
		for (int k : keys)
			r.key(k);
	}
	int magnitude(const Strs &form)
	{
		type_form(form, {4, 4, 4, 3, 3, 6}, {KS_F1 + 2});
		return tw::magnitude();
	}
	// Dates as "yyyy mm dd hh nn".
	int time(const TimeForm &f, const std::vector<int> &keys = {KS_F1 + 2})
	{
		Strs v = {f.scal};
		for (auto *d : {&f.from, &f.to}) {
			char b[5][8];
			std::sscanf(d->c_str(), "%7s %7s %7s %7s %7s", b[0], b[1], b[2], b[3], b[4]);
			v.insert(v.end(), {b[0], b[1], b[2], b[3], b[4], d == &f.from ? "00.00" : "59.99"});
		}
		v.insert(v.end(), {f.unit, f.item, f.yscal, f.y1, f.y2});
		type_form(v, {3, 4, 2, 2, 2, 2, 5, 4, 2, 2, 2, 2, 5, 1, 3, 3, 5, 5}, keys);
		return time_tarnw();
	}
	// Boxes of one kind standing on the axis, as {left, right, height}.
	Bars bars(const char *kind = "rect") const
	{
		Bars out;
		for (auto &v : calls_of(r, kind))
			if (v[1] + v[3] == 392 && v[0] >= 45)
				out.push_back({v[0] - 61, v[0] - 61 + v[2], v[3]});
		return out;
	}
	bool shown(const std::string &text) const { return r.texts().find(text) != std::string::npos; }
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
		EXPECT_EQ(bars("fill"), fills) << kind;
		EXPECT_EQ(bars("rect"), unknown) << kind;
		EXPECT_TRUE(shown("unknown23456"));
		for (int x : {119, 193, 267, 341, 415}) // bin ticks
			EXPECT_TRUE(r.has("line " + std::to_string(x) + " 392 " + std::to_string(x) + " 399")) << x;
		EXPECT_TRUE(shown(std::string("(") + kind + ")"));
	}
}

TEST_F(Diagram, MagnitudeSettingsThatCannotBeDrawnAreRefused)
{
	fill_store({Ev(1990).mag(25)});
	const std::pair<Strs, const char *> bad[] = {
		{{"2.0", "7.0", "0", "FRQ", "LNR", "10"}, "Tick Unit must be above 0!"},
		{{"2.0", "7.0", "-1", "FRQ", "LNR", "10"}, "Tick Unit must be above 0!"},
		{{"7.0", "2.0", "1.00", "FRQ", "LNR", "10"}, "To must be above From!"},
		{{"0", "10.1", "0.1", "FRQ", "LNR", "10"}, "(To - From) / Tick Unit must not exceed 100!"},
		{{"2.0", "7.0", "1.00", "FRQ", "LNR", "0"}, "Maximum must be above 0!"},
		{{"2.0", "7.0", "1.00", "ACM", "LOG", "-5"}, "Maximum must be above 0!"},
	};
	for (auto &[form, msg] : bad) {
		EXPECT_EQ(magnitude(form), 0);
		EXPECT_TRUE(shown(msg)) << msg;
		EXPECT_TRUE(bars("fill").empty()) << msg;
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
	for (int (*command)() : {tw::magnitude, time_tarnw}) {
		r.calls.clear();
		EXPECT_EQ(command(), 3);
		EXPECT_TRUE(r.calls.empty());
	}
}

// Bars of every unit: an empty From year, a leap February ending on March
// first, and an hour event past To that ends the bar before it.
TEST_F(Diagram, TimeBarsOfEveryUnit)
{
	const std::tuple<std::vector<Ev>, TimeForm, Bars> cases[] = {
		{{Ev(1991, 5, 1), Ev(1991, 5, 1), Ev(1993, 2, 2)},
		 {.from = "1990 01 01 00 00", .to = "1994 12 31 23 59"},
		 {{0, 83, 0}, {83, 167, 132}, {250, 334, 66}}},
		{{Ev(1996, 1, 20), Ev(1996, 2, 10), Ev(1996, 2, 29)},
		 {.from = "1996 01 01 00 00", .to = "1996 03 31 23 59", .unit = "M"},
		 {{0, 142, 66}, {142, 275, 132}}},
		{{Ev(1995, 3, 14, 22, 30), Ev(1995, 3, 15, 1, 10), Ev(1995, 3, 15, 1, 50), Ev(1995, 3, 15, 5, 0)},
		 {.from = "1995 03 14 22 00", .to = "1995 03 15 03 59", .unit = "H"},
		 {{0, 59, 66}, {179, 239, 132}}},
	};
	for (auto &[evs, form, want] : cases) {
		fill_store(evs);
		ASSERT_EQ(time(form), 0);
		EXPECT_EQ(bars(), want) << form.unit;
		EXPECT_TRUE(shown("(FRQ)"));
	}
}

// Counts 2 on day 1 and 1 on day 10 of a logarithmic day axis.
TEST_F(Diagram, LogarithmicTimeAxisPlotsCrosses)
{
	fill_store({Ev(1995, 1, 1), Ev(1995, 1, 1), Ev(1995, 1, 10)});
	ASSERT_EQ(time({.scal = "LOG", .to = "1995 02 06 23 59", .unit = "D"}), 0);
	for (auto *l : {"line 55 260 67 260", "line 61 254 61 266", "line 315 326 327 326"})
		EXPECT_TRUE(r.has(l)) << l;
	EXPECT_TRUE(bars().empty());
}

// Magnitudes as lines from the axis, the unknown one as a tick below it;
// events before From and after To are left out. Sorted data may be
// plotted by magnitude: only frequencies need time order.
TEST_F(Diagram, MagnitudePlot)
{
	fill_store({Ev(1994, 12, 31).mag(60), Ev(1995, 1, 10).mag(40), Ev(1995, 1, 20, 12).mag(0),
		    Ev(1995, 3, 1).mag(50)});
	st.isort = 1;
	ASSERT_EQ(time({.to = "1995 01 31 23 59", .unit = "D", .item = "MAG", .y2 = "10"}), 0);
	Bars lines;
	for (auto &v : calls_of(r, "line"))
		if (v[0] == v[2] && v[1] == 392 && v[3] < 392)
			lines.push_back(v);
	EXPECT_EQ(lines, (Bars{{182, 392, 182, 260}}));
	EXPECT_TRUE(r.has("line 323 392 323 399"));
	EXPECT_TRUE(shown("unknown"));
	EXPECT_TRUE(shown("(MAG)"));
}

TEST_F(Diagram, CorrectionsAreWrittenBackIntoTheForm)
{
	fill_store({Ev(1995, 1, 10).mag(40), Ev(1995, 1, 20).mag(0)});
	// F6 goes back to the form, F3 quits it.
	EXPECT_EQ(time({.scal = "LOG", .to = "1995 03 31 23 59", .unit = "M", .item = "MAG", .yscal = "LOG",
			.y1 = "-3", .y2 = "10"},
		       {KS_F1 + 5, KS_F1 + 2}),
		  0);
	EXPECT_STREQ(pn.mc_s[13], "D");
	EXPECT_STREQ(pn.mc_s[16], "    0");
}

TEST_F(Diagram, TimeSettingsThatCannotBeDrawnAreRefused)
{
	const std::tuple<TimeForm, int, const char *> cases[] = {
		{{}, 1, "Frequency diagram cannot be made for data in special order."},
		{{.from = "1995 06 01 00 00", .to = "1995 01 31 23 59", .unit = "D"}, 0, "To must not be before From!"},
		{{.from = "1995 06 01 10 00", .to = "1995 06 01 09 59", .unit = "H", .item = "MAG"}, 0,
		 "To must not be before From!"},
		{{.scal = "LOG", .from = "1995 01 10 00 00", .to = "1995 01 10 23 59", .unit = "D"}, 0,
		 "A logarithmic time axis needs more than one Tick Unit!"},
		{{.y1 = "5", .y2 = "5"}, 0, "Y2 must be above Y1!"},
		{{.y1 = "9", .y2 = "3"}, 0, "Y2 must be above Y1!"},
	};
	fill_store({Ev(1995, 1, 10), Ev(1995, 1, 20)});
	for (auto &[form, isort, msg] : cases) {
		st.isort = (short)isort;
		EXPECT_EQ(time(form), 0);
		EXPECT_TRUE(shown(msg)) << msg;
		EXPECT_TRUE(bars().empty()) << msg;
		EXPECT_FALSE(shown("(FRQ)"));
	}
}
