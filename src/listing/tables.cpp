// Choosing and loading the region tables for a listing.
#include <cctype>
#include <cstdlib>

#include "catalog/store.h"
#include "listing/listing.h"
#include "shell/setup.h"

namespace tw {

static bool is(const char *letter, char c)
{
	return letter && std::toupper((unsigned char)letter[0]) == c;
}

// The fine Japanese tables cover 125E-148E, 25N-48N; anything else, or a
// box that wraps around, gets the world tables.
int box_kind(const char *so1, const char *sew1, const char *so2, const char *sew2,
	     const char *sa1, const char *sns1, const char *sa2, const char *sns2)
{
	if (!is(sew1, 'E') || !is(sew2, 'E') || !is(sns1, 'N') || !is(sns2, 'N'))
		return RK_WORLD;
	int o1 = std::atoi(so1), o2 = std::atoi(so2);
	int a1 = std::atoi(sa1), a2 = std::atoi(sa2);
	if (o1 >= 125 && o2 <= 148 && o2 >= o1 && a1 >= 25 && a2 <= 48)
		return RK_JAPAN;
	return RK_WORLD;
}

int select_kind()
{
	return box_kind(se.so1_s, se.sew1_s, se.so2_s, se.sew2_s, se.sa1_s, se.sns1_s,
			se.sa2_s, se.sns2_s);
}

struct TableFiles {
	const char *mesh, *names;
};
static constexpr TableFiles tablefiles[3] = {
	{nullptr, nullptr}, {"JAPAN.MES", "JAPAN.NAM"}, {"WORLD.MES", "WORLD.NAM"}};

int load_tables(int kind)
{
	ls.mesl = ls.naml = 0;
	if ((kind != RK_JAPAN && kind != RK_WORLD) || st.nseg < 1)
		return RK_NONE;
	unsigned char *w = st.iseg[workseg()];
	long n = rbload(w, MESH_OFF, tablefiles[kind].mesh);
	ls.mesl = n > MESH_MAX ? MESH_MAX : n; // the name file goes over the rest
	ls.naml = rbload(w, NAME_OFF, tablefiles[kind].names);
	return kind;
}

} // namespace tw
