// A fresh temporary directory per test, removed afterwards.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

struct TmpDir {
  std::string path;
  TmpDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "tdata-XXXXXX").string();
    path = mkdtemp(tmpl.data());
  }
  ~TmpDir() { std::filesystem::remove_all(path); }
  std::string file(const std::string& name, const std::string& text) const {
    std::ofstream(path + "/" + name, std::ios::binary) << text;
    return path + "/" + name;
  }
};

inline std::string slurp_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

// Works in dir until the end of the scope.
struct Cwd {
  std::filesystem::path was = std::filesystem::current_path();
  explicit Cwd(const std::string& dir) { std::filesystem::current_path(dir); }
  ~Cwd() { std::filesystem::current_path(was); }
};
