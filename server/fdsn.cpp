// tarnwell-server: the FDSN event web service over HTTP (libmicrohttpd).
// Bounded like the retrieval port: an idle-time limit, a connection limit,
// a header memory limit, a cap on events per reply, one log line per
// request.
#include <cstring>
#include <ctime>
#include <microhttpd.h>
#include <mutex>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include "fdsn.h"
#include "server.h"

namespace tw {

constexpr const char *BASE = "/fdsnws/event/1/";
constexpr const char *VERSION = "1.2.0";
constexpr const char *TEXT = "text/plain; charset=utf-8", *XML = "application/xml";

struct Reply {
	int status = 200;
	std::string body;
	const char *type = TEXT;
	long events = -1; // for the log; -1 when not a query
};

using Args = std::vector<std::pair<std::string, std::string>>;

// The catalogue's filter reads process-wide bounds, and the region lookup
// process-wide table lengths: one query at a time.
static std::mutex lock;
static MHD_Daemon *daemon_;

// ---------------------------------------------------------------------------
// Fixed documents
// ---------------------------------------------------------------------------

constexpr const char *WADL =
	"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
	"<application xmlns=\"http://wadl.dev.java.net/2009/02\" "
	"xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">\n"
	"<resources base=\"/fdsnws/event/1/\">\n"
	"<resource path=\"query\"><method name=\"GET\"><request>\n"
	"<param name=\"starttime\" style=\"query\" type=\"xs:dateTime\"/>\n"
	"<param name=\"endtime\" style=\"query\" type=\"xs:dateTime\"/>\n"
	"<param name=\"minlatitude\" style=\"query\" type=\"xs:double\" default=\"-90.0\"/>\n"
	"<param name=\"maxlatitude\" style=\"query\" type=\"xs:double\" default=\"90.0\"/>\n"
	"<param name=\"minlongitude\" style=\"query\" type=\"xs:double\" default=\"-180.0\"/>\n"
	"<param name=\"maxlongitude\" style=\"query\" type=\"xs:double\" default=\"180.0\"/>\n"
	"<param name=\"latitude\" style=\"query\" type=\"xs:double\" default=\"0.0\"/>\n"
	"<param name=\"longitude\" style=\"query\" type=\"xs:double\" default=\"0.0\"/>\n"
	"<param name=\"minradius\" style=\"query\" type=\"xs:double\" default=\"0.0\"/>\n"
	"<param name=\"maxradius\" style=\"query\" type=\"xs:double\" default=\"180.0\"/>\n"
	"<param name=\"mindepth\" style=\"query\" type=\"xs:double\"/>\n"
	"<param name=\"maxdepth\" style=\"query\" type=\"xs:double\"/>\n"
	"<param name=\"minmagnitude\" style=\"query\" type=\"xs:double\"/>\n"
	"<param name=\"maxmagnitude\" style=\"query\" type=\"xs:double\"/>\n"
	"<param name=\"includeallmagnitudes\" style=\"query\" type=\"xs:boolean\"/>\n"
	"<param name=\"includeallorigins\" style=\"query\" type=\"xs:boolean\"/>\n"
	"<param name=\"catalog\" style=\"query\" type=\"xs:string\"/>\n"
	"<param name=\"eventid\" style=\"query\" type=\"xs:string\"/>\n"
	"<param name=\"orderby\" style=\"query\" type=\"xs:string\" default=\"time\"/>\n"
	"<param name=\"limit\" style=\"query\" type=\"xs:int\"/>\n"
	"<param name=\"offset\" style=\"query\" type=\"xs:int\" default=\"1\"/>\n"
	"<param name=\"format\" style=\"query\" type=\"xs:string\" default=\"text\"/>\n"
	"<param name=\"nodata\" style=\"query\" type=\"xs:int\" default=\"204\"/>\n"
	"</request><response status=\"200\"/><response status=\"204 400 404 413\"/>"
	"</method></resource>\n"
	"<resource path=\"version\"/><resource path=\"catalogs\"/>"
	"<resource path=\"contributors\"/><resource path=\"application.wadl\"/>\n"
	"</resources>\n</application>\n";

static const char *reason(int status)
{
	switch (status) {
	case 400: return "Bad Request";
	case 404: return "Not Found";
	case 405: return "Method Not Allowed";
	case 413: return "Request Entity Too Large";
	case 503: return "Service Unavailable";
	}
	return "Error";
}

static std::string now_iso()
{
	time_t t = std::time(nullptr);
	tm u;
	gmtime_r(&t, &u);
	char b[32];
	std::strftime(b, sizeof b, "%Y-%m-%dT%H:%M:%SZ", &u);
	return b;
}

// The standard error document.
static Reply error(int status, const std::string &why, const std::string &request)
{
	Reply r;
	r.status = status;
	r.body = "Error " + std::to_string(status) + ": " + reason(status) + "\n\n" + why +
		 "\n\nUsage details are available from " + BASE + "application.wadl\n\n" +
		 "Request:\n" + request + "\n\nRequest Submitted:\n" + now_iso() +
		 "\n\nService version:\n" + VERSION + "\n";
	return r;
}

static Reply list(const char *outer, const char *inner)
{
	Reply r;
	r.type = XML;
	r.body = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<") + outer + ">\n";
	std::lock_guard<std::mutex> g(lock);
	for (const std::string &c : fdsn_catalogs())
		r.body += std::string("<") + inner + ">" + c + "</" + inner + ">\n";
	r.body += std::string("</") + outer + ">\n";
	return r;
}

// ---------------------------------------------------------------------------
// The query
// ---------------------------------------------------------------------------

static Reply formatted(const FdsnQuery &q, const std::vector<FdsnHit> &hits)
{
	Reply r;
	r.events = (long)hits.size();
	if (q.format == "xml") {
		r.type = XML;
		r.body = fdsn_quakeml(q, hits);
	} else if (q.format == "geojson") {
		r.type = "application/json";
		r.body = fdsn_geojson(q, hits);
	} else
		r.body = fdsn_text(q, hits);
	return r;
}

static Reply query(const Args &args, const std::string &request)
{
	std::lock_guard<std::mutex> g(lock);
	FdsnQuery q;
	std::string why = fdsn_parse(args, fdsn_catalogs(), q);
	if (!why.empty())
		return error(400, why, request);
	if (q.limit > FDSN_MAXOUT)
		return error(413, "limit is above " + std::to_string(FDSN_MAXOUT), request);
	std::vector<FdsnHit> hits;
	if (int status = fdsn_select(q, hits, why); status != 200)
		return error(status, why, request);
	if ((long)hits.size() > FDSN_MAXOUT)
		return error(413, "More than " + std::to_string(FDSN_MAXOUT) +
				  " events match; narrow the request or use limit and offset",
			     request);
	if (hits.empty()) {
		Reply r = error(404, "No data matched the request", request);
		if (q.nodata == 204)
			r.status = 204, r.body.clear();
		r.events = 0;
		return r;
	}
	return formatted(q, hits);
}

static Reply route(const std::string &url, const Args &args, const std::string &request)
{
	if (url.compare(0, std::strlen(BASE), BASE))
		return error(404, "Unknown path " + url, request);
	std::string what = url.substr(std::strlen(BASE));
	if (what == "query")
		return query(args, request);
	Reply r;
	if (what == "version")
		r.body = std::string(VERSION) + "\n";
	else if (what == "application.wadl")
		r.body = WADL, r.type = XML;
	else if (what == "catalogs")
		r = list("Catalogs", "Catalog");
	else if (what == "contributors")
		r = list("Contributors", "Contributor");
	else
		return error(404, "Unknown path " + url, request);
	return r;
}

// ---------------------------------------------------------------------------
// HTTP
// ---------------------------------------------------------------------------

static MHD_Result collect(void *cls, MHD_ValueKind, const char *key, const char *value)
{
	static_cast<Args *>(cls)->emplace_back(key, value ? value : "");
	return MHD_YES;
}

static std::string peer(MHD_Connection *c)
{
	const MHD_ConnectionInfo *i = MHD_get_connection_info(c, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
	char h[NI_MAXHOST], p[NI_MAXSERV];
	if (!i || getnameinfo(i->client_addr, sizeof(sockaddr_storage), h, sizeof h, p, sizeof p,
			      NI_NUMERICHOST | NI_NUMERICSERV))
		return "?";
	return std::strchr(h, ':') ? "[" + std::string(h) + "]:" + p : std::string(h) + ":" + p;
}

// One write per line keeps lines of concurrent requests whole.
static void log_request(MHD_Connection *c, const std::string &request, const Reply &r)
{
	std::string line = now_iso() + " " + peer(c) + " http " + request.substr(0, 300) + " " +
			   std::to_string(r.status);
	if (r.events >= 0)
		line += ", " + std::to_string(r.events) + " events";
	line += ", " + std::to_string(r.body.size()) + " bytes\n";
	if (::write(2, line.data(), line.size()) < 0)
		return;
}

static MHD_Result answer(void *, MHD_Connection *c, const char *url, const char *method,
			 const char *, const char *, size_t *, void **)
{
	Args args;
	MHD_get_connection_values(c, MHD_GET_ARGUMENT_KIND, collect, &args);
	std::string request = url;
	for (size_t i = 0; i < args.size(); i++)
		request += (i ? "&" : "?") + args[i].first + "=" + args[i].second;
	bool get = !std::strcmp(method, "GET") || !std::strcmp(method, "HEAD");
	Reply r = get ? route(url, args, request) : error(405, "Only GET is served", request);
	MHD_Response *resp = MHD_create_response_from_buffer(r.body.size(), r.body.data(),
							     MHD_RESPMEM_MUST_COPY);
	MHD_add_response_header(resp, MHD_HTTP_HEADER_CONTENT_TYPE, r.type);
	MHD_Result ok = MHD_queue_response(c, (unsigned)r.status, resp);
	MHD_destroy_response(resp);
	log_request(c, request, r);
	return ok;
}

static int bound_port()
{
	const MHD_DaemonInfo *i = MHD_get_daemon_info(daemon_, MHD_DAEMON_INFO_BIND_PORT);
	return i ? i->port : 0;
}

bool fdsn_start(int port)
{
	addrinfo hint{}, *res = nullptr;
	hint.ai_socktype = SOCK_STREAM;
	hint.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
	std::string p = std::to_string(port);
	if (getaddrinfo(srv.addr_s, p.c_str(), &hint, &res) || !res) {
		std::fprintf(stderr, "tarnwell-server: unknown address %s\n", srv.addr_s);
		return false;
	}
	unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL | MHD_USE_ERROR_LOG |
			 (res->ai_family == AF_INET6 ? MHD_USE_IPv6 : 0);
	daemon_ = MHD_start_daemon(
		flags, (uint16_t)port, nullptr, nullptr, answer, nullptr, MHD_OPTION_SOCK_ADDR,
		res->ai_addr, MHD_OPTION_THREAD_POOL_SIZE, 2u, MHD_OPTION_CONNECTION_LIMIT,
		(unsigned)srv.maxkids, MHD_OPTION_CONNECTION_TIMEOUT, (unsigned)srv.limit,
		MHD_OPTION_CONNECTION_MEMORY_LIMIT, (size_t)262144, MHD_OPTION_END);
	freeaddrinfo(res);
	if (!daemon_) {
		std::fprintf(stderr, "tarnwell-server: cannot listen on %s port %d for HTTP\n",
			     srv.addr_s, port);
		return false;
	}
	srv_log(nullptr, "fdsnws-event listening on http://%s:%d%s", srv.addr_s, bound_port(), BASE);
	return true;
}

void fdsn_stop()
{
	if (daemon_)
		MHD_stop_daemon(daemon_);
	daemon_ = nullptr;
}

} // namespace tw
