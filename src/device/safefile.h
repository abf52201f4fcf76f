// Files replaced whole: written to a temporary file beside the target,
// synced, then renamed over it, so that a crash or a full disk leaves the old
// file as it was. A symbolic link is written through: the temporary file goes
// beside the link's final target and the link stays a link.
#pragma once
#include <cstdio>
#include <string>

namespace tw {

enum TargetKind {
	TARGET_NONE,  // nothing there yet (or a link to nothing)
	TARGET_FILE,  // a regular file
	TARGET_OTHER, // a directory, a device, a pipe, a loop of links
};

// What path names once links are followed; final gets that path.
TargetKind resolve_target(const char *path, std::string &final);

struct SafeFile {
	FILE *f = nullptr; // the temporary file while it is written
	std::string path;  // the target, links followed
	std::string tmp;   // the temporary file beside it
	unsigned mode = 0; // permissions the finished file gets
};

// Closes f; true when every byte written reached the file.
bool close_whole(FILE *f);

// nullptr when the target is no regular file or no temporary file can be
// made beside it.
FILE *safe_open(SafeFile &s, const char *path);
// True when the whole file is in place; otherwise the old one is untouched
// and the temporary file gone.
bool safe_close(SafeFile &s);

} // namespace tw
