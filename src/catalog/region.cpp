// Region lookup: a named box from the auxiliary text file "regions".
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "catalog/select.h"
#include "catalog/server_client.h"
#include "catalog/store.h"
#include "maps/map.h"
#include "shell/setup.h"

namespace tw {

// The box words of one line: longitude from, E/W, longitude to, E/W,
// latitude from, N/S, latitude to, N/S.
struct RegionLine {
	char name[11];
	char w[8][16];
};

// One line of the loaded text, cut to the buffer. Returns the offset of
// the next line.
static long next_line(const unsigned char *p, long at, long len, char *out, int n)
{
	int k = 0;
	while (at < len && p[at] != '\n') {
		if (k < n - 1)
			out[k++] = (char)p[at];
		at++;
	}
	out[k] = 0;
	return at + 1;
}

// Every word is read with a width, so a long word is cut instead of
// running over its buffer.
static bool parse_line(const char *s, RegionLine &r)
{
	return std::sscanf(s, "%10s %15s %15s %15s %15s %15s %15s %15s %15s", r.name,
			   r.w[0], r.w[1], r.w[2], r.w[3], r.w[4], r.w[5], r.w[6], r.w[7]) == 9;
}

// The first line whose name occurs in the typed text; 0 when none.
static int find_region(const char *text, RegionLine &r)
{
	unsigned char *seg = st.iseg[workseg()];
	long len = rbload(seg, 0, "regions");
	char line[160];
	for (long at = 0; at < len;) {
		at = next_line(seg, at, len, line, sizeof line);
		if (!parse_line(line, r))
			return 0;
		if (std::strstr(text, r.name))
			return 1;
	}
	return 0;
}

template <size_t N> static void put(char (&dst)[N], const char *src, int width)
{
	std::snprintf(dst, N, "%.*s", width, src);
}

static void fill_select(const RegionLine &r)
{
	put(se.so1_s, r.w[0], 3), put(se.sew1_s, r.w[1], 1);
	put(se.so2_s, r.w[2], 3), put(se.sew2_s, r.w[3], 1);
	put(se.sa1_s, r.w[4], 2), put(se.sns1_s, r.w[5], 1);
	put(se.sa2_s, r.w[6], 2), put(se.sns2_s, r.w[7], 1);
	for (char *m : {se.som1_s, se.som2_s, se.sam1_s, se.sam2_s})
		std::memcpy(m, "00", 3);
}

static void fill_map(const RegionLine &r)
{
	put(mp.to1_s, r.w[0], 3), put(mp.tew1_s, r.w[1], 1);
	put(mp.to2_s, r.w[2], 3), put(mp.tew2_s, r.w[3], 1);
	put(mp.ta1_s, r.w[4], 2), put(mp.tns1_s, r.w[5], 1);
	put(mp.ta2_s, r.w[6], 2), put(mp.tns2_s, r.w[7], 1);
	for (char *m : {mp.tom1_s, mp.tom2_s, mp.tam1_s, mp.tam2_s})
		std::memcpy(m, "00", 3);
}

int dist(const char *region, int which)
{
	RegionLine r{};
	if (!find_region(region, r))
		return 0;
	if (which == 0)
		fill_select(r);
	else
		fill_map(r);
	return 1;
}

} // namespace tw
