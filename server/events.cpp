// tarnwell-server: event requests. The bounds are derived from the form's
// texts as SELECT derives them, and the files are read with the program's
// own plan, filter and markers, so a selection through the server equals
// one from local files byte for byte.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>

#include "catalog/select.h"
#include "catalog/server_client.h"
#include "server.h"

namespace tw {

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
Bounds request_bounds(const char (*f)[17])
{
	Bounds b;
	b.iyy1 = (unsigned)num(f[3]);
	b.imd1 = (int)(num(f[4]) * 256 + num(f[5]));
	b.ihm1 = (int)(num(f[6]) * 256 + num(f[7]));
	b.isc1 = (int)(real(f[8]) * 10);
	b.iyy2 = (unsigned)num(f[9]);
	b.imd2 = (int)(num(f[10]) * 256 + num(f[11]));
	b.ihm2 = (int)(num(f[12]) * 256 + num(f[13]));
	b.isc2 = (int)(real(f[14]) * 10);
	b.lo1 = key(f[15], f[16], 'W');
	b.lo2 = key(f[17], f[18], 'W');
	b.la1 = (short)key(f[19], f[20], 'S');
	b.la2 = (short)key(f[21], f[22], 'S');
	if (b.lo1 >= b.lo2)
		b.lo2 += b360;
	b.ih1 = tenths_km(real(f[23]));
	b.ih2 = tenths_km(real(f[24]));
	b.m1 = tenths_mag(real(f[25]));
	b.m2 = tenths_mag(real(f[26]));
	b.noh = f[27][0] == 'N';
	b.nom = f[28][0] == 'N';
	return b;
}

// ---------------------------------------------------------------------------
// Which files: the first part and the parts its markers lead to
// ---------------------------------------------------------------------------

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

Selection::Selection()
	: missing(), why(""), datafd(-1), first(), n(0), buf(new unsigned char[(KEEP + 1) * (long)SEGSIZE])
{
}

static long load_part(int dirfd, const char *first, int part, unsigned char *seg, char *name,
		      int n, const char **why)
{
	if (part == 1)
		std::snprintf(name, n, "%s", first);
	else
		part_file(name, n, first, part);
	return load(dirfd, name, seg, 65535, why);
}

// The parts are walked before anything is answered, so that a missing one
// is reported with its name instead of breaking off a reply. Only the
// markers are looked at: the filter runs once per record, in run().
bool Selection::plan(int dirfd, const char *src, int year)
{
	datafd = dirfd;
	n = 0;
	why = "refused";
	if (!safe_source(src)) {
		std::snprintf(missing, sizeof missing, "%s", src);
		return false;
	}
	if (year)
		year_file(first, sizeof first, src, year);
	else
		std::snprintf(first, sizeof first, "%s.B", src);
	int maxpart = year ? MAXPART : !std::strcmp(src, "RIKA") ? 1 : 2;
	for (int p = 1; p;) {
		unsigned char *seg = buf.get() + (long)(n < KEEP ? n : KEEP) * SEGSIZE;
		long l = load_part(datafd, first, p, seg, missing, sizeof missing, &why);
		if (l < 0)
			return false;
		part[n] = p;
		len[n++] = l;
		p = next_part(seg_marker(seg, l), p, maxpart);
	}
	missing[0] = 0;
	return true;
}

const unsigned char *Selection::get(int i, long &l)
{
	if (i < KEEP) {
		l = len[i];
		return buf.get() + (long)i * SEGSIZE;
	}
	unsigned char *seg = buf.get() + (long)KEEP * SEGSIZE;
	char name[48];
	const char *w;
	l = load_part(datafd, first, part[i], seg, name, sizeof name, &w);
	return l < 0 ? nullptr : seg; // removed since the walk
}

// ---------------------------------------------------------------------------
// The reply: chunks of at most 4095 records
// ---------------------------------------------------------------------------

// A chunk goes out in one write: its count, records and, when last, the
// end marker; on a connection without acknowledgements also the status
// block before it and the marker of the chunk before that. Left unset:
// only what is filled is ever sent.
struct Reply {
	static constexpr int HEAD = 2 + FIELD; // the marker before, the status block
	explicit Reply(Conn &conn) : c(conn) {}
	Conn &c;
	unsigned char out[HEAD + 5 + MAXCHUNK * RECLEN + 2]; // the chunk being filled
	int n = 0;            // records waiting in it
	bool pending = false; // a chunk went out without its marker: more may follow
	long total = 0;       // records sent
	int chunks = 0;       // chunks sent
	unsigned char *rec(int i) { return out + HEAD + 5 + RECLEN * i; }
};

// The status block of data that exist: KEEPALIVE when the connection is
// kept, and the YEARS offer while the client has not taken it.
static void exists_block(unsigned char *b, const Conn &c)
{
	status(b, true, c.keep ? KEEPALIVE : "");
	if (c.keep && !c.stream)
		std::memcpy(b + YEARS_AT, YEARS, sizeof YEARS - 1);
}

// The answer can only come after our status block: wait, then read. The
// offer's answer turns acknowledgements off for good.
static bool ack(Conn &c)
{
	if (c.stream)
		return true;
	char a[FIELD + 1] = {};
	if (!ready(c, POLLIN) || !readn(c, a, FIELD))
		return false;
	int k = FIELD;
	while (k && a[k - 1] == ' ')
		k--;
	a[k] = 0;
	c.stream = c.keep && !std::strcmp(a, YEARS_ACK);
	return c.stream || !std::strcmp(a, "1");
}

// A chunk's marker is sent only once it is known whether another chunk
// follows, so no empty chunk is ever needed to end a reply. Every chunk
// but a later one of an acknowledged reply starts with a status block.
static bool flush(Reply &r, bool last)
{
	unsigned char *from = r.out + Reply::HEAD;
	if (r.pending || !r.chunks) {
		from = r.out + (r.pending ? 0 : 2);
		r.out[0] = 0xfe, r.out[1] = 0xff;
		exists_block(r.out + 2, r.c);
		if (!r.c.stream) {
			if (!writen(r.c, from, r.out + Reply::HEAD - from) || !ack(r.c))
				return false;
			from = r.out + Reply::HEAD;
		}
	}
	char count[8];
	std::snprintf(count, sizeof count, "%5d", r.n);
	std::memcpy(r.out + Reply::HEAD, count, 5);
	long len = Reply::HEAD + 5 + RECLEN * r.n;
	if (last)
		r.out[len++] = 0xff, r.out[len++] = 0xff;
	bool ok = writen(r.c, from, r.out + len - from);
	r.total += r.n;
	r.chunks++;
	r.pending = !last;
	r.n = 0;
	return ok;
}

static bool stream(Selection &s, const Bounds &b, Reply &r)
{
	bool ok = s.run(b, [&r](const unsigned char *rec) {
		std::memcpy(r.rec(r.n), rec, RECLEN);
		return ++r.n < MAXCHUNK || flush(r, false);
	});
	if (!ok)
		return false;
	if (r.pending && !r.n) {
		static const unsigned char end[2] = {0xff, 0xff};
		return writen(r.c, end, 2);
	}
	return flush(r, true);
}

void serve_events(Conn &c, const char (*f)[17])
{
	const char *src = f[1];
	int year = (int)num(f[2]);
	Selection s;
	if (!s.plan(srv.datafd, src, year)) {
		c.keep = false; // "does not exist" ends the selection
		send_status(c, false, s.missing);
		srv_log(&c, "event %s %d: %s %s", src, year, s.why, s.missing);
		return;
	}
	Reply r(c);
	bool done = stream(s, request_bounds(f), r);
	c.keep = c.keep && done;
	srv_log(&c, "event %s %d: %ld records in %d chunk(s)%s%s", src, year, r.total, r.chunks,
		done ? "" : ", broken off", c.keep ? ", kept" : "");
}

bool next_year(Conn &c)
{
	if (!c.stream) // a file reply never keeps its connection: c holds an event request
		return false;
	char y[FIELD + 1] = {}, to[FIELD + 1] = {};
	std::memcpy(y, c.req + 2 * FIELD, FIELD);
	std::memcpy(to, c.req + 9 * FIELD, FIELD);
	long year = num(y);
	if (!year || year >= num(to))
		return false;
	int k = std::snprintf(y, sizeof y, "%4ld", year + 1);
	std::memset(y + k, ' ', FIELD - k);
	std::memcpy(c.req + 2 * FIELD, y, FIELD);
	return true;
}

} // namespace tw
