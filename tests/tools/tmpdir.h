// Scratch directories and files, and tarnwell-data run inside one.
#pragma once
#include <sys/wait.h>

#include "files.h"

using tw::test::slurp, tw::test::TempDir, tw::test::write_file;

// Exit status, standard output and standard error of tarnwell-data ARGS
// run in d (ARGS go through the shell).
struct Ran { int status; std::string out, err; };
inline Ran run(const TempDir& d, const std::string& args) {
  const int rc = std::system(("cd " + d.path + " && " TDATA_BIN " " + args + " >.out 2>.err").c_str());
  return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, slurp(d.file(".out")), slurp(d.file(".err"))};
}
