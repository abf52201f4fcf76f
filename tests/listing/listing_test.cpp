// Listing lines, region names from mesh and name tables in the work
// segment, the paged event table of BROWSE and FIND driven by scripted
// keys, and PRINT and SAVE when they cannot do what was asked (the
// end-to-end listing checks what they write). Every test starts a fresh
// program with a small store in a scratch directory (working and
// auxiliary) with a stand-in lpr.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstring>

#include "events.h"
#include "listing/listing.h"
#include "listing/table.h"
#include "shell_support.h"

namespace tw {

using test::row_text;
constexpr unsigned long F3 = KS_F1 + 2, F4 = KS_F1 + 3, F5 = KS_F1 + 4, F7 = KS_F1 + 6, F8 = KS_F1 + 7;

std::string name24(const std::string &s) { return (s + std::string(24, ' ')).substr(0, 24); }

struct ListingTest : ::testing::Test {
	Recording r;
	test::PrintPlace place;
	std::string dir = place.d.path;

	void SetUp() override
	{
		use_recording(r);
		spool_reset();
		fresh_store(dir, 4);
		listing_reset();
	}
};

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

struct RegionTest : ListingTest {
	unsigned char *w = nullptr;
	void SetUp() override
	{
		ListingTest::SetUp();
		w = st.iseg[workseg()];
	}
	// The name at a signed position (south and west negative).
	std::string at(int kind, double lat, double lon)
	{
		return region(kind, (int)std::fabs(lat), lat < 0 ? 'S' : 'N', (int)std::fabs(lon),
			      lon < 0 ? 'W' : 'E', std::fabs(lat), w);
	}
	// The auxiliary directory becomes the repository's data/aux.
	bool shipped_tables()
	{
		const char *top = std::getenv("TARNWELL_SOURCE");
		if (top)
			std::snprintf(st.drvo_s, sizeof st.drvo_s, "%s/data/aux", top);
		return top;
	}
};

// One Japanese row (band 53) from 130 E name 1 (blank), from 133 E number
// 0 (no name), from 135 E name 2 ("T\nB": no line break in a listing) and
// from 139 E name 3; then the same row with the loaded lengths cut short.
TEST_F(RegionTest, NeverReadsPastTheLoadedBytes)
{
	const unsigned char mesh[] = {53, 4, 130, 1, 133, 0, 135, 2, 139, 3};
	std::memcpy(w + MESH_OFF, mesh, sizeof mesh);
	for (const char *n : {"", "T\nB", "C"})
		std::memcpy(w + NAME_OFF + ls.naml, name24(n).data(), NAMELEN), ls.naml += NAMELEN;
	const struct {
		long mesl, naml;
		int lon;
		std::string want;
	} cases[] = {
		{10, 72, 131, std::string(24, ' ')}, {10, 72, 134, ""}, {10, 72, 136, name24("T B")}, {10, 72, 140, name24("C")},
		{9, 72, 131, ""}, {9, 72, 140, ""}, // the file ends inside the entry for 139: the row is lost
		{1, 72, 136, ""},                   // not even a row header
		{10, 2 * NAMELEN + 23, 140, ""}, {10, 2 * NAMELEN + 23, 136, name24("T B")}, // name 3 cut short
		{10, 0, 136, ""},
	};
	for (const auto &c : cases) {
		ls.mesl = c.mesl, ls.naml = c.naml;
		EXPECT_EQ(at(RK_JAPAN, 35.7, c.lon), c.want) << c.mesl << " " << c.naml << " " << c.lon;
	}
}

// The tables the program ships name well-known places after their country
// or region, also in quiet countries (Iceland, Nepal, Haiti).
TEST_F(RegionTest, BundledTablesNameKnownPlaces)
{
	ASSERT_TRUE(shipped_tables());
	constexpr int W = RK_WORLD, J = RK_JAPAN;
	const struct {
		int kind;
		const char *place;
		double lat, lon;
		const char *part; // of the name
	} cases[] = {
		{W, "Nuku'alofa", -21.2, -175.2, "TONGA"}, {W, "Suva", -18.1, 178.4, "FIJI"},
		{W, "Port Vila", -17.7, 168.3, "VANUATU"}, {W, "Honiara", -9.4, 160.0, "SOLOMON"},
		{W, "Gisborne", -38.7, 178.0, "N.Z."}, {W, "Sydney", -33.87, 151.21, "AUSTRALIA"},
		{W, "Taipei", 25.03, 121.56, "TAIWAN"}, {W, "Ankara", 39.93, 32.86, "TURKEY"},
		{W, "Bam", 29.1, 58.35, "IRAN"}, {W, "Tehran", 35.69, 51.39, "IRAN"},
		{W, "Kabul", 34.53, 69.17, "AFGHANISTAN"}, {W, "Dushanbe", 38.56, 68.79, "TAJIKISTAN"},
		{W, "Islamabad", 33.7, 73.1, "PAKISTAN"}, {W, "Busan", 35.1, 129.04, "KOREA"},
		{W, "Fukuoka", 33.59, 130.4, "KYUSHU"}, {W, "Palu", -0.9, 119.9, "SULAWESI"},
		{W, "Manila", 14.6, 120.98, "PHILIPPINES"}, {W, "Jakarta", -6.2, 106.85, "INDONESIA"},
		{W, "Sapporo", 43.06, 141.35, "HOKKAIDO"}, {W, "Tokyo", 35.68, 139.69, "HONSHU"},
		{W, "Kagoshima", 31.6, 130.56, "KYUSHU"}, {W, "Petropavlovsk", 53.0, 158.6, "KAMCHATKA"},
		{W, "Athens", 37.98, 23.73, "GREECE"}, {W, "Rome", 41.9, 12.5, "ITALY"},
		{W, "Reykjavik", 64.15, -21.94, "ICELAND"}, {W, "Addis Ababa", 9.03, 38.74, "ETHIOPIA"},
		{W, "Cape Town", -33.92, 18.42, "SOUTH AFRICA"}, {W, "Kathmandu", 27.7, 85.3, "NEPAL"},
		{W, "Bishkek", 42.87, 74.59, "KYRGYZSTAN"}, {W, "Ashgabat", 37.95, 58.38, "TURKMENISTAN"},
		{W, "Beijing", 39.9, 116.4, "CHINA"}, {W, "Port-au-Prince", 18.54, -72.34, "HAITI"},
		{W, "Tbilisi", 41.7, 44.8, "CAUCASUS"}, {W, "Yerevan", 40.2, 44.5, "ARMENIA"},
		{W, "Chengdu", 30.6, 104.1, "SICHUAN"}, {W, "Lhasa", 29.6, 91.1, "XIZANG"},
		{W, "San Francisco", 37.77, -122.42, "CALIFORNIA"},
		{W, "Los Angeles", 34.05, -118.24, "CALIFORNIA"}, {W, "Anchorage", 61.22, -149.9, "ALASKA"},
		{W, "Acapulco", 16.85, -99.9, "MEXICO"}, {W, "Bogota", 4.7, -74.1, "COLOMBIA"},
		{W, "Guatemala City", 14.63, -90.51, "GUATEMALA"}, {W, "Santiago", -33.45, -70.67, "CHILE"},
		{W, "Lima", -12.05, -77.04, "PERU"}, {W, "Quito", -0.18, -78.47, "ECUADOR"},
		{W, "McMurdo", -77.85, 166.67, "ANTARCTICA"}, {W, "40N 150W", 40.0, -150.0, "PACIFIC"},
		{J, "Sapporo", 43.06, 141.35, "HOKKAIDO"}, {J, "Sendai", 38.27, 140.87, "MIYAGI"},
		{J, "Kochi", 33.56, 133.53, "KOCHI"}, {J, "Kagoshima", 31.6, 130.56, "KAGOSHIMA"},
		{J, "Fukuoka", 33.59, 130.4, "FUKUOKA"}, {J, "off Sanriku", 40.2, 143.5, "OFF IWATE"},
		{J, "Busan", 35.1, 129.04, "KOREA"}, {J, "Pohang", 36.02, 129.34, "KOREA"},
		{J, "Vladivostok", 43.12, 131.89, "PRIMOR'YE, RUSSIA"},
		{J, "Sea of Japan", 40.0, 135.5, "SEA OF JAPAN"},
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
	r.key(F3);
	EXPECT_EQ(browse(), 0);
	EXPECT_EQ(row_text(2).substr(56), name24("TONGA ISLANDS"));
	EXPECT_EQ(row_text(3).substr(56), name24("TAIWAN"));
	EXPECT_EQ(row_text(4).substr(56), name24("TURKEY"));
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
		std::string s = row_text(row);
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
		EXPECT_EQ(row_text(0).substr(4, 36), "Request : MAP  for 2 events from PDE");
		EXPECT_EQ(row_text(1).substr(4, title.size()), title);
		int first = std::max(0, n - 19), row = 3 + n - 1 - first;
		EXPECT_EQ(row_text(2).rfind(std::to_string(first + 1) + " ", 0), 0u);
		EXPECT_EQ(shown(row), n - 1);
		EXPECT_EQ(shown(row + 1), -1);
		EXPECT_EQ(row_text(row).substr(54), named ? "  " + name24("EAST ASIA") : std::string(26, ' '));
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
	r.type((dir + "/Whole.txt\r").c_str());
	ASSERT_EQ(save(), 0);
	std::string whole = test::slurp(dir + "/Whole.txt"), target = dir + "/Out.txt";
	ASSERT_EQ(whole.size(), 8000u * 52) << "the last path is not kept";
	test::write_file(target, "old\n");
	test::kill_during(20, [&] { r.type((target + "\r").c_str()), save(); }, [&] {
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
		r.type((path + "\r").c_str());
		r.key(F3); // quit the second showing
		EXPECT_EQ(save(), 0);
		EXPECT_NE(r.texts().find(message), std::string::npos) << path;
		EXPECT_EQ(std::string(pn.md_s).substr(0, path.size()), path);
	}
	if (!fs.ok)
		GTEST_SKIP() << "no tmpfs can be mounted here (needs privileges)";
	EXPECT_EQ(test::slurp(target), "old\n");
}

} // namespace tw
