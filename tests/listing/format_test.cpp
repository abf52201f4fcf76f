// Listing lines: the fields of one event as the screen, printer and files
// show them.
#include "fixture.h"
#include "listing/table.h"

namespace tw {

TEST(ListingLine, FieldsAndBlanks)
{
	const struct {
		Ev e;
		const char *want;
	} cases[] = {
		{kobe(), "1995 0117  0546 52.1  135.035E  34.598N   16.1  7.2"},
		{kobe().dep(65535).mag(0), "1995 0117  0546 52.1  135.035E  34.598N            "}, // 51 wide
		{Ev(1850, 3, 15, 12, 30, 100).at(138.5, 35.25).dep(100).mag(65),
		 "1850 0315             138.500E  35.250N         6.5"},
		{Ev(1923, 0, 0, 11, 58).at(-120.5, -0.5).dep(0).mag(-5),
		 "1923       1158  0.0  120.500W   0.500S    0.0 -0.5"},
		{Ev(1923, 3, 0, 11, 58).at(-120.5, -0.5).dep(0).mag(-5),
		 "1923 0300  1158  0.0  120.500W   0.500S    0.0 -0.5"},
		// Year code 255 carries the year where the depth would be.
		{Ev(1703, 12, 31).at(135, 34).mag(80), "1703 1231             135.000E  34.000N         8.0"},
	};
	for (const auto &c : cases)
		EXPECT_EQ(fields(c.e), c.want);
}

TEST_F(ListingTest, ScreenLinesCarryLettersAndRegionNames)
{
	write_tables();
	Ev a = kobe(), b = kobe().at(139.2, 35.7), c = kobe().at(135.035, 27.9);
	fill({a, b, c});
	japan_box();
	int kind = load_tables(select_kind());
	brosub(0, 2, 0, 0, LO_SCREEN, kind);
	EXPECT_EQ(screen_row(1).substr(0, 70),
		  "1    Date       Time       Lon       Lat    Depth   M         Region  ");
	EXPECT_EQ(screen_row(2), "A  " + fields(a) + "  " + name24("KINKI"));
	EXPECT_EQ(screen_row(3).substr(0, 3), "B  ");
	EXPECT_EQ(screen_row(3).substr(56), name24("KANTO"));
	EXPECT_EQ(screen_row(4), "C  " + fields(c) + std::string(26, ' '));
	EXPECT_EQ(screen_row(22).substr(0, 6), " ---> ");

	clear(9);
	brosub(1, 2, 0, 1, LO_SCREEN, RK_NONE); // FIND rows, no region column
	EXPECT_EQ(screen_row(2).substr(0, 5), "2    ");
	EXPECT_EQ(screen_row(3), "A  " + fields(b) + std::string(26, ' '));

	// BROWSE chooses the tables by the SELECT box.
	for (const char *want : {"KINKI", "EAST ASIA"}) {
		r.key(KS_F1 + 2);
		table(0, 3);
		EXPECT_EQ(screen_row(2).substr(56), name24(want));
		select_defaults();
	}
}

} // namespace tw
