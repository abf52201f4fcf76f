// The FDSN web service's query arguments, as libmicrohttpd hands them over
// (already URL-decoded). Whatever the arguments, a query that is accepted
// must hold bounds the selection can take.
//
// Input: a query string, "name=value" pairs separated by '&'.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "common.h"
#include "fdsn.h"

using namespace tw;

static std::vector<std::pair<std::string, std::string>> pairs(const std::string &s)
{
	std::vector<std::pair<std::string, std::string>> out;
	for (size_t at = 0; at <= s.size();) {
		size_t amp = std::min(s.find('&', at), s.size());
		std::string a = s.substr(at, amp - at);
		size_t eq = a.find('=');
		out.emplace_back(a.substr(0, eq), eq == std::string::npos ? "" : a.substr(eq + 1));
		at = amp + 1;
	}
	return out;
}

static bool in(double v, double lo, double hi) { return v >= lo && v <= hi; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	static const std::vector<std::string> catalogs = {"JMA", "VELA"};
	FdsnQuery q;
	std::string err = fdsn_parse(pairs(std::string((const char *)data, size)), catalogs, q);
	if (!err.empty())
		return 0;
	if (!std::binary_search(catalogs.begin(), catalogs.end(), q.catalog))
		fz_fail("an accepted query names no catalogue of the service");
	if (!in(q.lat1, -90, q.lat2) || !in(q.lat2, q.lat1, 90) || !in(q.lon1, -180, 180) ||
	    !in(q.lon2, -180, 180) || !in(q.r1, 0, q.r2) || !in(q.r2, q.r1, 180))
		fz_fail("an accepted query has a box or radius out of range");
	if (q.offset < 1 || q.limit == 0 || q.limit < -1 || (q.nodata != 204 && q.nodata != 404))
		fz_fail("an accepted query has a bad limit, offset or nodata");
	if (!q.eventid.empty() && (q.idyear < 1 || q.idindex < 1))
		fz_fail("an accepted event identifier has no year or index");
	return 0;
}
