// TIME: bars per unit, running counts, the magnitude plot, the corrections
// written back into the form, refused settings, and the small helpers.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "catalog/store.h"
#include "diag_support.h"
#include "diagrams/diagrams.h"
#include "recording.h"
#include "shell/panel.h"
#include "shell/setup.h"
#include "shell/shell.h"

using namespace tw;

namespace {

const std::vector<int> W = {3, 4, 2, 2, 2, 2, 5, 4, 2, 2, 2, 2, 5, 1, 3, 3, 5, 5};

struct Form {
	std::string scal = "LNR";
	std::string from[5], to[5];
	std::string unit = "Y", item = "FRQ", yscal = "LNR", y1 = "0", y2 = "5";
	std::vector<std::string> values() const
	{
		std::vector<std::string> v = {scal};
		for (auto &f : from)
			v.push_back(f);
		v.push_back("00.00");
		for (auto &t : to)
			v.push_back(t);
		v.push_back("59.99");
		for (auto *s : {&unit, &item, &yscal, &y1, &y2})
			v.push_back(*s);
		return v;
	}
};

// Dates as "yyyy mm dd hh nn".
Form form(const char *from, const char *to)
{
	Form f;
	char b[5][8];
	std::sscanf(from, "%7s %7s %7s %7s %7s", b[0], b[1], b[2], b[3], b[4]);
	for (int i = 0; i < 5; i++)
		f.from[i] = b[i];
	std::sscanf(to, "%7s %7s %7s %7s %7s", b[0], b[1], b[2], b[3], b[4]);
	for (int i = 0; i < 5; i++)
		f.to[i] = b[i];
	return f;
}

struct Time : ::testing::Test {
	Recording r;
	void SetUp() override
	{
		use_recording(r);
		settings_reset();
		select_defaults();
	}
	int run(const Form &f)
	{
		type_form(r, f.values(), W);
		r.key(KS_F1 + 2);
		return time_tarnw();
	}
	// Bars standing on the axis: {left, right, height} in plotting x.
	std::vector<std::vector<int>> bars()
	{
		std::vector<std::vector<int>> out;
		for (auto &v : calls_of(r, "rect"))
			if (v[1] + v[3] == 392 && v[0] >= 61)
				out.push_back({v[0] - 61, v[0] - 61 + v[2], v[3]});
		return out;
	}
	int px(double day) { return (int)((day - dg.st0) * dg.ut); }
};

using Bars = std::vector<std::vector<int>>;

} // namespace

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

TEST_F(Time, EmptyStoreShowsNothing)
{
	fill_store(nullptr, 0);
	r.calls.clear();
	EXPECT_EQ(time_tarnw(), 3);
	EXPECT_TRUE(r.calls.empty());
}

TEST_F(Time, FormDefaults)
{
	const Ev ev[3] = {{1979, 1, 1}, {1979, 1, 2}, {1979, 1, 3}};
	fill_store(ev, 3);
	r.key(KS_F1 + 2);
	EXPECT_EQ(time_tarnw(), 0);
	EXPECT_STREQ(pn.mc_s[0], "LNR");
	EXPECT_STREQ(pn.mc_s[1], "1979");
	EXPECT_STREQ(pn.mc_s[13], "Y");
	EXPECT_STREQ(pn.mc_s[14], "FRQ");
	EXPECT_STREQ(pn.mc_s[16], "    0");
	EXPECT_STREQ(pn.mc_s[17], "    3"); // 3 events: scale rounds to 3
}

TEST_F(Time, YearBarsStartWithAnEmptyFromYear)
{
	const Ev ev[3] = {{1991, 5, 1}, {1991, 5, 1}, {1993, 2, 2}};
	fill_store(ev, 3);
	ASSERT_EQ(run(form("1990 01 01 00 00", "1994 12 31 23 59")), 0);
	EXPECT_EQ(dg.st0, fncal(1990, 1, 1));
	EXPECT_EQ(bars(), (Bars{{0, px(fncal(1991, 1, 1)), 0},
				{px(fncal(1991, 1, 1)), px(fncal(1992, 1, 1)), 132},
				{px(fncal(1993, 1, 1)), px(fncal(1994, 1, 1)), 66}}));
	EXPECT_NE(r.texts().find("(FRQ)"), std::string::npos);
}

TEST_F(Time, MonthBarOfLeapFebruaryEndsOnMarchFirst)
{
	const Ev ev[3] = {{1996, 1, 20}, {1996, 2, 10}, {1996, 2, 29}};
	fill_store(ev, 3);
	Form f = form("1996 01 01 00 00", "1996 03 31 23 59");
	f.unit = "M";
	ASSERT_EQ(run(f), 0);
	EXPECT_DOUBLE_EQ(dg.ut, 418.0 / 91);
	EXPECT_EQ(bars(), (Bars{{0, px(fncal(1996, 2, 1)), 66},
				{px(fncal(1996, 2, 1)), px(fncal(1996, 3, 1)), 132}}));
	EXPECT_EQ(px(fncal(1996, 3, 1)), (int)(60 * 418.0 / 91));
}

TEST_F(Time, AccumulatedBarsStretchOverEmptyYears)
{
	const Ev ev[3] = {{1990, 3, 1}, {1992, 6, 1}, {1992, 7, 1}};
	fill_store(ev, 3);
	Form f = form("1990 01 01 00 00", "1994 12 31 23 59");
	f.item = "ACM";
	ASSERT_EQ(run(f), 0);
	int mid = px(fncal(1992, 1, 1)), end = px(fncal(1995, 1, 1));
	EXPECT_EQ(bars(), (Bars{{0, mid, 66}, {mid, end, 199}}));
	EXPECT_NE(r.texts().find("(ACM FRQ)"), std::string::npos);
}

TEST_F(Time, HourBarsAndEventsAfterTo)
{
	const Ev ev[4] = {{1995, 3, 14, 22, 30}, {1995, 3, 15, 1, 10}, {1995, 3, 15, 1, 50},
			  {1995, 3, 15, 5, 0}};
	fill_store(ev, 4);
	Form f = form("1995 03 14 22 00", "1995 03 15 03 59");
	f.unit = "H";
	ASSERT_EQ(run(f), 0);
	EXPECT_EQ(dg.rt0, 22);
	auto hx = [&](double h) { return (int)(h * dg.ut); };
	// The 05h event is past To: it ends the 01h bar and gets none itself.
	EXPECT_EQ(bars(), (Bars{{0, hx(1), 66}, {hx(3), hx(4), 132}}));
}

TEST_F(Time, LogarithmicTimeAxisPlotsCrosses)
{
	const Ev ev[3] = {{1995, 1, 1}, {1995, 1, 1}, {1995, 1, 10}};
	fill_store(ev, 3);
	Form f = form("1995 01 01 00 00", "1995 02 06 23 59");
	f.scal = "LOG";
	f.unit = "D";
	ASSERT_EQ(run(f), 0);
	int y2 = 392 - 132, y1 = 392 - 66, x10 = (int)(dg.ut) + 4;
	EXPECT_TRUE(r.has("line 55 " + std::to_string(y2) + " 67 " + std::to_string(y2)));
	EXPECT_TRUE(r.has("line 61 " + std::to_string(y2 - 6) + " 61 " + std::to_string(y2 + 6)));
	EXPECT_TRUE(r.has("line " + std::to_string(x10 + 51) + " " + std::to_string(y1) + " " +
			  std::to_string(x10 + 63) + " " + std::to_string(y1)));
	EXPECT_TRUE(bars().empty());
}

TEST_F(Time, MagnitudePlot)
{
	const Ev ev[4] = {{1994, 12, 31, 0, 0, 0, 60}, {1995, 1, 10, 0, 0, 0, 40},
			  {1995, 1, 20, 12, 0, 0, 0}, {1995, 3, 1, 0, 0, 0, 50}};
	fill_store(ev, 4);
	Form f = form("1995 01 01 00 00", "1995 01 31 23 59");
	f.unit = "D";
	f.item = "MAG";
	f.y2 = "10";
	ASSERT_EQ(run(f), 0);
	EXPECT_DOUBLE_EQ(dg.ut, 418.0 / 31);
	int x4 = (int)(9 * dg.ut) + 61, xu = (int)(19.5 * dg.ut) + 61;
	EXPECT_TRUE(r.has("line " + std::to_string(x4) + " 392 " + std::to_string(x4) + " 260"));
	EXPECT_TRUE(r.has("line " + std::to_string(xu) + " 392 " + std::to_string(xu) + " 399"));
	int lines = 0; // the 1994 event is before From, the March one after To
	for (auto &v : calls_of(r, "line"))
		lines += v[0] == v[2] && v[1] == 392 && (v[3] == 226 || v[3] == 193);
	EXPECT_EQ(lines, 0);
	EXPECT_NE(r.texts().find("unknown"), std::string::npos);
}

TEST_F(Time, CorrectionsAreWrittenBackIntoTheForm)
{
	const Ev ev[2] = {{1995, 1, 10, 0, 0, 0, 40}, {1995, 1, 20, 0, 0, 0, 0}};
	fill_store(ev, 2);
	Form f = form("1995 01 01 00 00", "1995 03 31 23 59");
	f.scal = "LOG";
	f.unit = "M";
	f.item = "MAG";
	f.yscal = "LOG";
	f.y1 = "-3";
	f.y2 = "10";
	type_form(r, f.values(), W);
	r.key(KS_F1 + 5); // back to the form, then quit it
	r.key(KS_F1 + 2);
	EXPECT_EQ(time_tarnw(), 0);
	EXPECT_STREQ(pn.mc_s[13], "D");
	EXPECT_STREQ(pn.mc_s[16], "    0");
}

TEST_F(Time, SettingsThatCannotBeDrawnAreRefused)
{
	const Ev ev[2] = {{1995, 1, 10}, {1995, 1, 20}};
	struct Case {
		const char *from, *to, *scal, *unit, *item, *y1, *y2, *msg;
		int isort;
	} cases[] = {
		{"1995 01 01 00 00", "1995 12 31 23 59", "LNR", "Y", "FRQ", "0", "5",
		 "Frequency diagram cannot be made for data in special order.", 1},
		{"1995 06 01 00 00", "1995 01 31 23 59", "LNR", "D", "FRQ", "0", "5", "To must not be before From!", 0},
		{"1995 06 01 10 00", "1995 06 01 09 59", "LNR", "H", "MAG", "0", "5", "To must not be before From!", 0},
		{"1995 01 10 00 00", "1995 01 10 23 59", "LOG", "D", "FRQ", "0", "5",
		 "A logarithmic time axis needs more than one Tick Unit!", 0},
		{"1995 01 01 00 00", "1995 12 31 23 59", "LNR", "Y", "FRQ", "5", "5", "Y2 must be above Y1!", 0},
		{"1995 01 01 00 00", "1995 12 31 23 59", "LNR", "Y", "FRQ", "9", "3", "Y2 must be above Y1!", 0},
	};
	for (auto &c : cases) {
		fill_store(ev, 2);
		st.isort = (short)c.isort;
		r.calls.clear();
		Form f = form(c.from, c.to);
		f.scal = c.scal, f.unit = c.unit, f.item = c.item, f.y1 = c.y1, f.y2 = c.y2;
		EXPECT_EQ(run(f), 0);
		EXPECT_NE(r.texts().find(c.msg), std::string::npos) << c.msg;
		EXPECT_TRUE(bars().empty());
		EXPECT_EQ(r.texts().find("(FRQ)"), std::string::npos);
	}
}

TEST_F(Time, MagnitudePlotOfSortedDataIsAllowed)
{
	const Ev ev[2] = {{1995, 1, 20, 0, 0, 0, 40}, {1995, 1, 10, 0, 0, 0, 30}};
	fill_store(ev, 2);
	st.isort = 1;
	Form f = form("1995 01 01 00 00", "1995 01 31 23 59");
	f.unit = "D";
	f.item = "MAG";
	ASSERT_EQ(run(f), 0);
	EXPECT_NE(r.texts().find("(MAG)"), std::string::npos);
}
