// tarnwell-server: FDSN replies: the standard text, QuakeML 1.2 and
// GeoJSON, one event per selected record.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>
#include <sstream>

#include "catalog/store.h"
#include "fdsn.h"
#include "listing/listing.h"
#include "server.h"

namespace tw {

constexpr const char *TEXT_HEAD = "#EventID|Time|Latitude|Longitude|Depth/km|Author|Catalog|"
				  "Contributor|ContributorID|MagType|Magnitude|MagAuthor|"
				  "EventLocationName\n";
constexpr const char *QML_NS = "http://quakeml.org/xmlns/bed/1.2";
constexpr const char *QML_Q = "http://quakeml.org/xmlns/quakeml/1.2";
constexpr const char *SMI = "smi:tarnwell/fdsnws/event/1/";

std::string fdsn_id(const std::string &src, const FdsnHit &h)
{
	return src + "-" + std::to_string(h.year) + "-" + std::to_string(h.index);
}

// Month and day 0 (unknown) are kept as 00, so a client reading the text
// back gets the same record.
static std::string iso(const FdsnHit &h, const char *zone)
{
	char b[40];
	std::snprintf(b, sizeof b, "%04d-%02d-%02dT%02d:%02d:%04.1f%s", h.year, h.rec[1],
		      h.rec[2], h.rec[3], h.rec[4], qeek(5, h.rec) / 10.0, zone);
	return b;
}

static std::string num(double v, int decimals)
{
	char b[32];
	std::snprintf(b, sizeof b, "%.*f", decimals, v);
	return b;
}

// The world tables, read again for every request so that new region
// files take effect without a restart.
static unsigned char tables[SEGSIZE];

static void load_tables()
{
	long m = load(srv.auxfd, "WORLD.MES", tables + MESH_OFF, MESH_MAX);
	long n = load(srv.auxfd, "WORLD.NAM", tables + NAME_OFF, SEGSIZE - NAME_OFF);
	ls.mesl = m < 0 ? 0 : m;
	ls.naml = n < 0 ? 0 : n;
}

std::string fdsn_region(const unsigned char *rec)
{
	std::string s = region(RK_WORLD, rec[10], rec[11] & 128 ? 'S' : 'N', rec[7],
			       rec[8] & 128 ? 'W' : 'E', std::fabs(bin2deg(10, rec)), tables);
	while (!s.empty() && s.back() == ' ')
		s.pop_back();
	for (char &c : s)
		if (c == '|')
			c = '/'; // the text format's separator
	return s;
}

std::string fdsn_text(const FdsnQuery &q, const std::vector<FdsnHit> &hits)
{
	load_tables();
	std::string out = TEXT_HEAD;
	const std::string &c = q.catalog;
	for (const FdsnHit &h : hits) {
		double d = rec_depth(h.rec), m = rec_mag(h.rec);
		std::string id = fdsn_id(c, h), mag = m > -1000 ? num(m, 1) : "";
		out += id + "|" + iso(h, "") + "|" + num(bin2deg(10, h.rec), 5) + "|" +
		       num(bin2deg(7, h.rec), 5) + "|" + (d >= 0 ? num(d, 1) : "") + "|" + c + "|" +
		       c + "|" + c + "|" + id + "||" + mag + "|" + (mag.empty() ? "" : c) + "|" +
		       fdsn_region(h.rec) + "\n";
	}
	return out;
}

static void value(pugi::xml_node parent, const char *name, const std::string &v)
{
	parent.append_child(name).append_child("value").text().set(v.c_str());
}

static void qml_event(pugi::xml_node ep, const std::string &c, const FdsnHit &h)
{
	std::string id = fdsn_id(c, h), origin = SMI + ("origin/" + id), magid = SMI + ("magnitude/" + id);
	double d = rec_depth(h.rec), m = rec_mag(h.rec);
	pugi::xml_node e = ep.append_child("event");
	e.append_attribute("publicID") = (SMI + ("event/" + id)).c_str();
	pugi::xml_node desc = e.append_child("description");
	desc.append_child("text").text().set(fdsn_region(h.rec).c_str());
	desc.append_child("type").text().set("region name");
	e.append_child("preferredOriginID").text().set(origin.c_str());
	if (m > -1000)
		e.append_child("preferredMagnitudeID").text().set(magid.c_str());
	pugi::xml_node o = e.append_child("origin");
	o.append_attribute("publicID") = origin.c_str();
	value(o, "time", iso(h, "Z"));
	value(o, "latitude", num(bin2deg(10, h.rec), 5));
	value(o, "longitude", num(bin2deg(7, h.rec), 5));
	if (d >= 0)
		value(o, "depth", num(d * 1000, 0)); // QuakeML depths are in metres
	o.append_child("creationInfo").append_child("agencyID").text().set(c.c_str());
	if (m <= -1000)
		return;
	pugi::xml_node g = e.append_child("magnitude");
	g.append_attribute("publicID") = magid.c_str();
	value(g, "mag", num(m, 1));
	g.append_child("originID").text().set(origin.c_str());
}

std::string fdsn_quakeml(const FdsnQuery &q, const std::vector<FdsnHit> &hits)
{
	load_tables();
	pugi::xml_document doc;
	pugi::xml_node decl = doc.append_child(pugi::node_declaration);
	decl.append_attribute("version") = "1.0";
	decl.append_attribute("encoding") = "UTF-8";
	pugi::xml_node root = doc.append_child("q:quakeml");
	root.append_attribute("xmlns:q") = QML_Q;
	root.append_attribute("xmlns") = QML_NS;
	pugi::xml_node ep = root.append_child("eventParameters");
	ep.append_attribute("publicID") = (SMI + std::string("query")).c_str();
	for (const FdsnHit &h : hits)
		qml_event(ep, q.catalog, h);
	std::ostringstream s;
	doc.save(s, "", pugi::format_raw);
	return s.str();
}

std::string fdsn_geojson(const FdsnQuery &q, const std::vector<FdsnHit> &hits)
{
	load_tables();
	nlohmann::json features = nlohmann::json::array();
	for (const FdsnHit &h : hits) {
		double d = rec_depth(h.rec), m = rec_mag(h.rec);
		nlohmann::json coords = {bin2deg(7, h.rec), bin2deg(10, h.rec)};
		coords.push_back(d >= 0 ? nlohmann::json(d) : nlohmann::json());
		features.push_back({{"type", "Feature"},
				    {"id", fdsn_id(q.catalog, h)},
				    {"geometry", {{"type", "Point"}, {"coordinates", coords}}},
				    {"properties",
				     {{"time", iso(h, "Z")},
				      {"mag", m > -1000 ? nlohmann::json(m) : nlohmann::json()},
				      {"place", fdsn_region(h.rec)},
				      {"catalog", q.catalog}}}});
	}
	nlohmann::json fc = {{"type", "FeatureCollection"}, {"features", features}};
	return fc.dump() + "\n";
}

} // namespace tw
