// Region names from mesh and name tables placed in the work segment.
#include "fixture.h"

#include <unistd.h>

namespace tw {

struct RegionTest : ListingTest {
	unsigned char *w = nullptr;
	void SetUp() override
	{
		ListingTest::SetUp();
		w = st.iseg[workseg()];
	}
	void mesh(std::initializer_list<int> bytes)
	{
		long i = 0;
		for (int b : bytes)
			w[MESH_OFF + i++] = (unsigned char)b;
		ls.mesl = i;
	}
	void names(std::initializer_list<const char *> ns)
	{
		long i = 0;
		for (const char *n : ns)
			std::memcpy(w + NAME_OFF + i, name24(n).data(), NAMELEN), i += NAMELEN;
		ls.naml = i;
	}
	// The name at a signed position (south and west negative).
	std::string at(int kind, double lat, double lon)
	{
		return region(kind, (int)std::fabs(lat), lat < 0 ? 'S' : 'N', (int)std::fabs(lon),
			      lon < 0 ? 'W' : 'E', std::fabs(lat), w);
	}
	std::string jp(double lat, double lon) { return at(RK_JAPAN, lat, lon); }
	// The auxiliary directory becomes the repository's data/aux.
	bool shipped_tables()
	{
		const char *top = std::getenv("TARNWELL_SOURCE");
		if (top)
			std::snprintf(st.drvo_s, sizeof st.drvo_s, "%s/data/aux", top);
		return top;
	}
	struct Case {
		double lat, lon;
		const char *want; // "" for no name
	};
	void expect(int kind, std::initializer_list<Case> cases)
	{
		for (const Case &c : cases)
			EXPECT_EQ(at(kind, c.lat, c.lon), *c.want ? name24(c.want) : "") << c.lat << " " << c.lon;
	}
};

TEST_F(RegionTest, JapaneseBandsAndBoundaries)
{
	// Rows out of order; row 53 (35.33-36.0 N) has boundaries 130, 135, 139.
	mesh({52, 1, 128, 4, 53, 3, 130, 1, 135, 2, 139, 3});
	names({"WEST", "CENTRAL", "KANTO", "OTHER"});
	expect(RK_JAPAN, {
		{35.70, 139, "KANTO"}, {35.70, 138, "CENTRAL"}, {35.70, 147, "KANTO"},
		{35.70, 129, ""},      // west of the first boundary
		{35.0, 140, "OTHER"},  // 35.0 x 1.5 = 52.5: row 52
		{36.0, 140, ""},       // row 54 is not in the mesh
		{27.9, 140, ""},       // south of the Japanese set
		{46.0, 140, ""},       // north of it
		{35.7, 148.2, ""},     // east of it
		{35.7, 127, ""}, {-35.7, 139, ""},
	});
	EXPECT_EQ(at(RK_NONE, 35.7, 139), "");
}

TEST_F(RegionTest, WorldRowsAroundEquatorAndWest)
{
	// Row -1: boundary 0 -> 1; row 0: -121 -> 2, -120 -> 3, -119 -> 4,
	// 120 -> 5; an empty row 10.
	mesh({10, 0, -1, 1, 0, 0, 1, 0, 4, 0x87, 0xff, 2, 0x88, 0xff, 3, 0x89, 0xff, 4, 120, 0, 5});
	names({"SOUTH", "W121", "W120", "W119", "E120"});
	expect(RK_WORLD, {
		{-0.3, 5, "SOUTH"}, {0.3, 5, "W119"},
		{0.3, -120.7, "W120"}, // truncated to -120
		{0.3, -121, "W121"}, {0.3, 120, "E120"}, {0.3, -122, ""},
		{10.5, 0, ""},  // empty row
		{-1.5, 5, ""},  // row -2 missing
	});
}

TEST_F(RegionTest, NeverReadsPastTheLoadedBytes)
{
	mesh({53, 3, 130, 1, 135, 2, 139, 3});
	names({"A", "B", "C"});
	EXPECT_EQ(jp(35.7, 131), name24("A"));
	ls.mesl = 7; // the file ends inside the entry for 139: the row is lost
	EXPECT_EQ(jp(35.7, 131), "");
	EXPECT_EQ(jp(35.7, 140), "");
	ls.mesl = 1; // not even a row header
	EXPECT_EQ(jp(35.7, 136), "");
	ls.mesl = 8;
	ls.naml = 2 * NAMELEN + 23; // name 3 is cut short
	EXPECT_EQ(jp(35.7, 140), "");
	EXPECT_EQ(jp(35.7, 136), name24("B"));
	ls.naml = 0;
	EXPECT_EQ(jp(35.7, 136), "");
}

TEST_F(RegionTest, NameNumberZeroBlankAndControlBytes)
{
	mesh({53, 3, 130, 1, 135, 0, 139, 2});
	names({"", "TAB"});
	w[NAME_OFF + NAMELEN + 1] = '\n'; // "T\nB": no line break in a listing
	EXPECT_EQ(jp(35.7, 131), std::string(24, ' '));
	EXPECT_EQ(jp(35.7, 136), ""); // number 0 names nothing
	EXPECT_EQ(jp(35.7, 140), name24("T B"));
}

TEST_F(RegionTest, RowSearchStopsAfterTheSetsRowLimit)
{
	// 90 empty rows before the wanted one: the Japanese set gives up.
	long i = 0;
	for (int r = 0; r < 90; r++)
		w[i++] = 0, w[i++] = 0;
	w[i++] = 53, w[i++] = 1, w[i++] = 128, w[i++] = 1;
	ls.mesl = i;
	names({"FOUND"});
	EXPECT_EQ(jp(35.7, 140), "");
	ls.mesl = MESH_OFF + 4;
	w[0] = 53, w[1] = 1, w[2] = 128, w[3] = 1;
	EXPECT_EQ(jp(35.7, 140), name24("FOUND"));
}

TEST_F(RegionTest, BoxChoosesTheTableSet)
{
	EXPECT_EQ(box_kind("125", "E", "148", "E", "25", "N", "48", "N"), RK_JAPAN);
	EXPECT_EQ(box_kind("125", "E", "149", "E", "25", "N", "48", "N"), RK_WORLD);
	EXPECT_EQ(box_kind("130", "E", "129", "E", "25", "N", "48", "N"), RK_WORLD);
	EXPECT_EQ(box_kind("130", "E", "140", "W", "25", "N", "48", "N"), RK_WORLD);
	EXPECT_EQ(box_kind("130", "E", "140", "E", "30", "S", "40", "N"), RK_WORLD);
	japan_box();
	EXPECT_EQ(select_kind(), RK_JAPAN);
	select_defaults(); // 120E-180E
	EXPECT_EQ(select_kind(), RK_WORLD);
}

TEST_F(RegionTest, LoadsTablesFromTheAuxiliaryDirectory)
{
	write_tables();
	EXPECT_EQ(load_tables(RK_JAPAN), RK_JAPAN);
	EXPECT_EQ(ls.mesl, 10);
	EXPECT_EQ(ls.naml, 72);
	EXPECT_EQ(jp(35.7, 140), name24("KANTO"));
	EXPECT_EQ(load_tables(RK_WORLD), RK_WORLD);
	EXPECT_EQ(at(RK_WORLD, 34.6, 135), name24("EAST ASIA"));
	unlink((dir + "/world.nam").c_str());
	pn.em_s[0] = 0;
	EXPECT_EQ(load_tables(RK_WORLD), RK_WORLD); // a missing table is no error
	EXPECT_EQ(at(RK_WORLD, 34.6, 135), "");
	EXPECT_NE(std::string(pn.em_s).find("world.nam"), std::string::npos);
	// A mesh larger than its room counts only up to where the names start.
	test::write_file(dir + "/world.mes", std::string(9000, '\0'));
	load_tables(RK_WORLD);
	EXPECT_EQ(ls.mesl, MESH_MAX);
}

// The tables the program ships name well-known places after their country
// or region (an ocean or a continent where the catalogues hold few events
// and the bytes ran out).
TEST_F(RegionTest, BundledTablesNameKnownPlaces)
{
	ASSERT_TRUE(shipped_tables());
	const struct {
		int kind;
		const char *place;
		double lat, lon;
		const char *part; // of the name
	} cases[] = {
		{RK_WORLD, "Nuku'alofa", -21.2, -175.2, "TONGA"},
		{RK_WORLD, "Suva", -18.1, 178.4, "FIJI"},
		{RK_WORLD, "Port Vila", -17.7, 168.3, "VANUATU"},
		{RK_WORLD, "Honiara", -9.4, 160.0, "SOLOMON"},
		{RK_WORLD, "Gisborne", -38.7, 178.0, "N.Z."},
		{RK_WORLD, "Sydney", -33.87, 151.21, "AUSTRALIA"},
		{RK_WORLD, "Taipei", 25.03, 121.56, "TAIWAN"},
		{RK_WORLD, "Ankara", 39.93, 32.86, "TURKEY"},
		{RK_WORLD, "Bam", 29.1, 58.35, "IRAN"},
		{RK_WORLD, "Tehran", 35.69, 51.39, "IRAN"},
		{RK_WORLD, "Kabul", 34.53, 69.17, "AFGHANISTAN"},
		{RK_WORLD, "Dushanbe", 38.56, 68.79, "TAJIKISTAN"},
		{RK_WORLD, "Islamabad", 33.7, 73.1, "PAKISTAN"},
		{RK_WORLD, "Busan", 35.1, 129.04, "KOREA"},
		{RK_WORLD, "Fukuoka", 33.59, 130.4, "KYUSHU"},
		{RK_WORLD, "Palu", -0.9, 119.9, "SULAWESI"},
		{RK_WORLD, "Manila", 14.6, 120.98, "PHILIPPINES"},
		{RK_WORLD, "Jakarta", -6.2, 106.85, "INDONESIA"},
		{RK_WORLD, "Sapporo", 43.06, 141.35, "HOKKAIDO"},
		{RK_WORLD, "Tokyo", 35.68, 139.69, "HONSHU"},
		{RK_WORLD, "Kagoshima", 31.6, 130.56, "KYUSHU"},
		{RK_WORLD, "Petropavlovsk", 53.0, 158.6, "KAMCHATKA"},
		{RK_WORLD, "Athens", 37.98, 23.73, "GREECE"},
		{RK_WORLD, "Rome", 41.9, 12.5, "ITALY"},
		{RK_WORLD, "Reykjavik", 64.15, -21.94, "ATLANTIC"},
		{RK_WORLD, "Addis Ababa", 9.03, 38.74, "AFRICA"},
		{RK_WORLD, "Cape Town", -33.92, 18.42, "AFRICA"},
		{RK_WORLD, "San Francisco", 37.77, -122.42, "CALIFORNIA"},
		{RK_WORLD, "Los Angeles", 34.05, -118.24, "CALIFORNIA"},
		{RK_WORLD, "Anchorage", 61.22, -149.9, "ALASKA"},
		{RK_WORLD, "Acapulco", 16.85, -99.9, "MEXICO"},
		{RK_WORLD, "Bogota", 4.7, -74.1, "COLOMBIA"},
		{RK_WORLD, "Guatemala City", 14.63, -90.51, "GUATEMALA"},
		{RK_WORLD, "Santiago", -33.45, -70.67, "CHILE"},
		{RK_WORLD, "Lima", -12.05, -77.04, "PERU"},
		{RK_WORLD, "Quito", -0.18, -78.47, "ECUADOR"},
		{RK_WORLD, "McMurdo", -77.85, 166.67, "ANTARCTICA"},
		{RK_WORLD, "40N 150W", 40.0, -150.0, "PACIFIC"},
		{RK_JAPAN, "Sapporo", 43.06, 141.35, "HOKKAIDO"},
		{RK_JAPAN, "Sendai", 38.27, 140.87, "MIYAGI"},
		{RK_JAPAN, "Kochi", 33.56, 133.53, "KOCHI"},
		{RK_JAPAN, "Kagoshima", 31.6, 130.56, "KAGOSHIMA"},
		{RK_JAPAN, "Fukuoka", 33.59, 130.4, "FUKUOKA"},
		{RK_JAPAN, "off Sanriku", 40.2, 143.5, "OFF IWATE"},
		{RK_JAPAN, "Busan", 35.1, 129.04, "KOREA"},
		{RK_JAPAN, "Pohang", 36.02, 129.34, "KOREA"},
		{RK_JAPAN, "Vladivostok", 43.12, 131.89, "PRIMOR'YE, RUSSIA"},
		{RK_JAPAN, "Sea of Japan", 40.0, 135.5, "SEA OF JAPAN"},
	};
	for (const auto &c : cases) {
		ASSERT_EQ(load_tables(c.kind), c.kind);
		std::string name = at(c.kind, c.lat, c.lon);
		EXPECT_NE(name.find(c.part), std::string::npos) << c.place << ": " << name;
	}
}

// BROWSE of events at Tonga, Taiwan and Turkey (the 2006 Tonga, 1999
// Chi-Chi and 1999 Izmit earthquakes) through the shipped world tables.
TEST_F(RegionTest, BrowseShowsTheNamesOfBusyPlaces)
{
	ASSERT_TRUE(shipped_tables());
	Ev tonga, chichi, izmit;
	tonga.year = 2006, tonga.lat = -20.19, tonga.lon = -174.12;
	chichi.year = 1999, chichi.lat = 23.77, chichi.lon = 120.98;
	izmit.year = 1999, izmit.lat = 40.76, izmit.lon = 29.97;
	fill({tonga, chichi, izmit});
	std::strcpy(st.f2_s, "ISC");
	r.key(KS_F1 + 2);
	EXPECT_EQ(browse(), 0);
	EXPECT_EQ(screen_row(2).substr(56), name24("TONGA ISLANDS"));
	EXPECT_EQ(screen_row(3).substr(56), name24("TAIWAN"));
	EXPECT_EQ(screen_row(4).substr(56), name24("TURKEY"));
}

} // namespace tw
