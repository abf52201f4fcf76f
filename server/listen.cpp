// tarnwell-server: the listening socket, the gathering of requests, the
// pool of workers, the log and shutdown.
//
// [SECTION] Settings, clock and log
// [SECTION] The pool: queued and running requests, slots per address
// [SECTION] Accepting and gathering request bytes
// [SECTION] The loop and shutdown
#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <deque>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <netdb.h>
#include <poll.h>
#include <pthread.h>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

#include "server.h"

namespace tw {

// ---------------------------------------------------------------------------
// [SECTION] Settings, clock and log
// ---------------------------------------------------------------------------

Server srv;
volatile sig_atomic_t srv_stop;

void server_reset()
{
	srv = Server{};
	srv.port = 5516;
	std::snprintf(srv.addr_s, sizeof srv.addr_s, "127.0.0.1");
	std::snprintf(srv.data_s, sizeof srv.data_s, ".");
	srv.datafd = srv.auxfd = srv.lfd = -1;
	srv.wake[0] = srv.wake[1] = -1;
	srv.limit = 60;
	srv.maxkids = 64;
	srv_stop = 0;
}

// One write per line keeps the lines of concurrent requests whole.
void srv_log(const Conn *c, const char *fmt, ...)
{
	char line[512];
	time_t t = std::time(nullptr);
	tm u;
	gmtime_r(&t, &u);
	int k = (int)std::strftime(line, sizeof line, "%Y-%m-%dT%H:%M:%SZ ", &u);
	k += std::snprintf(line + k, sizeof line - k, "%s ", c ? c->peer_s : "-");
	va_list ap;
	va_start(ap, fmt);
	int m = std::vsnprintf(line + k, sizeof line - 1 - k, fmt, ap);
	va_end(ap);
	k += m < (int)sizeof line - 1 - k ? m : (int)sizeof line - 2 - k;
	line[k++] = '\n';
	if (::write(2, line, k) < 0)
		return;
}

static void wake(char why)
{
	if (::write(srv.wake[1], &why, 1) < 0)
		return;
}

static void on_stop(int)
{
	srv_stop = 1;
	wake('x');
}

static void handle(int sig, void (*fn)(int))
{
	struct sigaction sa{};
	sa.sa_handler = fn;
	sigemptyset(&sa.sa_mask);
	sa.sa_flags = SA_RESTART;
	sigaction(sig, &sa, nullptr);
}

// ---------------------------------------------------------------------------
// [SECTION] The pool: queued and running requests, slots per address
// ---------------------------------------------------------------------------

// A worker with nothing to do waits on its own condition, so that the
// loop can hand a request to the one that went idle last: its stack and
// buffers are still in the cache.
struct Idle {
	std::condition_variable cv;
	Conn *c = nullptr; // the request handed to it
};

// Shared between the loop and the workers, only under the lock.
struct Pool {
	std::mutex mu;
	std::deque<Conn *> queue;              // whole requests waiting for a worker
	std::vector<Idle *> idle;              // waiting workers, the latest last
	std::vector<Conn *> running;           // requests being served
	std::map<std::string, int> conns;      // connections per address, any phase
	std::map<std::string, int> serving;    // requests being served per address
	int nconn = 0;                         // connections open
	bool stop = false;                     // shutting down: no more requests
	std::vector<pthread_t> workers;
};
static Pool pool;

// One address may hold only half of the workers: the rest stay for others.
static int host_slots() { return srv.maxkids > 1 ? srv.maxkids / 2 : 1; }

static int connmax = 16; // connections the loop may hold (max_conns)

// True when the loop had stopped accepting for want of room.
static bool drop(Conn *c)
{
	::close(c->fd);
	std::lock_guard<std::mutex> l(pool.mu);
	bool full = pool.nconn-- >= connmax;
	if (!--pool.conns[c->host_s])
		pool.conns.erase(c->host_s);
	delete c;
	return full;
}

// Under the lock: the first queued request whose address has a slot free,
// counted as running.
static Conn *pick()
{
	for (auto it = pool.queue.begin(); it != pool.queue.end(); ++it) {
		int &busy = pool.serving[(*it)->host_s];
		if (busy < host_slots()) {
			Conn *c = *it;
			pool.queue.erase(it);
			busy++;
			pool.running.push_back(c);
			return c;
		}
	}
	return nullptr;
}

// A whole request from the loop: to the worker idle last, if one is and
// the address has a slot; else it waits in the queue.
static void hand_over(Conn *c)
{
	std::lock_guard<std::mutex> l(pool.mu);
	pool.queue.push_back(c);
	if (pool.idle.empty())
		return;
	if (Conn *next = pick()) {
		Idle *w = pool.idle.back();
		pool.idle.pop_back();
		w->c = next;
		w->cv.notify_one();
	}
}

// The next request for a worker; nullptr when shutting down.
static Conn *take(Idle &me)
{
	std::unique_lock<std::mutex> l(pool.mu);
	if (Conn *c = pool.stop ? nullptr : pick())
		return c;
	me.c = nullptr;
	pool.idle.push_back(&me);
	me.cv.wait(l, [&me] { return me.c || pool.stop; });
	return me.c;
}

// A worker that finishes takes the next request itself (take), which may
// be one that waited for this address's slot.
static void done(Conn *c)
{
	{
		std::lock_guard<std::mutex> l(pool.mu);
		if (!--pool.serving[c->host_s])
			pool.serving.erase(c->host_s);
		pool.running.erase(std::find(pool.running.begin(), pool.running.end(), c));
	}
	if (drop(c))
		wake('c'); // the loop may accept again
}

// Another request may follow on c only while nobody waits whom this
// worker could serve instead: a queued request whose address has a slot,
// counting the one c would give back.
static bool may_keep(const Conn &c)
{
	std::lock_guard<std::mutex> l(pool.mu);
	if (pool.stop)
		return false;
	for (const Conn *q : pool.queue) {
		auto it = pool.serving.find(q->host_s);
		int busy = it == pool.serving.end() ? 0 : it->second;
		if (busy - !std::strcmp(q->host_s, c.host_s) < host_slots())
			return false;
	}
	return true;
}

static bool next_request(Conn &c);
static void bound(Conn &c);

// After a reply that kept c: the next year unasked, or the next request.
static bool go_on(Conn &c)
{
	if (!next_year(c))
		return next_request(c);
	bound(c);
	return true;
}

// The requests of one connection: the first as gathered by the loop, the
// rest read here (or made from the one before) while the replies keep it.
static void serve_conn(Conn &c)
{
	if (now_ms() >= c.done_by) {
		srv_log(&c, "time limit of %d s reached while queued, closed", srv.limit);
		return;
	}
	do {
		c.keep = may_keep(c);
		serve(c);
	} while (c.keep && go_on(c));
}

static void *worker(void *)
{
	Idle me;
	while (Conn *c = take(me)) {
		serve_conn(*c);
		done(c);
	}
	return nullptr;
}

// Workers block the signals, so that they reach the loop; a small stack
// each, as a request keeps its buffers on the heap.
static bool start_workers()
{
	sigset_t all, old;
	sigfillset(&all);
	pthread_sigmask(SIG_BLOCK, &all, &old);
	pthread_attr_t a;
	pthread_attr_init(&a);
	pthread_attr_setstacksize(&a, 256 * 1024);
	bool ok = true;
	for (int i = 0; ok && i < srv.maxkids; i++) {
		pthread_t t;
		ok = !pthread_create(&t, &a, worker, nullptr);
		if (ok)
			pool.workers.push_back(t);
	}
	pthread_attr_destroy(&a);
	pthread_sigmask(SIG_SETMASK, &old, nullptr);
	if (!ok)
		srv_log(nullptr, "only %zu worker(s) started", pool.workers.size());
	return !pool.workers.empty();
}

// ---------------------------------------------------------------------------
// [SECTION] Accepting and gathering request bytes
// ---------------------------------------------------------------------------

static void show_address(const sockaddr *a, socklen_t len, Conn &c)
{
	char h[48], p[NI_MAXSERV];
	if (getnameinfo(a, len, h, sizeof h, p, sizeof p, NI_NUMERICHOST | NI_NUMERICSERV))
		std::snprintf(h, sizeof h, "?"), p[0] = 0;
	std::snprintf(c.host_s, sizeof c.host_s, "%s", h);
	std::snprintf(c.peer_s, sizeof c.peer_s, std::strchr(h, ':') ? "[%s]:%s" : "%s:%s", h, p);
}

int server_listen()
{
	addrinfo hint{}, *res = nullptr;
	hint.ai_socktype = SOCK_STREAM;
	hint.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
	char port[8];
	std::snprintf(port, sizeof port, "%d", srv.port);
	if (getaddrinfo(srv.addr_s, port, &hint, &res) || !res) {
		std::fprintf(stderr, "tarnwell-server: unknown address %s\n", srv.addr_s);
		return 1;
	}
	srv.lfd = ::socket(res->ai_family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
	int on = 1;
	setsockopt(srv.lfd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
	if (srv.lfd < 0 || ::bind(srv.lfd, res->ai_addr, res->ai_addrlen) || ::listen(srv.lfd, 128)) {
		std::fprintf(stderr, "tarnwell-server: cannot listen on %s port %d: %s\n",
			     srv.addr_s, srv.port, std::strerror(errno));
		freeaddrinfo(res);
		return 1;
	}
	freeaddrinfo(res);
	sockaddr_storage a;
	socklen_t len = sizeof a;
	getsockname(srv.lfd, (sockaddr *)&a, &len);
	Conn where{};
	show_address((sockaddr *)&a, len, where);
	srv_log(nullptr, "listening on %s, data %s, aux %s", where.peer_s, srv.data_s, srv.aux_s);
	return 0;
}

// Connections the loop may hold: what the descriptor limit leaves after
// the workers' files and some to spare.
static int max_conns()
{
	rlimit r;
	if (getrlimit(RLIMIT_NOFILE, &r))
		return 256;
	r.rlim_cur = std::min<rlim_t>(r.rlim_max, 65536);
	setrlimit(RLIMIT_NOFILE, &r);
	getrlimit(RLIMIT_NOFILE, &r);
	return std::max(16, (int)r.rlim_cur - srv.maxkids - 32);
}

// The deadlines of a request from now: as on a new connection.
static void bound(Conn &c)
{
	long long t = now_ms();
	c.req_by = t + 1000LL * std::min(REQSECONDS, srv.limit);
	c.done_by = t + 1000LL * srv.limit;
}

// A new connection joins those whose request is being gathered, unless
// its address already holds too many. False when none was waiting.
static bool gather(Conn *c);

static bool accept_one(std::vector<Conn *> &gathering)
{
	sockaddr_storage a;
	socklen_t len = sizeof a;
	int fd = ::accept4(srv.lfd, (sockaddr *)&a, &len, SOCK_CLOEXEC | SOCK_NONBLOCK);
	if (fd < 0) {
		if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
			srv_log(nullptr, "cannot accept: %s", std::strerror(errno));
			usleep(100000);
		}
		return false;
	}
	Conn *c = new Conn{};
	c->fd = fd;
	show_address((sockaddr *)&a, len, *c);
	bound(*c);
	bool room;
	{
		std::lock_guard<std::mutex> l(pool.mu);
		int &n = pool.conns[c->host_s];
		if ((room = n < HOSTCONNS))
			n++, pool.nconn++;
	}
	if (room) { // the request is often there already
		if (!gather(c))
			gathering.push_back(c);
		return true;
	}
	srv_log(c, "too many connections from this address, closed");
	::close(fd);
	delete c;
	return true;
}

enum Got { WHOLE, MORE, GONE };

// Reads what has arrived, never past an event request: its client's
// acknowledgement, or the next request on a kept connection, comes only
// after our reply. A file request is followed by nothing, so reading as
// for an event takes nothing that matters. A kept connection that the
// client closes between requests is no fault: it is not logged.
static Got read_request(Conn &c)
{
	while (c.got < request_size(c)) {
		ssize_t r = ::read(c.fd, c.req + c.got, sizeof c.req - c.got);
		if (r > 0) {
			c.got += (int)r;
			continue;
		}
		if (r < 0 && (errno == EAGAIN || errno == EINTR))
			return MORE;
		if (c.got < 2 * FIELD && (c.got || !c.served))
			srv_log(&c, "incomplete request, closed");
		else if (c.got)
			srv_log(&c, "incomplete %s request from %.16s, closed",
				request_size(c) == 3 * FIELD ? "file" : "event", (const char *)c.req);
		return GONE;
	}
	return WHOLE;
}

static void expire(const Conn &c)
{
	int s = std::min(REQSECONDS, srv.limit);
	if (c.got || !c.served)
		srv_log(&c, "request not complete in %d s, closed", s);
	else
		srv_log(&c, "kept connection idle for %d s, closed", s);
}

// True when the connection is done with here: queued, or closed.
static bool gather(Conn *c)
{
	Got g = read_request(*c);
	if (g == MORE)
		return false;
	if (g == WHOLE)
		hand_over(c);
	else
		drop(c);
	return true;
}

// The next request on a kept connection, in its worker: it must be whole
// by the request deadline, idle time included, so a kept connection holds
// its worker no longer than a new one's request may take to come in. It
// waits before reading: the client sends only once it has taken the reply.
static bool next_request(Conn &c)
{
	c.got = 0;
	c.expired = false;
	bound(c);
	for (;;) {
		long long left = c.req_by - now_ms();
		pollfd p = {c.fd, POLLIN, 0};
		int r = left > 0 ? ::poll(&p, 1, (int)left) : 0;
		if (r == 0) {
			expire(c);
			return false;
		}
		if (r < 0 && errno != EINTR)
			return false;
		Got g = r > 0 ? read_request(c) : MORE;
		if (g != MORE)
			return g == WHOLE;
	}
}

// ---------------------------------------------------------------------------
// [SECTION] The loop and shutdown
// ---------------------------------------------------------------------------

// One round: wait for the wake pipe, a connection or request bytes, until
// the nearest request deadline.
static void loop_round(std::vector<Conn *> &gathering)
{
	std::vector<pollfd> p;
	int busy;
	{
		std::lock_guard<std::mutex> l(pool.mu);
		busy = pool.nconn;
	}
	p.push_back({srv.wake[0], POLLIN, 0});
	p.push_back({srv.lfd, (short)(busy < connmax ? POLLIN : 0), 0});
	long long next = -1, t = now_ms();
	for (Conn *c : gathering) {
		p.push_back({c->fd, POLLIN, 0});
		next = next < 0 || c->req_by < next ? c->req_by : next;
	}
	int wait = next < 0 ? -1 : (int)std::max(0LL, next - t);
	if (::poll(p.data(), p.size(), wait) < 0 && errno != EINTR)
		return;
	char junk[64];
	while (p[0].revents && ::read(srv.wake[0], junk, sizeof junk) > 0)
		;
	t = now_ms();
	std::vector<Conn *> keep;
	for (size_t i = 0; i < gathering.size(); i++) {
		Conn *c = gathering[i];
		if (p[i + 2].revents && gather(c))
			continue;
		if (t >= c->req_by) {
			expire(*c);
			drop(c);
		} else {
			keep.push_back(c);
		}
	}
	gathering.swap(keep);
	// A burst of clients is taken in one round, within the limit.
	for (int n = 0; !srv_stop && (p[1].revents & POLLIN) && n < 64 && busy + n < connmax; n++)
		if (!accept_one(gathering))
			break;
}

// Running requests get a few seconds to finish; then their connections
// are shut, which ends every wait of theirs at once.
static void shutdown_pool()
{
	int grace = srv.limit < 5 ? srv.limit : 5;
	std::unique_lock<std::mutex> l(pool.mu);
	srv_log(nullptr, "shutting down, %zu request(s) running", pool.running.size());
	pool.stop = true;
	for (Conn *c : pool.queue)
		::shutdown(c->fd, SHUT_RDWR);
	for (Idle *w : pool.idle)
		w->cv.notify_one();
	for (int t = 0; !pool.running.empty() && t < grace * 20; t++) {
		l.unlock();
		usleep(50000);
		l.lock();
	}
	for (Conn *c : pool.running)
		::shutdown(c->fd, SHUT_RDWR);
	l.unlock();
	for (pthread_t t : pool.workers)
		pthread_join(t, nullptr);
	for (Conn *c : pool.queue)
		drop(c);
	pool.queue.clear();
}

int server_loop()
{
	if (pipe2(srv.wake, O_CLOEXEC | O_NONBLOCK)) {
		std::perror("tarnwell-server: pipe");
		return 1;
	}
	handle(SIGTERM, on_stop);
	handle(SIGINT, on_stop);
	connmax = max_conns();
	if (!start_workers()) {
		std::perror("tarnwell-server: threads");
		return 1;
	}
	std::vector<Conn *> gathering;
	while (!srv_stop)
		loop_round(gathering);
	::close(srv.lfd);
	for (Conn *c : gathering)
		drop(c);
	shutdown_pool();
	srv_log(nullptr, "stopped");
	return 0;
}

} // namespace tw
