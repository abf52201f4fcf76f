#include "diag_support.h"

#include <cstdio>
#include <sstream>

#include "catalog/store.h"
#include "recording.h"

namespace tw {

void fill_store(const std::vector<Ev> &evs)
{
	fresh_store("", 2);
	fill(evs);
	std::snprintf(st.f2_s, sizeof st.f2_s, "TEST");
}

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
		for (int n; s >> n;)
			v.push_back(n);
		out.push_back(v);
	}
	return out;
}

} // namespace tw
