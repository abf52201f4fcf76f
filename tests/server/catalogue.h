// The set-up of the server tests: a fresh program with a store of its own,
// the catalogue the loopback tests serve, and SELECT's form filled from a
// table row.
#pragma once
#include <cstring>
#include <gtest/gtest.h>

#include "catalog/server_client.h"
#include "catalog/store.h"
#include "events.h"
#include "peer.h"
#include "recording.h"
#include "shell/panel.h"

namespace tw {

// The program on the recording back end with a store of its own in dir,
// and no server connection.
struct Fresh : ::testing::Test {
	Recording r;
	TempDir dir;
	void fresh(int segs = 8) { use_recording(r), fresh_store(dir.path, segs), server_client_reset(); }
};

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
