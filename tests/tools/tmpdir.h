// A fresh temporary directory per test, removed afterwards.
#pragma once
#include <cstdlib>
#include <filesystem>
#include <fstream>
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
