// Listing lines, the paged event table of BROWSE and FIND driven by
// scripted keys, and PRINT and SAVE when they cannot do what was asked (the
// end-to-end listing checks what they write).
#include "fixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include "shell/panel.h"

namespace tw {

constexpr unsigned long F3 = KS_F1 + 2, F4 = KS_F1 + 3, F5 = KS_F1 + 4, F7 = KS_F1 + 6, F8 = KS_F1 + 7;

// The Kobe earthquake of 1995.
const Ev kobe = Ev(1995, 1, 17, 5, 46, 521).at(135.035, 34.598).dep(161).mag(72);

// Lines the end-to-end listing does not reach: missing time, month or
// day, west and south, negative magnitude, the year code 255.
TEST(ListingLine, FieldsAndBlanks)
{
	const std::pair<Ev, const char *> cases[] = {
		{Ev(1850, 3, 15, 12, 30, 100).at(138.5, 35.25).dep(100).mag(65),
		 "1850 0315             138.500E  35.250N         6.5"},
		{Ev(1923, 0, 0, 11, 58).at(-120.5, -0.5).dep(0).mag(-5),
		 "1923       1158  0.0  120.500W   0.500S    0.0 -0.5"},
		{Ev(1923, 3, 0, 11, 58).at(-120.5, -0.5).dep(0).mag(-5),
		 "1923 0300  1158  0.0  120.500W   0.500S    0.0 -0.5"},
		{Ev(1703, 12, 31).at(135, 34).mag(80), "1703 1231             135.000E  34.000N         8.0"},
	};
	for (const auto &[e, want] : cases) {
		char out[128];
		evfields(out, sizeof out, e.b.data());
		EXPECT_EQ(out, std::string(want));
	}
}

struct TableTest : ListingTest {
	// n events numbered by their time (hour i / 60, minute i % 60).
	void events(int n, int base = 0)
	{
		std::vector<Ev> evs;
		for (int i = 0; i < n; i++)
			evs.push_back(Ev(1995, 1, 17, i / 60, i % 60).at(135, 34.6));
		fill(evs, base);
	}
	// Event number on a screen row, -1 for a row without an event line.
	int shown(int row)
	{
		std::string s = screen_row(row);
		if (s[0] < 'A' || s[0] > 'Z' || s.substr(1, 2) != "  ")
			return -1;
		int hm = std::atoi(s.substr(14, 4).c_str());
		return hm / 100 * 60 + hm % 100;
	}
	int run(int mode, int n, std::initializer_list<unsigned long> keys)
	{
		for (unsigned long k : keys)
			r.key(k);
		r.key(F3);
		return table(mode, n);
	}
};

TEST_F(TableTest, PagingLimits)
{
	const struct {
		int n;
		std::initializer_list<unsigned long> keys;
		int first, last_row; // the page's first event, its last event row
	} cases[] = {
		{25, {F8, F8}, 5, 21}, // past the end: the last full page
		{25, {F8, F8, F7}, 0, 21}, {25, {F7}, 0, 21}, {25, {F5}, 5, 21}, {25, {F5, F4}, 0, 21},
		{20, {F8}, 0, 21},     {20, {F5}, 0, 21},     {1, {F5, F8}, 0, 2},
	};
	for (const auto &c : cases) {
		SCOPED_TRACE(testing::Message() << c.n << " events, " << c.keys.size() << " keys");
		events(c.n);
		EXPECT_EQ(run(0, c.n, c.keys), 0);
		EXPECT_EQ(shown(2), c.first);
		EXPECT_EQ(shown(c.last_row), c.first + c.last_row - 2);
		EXPECT_EQ(shown(c.last_row + 1), -1);
	}
	int bells = r.bells;
	r.ch('x');
	r.ch(5); // Ctrl+E leaves the program from the table
	EXPECT_THROW(table(0, 1), Exited);
	EXPECT_EQ(r.bells, bells + 1);
}

// FIND lists the secondary half, 19 events a page under the MAP request,
// with names only when the listed events leave the work segment free for
// the tables (with two segments the secondary half is the work segment).
TEST_F(TableTest, RegionTablesNeverOverwriteListedEvents)
{
	test::write_file(dir + "/world.mes", {34, 1, 100, 0, 1}); // one row (34 N), one name
	test::write_file(dir + "/world.nam", name24("EAST ASIA"));
	const struct {
		int segs, n;
		bool named;
	} cases[] = {{4, 30, true}, {4, SEGREC + 1, false}, {2, 3, false}};
	for (auto [segs, n, named] : cases) {
		fresh_store(dir, segs);
		events(2);
		events(n, base2());
		std::strcpy(st.f2_s, "PDE");
		unsigned char *last = evslot(base2(), n - 1);
		std::vector<unsigned char> before(last, last + RECLEN);
		EXPECT_EQ(run(1, n, {F5}), K_F3);
		EXPECT_TRUE(std::equal(before.begin(), before.end(), last));
		std::string title = "          FIND BROWSE  for " + std::to_string(n) + " events.";
		EXPECT_EQ(screen_row(0).substr(4, 36), "Request : MAP  for 2 events from PDE");
		EXPECT_EQ(screen_row(1).substr(4, title.size()), title);
		int first = std::max(0, n - 19), row = 3 + n - 1 - first;
		EXPECT_EQ(screen_row(2).rfind(std::to_string(first + 1) + " ", 0), 0u);
		EXPECT_EQ(shown(row), n - 1);
		EXPECT_EQ(shown(row + 1), -1);
		EXPECT_EQ(screen_row(row).substr(54), named ? "  " + name24("EAST ASIA") : std::string(26, ' '));
	}
}

// Nothing selected, nothing to list; quitting the prompt (F3, F6) prints
// nothing; a printer file that cannot be opened and a failed lpr are
// errors, so the menu says "Error!".
TEST_F(ListingTest, PrintQuitOrUnopenableFile)
{
	for (int (*command)() : {print, save, browse})
		EXPECT_EQ(command(), 3);
	fill({kobe});
	place.lpr_fails();
	mkdir("seis.prn", 0755); // fopen of a directory fails
	for (unsigned long k : {F3, KS_F1 + 5}) {
		r.key(k);
		EXPECT_EQ(print(), 0);
	}
	for (const char *why : {"Printer file cannot be opened!", "Print job failed (lpr)!"}) {
		r.ch('\r');
		EXPECT_NE(print(), 0);
		EXPECT_STREQ(pn.em_s, why);
		rmdir("seis.prn");
	}
	EXPECT_EQ(place.args(), "seis.prn\n---\n") << "one job, the one lpr refused";
}

// Killed at any moment or out of space, SAVE leaves the old file or the new
// one, whole. A failure brings the form back with the message and the path
// kept for editing.
TEST_F(ListingTest, SaveReplacesTheOldFileWholeOrNotAtAll)
{
	fill(std::vector<Ev>(8000, kobe)); // a listing long enough to be killed in
	std::snprintf(pn.md_s, sizeof pn.md_s, "/stale/%s", std::string(56, 'x').c_str());
	type(dir + "/Whole.txt\r");
	ASSERT_EQ(save(), 0);
	std::string whole = test::slurp(dir + "/Whole.txt"), target = dir + "/Out.txt";
	ASSERT_EQ(whole.size(), 8000u * 52) << "the last path is not kept";
	test::write_file(target, "old\n");
	test::kill_during(20, [&] { type(target + "\r"), save(); }, [&] {
		std::string got = test::slurp(target);
		EXPECT_TRUE(got == "old\n" || got == whole) << got.size() << " bytes";
	});

	std::vector<std::pair<std::string, std::string>> cases = {
		{"/nonexistent/dir/x", "`/nonexistent/dir/x' cannot be opened."},
		{"/dev/full", "`/dev/full' could not be written completely."}, // written in place
	};
	test::FullFs fs;
	if (fs.ok) {
		target = fs.d.file("Out.txt");
		test::write_file(target, "old\n");
		fs.fill();
		cases.push_back({target, "`" + target + "' was not saved: nothing changed!"});
	}
	for (const auto &[path, message] : cases) {
		r.calls.clear();
		type(path + "\r");
		r.key(F3); // quit the second showing
		EXPECT_EQ(save(), 0);
		EXPECT_TRUE(shows(message)) << path;
		EXPECT_EQ(std::string(pn.md_s).substr(0, path.size()), path);
	}
	if (!fs.ok)
		GTEST_SKIP() << "no tmpfs can be mounted here (needs privileges)";
	EXPECT_EQ(test::slurp(target), "old\n");
}

} // namespace tw
