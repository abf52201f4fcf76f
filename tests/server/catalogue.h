// The catalogue the loopback tests serve, and SELECT's form filled from a
// table row, shared by the retrieval and the FDSN web service tests.
#pragma once
#include "peer.h"

namespace tw {

// Historical catalogues, yearly files with continuation parts, a gap in
// JMA's years (1932), and a source big enough to fill a small store.
void make_data(const TempDir &d);

struct Form {
	const char *src, *y1, *y2;
	const char *lon1 = "000", *lon2 = "000", *ew1 = "E", *ew2 = "E";
	const char *lat1 = "90", *lat2 = "90", *ns1 = "S", *ns2 = "N";
	const char *dp1 = "000.0", *dp2 = "999.9", *mg1 = "-9.9", *mg2 = "+9.9";
	const char *ynh = "Y", *ynm = "Y", *region = "";
	const char *m1 = "01", *d1 = "01", *m2 = "12", *d2 = "31";
	int segs = 8;
};

void apply(const Form &f); // into the settings SELECT reads

} // namespace tw
