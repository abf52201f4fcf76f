#include "diag_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "catalog/store.h"

namespace tw {

std::string slurp(const std::string &path)
{
	std::ifstream f(path, std::ios::binary);
	std::ostringstream s;
	s << f.rdbuf();
	return s.str();
}

bool gs_ok(const std::string &path)
{
	if (slurp(path).empty())
		return false;
	std::string cmd = "gs -q -dSAFER -dBATCH -dNOPAUSE -dNODISPLAY '" + path + "' >/dev/null 2>&1";
	return std::system(cmd.c_str()) == 0;
}

ScratchDir::ScratchDir()
{
	char tmpl[] = "/tmp/tw_diag_XXXXXX";
	dir = mkdtemp(tmpl);
	char cwd[4096];
	old = getcwd(cwd, sizeof cwd) ? cwd : "/";
	const char *p = std::getenv("PATH");
	oldpath = p ? p : "";
	std::string lpr = dir + "/lpr";
	std::FILE *f = std::fopen(lpr.c_str(), "w");
	std::fprintf(f, "#!/bin/sh\n# every job is kept under the next free number\n"
			"n=1; while [ -e \"%s/job$n.ps\" ]; do n=$((n+1)); done\n"
			"for a; do case \"$a\" in -P*) ;; *) cp \"$a\" \"%s/job$n.ps\";; esac; done\n",
		     dir.c_str(), dir.c_str());
	std::fclose(f);
	chmod(lpr.c_str(), 0755);
	setenv("PATH", (dir + ":" + oldpath).c_str(), 1);
	if (chdir(dir.c_str()) != 0)
		std::abort();
}

ScratchDir::~ScratchDir()
{
	setenv("PATH", oldpath.c_str(), 1);
	if (chdir(old.c_str()) != 0)
		return;
	std::string cmd = "rm -rf '" + dir + "'";
	if (std::system(cmd.c_str()) != 0)
		return;
}

static void put_record(unsigned char *p, const Ev &e)
{
	std::memset(p, 0, 16);
	int code = e.year >= 1900 && e.year <= 2054 ? e.year - 1900
		   : e.year >= 1800 && e.year < 1900 ? e.year - 1645 : 255;
	p[0] = (unsigned char)code;
	p[1] = (unsigned char)e.month;
	p[2] = (unsigned char)e.day;
	p[3] = (unsigned char)e.hour;
	p[4] = (unsigned char)e.minute;
	p[5] = (unsigned char)(e.tenths & 255);
	p[6] = (unsigned char)(e.tenths >> 8);
	p[7] = 140;
	p[10] = 35;
	int d = code == 255 ? e.year : e.depth10;
	p[13] = (unsigned char)(d & 255);
	p[14] = (unsigned char)(d >> 8);
	p[15] = (unsigned char)(e.mag10 < 0 ? (-e.mag10 | 128) : e.mag10);
}

void fill_store(const Ev *ev, int n)
{
	if (st.nseg < 2) {
		store_reset();
		st.seglimit = 2;
		alloc_mem();
		st.nmax = SEGREC;
		st.nmax2 = SEGREC;
	}
	unsigned char rec[RECLEN];
	for (int i = 0; i < n && i < st.nmax; i++) {
		put_record(rec, ev[i]);
		put_event(0, i, rec);
	}
	put_marker(0, n, M_END);
	st.itot = n;
	st.isort = 0;
	std::snprintf(st.f2_s, sizeof st.f2_s, "TEST");
}

} // namespace tw

#include "recording.h"

namespace tw {

void type_form(Recording &r, const std::vector<std::string> &values, const std::vector<int> &widths)
{
	for (size_t i = 0; i < values.size(); i++) {
		std::string v = values[i];
		v.resize(widths[i], ' ');
		for (char c : v)
			r.ch(c);
	}
	r.ch('\r');
}

std::vector<std::vector<int>> calls_of(const Recording &r, const std::string &kind)
{
	std::vector<std::vector<int>> out;
	for (auto &c : r.calls) {
		if (c.rfind(kind + " ", 0) != 0)
			continue;
		std::istringstream s(c.substr(kind.size()));
		std::vector<int> v;
		int n;
		while (s >> n)
			v.push_back(n);
		out.push_back(v);
	}
	return out;
}

} // namespace tw
