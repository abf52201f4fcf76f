// Retrieval server client: event selections and auxiliary files fetched
// over TCP when a directory option reads "@host" (or "@host:port").
//
// A connection lasts for one request, unless the server's status block
// says KEEPALIVE: then the next request of a SELECT goes on the same one,
// or, when the server offers YEARS too, its later years come unasked.
// Every wait on the peer is bounded, so a server that stalls or misbehaves
// ends the request with a message on the form instead of hanging the
// program; nothing it sends is written outside the work segment or past the
// store's capacity.
#pragma once

namespace tw {

constexpr int SERVER_PORT = 5516;
constexpr int FIELD = 16;        // every text the client sends is one field
constexpr int REQFIELDS = 29;    // fields of an event request
constexpr int MAXCHUNK = 4095;   // records in one reply chunk: one segment

// Bytes 1-5 of the status blocks of an event reply after which the server
// takes another request on the same connection ("KEEP", then the version
// of the extension), zero-padded. A peer that does not know it reads byte
// 0 only, and one that closes after its request is served as ever.
constexpr char KEEPALIVE[] = "KEEP1";

// After KEEPALIVE and its zero byte (bytes 7-11): an offer to send the
// later years of a yearly request unasked. A client that takes it answers
// that block with YEARS_ACK instead of "1"; from then on nobody sends or
// waits for acknowledgements on that connection, and after each year whose
// status blocks say KEEPALIVE the server goes on with the next year, up to
// the request's To year, by itself. Each year still comes as a reply of its
// own. A client that does not know the offer answers "1" as ever.
constexpr char YEARS[] = "YEARS";
constexpr char YEARS_ACK[] = "1 YEARS";
constexpr int YEARS_AT = 1 + sizeof KEEPALIVE; // byte of the offer in the block

// Why the current exchange failed, for the message on the form.
enum SvFail { SV_OK, SV_TIME, SV_CLOSED, SV_BAD };

struct ServerClient {
	int sock;           // connection of the current request, -1 when none
	char myhost[101];   // this host's name, sent with every request
	char host_s[65];    // the "host[:port]" text of the current connection
	int tmo;            // ms one read, write or connect may wait
	int maxtime;        // ms one whole request may take
	long long deadline; // monotonic ms at which the current request ends
	SvFail why;         // what went wrong on the current connection
	bool toend;         // the To bound is the end of year iyy2 (see submit)
	bool keep;          // the last status block offered the connection again
	bool offer;         // ... and the later years unasked (YEARS)
	bool stream;        // this connection took that offer: no acknowledgements
	int next;           // the year the server sends next unasked, 0 none
	long rcvd;          // bytes received for the current request
};
extern ServerClient sv;

void server_client_reset(); // no connection, default time limits

// Connection. host is "name" or "name:port"; 1 when connected, else 0.
int open_server(const char *host);
void close_server();

// Raw exchange on the connection. send_server sends one blank-padded field;
// putn_server writes n bytes; getn_server returns what one read delivered
// (0 when the peer closed, -1 on time-out or error). 1/n on success.
int send_server(const char *text);
int putn_server(const void *bytes, int n);
int getn_server(void *bytes, int n);

// Event requests. submit_server sends the 29 fields of the SELECT form for
// one source and year (0: the whole catalogue). retrv_server runs one
// request and appends its records to the primary half at count: 1 done,
// -1 done and the store is full, 0 failed (message in em_s).
int submit_server(const char *name, int year);
int retrv_server(const char *name, int &count, int year);

// A whole auxiliary file into block + offset, from the server when the
// auxiliary directory reads "@host", else from disk. Bytes placed, 0 on
// any failure (message in em_s).
long rbload(unsigned char *block, long offset, const char *name);

// SELECT's retrieval from the server named by the data directory, bounds
// already built: 1 done (itot tells whether the store filled), 0 back to
// the form with em_s.
int select_server(const char *host);

} // namespace tw
