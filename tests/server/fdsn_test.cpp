// The FDSN event web service of tarnwell-server on loopback: its events
// against SELECT of the same files, field by field; its parameters and
// error replies; hostile requests; and tarnwell-data fetch from it back
// into dataset files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <pugixml.hpp>
#include <sstream>
#include <tuple>
#include <sys/socket.h>
#include <unistd.h>

#include "catalog/select.h"
#include "catalog/server_client.h"
#include "catalog/store.h"
#include "catalogue.h"
#include "listing/listing.h"
#include "peer.h"
#include "recording.h"
#include "shell/panel.h"

namespace tw {
namespace {

struct Http {
	int status = 0;
	std::string body;
};

// Status 0 when no reply came within wait seconds.
Http get(int port, const std::string &path, int wait = 30)
{
	Http h;
	int fd = dial(port);
	if (fd < 0)
		return h;
	timeval tv{wait, 0};
	setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
	writes(fd, "GET " + path + " HTTP/1.0\r\n\r\n");
	std::string all = readn(fd, 4 << 20);
	close(fd);
	size_t end = all.find("\r\n\r\n");
	if (all.size() > 12 && end != std::string::npos) {
		h.status = std::atoi(all.c_str() + 9);
		h.body = all.substr(end + 4);
	}
	return h;
}

// One event as a reply gives it, and as a record holds it: time to the
// tenth of a second, place to the second, depth and magnitude to tenths.
using Key = std::tuple<int, int, int, int, int, long, long, long, long, long, std::string>;

long tenth(std::optional<double> v) { return v ? std::lround(*v * 10) : -99999; }

struct Got {
	std::string id, time, place;
	double lat = 0, lon = 0;
	std::optional<double> depth, mag;
	Key key() const
	{
		int y = 0, mo = 0, d = 0, h = 0, mi = 0;
		double s = -1;
		std::sscanf(time.c_str(), "%d-%d-%dT%d:%d:%lf", &y, &mo, &d, &h, &mi, &s);
		return {y, mo, d, h, mi, std::lround(s * 10), std::lround(lat * 3600),
			std::lround(lon * 3600), tenth(depth), tenth(mag), place};
	}
};

std::vector<Got> from_text(const std::string &body)
{
	auto number = [](const std::string &s) {
		return s.empty() ? std::nullopt : std::optional(std::stod(s));
	};
	std::vector<Got> out;
	std::istringstream in(body);
	std::string line;
	std::getline(in, line);
	EXPECT_EQ("#EventID|Time|Latitude|Longitude|Depth/km|Author|Catalog|Contributor|"
		  "ContributorID|MagType|Magnitude|MagAuthor|EventLocationName",
		  line);
	while (std::getline(in, line)) {
		std::vector<std::string> f(1);
		for (char c : line)
			if (c == '|')
				f.emplace_back();
			else
				f.back().push_back(c);
		EXPECT_EQ(13u, f.size()) << line;
		f.resize(13);
		out.push_back({f[0], f[1], f[12], std::stod(f[2]), std::stod(f[3]), number(f[4]),
			       number(f[10])});
	}
	return out;
}

std::vector<Got> from_xml(const std::string &body)
{
	pugi::xml_document doc;
	EXPECT_TRUE(doc.load_string(body.c_str()));
	std::vector<Got> out;
	for (pugi::xml_node e : doc.child("q:quakeml").child("eventParameters").children("event")) {
		pugi::xml_node o = e.child("origin");
		auto val = [](pugi::xml_node n) { return n.child("value").text(); };
		Got g{e.attribute("publicID").value(), val(o.child("time")).get(),
		      e.child("description").child_value("text"), val(o.child("latitude")).as_double(),
		      val(o.child("longitude")).as_double(), {}, {}};
		g.id = g.id.substr(g.id.rfind('/') + 1);
		if (o.child("depth"))
			g.depth = val(o.child("depth")).as_double() / 1000;
		if (e.child("magnitude"))
			g.mag = val(e.child("magnitude").child("mag")).as_double();
		out.push_back(g);
	}
	return out;
}

// The record's own fields; the region from the viewer's lookup.
Key key_of(const unsigned char *r, const unsigned char *tables)
{
	std::string place = region(RK_WORLD, r[10], r[11] & 128 ? 'S' : 'N', r[7],
				   r[8] & 128 ? 'W' : 'E', std::fabs(bin2deg(10, r)), tables);
	place.erase(place.find_last_not_of(' ') + 1);
	double d = rec_depth(r), m = rec_mag(r);
	return {fnyear(0, r), r[1], r[2], r[3], r[4], qeek(5, r),
		std::lround(bin2deg(10, r) * 3600), std::lround(bin2deg(7, r) * 3600),
		tenth(d >= 0 ? std::optional(d) : std::nullopt),
		tenth(m > -1000 ? std::optional(m) : std::nullopt), place};
}

struct Fdsn : ::testing::Test {
	Recording r;
	TempDir dir;
	ServerProc server;
	int web = 0;
	void SetUp() override
	{
		make_data(dir);
		std::string aux = std::string(std::getenv("TARNWELL_SOURCE")) + "/data/aux/";
		for (const char *t : {"world.mes", "world.nam"})
			test::write_file(dir.at(t), test::slurp(aux + t));
		ASSERT_TRUE(server.start(dir.path, dir.path, {"-w", "0"}));
		const char *mark = "fdsnws-event listening on http://127.0.0.1:";
		ASSERT_TRUE(server.wait_log(mark));
		std::string log = server.log();
		web = std::atoi(log.c_str() + log.find(mark) + std::strlen(mark));
	}
	Http query(const std::string &args) { return get(web, "/fdsnws/event/1/query?" + args); }
	// SELECT from the files on disk: the records in store order.
	std::vector<Bytes> select(const Form &f, const std::string &data)
	{
		use_recording(r);
		fresh_store(data);
		set(st.drvo_s, dir.path.c_str());
		server_client_reset();
		apply(f);
		EXPECT_EQ(0, select_round()) << f.src << " " << pn.em_s;
		std::vector<Bytes> out(st.itot);
		for (int i = 0; i < st.itot; i++)
			std::memcpy(out[i].data(), event(i), RECLEN);
		return out;
	}
	std::vector<Key> rec_keys(const std::vector<Bytes> &recs)
	{
		load_tables(RK_WORLD);
		std::vector<Key> k;
		for (const Bytes &b : recs)
			k.push_back(key_of(b.data(), st.iseg[workseg()]));
		return k;
	}
};

std::vector<Key> keys(const std::vector<Got> &got)
{
	std::vector<Key> k;
	for (const Got &g : got)
		k.push_back(g.key());
	return k;
}

template <class T> std::vector<T> sorted(std::vector<T> v)
{
	std::sort(v.begin(), v.end());
	return v;
}

// Equal lists, or the first difference.
template <class T>
::testing::AssertionResult same(const std::vector<T> &a, const std::vector<T> &b)
{
	if (a == b)
		return ::testing::AssertionSuccess();
	auto [x, y] = std::mismatch(a.begin(), a.end(), b.begin(), b.end());
	return ::testing::AssertionFailure()
	       << a.size() << " and " << b.size() << " items, first difference at "
	       << x - a.begin() << ": " << (x == a.end() ? "end" : ::testing::PrintToString(*x))
	       << " against " << (y == b.end() ? "end" : ::testing::PrintToString(*y));
}

TEST_F(Fdsn, SameEventsAsSelectFieldByField)
{
	Form jma{"JMA", "1926", "1931"}, pde{"PDE", "1990", "1992"}, vela{"VELA", "1885", "1963"};
	jma.dp1 = "010.0", jma.dp2 = "300.0", jma.ynh = "N", jma.mg1 = "+3.0", jma.ynm = "N";
	pde.lon1 = "170", pde.lon2 = "170", pde.ew2 = "W", pde.lat1 = "40", pde.lat2 = "40";
	vela.lon1 = "120", vela.lon2 = "150", vela.lat1 = "20", vela.lat2 = "50", vela.ns1 = "N";
	Form parts{"JMA", "1928", "1928"}, isc{"ISC", "1964", "1965"}, rika{"RIKA", "1600", "1900"};
	parts.m1 = "03", parts.m2 = "06", parts.d2 = "15";
	isc.mg1 = "-1.0", isc.mg2 = "+2.0", isc.ynm = "N";
	const std::string end = "-12-31T23:59:59.9";
	struct Row {
		Form form;
		std::string args;
	} rows[] = {
		{jma, "catalog=JMA&starttime=1926-01-01&endtime=1931" + end +
			      "&mindepth=10&maxdepth=300&minmagnitude=3"},
		{pde, "catalog=PDE&start=1990-01-01&end=1992" + end +
			      "&minlon=170&maxlon=-170&minlat=-40&maxlat=40&format=xml"},
		{vela, "catalog=VELA&starttime=1885-01-01&endtime=1963" + end +
			       "&minlongitude=120&maxlongitude=150&minlatitude=20&maxlatitude=50"},
		{parts, "catalog=JMA&starttime=1928-03-01&endtime=1928-06-15T23:59:59.9&format=xml"},
		{isc, "catalog=ISC&starttime=1964-01-01&endtime=1965" + end + "&minmag=-1&maxmag=2"},
		{rika, "catalog=RIKA&starttime=1600-01-01&endtime=1900" + end},
	};
	for (const Row &row : rows) {
		Http h = query(row.args);
		ASSERT_EQ(200, h.status) << row.args << "\n" << h.body;
		bool xml = row.args.find("format=xml") != std::string::npos;
		std::vector<Got> got = xml ? from_xml(h.body) : from_text(h.body);
		std::vector<Key> want = rec_keys(select(row.form, dir.path));
		EXPECT_FALSE(want.empty()) << row.args;
		EXPECT_TRUE(same(sorted(want), sorted(keys(got)))) << row.args;
	}
}

// An identifier names the record by its place in the year's file, parts
// counted on; asking for it gives that record alone.
TEST_F(Fdsn, EventIdsCountRecordsThroughTheParts)
{
	std::vector<Bytes> year = select(Form{"JMA", "1928", "1928"}, dir.path);
	ASSERT_EQ(1800u, year.size());
	std::vector<Key> want = rec_keys(year);
	for (int n : {1, 700, 701, 1300, 1301, 1800}) {
		std::string id = "JMA-1928-" + std::to_string(n);
		std::vector<Got> got = from_text(query("eventid=" + id).body);
		ASSERT_EQ(1u, got.size()) << id;
		EXPECT_EQ(id, got[0].id);
		EXPECT_EQ(want[n - 1], got[0].key()) << id;
	}
	EXPECT_EQ(204, query("eventid=JMA-1928-1801").status);
}

double arc(double la1, double lo1, double la2, double lo2)
{
	const double r = M_PI / 180;
	double h = std::pow(std::sin((la2 - la1) * r / 2), 2) +
		   std::cos(la1 * r) * std::cos(la2 * r) * std::pow(std::sin((lo2 - lo1) * r / 2), 2);
	return 2 * std::asin(std::sqrt(h)) / r;
}

TEST_F(Fdsn, OrderLimitOffsetAndRadius)
{
	const std::string base = "catalog=BIG&start=2000-01-01&end=2000-12-31";
	std::vector<Got> all = from_text(query(base + "&orderby=time-asc").body);
	ASSERT_EQ(3000u, all.size());
	auto when = [](const Got &g) {
		Key k = g.key();
		return std::tuple(std::get<0>(k), std::get<1>(k), std::get<2>(k), std::get<3>(k),
				  std::get<4>(k), std::get<5>(k));
	};
	EXPECT_TRUE(std::is_sorted(all.begin(), all.end(),
				   [&](const Got &a, const Got &b) { return when(a) < when(b); }));
	// Identifiers of n events from the given place of a list in some order.
	auto ids = [](std::vector<Got> v, size_t from = 0, size_t n = 9999) {
		std::vector<std::string> s;
		for (size_t i = from; i < v.size() && i < from + n; i++)
			s.push_back(v[i].id);
		return s;
	};
	auto by_mag = [&](bool up) {
		std::vector<Got> v = all;
		std::stable_sort(v.begin(), v.end(), [&](const Got &a, const Got &b) {
			return up ? tenth(a.mag) < tenth(b.mag) : tenth(a.mag) > tenth(b.mag);
		});
		return v;
	};
	auto within = [&](double la, double lo, double r1, double r2) {
		std::vector<Got> v;
		for (const Got &g : all)
			if (double a = arc(la, lo, g.lat, g.lon); a >= r1 && a <= r2)
				v.push_back(g);
		return v;
	};
	const std::pair<std::string, std::vector<std::string>> rows[] = {
		{"&orderby=time&limit=5", ids({all.rbegin(), all.rend()}, 0, 5)},
		{"&orderby=time-asc&offset=11&limit=10", ids(all, 10, 10)},
		{"&orderby=time-asc&offset=2995", ids(all, 2994)},
		{"&orderby=magnitude&limit=40", ids(by_mag(false), 0, 40)},
		{"&orderby=magnitude-asc", ids(by_mag(true))},
		{"&orderby=time-asc&latitude=10&longitude=175&maxradius=20", ids(within(10, 175, 0, 20))},
		{"&orderby=time-asc&lat=-30&lon=-60&minradius=30&maxradius=31", ids(within(-30, -60, 30, 31))},
	};
	for (const auto &[args, want] : rows) {
		EXPECT_FALSE(want.empty()) << args;
		EXPECT_EQ(want, ids(from_text(query(base + args).body))) << args;
	}
}

// Replies other than events: fixed documents, no data, the standard error
// document for every kind of bad request, and hostile requests, after
// which the service still serves.
TEST_F(Fdsn, DocumentsNodataErrorsAndHostileRequests)
{
	const std::string q = "/fdsnws/event/1/query?";
	std::string many;
	for (int i = 0; i < 3000; i++)
		many += "&minmag=x";
	// Status 0: refused or, as libmicrohttpd does with a request line of
	// thousands of arguments, left unanswered until the idle time limit.
	struct Row {
		std::string path;
		int status;
		std::string in_body;
	} rows[] = {
		{"/fdsnws/event/1/version", 200, "1.2.0\n"},
		{"/fdsnws/event/1/catalogs", 200, "<Catalog>BIG</Catalog>\n<Catalog>ISC</Catalog>"},
		{"/fdsnws/event/1/contributors", 200, "<Contributor>VELA</Contributor>"},
		{"/fdsnws/event/1/application.wadl", 200, "<param name=\"minmagnitude\""},
		{q + "catalog=JMA&minmag=9.5", 204, ""},
		{q + "catalog=JMA&minmag=9.5&nodata=404", 404, "Error 404: Not Found\n\nNo data"},
		{q + "catalog=JMA&foo=1", 400, "Error 400: Bad Request\n\nUnrecognized parameter: foo"},
		{q + "catalog=JMA&starttime=1995-13-01", 400, "Bad value for starttime: 1995-13-01"},
		{q + "catalog=JMA&start=1995-01-01T25:00:00", 400, "Bad value for start"},
		{q + "catalog=JMA&end=2000-02-30T00:00:00.x", 400, "Bad value for end"},
		{q + "catalog=JMA&starttime=%00%ff", 400, "Bad value for starttime"},
		{q + "catalog=JMA&minlat=10&maxlat=5", 400, "minlatitude is above maxlatitude"},
		{q + "catalog=JMA&minlon=200", 400, "Bad value for minlon"},
		{q + "catalog=JMA&maxlat=nan", 400, "Bad value for maxlat"},
		{q + "catalog=JMA&orderby=size", 400, "Bad value for orderby"},
		{q + "catalog=JMA&format=csv", 400, "Bad value for format"},
		{q + "catalog=JMA&limit=0", 400, "Bad value for limit"},
		{q + "catalog=JMA&limit=99999999999999999999", 400, "Bad value for limit"},
		{q + "eventid=JMA-x-1", 400, "Bad eventid"},
		{q + "minmag=3", 400, "catalog is required; this service holds BIG, ISC, JMA, PDE, RIKA, VELA"},
		{q + "catalog=XYZ", 400, "Unknown catalog XYZ"},
		{q + "catalog=JMA&limit=20001", 413, "Error 413"},
		{"/../../etc/passwd", 404, "Unknown path"},
		{q + std::string(300000, 'a'), 0, ""},
		{q + "catalog=JMA" + many, 0, ""},
		{q + std::string(5000, '&'), 0, ""},
		{q + "catalog=BIG&limit=3", 200, "\nBIG-2001-3000|"},
	};
	for (const Row &row : rows) {
		Http h = get(web, row.path, row.status ? 30 : 1);
		std::string what = row.path.substr(0, 80) + "\n" + h.body.substr(0, 300);
		if (!row.status) {
			EXPECT_TRUE(h.status == 0 || h.status >= 400) << what;
			continue;
		}
		EXPECT_EQ(row.status, h.status) << what;
		if (row.in_body.empty())
			EXPECT_EQ("", h.body) << what;
		else
			EXPECT_NE(std::string::npos, h.body.find(row.in_body)) << what;
	}
	EXPECT_TRUE(server.wait_log("http " + q + "catalog=XYZ 400"));
}

// The text writes 0 degrees south as -0.00000, which import stores as
// north; the test data mark some zeros south.
std::vector<Bytes> zero_north(std::vector<Bytes> v)
{
	for (Bytes &b : v)
		for (int at : {7, 10})
			if (b[at] == 0 && (b[at + 1] & 127) == 0 && b[at + 2] == 0)
				b[at + 1] = 0;
	return v;
}

// What fetch writes is SELECTed as the original: the same records.
TEST_F(Fdsn, FetchRoundTripsThroughTheService)
{
	test::TempDir out, tmp;
	test::SetEnv t("TMPDIR", tmp.path.c_str());
	Form jma{"JMA", "1926", "1931"}, pde{"PDE", "1990", "1992"};
	for (const Form &f : {jma, pde}) {
		std::string cmd = std::string(TARNWELL_DATA) + " fetch http://127.0.0.1:" +
				  std::to_string(web) + " --source " + f.src + " --catalog " + f.src +
				  " --from " + f.y1 + " --to " + f.y2 + " --page 700 --out " + out.path;
		FILE *p = popen(cmd.c_str(), "r");
		char buf[4096];
		std::string report(buf, std::fread(buf, 1, sizeof buf, p));
		EXPECT_EQ(0, pclose(p)) << report;
		std::vector<Bytes> a = zero_north(select(f, dir.path)), b = zero_north(select(f, out.path));
		EXPECT_GT(a.size(), 700u * 2) << "more than two pages";
		std::string n = std::to_string(a.size());
		for (std::string line : {n + " events fetched in " + std::to_string((a.size() + 699) / 700) +
					     " page(s)",
					 n + " read, " + n + " written, 0 left out by type, 0 unreadable"})
			EXPECT_NE(std::string::npos, report.find(line)) << report;
		EXPECT_TRUE(same(sorted(a), sorted(b))) << f.src;
	}
	EXPECT_TRUE(std::filesystem::is_empty(tmp.path)) << "the fetched text is removed";
}

} // namespace
} // namespace tw
