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
	sh.em_s[0] = 0;
	EXPECT_EQ(load_tables(RK_WORLD), RK_WORLD); // a missing table is no error
	EXPECT_EQ(at(RK_WORLD, 34.6, 135), "");
	EXPECT_NE(std::string(sh.em_s).find("world.nam"), std::string::npos);
	// A mesh larger than its room counts only up to where the names start.
	test::write_file(dir + "/world.mes", std::string(9000, '\0'));
	load_tables(RK_WORLD);
	EXPECT_EQ(ls.mesl, MESH_MAX);
}

// The tables the program ships name well-known places sensibly.
TEST_F(RegionTest, BundledTablesNameKnownPlaces)
{
	const char *top = std::getenv("TARNWELL_SOURCE");
	ASSERT_NE(top, nullptr);
	std::snprintf(sh.drvo_s, sizeof sh.drvo_s, "%s/data/aux", top);
	auto has = [](const std::string &s, const char *part) { return s.find(part) != std::string::npos; };
	ASSERT_EQ(load_tables(RK_WORLD), RK_WORLD);
	std::string kobe = at(RK_WORLD, 34.6, 135.0);
	EXPECT_TRUE(has(kobe, "JAPAN") || has(kobe, "HONSHU")) << kobe;
	std::string nepac = at(RK_WORLD, 40.0, -150.0);
	EXPECT_TRUE(has(nepac, "PACIFIC") && !has(nepac, "SOUTH")) << nepac;
	EXPECT_TRUE(has(at(RK_WORLD, -10.0, -75.0), "PERU"));
	EXPECT_TRUE(has(at(RK_WORLD, 37.0, -122.0), "CALIFORNIA"));
	ASSERT_EQ(load_tables(RK_JAPAN), RK_JAPAN);
	EXPECT_TRUE(has(jp(43.06, 141.35), "HOKKAIDO"));
	EXPECT_TRUE(has(jp(40.2, 143.5), "OFF")) << "off the Sanriku coast";
}

} // namespace tw
