// tarnwell-server: answers Tarnwell's event and file requests from a data
// directory of dataset files and an auxiliary directory.
//
// The parent accepts connections and hands each to a child process of its
// own, so a slow or hostile client holds up nobody else, every request gets
// a fresh copy of the catalogue's filter state, and a time limit can end a
// request without touching the others.
#pragma once
#include <csignal>
#include <sys/types.h>

namespace tw {

constexpr int MAXKIDS = 4096; // requests served at once, at most

struct Server {
	int port;          // TCP port to listen on; 0 takes any free one
	char addr_s[64];   // address to listen on
	char data_s[512];  // directory of the dataset files
	char aux_s[512];   // directory of the auxiliary files
	int datafd;        // the data directory, opened once
	int auxfd;         // the auxiliary directory, opened once
	int limit;         // seconds one request may take
	int maxkids;       // requests served at once
	int nkids;         // requests being served now
	int lfd;           // listening socket
	int conn;          // the connection a child serves
	char peer_s[64];   // the client's address, for the log
	pid_t kids[MAXKIDS]; // running children, ended at shutdown if they stay
	int wake[2];       // pipe through which signal handlers wake the loop
	char alarm_s[160]; // the child's log line for its time limit
};
extern Server srv;
extern volatile sig_atomic_t srv_stop; // SIGTERM or SIGINT arrived

void server_reset();

// Start-up: options, then the listening socket. 0 on success, else the
// exit status; the reason is on standard error.
int server_options(int argc, char **argv);
int server_listen();
int server_loop(); // until SIGTERM; the exit status

// One connection, in the child.
void serve(int fd);
void serve_events(const char (*f)[17]);
void serve_file(const char *name);

// Whole-byte exchange with the client. False when it closed or failed;
// the request's time limit bounds every wait.
bool readn(void *buf, long n);
bool writen(const void *buf, long n);
bool send_status(bool exists, const char *text);
void cork(bool on); // hold small writes back until uncorked

// A file of dir under its lower-case name into buf (at most max bytes).
// -1 when the name is unsafe or no regular file has it.
long load(int dirfd, const char *name, unsigned char *buf, long max);
bool safe_name(const char *name);

// One line on standard error: time, client, then the text.
void srv_log(const char *fmt, ...) __attribute__((format(printf, 1, 2)));

} // namespace tw
