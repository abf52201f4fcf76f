#include "peer.h"

#include "files.h"

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace tw {

static sockaddr_in loopback(int port)
{
	sockaddr_in a{};
	a.sin_family = AF_INET;
	a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
	a.sin_port = htons(port);
	return a;
}

// Polls up to about 5 s for what the child's log or state should show.
static bool within(const std::function<bool()> &done)
{
	for (int i = 0; i < 500; i++, usleep(10000))
		if (done())
			return true;
	return false;
}

bool ServerProc::start(const std::string &data, const std::string &aux,
		       std::initializer_list<const char *> extra, const char *bin)
{
	bin = bin ? bin : TARNWELL_SERVER;
	char tmpl[] = "/tmp/twsrvlogXXXXXX";
	int lf = mkstemp(tmpl);
	logfile = tmpl;
	std::vector<const char *> argv = {bin, "-p", "0", "-d", data.c_str(), "-x", aux.c_str()};
	argv.insert(argv.end(), extra.begin(), extra.end());
	argv.push_back(nullptr);
	if ((pid = fork()) == 0) {
		dup2(lf, 2);
		execv(bin, const_cast<char **>(argv.data()));
		_exit(127);
	}
	close(lf);
	// The first log line names the port it took.
	const std::string mark = "listening on 127.0.0.1:";
	within([&] {
		std::string l = log();
		size_t p = l.find(mark);
		return p != std::string::npos && (port = std::atoi(l.c_str() + p + mark.size()));
	});
	return port != 0;
}

int ServerProc::stop()
{
	if (pid <= 0)
		return -1;
	kill(pid, SIGTERM);
	int status = 0;
	bool ended = within([&] { return waitpid(pid, &status, WNOHANG) == pid; });
	if (!ended)
		kill(pid, SIGKILL), waitpid(pid, &status, 0);
	pid = -1;
	return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ServerProc::log() const { return test::slurp(logfile); }

bool ServerProc::wait_log(const std::string &text) const
{
	return within([&] { return log().find(text) != std::string::npos; });
}

ServerProc::~ServerProc()
{
	stop();
	if (!logfile.empty())
		unlink(logfile.c_str());
}

FakePeer::FakePeer(int want)
{
	lfd = socket(AF_INET, SOCK_STREAM, 0);
	sockaddr_in a = loopback(want);
	int on = 1; // a connection of an earlier run may linger on the port
	setsockopt(lfd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
	socklen_t len = sizeof a;
	if (!bind(lfd, (sockaddr *)&a, sizeof a) && !listen(lfd, 8) && !getsockname(lfd, (sockaddr *)&a, &len))
		port = ntohs(a.sin_port);
}

void FakePeer::serve(std::function<void(int)> script)
{
	th = std::thread([this, script] {
		if (int fd = accept(lfd, nullptr, nullptr); fd >= 0)
			script(fd), close(fd);
	});
}

void FakePeer::join()
{
	if (th.joinable())
		th.join();
}

FakePeer::~FakePeer()
{
	shutdown(lfd, SHUT_RDWR); // wakes a script still waiting in accept
	join();
	close(lfd);
}

std::string readn(int fd, size_t n)
{
	std::string s(n, '\0');
	size_t got = 0;
	for (ssize_t r; got < n && (r = read(fd, &s[got], n - got)) > 0;)
		got += r;
	s.resize(got);
	return s;
}

void writes(int fd, const std::string &bytes)
{
	for (size_t done = 0; done < bytes.size();) {
		ssize_t r = send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
		if (r <= 0)
			return;
		done += r;
	}
}

std::string field(const std::string &text)
{
	std::string f = text.substr(0, 16);
	f.resize(16, ' ');
	return f;
}

int dial(int port, const char *from)
{
	int fd = socket(AF_INET, SOCK_STREAM, 0);
	sockaddr_in a = loopback(port), me = loopback(0);
	if (from)
		inet_pton(AF_INET, from, &me.sin_addr);
	if ((from && bind(fd, (sockaddr *)&me, sizeof me)) || connect(fd, (sockaddr *)&a, sizeof a)) {
		close(fd);
		return -1;
	}
	return fd;
}

} // namespace tw
