// Helpers for the shell tests: a fresh program state on the recording back
// end, scratch directories and environment changes undone at scope end.
#pragma once
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "catalog/store.h"
#include "device/screen.h"
#include "device/spool.h"
#include "recording.h"
#include "shell/panel.h"
#include "shell/setup.h"
#include "shell/shell.h"

namespace tw::test {

inline void start(Recording &r)
{
	use_recording(r);
	panel_reset();
	settings_reset();
	spool_reset();
	st.nmax = st.nmax2 = 4095;
	st.itot = 0;
	std::strcpy(st.f2_s, "PDE  ");
}

inline void fkey_press(Recording &r, int n) { r.key(KS_F1 + n - 1); }

inline void type(Recording &r, const char *s)
{
	while (*s)
		r.ch(*s++);
}

// The click that lands on text cell (row, col) of a form.
inline void click_cell(Recording &r, int row, int col) { r.click(4 + 8 * col + 3, 45 + 17 * row + 5); }

inline std::string row_text(int r) { return std::string(scr.mz + r * NCOL, NCOL); }

// Some drawing call printed exactly this text in one piece.
inline bool drew(const Recording &r, const std::string &text)
{
	for (const auto &c : r.calls)
		if (c.size() >= text.size() && c.compare(c.size() - text.size(), text.size(), text) == 0 &&
		    (c.rfind("text ", 0) == 0 || c.rfind("itext ", 0) == 0))
			return true;
	return false;
}

struct TempDir {
	std::string path;
	TempDir()
	{
		char t[] = "/tmp/tw-shell-XXXXXX";
		path = mkdtemp(t);
	}
	~TempDir() { std::filesystem::remove_all(path); }
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

// Every shell test runs with HOME in a scratch directory, so that a test
// ending the program (which writes the setup file) never touches the real
// one.
struct ScratchHome {
	TempDir d;
	SetEnv home{"HOME", d.path.c_str()};
};
inline ScratchHome scratch_home;

inline std::vector<std::string> read_lines(const std::string &path)
{
	std::ifstream in(path);
	std::vector<std::string> out;
	for (std::string l; std::getline(in, l);)
		out.push_back(l);
	return out;
}

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

} // namespace tw::test
