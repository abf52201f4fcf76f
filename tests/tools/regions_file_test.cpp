#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

// The shipped region list, read line by line with the program's nine-word
// format; the first line whose name occurs in the typed text wins.
TEST(RegionList, EveryHelpRegionIsFoundWithASensibleBox) {
  std::ifstream f(std::string(TOOLS_DIR) + "/regions.txt");
  ASSERT_TRUE(f);
  std::vector<std::string> names;
  std::string line;
  while (std::getline(f, line)) {
    char name[11], w[8], we[8], e[8], ee[8], s[8], sn[8], n[8], nn[8];
    ASSERT_EQ(std::sscanf(line.c_str(), "%10s %7s %7s %7s %7s %7s %7s %7s %7s", name, w, we, e, ee, s, sn, n, nn), 9)
        << line;
    EXPECT_LE(std::string(w).size(), 3u);
    EXPECT_LE(std::string(s).size(), 2u);
    EXPECT_TRUE((we[0] == 'E' || we[0] == 'W') && (ee[0] == 'E' || ee[0] == 'W')) << line;
    EXPECT_TRUE((sn[0] == 'N' || sn[0] == 'S') && (nn[0] == 'N' || nn[0] == 'S')) << line;
    const int south = std::atoi(s) * (sn[0] == 'S' ? -1 : 1), north = std::atoi(n) * (nn[0] == 'S' ? -1 : 1);
    EXPECT_LT(south, north) << line;
    EXPECT_LE(std::atoi(w), 180);
    EXPECT_LE(std::atoi(e), 180);
    names.push_back(name);
  }
  const char* help[] = {"WORLD", "PACIFIC", "ATLANTIC", "INDIAN", "NWPAC", "AUSTRALIA", "AFRICA",
                        "NAMERICA", "CAMERICA", "SAMERICA", "USSR", "CHINA", "ASEAN", "INDIA",
                        "ARAB", "EUROPE", "JAPAN", "HOKKAIDO", "TOHOKU", "KANTO", "IZU", "TOKAI",
                        "CHUBU", "KINKI", "NANKAI", "CHUGOKU", "SHIKOKU", "KYUSHU"};
  for (const char* typed : help) {
    std::string found;
    for (const auto& n : names)
      if (std::string(typed).find(n) != std::string::npos) { found = n; break; }
    EXPECT_EQ(found, typed) << "typing " << typed;
  }
}
