#include "peer.h"

#include "files.h"

#include <arpa/inet.h>
#include <csignal>
#include <sys/wait.h>
#include <vector>

namespace tw {

static sockaddr_in loopback(int port, const char *ip = nullptr)
{
	sockaddr_in a{};
	a.sin_family = AF_INET, a.sin_port = htons(port);
	inet_pton(AF_INET, ip ? ip : "127.0.0.1", &a.sin_addr);
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
	char tmpl[] = "/tmp/twsrvlogXXXXXX";
	int lf = mkstemp(tmpl);
	logfile = tmpl;
	std::vector<const char *> argv = {bin ? bin : TARNWELL_SERVER, "-p", "0", "-d", data.c_str(), "-x", aux.c_str()};
	argv.insert(argv.end(), extra.begin(), extra.end());
	argv.push_back(nullptr);
	if ((pid = fork()) == 0)
		dup2(lf, 2), execv(argv[0], const_cast<char **>(argv.data())), _exit(127);
	close(lf);
	return (port = wait_port("listening on 127.0.0.1:")) != 0; // the first log line
}

int ServerProc::stop()
{
	int status = 0;
	if (pid <= 0)
		return -1;
	kill(pid, SIGTERM);
	bool ended = within([&] { return waitpid(pid, &status, WNOHANG) == pid; });
	if (!ended)
		kill(pid, SIGKILL), waitpid(pid, &status, 0);
	pid = -1;
	return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string ServerProc::log() const { return test::slurp(logfile); }

int ServerProc::wait_port(const std::string &text, bool any) const
{
	int n = 0;
	within([&] {
		std::string l = log();
		size_t p = l.find(text);
		return p != std::string::npos && (n = any ? 1 : std::atoi(l.c_str() + p + text.size()));
	});
	return n;
}

ServerProc::~ServerProc()
{
	stop();
	if (!logfile.empty())
		unlink(logfile.c_str());
}

FakePeer::FakePeer()
{
	lfd = socket(AF_INET, SOCK_STREAM, 0);
	sockaddr_in a = loopback(0);
	socklen_t len = sizeof a;
	if (!bind(lfd, (sockaddr *)&a, len) && !listen(lfd, 8) && !getsockname(lfd, (sockaddr *)&a, &len))
		port = ntohs(a.sin_port);
}

void FakePeer::serve(std::function<void(int)> script)
{
	th = std::thread([this, script] {
		if (int fd = accept(lfd, nullptr, nullptr); fd >= 0)
			script(fd), close(fd);
	});
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
	return s.substr(0, got);
}

void writes(int fd, const std::string &bytes)
{
	ssize_t r = 1;
	for (size_t done = 0; done < bytes.size() && r > 0; done += r)
		r = send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
}

int dial(int port, const char *from)
{
	int fd = socket(AF_INET, SOCK_STREAM, 0);
	sockaddr_in a = loopback(port), me = loopback(0, from);
	if (bind(fd, (sockaddr *)&me, sizeof me) || connect(fd, (sockaddr *)&a, sizeof a))
		close(fd), fd = -1;
	return fd;
}

} // namespace tw
