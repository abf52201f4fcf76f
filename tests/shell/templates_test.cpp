// The compile-time builder checks every template's layout; these rows are
// what the user reads, kept exact.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>

#include "shell/panel.h"
#include "shell/templates.h"

using namespace tw;

static std::string text_row(int number, int r)
{
	const PanelEntry *e = find_panel(number);
	std::string row(e->pan + r * PANEL_COLS, PANEL_COLS);
	return row.substr(0, row.find_last_not_of(' ') + 1);
}

TEST(Templates, TextsAsTheUserReadsThem)
{
	const std::tuple<int, int, const char *> texts[] = {
		{PAN_SELECT, 11, " 5. You like to include events whose following item is undetermined? < Y/N >"},
		{PAN_OPTION, 7, "         Examples: /home/qx/seis, c:\\data\\seis (Windows), @hostname (server)"},
		{PAN_MAPS5, 2, "    to the activeness of fauls, and press Enter."},
		{PAN_MAP1, 22, "       Size      base size <MAG0> : (      )pixels   factor : (      )"},
		{PAN_INIT, 7, "                                  Tarnwell"},
		{PAN_INIT, 8, ""},
		{PAN_INIT, 9, ""},
		{PAN_INIT, 11, "                                     by"},
	};
	for (auto [number, row, text] : texts)
		EXPECT_EQ(text_row(number, row), text) << number << " row " << row;
	EXPECT_EQ(text_row(PAN_SAVE, 4).size(), 72u); // the 64-cell box closes at column 71
	for (int r : {1, 4, 5}) // these help rows run on into the next without a separator
		EXPECT_EQ(text_row(PAN_HELP, r).size(), (size_t)PANEL_COLS) << r;
	// The credit lines are centred on the 77-column row, give or take one.
	for (int r : {13, 14}) {
		std::string t = text_row(PAN_INIT, r);
		size_t lead = t.find_first_not_of(' '), len = t.size() - lead;
		EXPECT_LE(std::abs((int)(2 * lead + len) - PANEL_COLS), 2) << t;
	}
}
