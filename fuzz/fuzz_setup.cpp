// The setup file "_seis": read at start-up, written at exit. Besides not
// crashing, what is written must read back to the same settings: a file
// written once and read again is written out unchanged.
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "common.h"
#include "shell/setup.h"

using namespace tw;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
	setenv("HOME", fz_dir(), 1);
	return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	fz_files(data, size, {"_seis"});
	std::ostringstream out[2];
	for (std::ostringstream &o : out) {
		fz_fresh(2);
		load_setup();
		dump_setup();
		o << std::ifstream(std::string(fz_dir()) + "/_seis", std::ios::binary).rdbuf();
	}
	if (out[0].str() != out[1].str())
		fz_fail("the setup file does not read back as it was written");
	return 0;
}
