// tarnwell-setup [--force] DATADIR: writes a first-run setup file
// ($HOME/_seis) whose data directory is DATADIR, so that ./run opens on the
// bundled catalogues. An existing setup file is the user's: it is replaced
// only with --force.
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

#include "catalog/store.h"
#include "device/spool.h"
#include "shell/setup.h"

static constexpr const char *usage =
	"usage: tarnwell-setup [--force] DATADIR\n"
	"Writes $HOME/_seis with DATADIR as the data directory.\n"
	"  --force     replace an existing setup file\n"
	"  -h, --help  show this help\n";

// The directory as the setup file keeps it: absolute, so that the program
// finds it from anywhere, and short and blank-free enough to read back.
static bool data_dir(const char *arg, char (&out)[sizeof tw::st.drv_s])
{
	char full[PATH_MAX];
	struct stat s;
	if (!realpath(arg, full) || stat(full, &s) != 0 || !S_ISDIR(s.st_mode)) {
		std::fprintf(stderr, "tarnwell-setup: %s is not a directory!\n", arg);
		return false;
	}
	if (std::strlen(full) >= sizeof out || std::strchr(full, ' ')) {
		std::fprintf(stderr, "tarnwell-setup: %s is too long or has a blank!\n", full);
		return false;
	}
	std::strcpy(out, full);
	return true;
}

int main(int argc, char **argv)
{
	bool force = false;
	const char *dir = nullptr;
	for (int i = 1; i < argc; i++) {
		const char *a = argv[i];
		if (!std::strcmp(a, "-h") || !std::strcmp(a, "--help")) {
			std::fputs(usage, stdout);
			return 0;
		}
		if (!std::strcmp(a, "--force"))
			force = true;
		else if (a[0] == '-' || dir) {
			std::fputs(usage, stderr);
			return 2;
		} else
			dir = a;
	}
	if (!dir) {
		std::fputs(usage, stderr);
		return 2;
	}
	tw::settings_reset();
	if (!data_dir(dir, tw::st.drv_s))
		return 1;
	char path[4096];
	struct stat s;
	if (!tw::mksetup(path, sizeof path)) {
		std::fprintf(stderr, "tarnwell-setup: $HOME is too long!\n");
		return 1;
	}
	if (!force && stat(path, &s) == 0) {
		std::fprintf(stderr, "tarnwell-setup: %s is there already (--force replaces it)!\n", path);
		return 1;
	}
	tw::get_printer_defaults(tw::sp.prn_s, tw::sp.port_s);
	tw::select_defaults();
	tw::dpmg_init();
	return tw::dump_setup() ? 0 : 1;
}
