// tarnwell-server: the listening socket, one child per connection, the log
// and shutdown.
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "server.h"

namespace tw {

Server srv;
volatile sig_atomic_t srv_stop;


void server_reset()
{
	srv = Server{};
	srv.port = 5516;
	std::snprintf(srv.addr_s, sizeof srv.addr_s, "127.0.0.1");
	std::snprintf(srv.data_s, sizeof srv.data_s, ".");
	srv.datafd = srv.auxfd = srv.lfd = srv.conn = -1;
	srv.wake[0] = srv.wake[1] = -1;
	srv.limit = 60;
	srv.maxkids = 64;
	srv_stop = 0;
}

static int log_prefix(char *buf, int n)
{
	time_t t = std::time(nullptr);
	tm u;
	gmtime_r(&t, &u);
	int k = (int)std::strftime(buf, n, "%Y-%m-%dT%H:%M:%SZ ", &u);
	return k + std::snprintf(buf + k, n - k, "%s ", srv.peer_s[0] ? srv.peer_s : "-");
}

// One write per line keeps lines of concurrent children whole.
void srv_log(const char *fmt, ...)
{
	char line[512];
	int k = log_prefix(line, sizeof line - 1);
	va_list ap;
	va_start(ap, fmt);
	int m = std::vsnprintf(line + k, sizeof line - 1 - k, fmt, ap);
	va_end(ap);
	k += m < (int)sizeof line - 1 - k ? m : (int)sizeof line - 2 - k;
	line[k++] = '\n';
	if (::write(2, line, k) < 0)
		return;
}

static void on_stop(int)
{
	srv_stop = 1;
	if (::write(srv.wake[1], "x", 1) < 0)
		return;
}

static void on_child(int)
{
	if (::write(srv.wake[1], "c", 1) < 0)
		return;
}

static void on_alarm(int)
{
	if (::write(2, srv.alarm_s, std::strlen(srv.alarm_s)) < 0)
		_exit(1);
	_exit(1);
}

static void handle(int sig, void (*fn)(int))
{
	struct sigaction sa{};
	sa.sa_handler = fn;
	sigemptyset(&sa.sa_mask);
	sa.sa_flags = SA_RESTART;
	sigaction(sig, &sa, nullptr);
}

static void show_address(const sockaddr *a, socklen_t len, char *out, int n)
{
	char h[NI_MAXHOST], p[NI_MAXSERV];
	if (getnameinfo(a, len, h, sizeof h, p, sizeof p, NI_NUMERICHOST | NI_NUMERICSERV)) {
		std::snprintf(out, n, "?");
		return;
	}
	std::snprintf(out, n, std::strchr(h, ':') ? "[%s]:%s" : "%s:%s", h, p);
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
	srv.lfd = ::socket(res->ai_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
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
	char where[96];
	show_address((sockaddr *)&a, len, where, sizeof where);
	srv_log("listening on %s, data %s, aux %s", where, srv.data_s, srv.aux_s);
	return 0;
}

static void forget(pid_t pid)
{
	for (int i = 0; i < srv.nkids; i++)
		if (srv.kids[i] == pid) {
			srv.kids[i] = srv.kids[--srv.nkids];
			return;
		}
}

static void reap()
{
	int status;
	pid_t pid;
	while ((pid = waitpid(-1, &status, WNOHANG)) > 0) {
		forget(pid);
		if (WIFSIGNALED(status))
			srv_log("request process %d ended by signal %d", (int)pid, WTERMSIG(status));
	}
}

// The child: its own signal dispositions, the time limit, the request.
[[noreturn]] static void child(int fd)
{
	::close(srv.lfd);
	::close(srv.wake[0]);
	::close(srv.wake[1]);
	handle(SIGTERM, SIG_DFL);
	handle(SIGINT, SIG_DFL);
	handle(SIGCHLD, SIG_DFL);
	int k = log_prefix(srv.alarm_s, sizeof srv.alarm_s);
	std::snprintf(srv.alarm_s + k, sizeof srv.alarm_s - k, "time limit of %d s reached, closed\n",
		      srv.limit);
	handle(SIGALRM, on_alarm);
	alarm((unsigned)srv.limit);
	int on = 1;
	setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
	serve(fd);
	::close(fd);
	_exit(0);
}

static void accept_one()
{
	sockaddr_storage a;
	socklen_t len = sizeof a;
	int fd = ::accept4(srv.lfd, (sockaddr *)&a, &len, SOCK_CLOEXEC);
	if (fd < 0) {
		if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM) {
			srv_log("cannot accept: %s", std::strerror(errno));
			usleep(100000);
		}
		return;
	}
	show_address((sockaddr *)&a, len, srv.peer_s, sizeof srv.peer_s);
	pid_t pid = fork();
	if (pid == 0)
		child(fd);
	if (pid < 0)
		srv_log("cannot start a request process: %s", std::strerror(errno));
	else
		srv.kids[srv.nkids++] = pid;
	::close(fd);
	srv.peer_s[0] = 0;
}

// Requests still running get a few seconds to finish, then are ended.
static void shutdown_kids()
{
	int grace = srv.limit < 5 ? srv.limit : 5;
	srv_log("shutting down, %d request(s) running", srv.nkids);
	for (int t = 0; srv.nkids && t < grace * 20; t++) {
		usleep(50000);
		reap();
	}
	for (int i = 0; i < srv.nkids; i++)
		kill(srv.kids[i], SIGKILL);
	while (srv.nkids) {
		pid_t pid = waitpid(-1, nullptr, 0);
		if (pid < 0)
			break;
		forget(pid);
	}
}

int server_loop()
{
	if (pipe2(srv.wake, O_CLOEXEC | O_NONBLOCK)) {
		std::perror("tarnwell-server: pipe");
		return 1;
	}
	handle(SIGTERM, on_stop);
	handle(SIGINT, on_stop);
	handle(SIGCHLD, on_child);
	signal(SIGPIPE, SIG_IGN);
	int limit = srv.maxkids < MAXKIDS ? srv.maxkids : MAXKIDS;
	while (!srv_stop) {
		reap();
		pollfd p[2] = {{srv.wake[0], POLLIN, 0}, {srv.lfd, (short)(srv.nkids < limit ? POLLIN : 0), 0}};
		if (::poll(p, 2, -1) < 0 && errno != EINTR)
			break;
		char junk[64];
		while (::read(srv.wake[0], junk, sizeof junk) > 0)
			;
		if (!srv_stop && (p[1].revents & POLLIN))
			accept_one();
	}
	::close(srv.lfd);
	shutdown_kids();
	srv_log("stopped");
	return 0;
}

} // namespace tw
