// The setup file "_seis", the OPTION command and the shared text helpers.
//
// [SECTION] Settings and defaults
// [SECTION] Text helpers
// [SECTION] Reading the setup file
// [SECTION] Writing the setup file
// [SECTION] OPTION
#include "shell/setup.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "catalog/store.h"
#include "device/spool.h"
#include "shell/panel.h"
#include "device/safefile.h"
#include "shell/templates.h"

namespace tw {

// [SECTION] Settings and defaults

Settings se;

void settings_reset() { se = Settings{}; }

// Copy cut to the destination's capacity.
static void put(char *dst, size_t size, const char *src)
{
	size_t n = strnlen(src, size - 1);
	std::memmove(dst, src, n);
	dst[n] = 0;
}
template <size_t N> static void put(char (&dst)[N], const char *src) { put(dst, N, src); }

void select_defaults()
{
	put(st.f2_s, "PDE  ");
	put(se.y1_s, "1979"), put(se.m1_s, "01"), put(se.d1_s, "01");
	put(se.h1_s, "00"), put(se.n1_s, "00"), put(se.s1_s, "00.00");
	put(se.y2_s, "1979"), put(se.m2_s, "12"), put(se.d2_s, "31");
	put(se.h2_s, "23"), put(se.n2_s, "59"), put(se.s2_s, "59.99");
	put(se.dst_s, "NWPAC");
	put(se.so1_s, "120"), put(se.som1_s, "00"), put(se.sew1_s, "E");
	put(se.so2_s, "180"), put(se.som2_s, "00"), put(se.sew2_s, "E");
	put(se.sa1_s, "00"), put(se.sam1_s, "00"), put(se.sns1_s, "N");
	put(se.sa2_s, "60"), put(se.sam2_s, "00"), put(se.sns2_s, "N");
	put(se.dp1_s, "000.0"), put(se.dp2_s, "999.9");
	put(se.mg1_s, "+0.0"), put(se.mg2_s, "+9.9");
	put(se.ynh_s, "Y"), put(se.ynm_s, "Y");
}

void dpmg_init()
{
	static constexpr int cdp0[NDPMAX] = {0, 20, 40, 60, 80, 200, 600};
	static constexpr int icd0[NDPMAX] = {4, 5, 6, 2, 3, 1, 7};
	se.ndp = NDPMAX;
	se.nmg = NMGMAX;
	se.ro = 1.5;
	se.ru = 1.25;
	for (int i = 0; i < NDPMAX; i++)
		se.cdp[i] = cdp0[i], se.icd[i] = icd0[i];
	for (int i = 0; i < NMGMAX; i++)
		se.cmg[i] = i;
	put(se.ync_s, "000");
}

// [SECTION] Text helpers

// One line of at most n characters into buf (n + 1 long). cut tells
// whether characters of the same line remain unread.
static int read_piece(char *buf, int n, FILE *f, bool *cut)
{
	int len = 0, c = 0;
	*cut = false;
	while (len < n && (c = std::getc(f)) != EOF && c != '\n')
		buf[len++] = (char)c;
	buf[len] = 0;
	if (len == n && n > 0) {
		int next = std::getc(f);
		if (next != '\n' && next != EOF) {
			std::ungetc(next, f);
			*cut = true;
		}
	}
	// An unterminated last line still counts as a line.
	return len > 0 || c == '\n' || *cut;
}

int ffgets(char *buf, int n, FILE *f)
{
	bool cut;
	return read_piece(buf, n, f, &cut);
}

int ffputs(const char *text, FILE *f)
{
	int r = std::fputs(text, f);
	std::fputc('\n', f);
	return r;
}

char *ggcvt(double value, int width, char *buf)
{
	char fmt[8], tmp[40];
	if (width < 0 || width > 9)
		width = width < 0 ? 0 : 9;
	std::snprintf(fmt, sizeof fmt, "%%%1ug", (unsigned)width);
	std::snprintf(tmp, sizeof tmp, fmt, value);
	const char *p = tmp;
	while (*p == ' ')
		p++;
	put(buf, 14, p);
	return buf;
}

char *hcvt(double value, char *buf) { return ggcvt(value, 6, buf); }

static bool is_separator(char c) { return c == '/' || c == '\\' || c == ':'; }

void add_separator(char *path, size_t size)
{
	size_t n = std::strlen(path);
	if (n == 0 || is_separator(path[n - 1]) || n + 2 > size)
		return;
	path[n] = '/';
	path[n + 1] = 0;
}

void strxcpy(char *dst, size_t size, const char *src)
{
	if (size == 0)
		return;
	put(dst, size, src);
	size_t n = std::strlen(dst);
	while (n > 0 && !std::isgraph((unsigned char)dst[n - 1]))
		dst[--n] = 0;
}

// [SECTION] Reading the setup file

bool mksetup(char *buf, size_t size)
{
	const char *home = std::getenv("HOME");
	int n;
	if (!home)
		n = std::snprintf(buf, size, "_seis");
	else {
		size_t len = std::strlen(home);
		bool sep = len > 0 && is_separator(home[len - 1]);
		n = std::snprintf(buf, size, "%s%s_seis", home, sep ? "" : "/");
	}
	if (n >= 0 && (size_t)n < size)
		return true;
	errno = ENAMETOOLONG;
	return false;
}

// A whole line, cut to the buffer; the rest of an over-long line is
// skipped so that it cannot shift the lines after it.
static int read_line(char *buf, int n, FILE *f)
{
	bool cut;
	int r = read_piece(buf, n, f, &cut);
	while (cut) {
		char rest[81];
		read_piece(rest, 80, f, &cut);
	}
	// A file edited on another system. Every trailing CR goes: one kept
	// would be written back and lost on the next read, a setting that
	// changes from run to run.
	size_t len = std::strlen(buf);
	while (len > 0 && buf[len - 1] == '\r')
		buf[--len] = 0;
	return r;
}

// A setting read whole into its slot; at end of file it becomes empty.
template <size_t N> static void read_setting(char (&dst)[N], FILE *f)
{
	read_line(dst, (int)N - 1, f);
}

// A directory line: only the part before the first blank counts, and a
// blank line leaves the directory as it was. A CR ends it too: kept, it
// would be dropped as a line end when the file is next read.
template <size_t N> static void read_dir(char (&dst)[N], FILE *f)
{
	char line[256];
	read_line(line, sizeof line - 1, f);
	line[std::strcspn(line, " \r")] = 0;
	if (line[0])
		put(dst, line);
}

static void read_select_lines(FILE *f)
{
	read_setting(sp.prn_s, f), read_setting(sp.port_s, f);
	read_setting(st.f2_s, f);
	read_setting(se.y1_s, f), read_setting(se.m1_s, f), read_setting(se.d1_s, f);
	read_setting(se.h1_s, f), read_setting(se.n1_s, f), read_setting(se.s1_s, f);
	read_setting(se.y2_s, f), read_setting(se.m2_s, f), read_setting(se.d2_s, f);
	read_setting(se.h2_s, f), read_setting(se.n2_s, f), read_setting(se.s2_s, f);
	read_setting(se.dst_s, f);
	read_setting(se.so1_s, f), read_setting(se.som1_s, f), read_setting(se.sew1_s, f);
	read_setting(se.so2_s, f), read_setting(se.som2_s, f), read_setting(se.sew2_s, f);
	read_setting(se.sa1_s, f), read_setting(se.sam1_s, f), read_setting(se.sns1_s, f);
	read_setting(se.sa2_s, f), read_setting(se.sam2_s, f), read_setting(se.sns2_s, f);
	read_setting(se.dp1_s, f), read_setting(se.dp2_s, f);
	read_setting(se.mg1_s, f), read_setting(se.mg2_s, f);
	read_setting(se.ynh_s, f), read_setting(se.ynm_s, f);
	read_setting(se.mps_s, f);
}

static int clamp_count(int v, int hi) { return v < 0 ? 0 : v > hi ? hi : v; }

// Numbers beyond a million mean nothing here, and their "%f" texts would
// not fit the line they are written back on.
static double clamp_value(double v) { return v > 1e6 ? 1e6 : v < -1e6 ? -1e6 : v; }

// Up to n numbers of one line; missing or unreadable ones are 0.
static void read_numbers(FILE *f, int n, int *iv, double *dv)
{
	char line[256];
	read_line(line, sizeof line - 1, f);
	char *p = line;
	for (int i = 0; i < n; i++) {
		char *end;
		double v = std::strtod(p, &end);
		if (end == p || !std::isfinite(v))
			v = 0;
		p = end;
		v = clamp_value(v);
		if (iv)
			iv[i] = (int)v;
		else
			dv[i] = v;
	}
}

// Lines 37 to 42; false when line 37 is missing (a file from before the
// symbol classes).
static bool read_symbol_lines(FILE *f)
{
	char line[256];
	if (!read_line(line, sizeof line - 1, f))
		return false;
	dpmg_init();
	int ndp = se.ndp, nmg = se.nmg;
	double ro = se.ro, ru = se.ru;
	std::sscanf(line, "%d %d %lf %lf", &ndp, &nmg, &ro, &ru);
	se.ndp = clamp_count(ndp, NDPMAX);
	se.nmg = clamp_count(nmg, NMGMAX);
	se.ro = std::isfinite(ro) ? clamp_value(ro) : 1.5;
	se.ru = std::isfinite(ru) ? clamp_value(ru) : 1.25;
	read_numbers(f, se.ndp, se.cdp, nullptr);
	read_numbers(f, se.ndp, se.icd, nullptr);
	read_numbers(f, se.nmg, nullptr, se.cmg);
	read_setting(se.ync_s, f);
	read_dir(st.drvo_s, f);
	return true;
}

// The path, shortened from the left when the whole message would not fit,
// so that the message itself is never lost.
static void missing_message(const char *path)
{
	static constexpr const char *tail = " is not found. Check the above options.";
	size_t room = sizeof pn.em_s - 1 - std::strlen(tail);
	size_t len = std::strlen(path);
	if (len <= room)
		set_em("%s%s", path, tail);
	else
		set_em("...%s%s", path + len - (room - 3), tail);
}

static void defaults()
{
	get_printer_defaults(sp.prn_s, sp.port_s);
	select_defaults();
	dpmg_init();
}

static void first_run(const char *path)
{
	defaults();
	se.seisok = 1; // nothing to lose: what OPTION sets is written at exit
	missing_message(path);
	option();
}

// The setup file, or nullptr with errno. O_NONBLOCK: a FIFO in its place must
// not hold up the start waiting for a writer; anything but a regular file is
// refused before a byte is read (a device could be endless).
static FILE *open_setup(const char *path)
{
	int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
	if (fd < 0)
		return nullptr;
	struct stat s;
	FILE *f = fstat(fd, &s) == 0 && S_ISREG(s.st_mode) ? fdopen(fd, "r") : nullptr;
	if (!f) {
		close(fd);
		errno = EINVAL;
	}
	return f;
}

void load_setup()
{
	char path[4096];
	FILE *f = mksetup(path, sizeof path) ? open_setup(path) : nullptr;
	if (!f && errno != ENOENT) {
		// There but unusable: the defaults for this run, and nothing is
		// written back over it at exit.
		std::fprintf(stderr, "%s is not a readable file: default settings are used!\n", path);
		defaults();
		return;
	}
	if (!f) {
		first_run(path);
		return;
	}
	read_dir(st.drv_s, f);
	read_select_lines(f);
	if (!read_symbol_lines(f))
		dpmg_init();
	std::fclose(f);
	se.seisok = 1;
}

// [SECTION] Writing the setup file

// Room for eight numbers of the widest kind read back ("-1000000.000000 ").
static void write_numbers(FILE *f, int n, const int *iv, const double *dv)
{
	char line[160] = "";
	size_t len = 0;
	for (int i = 0; i < n && len < sizeof line - 1; i++) {
		if (iv)
			std::snprintf(line + len, sizeof line - len, "%d ", iv[i]);
		else
			std::snprintf(line + len, sizeof line - len, "%f ", dv[i]);
		len = std::strlen(line);
	}
	ffputs(line, f);
}

static void write_lines(FILE *f)
{
	ffputs(st.drv_s[0] ? st.drv_s : " ", f);
	const char *const text[] = {sp.prn_s, sp.port_s, st.f2_s,
		     se.y1_s, se.m1_s, se.d1_s, se.h1_s, se.n1_s, se.s1_s,
		     se.y2_s, se.m2_s, se.d2_s, se.h2_s, se.n2_s, se.s2_s, se.dst_s,
		     se.so1_s, se.som1_s, se.sew1_s, se.so2_s, se.som2_s, se.sew2_s,
		     se.sa1_s, se.sam1_s, se.sns1_s, se.sa2_s, se.sam2_s, se.sns2_s,
		     se.dp1_s, se.dp2_s, se.mg1_s, se.mg2_s, se.ynh_s, se.ynm_s, se.mps_s};
	for (const char *s : text) // lines 2 to 36
		ffputs(s, f);
	int ndp = clamp_count(se.ndp, NDPMAX), nmg = clamp_count(se.nmg, NMGMAX);
	char line[81];
	std::snprintf(line, sizeof line, "%d %d %f %f", ndp, nmg, se.ro, se.ru);
	ffputs(line, f);
	write_numbers(f, ndp, se.cdp, nullptr);
	write_numbers(f, ndp, se.icd, nullptr);
	write_numbers(f, nmg, nullptr, se.cmg);
	ffputs(se.ync_s, f);
	ffputs(st.drvo_s[0] ? st.drvo_s : " ", f);
}

bool dump_setup()
{
	char path[4096];
	SafeFile out;
	if (!mksetup(path, sizeof path))
		return false;
	if (!safe_open(out, path)) {
		std::fprintf(stderr, "%s cannot be written!\n", path);
		return false;
	}
	write_lines(out.f);
	if (safe_close(out))
		return true;
	std::fprintf(stderr, "%s could not be written completely: the old file is kept!\n", path);
	return false;
}

// [SECTION] OPTION

int option()
{
	pn.isr = 0;
	put(pn.md_s, st.drv_s);
	put(pn.me_s, st.drvo_s);
	put(pn.mf_s, sp.port_s);
	int r = panel(PAN_OPTION);
	if (r != 0 && r != 6)
		return 0;
	strxcpy(st.drv_s, pn.md_s);
	strxcpy(st.drvo_s, pn.me_s);
	strxcpy(sp.port_s, pn.mf_s);
	return 0;
}

} // namespace tw
