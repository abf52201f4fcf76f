// tarnwell-server: one connection: the request, file replies, and the safe
// opening of files by name.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include "catalog/server_client.h"
#include "server.h"

namespace tw {

constexpr int FILECHUNK = 16384; // bytes per chunk of a file reply
constexpr long FILEMAX = 65535;  // what the client's work segment takes

bool readn(void *buf, long n)
{
	auto *p = static_cast<unsigned char *>(buf);
	for (long got = 0; got < n;) {
		ssize_t r = ::read(srv.conn, p + got, n - got);
		if (r > 0)
			got += r;
		else if (r == 0 || errno != EINTR)
			return false;
	}
	return true;
}

bool writen(const void *buf, long n)
{
	auto *p = static_cast<const unsigned char *>(buf);
	for (long done = 0; done < n;) {
		ssize_t r = ::send(srv.conn, p + done, n - done, MSG_NOSIGNAL);
		if (r > 0)
			done += r;
		else if (r == 0 || errno != EINTR)
			return false;
	}
	return true;
}

// Byte 0 says whether the data exist; a refusal names what was missing.
bool send_status(bool exists, const char *text)
{
	unsigned char b[FIELD] = {};
	b[0] = exists;
	if (!exists)
		std::memcpy(b + 1, text, std::min(std::strlen(text), (size_t)FIELD - 1));
	return writen(b, FIELD);
}

// Names of the program's files are plain words: no directory part, no
// hidden files, nothing unprintable. Anything else stays outside.
bool safe_name(const char *name)
{
	size_t n = std::strlen(name);
	if (!n || n > 64 || name[0] == '.')
		return false;
	for (const char *p = name; *p; p++)
		if (*p <= ' ' || *p > '~' || *p == '/' || *p == '\\')
			return false;
	return true;
}

// Only regular files: a FIFO or a device in the directory would block or
// never end.
long load(int dirfd, const char *name, unsigned char *buf, long max)
{
	char low[65];
	if (!safe_name(name))
		return -1;
	int k = 0;
	for (; name[k]; k++)
		low[k] = (char)std::tolower((unsigned char)name[k]);
	low[k] = 0;
	int fd = ::openat(dirfd, low, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
	struct stat sb;
	if (fd < 0 || fstat(fd, &sb) || !S_ISREG(sb.st_mode)) {
		if (fd >= 0)
			::close(fd);
		return -1;
	}
	long got = 0;
	while (got < max) {
		ssize_t r = ::read(fd, buf + got, max - got);
		if (r < 0 && errno == EINTR)
			continue;
		if (r <= 0) {
			if (r < 0)
				got = 0; // as a local load counts a read error
			break;
		}
		got += r;
	}
	::close(fd);
	return got;
}

void cork(bool on)
{
	int v = on;
	setsockopt(srv.conn, IPPROTO_TCP, TCP_CORK, &v, sizeof v);
}

void serve_file(const char *name)
{
	static unsigned char buf[FILEMAX];
	long n = load(srv.auxfd, name, buf, FILEMAX);
	if (n < 0) {
		send_status(false, name);
		srv_log("file %s: %s", name, safe_name(name) ? "not found" : "refused");
		return;
	}
	cork(true);
	bool ok = send_status(true, "");
	char len[24];
	for (long at = 0; ok && at < n; at += FILECHUNK) {
		long c = n - at < FILECHUNK ? n - at : FILECHUNK;
		std::snprintf(len, sizeof len, "%6ld", c);
		ok = writen(len, 6) && writen(buf + at, c);
	}
	ok = ok && writen("     0", 6);
	cork(false);
	srv_log("file %s: %ld bytes%s", name, n, ok ? "" : ", client gone");
}

// A field as text: cut at a zero byte, trailing blanks dropped, anything
// unprintable shown as '?' (it reaches the log and the client's form).
static void field_text(const unsigned char *raw, char *out)
{
	int n = 0;
	while (n < FIELD && raw[n])
		n++;
	while (n && raw[n - 1] == ' ')
		n--;
	for (int i = 0; i < n; i++)
		out[i] = raw[i] >= 32 && raw[i] < 127 ? (char)raw[i] : '?';
	out[n] = 0;
}

static bool read_fields(char (*f)[17], int from, int to)
{
	unsigned char raw[REQFIELDS * FIELD];
	if (!readn(raw, (long)(to - from) * FIELD))
		return false;
	for (int i = from; i < to; i++)
		field_text(raw + (i - from) * FIELD, f[i]);
	return true;
}

// The second field tells the requests apart: ":" asks for a file.
void serve(int fd)
{
	srv.conn = fd;
	char f[REQFIELDS][17] = {};
	if (!read_fields(f, 0, 2)) {
		srv_log("incomplete request, closed");
		return;
	}
	// The log names the client as it names itself, too.
	size_t k = std::strlen(srv.peer_s);
	std::snprintf(srv.peer_s + k, sizeof srv.peer_s - k, " (%s)", f[0]);
	bool file = !std::strcmp(f[1], ":");
	if (!read_fields(f, 2, file ? 3 : REQFIELDS)) {
		srv_log("incomplete %s request from %s, closed", file ? "file" : "event", f[0]);
		return;
	}
	if (file)
		serve_file(f[2]);
	else
		serve_events(f);
}

} // namespace tw
