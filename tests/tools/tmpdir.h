// A fresh temporary directory per test, removed afterwards, and
// tarnwell-data run inside it.
#pragma once
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

inline std::string slurp(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

struct TmpDir {
  std::string path = std::filesystem::temp_directory_path() / "tdata-XXXXXX";
  TmpDir() {
    if (!mkdtemp(path.data())) std::abort();
  }
  ~TmpDir() { std::filesystem::remove_all(path); }
  std::string file(const std::string& name, const std::string& text) const {
    std::ofstream(path + "/" + name, std::ios::binary) << text;
    return path + "/" + name;
  }
  std::string read(const std::string& name) const { return slurp(path + "/" + name); }
};

// Exit status, standard output and standard error of tarnwell-data ARGS
// run in d (ARGS go through the shell).
struct Ran { int status; std::string out, err; };
inline Ran run(const TmpDir& d, const std::string& args) {
  const int rc = std::system(("cd " + d.path + " && " TDATA_BIN " " + args + " >.out 2>.err").c_str());
  return {WIFEXITED(rc) ? WEXITSTATUS(rc) : -1, d.read(".out"), d.read(".err")};
}
