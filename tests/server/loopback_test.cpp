// tarnwell-server on loopback against SELECT of the same files on disk: its
// retrieval port gives a store identical byte for byte for every source
// plan, its FDSN event service the same events field by field, and
// tarnwell-data fetch from that service the same records again; then the
// service's ids, orders, documents and error replies.
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <optional>
#include <pugixml.hpp>
#include <sstream>

#include "catalog/select.h"
#include "catalogue.h"
#include "listing/listing.h"

namespace tw {
namespace {

// The status (0: no reply within the wait) and the body.
std::pair<int, std::string> get(int port, const std::string &path, int wait = 30)
{
	int fd = dial(port);
	timeval tv{wait, 0};
	setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
	writes(fd, "GET " + path + " HTTP/1.0\r\n\r\n");
	std::string all = readn(fd, 4 << 20);
	close(fd);
	size_t end = all.find("\r\n\r\n");
	if (all.size() <= 12 || end == std::string::npos)
		return {0, ""};
	return {std::atoi(&all[9]), all.substr(end + 4)};
}

// One event as a reply gives it and as a record holds it: time to the
// tenth of a second (one number, in order), place to the second, depth and
// magnitude to tenths (-99999 unknown), region name.
using Key = std::tuple<long, long, long, long, long, std::string>;
using Num = std::optional<double>;
long tenth(Num v) { return v ? std::lround(*v * 10) : -99999; }
long when(long y, int mo, int d, int h, int mi, long s10) { return ((((y * 13 + mo) * 32 + d) * 24 + h) * 60 + mi) * 1000 + s10; }

struct Got {
	std::string id;
	double lat, lon;
	Key key;
	Got(std::string i, const std::string &time, double la, double lo, Num dep, Num mag, const std::string &place)
		: id(i.substr(i.rfind('/') + 1)), lat(la), lon(lo)
	{
		int y = 0, mo = 0, d = 0, h = 0, mi = 0;
		double s = -1;
		std::sscanf(time.c_str(), "%d-%d-%dT%d:%d:%lf", &y, &mo, &d, &h, &mi, &s);
		key = {when(y, mo, d, h, mi, std::lround(s * 10)), std::lround(la * 3600), std::lround(lo * 3600),
		       tenth(dep), tenth(mag), place};
	}
};

// A text reply (13 fields a line after the header) or a QuakeML one.
std::vector<Got> events_of(const std::string &body)
{
	auto number = [](const std::string &s) { return s.empty() ? std::nullopt : Num(std::stod(s)); };
	auto val = [](pugi::xml_node n) { return n.child("value").text(); };
	std::vector<Got> out;
	pugi::xml_document doc;
	if (body.compare(0, 5, "<?xml") == 0) {
		EXPECT_TRUE(doc.load_string(body.c_str()));
		for (pugi::xml_node e : doc.child("q:quakeml").child("eventParameters").children("event")) {
			pugi::xml_node o = e.child("origin"), d = o.child("depth"), m = e.child("magnitude").child("mag");
			out.emplace_back(e.attribute("publicID").value(), val(o.child("time")).get(),
					 val(o.child("latitude")).as_double(), val(o.child("longitude")).as_double(),
					 d ? Num(val(d).as_double() / 1000) : std::nullopt, m ? Num(val(m).as_double()) : std::nullopt,
					 e.child("description").child_value("text"));
		}
		return out;
	}
	std::istringstream in(body);
	for (std::string line; std::getline(in, line);) {
		std::vector<std::string> f;
		std::istringstream l(line + "|");
		for (std::string w; std::getline(l, w, '|');)
			f.push_back(w);
		EXPECT_TRUE(line[0] == '#' || f.size() == 13) << line;
		if (line[0] != '#' && f.size() == 13)
			out.emplace_back(f[0], f[1], std::stod(f[2]), std::stod(f[3]), number(f[4]), number(f[10]), f[12]);
	}
	return out;
}

template <class T> std::vector<T> sorted(std::vector<T> v) { std::sort(v.begin(), v.end()); return v; }

// The events' ids (or another member) from the given place on, at most n
// of them.
template <auto M = &Got::id> auto ids(const std::vector<Got> &v, size_t from = 0, size_t n = 99999)
{
	std::vector<std::decay_t<decltype(v[0].*M)>> s;
	for (size_t i = from; i < v.size() && i < from + n; i++)
		s.push_back(v[i].*M);
	return s;
}

struct Loopback : Fresh {
	ServerProc server;
	int web = 0;
	void SetUp() override
	{
		make_data(dir);
		for (std::string t : {"world.mes", "world.nam"})
			test::write_file(dir.at(t), test::slurp(std::getenv("TARNWELL_SOURCE") + ("/data/aux/" + t)));
		ASSERT_TRUE(server.start(dir.path, dir.path, {"-w", "0"}));
		ASSERT_TRUE(web = server.wait_port("fdsnws-event listening on http://127.0.0.1:"));
	}
	std::vector<Got> query(const std::string &args) { return events_of(get(web, "/fdsnws/event/1/query?" + args).second); }
	// One SELECT with the directories given; untouched bytes carry a
	// pattern, so that they compare too.
	int run(const Form &f, const std::string &drv, const std::string &drvo = "")
	{
		fresh(f.segs);
		set(st.drv_s, drv.c_str()), set(st.drvo_s, (drvo.empty() ? drv : drvo).c_str());
		apply(f);
		for (int s = 0; s < st.nseg; s++)
			std::memset(st.iseg[s], 0x5a, SEGSIZE);
		return select_round();
	}
	std::string primary() const
	{
		std::string p;
		for (int s = 0; s < st.nseg - st.nseg / 2; s++)
			p.append((const char *)st.iseg[s], SEGSIZE);
		return p;
	}
	// The selection's keys, regions by the viewer's own lookup.
	std::vector<Key> store_keys()
	{
		load_tables(RK_WORLD);
		std::vector<Key> k;
		for (int i = 0; i < st.itot; i++) {
			const unsigned char *r = event(i);
			double la = bin2deg(10, r), d = rec_depth(r), m = rec_mag(r);
			std::string place = region(RK_WORLD, r[10], r[11] & 128 ? 'S' : 'N', r[7], r[8] & 128 ? 'W' : 'E',
						   std::fabs(la), st.iseg[workseg()]);
			place.erase(place.find_last_not_of(' ') + 1);
			k.emplace_back(when(fnyear(0, r), r[1], r[2], r[3], r[4], qeek(5, r)), std::lround(la * 3600),
				       std::lround(bin2deg(7, r) * 3600), tenth(d >= 0 ? Num(d) : std::nullopt),
				       tenth(m > -1000 ? Num(m) : std::nullopt), place);
		}
		return k;
	}
};
// Each form through the retrieval port and, where a query is given,
// through the FDSN service in text or QuakeML.
TEST_F(Loopback, EverySourcePlanGivesTheSameEvents)
{
	const std::string end = "-12-31T23:59:59.9";
	const struct {
		Form f;
		std::string fdsn;
		int least; // events selected
	} rows[] = {
		{{"RIKA", "1600", "1900"}, "catalog=RIKA&starttime=1600-01-01&endtime=1900" + end, 300},
		{{.src = "VELA", .y1 = "1885", .y2 = "1963", .lon1 = "120", .lon2 = "150", .lat1 = "20",
		  .lat2 = "50", .ns1 = "N"},
		 "catalog=VELA&starttime=1885-01-01&endtime=1963" + end +
			 "&minlongitude=120&maxlongitude=150&minlatitude=20&maxlatitude=50", 1},
		// RIKA, VELA to the end of 1925 whatever the To date, then JMA
		// from 1926 with its parts.
		{{.src = "JPN", .y1 = "1880", .y2 = "1928", .m1 = "03", .m2 = "06", .d2 = "15"}, "", 1000},
		{{"JPN", "1900", "1920"}, "", 1},
		{{"JPN", "1927", "1929"}, "", 3600},
		{{.src = "JMA", .y1 = "1928", .y2 = "1928", .m1 = "03", .m2 = "06", .d2 = "15"},
		 "catalog=JMA&starttime=1928-03-01&endtime=1928-06-15T23:59:59.9&format=xml", 1},
		{{.src = "JMA", .y1 = "1926", .y2 = "1931", .dp1 = "010.0", .dp2 = "300.0", .mg1 = "+3.0",
		  .ynh = "N", .ynm = "N"},
		 "catalog=JMA&starttime=1926-01-01&endtime=1931" + end + "&mindepth=10&maxdepth=300&minmagnitude=3", 1},
		// 1993 in eleven parts, across the date line.
		{{.src = "PDE", .y1 = "1990", .y2 = "1993", .lon1 = "170", .lon2 = "170", .ew2 = "W",
		  .lat1 = "40", .lat2 = "40"},
		 "catalog=PDE&start=1990-01-01&end=1993" + end +
			 "&minlon=170&maxlon=-170&minlat=-40&maxlat=40&format=xml", 1},
		{{.src = "ISC", .y1 = "1964", .y2 = "1965", .mg1 = "-1.0", .mg2 = "+2.0", .ynm = "N"},
		 "catalog=ISC&starttime=1964-01-01&endtime=1965" + end + "&minmag=-1&maxmag=2", 1},
		{{.src = "JMA", .y1 = "1926", .y2 = "1927", .region = "KANTO"}, "", 1},
		{{.src = "BIG", .y1 = "2000", .y2 = "2001", .segs = 2}, "", 4095}, // the store fills
	};
	for (const auto &[f, fdsn, least] : rows) {
		int res = run(f, dir.path), n = st.itot;
		std::string want = primary();
		std::vector<Key> local = fdsn.empty() ? std::vector<Key>{} : store_keys();
		EXPECT_EQ(res, run(f, server.at())) << f.src << " " << pn.em_s;
		EXPECT_EQ(n, st.itot) << f.src;
		EXPECT_GE(n, least) << f.src;
		EXPECT_TRUE(want == primary()) << f.src << " " << f.y1 << "-" << f.y2;
		EXPECT_EQ(std::atoi(f.y1), (int)st.iyy1) << "the window's years come back after the plan";
		if (!fdsn.empty()) {
			EXPECT_EQ(sorted(local), sorted(ids<&Got::key>(query(fdsn)))) << fdsn;
		}
	}
}

TEST_F(Loopback, MissingYearEndsTheSelectionThere)
{
	Form jma{"JMA", "1926", "1933"};
	EXPECT_EQ(-1, run(jma, server.at(), dir.path));
	EXPECT_EQ("File `JMA-32.B' does not exist on `127.0.0.1:" + std::to_string(server.port) + "'!",
		  std::string(pn.em_s));
	std::string got = primary();
	jma.y2 = "1931";
	run(jma, dir.path);
	EXPECT_TRUE(got == primary()) << "the years before the gap stay selected";
	// One log line per request: six years answered, the seventh refused.
	// Workers log in the order they finish, not the order of the years.
	for (int y = 1926; y <= 1932; y++)
		EXPECT_TRUE(server.wait_log("event JMA " + std::to_string(y) + (y < 1932 ? ":" : ": not found JMA-32.B"))) << y;
	std::string log = server.log();
	size_t n = 0;
	for (size_t p = 0; (p = log.find(" event JMA ", p)) != std::string::npos; p++)
		n++;
	EXPECT_EQ(7u, n) << log;
}

// An identifier names the record by its place in the year's file, parts
// counted on; asking for it gives that record alone.
TEST_F(Loopback, EventIdsCountRecordsThroughTheParts)
{
	ASSERT_EQ(0, run({"JMA", "1928", "1928"}, dir.path));
	ASSERT_EQ(1800, st.itot);
	std::vector<Key> want = store_keys();
	for (int n : {1, 700, 701, 1300, 1301, 1800}) {
		std::string id = "JMA-1928-" + std::to_string(n);
		std::vector<Got> got = query("eventid=" + id);
		ASSERT_EQ(1u, got.size()) << id;
		EXPECT_EQ(id, got[0].id);
		EXPECT_EQ(want[n - 1], got[0].key) << id;
	}
}

TEST_F(Loopback, OrderLimitOffsetAndRadius)
{
	const std::string base = "catalog=BIG&start=2000-01-01&end=2000-12-31";
	std::vector<Got> all = query(base + "&orderby=time-asc");
	ASSERT_EQ(3000u, all.size());
	// all, stably sorted by a part of the key
	auto by = [&](auto part) {
		std::vector<Got> v = all;
		std::stable_sort(v.begin(), v.end(), [&](const Got &a, const Got &b) { return part(a.key) < part(b.key); });
		return v;
	};
	auto mag = [](long sign) { return [sign](const Key &k) { return sign * std::get<4>(k); }; };
	EXPECT_EQ(ids(all), ids(by([](const Key &k) { return std::get<0>(k); }))) << "in time order";
	auto within = [&](double la, double lo, double r1, double r2) { // degrees of arc from la, lo
		std::vector<Got> v;
		auto sin = [](double d) { return std::sin(d * M_PI / 180); };
		auto cos = [](double d) { return std::cos(d * M_PI / 180); };
		for (const Got &g : all)
			if (double a = std::acos(sin(la) * sin(g.lat) + cos(la) * cos(g.lat) * cos(g.lon - lo)) * 180 / M_PI; a >= r1 && a <= r2)
				v.push_back(g);
		return v;
	};
	const std::pair<std::string, std::vector<std::string>> rows[] = {
		{"&orderby=time&limit=5", ids({all.rbegin(), all.rend()}, 0, 5)},
		{"&orderby=time-asc&offset=11&limit=10", ids(all, 10, 10)},
		{"&orderby=time-asc&offset=2995", ids(all, 2994)},
		{"&orderby=magnitude&limit=40", ids(by(mag(-1)), 0, 40)},
		{"&orderby=magnitude-asc", ids(by(mag(1)))},
		{"&orderby=time-asc&latitude=10&longitude=175&maxradius=20", ids(within(10, 175, 0, 20))},
		{"&orderby=time-asc&lat=-30&lon=-60&minradius=30&maxradius=31", ids(within(-30, -60, 30, 31))},
	};
	for (const auto &[args, want] : rows) {
		EXPECT_FALSE(want.empty()) << args;
		EXPECT_EQ(want, ids(query(base + args))) << args;
	}
}

// Replies other than events: fixed documents, no data, the standard error
// document for every kind of bad request, and hostile requests, after
// which the service still serves.
TEST_F(Loopback, DocumentsNodataErrorsAndHostileRequests)
{
	const std::string q = "/fdsnws/event/1/query?";
	std::string many;
	for (int i = 0; i < 3000; i++)
		many += "&minmag=x";
	// Status 0: refused or, as libmicrohttpd does with a request line of
	// thousands of arguments, left unanswered until the idle time limit.
	const std::tuple<std::string, int, std::string> rows[] = {
		{"/fdsnws/event/1/version", 200, "1.2.0\n"},
		{"/fdsnws/event/1/catalogs", 200, "<Catalog>BIG</Catalog>\n<Catalog>ISC</Catalog>"},
		{"/fdsnws/event/1/contributors", 200, "<Contributor>VELA</Contributor>"},
		{"/fdsnws/event/1/application.wadl", 200, "<param name=\"minmagnitude\""},
		{q + "catalog=JMA&minmag=9.5", 204, ""},
		{q + "eventid=JMA-1928-1801", 204, ""}, // one past the year's last record
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
	for (const auto &[path, status, in_body] : rows) {
		auto [got, body] = get(web, path, status ? 30 : 1);
		std::string what = path.substr(0, 80) + "\n" + body.substr(0, 300);
		EXPECT_TRUE(status ? got == status : got == 0 || got >= 400) << what;
		EXPECT_TRUE(in_body.empty() ? !status || body.empty() : body.find(in_body) != std::string::npos) << what;
	}
	EXPECT_TRUE(server.wait_log("http " + q + "catalog=XYZ 400"));
}

// What fetch writes is SELECTed as the original, in more than two pages.
// The text writes 0 degrees south as -0.00000, which import stores as
// north; the test data mark some zeros south.
TEST_F(Loopback, FetchRoundTripsThroughTheService)
{
	test::TempDir out, tmp;
	test::SetEnv t("TMPDIR", tmp.path.c_str());
	EXPECT_EQ(0, std::system((TARNWELL_DATA " fetch http://127.0.0.1:" + std::to_string(web) + " --source JMA --catalog JMA"
				  " --from 1926 --to 1931 --page 700 --out " + out.path + " >" + dir.at("report")).c_str()));
	std::string report = test::slurp(dir.at("report"));
	auto zero_north = [&](const std::string &data) {
		run({"JMA", "1926", "1931"}, data);
		std::vector<Bytes> v(st.itot);
		for (int i = 0; i < st.itot; i++) {
			std::memcpy(v[i].data(), event(i), RECLEN);
			for (int at : {7, 10})
				if (v[i][at] == 0 && (v[i][at + 1] & 127) == 0 && v[i][at + 2] == 0)
					v[i][at + 1] = 0;
		}
		return sorted(v);
	};
	std::vector<Bytes> a = zero_north(dir.path);
	std::string n = std::to_string(a.size());
	EXPECT_GT(a.size(), 700u * 2);
	EXPECT_NE(std::string::npos, report.find(n + " events fetched in " + std::to_string((a.size() + 699) / 700) +
						 " page(s)")) << report;
	EXPECT_NE(std::string::npos, report.find(n + " read, " + n + " written, 0 left out by type, 0 unreadable"));
	EXPECT_TRUE(a == zero_north(out.path));
	EXPECT_TRUE(std::filesystem::is_empty(tmp.path)) << "the fetched text is removed";
}

} // namespace
} // namespace tw
