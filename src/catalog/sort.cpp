// SORT: a quicksort on one item, then a stable sort on a second item
// within runs of equal first items. The quicksort reads keys from the
// records at each comparison; records move as whole 16-byte blocks.
#include "catalog/sort.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "catalog/store.h"
#include "device/graph.h"
#include "device/screen.h"
#include "shell/panel.h"
#include "shell/templates.h"

namespace tw {

// A year-code-255 record keeps its year in the depth word: its depth is
// unknown, whatever that word reads as.
static double depth_key(const unsigned char *r)
{
	if (fnyear(0, r) < 1885)
		return -1.0;
	if (r[0] == 255)
		return 6553.5;
	return qeek(13, r) / 10.0;
}

double fnarg(int n, int item)
{
	const unsigned char *r = event(n - 1);
	switch (item) {
	case IT_TIME:
		return fnyear(0, r) * 12 + r[1] + (r[2] + (r[3] + r[4] / 60.0) / 24) / 31;
	case IT_LON: return bin2deg(7, r);
	case IT_LAT: return bin2deg(10, r);
	case IT_DEP: return depth_key(r);
	case IT_MAG: return rec_mag(r);
	}
	return 0.0;
}

int fnitem(const char *text)
{
	static constexpr const char *words[5] = {"TIME", "LON", "LAT", "DEP", "MAG"};
	for (int i = 0; i < 5; i++)
		if (std::strstr(text, words[i]))
			return i;
	return IT_BAD;
}

void swap(int a, int b)
{
	unsigned char t[RECLEN];
	std::memcpy(t, event(a), RECLEN);
	std::memcpy(event(a), event(b), RECLEN);
	std::memcpy(event(b), t, RECLEN);
}

static void swap1(int a, int b) { swap(a - 1, b - 1); }

// Splits L..R around the middle key; on return j < i, and L..j and i..R
// are the parts still to sort.
static void partition(int L, int R, int item, bool desc, int &i, int &j)
{
	double pivot = fnarg((L + R) / 2, item);
	i = L, j = R;
	for (;;) {
		if (desc) {
			while (i < R && fnarg(i, item) > pivot) i++;
			while (j > L && fnarg(j, item) < pivot) j--;
		} else {
			while (i < R && fnarg(i, item) < pivot) i++;
			while (j > L && fnarg(j, item) > pivot) j--;
		}
		if (i >= j)
			break;
		swap1(i, j);
		i++, j--;
	}
	if (i == j)
		i++, j--;
}

// The larger part waits on the stack and the loop goes on with the
// smaller, so the stack never holds more than log2(n) ranges.
void quicksort(int n, int item, bool desc)
{
	int ll[64], lr[64], sp = 0;
	int L = 1, R = n;
	for (;;) {
		if (L < R) {
			int i, j;
			partition(L, R, item, desc, i, j);
			if (j - L > R - i)
				ll[sp] = L, lr[sp++] = j, L = i;
			else
				ll[sp] = i, lr[sp++] = R, R = j;
			continue;
		}
		if (!sp)
			return;
		sp--;
		L = ll[sp], R = lr[sp];
	}
}

// A stable sort leaves equal keys in the order they came in, which is the
// order the old exchange sort left, but in n log n: a group of 16,380 equal
// first keys took seconds. Keys are read once, records moved once.
static void sort_group(int s, int e, int item, bool desc)
{
	struct Key {
		double v;
		int n;
	};
	std::vector<Key> keys;
	keys.reserve(e - s + 1);
	for (int n = s; n <= e; n++)
		keys.push_back({fnarg(n, item), n});
	auto before = [desc](const Key &a, const Key &b) { return desc ? a.v > b.v : a.v < b.v; };
	std::stable_sort(keys.begin(), keys.end(), before);
	std::vector<unsigned char> moved(keys.size() * RECLEN);
	for (size_t k = 0; k < keys.size(); k++)
		std::memcpy(&moved[k * RECLEN], event(keys[k].n - 1), RECLEN);
	for (size_t k = 0; k < keys.size(); k++)
		std::memcpy(event(s - 1 + (int)k), &moved[k * RECLEN], RECLEN);
}

void groupsort(int n, int item1, int item2, bool desc)
{
	for (int s = 1; s <= n;) {
		double K = fnarg(s, item1);
		int e = s + 1;
		while (e <= n && fnarg(e, item1) == K)
			e++;
		if (e - s >= 2)
			sort_group(s, e - 1, item2, desc);
		s = e;
	}
}

static void sorting_to(const char *item)
{
	_normal_font();
	wblink();
	move(11, 6);
	printw("Be patient. Now sorting to %s ...", item);
	xflush();
}

static bool blank(const char *s)
{
	for (; *s; s++)
		if (*s != ' ')
			return false;
	return true;
}

static void reverse()
{
	for (int k = 0; k < st.itot / 2; k++)
		swap(k, st.itot - 1 - k);
}

// The first pass; false when its item is invalid.
static bool first_pass(const char *item, bool desc)
{
	bool time = !std::strcmp(item, "TIME");
	if (time && st.isort == 0) {
		if (desc) {
			st.isort = 1;
			reverse();
		}
		return true;
	}
	int num = fnitem(item);
	if (num == IT_BAD)
		return false;
	sorting_to(item);
	st.isort = time && !desc ? 0 : 1;
	quicksort(st.itot, num, desc);
	return true;
}

static void initial_fields()
{
	std::strcpy(pn.mc_s[0], "MAG ");
	std::strcpy(pn.mc_s[1], "D");
	std::strcpy(pn.mc_s[2], "    ");
	std::strcpy(pn.mc_s[3], " ");
}

int sort_round()
{
	if (!first_pass(pn.mc_s[0], pn.mc_s[1][0] == 'D')) {
		set_em("The first item is invalid!");
		pn.isr = 0;
		return -1;
	}
	if (!blank(pn.mc_s[2])) {
		int num2 = fnitem(pn.mc_s[2]);
		if (num2 == IT_BAD) {
			standend();
			set_em("The second item is invalid!");
			pn.isr = 2;
			return -1;
		}
		sorting_to(pn.mc_s[2]);
		st.isort = 1;
		groupsort(st.itot, fnitem(pn.mc_s[0]), num2, pn.mc_s[3][0] == 'D');
	}
	standend();
	return 0;
}

int sort()
{
	if (st.itot == 0)
		return 3;
	if (st.itot > st.nmax2)
		return 4;
	initial_fields();
	pn.isr = 0;
	for (;;) {
		int p = panel(PAN_SORT);
		if (p == 3 || p < 0)
			return 0;
		int r = sort_round();
		if (r >= 0)
			return r;
	}
}

} // namespace tw
