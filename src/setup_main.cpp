// tarnwell-setup DATADIR: writes a first-run setup file ($HOME/_seis) whose
// data directory is DATADIR, so that ./run opens on the bundled catalogues.
#include <cstdio>

#include "catalog/store.h"
#include "device/spool.h"
#include "shell/setup.h"
#include "shell/shell.h"

int main(int argc, char **argv)
{
	if (argc != 2) {
		std::fprintf(stderr, "usage: tarnwell-setup DATADIR\n");
		return 2;
	}
	tw::settings_reset();
	tw::get_printer_defaults(tw::sp.prn_s, tw::sp.port_s);
	tw::select_defaults();
	tw::dpmg_init();
	std::snprintf(tw::sh.drv_s, sizeof tw::sh.drv_s, "%s", argv[1]);
	tw::dump_setup();
	return 0;
}
