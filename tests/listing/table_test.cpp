// The paged event table, driven by scripted keys.
#include "fixture.h"
#include "device/graph.h"
#include "listing/table.h"

namespace tw {

constexpr unsigned long F4 = KS_F1 + 3, F5 = KS_F1 + 4, F6 = KS_F1 + 5, F7 = KS_F1 + 6, F8 = KS_F1 + 7;

struct TableTest : ListingTest {
	// n events whose minute field numbers them (event i has minute i % 60,
	// hour i / 60), so a row shows which event it holds.
	void events(int n, int base = 0)
	{
		std::vector<Ev> evs;
		for (int i = 0; i < n; i++)
			evs.push_back(Ev(1995, 1, 17, i / 60, i % 60, 521).at(135.035, 34.598).dep(161).mag(72));
		fill(evs, base);
	}
	// Event index shown on a row, or -1 for a row without an event line.
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
		r.key(KS_F1 + 2); // F3 leaves
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
		{25, {F8}, 20, 6},
		{25, {F8, F8}, 5, 21}, // past the end: the last full page
		{25, {F8, F8, F7}, 0, 21},
		{25, {F7}, 0, 21},
		{25, {F5}, 5, 21},
		{25, {F5, F4}, 0, 21},
		{20, {F8}, 0, 21},
		{20, {F5}, 0, 21},
		{1, {F5, F8}, 0, 2},
	};
	for (const auto &c : cases) {
		SCOPED_TRACE(testing::Message() << c.n << " events, " << c.keys.size() << " keys");
		events(c.n);
		EXPECT_EQ(run(0, c.n, c.keys), 0);
		EXPECT_EQ(ls.first, c.first);
		EXPECT_EQ(screen_row(1).rfind(std::to_string(c.first + 1) + "  ", 0), 0u);
		EXPECT_EQ(shown(2), c.first);
		EXPECT_EQ(screen_row(c.last_row)[0], 'A' + c.last_row - 2);
		EXPECT_EQ(shown(c.last_row), c.first + c.last_row - 2);
		EXPECT_EQ(shown(c.last_row + 1), -1);
	}
}

TEST_F(TableTest, BrowsePageLayoutAndKeys)
{
	events(3);
	std::strcpy(st.f2_s, "JMA");
	int bells = r.bells;
	r.ch('x');
	r.key(F6);
	EXPECT_EQ(browse(), 0);
	EXPECT_EQ(r.bells, bells + 1); // the unknown key beeped
	EXPECT_EQ(screen_row(0).substr(4, 43), "Request : BROWSE  for 3 events from JMA.   ");
	EXPECT_EQ(screen_row(22).substr(1, 4), "--->");
	EXPECT_EQ(gr.widespace, 1);
	// Ctrl+E leaves the program from the table.
	r.ch(5);
	EXPECT_THROW(table(0, 3), Exited);
}

TEST_F(TableTest, FindBrowseListsTheSecondaryHalf)
{
	write_tables();
	events(2);
	events(30, base2());
	st.itot = 2;
	std::strcpy(st.f2_s, "PDE");
	EXPECT_EQ(run(1, 30, {F8}), K_F3);
	EXPECT_EQ(screen_row(0).substr(4, 36), "Request : MAP  for 2 events from PDE");
	EXPECT_EQ(screen_row(1).substr(4, 37), "          FIND BROWSE  for 30 events.");
	EXPECT_EQ(screen_row(2).substr(0, 3), "20 ");
	EXPECT_EQ(shown(3), 19);
	EXPECT_EQ(shown(13), 29);
	EXPECT_EQ(screen_row(13)[0], 'K');
	EXPECT_EQ(shown(14), -1);
	r.key(F6);
	EXPECT_EQ(table(1, 30), K_F6);
	EXPECT_EQ(shown(21), 18); // 19 lines a page
	// With four segments the work segment is free: names are listed.
	EXPECT_EQ(screen_row(3).substr(56), name24("EAST ASIA"));
}

TEST_F(TableTest, RegionTablesNeverOverwriteListedEvents)
{
	write_tables();
	// 4095 + 1 found events reach into the work segment (segment 3).
	events(SEGREC + 1, base2());
	unsigned char before[RECLEN];
	std::memcpy(before, evslot(base2(), SEGREC), RECLEN);
	run(1, SEGREC + 1, {F5});
	EXPECT_EQ(std::memcmp(before, evslot(base2(), SEGREC), RECLEN), 0);
	EXPECT_EQ(shown(21), SEGREC);
	EXPECT_EQ(screen_row(21).substr(54), std::string(26, ' '));

	// With two segments the secondary half is the work segment alone.
	fresh_store(dir, 2);
	events(3, base2());
	run(1, 3, {});
	EXPECT_EQ(shown(3), 0);
	EXPECT_EQ(screen_row(3).substr(54), std::string(26, ' '));
}

TEST_F(TableTest, HardCopyOfThePage)
{
	events(2);
	r.key(KS_F1);
	run(0, 2, {});
	std::string prn = place.prn();
	ASSERT_EQ(prn.size(), 25u * 82);
	EXPECT_EQ(prn.substr(2 * 82, 82), screen_row(2) + "\r\n");
}

} // namespace tw
