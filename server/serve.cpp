// tarnwell-server: one request in a worker: the exchange under the time
// limit, file replies, and the safe opening of files by name.
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "server.h"

namespace tw {

constexpr int FILECHUNK = 16384; // bytes per chunk of a file reply
constexpr long FILEMAX = 65535;  // what the client's work segment takes

long long now_ms()
{
	timespec t;
	clock_gettime(CLOCK_MONOTONIC, &t);
	return t.tv_sec * 1000LL + t.tv_nsec / 1000000;
}

// Waits until fd is ready for ev or the request's time runs out.
bool ready(Conn &c, short ev)
{
	for (;;) {
		long long left = c.done_by - now_ms();
		pollfd p = {c.fd, ev, 0};
		int r = left > 0 ? ::poll(&p, 1, (int)std::min(left, 60000LL)) : 0;
		if (r > 0)
			return true;
		if (r < 0 && errno == EINTR)
			continue;
		if (r == 0 && left > 60000)
			continue;
		if (!c.expired)
			srv_log(&c, "time limit of %d s reached, closed", srv.limit);
		c.expired = true;
		return false;
	}
}

bool readn(Conn &c, void *buf, long n)
{
	auto *p = static_cast<unsigned char *>(buf);
	for (long got = 0; got < n;) {
		ssize_t r = ::read(c.fd, p + got, n - got);
		if (r > 0)
			got += r;
		else if (r == 0 || (errno != EINTR && errno != EAGAIN) || (errno == EAGAIN && !ready(c, POLLIN)))
			return false;
	}
	return true;
}

bool writen(Conn &c, const void *buf, long n)
{
	auto *p = static_cast<const unsigned char *>(buf);
	for (long done = 0; done < n;) {
		ssize_t r = ::send(c.fd, p + done, n - done, MSG_NOSIGNAL);
		if (r > 0)
			done += r;
		else if (r == 0 || (errno != EINTR && errno != EAGAIN) || (errno == EAGAIN && !ready(c, POLLOUT)))
			return false;
	}
	return true;
}

void status(unsigned char *b, bool exists, const char *text)
{
	std::memset(b, 0, FIELD);
	b[0] = exists;
	std::memcpy(b + 1, text, std::min(std::strlen(text), (size_t)FIELD - 1));
}

// Byte 0 says whether the data exist; a refusal names what was missing.
bool send_status(Conn &c, bool exists, const char *text)
{
	unsigned char b[FIELD];
	status(b, exists, text);
	return writen(c, b, FIELD);
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

static const char *reason(int err) { return err == ENOENT ? "not found" : strerrordesc_np(err); }

static bool fd_path(int fd, char (&out)[PATH_MAX])
{
	char proc[40];
	std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd);
	ssize_t n = ::readlink(proc, out, sizeof out - 1);
	if (n <= 0)
		return false;
	out[n] = 0;
	return true;
}

// A symbolic link is served only when what it leads to lies inside the
// directory: a site may link its catalogues in, never /etc/passwd.
static int open_link(int dirfd, const char *name, const char **why)
{
	int fd = ::openat(dirfd, name, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
	if (fd < 0) {
		*why = reason(errno);
		return -1;
	}
	char dir[PATH_MAX], file[PATH_MAX];
	size_t n = fd_path(dirfd, dir) ? std::strlen(dir) : 0;
	if (n && dir[n - 1] == '/') // the root directory
		n--;
	if (!n || !fd_path(fd, file) || std::strncmp(file, dir, n) || file[n] != '/') {
		::close(fd);
		*why = "link out of the directory, refused";
		return -1;
	}
	return fd;
}

// Up to the size fstat gave: a last read only to meet the end costs a
// system call per file.
static long read_all(int fd, unsigned char *buf, long max, long size, const char **why)
{
	long got = 0;
	max = size < max ? size : max;
	while (got < max) {
		ssize_t r = ::read(fd, buf + got, max - got);
		if (r < 0 && errno == EINTR)
			continue;
		if (r < 0) {
			*why = reason(errno);
			return -1;
		}
		if (r == 0)
			break;
		got += r;
	}
	return got;
}

// Only regular files: a FIFO or a device in the directory would block or
// never end.
long load(int dirfd, const char *name, unsigned char *buf, long max, const char **why)
{
	const char *ignored;
	why = why ? why : &ignored;
	char low[65];
	*why = "refused";
	if (!safe_name(name))
		return -1;
	int k = 0;
	for (; name[k]; k++)
		low[k] = (char)std::tolower((unsigned char)name[k]);
	low[k] = 0;
	int fd = ::openat(dirfd, low, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | O_NOFOLLOW);
	if (fd < 0 && errno == ELOOP)
		fd = open_link(dirfd, low, why);
	else if (fd < 0)
		*why = reason(errno);
	if (fd < 0)
		return -1;
	struct stat sb;
	long got = -1;
	if (fstat(fd, &sb) || !S_ISREG(sb.st_mode))
		*why = "not a regular file";
	else
		got = read_all(fd, buf, max, (long)sb.st_size, why);
	::close(fd);
	return got;
}

void cork(Conn &c, bool on)
{
	int v = on;
	setsockopt(c.fd, IPPROTO_TCP, TCP_CORK, &v, sizeof v);
}

// The reply says only "does not exist", whatever the reason; the log
// keeps the real one.
void serve_file(Conn &c, const char *name)
{
	c.keep = false; // rbload closes after its file
	std::unique_ptr<unsigned char[]> buf(new unsigned char[FILEMAX]);
	const char *why;
	long n = load(srv.auxfd, name, buf.get(), FILEMAX, &why);
	if (n < 0) {
		send_status(c, false, name);
		srv_log(&c, "file %s: %s", name, why);
		return;
	}
	cork(c, true);
	bool ok = send_status(c, true, "");
	char len[24];
	for (long at = 0; ok && at < n; at += FILECHUNK) {
		long k = n - at < FILECHUNK ? n - at : FILECHUNK;
		std::snprintf(len, sizeof len, "%6ld", k);
		ok = writen(c, len, 6) && writen(c, buf.get() + at, k);
	}
	ok = ok && writen(c, "     0", 6);
	cork(c, false);
	srv_log(&c, "file %s: %ld bytes%s", name, n, ok ? "" : ", client gone");
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

// The second field tells the requests apart: ":" asks for a file.
static bool is_file(const Conn &c)
{
	char t[FIELD + 1];
	field_text(c.req + FIELD, t);
	return !std::strcmp(t, ":");
}

int request_size(const Conn &c)
{
	if (c.got < 2 * FIELD)
		return 2 * FIELD;
	return is_file(c) ? 3 * FIELD : REQFIELDS * FIELD;
}

void serve(Conn &c)
{
	char f[REQFIELDS][17] = {};
	int n = request_size(c) / FIELD;
	for (int i = 0; i < n; i++)
		field_text(c.req + i * FIELD, f[i]);
	if (!c.served++) { // once per connection, however many requests it carries
		// The log names the client as it names itself, too.
		size_t k = std::strlen(c.peer_s);
		std::snprintf(c.peer_s + k, sizeof c.peer_s - k, " (%s)", f[0]);
		int on = 1;
		setsockopt(c.fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
	}
	if (n == 3)
		serve_file(c, f[2]);
	else
		serve_events(c, f);
}

} // namespace tw
