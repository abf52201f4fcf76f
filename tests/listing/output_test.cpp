// PRINT and SAVE of the whole selection.
#include "fixture.h"
#include "shell/panel.h"

#include <sys/stat.h>

namespace tw {

static std::vector<std::string> lines(const std::string &text, const std::string &end)
{
	std::vector<std::string> out;
	size_t at = 0, e;
	while ((e = text.find(end, at)) != std::string::npos) {
		out.push_back(text.substr(at, e - at));
		at = e + end.size();
	}
	if (at < text.size())
		out.push_back(text.substr(at) + "<unterminated>");
	return out;
}

struct OutputTest : ListingTest {
	void type(const std::string &s)
	{
		for (char c : s)
			r.ch(c);
	}
	std::vector<Ev> sample()
	{
		Ev a, b = a, c = a;
		b.year = 1850, b.lat = 34.0;
		c.lat = 10.0, c.dep = -1, c.mag = 0;
		return {a, b, c};
	}
};

TEST_F(OutputTest, NothingSelected)
{
	EXPECT_EQ(print(), 3);
	EXPECT_EQ(save(), 3);
}

TEST_F(OutputTest, PrintListsWithWorldNames)
{
	write_tables();
	fill(sample());
	r.ch('\r'); // the printer prompt
	EXPECT_EQ(print(), 0);
	EXPECT_NE(r.texts().find("Now printing ....."), std::string::npos);
	EXPECT_EQ(slurp(dir + "/lpr.out"), slurp(dir + "/seis.prn")); // handed to lpr
	std::vector<std::string> l = lines(slurp(dir + "/seis.prn"), "\r\n");
	ASSERT_EQ(l.size(), 5u);
	EXPECT_EQ(l[0], "  Date       Time       Lon       Lat    Depth   M         Region");
	EXPECT_EQ(l[1], "");
	EXPECT_EQ(l[2].size(), 77u);
	EXPECT_EQ(l[2].substr(51), "  " + name24("EAST ASIA"));
	EXPECT_EQ(l[3].size(), 77u);
	EXPECT_EQ(l[4].size(), 53u); // 10 N: no row in the mesh
	EXPECT_EQ(l[4].substr(39), std::string(14, ' '));
}

TEST_F(OutputTest, PrintQuitAtThePromptPrintsNothing)
{
	fill(sample());
	r.key(KS_F1 + 2);
	EXPECT_EQ(print(), 0);
	r.key(KS_F1 + 5);
	EXPECT_EQ(print(), 0);
	EXPECT_NE(access((dir + "/seis.prn").c_str(), F_OK), 0);
}

TEST_F(OutputTest, PrintFileThatCannotBeOpenedIsAnError)
{
	fill(sample());
	mkdir((dir + "/seis.prn").c_str(), 0755); // fopen of a directory fails
	r.ch('\r');
	EXPECT_NE(print(), 0); // the menu says "Error!", not nothing
	EXPECT_STREQ(sh.em_s, "Printer file cannot be opened!");
}

TEST_F(OutputTest, SaveWritesTheSortedStoreWithoutNames)
{
	write_tables();
	std::vector<Ev> evs = sample();
	std::swap(evs[0], evs[2]); // as SORT would leave them
	fill(evs);
	st.isort = 1;
	std::snprintf(pn.md_s, sizeof pn.md_s, "/stale/%s", std::string(56, 'x').c_str());
	type(dir + "/Out.txt\r");
	EXPECT_EQ(save(), 0);
	std::vector<std::string> l = lines(slurp(dir + "/Out.txt"), "\n");
	ASSERT_EQ(l.size(), 3u);
	for (const std::string &s : l)
		EXPECT_EQ(s.size(), 51u);
	EXPECT_EQ(l[0].substr(31, 8), " 10.000N");
	EXPECT_EQ(l[0].substr(39), std::string(12, ' '));
	EXPECT_EQ(l[1].substr(0, 4), "1850");
	EXPECT_EQ(l[2], "1995 0117  0546 52.1  135.035E  34.598N   16.1  7.2");
}

TEST_F(OutputTest, SaveToAnUnwritablePathShowsTheFormAgain)
{
	fill(sample());
	type("/nonexistent/dir/x\r");
	r.key(KS_F1 + 2); // quit the second showing
	EXPECT_EQ(save(), 0);
	EXPECT_NE(r.texts().find("`/nonexistent/dir/x' cannot be opened."), std::string::npos);
	// The form came back with the path kept for editing.
	EXPECT_EQ(std::string(pn.md_s).substr(0, 18), "/nonexistent/dir/x");
}

TEST_F(OutputTest, SaveReportsAFileThatCannotBeWritten)
{
	if (access("/dev/full", W_OK) != 0)
		GTEST_SKIP() << "no /dev/full";
	fill(sample());
	type("/dev/full\r");
	r.key(KS_F1 + 2);
	EXPECT_EQ(save(), 0);
	EXPECT_NE(r.texts().find("`/dev/full' could not be written completely."),
		  std::string::npos);
}

} // namespace tw
