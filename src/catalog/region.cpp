// Region lookup: a named box from the auxiliary text file "regions".
#include <cstdio>
#include <cstring>

#include "catalog/select.h"
#include "catalog/server_client.h"
#include "catalog/store.h"

namespace tw {

struct RegionLine {
	char name[11];
	RegionBox box;
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
	auto &w = r.box.w;
	return std::sscanf(s, "%10s %15s %15s %15s %15s %15s %15s %15s %15s", r.name,
			   w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7]) == 9;
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

void put_box(const RegionBox &b, char *const (&words)[8], char *const (&mins)[4])
{
	static constexpr int width[8] = {3, 1, 3, 1, 2, 1, 2, 1};
	for (int i = 0; i < 8; i++)
		std::snprintf(words[i], width[i] + 1, "%s", b.w[i]);
	for (char *m : mins)
		std::memcpy(m, "00", 3);
}

int dist(const char *region, RegionBox &box)
{
	RegionLine r{};
	if (!find_region(region, r))
		return 0;
	box = r.box;
	return 1;
}

} // namespace tw
