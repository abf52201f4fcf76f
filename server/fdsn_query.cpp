// tarnwell-server: the FDSN query's arguments. Every value is checked
// before any selection runs; a bad one gives the 400 reply's message.
#include <algorithm>
#include <tuple>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "fdsn.h"

namespace tw {

static bool real(const std::string &s, double lo, double hi, double &out)
{
	char *end;
	double v = std::strtod(s.c_str(), &end);
	if (s.empty() || *end || !std::isfinite(v) || v < lo || v > hi)
		return false;
	out = v;
	return true;
}

static bool whole(const std::string &s, long lo, long hi, long &out)
{
	double v;
	if (!real(s, (double)lo, (double)hi, v) || v != std::floor(v))
		return false;
	out = (long)v;
	return true;
}

static bool field(const char *&p, int digits, int lo, int hi, int &out)
{
	int v = 0;
	for (int i = 0; i < digits; i++, p++) {
		if (!std::isdigit((unsigned char)*p))
			return false;
		v = v * 10 + (*p - '0');
	}
	out = v;
	return v >= lo && v <= hi;
}

// YYYY-MM-DD, then optionally THH:MM:SS with a fraction, and a final Z.
bool fdsn_time(const std::string &s, FdsnTime &t)
{
	t = FdsnTime{0, 1, 1, 0, 0, 0};
	const char *p = s.c_str();
	if (!field(p, 4, 0, 9999, t.y) || *p++ != '-' || !field(p, 2, 1, 12, t.mo) ||
	    *p++ != '-' || !field(p, 2, 1, 31, t.d))
		return false;
	if (*p == 'T' || *p == ' ') {
		int sec;
		p++;
		if (!field(p, 2, 0, 23, t.h) || *p++ != ':' || !field(p, 2, 0, 59, t.mi) ||
		    *p++ != ':' || !field(p, 2, 0, 60, sec))
			return false;
		t.s = sec;
		if (*p == '.') {
			char *end;
			t.s += std::strtod(p, &end);
			if (end == p + 1)
				return false;
			p = end;
		}
	}
	if (*p == 'Z')
		p++;
	return !*p;
}

static bool boolean(const std::string &v) { return v == "true" || v == "false"; }

// Setters: false when the value is malformed or out of range.
using Set = bool (*)(const std::string &, FdsnQuery &);

struct Param {
	const char *name, *alias;
	Set set;
};

static constexpr Param params[] = {
	{"starttime", "start", [](const std::string &v, FdsnQuery &q) { return fdsn_time(v, q.t1); }},
	{"endtime", "end", [](const std::string &v, FdsnQuery &q) { return fdsn_time(v, q.t2); }},
	{"minlatitude", "minlat", [](const std::string &v, FdsnQuery &q) { return real(v, -90, 90, q.lat1); }},
	{"maxlatitude", "maxlat", [](const std::string &v, FdsnQuery &q) { return real(v, -90, 90, q.lat2); }},
	{"minlongitude", "minlon", [](const std::string &v, FdsnQuery &q) { return real(v, -180, 180, q.lon1); }},
	{"maxlongitude", "maxlon", [](const std::string &v, FdsnQuery &q) { return real(v, -180, 180, q.lon2); }},
	{"latitude", "lat", [](const std::string &v, FdsnQuery &q) { return q.radius = real(v, -90, 90, q.clat); }},
	{"longitude", "lon", [](const std::string &v, FdsnQuery &q) { return q.radius = real(v, -180, 180, q.clon); }},
	{"minradius", nullptr, [](const std::string &v, FdsnQuery &q) { return q.radius = real(v, 0, 180, q.r1); }},
	{"maxradius", nullptr, [](const std::string &v, FdsnQuery &q) { return q.radius = real(v, 0, 180, q.r2); }},
	{"mindepth", nullptr, [](const std::string &v, FdsnQuery &q) { return q.depth = real(v, -1e4, 1e4, q.d1); }},
	{"maxdepth", nullptr, [](const std::string &v, FdsnQuery &q) { return q.depth = real(v, -1e4, 1e4, q.d2); }},
	{"minmagnitude", "minmag", [](const std::string &v, FdsnQuery &q) { return q.mag = real(v, -20, 20, q.m1); }},
	{"maxmagnitude", "maxmag", [](const std::string &v, FdsnQuery &q) { return q.mag = real(v, -20, 20, q.m2); }},
	{"includeallmagnitudes", nullptr, [](const std::string &v, FdsnQuery &) { return boolean(v); }},
	{"includeallorigins", nullptr, [](const std::string &v, FdsnQuery &) { return boolean(v); }},
	{"catalog", nullptr, [](const std::string &v, FdsnQuery &q) { q.catalog = v; return !v.empty(); }},
	{"eventid", nullptr, [](const std::string &v, FdsnQuery &q) { q.eventid = v; return !v.empty(); }},
	{"orderby", nullptr, [](const std::string &v, FdsnQuery &q) {
		 q.orderby = v;
		 return v == "time" || v == "time-asc" || v == "magnitude" || v == "magnitude-asc";
	 }},
	{"limit", nullptr, [](const std::string &v, FdsnQuery &q) { return whole(v, 1, 1L << 40, q.limit); }},
	{"offset", nullptr, [](const std::string &v, FdsnQuery &q) { return whole(v, 1, 1L << 40, q.offset); }},
	{"format", nullptr, [](const std::string &v, FdsnQuery &q) {
		 q.format = v;
		 return v == "text" || v == "xml" || v == "geojson";
	 }},
	{"nodata", nullptr, [](const std::string &v, FdsnQuery &q) {
		 q.nodata = v == "404" ? 404 : 204;
		 return v == "204" || v == "404";
	 }},
};

static std::string upper(std::string s)
{
	for (char &c : s)
		c = (char)std::toupper((unsigned char)c);
	return s;
}

// SOURCE-YYYY-N; the source may hold '-' itself, so read from the right.
static bool parse_id(FdsnQuery &q)
{
	size_t b = q.eventid.rfind('-');
	size_t a = b == std::string::npos || !b ? b : q.eventid.rfind('-', b - 1);
	long y;
	if (a == std::string::npos || !a || !whole(q.eventid.substr(a + 1, b - a - 1), 1, 9999, y) ||
	    !whole(q.eventid.substr(b + 1), 1, 1L << 30, q.idindex))
		return false;
	q.idyear = (int)y;
	q.catalog = upper(q.eventid.substr(0, a));
	return true;
}

static std::string joined(const std::vector<std::string> &v)
{
	std::string s;
	for (const auto &c : v)
		s += (s.empty() ? "" : ", ") + c;
	return s;
}

// The checks that need every argument at once.
static std::string whole_query(const std::vector<std::string> &catalogs, FdsnQuery &q)
{
	if (!q.eventid.empty() && !parse_id(q))
		return "Bad eventid: " + q.eventid + " (expected SOURCE-YEAR-N)";
	q.catalog = upper(q.catalog);
	if (q.catalog.empty() && catalogs.size() == 1)
		q.catalog = catalogs[0];
	if (q.catalog.empty())
		return "catalog is required; this service holds " + joined(catalogs);
	if (!std::binary_search(catalogs.begin(), catalogs.end(), q.catalog))
		return "Unknown catalog " + q.catalog + "; this service holds " + joined(catalogs);
	const FdsnTime &a = q.t1, &b = q.t2;
	if (std::tie(a.y, a.mo, a.d, a.h, a.mi, a.s) > std::tie(b.y, b.mo, b.d, b.h, b.mi, b.s))
		return "starttime is after endtime";
	if (q.lat1 > q.lat2)
		return "minlatitude is above maxlatitude";
	if (q.r1 > q.r2 || q.d1 > q.d2 || q.m1 > q.m2)
		return "a minimum is above its maximum";
	return "";
}

std::string fdsn_parse(const std::vector<std::pair<std::string, std::string>> &args,
		       const std::vector<std::string> &catalogs, FdsnQuery &q)
{
	q = FdsnQuery{};
	for (const auto &a : args) {
		const Param *p = std::find_if(std::begin(params), std::end(params), [&](const Param &x) {
			return a.first == x.name || (x.alias && a.first == x.alias);
		});
		if (p == std::end(params))
			return "Unrecognized parameter: " + a.first;
		if (!p->set(a.second, q))
			return "Bad value for " + a.first + ": " + a.second;
	}
	return whole_query(catalogs, q);
}

} // namespace tw
