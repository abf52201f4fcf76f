// The server client against scripted peers: every kind of malformed,
// missing or stalled reply to event and file requests, unreachable
// servers, and a window that stays alive while a peer is silent.
#include <chrono>

#include "catalogue.h"
#include "device/screen.h"

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

const std::string OK = std::string(1, '\1') + std::string(15, '\0'), LAST = "\xff\xff";

struct ClientTest : Fresh {
	FakePeer peer;
	void SetUp() override { fresh(); }
	void point(const std::string &host) { set(st.drvo_s, ("@" + host).c_str()); }
	// One event request (or, with file, a request for a file into the work
	// segment) against script.
	long ask(std::function<void(int)> script, bool file)
	{
		sv.tmo = 200;
		peer.serve([script, file](int fd) { readn(fd, file ? 48 : 464), script(fd); });
		point(peer.host());
		EXPECT_TRUE(file || open_server(peer.host().c_str()));
		long res = file ? rbload(st.iseg[workseg()], 0, "JAPAN.MES") : retrv_server("JMA", st.itot, 1995);
		close_server();
		peer.join();
		return res;
	}
};

// Each bad reply to an event request follows one good chunk of 10 records:
// those stay, with the end marker after them, and the request fails with a
// message. A file request loads nothing.
TEST_F(ClientTest, MalformedRepliesKeepWhatArrived)
{
	// The work segment is marked once the client has finished with the
	// good chunk (it acknowledges the next one), to see what a refused
	// count leaves there.
	auto after = [](std::string bytes) {
		return [bytes](int fd) {
			writes(fd, OK), readn(fd, 16);
			std::memset(st.iseg[workseg()], 0xAB, SEGSIZE);
			writes(fd, bytes);
		};
	};
	auto says = [](std::string bytes) { return [bytes](int fd) { writes(fd, bytes); }; };
	std::string month255 = recs(0, 3), bad = "`@' sent a malformed reply!", early = "`@' closed the connection too early!",
		    late = "`@' did not answer in time!";
	month255[16 + 1] = '\xff';
	const struct {
		bool file;
		std::function<void(int)> tail;
		std::string msg;
	} rows[] = {
		{false, after("abcde"), bad},
		{false, after("04096" + recs(0, 4096) + LAST), bad},
		{false, after("   -1"), bad},
		{false, after("     "), bad},
		{false, after("    3" + month255 + LAST), bad},
		{false, after("  100" + recs(0, 50)), early},
		{false, after("    2" + recs(0, 2)), early},
		{false, [](int) {}, early},
		{false, [](int fd) { writes(fd, OK), readn(fd, 17); }, late},
		// Text up to the end of the block; unprintable bytes are not shown raw.
		{false, says(std::string("\0JMA-95.B\0xxxxxx", 16)), "File `JMA-95.B' does not exist on `@'!"},
		{false, says(std::string("\0AB\x1b[2JCDEFGHIJKL", 16)), "File `AB?[2JCDEFGHIJK' does not exist on `@'!"},
		{true, says(OK + "    -5hello"), bad},
		{true, says(OK + "  five"), bad},
		{true, says(OK + "    10hello"), early},
		{true, [](int fd) { writes(fd, OK + "     5hello"), readn(fd, 1); }, late},
		{true, says(std::string("\0regions", 9) + std::string(7, '\0')), "File `regions' does not exist on `@'!"},
	};
	for (const auto &row : rows) {
		fresh();
		EXPECT_EQ(0, ask([&](int fd) {
			if (!row.file)
				writes(fd, OK), readn(fd, 16), writes(fd, "   10" + recs(0, 10) + "\xfe\xff");
			row.tail(fd);
		}, row.file));
		std::string msg = row.msg;
		EXPECT_EQ(msg.replace(msg.find('@'), 1, peer.host()), pn.em_s);
		EXPECT_EQ(row.file ? 0 : 10, st.itot) << row.msg;
		EXPECT_TRUE(row.file || qeek(0, event(10)) == M_END) << row.msg;
		EXPECT_TRUE(&row != &rows[1] || st.iseg[workseg()][0] == 0xAB) << "nothing of a refused chunk is read";
	}
}

// The store takes what fits, and the reply is still read to its end: a
// chunk past the room, then another; or one chunk that fills it exactly.
TEST_F(ClientTest, FullStoreKeepsWhatFitsAndReadsToTheEnd)
{
	for (int before : {300, 0}) {
		fresh(2);
		for (; st.itot < before; st.itot++)
			put_event(0, st.itot, Ev(1995).b.data());
		EXPECT_EQ(-1, ask([before](int fd) {
			writes(fd, OK), readn(fd, 16);
			if (!before)
				return writes(fd, "04095" + recs(0, 4095) + LAST);
			writes(fd, "04000" + recs(0, 4000) + "\xfe\xff" + OK), readn(fd, 16);
			writes(fd, "00005" + recs(4000, 5) + LAST);
		}, false));
		EXPECT_EQ(4095, st.itot);
		EXPECT_EQ(0, qeek(5, event(before)));
		EXPECT_EQ(4094 - before, qeek(5, event(4094)));
		EXPECT_EQ(M_END, qeek(MARKSLOT, st.iseg[0]));
	}
}

// A file longer than the segment: the transfer stops at its end.
TEST_F(ClientTest, FileTransfersStopAtTheSegmentEnd)
{
	unsigned char *b = st.iseg[workseg()];
	std::memset(b, '.', SEGSIZE);
	EXPECT_EQ(65535, ask([](int fd) { writes(fd, OK + " 70000" + std::string(70000, 'x') + "     0"); }, true));
	EXPECT_EQ("x.", std::string((char *)b + 65534, 2));
}

// SELECT's own test names an unknown host.
TEST_F(ClientTest, UnreachableServersAreNamed)
{
	std::string closed = FakePeer().host(); // a port nobody listens on once it is closed
	for (std::string bad : {closed, std::string("127.0.0.1:0"), std::string("127.0.0.1:65536"),
				std::string("127.0.0.1:x"), std::string(":5516")}) {
		point(bad);
		EXPECT_EQ(0, rbload(st.iseg[workseg()], 0, "regions")) << bad;
		EXPECT_EQ("`" + bad + "' cannot be accessed to!", std::string(pn.em_s));
	}
	EXPECT_EQ(-1, sv.sock);
}

// While a peer stays silent the window repaints and Ctrl+E ends the program
// at once; a key typed meanwhile waits for the next key wait.
TEST_F(ClientTest, SilentPeerLeavesTheWindowAlive)
{
	sv.tmo = 5000;
	peer.serve([](int fd) { readn(fd, 465); }); // until the client closes
	ASSERT_TRUE(open_server(peer.host().c_str()));
	r.expose(), r.ch('x'), r.ch(K_CTRL_E);
	auto t0 = std::chrono::steady_clock::now();
	int count = 0;
	EXPECT_THROW(retrv_server("JMA", count, 1995), Exited);
	EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(1));
	close_server();
	peer.join();
	EXPECT_TRUE(r.has("show_pixmap"));
	EXPECT_EQ('x', getcchr());
}

} // namespace
} // namespace tw
