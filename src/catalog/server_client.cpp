// Retrieval server client.
//
// [SECTION] Connection
// [SECTION] Raw exchange with time limits
// [SECTION] Event requests
// [SECTION] SELECT through the server
// [SECTION] Auxiliary files
#include "catalog/server_client.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "catalog/select.h"
#include "catalog/store.h"
#include "device/screen.h"
#include "shell/setup.h"
#include "shell/panel.h"

namespace tw {

// A dead peer is given up after 30 s of silence; a peer that keeps
// trickling bytes after 5 minutes for one request.
constexpr int TMO_MS = 30000, MAXTIME_MS = 300000;

static constexpr ServerClient fresh_client()
{
	ServerClient c{};
	c.sock = -1;
	c.tmo = TMO_MS;
	c.maxtime = MAXTIME_MS;
	return c;
}

ServerClient sv = fresh_client();

void server_client_reset()
{
	close_server();
	sv = fresh_client();
}

static long long now_ms()
{
	timespec t;
	clock_gettime(CLOCK_MONOTONIC, &t);
	return t.tv_sec * 1000LL + t.tv_nsec / 1000000;
}

// ---------------------------------------------------------------------------
// [SECTION] Connection
// ---------------------------------------------------------------------------

// "name" or "name:port"; a text with more than one colon is an IPv6 address
// without a port. False when the port is not a number from 1 to 65535.
static bool split_host(const char *host, char *name, int n, char *port, int np)
{
	const char *c = std::strchr(host, ':');
	if (!c || std::strchr(c + 1, ':')) {
		std::snprintf(name, n, "%s", host);
		std::snprintf(port, np, "%d", SERVER_PORT);
		return true;
	}
	std::snprintf(name, n, "%.*s", (int)(c - host), host);
	char *end;
	long p = std::strtol(c + 1, &end, 10);
	if (end == c + 1 || *end || p < 1 || p > 65535)
		return false;
	std::snprintf(port, np, "%ld", p);
	return true;
}

static int wait_fd(int fd, short ev);

// A connect that the network never answers would block for minutes.
static int connect_to(const addrinfo *a)
{
	int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
	if (fd < 0)
		return -1;
	if (::connect(fd, a->ai_addr, a->ai_addrlen) == 0)
		return fd;
	int err = 0;
	socklen_t len = sizeof err;
	if (errno == EINPROGRESS && wait_fd(fd, POLLOUT) > 0 &&
	    getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0)
		return fd;
	::close(fd);
	return -1;
}

int open_server(const char *host)
{
	close_server();
	std::snprintf(sv.host_s, sizeof sv.host_s, "%s", host);
	if (!sv.myhost[0] && gethostname(sv.myhost, sizeof sv.myhost - 1) != 0)
		std::snprintf(sv.myhost, sizeof sv.myhost, "unknown");
	sv.why = SV_OK;
	sv.deadline = now_ms() + sv.maxtime;
	char name[65], port[8];
	if (!split_host(host, name, sizeof name, port, sizeof port) || !name[0])
		return 0;
	addrinfo hint{}, *res = nullptr;
	hint.ai_family = AF_UNSPEC;
	hint.ai_socktype = SOCK_STREAM;
	if (getaddrinfo(name, port, &hint, &res) != 0)
		return 0;
	for (addrinfo *a = res; a && sv.sock < 0; a = a->ai_next)
		sv.sock = connect_to(a);
	freeaddrinfo(res);
	return sv.sock >= 0;
}

void close_server()
{
	if (sv.sock >= 0)
		::close(sv.sock);
	sv.sock = -1;
	sv.keep = false; // an offer holds for its own connection only
	sv.offer = sv.stream = false;
	sv.next = 0;
}

// ---------------------------------------------------------------------------
// [SECTION] Raw exchange with time limits
// ---------------------------------------------------------------------------

// 1 when fd is ready, 0 on time-out (sv.why set), -1 on error. The window
// stays alive meanwhile; input that wakes the wait does not extend it.
static int wait_fd(int fd, short ev)
{
	long long quiet = now_ms() + sv.tmo;
	for (;;) {
		long long end = quiet < sv.deadline ? quiet : sv.deadline, left = end - now_ms();
		pollfd p{fd, ev, 0};
		int r = poll_window(p, left > 0 ? (int)left : 0);
		if (r > 0)
			return 1;
		if (r == 0 && left <= 0) {
			sv.why = SV_TIME;
			return 0;
		}
		if (r == 0)
			continue;
		if (errno != EINTR) {
			sv.why = SV_CLOSED;
			return -1;
		}
	}
}

int getn_server(void *bytes, int n)
{
	if (sv.sock < 0 || n <= 0)
		return -1;
	for (;;) {
		if (wait_fd(sv.sock, POLLIN) <= 0)
			return -1;
		ssize_t r = ::recv(sv.sock, bytes, n, 0);
		if (r > 0) {
			sv.rcvd += r;
			return (int)r;
		}
		if (r == 0) {
			sv.why = SV_CLOSED;
			return 0;
		}
		if (errno != EINTR && errno != EAGAIN) {
			sv.why = SV_CLOSED;
			return -1;
		}
	}
}

// Exactly n bytes, or false.
static bool getall(void *bytes, long n)
{
	auto *p = static_cast<unsigned char *>(bytes);
	for (long got = 0; got < n;) {
		int r = getn_server(p + got, (int)(n - got));
		if (r <= 0)
			return false;
		got += r;
	}
	return true;
}

int putn_server(const void *bytes, int n)
{
	auto *p = static_cast<const unsigned char *>(bytes);
	for (int done = 0; done < n;) {
		if (sv.sock < 0 || wait_fd(sv.sock, POLLOUT) <= 0)
			return -1;
		ssize_t r = ::send(sv.sock, p + done, n - done, MSG_NOSIGNAL);
		if (r > 0)
			done += (int)r;
		else if (r < 0 && errno != EINTR && errno != EAGAIN) {
			sv.why = SV_CLOSED;
			return -1;
		}
	}
	return n;
}

// A request goes out in one write, not 29 small ones: fields sent while
// it is put together gather here.
static struct {
	char b[REQFIELDS * FIELD];
	int n;   // bytes gathered
	bool on; // a request is being put together
} req;

static void gather(bool on)
{
	req.on = on;
	req.n = 0;
}

static bool flush_request()
{
	int n = req.n;
	gather(false);
	return putn_server(req.b, n) == n;
}

int send_server(const char *text)
{
	char f[FIELD];
	std::memset(f, ' ', FIELD);
	size_t n = std::strlen(text);
	std::memcpy(f, text, n < FIELD ? n : FIELD);
	if (!req.on)
		return putn_server(f, FIELD) == FIELD;
	if (req.n + FIELD > (int)sizeof req.b)
		return 0;
	std::memcpy(req.b + req.n, f, FIELD);
	req.n += FIELD;
	return 1;
}

// The message for a connection that broke, stalled or talked nonsense.
static void broken()
{
	if (sv.why == SV_TIME)
		set_em("`%s' did not answer in time!", sv.host_s);
	else if (sv.why == SV_BAD)
		set_em("`%s' sent a malformed reply!", sv.host_s);
	else
		set_em("`%s' closed the connection too early!", sv.host_s);
}

static int malformed()
{
	sv.why = SV_BAD;
	broken();
	return 0;
}

// The status block: 1 the data exist, 0 they do not (message set), -1 the
// block never arrived. The server's text is shown on the form: anything
// unprintable in it becomes '?'.
static int status_block()
{
	unsigned char b[FIELD];
	if (!getall(b, FIELD))
		return -1;
	sv.keep = b[0] && !std::memcmp(b + 1, KEEPALIVE, sizeof KEEPALIVE);
	sv.offer = sv.keep && !std::memcmp(b + YEARS_AT, YEARS, sizeof YEARS);
	if (b[0])
		return 1;
	char name[FIELD];
	int k = 0;
	for (int i = 1; i < FIELD && b[i]; i++)
		name[k++] = b[i] >= 32 && b[i] < 127 ? (char)b[i] : '?';
	name[k] = 0;
	set_em("File `%s' does not exist on `%s'!", name, sv.host_s);
	return 0;
}

// A decimal count of width bytes: leading blanks or zeros, then digits.
// -1 when it is anything else or above max.
static long count_text(const unsigned char *t, int width, long max)
{
	int i = 0;
	while (i < width && t[i] == ' ')
		i++;
	if (i == width)
		return -1;
	long v = 0;
	for (; i < width; i++) {
		if (t[i] < '0' || t[i] > '9')
			return -1;
		v = v * 10 + (t[i] - '0');
	}
	return v <= max ? v : -1;
}

// ---------------------------------------------------------------------------
// [SECTION] Event requests
// ---------------------------------------------------------------------------

static void progress(const char *name, int year, int count)
{
	move(14, 25);
	if (year)
		printw("%-5.5s (%4d) -- %5d", name, year, count);
	else
		printw("%-5.5s        -- %5d", name, count);
	xflush();
}

// Minutes with the hemisphere letter appended for West or South.
static bool send_minutes(const char *min, const char *hemi, char neg)
{
	char f[FIELD + 1];
	std::snprintf(f, sizeof f, "%s%s", min, hemi[0] == neg ? (neg == 'W' ? "W" : "S") : "");
	return send_server(f);
}

static bool send_time(unsigned year, const char *m, const char *d, const char *h,
		      const char *n, const char *s)
{
	char y[16];
	std::snprintf(y, sizeof y, "%u", year);
	return send_server(y) && send_server(m) && send_server(d) && send_server(h) &&
	       send_server(n) && send_server(s);
}

// A whole catalogue read for a shorter span than the window ends with the
// last day of iyy2, as the local reading does; the form's To date would cut
// that year short. 255 lies past every month, day, hour and minute a record
// can hold, 6553.5 s past every second.
static bool send_to()
{
	if (sv.toend)
		return send_time(st.iyy2, "255", "255", "255", "255", "6553.5");
	return send_time(st.iyy2, se.m2_s, se.d2_s, se.h2_s, se.n2_s, se.s2_s);
}

static bool send_fields(const char *name, int year)
{
	char y[FIELD + 1];
	std::snprintf(y, sizeof y, "%4d", year);
	return send_server(sv.myhost) && send_server(name) && send_server(y) &&
	       send_time(st.iyy1, se.m1_s, se.d1_s, se.h1_s, se.n1_s, se.s1_s) && send_to() &&
	       send_server(se.so1_s) && send_minutes(se.som1_s, se.sew1_s, 'W') &&
	       send_server(se.so2_s) && send_minutes(se.som2_s, se.sew2_s, 'W') &&
	       send_server(se.sa1_s) && send_minutes(se.sam1_s, se.sns1_s, 'S') &&
	       send_server(se.sa2_s) && send_minutes(se.sam2_s, se.sns2_s, 'S') &&
	       send_server(se.dp1_s) && send_server(se.dp2_s) && send_server(se.mg1_s) &&
	       send_server(se.mg2_s) && send_server(se.ynh_s) && send_server(se.ynm_s);
}

int submit_server(const char *name, int year)
{
	gather(true);
	bool ok = send_fields(name, year);
	return flush_request() && ok;
}

// Copy n records from the work segment to the primary half at count. A
// record whose month byte is 255 would read as a marker and cut every later
// scan of the store short: such a chunk is refused whole.
static bool take_records(const unsigned char *w, int n, int &count)
{
	for (int j = 0; j < n; j++)
		if (w[16 * j + 1] == 255)
			return false;
	for (int j = 0; j < n; j++)
		put_event(0, count + j, w + 16 * j);
	count += n;
	put_marker(0, count, M_END);
	return true;
}

// The acknowledgement of a status block, unless they are off; taking the
// YEARS offer turns them off.
static bool ack()
{
	if (sv.stream)
		return true;
	sv.stream = sv.offer;
	return send_server(sv.offer ? YEARS_ACK : "1");
}

// One chunk: 1 another follows, 0 it was the last, -1 failed (message set).
// full tells whether the store filled; later chunks are read but add nothing.
static int chunk(int &count, bool &full)
{
	int s = status_block();
	if (s <= 0)
		return s < 0 ? (broken(), -1) : -1;
	unsigned char ct[5];
	if (!ack() || !getall(ct, 5))
		return broken(), -1;
	long n = count_text(ct, 5, MAXCHUNK);
	if (n < 0)
		return malformed(), -1;
	unsigned char *w = st.iseg[workseg()];
	if (!getall(w, 16 * n + 2))
		return broken(), -1;
	long keep = n;
	if (count + n > st.nmax)
		keep = st.nmax - count, full = true;
	if (!take_records(w, (int)keep, count))
		return malformed(), -1;
	return qeek(16 * n, w) != M_END;
}

int retrv_server(const char *name, int &count, int year)
{
	progress(name, year, count);
	sv.why = SV_OK;
	sv.deadline = now_ms() + sv.maxtime; // per request, also on a kept connection
	sv.keep = false;
	sv.rcvd = 0;
	bool unasked = year && sv.next == year; // the server goes on by itself
	sv.next = 0;
	if (!unasked && !submit_server(name, year)) {
		broken();
		return 0;
	}
	bool full = false;
	int r;
	while ((r = chunk(count, full)) > 0)
		;
	if (r < 0)
		return 0;
	if (sv.keep && sv.stream && year && (unsigned)year < st.iyy2)
		sv.next = year + 1;
	// Exactly full is full too: no later request could add anything.
	return full || count >= st.nmax ? -1 : 1;
}

// ---------------------------------------------------------------------------
// [SECTION] SELECT through the server
// ---------------------------------------------------------------------------

// One request: 1, -1 store full, 0 failed. It goes on the connection the
// last reply kept open, else on a new one. A kept connection that the
// server closed meanwhile (its idle deadline) before answering a byte is
// replaced once: the request is asked again, nothing was taken from it.
static int request(const char *host, const char *name, int year)
{
	bool kept = sv.sock >= 0 && sv.keep;
	if (sv.sock < 0 && !open_server(host)) {
		set_em("`%s' cannot be accessed to!", host);
		return 0;
	}
	int r = retrv_server(name, st.itot, year);
	if (r == 0 && kept && !sv.rcvd && sv.why == SV_CLOSED) {
		close_server();
		pn.em_s[0] = 0;
		return request(host, name, year);
	}
	if (r != 1 || !sv.keep)
		close_server();
	return r;
}

// A whole catalogue asks with the leg's window; a yearly leg one year per
// request from its first year.
static int run_leg(const char *host, const Leg &l, unsigned y2)
{
	if (!l.yearly) {
		st.iyy2 = (unsigned)l.y2;
		sv.toend = st.iyy2 < y2;
		int r = request(host, l.name, 0);
		st.iyy2 = y2;
		sv.toend = false;
		return r;
	}
	st.iyy1 = (unsigned)l.y1;
	for (int y = l.y1; y <= l.y2; y++) {
		int r = request(host, l.name, y);
		if (r != 1)
			return r;
	}
	if (sv.next)
		close_server(); // it would go on with years past the leg
	return 1;
}

int select_server(const char *host)
{
	unsigned y1 = st.iyy1, y2 = st.iyy2;
	if (!open_server(host)) {
		set_em("`%s' cannot be accessed to!", host);
		return 0;
	}
	Leg legs[MAXLEG];
	int n = select_plan(st.f2_s, (int)y1, (int)y2, true, legs);
	int r = 1;
	for (int i = 0; i < n && r == 1; i++)
		r = run_leg(host, legs[i], y2);
	close_server(); // the first connection, when no request used it
	st.iyy1 = y1;
	st.iyy2 = y2;
	return r != 0;
}

// ---------------------------------------------------------------------------
// [SECTION] Auxiliary files
// ---------------------------------------------------------------------------

// The file's chunks into block + offset. Bytes past the segment are not
// taken: the transfer stops there, as a local load stops at 65535 bytes.
static long fetch_file(unsigned char *block, long offset, const char *name)
{
	gather(true);
	bool sent = send_server(sv.myhost) && send_server(":") && send_server(name);
	if (!flush_request() || !sent)
		return broken(), 0;
	int s = status_block();
	if (s <= 0)
		return s < 0 ? (broken(), 0) : 0;
	long room = 65535 - offset, total = 0;
	for (;;) {
		unsigned char lt[6];
		if (!getall(lt, 6))
			return broken(), 0;
		long len = count_text(lt, 6, 999999);
		if (len < 0)
			return malformed();
		if (len == 0 || total == room)
			return total;
		long take = len < room - total ? len : room - total;
		if (!getall(block + offset + total, take))
			return broken(), 0;
		total += take;
		if (take < len)
			return total;
	}
}

long rbload(unsigned char *block, long offset, const char *name)
{
	if (st.drvo_s[0] != '@')
		return bload(block, offset, name);
	const char *host = st.drvo_s + 1;
	if (offset < 0 || offset > 65535)
		return 0;
	if (!open_server(host)) {
		set_em("`%s' cannot be accessed to!", host);
		return 0;
	}
	long total = fetch_file(block, offset, name);
	close_server();
	return total;
}

} // namespace tw
