// Shared pieces of the fuzz targets.
#include "common.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "maps/map.h"
#include "recording.h"
#include "shell/shell.h"

namespace tw {

static char dir[32];

const char *fz_dir()
{
	if (!dir[0]) {
		// Memory-backed where there is one: the setup writer syncs.
		std::snprintf(dir, sizeof dir, "%s/twfz.XXXXXX", access("/dev/shm", W_OK) ? "/tmp" : "/dev/shm");
		if (!mkdtemp(dir))
			fz_fail("no scratch directory");
		std::atexit([] { std::filesystem::remove_all(dir); });
	}
	return dir;
}

void fz_write(const std::string &name, const std::string &s)
{
	std::filesystem::path path = std::filesystem::path(fz_dir()) / name;
	std::filesystem::create_directories(path.parent_path());
	if (!(std::ofstream(path, std::ios::binary) << s << std::flush))
		fz_fail("cannot write a scratch file");
}

std::vector<std::string> fz_split(const uint8_t *data, size_t size, size_t max, const std::string &sep)
{
	std::vector<std::string> parts;
	std::string in(reinterpret_cast<const char *>(data), size);
	size_t at = 0;
	for (size_t k; parts.size() + 1 < max && (k = in.find(sep, at)) != std::string::npos; at = k + sep.size())
		parts.push_back(in.substr(at, k - at));
	parts.push_back(in.substr(at));
	return parts;
}

std::vector<std::string> fz_files(const uint8_t *data, size_t size, std::vector<const char *> names)
{
	auto parts = fz_split(data, size, names.size());
	for (size_t i = 0; i < names.size(); i++)
		if (names[i] && i < parts.size())
			fz_write(names[i], parts[i]);
		else if (names[i])
			std::filesystem::remove(std::string(fz_dir()) + "/" + names[i]);
	return parts;
}

void fz_fresh(int segs)
{
	// One recording for the whole run: its image table is large.
	static Recording *r = new Recording;
	r->calls.clear(), r->input.clear(), r->bells = 0;
	reset_all();
	use_recording(*r);
	store_init(segs);
	std::snprintf(st.drv_s, sizeof st.drv_s, "%s", fz_dir());
	std::snprintf(st.drvo_s, sizeof st.drvo_s, "%s", fz_dir());
}

void fz_check_store(int from, int count, bool empty_too)
{
	if (count < from || count > st.nmax)
		fz_fail("event count out of range");
	for (int i = from; i < count; i++)
		if (rec_marker(event(i)))
			fz_fail("a marker taken for an event");
	// The marker after a full primary half sits in its segment's marker slot.
	const unsigned char *end = count > 0 && count % SEGREC == 0 ? st.iseg[count / SEGREC - 1] + MARKSLOT : event(count);
	if ((count > from || empty_too) && rec_marker(end) != M_END)
		fz_fail("the events do not end with an end marker");
}

void fz_map_box(const uint8_t *c)
{
	mf.a1 = std::min(c[2], c[3]) * 180.0 / 255 - 90, mf.a2 = std::max(c[2], c[3]) * 180.0 / 255 - 90;
	if (mf.a1 == mf.a2)
		mf.a1 > 0 ? mf.a1 -= 1 : mf.a2 += 1;
	mf.b1 = c[0] * 360.0 / 255 - 180, mf.b2 = c[1] * 360.0 / 255 - 180;
	mf.wrap = mf.b1 >= mf.b2;
	if (mf.wrap)
		mf.b2 += 360;
	if (mf.b2 <= mf.b1)
		mf.b2 = mf.b1 + 360;
	map_geometry();
}

} // namespace tw
