// Small helpers the benchmarks share: CPU time, whole files, and the files
// of one catalogue in name (time) order.
#pragma once
#include <sys/resource.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace bench {

inline double cpu() // seconds of this process's CPU time
{
	timespec t;
	clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
	return t.tv_sec + t.tv_nsec * 1e-9;
}

inline double children_cpu() // seconds of CPU time of waited-for children
{
	rusage u;
	getrusage(RUSAGE_CHILDREN, &u);
	auto s = [](timeval v) { return v.tv_sec + v.tv_usec * 1e-6; };
	return s(u.ru_utime) + s(u.ru_stime);
}

// CPU time of this process and its children together, for comparing work
// done in-process with work done by other programs.
inline double all_cpu() { return cpu() + children_cpu(); }

inline std::string slurp(const std::string &name)
{
	std::ifstream in(name, std::ios::binary);
	return {std::istreambuf_iterator<char>(in), {}};
}

inline std::vector<std::string> files_of(const std::string &dir, const std::string &prefix)
{
	std::vector<std::string> f;
	for (auto &e : std::filesystem::directory_iterator(dir))
		if (e.path().filename().string().rfind(prefix, 0) == 0)
			f.push_back(e.path().string());
	std::sort(f.begin(), f.end());
	return f;
}

} // namespace bench
