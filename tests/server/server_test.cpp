// tarnwell-server on its own: names that try to leave its directories,
// garbage, slow clients, the time limit, shutdown and options.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "catalog/server_client.h"
#include "catalog/store.h"
#include "events.h"
#include "peer.h"
#include "recording.h"
#include "shell/panel.h"

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

std::string file_request(const std::string &name) { return field("tester") + field(":") + field(name); }

std::string event_request(const std::string &src, const std::string &year)
{
	std::string s = field("tester") + field(src) + field(year);
	for (const char *x : {"1990", "01", "01", "00", "00", "00.00", "1990", "12", "31", "23", "59", "59.99", "000",
			      "00", "000", "00", "90", "00S", "90", "00", "000.0", "999.9", "-9.9", "+9.9", "Y", "Y"})
		s += field(x);
	return s;
}

struct ServerTest : ::testing::Test {
	Recording r;
	TempDir top;
	std::string aux = top.at("aux"), data = top.at("data");
	ServerProc server;
	void SetUp() override
	{
		std::filesystem::create_directories(aux + "/sub"), mkdir(data.c_str(), 0755);
		for (auto [name, text] : {std::pair{"secret", "outside"}, {"aux/regions", "KANTO 138 E 141 E 34 N 37 N\n"},
					  {"aux/.hidden", "hidden"}, {"aux/sub/inner", "inner"}})
			top.text(name, text);
		top.text("data/pde-90.b", std::string(4, '\0') + "\xff\xff");
		mkfifo((aux + "/fifo").c_str(), 0644);
		use_recording(r);
		fresh_store(aux);
		server_client_reset();
	}
	void start(std::initializer_list<const char *> extra = {})
	{
		ASSERT_TRUE(server.start(data, aux, extra));
		std::snprintf(st.drvo_s, sizeof st.drvo_s, "%s", server.at().c_str());
	}
	bool fetch_regions() { return rbload(st.iseg[workseg()], 0, "REGIONS") == 28; }
};

TEST_F(ServerTest, NamesCannotLeaveTheDirectories)
{
	// Links are served when they stay inside the directory.
	ASSERT_EQ(0, symlink(top.at("secret").c_str(), (aux + "/pw").c_str()));
	ASSERT_EQ(0, symlink("sub/inner", (aux + "/inlink").c_str()));
	start();
	for (const char *good : {"REGIONS", "inlink"})
		EXPECT_EQ(1, status(server.port, file_request(good))) << good << ", under its lower-case name";
	for (const char *bad : {"../secret", "/etc/passwd", ".hidden", "sub/inner", "..", ".", "",
				"sub\\inner", "fifo", "sub", "nothing", "pw"})
		EXPECT_EQ(0, status(server.port, file_request(bad))) << bad;
	// A source name becomes part of a file name: it cannot climb either.
	for (const char *src : {"../aux/regions", "..", "A B", "/tmp/x"})
		EXPECT_EQ(0, status(server.port, event_request(src, "1990"))) << src;
	for (const char *line : {"file ../secret: refused", "file nothing: not found",
				 "file pw: link out of the directory, refused", "file sub: not a regular file"})
		EXPECT_TRUE(server.wait_log(line)) << line;
}

// Garbage is answered and serving goes on; SIGTERM then stops the server
// cleanly with a connection still open.
TEST_F(ServerTest, GarbageIsAnsweredAndServingGoesOn)
{
	start({"-t", "1"});
	std::string junk(464, '\0');
	for (size_t i = 0; i < junk.size(); i++)
		junk[i] = (char)(i * 7919 % 251);
	for (const std::string &q : {junk, std::string(1 << 20, '\xff'), std::string("short"), std::string(32, '\0'),
				     event_request("PDE", "abc"), // year 0: a whole catalogue it lacks
				     event_request("PDE", "1990") + "2"}) { // answered, then a wrong acknowledgement
		int fd = dial(server.port);
		writes(fd, q);
		shutdown(fd, SHUT_WR);
		readn(fd, 1 << 16); // whatever comes, until the server closes
		close(fd);
	}
	int idle = dial(server.port);
	EXPECT_TRUE(fetch_regions()) << pn.em_s;
	EXPECT_TRUE(server.wait_log("event PDE 0: not found PDE.B"));
	EXPECT_TRUE(server.wait_log("event PDE 1990: 0 records in 0 chunk(s), broken off"));
	EXPECT_TRUE(server.wait_log("incomplete request, closed"));
	EXPECT_EQ(0, server.stop());
	for (const char *line : {"shutting down, ", "stopped"})
		EXPECT_NE(std::string::npos, server.log().find(line)) << line;
	close(idle);
}

// One address dribbling request bytes on 100 connections and holding a
// worker with a reply it never acknowledges: others are still answered.
TEST_F(ServerTest, SlowClientsLockNobodyOut)
{
	start({"-t", "2", "-n", "2"});
	std::vector<int> slow; // 100 dribblers, then 2 whole requests never acknowledged
	for (int i = 0; i < 102; i++)
		writes(slow.emplace_back(dial(server.port, "127.0.0.2")), i < 100 ? "s" : event_request("PDE", "1990"));
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

// Options: help on standard output, usage errors on standard error.
TEST(ServerOptions, BadOptionsStopAtOnce)
{
	TempDir d;
	auto run = [&](std::string args) {
		int s = std::system((TARNWELL_SERVER " " + args + " >" + d.at("out") + " 2>" + d.at("err")).c_str());
		return WIFEXITED(s) ? WEXITSTATUS(s) : -1;
	};
	for (auto [args, status, out] : {std::tuple{"-p 70000", 2, "err"}, {"-p x", 2, "err"}, {"-q", 2, "err"},
					 {"--bogus", 2, "err"}, {"extra", 2, "err"}, {"-h", 0, "out"},
					 {"--help", 0, "out"}, {"-p 0 -t 0", 2, "err"}, {"-p 0 -n 5000", 2, "err"}}) {
		EXPECT_EQ(status, run(args)) << args;
		EXPECT_NE(std::string::npos, test::slurp(d.at(out)).find("usage:")) << args;
		EXPECT_EQ(std::string::npos, test::slurp(d.at(out == std::string("out") ? "err" : "out")).find("usage:"));
	}
	EXPECT_EQ(1, run("-p 0 -d /nonexistent/dir"));
	std::string err = test::slurp(d.at("err"));
	EXPECT_NE(std::string::npos, err.find("cannot open directory")) << err;
	EXPECT_EQ(err.find("cannot open directory"), err.rfind("cannot open directory")) << "said once";
}

} // namespace
} // namespace tw
