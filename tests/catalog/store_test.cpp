// The event record's decoding and the store's layout, copying and loads.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "catalog/store.h"
#include "events.h"
#include "recording.h"
#include "shell/panel.h"

namespace tw {
namespace {

using Ints = std::vector<int>;

struct StoreTest : ::testing::Test {
	Recording r;
	TempDir dir;
	void SetUp() override
	{
		use_recording(r);
		fresh_store(dir.path);
	}
};

TEST_F(StoreTest, DecodesYearsPlacesDepthsAndMagnitudes)
{
	Ev old(1703);
	EXPECT_EQ(255, old.b[0]);
	EXPECT_EQ(1703, fnyear(0, old.b.data()));
	EXPECT_LT(rec_depth(old.b.data()), 0); // the depth word holds the year
	for (auto [code, year] : {std::pair{154, 2054}, {155, 1800}, {254, 1899}}) {
		unsigned char y[16] = {(unsigned char)code};
		EXPECT_EQ(year, fnyear(0, y)) << code;
	}

	Ev w(1990);
	w.b[7] = 135, w.b[8] = 0x9e, w.b[9] = 30;
	EXPECT_EQ(-34590, coordkey(7, w.b.data()));
	EXPECT_NEAR(-135.508333, bin2deg(7, w.b.data()), 1e-6);
	w.lat(12, 30, 0, true);
	EXPECT_EQ(-(12 * 256 + 30), coordkey(10, w.b.data()));
	EXPECT_DOUBLE_EQ(-12.5, bin2deg(10, w.b.data()));

	unsigned char m[16] = {};
	for (auto [byte, mag] : {std::pair{0x85, -0.5}, {0, -9999.0}, {0x7f, 12.7}}) {
		m[15] = (unsigned char)byte;
		EXPECT_DOUBLE_EQ(mag, rec_mag(m)) << byte;
	}
	m[13] = m[14] = 0xff;
	EXPECT_LT(rec_depth(m), 0);
	m[13] = 0x0a, m[14] = 0;
	EXPECT_DOUBLE_EQ(1.0, rec_depth(m));

	const unsigned char q[2] = {0x34, 0x12};
	EXPECT_EQ(4660, qeek(0, q));
	unsigned char p[1];
	poke(0x1ff, 0, p);
	EXPECT_EQ(0xff, peek(0, p));
}

TEST_F(StoreTest, CopyingMarksContinuationAndEnd)
{
	Ev e(1990);
	for (int i = 0; i < 4095; i++)
		put_event(0, i, e.id(i).b.data());
	put_marker(0, 4095, M_END); // a full segment ends in its marker slot
	EXPECT_EQ(M_END, qeek(MARKSLOT, st.iseg[0]));
	put_event(0, 4095, e.id(4095).b.data());
	EXPECT_EQ(M_CONT, qeek(MARKSLOT, st.iseg[0]));
	EXPECT_EQ(4095, qeek(5, st.iseg[1] + 4));
	put_marker(0, 4096, M_END);
	EXPECT_EQ(M_END, qeek(4 + 16, st.iseg[1]));

	// The secondary half has its own continuation slots.
	put_event(base2(), 4095, e.b.data());
	EXPECT_EQ(M_CONT, qeek(MARKSLOT, st.iseg[base2()]));

	std::pair<unsigned char *, unsigned char *> before{st.iseg[0], st.iseg[base2()]};
	swap_segments(1);
	EXPECT_EQ(before, std::pair(st.iseg[base2()], st.iseg[0]));
}

TEST_F(StoreTest, LoadsWholeFilesUnderLowerCaseNames)
{
	dir.write("vela.b", {Ev(1900).id(7)});
	unsigned char *w = st.iseg[workseg()];
	EXPECT_EQ(4 + 16 + 2, bload(w, 0, "VELA.B"));
	EXPECT_EQ(7, qeek(4 + 5, w));

	// Names are lower-cased; auxiliary tables come from the other directory.
	const char *paths[][4] = {{"/data/seis", "", "VELA.B", "/data/seis/vela.b"},
				  {"", "", "VELA.B", "vela.b"},
				  {"/data/seis", "/aux/", "JAPAN.MES", "/aux/japan.mes"}};
	for (auto [drv, drvo, name, want] : paths) {
		char path[160];
		std::strcpy(st.drv_s, drv);
		std::strcpy(st.drvo_s, drvo);
		data_path(path, sizeof path, name);
		EXPECT_STREQ(want, path);
	}

	std::strcpy(st.drv_s, dir.path.c_str());
	EXPECT_EQ(0, bload(w, 0, "JMA-95.B"));
	EXPECT_EQ("File '" + dir.path + "/jma-95.b' does not exist!", std::string(pn.em_s));

	// Never past the segment: at most 65535 - offset bytes.
	dir.text("big.b", std::string(70000, 'x'));
	w[65535] = 0;
	EXPECT_EQ(65535 - 100, bload(w, 100, "BIG.B"));
	EXPECT_EQ(0, w[65535]);
}

} // namespace
} // namespace tw
