// Region names from mesh and name tables placed in the work segment.
#include "fixture.h"

#include <cmath>
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

// The tables the program ships name well-known places after their country
// or region, also in quiet countries (Iceland, Nepal, Haiti).
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
		{RK_WORLD, "Reykjavik", 64.15, -21.94, "ICELAND"},
		{RK_WORLD, "Addis Ababa", 9.03, 38.74, "ETHIOPIA"},
		{RK_WORLD, "Cape Town", -33.92, 18.42, "SOUTH AFRICA"},
		{RK_WORLD, "Kathmandu", 27.7, 85.3, "NEPAL"},
		{RK_WORLD, "Bishkek", 42.87, 74.59, "KYRGYZSTAN"},
		{RK_WORLD, "Ashgabat", 37.95, 58.38, "TURKMENISTAN"},
		{RK_WORLD, "Beijing", 39.9, 116.4, "CHINA"},
		{RK_WORLD, "Port-au-Prince", 18.54, -72.34, "HAITI"},
		{RK_WORLD, "Tbilisi", 41.7, 44.8, "CAUCASUS"},
		{RK_WORLD, "Yerevan", 40.2, 44.5, "ARMENIA"},
		{RK_WORLD, "Chengdu", 30.6, 104.1, "SICHUAN"},
		{RK_WORLD, "Lhasa", 29.6, 91.1, "XIZANG"},
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
	fill({Ev(2006).at(-174.12, -20.19), Ev(1999).at(120.98, 23.77), Ev(1999).at(29.97, 40.76)});
	std::strcpy(st.f2_s, "ISC");
	r.key(KS_F1 + 2);
	EXPECT_EQ(browse(), 0);
	EXPECT_EQ(screen_row(2).substr(56), name24("TONGA ISLANDS"));
	EXPECT_EQ(screen_row(3).substr(56), name24("TAIWAN"));
	EXPECT_EQ(screen_row(4).substr(56), name24("TURKEY"));
}

} // namespace tw
