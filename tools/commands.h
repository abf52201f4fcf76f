// The subcommands of tarnwell-data and their small option parser.
#pragma once
#include <stdexcept>
#include <string>
#include <vector>

namespace tdata {

// "--name value" options, "--flag" switches and positional arguments.
class Args {
 public:
  Args(char** begin, char** end) : a_(begin, end) {}
  explicit Args(std::vector<std::string> a) : a_(std::move(a)) {}
  bool flag(const std::string& name) const;
  std::string value(const std::string& name, const std::string& def = "") const;
  int number(const std::string& name, int def) const;
  // Arguments that are neither options nor their values; flags are the
  // switches that take no value.
  std::vector<std::string> positional(const std::vector<std::string>& flags) const;
  // Throws Usage for an option that is neither a flag nor in values.
  void check(const std::vector<std::string>& flags, const std::vector<std::string>& values) const;

 private:
  std::vector<std::string> a_;
};

// A command line the program does not take: the usage goes to stderr, exit 2.
struct Usage : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Flags and valued options of import and export, for check() and --help.
extern const std::vector<std::string> import_flags, import_values, export_values;

int cmd_import(const Args& a);
int cmd_export(const Args& a);
int cmd_map(const Args& a);
int cmd_stations(const Args& a);
int cmd_regions(const Args& a);
int cmd_fetch(const Args& a);

}  // namespace tdata
