// The server side of the retrieval protocol: a client's request fields and
// acknowledgements, answered from a small data and auxiliary directory made
// at start. The reply must keep to the protocol whatever was asked.
//
// Input: the bytes the client sends, as they arrive on the connection.
#include <algorithm>
#include <cstdarg>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

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
	for (int i = 0; i < n; i++)
		s += {char(year - 1900), char(1 + i % 12), char(1 + i % 28), char(i % 24), char(i % 60), char(i), char(i >> 8 & 3),
		      char(i % 180), char(i % 60 | (i & 1) << 7), 0, char(i % 90), char(i % 60 | (i & 2) << 6), 0, char(i * 7),
		      char(i % 7 ? 0 : 0xff), char(i % 80)};
	return s + char(marker) + char(marker >> 8);
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
	const std::pair<const char *, std::string> files[] = {
		{"data/pde-90.b", dataset(300, M_CONT)}, {"data/pde-90.b2", dataset(10, M_END)},
		{"data/pde-91.b", dataset(SEGREC, M_CONT, 1991)}, {"data/pde-91.b2", dataset(100, M_END, 1991)},
		{"data/jma-26.b", dataset(20, 0xfffd, 1926)}, {"data/jma-26.b3", dataset(5, M_END, 1926)},
		{"data/rika.b", dataset(5, M_END, 1900)}, {"data/vela.b", dataset(3, M_CONT, 1910)},
		{"data/vela.b2", dataset(2, M_END, 1920)}, {"aux/regions", "WORLD      180 W 180 E 90 S 90 N\n"},
		{"aux/big.m", std::string(70000, 'm')},
	};
	for (const auto &[name, bytes] : files)
		fz_write(name, bytes);
	srv.datafd = ::open((std::string(fz_dir()) + "/data").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	srv.auxfd = ::open((std::string(fz_dir()) + "/aux").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (srv.datafd < 0 || srv.auxfd < 0)
		fz_fail("no scratch directories for the server");
	return 0;
}

// [SECTION] the reply

// The reply read as the client would; take is false at a break in it.
struct Reply {
	const std::string &s;
	size_t at = 0;
	const unsigned char *t = nullptr;
	bool take(size_t k)
	{
		t = (const unsigned char *)s.data() + at;
		return (at += k) <= s.size();
	}
	// The next k bytes as a blank-padded decimal; -1 if they are not one.
	long number(size_t k)
	{
		if (!take(k))
			return -1;
		std::string f((const char *)t, k);
		size_t d = std::min(f.find_first_not_of(' '), k);
		return f.find_first_not_of("0123456789", d) != std::string::npos ? -1 : d == k ? 0 : std::stol(f.substr(d));
	}
};

// Pieces of at most 65535 bytes each and in all, a 0 length ending them.
static void check_file(Reply &r)
{
	long total = 0;
	for (long len; (len = r.number(6)) != 0; total += len)
		if (len < 0 || len > 65535 || !r.take(len))
			fz_fail("a bad or broken piece in a file reply");
	if (total > 65535 || r.at != r.s.size())
		fz_fail("a file reply longer than the client takes");
}

// Chunks: count, records, and the end marker or a continuation followed by
// the next chunk's status. The reply may stop where the server waits for
// an acknowledgement the input never gave.
static void check_events(Reply &r)
{
	while (r.at < r.s.size()) {
		long n = r.number(5);
		if (n < 0 || n > MAXCHUNK)
			fz_fail("a bad or broken chunk count");
		for (long i = 0; i < n; i++)
			if (!r.take(16) || r.t[1] == 255)
				fz_fail("a chunk shorter than its count, or a marker sent as a record");
		if (!r.take(2))
			fz_fail("a chunk without its marker");
		if (r.t[0] == 0xff && r.t[1] == 0xff)
			return r.at == r.s.size() ? void() : fz_fail("bytes after the end marker");
		if (r.t[0] != 0xfe || r.t[1] != 0xff || !r.take(FIELD) || !r.t[0])
			fz_fail("a chunk marker without the next chunk's status");
	}
}

// A status block, then what it announces; a refusal names what is missing
// in printable text and ends the reply.
static void check(const std::string &out, bool file)
{
	Reply r{out};
	if (!r.take(FIELD))
		return; // the request never came whole: nothing is owed
	if (r.t[0])
		return file ? check_file(r) : check_events(r);
	for (int i = 1; i < FIELD && r.t[i]; i++)
		if (r.t[i] < 32 || r.t[i] > 126)
			fz_fail("a refusal in unprintable text");
	if (r.at != out.size())
		fz_fail("a refusal followed by more");
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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	int sp[2], big = 4 << 20;
	if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sp))
		fz_fail("no socket pair");
	for (int fd : sp)
		for (int opt : {SO_SNDBUFFORCE, SO_RCVBUFFORCE})
			setsockopt(fd, SOL_SOCKET, opt, &big, sizeof big);
	// The accepting thread gathers the request before a worker serves it;
	// what follows the request (acknowledgements) comes over the socket.
	Conn c{};
	c.fd = sp[0];
	std::snprintf(c.peer_s, sizeof c.peer_s, "fuzz");
	size_t used = 0;
	for (size_t k; c.got < request_size(c) && used < size; c.got += (int)k, used += k) {
		k = std::min(size - used, (size_t)(request_size(c) - c.got));
		std::memcpy(c.req + c.got, data + used, k);
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
	for (ssize_t k; (k = ::recv(sp[1], buf, sizeof buf, 0)) > 0;)
		out.append(buf, (size_t)k);
	::close(sp[1]);
	bool file = field(data, size, 1) == ":";
	check(out, file);
	// A name that would leave the directories is never served.
	if (out.size() >= FIELD && out[0] && field(data, size, file ? 2 : 1).find_first_of("/\\") != std::string::npos)
		fz_fail("a name outside the directories was served");
	return 0;
}
