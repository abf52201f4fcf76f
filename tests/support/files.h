// Scratch files for tests: temporary directories, environment and working
// directory changes undone at scope end, and a stand-in lpr on PATH.
#pragma once
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <iterator>
#include <string>

namespace tw::test {

inline std::string slurp(const std::string &path)
{
	std::ifstream in(path, std::ios::binary);
	return {std::istreambuf_iterator<char>(in), {}};
}

// ghostscript reads the PostScript file without error (an empty file,
// which gs passes, does not count).
inline bool gs_ok(const std::string &path)
{
	std::string cmd = "gs -q -dSAFER -dBATCH -dNOPAUSE -dNODISPLAY '" + path + "' >/dev/null 2>&1";
	return !slurp(path).empty() && std::system(cmd.c_str()) == 0;
}

inline void write_file(const std::string &path, const std::string &s) { std::ofstream(path, std::ios::binary) << s; }

struct TempDir {
	std::string path = mkdtemp(std::string("/tmp/tw-test-XXXXXX").data());
	~TempDir() { std::filesystem::remove_all(path); }
	TempDir() = default;
	TempDir(const TempDir &) = delete;
	std::string file(const std::string &name) const { return path + "/" + name; }
};

struct InDir {
	std::string old = std::filesystem::current_path();
	explicit InDir(const std::string &p) { std::filesystem::current_path(p); }
	~InDir() { std::filesystem::current_path(old); }
};

struct SetEnv {
	std::string name;
	std::optional<std::string> old;
	SetEnv(const char *n, const char *value) : name(n)
	{
		if (const char *o = std::getenv(n))
			old = o;
		value ? setenv(n, value, 1) : unsetenv(n);
	}
	~SetEnv() { old ? setenv(name.c_str(), old->c_str(), 1) : unsetenv(name.c_str()); }
};

// A scratch working directory with a stand-in lpr first on PATH. The lpr
// appends its arguments, one a line and "---" after each job, to lpr.args
// and keeps the file it was handed (a regular one: never an endless device)
// as job1.ps, job2.ps ...; it fails (exit status 1) once lpr_fails() was
// called.
struct PrintPlace {
	TempDir d;
	InDir in{d.path};
	SetEnv path{"PATH", (d.path + "/bin:" + (std::getenv("PATH") ?: "/usr/bin:/bin")).c_str()};
	PrintPlace()
	{
		std::filesystem::create_directory(d.file("bin"));
		write_file(d.file("bin/lpr"), R"(#!/bin/sh
d=$(dirname "$0")/..; n=1; while [ -e "$d/job$n.ps" ]; do n=$((n+1)); done
for a; do printf '%s\n' "$a"; case "$a" in -P*) ;; *) [ ! -f "$a" ] || cp "$a" "$d/job$n.ps";; esac; done >> "$d/lpr.args"
echo --- >> "$d/lpr.args"; [ ! -e "$d/lpr.fail" ]
)");
		chmod(d.file("bin/lpr").c_str(), 0755);
	}
	std::string args() const { return slurp(d.file("lpr.args")); }
	std::string prn() const { return slurp(d.file("seis.prn")); }
	std::string job(int n) const { return d.file("job" + std::to_string(n) + ".ps"); }
	void lpr_fails() const { write_file(d.file("lpr.fail"), ""); }
};

// Runs write over and over in a child process killed with SIGKILL after
// 0 to about 10 ms, runs times; check looks at what each kill left.
template <class Write, class Check> void kill_during(int runs, Write write, Check check)
{
	for (int i = 0; i < runs; i++) {
		pid_t pid = fork();
		while (pid == 0)
			write();
		usleep(10000 * i / runs);
		kill(pid, SIGKILL);
		waitpid(pid, nullptr, 0);
		check();
	}
}

// A small filesystem of its own (tmpfs) that fill() fills up, so writes to
// it fail as on a full disk. Mounting needs privileges: ok is false where
// they are missing. The mount lives in the test process's own namespace and
// goes with it.
struct FullFs {
	TempDir d;
	bool ok = false;
	FullFs()
	{
		static bool own = unshare(CLONE_NEWNS) == 0 &&
				  mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
		ok = own && mount("tmpfs", d.path.c_str(), "tmpfs", 0, "size=64k") == 0;
	}
	~FullFs() { ok && umount2(d.path.c_str(), MNT_DETACH); }
	void fill() const
	{
		std::ofstream out(d.file("filler"), std::ios::binary);
		for (std::string block(4096, 'f'); out.write(block.data(), block.size()) && out.flush();)
			;
	}
};

} // namespace tw::test
