// Every test process runs with HOME and its working directory in a scratch
// directory of its own: a test that ends the program writes $HOME/_seis, a
// print job writes seis.prn, and neither may reach the runner's files.
#include "files.h"

using namespace tw::test;

static struct {
	TempDir d;
	SetEnv home{"HOME", d.path.c_str()};
	InDir in{d.path};
} scratch;
