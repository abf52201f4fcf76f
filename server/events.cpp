// tarnwell-server: event requests. The bounds are derived from the form's
// texts as SELECT derives them, and the files are read with the program's
// own plan, filter and markers, so a selection through the server equals
// one from local files byte for byte.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "catalog/select.h"
#include "catalog/server_client.h"
#include "catalog/store.h"
#include "server.h"

namespace tw {

constexpr int CHUNKSEG = 0, WORKSEG = 1; // segments of the child's store
constexpr int MAXPART = 256;

// ---------------------------------------------------------------------------
// Bounds from the request's texts
// ---------------------------------------------------------------------------

// Texts come from the network: numbers are clamped before any arithmetic.
static long num(const char *s)
{
	long v = std::strtol(s, nullptr, 10);
	return v < -1000000 ? -1000000 : v > 1000000 ? 1000000 : v;
}

static double real(const char *s)
{
	double v = std::atof(s);
	return std::isnan(v) ? 0 : v < -1e6 ? -1e6 : v > 1e6 ? 1e6 : v;
}

static int key(const char *deg, const char *min, char neg)
{
	int k = (int)(num(deg) * 256 + num(min));
	return std::strchr(min, neg) ? -k : k;
}

static unsigned tenths_km(double km)
{
	double t = km * 10 + 0.01;
	return t < 0 ? 0 : (unsigned)t;
}

static int tenths_mag(double m) { return (int)(m >= 0 ? m * 10 + 0.01 : m * 10 - 0.01); }

// Fields: 3 From year, 4-8 its month to second, 9 To year, 10-14, then the
// box (15-22), depth (23-24), magnitude (25-26) and the two Y/N answers.
static void set_bounds(const char (*f)[17])
{
	st.iyy1 = (unsigned)num(f[3]);
	st.imd1 = (int)(num(f[4]) * 256 + num(f[5]));
	st.ihm1 = (int)(num(f[6]) * 256 + num(f[7]));
	st.isc1 = (int)(real(f[8]) * 10);
	st.iyy2 = (unsigned)num(f[9]);
	st.imd2 = (int)(num(f[10]) * 256 + num(f[11]));
	st.ihm2 = (int)(num(f[12]) * 256 + num(f[13]));
	st.isc2 = (int)(real(f[14]) * 10);
	st.lo1 = key(f[15], f[16], 'W');
	st.lo2 = key(f[17], f[18], 'W');
	st.la1 = (short)key(f[19], f[20], 'S');
	st.la2 = (short)key(f[21], f[22], 'S');
	if (st.lo1 >= st.lo2)
		st.lo2 += b360;
	st.ih1 = tenths_km(real(f[23]));
	st.ih2 = tenths_km(real(f[24]));
	st.m1 = tenths_mag(real(f[25]));
	st.m2 = tenths_mag(real(f[26]));
	st.noh = f[27][0] == 'N';
	st.nom = f[28][0] == 'N';
}

// ---------------------------------------------------------------------------
// Which files: the first part and the parts its markers lead to
// ---------------------------------------------------------------------------

struct Parts {
	char first[40];       // the first part's name
	int maxpart;          // highest part number the markers may name
	int part[MAXPART];    // part numbers to read, in order
	int n;                // how many
};

// A source name becomes part of a file name: letters, digits, '-' and '_'.
static bool safe_source(const char *s)
{
	if (!*s)
		return false;
	for (; *s; s++)
		if (!std::isalnum((unsigned char)*s) && *s != '-' && *s != '_')
			return false;
	return true;
}

// As the local scan: a marker leads to the next part; one that points back
// at this part or an earlier one ends the file.
static int next_part(int m, int cur, int maxpart)
{
	if (m == M_END || cur >= maxpart)
		return 0;
	int p = maxpart == 2 ? 2 : 65536 - m;
	return p > cur && p <= maxpart ? p : 0;
}

static void part_name(const Parts &p, int part, char *out, int n)
{
	if (part == 1)
		std::snprintf(out, n, "%s", p.first);
	else
		part_file(out, n, p.first, part);
}

static long load_part(const Parts &p, int part)
{
	char name[48];
	part_name(p, part, name, sizeof name);
	return load(srv.datafd, name, st.iseg[WORKSEG], 65535);
}

// The marker that ends a loaded part, found by the same scan that filters.
static int part_marker(long len)
{
	int k = 0, r;
	while ((r = retrv(k, 0, WORKSEG, CHUNKSEG, len)) < M_LOW)
		k = r + 1;
	return r;
}

// Walk the parts before answering, so that a missing one is reported with
// its name instead of breaking off a reply. False: missing names it.
static bool plan_parts(const char *src, int year, Parts &p, char *missing, int n)
{
	if (year)
		year_file(p.first, sizeof p.first, src, year);
	else
		std::snprintf(p.first, sizeof p.first, "%s.B", src);
	p.maxpart = year ? MAXPART : !std::strcmp(src, "RIKA") ? 1 : 2;
	p.n = 0;
	for (int part = 1; part;) {
		long len = load_part(p, part);
		if (len < 0) {
			part_name(p, part, missing, n);
			return false;
		}
		p.part[p.n++] = part;
		part = next_part(part_marker(len), part, p.maxpart);
	}
	return true;
}

// ---------------------------------------------------------------------------
// The reply: chunks of at most 4095 records
// ---------------------------------------------------------------------------

struct Reply {
	int n;        // records waiting in the chunk segment
	bool pending; // a chunk went out without its marker: more may follow
	long total;   // records sent
	int chunks;   // chunks sent
};

static bool ack()
{
	char a[FIELD + 1] = {};
	if (!readn(a, FIELD))
		return false;
	int k = FIELD;
	while (k && a[k - 1] == ' ')
		k--;
	a[k] = 0;
	return !std::strcmp(a, "1");
}

// A chunk's marker is sent only once it is known whether another chunk
// follows, so no empty chunk is ever needed to end a reply.
static bool flush(Reply &r, bool last)
{
	static const unsigned char more[2] = {0xfe, 0xff}, end[2] = {0xff, 0xff};
	if (r.pending && (!writen(more, 2) || !send_status(true, "") || !ack()))
		return false;
	char count[8];
	std::snprintf(count, sizeof count, "%5d", r.n);
	cork(true);
	bool ok = writen(count, 5) && writen(evslot(CHUNKSEG, 0), 16L * r.n) &&
		  (!last || writen(end, 2));
	cork(false);
	r.total += r.n;
	r.chunks++;
	r.pending = !last;
	r.n = 0;
	return ok;
}

// Filter one loaded part into chunks. False when the client went away.
static bool scan_part(long len, Reply &r)
{
	for (int k = 0;;) {
		int i = retrv(k, r.n, WORKSEG, CHUNKSEG, len);
		if (i >= M_LOW)
			return true;
		if (++r.n == MAXCHUNK && !flush(r, false))
			return false;
		k = i + 1;
	}
}

static bool stream(const Parts &p, Reply &r)
{
	for (int i = 0; i < p.n; i++) {
		long len = load_part(p, p.part[i]);
		if (len < 0) // removed since the walk: the reply cannot be finished
			return false;
		if (!scan_part(len, r))
			return false;
	}
	if (r.pending && !r.n) {
		static const unsigned char end[2] = {0xff, 0xff};
		return writen(end, 2);
	}
	return flush(r, true);
}

void serve_events(const char (*f)[17])
{
	store_reset();
	st.seglimit = 2;
	alloc_mem();
	set_bounds(f);
	const char *src = f[1];
	int year = (int)num(f[2]);
	Parts p;
	char missing[48];
	bool ok = safe_source(src);
	if (ok)
		ok = plan_parts(src, year, p, missing, sizeof missing);
	else
		std::snprintf(missing, sizeof missing, "%s", src);
	if (!ok) {
		send_status(false, missing);
		srv_log("event %s %d: not found %s", src, year, missing);
		return;
	}
	Reply r{};
	bool done = send_status(true, "") && ack() && stream(p, r);
	srv_log("event %s %d: %ld records in %d chunk(s)%s", src, year, r.total, r.chunks,
		done ? "" : ", broken off");
}

} // namespace tw
