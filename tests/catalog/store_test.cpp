// The event record's decoding and the store's loads.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "catalog/store.h"
#include "events.h"
#include "recording.h"
#include "shell/panel.h"

namespace tw {
namespace {

TEST(Store, DecodesYearsPlacesDepthsAndMagnitudes)
{
	for (auto [code, year] : {std::pair{154, 2054}, {155, 1800}, {254, 1899}}) {
		unsigned char y[16] = {(unsigned char)code};
		EXPECT_EQ(year, fnyear(0, y)) << code;
	}
	Ev old(1703), w(1990);
	EXPECT_EQ(1703, fnyear(0, old.b.data()));
	EXPECT_LT(rec_depth(old.b.data()), 0); // the depth word holds the year
	w.b[7] = 135, w.b[8] = 0x9e, w.b[9] = 30;
	EXPECT_EQ(-34590, coordkey(7, w.b.data()));
	EXPECT_NEAR(-135.508333, bin2deg(7, w.b.data()), 1e-6);
	unsigned char m[16] = {};
	for (auto [byte, mag] : {std::pair{0x85, -0.5}, {0, -9999.0}, {0x7f, 12.7}}) {
		m[15] = (unsigned char)byte;
		EXPECT_DOUBLE_EQ(mag, rec_mag(m)) << byte;
	}
	m[13] = m[14] = 0xff;
	EXPECT_LT(rec_depth(m), 0);
	m[13] = 0x0a, m[14] = 0;
	EXPECT_DOUBLE_EQ(1.0, rec_depth(m));
	poke(0x1ff, 15, m);
	EXPECT_EQ(0xff, peek(15, m));
}

// Names are lower-cased; auxiliary files come from the other directory;
// a load never runs past the segment.
TEST(Store, LoadsUnderLowerCaseNamesAndNeverPastTheSegment)
{
	Recording r;
	use_recording(r);
	TempDir dir;
	fresh_store(dir.path);
	std::strcpy(st.drvo_s, "/aux/");
	char path[160];
	for (auto [name, want] : {std::pair{"VELA.B", dir.path + "/vela.b"}, {"JAPAN.MES", "/aux/japan.mes"}}) {
		data_path(path, sizeof path, name);
		EXPECT_EQ(want, path);
	}
	unsigned char *w = st.iseg[workseg()];
	dir.text("big.b", std::string(70000, 'x'));
	w[65535] = 0;
	EXPECT_EQ(65535 - 100, bload(w, 100, "BIG.B"));
	EXPECT_EQ(0, w[65535]);
}

} // namespace
} // namespace tw
