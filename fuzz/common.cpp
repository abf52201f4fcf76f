// Shared pieces of the fuzz targets.
#include "common.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <ftw.h>
#include <unistd.h>

#include "catalog/store.h"
#include "device/graph.h"
#include "maps/map.h"
#include "recording.h"
#include "shell/panel.h"
#include "shell/setup.h"
#include "shell/shell.h"

namespace tw {

static char dir[32];

static int remove_one(const char *path, const struct stat *, int, FTW *)
{
	return ::remove(path);
}

static void remove_dir() { nftw(dir, remove_one, 16, FTW_DEPTH | FTW_PHYS); }

const char *fz_dir()
{
	if (!dir[0]) {
		// Memory-backed where there is one: the setup writer syncs.
		const char *base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
		std::snprintf(dir, sizeof dir, "%s/twfz.XXXXXX", base);
		if (!mkdtemp(dir))
			fz_fail("no scratch directory");
		std::atexit(remove_dir);
	}
	return dir;
}

static void path_of(const char *name, char *out, size_t n)
{
	std::snprintf(out, n, "%s/%s", fz_dir(), name);
}

void fz_write(const char *name, const unsigned char *p, size_t n)
{
	char path[128];
	path_of(name, path, sizeof path);
	int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC, 0600);
	if (fd < 0)
		fz_fail("cannot write a scratch file");
	for (size_t done = 0; done < n;) {
		ssize_t r = ::write(fd, p + done, n - done);
		if (r <= 0)
			fz_fail("cannot write a scratch file");
		done += (size_t)r;
	}
	::close(fd);
}

void fz_write(const char *name, const std::string &s)
{
	fz_write(name, reinterpret_cast<const unsigned char *>(s.data()), s.size());
}

void fz_remove(const char *name)
{
	char path[128];
	path_of(name, path, sizeof path);
	::unlink(path);
}

std::vector<std::string> fz_split(const uint8_t *data, size_t size, size_t max)
{
	std::vector<std::string> parts;
	std::string in(reinterpret_cast<const char *>(data), size);
	size_t at = 0, seplen = std::strlen(FZ_SEP);
	while (parts.size() + 1 < max) {
		size_t k = in.find(FZ_SEP, at);
		if (k == std::string::npos)
			break;
		parts.push_back(in.substr(at, k - at));
		at = k + seplen;
	}
	parts.push_back(in.substr(at));
	return parts;
}

// One recording for the whole run: its image table is large.
static Recording &recording()
{
	static Recording *r = new Recording;
	return *r;
}

void fz_fresh(int segs)
{
	Recording &r = recording();
	r.calls.clear();
	r.input.clear();
	r.bells = 0;
	reset_all();
	use_recording(r);
	store_init(segs);
	std::snprintf(st.drv_s, sizeof st.drv_s, "%s", fz_dir());
	std::snprintf(st.drvo_s, sizeof st.drvo_s, "%s", fz_dir());
}

const unsigned char *fz_end_slot(int i)
{
	if (i > 0 && i % SEGREC == 0)
		return st.iseg[i / SEGREC - 1] + MARKSLOT;
	return evslot(0, i);
}

void fz_fail(const char *what)
{
	std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
	std::abort();
}

void fz_map_box(const uint8_t *c)
{
	mf.b1 = c[0] * 360.0 / 255 - 180;
	mf.b2 = c[1] * 360.0 / 255 - 180;
	double a = c[2] * 180.0 / 255 - 90, b = c[3] * 180.0 / 255 - 90;
	if (a > b) {
		double t = a;
		a = b, b = t;
	}
	if (a == b)
		a > 0 ? a -= 1 : b += 1;
	mf.a1 = a, mf.a2 = b;
	mf.wrap = mf.b1 >= mf.b2;
	if (mf.wrap)
		mf.b2 += 360;
	if (mf.b2 <= mf.b1)
		mf.b2 = mf.b1 + 360;
	map_geometry();
}

} // namespace tw
