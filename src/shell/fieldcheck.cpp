// The numeric fields of the forms: what each may hold, checked on Enter so
// that no command reads a value it cannot mean ("19A0" as 19, month 20).
#include <cstdlib>
#include <cstring>

#include "shell/panel.h"
#include "shell/templates.h"

namespace tw {

namespace {

// One kind of field. A blank field reads as 0 unless blank says that the
// form gives it a meaning of its own (a symbol class that is not used).
struct Rule {
	char kind;
	bool sign, point, blank; // may hold a sign, a decimal point, be blank
	double lo, hi;
	const char *bad;   // not a number of the kind
	const char *range; // a number outside lo..hi
};

constexpr const char *DATE = "Invalid date!", *TIME = "Invalid time!";
constexpr const char *DEPTH = "Invalid depth!", *MAG = "Invalid magnitude!";
constexpr const char *COLOR = "Invalid color number!";

// kind  sign   point  blank  lo     hi      bad                    range
constexpr Rule rules[] = {
	{'Y', false, false, false, 0, 9999, DATE, DATE},        // year
	{'M', false, false, false, 1, 12, DATE, DATE},          // month
	{'D', false, false, false, 1, 31, DATE, DATE},          // day (and its month)
	{'h', false, false, false, 0, 23, TIME, TIME},          // hour
	{'m', false, false, false, 0, 59, TIME, TIME},          // minute
	{'s', false, true, false, 0, 59.999, TIME, TIME},       // seconds
	{'O', false, false, false, 0, 180, "Invalid longitude!",
	 "Longitude values should not exceed 180 degrees!"},    // longitude degrees
	{'A', false, false, false, 0, 90, "Invalid latitude!",
	 "Latitude values should not exceed 90 degrees!"},      // latitude degrees
	{'n', false, false, false, 0, 59, "Invalid minute value!",
	 "Minute values should be less than 60!"},              // degree minutes
	{'k', false, true, false, 0, 999.9, DEPTH, DEPTH},      // depth, km
	{'K', false, false, false, 0, 9999, DEPTH, DEPTH},      // whole km of depth
	{'b', false, false, true, 0, 999, DEPTH, DEPTH},        // depth class bound
	{'g', true, true, false, -9.9, 9.9, MAG, MAG},          // magnitude
	{'G', true, true, true, -9.9, 9.9, MAG, MAG},           // magnitude class bound
	{'c', false, false, false, 1, 7, COLOR, COLOR},         // colour
	{'C', false, false, true, 1, 7, COLOR, COLOR},          // colour of a class
	{'z', false, true, false, 0, 9999, "Invalid symbol size!",
	 "Invalid symbol size!"},                               // symbol size, factor
	{'x', false, false, false, 0, 9999, "Invalid distance!",
	 "Invalid distance!"},                                  // distance, km
	{'f', false, false, false, 1, 6, "Invalid subfunction number!",
	 "Invalid subfunction number!"},                        // subfunction
};

// The kind of each field by field number ('.' not checked: names, Y/N,
// display fields), and the first fields of a From and a To time.
struct FormKinds {
	int number;
	const char *kinds;
	int from, to; // -1: no time window
};

constexpr FormKinds forms[] = {
	{PAN_SELECT, ".YMDhmsYMDhms.OnEOnEAnNAnNkkgg..", 1, 7},
	{PAN_MAP, "..OnEOnEAnNAnN.K", -1, -1},
	{PAN_MAP1, "bCbCbCbCbCbCbCGGGGGGGGzz", -1, -1},
	{PAN_MAP2, ".............f.", -1, -1},
	{PAN_MAPS3, "..................xxxx", -1, -1},
	{PAN_MAPS4, "..................YMDhmsYMDhms.xx", 18, 24},
	{PAN_MAPS5, ".cccc", -1, -1},
};

const Rule *rule(char kind)
{
	for (const Rule &r : rules)
		if (r.kind == kind)
			return &r;
	return nullptr;
}

bool blank(const char *s) { return s[std::strspn(s, " ")] == 0; }

// Blanks around the number, none inside it; at least one digit.
bool number(const char *s, const Rule &r, double *v)
{
	const char *p = s + std::strspn(s, " "), *start = p;
	if (r.sign && (*p == '+' || *p == '-'))
		p++;
	int digits = 0, points = 0;
	for (; *p && *p != ' '; p++) {
		if (*p >= '0' && *p <= '9')
			digits++;
		else if (*p != '.' || !r.point || points++)
			return false;
	}
	*v = std::strtod(start, nullptr);
	return digits && blank(p);
}

// Gregorian: the catalogues hold real dates.
int month_days(int y, int m)
{
	constexpr int len[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
	bool leap = y % 4 == 0 && (y % 100 != 0 || y % 400 == 0);
	return len[m - 1] + (m == 2 && leap);
}

double value(int i) { return std::atof(pn.mc_s[i]); }

// A hemisphere letter of the two in ok; blank reads as the first.
bool hemisphere(const char *s, const char *ok)
{
	s += std::strspn(s, " ");
	return !*s || (std::strchr(ok, *s) && blank(s + 1));
}

// The message for field i of a kind, or nullptr when it holds a good value.
// Days depend on the month and year before them, 180 and 90 degrees on
// the minutes after them; those fields come first in every form.
const char *check(int i, char kind)
{
	const char *s = pn.mc_s[i];
	if (kind == 'E')
		return hemisphere(s, "EW") ? nullptr : "Invalid longitude!";
	if (kind == 'N')
		return hemisphere(s, "NS") ? nullptr : "Invalid latitude!";
	const Rule *r = rule(kind);
	double v = 0;
	if (!r || (r->blank && blank(s)))
		return nullptr;
	if (!blank(s) && !number(s, *r, &v))
		return r->bad;
	if (v < r->lo || v > r->hi)
		return r->range;
	if (kind == 'D' && v > month_days((int)value(i - 2), (int)value(i - 1)))
		return r->range;
	if ((kind == 'O' || kind == 'A') && v == r->hi && value(i + 1) > 0)
		return r->range;
	return nullptr;
}

// From after To, compared from the year down to the seconds.
bool reversed(int from, int to)
{
	for (int k = 0; k < 6; k++)
		if (value(from + k) != value(to + k))
			return value(from + k) > value(to + k);
	return false;
}

} // namespace

int bad_field(int number)
{
	for (const FormKinds &f : forms) {
		if (f.number != number)
			continue;
		int n = (int)std::strlen(f.kinds);
		for (int i = 0; i < n && i < MAXFIELD; i++)
			if (const char *msg = check(i, f.kinds[i])) {
				set_em("%s", msg);
				return i;
			}
		if (f.from >= 0 && reversed(f.from, f.to)) {
			set_em("%s", DATE);
			return f.from;
		}
	}
	return -1;
}

} // namespace tw
