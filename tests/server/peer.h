// Peers for the client tests: the real tarnwell-server run as a child
// process, and small scripted servers that answer one connection each.
#pragma once
#include <cstdio>
#include <functional>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace tw {

// tarnwell-server on a free loopback port; its log goes to a file.
struct ServerProc {
	int pid = -1;
	int port = 0;
	std::string logfile;
	// Extra options after the directories, e.g. {"-t", "1"}; bin another
	// build of the server.
	bool start(const std::string &data, const std::string &aux,
		   std::initializer_list<const char *> extra = {}, const char *bin = nullptr);
	int stop(); // SIGTERM, then the exit status (-1 when it did not end)
	std::string log() const;
	bool wait_log(const std::string &text) const { return wait_port(text, true); } // a while, for a child's line
	// The number after text, 0 if none came (any is 1 once text came).
	int wait_port(const std::string &text, bool any = false) const;
	std::string at() const { return "@127.0.0.1:" + std::to_string(port); }
	~ServerProc();
};

// A listening socket on a free loopback port; the script runs on its own
// thread against one accepted connection, which is closed afterwards.
struct FakePeer {
	int lfd = -1;
	int port = 0;
	std::thread th;
	FakePeer();
	~FakePeer();
	void serve(std::function<void(int fd)> script);
	void join() { th.joinable() ? th.join() : void(); }
	std::string host() const { return "127.0.0.1:" + std::to_string(port); }
};

// Blocking helpers for scripts and raw clients.
std::string readn(int fd, size_t n); // shorter when the peer closed
void writes(int fd, const std::string &bytes);
inline std::string field(const std::string &text) { return (text + std::string(16, ' ')).substr(0, 16); }
template <size_t N> void set(char (&s)[N], const char *v) { std::snprintf(s, N, "%s", v); }
int dial(int port, const char *from = nullptr); // a raw connection (from a
                                                // loopback address), or -1

} // namespace tw
