// The client side of the retrieval server protocol: event replies (status
// blocks, counts, records and markers, chunk after chunk) and file replies
// (status block, then length-prefixed pieces), from a peer that sends the
// fuzzer's bytes whatever the client asks.
//
// Input: byte 0 the mode and its settings, then the peer's bytes.
//   bits 0-1: 0 one event request, 1 a file through rbload, 2 a whole
//   SELECT through the server (one connection per request, the bytes cut
//   at FZ_SEP, one piece per connection)
//   bit 2: the store is nearly full before the request
//   bits 3-4: the source and years of a SELECT; bit 3 for a file: it
//   goes to the name-file offset of the region tables
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "catalog/server_client.h"
#include "common.h"
#include "listing/listing.h"
#include "shell/setup.h"

using namespace tw;

// [SECTION] the peer

// A loopback listener made once, its address, and the pipe that tells its
// thread the run is over.
static int lfd, wake[2];
static char host[32];

// One piece per connection, in order, until the run is over: the piece
// sent, the sending side ended, whatever the client says taken.
static void serve(const std::vector<std::string> &pieces)
{
	for (size_t next = 0;;) {
		pollfd p[2] = {{lfd, POLLIN, 0}, {wake[0], POLLIN, 0}};
		char sink[4096];
		if (::poll(p, 2, -1) > 0 && p[1].revents)
			return (void)!::read(wake[0], sink, 1);
		int fd = p[0].revents ? ::accept(lfd, nullptr, nullptr) : -1;
		if (fd < 0)
			continue;
		// Sockets block: one send queues the whole piece, or fails.
		std::string s = next < pieces.size() ? pieces[next++] : "";
		(void)!::send(fd, s.data(), s.size(), MSG_NOSIGNAL);
		::shutdown(fd, SHUT_WR);
		while (::recv(fd, sink, sizeof sink, 0) > 0)
			;
		::close(fd);
	}
}

// Run the client call while the peer thread serves the pieces.
template <class F> static void with_peer(const std::vector<std::string> &pieces, F call)
{
	std::thread t([&] { serve(pieces); });
	call();
	(void)!::write(wake[1], "x", 1);
	t.join();
}

// [SECTION] the three modes

static void one_request(const std::string &bytes, int from)
{
	int count = from, r = 0;
	with_peer({bytes}, [&] {
		if (!open_server(host))
			fz_fail("no connection to the peer");
		r = retrv_server("FZ", count, 1995), close_server();
	});
	if (r < -1 || r > 1 || (r == 0 && !pn.em_s[0]))
		fz_fail("retrv_server result out of range, or a failure without a message");
	// A failure may come after the store filled: only success tells.
	if ((r == -1 && count != st.nmax) || (r == 1 && count >= st.nmax))
		fz_fail("store full reported wrongly");
	fz_check_store(from, count);
}

static void one_file(const std::string &bytes, bool names)
{
	std::snprintf(st.drvo_s, sizeof st.drvo_s, "@%s", host);
	unsigned char *w = st.iseg[workseg()];
	std::memset(w, 0xa5, SEGSIZE);
	long off = names ? NAME_OFF : 0, got = -1;
	with_peer({bytes}, [&] { got = rbload(w, off, "japan.nam"); });
	if (got < 0 || got > 65535 - off)
		fz_fail("rbload placed more than the segment holds");
	if (got == 0 && !pn.em_s[0] && bytes.size() >= 16 && bytes[0] == 0)
		fz_fail("a refused file without a message");
	// A transfer that fails part way reports nothing, whatever it placed.
	for (long i = 0; i < SEGSIZE; i++)
		if (w[i] != 0xa5 && (i < off || i >= (got ? off + got : 65535)))
			fz_fail("rbload wrote outside what it reported");
}

static void one_select(const std::vector<std::string> &pieces, int which, int from)
{
	static constexpr const char *plans[4][3] = {
		{"PDE", "1990", "1990"}, {"PDE", "1990", "1993"}, {"JPN", "1924", "1927"}, {"RIKA", "1600", "1990"}};
	select_defaults();
	std::snprintf(st.f2_s, sizeof st.f2_s, "%s", plans[which][0]);
	std::snprintf(se.y1_s, sizeof se.y1_s, "%s", plans[which][1]);
	std::snprintf(se.y2_s, sizeof se.y2_s, "%s", plans[which][2]);
	st.iyy1 = (unsigned)std::atoi(se.y1_s), st.iyy2 = (unsigned)std::atoi(se.y2_s);
	int r = -1;
	with_peer(pieces, [&] { r = select_server(host); });
	if ((r != 0 && r != 1) || (r == 0 && !pn.em_s[0]))
		fz_fail("select_server result out of range, or a failure without a message");
	fz_check_store(from, st.itot);
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
	sockaddr_in a{};
	a.sin_family = AF_INET;
	a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
	socklen_t len = sizeof a;
	lfd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
	if (lfd < 0 || ::bind(lfd, (sockaddr *)&a, sizeof a) || ::listen(lfd, 16) ||
	    getsockname(lfd, (sockaddr *)&a, &len) || pipe(wake))
		fz_fail("no loopback listener");
	std::snprintf(host, sizeof host, "127.0.0.1:%d", ntohs(a.sin_port));
	return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	if (size < 1)
		return 0;
	fz_fresh(4);
	sv.tmo = 2000, sv.maxtime = 10000;
	int from = st.itot = data[0] & 4 ? st.nmax - 3 : 0;
	put_marker(0, from, M_END);
	std::string bytes(reinterpret_cast<const char *>(data + 1), size - 1);
	if ((data[0] & 3) == 0)
		one_request(bytes, from);
	else if ((data[0] & 3) == 1)
		one_file(bytes, data[0] & 8);
	else
		one_select(fz_split(data + 1, size - 1, 64), data[0] >> 3 & 3, from);
	return 0;
}
