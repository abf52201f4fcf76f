// tarnwell-server: the FDSN event web service (fdsnws-event 1.2) on its
// own HTTP port. Requests are served on libmicrohttpd's threads in the
// parent; the selection goes through the catalogue's own filter, one
// request at a time, because that filter still reads process-wide bounds.
#pragma once
#include <string>
#include <vector>

namespace tw {

constexpr long FDSN_MAXOUT = 20000;    // events one reply may carry
constexpr long FDSN_MAXHITS = 2000000; // matches held while sorting

struct FdsnTime {
	int y, mo, d, h, mi;
	double s;
};

// One query, in the service's own units.
struct FdsnQuery {
	FdsnTime t1{0, 1, 1, 0, 0, 0};   // start
	FdsnTime t2{9999, 12, 31, 23, 59, 59.9}; // end
	double lat1 = -90, lat2 = 90;    // box, degrees
	double lon1 = -180, lon2 = 180;  // across 180 when lon1 > lon2
	double clat = 0, clon = 0;       // circle centre, when radius is set
	double r1 = 0, r2 = 180;         // radius bounds, degrees
	bool radius = false;
	double d1 = -1e9, d2 = 1e9;      // depth, km
	double m1 = -1e9, m2 = 1e9;      // magnitude
	bool depth = false, mag = false; // bounded: undetermined values are out
	std::string catalog;             // a source name, upper case
	std::string eventid;             // SOURCE-YYYY-N
	int idyear = 0;                  // its year and index
	long idindex = 0;
	std::string orderby = "time";
	long limit = -1, offset = 1;     // offset counts from 1
	std::string format = "text";
	int nodata = 204;
};

// One selected event: the record, its source and place in that year.
struct FdsnHit {
	unsigned char rec[16];
	int year;
	long index; // 1-based among the year's records of its source file
};

// Parse the request's arguments (name, value pairs); "" or the message
// of a 400 reply.
std::string fdsn_parse(const std::vector<std::pair<std::string, std::string>> &args,
		       const std::vector<std::string> &catalogs, FdsnQuery &q);
// An ISO 8601 date, with a time or without; false when malformed.
bool fdsn_time(const std::string &s, FdsnTime &t);

// Sources present in the data directory, upper case, sorted.
std::vector<std::string> fdsn_catalogs();
// The events of q in its order, limit and offset applied: 200, else the
// status and message: 413 past FDSN_MAXHITS, 503 past the time limit.
int fdsn_select(const FdsnQuery &q, std::vector<FdsnHit> &out, std::string &err);

// Replies.
std::string fdsn_id(const std::string &src, const FdsnHit &h);
std::string fdsn_region(const unsigned char *rec); // trimmed, may be ""
std::string fdsn_text(const FdsnQuery &q, const std::vector<FdsnHit> &hits);
std::string fdsn_quakeml(const FdsnQuery &q, const std::vector<FdsnHit> &hits);
std::string fdsn_geojson(const FdsnQuery &q, const std::vector<FdsnHit> &hits);

// The HTTP daemon on port (0: any free one) of srv.addr_s; false when it
// cannot listen. The port taken is logged.
bool fdsn_start(int port);
void fdsn_stop();

} // namespace tw
