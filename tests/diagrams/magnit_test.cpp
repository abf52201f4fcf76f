// MAGNITUDE: bins, counts, bar geometry, refused settings, and the hard
// copy of the diagram through the graphics key reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <sys/stat.h>

#include "catalog/sort.h"
#include "catalog/store.h"
#include "device/graph.h"
#include "device/ps.h"
#include "device/spool.h"
#include "diag_support.h"
#include "diagrams/diagrams.h"
#include "recording.h"
#include "shell/setup.h"
#include "shell/shell.h"

using namespace tw;

namespace {

const std::vector<int> W = {4, 4, 4, 3, 3, 6};

const Ev events[] = {
	{1990, 1, 1, 0, 0, 0, 25}, {1990, 1, 2, 0, 0, 0, 31}, {1990, 1, 3, 0, 0, 0, 43},
	{1990, 1, 4, 0, 0, 0, 43}, {1990, 1, 5, 0, 0, 0, 69}, {1990, 1, 6, 0, 0, 0, 0},
	{1990, 1, 7, 0, 0, 0, 15}, {1990, 1, 8, 0, 0, 0, -5}, {1990, 1, 9, 0, 0, 0, 70},
};

struct Magnit : ::testing::Test {
	Recording r;
	void SetUp() override
	{
		use_recording(r);
		settings_reset();
		select_defaults();
		fill_store(events, 9);
	}
	int run(const std::vector<std::string> &form)
	{
		type_form(r, form, W);
		r.key(KS_F1 + 2); // quit the diagram, or the form shown again
		return magnitude();
	}
	std::string box(const char *kind, int k, int h)
	{
		int x = 41 + (k + 1) * 74 + 4;
		return std::string(kind) + " " + std::to_string(x) + " " + std::to_string(392 - h) + " 74 " +
		       std::to_string(h);
	}
};

} // namespace

TEST(MagnitudeBins, CountAndLimits)
{
	EXPECT_EQ(nbins(2.0, 7.0, 1.0), 5);
	EXPECT_EQ(nbins(2.0, 7.5, 1.0), 6); // the partial bin [7, 8)
	EXPECT_EQ(nbins(0.0, 10.0, 0.1), 100);
	EXPECT_EQ(nbins(0.0, 4.0, 0.1), 40);
	EXPECT_EQ(nbins(0.0, 10.1, 0.1), -1);
	EXPECT_EQ(nbins(2.0, 7.0, 0.0), -1);
	EXPECT_EQ(nbins(2.0, 7.0, -1.0), -1);
	EXPECT_EQ(nbins(7.0, 2.0, 1.0), -1);
	EXPECT_EQ(nbins(7.0, 7.0, 1.0), -1);
}

TEST_F(Magnit, EmptyStoreShowsNothing)
{
	st.itot = 0;
	r.calls.clear();
	EXPECT_EQ(magnitude(), 3);
	EXPECT_TRUE(r.calls.empty());
}

TEST_F(Magnit, FrequencyBarsOnALinearAxis)
{
	ASSERT_EQ(run({"2.0", "7.0", "1.00", "FRQ", "LNR", "10"}), 0);
	EXPECT_TRUE(r.has(box("fill", 0, 33))) << box("fill", 0, 33); // 2.5
	EXPECT_TRUE(r.has(box("fill", 1, 33)));                         // 3.1
	EXPECT_TRUE(r.has(box("fill", 2, 66)));                         // 4.3 twice
	EXPECT_TRUE(r.has(box("fill", 4, 33)));                         // 6.9, not 7.0
	EXPECT_FALSE(r.has(box("fill", 3, 33)));
	EXPECT_TRUE(r.has("rect 45 359 74 33")); // the one event without magnitude
	for (int x : {115, 189, 263, 337, 411})
		EXPECT_TRUE(r.has("line " + std::to_string(x + 4) + " 392 " + std::to_string(x + 4) + " 399")) << x;
	std::string t = r.texts();
	EXPECT_NE(t.find("unknown23456"), std::string::npos);
	EXPECT_NE(t.find("(FRQ)"), std::string::npos);
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
	EXPECT_NE(r.texts().find("(ACM)"), std::string::npos);
}

TEST_F(Magnit, ManyBinsLabelEveryFifth)
{
	ASSERT_EQ(run({"0.0", "4.0", "0.1", "FRQ", "LNR", "10"}), 0);
	std::string t = r.texts();
	size_t u = t.find("unknown");
	ASSERT_NE(u, std::string::npos);
	EXPECT_EQ(t.substr(u + 7, 17), "00.511.522.533.5H"); // then the toolbar // bins 0, 5, 10 ... 35
	int ticks = 0;
	for (auto &l : calls_of(r, "line"))
		ticks += l[1] == 392 && l[3] == 399 && l[0] == l[2] && l[0] > 45;
	EXPECT_EQ(ticks, 8);
}

TEST_F(Magnit, SettingsThatCannotBeDrawnAreRefused)
{
	const std::vector<std::vector<std::string>> bad = {
		{"2.0", "7.0", "0", "FRQ", "LNR", "10"},
		{"2.0", "7.0", "-1", "FRQ", "LNR", "10"},
		{"7.0", "2.0", "1.00", "FRQ", "LNR", "10"},
		{"0", "10.1", "0.1", "FRQ", "LNR", "10"},
		{"2.0", "7.0", "1.00", "FRQ", "LNR", "0"},
		{"2.0", "7.0", "1.00", "ACM", "LOG", "-5"},
	};
	const char *msg[] = {"Tick Unit must be above 0!", "Tick Unit must be above 0!",
			     "To must be above From!", "(To - From) / Tick Unit must not exceed 100!",
			     "Maximum must be above 0!", "Maximum must be above 0!"};
	for (size_t i = 0; i < bad.size(); i++) {
		r.calls.clear();
		EXPECT_EQ(run(bad[i]), 0);
		std::string t = r.texts();
		EXPECT_NE(t.find(msg[i]), std::string::npos) << i;
		for (auto &c : r.calls) // no bar in the first bin's place
			EXPECT_NE(c.rfind("fill 119 ", 0), 0u) << i;
		EXPECT_EQ(t.find("unknown"), std::string::npos) << i;
	}
}

TEST_F(Magnit, HardCopyFullAndHalfSize)
{
	ScratchDir d;
	std::snprintf(sp.port_s, sizeof sp.port_s, "ps");
	type_form(r, {"2.0", "7.0", "1.00", "ACM", "LOG", "10"}, W);
	r.key(KS_F1);
	r.key(KS_F1 + 1);
	r.key(KS_F1 + 2);
	ASSERT_EQ(magnitude(), 0);
	std::string full = slurp(d.job(1)), half = slurp(d.job(2));
	ASSERT_FALSE(full.empty());
	EXPECT_TRUE(gs_ok(d.job(1)));
	EXPECT_TRUE(gs_ok(d.job(2)));
	size_t p = full.find("1.0 1.0 scale\n");
	ASSERT_NE(p, std::string::npos);
	EXPECT_EQ(std::count(full.begin(), full.begin() + p, '\n'), 13); // the 14th line
	EXPECT_EQ(half.substr(p, 14), "0.5 0.5 scale\n");
	EXPECT_EQ(full.substr(0, p), half.substr(0, p));
	EXPECT_EQ(full.substr(p + 14), half.substr(p + 14));
	EXPECT_NE(full.find("(unknown) show"), std::string::npos);
	EXPECT_NE(full.find("gsave stroke grestore fill"), std::string::npos);
	EXPECT_EQ(full.substr(full.size() - 16), "stroke\nshowpage\n");
	EXPECT_EQ(gr.psflag, 0);
}

TEST_F(Magnit, UnwritablePrinterFileGoesBackToTheForm)
{
	ScratchDir d;
	ASSERT_EQ(mkdir("seis.prn", 0755), 0); // cannot be opened for writing
	type_form(r, {"2.0", "7.0", "1.00", "ACM", "LOG", "10"}, W);
	r.key(KS_F1);
	r.key(KS_F1 + 2); // quits the form shown again
	ASSERT_EQ(magnitude(), 0);
	EXPECT_NE(r.texts().find("Printer file cannot be opened!"), std::string::npos);
	EXPECT_EQ(gr.psflag, 0);
	EXPECT_TRUE(slurp(d.job(1)).empty());
}
