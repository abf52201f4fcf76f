// PRINT and SAVE of the whole selection, when they cannot do what was
// asked (the end-to-end listing checks what they write).
#include "fixture.h"

#include <sys/stat.h>
#include <unistd.h>

namespace tw {

TEST_F(ListingTest, NothingSelected)
{
	for (int (*command)() : {print, save, browse})
		EXPECT_EQ(command(), 3);
}

// Quitting the prompt prints nothing; a printer file that cannot be opened
// and a failed lpr are errors, so the menu says "Error!".
TEST_F(ListingTest, PrintQuitOrUnopenableFile)
{
	fill({kobe()});
	for (unsigned long k : {KS_F1 + 2, KS_F1 + 5}) {
		r.key(k);
		EXPECT_EQ(print(), 0);
	}
	EXPECT_NE(access("seis.prn", F_OK), 0);
	mkdir("seis.prn", 0755); // fopen of a directory fails
	r.ch('\r');
	EXPECT_NE(print(), 0);
	EXPECT_STREQ(pn.em_s, "Printer file cannot be opened!");
	rmdir("seis.prn");
	place.lpr_fails();
	r.ch('\r');
	EXPECT_NE(print(), 0);
	EXPECT_STREQ(pn.em_s, "Print job failed (lpr)!");
}

// The form comes back with the message and the path kept for editing.
TEST_F(ListingTest, SaveFailuresAreReported)
{
	const std::pair<std::string, std::string> cases[] = {
		{"/nonexistent/dir/x", "`/nonexistent/dir/x' cannot be opened."},
		{"/dev/full", "`/dev/full' could not be written completely."}, // written in place
	};
	fill({kobe()});
	for (const auto &[path, message] : cases) {
		r.calls.clear();
		type(path + "\r");
		r.key(KS_F1 + 2); // quit the second showing
		EXPECT_EQ(save(), 0);
		EXPECT_TRUE(shows(message)) << path;
		EXPECT_EQ(std::string(pn.md_s).substr(0, path.size()), path);
	}
}

// Killed at any moment or out of space, SAVE leaves the old file or the new
// one, whole, and says when it could not save.
TEST_F(ListingTest, SaveReplacesTheOldFileWholeOrNotAtAll)
{
	fill(std::vector<Ev>(8000, kobe())); // a listing long enough to be killed in
	std::snprintf(pn.md_s, sizeof pn.md_s, "/stale/%s", std::string(56, 'x').c_str());
	type(dir + "/Whole.txt\r");
	ASSERT_EQ(save(), 0);
	std::string whole = slurp(dir + "/Whole.txt"), target = dir + "/Out.txt";
	ASSERT_EQ(whole.size(), 8000u * 52) << "the last path is not kept";
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
