// tarnwell-server on its own: names that try to leave its directories,
// garbage, slow clients, the time limit, shutdown and options.
#include <chrono>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>

#include "catalogue.h"

namespace tw {
namespace {

// Byte 0 of the status block a raw request gets, or -1 without one.
int status(int port, const std::string &request)
{
	int fd = dial(port);
	writes(fd, request);
	std::string s = readn(fd, 16);
	close(fd);
	return s.size() == 16 ? (unsigned char)s[0] : -1;
}

// A file request, or an event request whose blank bounds pass no record.
std::string request(const std::string &src, const std::string &what)
{
	return field("tester") + field(src) + field(what) + (src == ":" ? "" : std::string((REQFIELDS - 3) * FIELD, ' '));
}

struct ServerTest : Fresh {
	std::string aux = dir.at("aux"), data = dir.at("data");
	ServerProc server;
	void SetUp() override
	{
		std::filesystem::create_directories(aux + "/sub"), mkdir(data.c_str(), 0755);
		for (auto [name, text] : {std::pair{"secret", "outside"}, {"aux/regions", "KANTO 138 E 141 E 34 N 37 N\n"},
					  {"aux/.hidden", "hidden"}, {"aux/sub/inner", "inner"}})
			dir.text(name, text);
		dir.text("data/pde-90.b", std::string(4, '\0') + "\xff\xff");
		mkfifo((aux + "/fifo").c_str(), 0644);
		fresh();
	}
	void start(std::initializer_list<const char *> extra = {})
	{
		ASSERT_TRUE(server.start(data, aux, extra));
		set(st.drvo_s, server.at().c_str());
	}
	bool fetch_regions() { return rbload(st.iseg[workseg()], 0, "REGIONS") == 28; }
};

// Names that would leave the directories are refused, garbage is answered
// and serving goes on; SIGTERM then stops the server cleanly with a
// connection still open.
TEST_F(ServerTest, HostileRequestsAreRefusedAndServingGoesOn)
{
	// Links are served when they stay inside the directory.
	ASSERT_EQ(0, symlink(dir.at("secret").c_str(), (aux + "/pw").c_str()));
	ASSERT_EQ(0, symlink("sub/inner", (aux + "/inlink").c_str()));
	start({"-t", "1"});
	for (const char *good : {"REGIONS", "inlink"})
		EXPECT_EQ(1, status(server.port, request(":", good))) << good << ", under its lower-case name";
	for (const char *bad : {"../secret", "/etc/passwd", ".hidden", "sub/inner", "..", ".", "",
				"sub\\inner", "fifo", "sub", "nothing", "pw"})
		EXPECT_EQ(0, status(server.port, request(":", bad))) << bad;
	// A source name becomes part of a file name: it cannot climb either.
	for (const char *src : {"../aux/regions", "..", "A B", "/tmp/x"})
		EXPECT_EQ(0, status(server.port, request(src, "1990"))) << src;
	std::string junk(464, '\0');
	for (size_t i = 0; i < junk.size(); i++)
		junk[i] = (char)(i * 7919 % 251);
	for (const std::string &q : {junk, std::string(1 << 20, '\xff'), std::string("short"), std::string(32, '\0'),
				     request("PDE", "abc"), // year 0: a whole catalogue it lacks
				     request("PDE", "1990") + "2"}) { // answered, then a wrong acknowledgement
		int fd = dial(server.port);
		writes(fd, q);
		shutdown(fd, SHUT_WR);
		readn(fd, 1 << 16); // whatever comes, until the server closes
		close(fd);
	}
	int idle = dial(server.port);
	EXPECT_TRUE(fetch_regions()) << pn.em_s;
	for (const char *line : {"file ../secret: refused", "file nothing: not found", "file pw: link out of the directory, refused",
				 "file sub: not a regular file", "event PDE 0: not found PDE.B",
				 "event PDE 1990: 0 records in 0 chunk(s), broken off", "incomplete request, closed"})
		EXPECT_TRUE(server.wait_log(line)) << line;
	EXPECT_EQ(0, server.stop());
	EXPECT_NE(std::string::npos, server.log().find("stopped")) << server.log();
	close(idle);
}

// One address dribbling request bytes on 100 connections and holding a
// worker with a reply it never acknowledges: others are still answered.
TEST_F(ServerTest, SlowClientsLockNobodyOut)
{
	start({"-t", "2", "-n", "2"});
	std::vector<int> slow; // 100 dribblers, then 2 whole requests never acknowledged
	for (int i = 0; i < 102; i++)
		writes(slow.emplace_back(dial(server.port, "127.0.0.2")), i < 100 ? "s" : request("PDE", "1990"));
	usleep(100000);
	for (int i = 0; i < 3; i++) {
		auto t0 = std::chrono::steady_clock::now();
		EXPECT_TRUE(fetch_regions()) << i << " " << pn.em_s;
		EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(1)) << i;
	}
	// The request deadline ends the dribblers, the time limit the others.
	EXPECT_EQ("", readn(slow[0], 1));
	EXPECT_TRUE(server.wait_log("request not complete in 2 s, closed"));
	EXPECT_TRUE(server.wait_log("time limit of 2 s reached"));
	for (int fd : slow)
		close(fd);
	EXPECT_TRUE(fetch_regions());
}

// Options: help on standard output, usage errors on standard error, a
// directory that cannot be opened said once.
TEST(ServerOptions, BadOptionsStopAtOnce)
{
	TempDir d;
	for (auto [args, status, out, text] :
	     {std::tuple{"-p 70000", 2, "err", "usage:"}, {"-p x", 2, "err", "usage:"}, {"-q", 2, "err", "usage:"},
	      {"--bogus", 2, "err", "usage:"}, {"extra", 2, "err", "usage:"}, {"-h", 0, "out", "usage:"},
	      {"--help", 0, "out", "usage:"}, {"-p 0 -t 0", 2, "err", "usage:"}, {"-p 0 -n 5000", 2, "err", "usage:"},
	      {"-p 0 -d /nonexistent/dir", 1, "err", "cannot open directory"}}) {
		int s = std::system((TARNWELL_SERVER " " + std::string(args) + " >" + d.at("out") + " 2>" + d.at("err")).c_str());
		EXPECT_EQ(status, WIFEXITED(s) ? WEXITSTATUS(s) : -1) << args;
		std::string said = test::slurp(d.at(out)), other = test::slurp(d.at(out == std::string("out") ? "err" : "out"));
		EXPECT_NE(std::string::npos, said.find(text)) << args;
		EXPECT_EQ(said.find(text), said.rfind(text)) << args << ": said once";
		EXPECT_EQ(std::string::npos, other.find("usage:")) << args;
	}
}

} // namespace
} // namespace tw
