// Listing lines: the fields of one event as the screen, printer and files
// show them.
#include "fixture.h"

namespace tw {

static std::string fields(const Ev &e)
{
	unsigned char rec[RECLEN];
	encode(rec, e);
	char out[128];
	evfields(out, sizeof out, rec);
	return out;
}

TEST(ListingLine, FieldsAndBlanks)
{
	Ev kobe;
	EXPECT_EQ(fields(kobe), "1995 0117  0546 52.1  135.035E  34.598N   16.1  7.2");

	Ev un = kobe;
	un.dep = -1, un.mag = 0;
	std::string s = fields(un);
	EXPECT_EQ(s.size(), 51u);
	EXPECT_EQ(s.substr(0, 39), "1995 0117  0546 52.1  135.035E  34.598N");
	EXPECT_EQ(s.substr(39), std::string(12, ' '));

	Ev old{1850, 3, 15, 12, 30, 10.0, 138.5, 35.25, 10.0, 6.5};
	EXPECT_EQ(fields(old), "1850 0315             138.500E  35.250N         6.5");

	Ev noday{1923, 0, 0, 11, 58, 0.0, -120.5, -0.5, 0.0, -0.5};
	EXPECT_EQ(fields(noday), "1923       1158  0.0  120.500W   0.500S    0.0 -0.5");

	Ev monthonly = noday;
	monthonly.mon = 3;
	EXPECT_EQ(fields(monthonly).substr(0, 9), "1923 0300");

	// Year code 255 carries the year where the depth would be.
	Ev y1703{1703, 12, 31, 0, 0, 0.0, 135.0, 34.0, 5.0, 8.0};
	EXPECT_EQ(fields(y1703), "1703 1231             135.000E  34.000N         8.0");
}

TEST_F(ListingTest, SaveModeWritesPlainLinesInStoreOrder)
{
	Ev a, b = a;
	b.year = 2001, b.dep = -1;
	fill({b, a});
	ls.fs = std::tmpfile();
	brosub(0, 1, 0, 0, LO_FILE, RK_WORLD); // file mode never names regions
	std::rewind(ls.fs);
	char buf[256] = {};
	size_t n = std::fread(buf, 1, sizeof buf - 1, ls.fs);
	std::fclose(ls.fs);
	ls.fs = nullptr;
	EXPECT_EQ(std::string(buf, n), fields(b) + "\n" + fields(a) + "\n");
}

TEST_F(ListingTest, ScreenLinesCarryLettersAndRegionNames)
{
	write_tables();
	Ev a, b = a, c = a;
	b.lat = 35.7, b.lon = 139.2;
	c.lat = 27.9;
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
}

} // namespace tw
