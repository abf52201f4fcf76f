// Files replaced whole by a temporary file and a rename.
#include "device/safefile.h"

#include <cctype>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tw {

// Temporary files are "<target>.XXXXXX.tmp": the suffix keeps a user's own
// "<target>.backup" from ever being taken for one of ours.
static constexpr const char *TMP_SUFFIX = ".tmp";
static constexpr int TMP_RANDOM = 6;
// Older than this, a temporary file of ours is a leftover of a killed write,
// not one another instance is writing right now.
static constexpr time_t STALE_AFTER = 60;

static std::string dir_of(const std::string &p)
{
	size_t slash = p.rfind('/');
	return slash == std::string::npos ? "" : p.substr(0, slash + 1);
}

TargetKind resolve_target(const char *path, std::string &final)
{
	final = path;
	for (int hops = 0; hops < 40; hops++) {
		struct stat s;
		if (lstat(final.c_str(), &s) != 0)
			return TARGET_NONE;
		if (!S_ISLNK(s.st_mode))
			return S_ISREG(s.st_mode) ? TARGET_FILE : TARGET_OTHER;
		char link[4096];
		ssize_t n = readlink(final.c_str(), link, sizeof link - 1);
		if (n < 0)
			return TARGET_OTHER;
		link[n] = 0;
		final = link[0] == '/' ? std::string(link) : dir_of(final) + link;
	}
	return TARGET_OTHER;
}

static bool is_our_temporary(const char *name, const std::string &base)
{
	size_t len = std::strlen(name), blen = base.size(), slen = std::strlen(TMP_SUFFIX);
	if (len != blen + 1 + TMP_RANDOM + slen || base.compare(0, blen, name, blen) != 0 ||
	    name[blen] != '.' || std::strcmp(name + len - slen, TMP_SUFFIX) != 0)
		return false;
	for (int i = 0; i < TMP_RANDOM; i++)
		if (!std::isalnum((unsigned char)name[blen + 1 + i]))
			return false;
	return true;
}

// Leftovers of writes that were killed: ours by name and owner, and stale.
static void remove_stale(const std::string &path)
{
	std::string dir = dir_of(path), base = path.substr(dir.size());
	DIR *d = opendir(dir.empty() ? "." : dir.c_str());
	if (!d)
		return;
	time_t now = std::time(nullptr);
	while (struct dirent *e = readdir(d)) {
		struct stat s;
		if (is_our_temporary(e->d_name, base) &&
		    fstatat(dirfd(d), e->d_name, &s, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(s.st_mode) &&
		    s.st_uid == geteuid() && now - s.st_mtime > STALE_AFTER)
			unlinkat(dirfd(d), e->d_name, 0);
	}
	closedir(d);
}

bool close_whole(FILE *f)
{
	bool whole = std::fflush(f) == 0 && !std::ferror(f);
	return std::fclose(f) == 0 && whole;
}

FILE *safe_open(SafeFile &s, const char *path)
{
	s = SafeFile{};
	if (resolve_target(path, s.path) == TARGET_OTHER)
		return nullptr;
	remove_stale(s.path);
	struct stat old;
	mode_t mask = umask(0);
	umask(mask);
	s.mode = stat(s.path.c_str(), &old) == 0 ? old.st_mode & 07777 : 0666 & ~mask;
	s.tmp = s.path + "." + std::string(TMP_RANDOM, 'X') + TMP_SUFFIX;
	int fd = mkstemps(s.tmp.data(), (int)std::strlen(TMP_SUFFIX));
	if (fd < 0)
		return nullptr;
	s.f = fdopen(fd, "w");
	if (!s.f) {
		close(fd);
		unlink(s.tmp.c_str());
	}
	return s.f;
}

// The rename itself is made durable too: a crash right after it must not
// bring the old file back.
static void sync_dir(const std::string &path)
{
	std::string dir = dir_of(path);
	int fd = open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (fd >= 0) {
		fsync(fd);
		close(fd);
	}
}

bool safe_close(SafeFile &s)
{
	if (!s.f)
		return false;
	int fd = fileno(s.f);
	// The permissions come last: a leftover of a killed write stays private.
	bool ok = std::fflush(s.f) == 0 && fchmod(fd, s.mode) == 0 && fsync(fd) == 0;
	ok = close_whole(s.f) && ok;
	s.f = nullptr;
	if (ok && std::rename(s.tmp.c_str(), s.path.c_str()) == 0) {
		sync_dir(s.path);
		return true;
	}
	unlink(s.tmp.c_str());
	return false;
}

} // namespace tw
