// PRINT and SAVE of the whole selection.
#include "fixture.h"
#include "listing/table.h"
#include "shell/panel.h"

#include <sys/stat.h>
#include <unistd.h>

namespace tw {

static std::vector<std::string> lines(const std::string &text, const std::string &end)
{
	std::vector<std::string> out;
	size_t at = 0, e;
	for (; (e = text.find(end, at)) != std::string::npos; at = e + end.size())
		out.push_back(text.substr(at, e - at));
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
		return {kobe(), Ev(1850, 1, 17, 5, 46, 521).at(135.035, 34).dep(161).mag(72),
			kobe().at(135.035, 10).dep(65535).mag(0)};
	}
};

TEST_F(OutputTest, NothingSelected)
{
	EXPECT_EQ(print(), 3);
	EXPECT_EQ(save(), 3);
	EXPECT_EQ(browse(), 3);
}

TEST_F(OutputTest, PrintListsWithWorldNames)
{
	write_tables();
	fill(sample());
	r.ch('\r'); // the printer prompt
	EXPECT_EQ(print(), 0);
	EXPECT_TRUE(shows("Now printing ....."));
	EXPECT_EQ(slurp(place.job(1)), place.prn()); // handed to lpr
	std::vector<std::string> l = lines(place.prn(), "\r\n");
	ASSERT_EQ(l.size(), 5u);
	EXPECT_EQ(l[0], "  Date       Time       Lon       Lat    Depth   M         Region");
	EXPECT_EQ(l[1], "");
	EXPECT_EQ(l[2].size(), 77u);
	EXPECT_EQ(l[2].substr(51), "  " + name24("EAST ASIA"));
	EXPECT_EQ(l[3].size(), 77u);
	EXPECT_EQ(l[4].size(), 53u); // 10 N: no row in the mesh
	EXPECT_EQ(l[4].substr(39), std::string(14, ' '));
}

TEST_F(OutputTest, PrintQuitOrUnopenableFile)
{
	fill(sample());
	r.key(KS_F1 + 2);
	EXPECT_EQ(print(), 0);
	r.key(KS_F1 + 5);
	EXPECT_EQ(print(), 0);
	EXPECT_NE(access("seis.prn", F_OK), 0) << "quitting the prompt prints nothing";

	mkdir("seis.prn", 0755); // fopen of a directory fails
	r.ch('\r');
	EXPECT_NE(print(), 0); // the menu says "Error!", not nothing
	EXPECT_STREQ(pn.em_s, "Printer file cannot be opened!");

	rmdir("seis.prn");
	place.lpr_fails(); // a printer that does not exist
	r.ch('\r');
	EXPECT_NE(print(), 0);
	EXPECT_STREQ(pn.em_s, "Print job failed (lpr)!");
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
	EXPECT_EQ(l[0], fields(evs[0]));
	EXPECT_EQ(l[0].size(), 51u) << "undetermined depth and magnitude keep the width";
	EXPECT_EQ(l[1], fields(evs[1]));
	EXPECT_EQ(l[2], "1995 0117  0546 52.1  135.035E  34.598N   16.1  7.2");
}

// A path that cannot be opened shows the form again with the path kept for
// editing; a short write is reported, not taken for success.
TEST_F(OutputTest, SaveFailuresAreReported)
{
	const struct {
		const char *path, *message;
	} cases[] = {
		{"/nonexistent/dir/x", "`/nonexistent/dir/x' cannot be opened."},
		{"/dev/full", "`/dev/full' could not be written completely."},
	};
	fill(sample());
	for (const auto &c : cases) {
		SCOPED_TRACE(c.path);
		if (access(c.path, F_OK) != 0 && std::string(c.path) == "/dev/full")
			continue; // no /dev/full here
		r.calls.clear();
		type(std::string(c.path) + "\r");
		r.key(KS_F1 + 2); // quit the second showing
		EXPECT_EQ(save(), 0);
		EXPECT_TRUE(shows(c.message));
		EXPECT_EQ(std::string(pn.md_s).substr(0, std::strlen(c.path)), c.path);
	}
}

// Killed at any moment or out of space, SAVE leaves the old file or the new
// one, whole, and says when it could not save.
TEST_F(OutputTest, SaveReplacesTheOldFileWholeOrNotAtAll)
{
	fill(std::vector<Ev>(8000, kobe())); // a listing long enough to be killed in
	type(dir + "/Whole.txt\r");
	ASSERT_EQ(save(), 0);
	std::string whole = slurp(dir + "/Whole.txt"), target = dir + "/Out.txt";
	test::write_file(target, "old\n");
	test::kill_during(20, [&] { type(target + "\r"), save(); }, [&] {
		std::string got = slurp(target);
		EXPECT_TRUE(got == "old\n" || got == whole) << got.size() << " bytes";
	});

	test::FullFs fs;
	if (!fs.ok)
		GTEST_SKIP() << "no tmpfs can be mounted here (needs privileges)";
	target = fs.d.file("Out.txt");
	test::write_file(target, "old\n");
	fs.fill();
	type(target + "\r");
	r.key(KS_F1 + 2); // quit the second showing
	EXPECT_EQ(save(), 0);
	EXPECT_TRUE(shows("`" + target + "' was not saved: nothing changed!"));
	EXPECT_EQ(slurp(target), "old\n");
}

} // namespace tw
