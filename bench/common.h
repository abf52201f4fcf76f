// Small helpers the benchmarks share: CPU time, whole files, and the files
// of one catalogue in name (time) order.
#pragma once
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
