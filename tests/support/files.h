// Scratch files for tests: temporary directories, environment and working
// directory changes undone at scope end, and a stand-in lpr on PATH.
#pragma once
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tw::test {

inline std::string slurp(const std::string &path)
{
	std::ifstream in(path, std::ios::binary);
	std::stringstream ss;
	ss << in.rdbuf();
	return ss.str();
}

inline void write_file(const std::string &path, const std::string &text)
{
	std::ofstream(path, std::ios::binary) << text;
}

inline std::vector<std::string> read_lines(const std::string &path)
{
	std::ifstream in(path);
	std::vector<std::string> out;
	for (std::string l; std::getline(in, l);)
		out.push_back(l);
	return out;
}

struct TempDir {
	std::string path;
	TempDir()
	{
		char t[] = "/tmp/tw-test-XXXXXX";
		path = mkdtemp(t);
	}
	~TempDir() { std::filesystem::remove_all(path); }
	TempDir(const TempDir &) = delete;
	std::string file(const std::string &name) const { return path + "/" + name; }
};

struct InDir {
	std::string old = std::filesystem::current_path();
	explicit InDir(const std::string &p) { std::filesystem::current_path(p); }
	~InDir() { std::filesystem::current_path(old); }
};

struct SetEnv {
	std::string name, old;
	bool had;
	SetEnv(const char *n, const char *value) : name(n)
	{
		const char *o = std::getenv(n);
		had = o != nullptr;
		if (o)
			old = o;
		if (value)
			setenv(n, value, 1);
		else
			unsetenv(n);
	}
	~SetEnv()
	{
		if (had)
			setenv(name.c_str(), old.c_str(), 1);
		else
			unsetenv(name.c_str());
	}
};

// A scratch working directory with a stand-in lpr first on PATH. The lpr
// appends its arguments, one a line and "---" after each job, to lpr.args
// and keeps the file it was handed as job1.ps, job2.ps ...
struct PrintPlace {
	TempDir d;
	InDir in{d.path};
	SetEnv path{"PATH", (d.path + "/bin:" + (std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin")).c_str()};
	PrintPlace()
	{
		std::filesystem::create_directory(d.file("bin"));
		write_file(d.file("bin/lpr"), "#!/bin/sh\nd=$(dirname \"$0\")/..\n"
					      "n=1; while [ -e \"$d/job$n.ps\" ]; do n=$((n+1)); done\n"
					      "for a; do printf '%s\\n' \"$a\"; case \"$a\" in -P*) ;; "
					      "*) cp \"$a\" \"$d/job$n.ps\";; esac; done >> \"$d/lpr.args\"\n"
					      "echo --- >> \"$d/lpr.args\"\n");
		chmod(d.file("bin/lpr").c_str(), 0755);
	}
	std::string args() const { return slurp(d.file("lpr.args")); }
	std::string prn() const { return slurp(d.file("seis.prn")); }
	std::string job(int n) const { return d.file("job" + std::to_string(n) + ".ps"); }
};

} // namespace tw::test
