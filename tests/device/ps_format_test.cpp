#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <utility>

#include "device/ps.h"

using namespace tw;

// The fast number formatter must write what printf would, digit for digit,
// including values at and near rounding halves and negative zero, in every
// width and precision the hard copy uses.
TEST(PostScriptFormat, FixedMatchesPrintf)
{
	std::mt19937_64 rng(5516);
	std::uniform_real_distribution<double> any(-5000.0, 5000.0);
	std::vector<double> vs = {0.0, -0.0, -0.04, -0.05, 0.05, 0.15, 0.25, 2.45, 99999.95,
				  1234567.0, -1234567.89, 1e20, -1e20, 0.949999999, 60.0, 110.0,
				  -999.94, -999.96, 9999.94, 9999.96, 99999.94, -9999.9, 99999.9};
	for (int k = -2000; k <= 2000; k++) {
		vs.push_back(k * 1.1 + 60.0);
		vs.push_back((400 - k) * 0.55 + 110.0);
		vs.push_back(k * 0.05);
		vs.push_back(k + 0.05);
	}
	for (int i = 0; i < 200000; i++)
		vs.push_back(any(rng));
	char want[64], got[64];
	for (auto [width, prec] : {std::pair(6, 1), {6, 2}, {3, 1}, {8, 3}})
		for (double v : vs) {
			std::snprintf(want, sizeof want, "%*.*f", width, prec, v);
			int n = ps_fixed(got, v, width, prec);
			ASSERT_STREQ(got, want) << v << " " << width << "." << prec;
			ASSERT_EQ(n, (int)std::strlen(want));
			if (width == 6 && prec == 1) { // the coordinates' own path
				ASSERT_EQ(n, ps_fixed1(got, v));
				ASSERT_STREQ(got, want) << v;
			}
		}
}
