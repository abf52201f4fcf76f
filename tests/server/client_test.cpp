// The server client against scripted peers: the request's bytes, chunks and
// markers in the store, the store-full cut, file transfers, and every kind
// of malformed or stalled reply.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "catalog/server_client.h"
#include "catalog/store.h"
#include "events.h"
#include "device/screen.h"
#include "peer.h"
#include "recording.h"
#include "shell/setup.h"
#include "shell/panel.h"

namespace tw {
namespace {

// n records tagged from, from + 1, ...
std::string recs(int from, int n)
{
	std::string s;
	for (int i = 0; i < n; i++)
		s.append((const char *)Ev(1995, 3, 1).id(from + i).b.data(), 16);
	return s;
}

std::string status_ok() { return std::string(1, '\1') + std::string(15, '\0'); }
std::string marker(bool last) { return last ? "\xff\xff" : "\xfe\xff"; }

std::string count5(int n)
{
	char c[8];
	std::snprintf(c, sizeof c, "%5d", n);
	return c;
}

// One well-formed chunk: status, the client's "1", count, records, marker.
void chunk(int fd, int from, int n, bool last)
{
	writes(fd, status_ok());
	readn(fd, 16);
	writes(fd, count5(n) + recs(from, n) + marker(last));
}

struct ClientTest : ::testing::Test {
	Recording r;
	TempDir dir;
	FakePeer peer;
	std::string request; // what the client sent first
	void SetUp() override { start(8); }
	void start(int segs)
	{
		use_recording(r);
		fresh_store(dir.path, segs);
		server_client_reset();
		sv.tmo = 2000;
	}
	// Runs one event request against script; the request bytes are kept.
	int ask(std::function<void(int)> script, int year = 1995)
	{
		peer.serve([this, script](int fd) {
			request = readn(fd, 464);
			script(fd);
		});
		EXPECT_TRUE(open_server(peer.host().c_str()));
		int res = retrv_server("JMA", st.itot, year);
		close_server();
		peer.join();
		return res;
	}
	std::string msg(const char *what) { return "`" + peer.host() + "' " + what; }
};

bool end_at(int i) { return qeek(0, event(i)) == M_END; }

TEST_F(ClientTest, FullStoreKeepsWhatFitsAndReadsToTheEnd)
{
	start(2); // nmax 4095
	unsigned char rec[16] = {95, 1, 1};
	for (int i = 0; i < 300; i++)
		put_event(0, i, rec);
	st.itot = 300;
	int res = ask([](int fd) {
		chunk(fd, 0, 4000, false);
		chunk(fd, 4000, 5, true);
	});
	EXPECT_EQ(-1, res);
	EXPECT_EQ(4095, st.itot);
	EXPECT_EQ(0, qeek(5, event(300)));
	EXPECT_EQ(3794, qeek(5, event(4094)));
	EXPECT_EQ(M_END, qeek(MARKSLOT, st.iseg[0]));

	start(2); // exactly full ends the selection too
	EXPECT_EQ(-1, ask([](int fd) { chunk(fd, 0, 4095, true); }));
	EXPECT_EQ(4095, st.itot);
	EXPECT_EQ(M_END, qeek(MARKSLOT, st.iseg[0]));
}

// Each bad reply follows one good chunk of 10 records: those stay, with the
// end marker after them, and the request fails with a message.
struct Bad {
	const char *what;
	std::function<void(int)> tail;
	const char *msg;
};

TEST_F(ClientTest, MalformedRepliesKeepWhatArrived)
{
	// The work segment is marked once the client has finished with the
	// good chunk (it acknowledges the next one), to see what a refused
	// count leaves there.
	unsigned char *w = nullptr;
	auto after = [&w](std::string bytes) {
		return [bytes, &w](int fd) {
			writes(fd, status_ok());
			readn(fd, 16);
			std::memset(w, 0xAB, SEGSIZE);
			writes(fd, bytes);
		};
	};
	std::string month255 = recs(0, 3);
	month255[16 + 1] = '\xff';
	const std::vector<Bad> cases = {
		{"letters", after("abcde"), "sent a malformed reply!"},
		{"too many", after("04096" + recs(0, 4096) + marker(true)), "sent a malformed reply!"},
		{"negative", after("   -1"), "sent a malformed reply!"},
		{"blank", after("     "), "sent a malformed reply!"},
		{"marker in data", after(count5(3) + month255 + marker(true)), "sent a malformed reply!"},
		{"short chunk", after(count5(100) + recs(0, 50)), "closed the connection too early!"},
		{"no marker", after(count5(2) + recs(0, 2)), "closed the connection too early!"},
		{"no status", [](int) {}, "closed the connection too early!"},
		{"stalls", [](int fd) { writes(fd, status_ok()), readn(fd, 17); }, "did not answer in time!"},
	};
	for (const Bad &c : cases) {
		start(8);
		sv.tmo = 200;
		w = st.iseg[workseg()];
		int res = ask([&](int fd) {
			chunk(fd, 0, 10, false);
			c.tail(fd);
		});
		EXPECT_EQ(0, res) << c.what;
		EXPECT_EQ(msg(c.msg), pn.em_s) << c.what;
		EXPECT_EQ(10, st.itot) << c.what;
		EXPECT_TRUE(end_at(10)) << c.what;
		if (!std::strcmp(c.what, "too many")) {
			EXPECT_EQ(0xAB, w[0]) << "nothing of a refused chunk is read";
		}
	}
}

TEST_F(ClientTest, MissingDataNamesTheFileAndTheHost)
{
	int res = ask([](int fd) { writes(fd, std::string("\0JMA-95.B\0xxxxxx", 16)); });
	EXPECT_EQ(0, res);
	EXPECT_EQ("File `JMA-95.B' does not exist on `" + peer.host() + "'!", pn.em_s);
	// Text up to the end of the block; unprintable bytes are not shown raw.
	ask([](int fd) { writes(fd, std::string("\0AB\x1b[2JCDEFGHIJKL", 16)); });
	EXPECT_EQ("File `AB?[2JCDEFGHIJK' does not exist on `" + peer.host() + "'!", pn.em_s);
}

struct FileTest : ClientTest {
	std::string asked;
	long fetch(unsigned char *block, long offset, std::function<void(int)> script,
		   const char *name = "JAPAN.MES")
	{
		peer.serve([this, script](int fd) {
			asked = readn(fd, 48);
			script(fd);
		});
		std::snprintf(st.drvo_s, sizeof st.drvo_s, "@%s", peer.host().c_str());
		long n = rbload(block, offset, name);
		peer.join();
		return n;
	}
};

TEST_F(FileTest, NothingLandsPastTheSegment)
{
	static unsigned char b[SEGSIZE + 16];
	std::memset(b, '.', sizeof b);
	long n = fetch(b, 65530, [](int fd) {
		writes(fd, status_ok() + "   100" + std::string(100, 'x') + "     0");
	});
	EXPECT_EQ(5, n);
	EXPECT_EQ("xxxxx.", std::string((char *)b + 65530, 6));
}

TEST_F(FileTest, BadRepliesLoadNothing)
{
	static unsigned char b[SEGSIZE];
	sv.tmo = 200;
	const std::vector<Bad> cases = {
		{"negative", [](int fd) { writes(fd, status_ok() + "    -5hello"); }, "sent a malformed reply!"},
		{"letters", [](int fd) { writes(fd, status_ok() + "  five"); }, "sent a malformed reply!"},
		{"short", [](int fd) { writes(fd, status_ok() + "    10hello"); }, "closed the connection too early!"},
		{"no end", [](int fd) { writes(fd, status_ok() + "     5hello"), readn(fd, 1); }, "did not answer in time!"},
	};
	for (const Bad &c : cases) {
		pn.em_s[0] = 0;
		EXPECT_EQ(0, fetch(b, 0, c.tail)) << c.what;
		EXPECT_EQ(msg(c.msg), pn.em_s) << c.what;
	}
	EXPECT_EQ(0, fetch(b, 0, [](int fd) { writes(fd, std::string("\0regions", 9) + std::string(7, '\0')); }));
	EXPECT_EQ("File `regions' does not exist on `" + peer.host() + "'!", pn.em_s);
}

TEST_F(FileTest, PlainHostMeansTheStandardPort)
{
	FakePeer std_port(SERVER_PORT);
	if (!std_port.port)
		GTEST_SKIP() << "port 5516 is taken on this machine";
	std_port.serve([](int fd) {
		readn(fd, 48);
		writes(fd, status_ok() + "     2ok     0");
	});
	std::snprintf(st.drvo_s, sizeof st.drvo_s, "@127.0.0.1");
	static unsigned char b[SEGSIZE];
	EXPECT_EQ(2, rbload(b, 0, "regions")) << pn.em_s;
	std_port.join();
}

TEST_F(ClientTest, UnreachableServersAreNamed)
{
	int closed;
	{
		FakePeer gone; // a port nobody listens on once it is closed
		closed = gone.port;
	}
	std::string h = "127.0.0.1:" + std::to_string(closed);
	EXPECT_EQ(0, select_server(h.c_str()));
	EXPECT_EQ("`" + h + "' cannot be accessed to!", std::string(pn.em_s));
	for (const char *bad : {"127.0.0.1:0", "127.0.0.1:65536", "127.0.0.1:x", ":5516"}) {
		EXPECT_EQ(0, open_server(bad)) << bad;
		std::snprintf(st.drvo_s, sizeof st.drvo_s, "@%s", bad);
		EXPECT_EQ(0, rbload(st.iseg[workseg()], 0, "regions")) << bad;
		EXPECT_EQ("`" + std::string(bad) + "' cannot be accessed to!", std::string(pn.em_s));
	}
	EXPECT_EQ(-1, sv.sock);
}

} // namespace
} // namespace tw

namespace tw {

// While a peer stays silent the window repaints and Ctrl+E ends the program
// at once; a key typed meanwhile waits for the next key wait.
TEST_F(ClientTest, SilentPeerLeavesTheWindowAlive)
{
	sv.tmo = 5000;
	peer.serve([](int fd) { readn(fd, 465); }); // until the client closes
	ASSERT_TRUE(open_server(peer.host().c_str()));
	r.expose();
	r.ch('x');
	r.ch(K_CTRL_E);
	auto t0 = std::chrono::steady_clock::now();
	int count = 0;
	EXPECT_THROW(retrv_server("JMA", count, 1995), Exited);
	EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(1));
	close_server();
	peer.join();
	EXPECT_TRUE(r.has("show_pixmap"));
	EXPECT_EQ('x', getcchr());
}

} // namespace tw
