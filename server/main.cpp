// tarnwell-server: options and start-up.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <csignal>
#include <fcntl.h>
#include <getopt.h>
#include <malloc.h>
#include <unistd.h>

#include "fdsn.h"
#include "server.h"

namespace tw {

constexpr const char *USAGE =
	"usage: tarnwell-server [-p port] [-l address] [-d datadir] [-x auxdir]\n"
	"                       [-t seconds] [-n clients] [-w port]\n"
	"  -p  TCP port (default 5516; 0 takes a free one, shown in the log)\n"
	"  -l  listen address (default 127.0.0.1)\n"
	"  -d  directory of the dataset files (default .)\n"
	"  -x  directory of the auxiliary files (default: the data directory)\n"
	"  -t  time limit of one request in seconds (default 60)\n"
	"  -n  requests served at once (default 64)\n"
	"  -w  HTTP port of the FDSN event web service (default: off)\n";

static int wport = -1; // the FDSN web service's port; -1 off

static bool number(const char *s, int lo, int hi, int &out)
{
	char *end;
	long v = std::strtol(s, &end, 10);
	if (!*s || *end || v < lo || v > hi)
		return false;
	out = (int)v;
	return true;
}

template <size_t N> static bool text(const char *s, char (&out)[N])
{
	return std::snprintf(out, N, "%s", s) < (int)N;
}

static bool option(int c, const char *v)
{
	switch (c) {
	case 'p': return number(v, 0, 65535, srv.port);
	case 'l': return text(v, srv.addr_s);
	case 'd': return text(v, srv.data_s);
	case 'x': return text(v, srv.aux_s);
	case 't': return number(v, 1, 86400, srv.limit);
	case 'n': return number(v, 1, 4096, srv.maxkids);
	case 'w': return number(v, 0, 65535, wport);
	}
	return false;
}

static int open_dir(const char *path)
{
	int fd = ::open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (fd < 0)
		std::fprintf(stderr, "tarnwell-server: cannot open directory %s\n", path);
	return fd;
}

int server_options(int argc, char **argv)
{
	static const struct option longs[] = {{"help", no_argument, nullptr, 'h'}, {}};
	int c;
	while ((c = getopt_long(argc, argv, "p:l:d:x:t:n:w:h", longs, nullptr)) != -1) {
		if (c == 'h') {
			std::fputs(USAGE, stdout);
			return -1;
		}
		if (c == '?' || !option(c, optarg)) {
			std::fputs(USAGE, stderr);
			return 2;
		}
	}
	if (optind < argc) {
		std::fputs(USAGE, stderr);
		return 2;
	}
	srv.datafd = open_dir(srv.data_s);
	if (srv.aux_s[0]) {
		srv.auxfd = open_dir(srv.aux_s);
	} else { // the data directory: opened (and complained of) once
		text(srv.data_s, srv.aux_s);
		srv.auxfd = srv.datafd;
	}
	return srv.datafd < 0 || srv.auxfd < 0 ? 1 : 0;
}

} // namespace tw

int main(int argc, char **argv)
{
	// Before anything is written: standard error may be a closed pipe.
	signal(SIGPIPE, SIG_IGN);
	// Every request takes and gives back the same few segments: kept in the
	// heap they are not mapped and faulted in afresh each time.
	mallopt(M_MMAP_THRESHOLD, 4 << 20);
	mallopt(M_TRIM_THRESHOLD, 64 << 20);
	tw::server_reset();
	int r = tw::server_options(argc, argv);
	if (r)
		return r < 0 ? 0 : r;
	if ((r = tw::server_listen()))
		return r;
	if (tw::wport >= 0 && !tw::fdsn_start(tw::wport))
		return 1;
	r = tw::server_loop();
	tw::fdsn_stop();
	return r;
}
