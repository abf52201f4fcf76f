// Kept connections: a SELECT's requests share one connection (its later
// years unasked) when the server offers it, peers that do not offer it are
// served as ever, and a kept connection keeps every bound of the server.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

#include "catalog/select.h"
#include "catalog/server_client.h"
#include "catalog/store.h"
#include "catalogue.h"
#include "peer.h"
#include "recording.h"
#include "shell/panel.h"

namespace tw {
namespace {

// The selected events of one SELECT, every record in store order.
std::string select_events(const Form &f, const std::string &drv, const std::string &dir)
{
	fresh_store(dir, f.segs);
	server_client_reset();
	set(st.drv_s, drv.c_str());
	apply(f);
	int r = select_round();
	EXPECT_TRUE(r == 0 || r == 2) << f.src << " " << pn.em_s;
	std::string s;
	for (int i = 0; i < st.itot; i++)
		s.append((const char *)event(i), RECLEN);
	return s;
}

// The client address and port of every event request in the log past
// from, once n of them are there (workers log as they finish).
std::vector<std::string> event_peers(const ServerProc &s, size_t from, size_t n)
{
	std::vector<std::string> peers;
	for (int i = 0; i < 300 && peers.size() < n; i++, usleep(10000)) {
		peers.clear();
		std::istringstream log(s.log().substr(from));
		for (std::string line; std::getline(log, line);)
			if (line.find(") event ") != std::string::npos)
				peers.push_back(line.substr(line.find(' ') + 1, line.find(" (") - line.find(' ') - 1));
	}
	return peers;
}

TEST(KeepAlive, SelectTakesOneConnectionAndTheLocalEvents)
{
	Recording r;
	use_recording(r);
	TempDir dir;
	make_data(dir);
	ServerProc server;
	ASSERT_TRUE(server.start(dir.path, dir.path));
	Form full{"BIG", "2000", "2001"}; // the store fills in the second year
	full.segs = 2;
	struct {
		Form form;
		size_t requests;
	} cases[] = {
		{{"JMA", "1926", "1931"}, 6}, // 1928 in three parts
		{{"JPN", "1880", "1928"}, 5}, // RIKA and VELA whole, then JMA by year
		{full, 2},
	};
	for (const auto &c : cases) {
		size_t from = server.log().size();
		std::string local = select_events(c.form, dir.path, dir.path);
		EXPECT_TRUE(local == select_events(c.form, server.at(), dir.path)) << c.form.src;
		std::vector<std::string> peers = event_peers(server, from, c.requests);
		EXPECT_EQ(c.requests, peers.size()) << c.form.src;
		EXPECT_EQ(1u, std::set<std::string>(peers.begin(), peers.end()).size())
			<< c.form.src << ": one connection\n" << server.log().substr(from);
	}
}

// A stand-in server that answers each request with three events of the
// year asked for and closes after it, offering the connection (KEEPALIVE)
// and the later years (YEARS), or not. A client that takes the connection
// sends its next request before the close and must ask again on a new
// one; a client that takes the years sends nothing more at all.
TEST(KeepAlive, ClientKeepsOnlyWhatThePeerOffers)
{
	Recording r;
	use_recording(r);
	TempDir dir;
	dir.text("regions", "");
	enum Offer { NONE, KEEP, ALL } offers[] = {NONE, KEEP, ALL};
	for (Offer offer : offers) {
		int reused = 0;
		auto peer = std::make_unique<FakePeer>();
		auto reply = [&](int fd, int year, bool first) {
			std::string status(FIELD, '\0');
			status[0] = 1;
			if (offer != NONE)
				status.replace(1, 5, KEEPALIVE);
			if (offer == ALL && first)
				status.replace(YEARS_AT, 5, YEARS);
			writes(fd, status);
			if (offer != ALL || first) {
				EXPECT_EQ(field(offer == ALL ? YEARS_ACK : "1"), readn(fd, FIELD)) << offer;
			}
			std::string chunk = "    3";
			for (int k = 0; k < 3; k++)
				chunk.append((const char *)Ev(year, 6, 1 + k).at(140, 35).mag(50).b.data(), RECLEN);
			writes(fd, chunk + "\xff\xff");
		};
		auto answer = [&](int fd) {
			std::string q = readn(fd, REQFIELDS * FIELD);
			int year = std::atoi(q.substr(2 * FIELD, FIELD).c_str());
			reply(fd, year, true);
			for (int y = year + 1; offer == ALL && y <= 1993; y++)
				reply(fd, y, false);
			reused += readn(fd, 1).size(); // the next request, or the client's close
			shutdown(fd, SHUT_RDWR);
		};
		peer->serve([&](int fd) { // the first connection, then up to three more
			answer(fd);
			for (int i = 1, next; i < 4 && offer != ALL &&
					     (next = accept(peer->lfd, nullptr, nullptr)) >= 0; i++)
				answer(next), close(next);
		});
		EXPECT_EQ(12u, select_events({"PDE", "1990", "1993"}, "@" + peer->host(), dir.path).size() / RECLEN)
			<< offer;
		peer.reset(); // its thread ends, also when fewer connections came
		EXPECT_EQ(offer == KEEP ? 3 : 0, reused) << offer;
		EXPECT_EQ(1993, fnyear(0, event(st.itot - 1))) << offer;
	}
}

std::string blank_request() // no record passes: the reply is one empty chunk
{
	return field("tester") + field("PDE") + field("1990") + std::string((REQFIELDS - 3) * FIELD, ' ');
}

// One exchange as any client makes it: the first status block, the rest of
// the reply read.
std::string ask(int fd, bool send = true)
{
	if (send)
		writes(fd, blank_request());
	std::string s = readn(fd, FIELD);
	if (s.size() == FIELD && s[0]) {
		writes(fd, field("1"));
		readn(fd, RECLEN * std::atoi(readn(fd, 5).c_str()) + 2);
	}
	return s;
}

bool offered(const std::string &status) { return status.find(KEEPALIVE) == 1; }

TEST(KeepAlive, KeptConnectionsKeepTheBounds)
{
	Recording r;
	use_recording(r);
	TempDir dir;
	for (const char *f : {"pde-90.b", "pde-91.b", "pde-92.b"})
		dir.write(f, {});
	dir.text("regions", "KANTO 138 E 141 E 34 N 37 N\n");
	fresh_store(dir.path);
	ServerProc server;
	ASSERT_TRUE(server.start(dir.path, dir.path, {"-t", "2", "-n", "2"})); // one slot an address
	set(st.drvo_s, server.at().c_str());
	// Taking YEARS: 1991 and 1992 come unasked, then a request of 1990
	// alone goes without acknowledgement.
	int fd = dial(server.port);
	writes(fd, blank_request().replace(9 * FIELD, FIELD, field("1992")));
	std::string s = readn(fd, FIELD);
	EXPECT_EQ(YEARS, s.substr(YEARS_AT, 5));
	writes(fd, field(YEARS_ACK));
	for (int y = 1990; y <= 1993; y++) {
		if (y == 1993)
			writes(fd, blank_request());
		s = y > 1990 ? readn(fd, FIELD) : s;
		EXPECT_TRUE(offered(s) && (y == 1990 || !s[YEARS_AT])) << y << ": offered once";
		EXPECT_EQ(std::string("    0\xff\xff"), readn(fd, 7)) << y;
	}
	close(fd);
	int old = dial(server.port); // asks once and closes: no fault logged
	EXPECT_TRUE(offered(ask(old)));
	close(old);
	int a = dial(server.port, "127.0.0.2"), b = dial(server.port, "127.0.0.2");
	EXPECT_TRUE(offered(ask(a)));
	writes(b, blank_request()); // waits for the slot a holds
	usleep(200000);
	std::string again = ask(a);
	EXPECT_TRUE(again.size() == FIELD && again[0] && !offered(again)) << "b waits: a is let go";
	EXPECT_EQ("", readn(a, 1));
	EXPECT_TRUE(offered(ask(b, false))) << "b is served, and kept";
	auto t0 = std::chrono::steady_clock::now();
	EXPECT_EQ(28, rbload(st.iseg[workseg()], 0, "regions")) << "b idles: others are served";
	EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(1));
	EXPECT_EQ("", readn(b, 1)) << "the idle deadline ends b";
	EXPECT_TRUE(server.wait_log("kept connection idle for 2 s, closed"));
	EXPECT_EQ(std::string::npos, server.log().find("incomplete")) << server.log();
	close(a), close(b);
}

} // namespace
} // namespace tw
