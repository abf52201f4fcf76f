// The server side of the retrieval protocol: a client's request fields and
// acknowledgements, answered from a small data and auxiliary directory made
// at start. The reply must keep to the protocol whatever was asked.
//
// Input: the bytes the client sends, as they arrive on the connection.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "catalog/server_client.h"
#include "catalog/store.h"
#include "common.h"
#include "server.h"

namespace tw {

// The server's own log, start-up and loop are left out: the log is
// formatted as ever but goes nowhere.
Server srv;
volatile sig_atomic_t srv_stop;

void srv_log(const Conn *, const char *fmt, ...)
{
	char line[512];
	va_list ap;
	va_start(ap, fmt);
	std::vsnprintf(line, sizeof line, fmt, ap);
	va_end(ap);
}

} // namespace tw

using namespace tw;

// [SECTION] the directories

// n records of 1990 (or the year given) spread over the globe, then a marker.
static std::string dataset(int n, int marker, int year = 1990)
{
	std::string s(4, '\0');
	for (int i = 0; i < n; i++) {
		unsigned char r[16] = {(unsigned char)(year - 1900), (unsigned char)(1 + i % 12),
				       (unsigned char)(1 + i % 28), (unsigned char)(i % 24),
				       (unsigned char)(i % 60), (unsigned char)(i & 255),
				       (unsigned char)(i >> 8 & 3), (unsigned char)(i % 180),
				       (unsigned char)(i % 60 | (i & 1) << 7), 0,
				       (unsigned char)(i % 90), (unsigned char)(i % 60 | (i & 2) << 6),
				       0, (unsigned char)(i * 7), (unsigned char)(i % 7 ? 0 : 0xff),
				       (unsigned char)(i % 80)};
		s.append(reinterpret_cast<const char *>(r), 16);
	}
	s += (char)(marker & 255);
	s += (char)(marker >> 8);
	return s;
}

static int open_dir(const char *name)
{
	char path[96];
	std::snprintf(path, sizeof path, "%s/%s", fz_dir(), name);
	mkdir(path, 0700);
	int fd = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (fd < 0)
		fz_fail("no scratch directory for the server");
	return fd;
}

static void make_dirs()
{
	const struct {
		const char *name;
		std::string bytes;
	} files[] = {
		{"data/pde-90.b", dataset(300, M_CONT)}, {"data/pde-90.b2", dataset(10, M_END)},
		{"data/pde-91.b", dataset(SEGREC, M_CONT, 1991)},
		{"data/pde-91.b2", dataset(100, M_END, 1991)},
		{"data/jma-26.b", dataset(20, 0xfffd, 1926)}, {"data/jma-26.b3", dataset(5, M_END, 1926)},
		{"data/rika.b", dataset(5, M_END, 1900)}, {"data/vela.b", dataset(3, M_CONT, 1910)},
		{"data/vela.b2", dataset(2, M_END, 1920)},
		{"aux/regions", "WORLD      180 W 180 E 90 S 90 N\n"},
		{"aux/big.m", std::string(70000, 'm')},
	};
	srv.datafd = open_dir("data");
	srv.auxfd = open_dir("aux");
	for (const auto &f : files)
		fz_write(f.name, f.bytes);
}

// [SECTION] the reply

// Reads the reply as the client would; false at a break in the protocol.
struct Reply {
	const unsigned char *p;
	size_t n, at = 0;
	bool take(size_t k, const unsigned char *&out)
	{
		if (at + k > n)
			return false;
		out = p + at;
		at += k;
		return true;
	}
	bool done() const { return at == n; }
};

static long number(const unsigned char *t, int width)
{
	long v = 0;
	for (int i = 0; i < width; i++) {
		if (t[i] == ' ' && v == 0)
			continue;
		if (t[i] < '0' || t[i] > '9')
			return -1;
		v = v * 10 + (t[i] - '0');
	}
	return v;
}

// A refusal names what is missing in printable text.
static bool refusal(const unsigned char *b)
{
	for (int i = 1; i < FIELD && b[i]; i++)
		if (b[i] < 32 || b[i] > 126)
			return false;
	return true;
}

static void check_file(Reply &r)
{
	const unsigned char *t;
	long total = 0;
	for (;;) {
		if (!r.take(6, t))
			fz_fail("a file reply broken off");
		long len = number(t, 6);
		if (len < 0 || len > 65535)
			fz_fail("a bad piece length in a file reply");
		if (len == 0)
			break;
		if (!r.take(len, t))
			fz_fail("a file piece shorter than its length");
		total += len;
	}
	if (total > 65535 || !r.done())
		fz_fail("a file reply longer than the client takes");
}

// Status, then chunks: count, records, and the end marker or a
// continuation followed by the next chunk's status. The reply may stop
// where the server waits for an acknowledgement the input never gave.
static void check_events(Reply &r)
{
	const unsigned char *t;
	for (;;) {
		if (r.done())
			return; // waiting for the "1"
		if (!r.take(5, t))
			fz_fail("a chunk count broken off");
		long n = number(t, 5);
		if (n < 0 || n > MAXCHUNK)
			fz_fail("a bad chunk count");
		for (long i = 0; i < n; i++) {
			if (!r.take(16, t))
				fz_fail("a chunk shorter than its count");
			if (t[1] == 255)
				fz_fail("a marker sent as a record");
		}
		if (!r.take(2, t))
			fz_fail("a chunk without its marker");
		if (t[0] == 0xff && t[1] == 0xff)
			break;
		if (t[0] != 0xfe || t[1] != 0xff || !r.take(FIELD, t) || !t[0])
			fz_fail("a chunk marker without the next chunk's status");
	}
	if (!r.done())
		fz_fail("bytes after the end marker");
}

// Field i of the request as the server reads it: cut at a zero byte,
// trailing blanks dropped.
static std::string field(const uint8_t *data, size_t size, int i)
{
	if (size < (size_t)(i + 1) * FIELD)
		return "";
	std::string f(reinterpret_cast<const char *>(data) + i * FIELD, FIELD);
	f = f.substr(0, f.find('\0'));
	return f.substr(0, f.find_last_not_of(' ') + 1);
}

static void check(const std::string &out, bool file)
{
	Reply r{reinterpret_cast<const unsigned char *>(out.data()), out.size()};
	const unsigned char *t;
	if (!r.take(FIELD, t))
		return; // the request never came whole: nothing is owed
	if (!t[0]) {
		if (!refusal(t) || !r.done())
			fz_fail("a malformed refusal");
		return;
	}
	file ? check_file(r) : check_events(r);
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
	make_dirs();
	return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	int sp[2];
	if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sp))
		fz_fail("no socket pair");
	int big = 4 << 20;
	for (int fd : sp) {
		setsockopt(fd, SOL_SOCKET, SO_SNDBUFFORCE, &big, sizeof big);
		setsockopt(fd, SOL_SOCKET, SO_RCVBUFFORCE, &big, sizeof big);
	}
	// The accepting thread gathers the request before a worker serves it;
	// what follows the request (acknowledgements) comes over the socket.
	Conn c{};
	c.fd = sp[0];
	std::snprintf(c.peer_s, sizeof c.peer_s, "fuzz");
	size_t used = 0;
	while (c.got < request_size(c) && used < size) {
		size_t k = std::min(size - used, (size_t)(request_size(c) - c.got));
		std::memcpy(c.req + c.got, data + used, k);
		c.got += (int)k, used += k;
	}
	if (::send(sp[1], data + used, size - used, MSG_NOSIGNAL) != (ssize_t)(size - used))
		return ::close(sp[0]), ::close(sp[1]), 0;
	::shutdown(sp[1], SHUT_WR);
	c.req_by = c.done_by = now_ms() + 10000;
	c.keep = true; // the status blocks offer the connection; the next request is not read here
	if (c.got == request_size(c))
		serve(c);
	::close(sp[0]);
	std::string out;
	char buf[65536];
	ssize_t k;
	while ((k = ::recv(sp[1], buf, sizeof buf, 0)) > 0)
		out.append(buf, (size_t)k);
	::close(sp[1]);
	bool file = field(data, size, 1) == ":";
	check(out, file);
	// A name that would leave the directories is never served.
	std::string name = field(data, size, file ? 2 : 1);
	if (out.size() >= FIELD && out[0] &&
	    name.find_first_of("/\\") != std::string::npos)
		fz_fail("a name outside the directories was served");
	return 0;
}
