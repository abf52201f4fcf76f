// The setup file "_seis": read at start-up, written at exit. Besides not
// crashing, what is written must read back to the same settings: a file
// written once and read again is written out unchanged.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common.h"
#include "shell/setup.h"

using namespace tw;

static std::string slurp(const std::string &path)
{
	std::string s;
	if (FILE *f = std::fopen(path.c_str(), "rb")) {
		char buf[4096];
		size_t n;
		while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
			s.append(buf, n);
		std::fclose(f);
	}
	return s;
}

static std::string load_and_dump(const std::string &path)
{
	fz_fresh(2);
	load_setup();
	dump_setup();
	return slurp(path);
}

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
	setenv("HOME", fz_dir(), 1);
	return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
	fz_write("_seis", data, size);
	std::string path = std::string(fz_dir()) + "/_seis";
	std::string once = load_and_dump(path);
	std::string twice = load_and_dump(path);
	if (once != twice) {
		std::fprintf(stderr, "first:\n%s\nsecond:\n%s\n", once.c_str(), twice.c_str());
		fz_fail("the setup file does not read back as it was written");
	}
	return 0;
}
