// Event records and the segmented event store.
#include "catalog/store.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "shell/panel.h"
#include "shell/setup.h"
#include "shell/panel.h"

namespace tw {

Store st;

// The segments never go back, so static blocks serve as well as the heap
// and cannot be refused.
static unsigned char segmem[MAXSEG][SEGSIZE];

void store_reset()
{
	st = Store{};
	st.seglimit = MAXSEG;
}

int alloc_mem()
{
	int lim = st.seglimit > 0 && st.seglimit < MAXSEG ? st.seglimit : MAXSEG;
	st.nseg = 0;
	for (int s = 0; s < lim; s++)
		st.iseg[st.nseg++] = segmem[s];
	return st.nseg;
}

static StoreCounts counts() { return {st.nmax, st.nmax2, st.itot, st.f2_s}; }
StoreCounts (*store_counts)() = counts;

void store_init(int segs)
{
	st.seglimit = segs;
	int s = alloc_mem();
	st.nmax2 = (short)(s / 2 * SEGREC);
	st.nmax = (short)((s - s / 2) * SEGREC);
	st.itot = 0;
	st.isort = 0;
}

int peek(long offset, const unsigned char *block) { return block[offset]; }

int qeek(long offset, const unsigned char *block)
{
	return block[offset] | block[offset + 1] << 8;
}

void poke(int value, long offset, unsigned char *block)
{
	block[offset] = (unsigned char)(value & 0xff);
}

static bool is_data_name(const char *name)
{
	return std::strstr(name, ".B") || std::strstr(name, ".b");
}

// Directory, separator, then the name in lower case: the files are stored
// under lower-case names whatever the program calls them.
void data_path(char *out, int n, const char *name)
{
	std::snprintf(out, n, "%s", is_data_name(name) ? st.drv_s : st.drvo_s);
	add_separator(out, n);
	int len = (int)std::strlen(out);
	for (const char *p = name; *p && len < n - 1; p++)
		out[len++] = (char)std::tolower((unsigned char)*p);
	out[len] = 0;
}

// Reads until the limit or the end of the file; a short read of a regular
// file is rare, but nothing is gained by trusting it.
long bload(unsigned char *block, long offset, const char *name)
{
	char path[160];
	data_path(path, sizeof path, name);
	int fd = ::open(path, O_RDONLY);
	if (fd < 0) {
		set_em("File '%s' does not exist!", path);
		return 0;
	}
	long want = 65535 - offset, got = 0;
	while (got < want) {
		ssize_t r = ::read(fd, block + offset + got, want - got);
		if (r < 0 && errno == EINTR)
			continue;
		if (r < 0) {
			got = 0;
			break;
		}
		if (r == 0)
			break;
		got += r;
	}
	::close(fd);
	return got;
}

int fnyear(long offset, const unsigned char *block)
{
	int c = block[offset];
	if (c < 155)
		return 1900 + c;
	if (c < 255)
		return 1645 + c;
	return qeek(offset + 13, block);
}

double bin2deg(long offset, const unsigned char *block)
{
	const unsigned char *p = block + offset;
	double d = p[0] + (p[1] & 127) / 60.0 + p[2] / 3600.0;
	return p[1] & 128 ? -d : d;
}

int coordkey(long offset, const unsigned char *block)
{
	const unsigned char *p = block + offset;
	int k = p[0] * 256 + (p[1] & 127);
	return p[1] & 128 ? -k : k;
}

double rec_depth(const unsigned char *rec)
{
	int d = qeek(13, rec);
	if (rec[0] == 255 || d == 65535)
		return -1.0;
	return d / 10.0;
}

double rec_mag(const unsigned char *rec)
{
	int m = rec[15];
	if (m == 0)
		return -9999.0;
	return m & 128 ? -(m & 127) / 10.0 : (m & 127) / 10.0;
}

int rec_marker(const unsigned char *rec)
{
	return rec[1] == 255 ? M_LOW + rec[0] : 0;
}

unsigned char *evslot(int base, int i)
{
	return st.iseg[base + i / SEGREC] + 4 + RECLEN * (i % SEGREC);
}

// A segment that fills up and is followed by more events says so in its
// marker slot, so that a scan moves on to the next segment.
void put_event(int base, int i, const unsigned char *rec)
{
	if (i > 0 && i % SEGREC == 0) {
		unsigned char *prev = st.iseg[base + i / SEGREC - 1];
		prev[MARKSLOT] = 0xfe;
		prev[MARKSLOT + 1] = 0xff;
	}
	std::memcpy(evslot(base, i), rec, RECLEN);
}

// Event i's slot is beyond the half when the half is full: the marker then
// goes to the marker slot of the last segment.
void put_marker(int base, int i, int m)
{
	unsigned char *p;
	if (i > 0 && i % SEGREC == 0)
		p = st.iseg[base + i / SEGREC - 1] + MARKSLOT;
	else
		p = evslot(base, i);
	p[0] = (unsigned char)(m & 0xff);
	p[1] = (unsigned char)(m >> 8);
}

void seal_full(int base, int n) { put_marker(base, n, M_END); }

void swap_segments(int n)
{
	int b2 = base2();
	for (int b = 0; b < n && b < b2 && b2 + b < st.nseg; b++) {
		unsigned char *t = st.iseg[b];
		st.iseg[b] = st.iseg[b2 + b];
		st.iseg[b2 + b] = t;
	}
}

} // namespace tw
