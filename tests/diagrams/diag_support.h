// Shared by the diagram tests: the recorded calls of one kind as numbers.
#pragma once
#include <sstream>
#include <string>
#include <vector>

#include "events.h"
#include "recording.h"

namespace tw {

inline std::vector<std::vector<int>> calls_of(const Recording &r, const std::string &kind)
{
	std::vector<std::vector<int>> out;
	for (auto &c : r.calls) {
		if (c.rfind(kind + " ", 0) != 0)
			continue;
		std::istringstream s(c.substr(kind.size()));
		out.emplace_back();
		for (int n; s >> n;)
			out.back().push_back(n);
	}
	return out;
}

} // namespace tw
