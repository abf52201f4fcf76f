// tarnwell-server: answers Tarnwell's event and file requests from a data
// directory of dataset files and an auxiliary directory.
//
// One thread accepts connections and gathers the request bytes of all of
// them at once, each under a short deadline of its own, so a client that
// sends slowly holds no worker. Whole requests go to a small pool of worker
// threads; one client address may take only part of the pool. Workers
// share nothing mutable but the queue: each request carries its own
// connection, bounds and buffers.
//
// An event reply may offer the connection for another request (KEEPALIVE
// in its status blocks). The worker then reads the next request itself,
// under the same deadlines as on a new connection, and offers it only
// while nobody waits for a worker: others wait at most for one more
// request or the idle deadline. A client that takes the YEARS offer gets
// the later years of its request without asking, under the same rule.
#pragma once
#include <csignal>
#include <memory>

#include "catalog/select.h"
#include "catalog/store.h"
#include "catalog/server_client.h"

namespace tw {

constexpr int MAXKIDS = 4096;   // requests served at once, at most (-n)
constexpr int REQSECONDS = 5;   // the request bytes must be in within this
constexpr int HOSTCONNS = 256;  // connections from one address, any phase

// Settings, fixed once the server listens: worker threads only read them.
struct Server {
	int port;          // TCP port to listen on; 0 takes any free one
	char addr_s[64];   // address to listen on
	char data_s[512];  // directory of the dataset files
	char aux_s[512];   // directory of the auxiliary files
	int datafd;        // the data directory, opened once
	int auxfd;         // the auxiliary directory, opened once
	int limit;         // seconds one request may take
	int maxkids;       // requests served at once
	int lfd;           // listening socket
	int wake[2];       // pipe through which signal handlers wake the loop
};
extern Server srv;
extern volatile sig_atomic_t srv_stop; // SIGTERM or SIGINT arrived

void server_reset();

// Start-up: options, then the listening socket. 0 on success, -1 after
// --help, else the exit status; the reason is on standard error.
int server_options(int argc, char **argv);
int server_listen();
int server_loop(); // until SIGTERM; the exit status

// One connection: its socket, who it is, its request and its deadlines.
struct Conn {
	int fd;
	char host_s[48];   // the client's address: slots are counted per address
	char peer_s[96];   // address, port and the name the client gives, for the log
	unsigned char req[REQFIELDS * FIELD]; // the request as received
	int got;           // request bytes received
	long long req_by;  // monotonic ms by which the request must be in
	long long done_by; // monotonic ms at which the request's time limit ends
	bool expired;      // the time limit ended an exchange (logged once)
	int served;        // requests answered on this connection
	bool keep;         // this reply offers the connection for another request
	bool stream;       // the client took YEARS: no acknowledgements, later years unasked
};
long long now_ms(); // monotonic
int request_size(const Conn &c); // bytes the request needs, as far as known

// A whole request, in a worker. c.keep says whether the reply may offer
// another request; it stays true only when the reply went out whole.
void serve(Conn &c);
// On a connection that took YEARS, after a yearly reply: turns the request
// into the next year's when it asked for more. False when it did not.
bool next_year(Conn &c);
void serve_events(Conn &c, const char (*f)[17]);
void serve_file(Conn &c, const char *name);

// Whole-byte exchange with the client, bounded by the request's time limit.
// False when it closed, failed or the time ran out.
bool readn(Conn &c, void *buf, long n);
bool writen(Conn &c, const void *buf, long n);
// A status block of FIELD bytes: byte 0 whether the data exist, then text
// (the missing name, or KEEPALIVE), zero-padded.
void status(unsigned char *b, bool exists, const char *text);
bool send_status(Conn &c, bool exists, const char *text);
bool ready(Conn &c, short ev); // fd ready for poll events ev within the limit
void cork(Conn &c, bool on); // hold small writes back until uncorked

// A file of the directory dirfd under its lower-case name into buf (at most
// max bytes). -1 when it cannot be served; why then says why, for the log.
// Only regular files inside the directory are served: a symbolic link that
// leads out of it is refused.
long load(int dirfd, const char *name, unsigned char *buf, long max, const char **why = nullptr);
bool safe_name(const char *name);

// The selection of one event request, for any front end. plan() walks the
// parts of src's file for year (0: the whole catalogue) before anything is
// answered, so that a missing part can be named; run() then hands every
// record that passes the bounds to out, in file order, reading each part
// once (the first few kept from the walk). Both are safe to run in several
// threads at once: all state is in the object.
//
//   Selection s;
//   if (!s.plan(srv.datafd, "NCEDC", 1990)) report(s.missing, s.why);
//   else s.run(bounds, [&](const unsigned char *rec) { return emit(rec); });
class Selection {
public:
	Selection();
	bool plan(int datafd, const char *src, int year); // false: missing names it
	// False when out returned false (the client went away) or a part
	// vanished since the walk.
	template <class Out> bool run(const Bounds &b, Out out);
	char missing[48];     // the part that was missing, or an unsafe source
	const char *why;      // why it could not be read ("not found", ...)

private:
	static constexpr int KEEP = 8;      // parts kept from the walk
	static constexpr int MAXPART = 256; // parts a yearly file may have
	int datafd;
	char first[40];       // the first part's name
	int part[MAXPART];    // part numbers to read, in order
	long len[MAXPART];    // their lengths as loaded in the walk
	int n;                // how many
	std::unique_ptr<unsigned char[]> buf; // KEEP + 1 segments: the kept parts, then scratch
	const unsigned char *get(int i, long &l); // part i, loading it again if need be
};

template <class Out> bool Selection::run(const Bounds &b, Out out)
{
	Filter f(b);
	for (int i = 0; i < n; i++) {
		long l;
		const unsigned char *seg = get(i, l);
		if (!seg)
			return false;
		for (int k = 0;; k++) {
			k = next_pass(f, seg, l, k);
			if (k >= M_LOW)
				break;
			if (!out(seg + 4 + RECLEN * (long)k))
				return false;
		}
	}
	return true;
}

// Bounds from the texts of an event request, as SELECT derives them from
// its form; texts from the network are clamped before any arithmetic.
Bounds request_bounds(const char (*f)[17]);

// One line on standard error: time, client (or "-"), then the text.
void srv_log(const Conn *c, const char *fmt, ...) __attribute__((format(printf, 2, 3)));

} // namespace tw
