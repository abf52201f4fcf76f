// The FDSN web service's query arguments, as libmicrohttpd hands them over
// (already URL-decoded). Whatever the arguments, a query that is accepted
// must hold bounds the selection can take.
//
// Input: a query string, "name=value" pairs separated by '&'.
#include <algorithm>

#include "common.h"
#include "fdsn.h"

using namespace tw;

static bool in(double v, double lo, double hi) { return v >= lo && v <= hi; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	static const std::vector<std::string> catalogs = {"JMA", "VELA"};
	std::vector<std::pair<std::string, std::string>> args;
	for (const std::string &a : fz_split(data, size, SIZE_MAX, "&")) {
		size_t eq = a.find('=');
		args.emplace_back(a.substr(0, eq), eq == std::string::npos ? "" : a.substr(eq + 1));
	}
	FdsnQuery q;
	if (!fdsn_parse(args, catalogs, q).empty())
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
