// tarnwell-server: FDSN queries through the catalogue's own reading plan
// and filter, so that a query and the equivalent SELECT give the same
// events. The filter reads its bounds from st: the caller holds the
// service's lock around a query.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstring>
#include <dirent.h>
#include <map>
#include <tuple>
#include <unistd.h>

#include "catalog/select.h"
#include "catalog/store.h"
#include "fdsn.h"
#include "server.h"

namespace tw {

constexpr int OUTSEG = 0, WORKSEG = 1; // segments of the store used here
constexpr int MAXPART = 256;
constexpr double EPS = 1e-7;

// ---------------------------------------------------------------------------
// Sources present
// ---------------------------------------------------------------------------

// "jma-95.b", "jma001.b", "jma010.b" name JMA; "rika.b" and "vela.b" are
// whole catalogues. Longer names than a selection can hold are left out.
static std::string source_of(std::string n)
{
	if (n.size() < 3 || n.compare(n.size() - 2, 2, ".b"))
		return "";
	n.resize(n.size() - 2);
	if (n == "rika" || n == "vela")
		return n;
	size_t k = n.size();
	bool year = k > 3 && std::isdigit((unsigned char)n[k - 1]) &&
		    std::isdigit((unsigned char)n[k - 2]) && (n[k - 3] == '-' || n[k - 3] == '0');
	return year ? n.substr(0, k - 3) : "";
}

std::vector<std::string> fdsn_catalogs()
{
	std::vector<std::string> out;
	DIR *d = fdopendir(::dup(srv.datafd));
	if (!d)
		return out;
	rewinddir(d); // the copy shares its offset with every earlier one
	while (dirent *e = readdir(d)) {
		std::string s = source_of(e->d_name);
		for (char &c : s)
			c = (char)std::toupper((unsigned char)c);
		if (!s.empty() && s.size() < sizeof(Leg{}.name) && safe_name(s.c_str()))
			out.push_back(s);
	}
	closedir(d);
	std::sort(out.begin(), out.end());
	out.erase(std::unique(out.begin(), out.end()), out.end());
	return out;
}

// ---------------------------------------------------------------------------
// The filter's bounds: the query's box rounded outward to whole minutes,
// tenths of km, tenths of magnitude; exact() then applies the decimals.
// ---------------------------------------------------------------------------

static int minute_key(double deg, bool up)
{
	double m = deg * 60;
	long v = (long)(up ? std::ceil(m - EPS) : std::floor(m + EPS));
	long a = v < 0 ? -v : v;
	int k = (int)(a / 60 * 256 + a % 60);
	return v < 0 ? -k : k;
}

static int tenths(double v, bool up, int lo, int hi)
{
	long t = (long)(up ? std::floor(v * 10 + EPS) : std::ceil(v * 10 - EPS));
	return t < lo ? lo : t > hi ? hi : (int)t;
}

static void put_time(const FdsnTime &t, bool end, unsigned &y, int &md, int &hm, int &sc)
{
	y = (unsigned)t.y;
	md = t.mo * 256 + t.d;
	hm = t.h * 256 + t.mi;
	sc = tenths(t.s, end, 0, 609);
}

static Bounds query_bounds(const FdsnQuery &q)
{
	Bounds b{};
	put_time(q.t1, false, b.iyy1, b.imd1, b.ihm1, b.isc1);
	put_time(q.t2, true, b.iyy2, b.imd2, b.ihm2, b.isc2);
	b.lo1 = minute_key(q.lon1, false);
	b.lo2 = minute_key(q.lon2, true);
	if (b.lo1 >= b.lo2)
		b.lo2 += b360;
	b.la1 = (short)minute_key(q.lat1, false);
	b.la2 = (short)minute_key(q.lat2, true);
	b.ih1 = (unsigned)tenths(q.d1, false, 0, 65534);
	b.ih2 = (unsigned)tenths(q.d2, true, 0, 65534);
	b.m1 = tenths(q.m1, false, -127, 127);
	b.m2 = tenths(q.m2, true, -127, 127);
	b.noh = q.depth;
	b.nom = q.mag;
	return b;
}

static double arc_deg(double la1, double lo1, double la2, double lo2)
{
	const double r = M_PI / 180;
	double c = std::sin(la1 * r) * std::sin(la2 * r) +
		   std::cos(la1 * r) * std::cos(la2 * r) * std::cos((lo1 - lo2) * r);
	return std::acos(std::clamp(c, -1.0, 1.0)) / r;
}

static bool exact(const FdsnQuery &q, const unsigned char *rec)
{
	double lat = bin2deg(10, rec), lon = bin2deg(7, rec);
	if (lat < q.lat1 - EPS || lat > q.lat2 + EPS)
		return false;
	bool in = q.lon1 <= q.lon2 ? lon >= q.lon1 - EPS && lon <= q.lon2 + EPS
				   : lon >= q.lon1 - EPS || lon <= q.lon2 + EPS;
	if (!in)
		return false;
	if (q.radius) {
		double a = arc_deg(q.clat, q.clon, lat, lon);
		if (a < q.r1 - EPS || a > q.r2 + EPS)
			return false;
	}
	double d = rec_depth(rec), m = rec_mag(rec);
	if (q.depth && (d < q.d1 - EPS || d > q.d2 + EPS))
		return false;
	return !q.mag || (m >= q.m1 - EPS && m <= q.m2 + EPS);
}

// ---------------------------------------------------------------------------
// Reading: the files of the plan, part by part, through retrv
// ---------------------------------------------------------------------------

struct Walk {
	const FdsnQuery &q;
	const Filter filter;      // the query's bounds, the first, coarse test
	std::vector<FdsnHit> &hits;
	std::map<int, long> seen; // records per year so far, passing or not
	std::chrono::steady_clock::time_point until; // the request's time limit
	bool full = false;        // FDSN_MAXHITS reached
	bool late = false;        // the time limit passed
	bool stop() const { return full || late; }
};

// Records of a loaded part before its marker (or the end of the bytes).
static int part_records(long len)
{
	const unsigned char *seg = st.iseg[WORKSEG];
	int n = 0;
	while (n < SEGREC && 4 + RECLEN * (n + 1L) <= len && seg[4 + RECLEN * n + 1] != 255)
		n++;
	return n;
}

// Filters one loaded part; returns the marker that ends it.
static int scan_part(long len, Walk &w)
{
	const unsigned char *seg = st.iseg[WORKSEG];
	std::vector<long> index(part_records(len));
	for (size_t k = 0; k < index.size(); k++)
		index[k] = ++w.seen[fnyear(0, seg + 4 + RECLEN * k)];
	for (int k = 0;;) {
		int r = retrv(w.filter, k, 0, WORKSEG, OUTSEG, len);
		if (r >= M_LOW)
			return r;
		const unsigned char *rec = evslot(OUTSEG, 0);
		if ((size_t)r >= index.size()) // cannot happen: both stop at the marker
			return M_END;
		if (exact(w.q, rec) && (!w.q.idindex || index[r] == w.q.idindex)) {
			if ((long)w.hits.size() >= FDSN_MAXHITS) {
				w.full = true;
				return M_END;
			}
			FdsnHit h;
			std::memcpy(h.rec, rec, RECLEN);
			h.year = fnyear(0, rec);
			h.index = index[r];
			w.hits.push_back(h);
		}
		k = r + 1;
	}
}

static void scan_file(const char *first, int maxpart, Walk &w)
{
	char name[48];
	std::snprintf(name, sizeof name, "%s", first);
	for (int part = 1; part && !w.stop();) {
		if (std::chrono::steady_clock::now() > w.until) {
			w.late = true;
			return;
		}
		long len = load(srv.datafd, name, st.iseg[WORKSEG], SEGSIZE);
		if (len < 0) // a year the catalogue lacks, or a part gone
			return;
		part = part_after(scan_part(len, w), part, maxpart);
		part_file(name, sizeof name, first, part);
	}
}

static void scan_leg(const Leg &l, Walk &w)
{
	char first[64];
	if (!l.yearly) {
		std::snprintf(first, sizeof first, "%s.B", l.name);
		scan_file(first, l.parts, w);
		return;
	}
	// Yearly files begin in 1900 and their names hold years to 2099.
	for (int y = std::max(l.y1, 1900); y <= std::min(l.y2, 2099) && !w.stop(); y++) {
		year_file(first, sizeof first, l.name, y);
		w.seen.clear();
		scan_file(first, MAXPART, w);
	}
}

// ---------------------------------------------------------------------------
// The query
// ---------------------------------------------------------------------------

// Seconds are a little-endian word: compared as a number, not as bytes.
static bool earlier(const FdsnHit &a, const FdsnHit &b)
{
	auto t = [](const FdsnHit &h) {
		return std::tuple(h.year, h.rec[1], h.rec[2], h.rec[3], h.rec[4], qeek(5, h.rec));
	};
	return t(a) < t(b);
}

static void order(const std::string &by, std::vector<FdsnHit> &h)
{
	std::stable_sort(h.begin(), h.end(), earlier);
	if (by == "time")
		std::reverse(h.begin(), h.end());
	else if (by == "magnitude")
		std::stable_sort(h.begin(), h.end(), [](const FdsnHit &a, const FdsnHit &b) {
			return rec_mag(a.rec) > rec_mag(b.rec);
		});
	else if (by == "magnitude-asc")
		std::stable_sort(h.begin(), h.end(), [](const FdsnHit &a, const FdsnHit &b) {
			return rec_mag(a.rec) < rec_mag(b.rec);
		});
}

// An event identifier names one year of its source, whatever else is asked.
static FdsnQuery id_query(const FdsnQuery &q)
{
	FdsnQuery k;
	k.catalog = q.catalog;
	k.idindex = q.idindex;
	k.t1 = FdsnTime{q.idyear, 0, 0, 0, 0, 0};
	k.t2 = FdsnTime{q.idyear, 255, 255, 255, 255, 6553};
	return k;
}

int fdsn_select(const FdsnQuery &asked, std::vector<FdsnHit> &out, std::string &err)
{
	const FdsnQuery q = asked.eventid.empty() ? asked : id_query(asked);
	store_reset();
	st.seglimit = 2;
	alloc_mem();
	Leg legs[MAXLEG];
	int n = select_plan(q.catalog.c_str(), q.t1.y, q.t2.y, true, legs);
	out.clear();
	Walk w{q, Filter(query_bounds(q)), out, {}, std::chrono::steady_clock::now() + std::chrono::seconds(srv.limit)};
	for (int i = 0; i < n && !w.stop(); i++)
		scan_leg(legs[i], w);
	if (w.full)
		err = "More than " + std::to_string(FDSN_MAXHITS) + " events match; narrow the request";
	if (w.late)
		err = "The request took longer than " + std::to_string(srv.limit) + " s";
	if (w.stop()) {
		out.clear();
		return w.full ? 413 : 503;
	}
	order(q.orderby, out);
	size_t from = std::min((size_t)(q.offset - 1), out.size());
	out.erase(out.begin(), out.begin() + (long)from);
	if (q.limit >= 0 && (size_t)q.limit < out.size())
		out.resize((size_t)q.limit);
	return 200;
}

} // namespace tw
