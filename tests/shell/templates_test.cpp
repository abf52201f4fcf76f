#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <tuple>

#include "shell/panel.h"
#include "shell/templates.h"

using namespace tw;

namespace {

struct Expected {
	int number;
	const char *name;
	int lm, mn;
};

constexpr Expected expected[] = {
	{0, "SELECT", 14, 32}, {3, "SAVE", 8, 1}, {4, "SORT", 11, 4}, {5, "MAP", 11, 16},
	{6, "TIME", 13, 18}, {7, "MAGNIT", 11, 6}, {8, "OPTION", 17, 3}, {51, "MAP1", 23, 24},
	{52, "MAP2", 14, 15}, {55, "MAPS2", 12, 31}, {56, "MAPS3", 13, 22}, {57, "MAPS4", 14, 33},
	{58, "MAPS5", 12, 5}, {59, "MAPS6", 6, 2}, {70, "HELP", 21, 0}, {99, "INIT", 15, 0},
};

bool opening(char c) { return c == '(' || c == '<'; }
bool closing(char c) { return c == ')' || c == '>'; }

// The field's cells are blank in the text and lie inside one pair of
// brackets, with a blank between the opening side and the first cell and
// (for input fields) between the last cell and the closing side.
std::string check_field(const std::string &row, int col, int w, bool input)
{
	if (col < 2 || col + w > PANEL_COLS)
		return "off the row";
	for (int k = 0; k < w; k++)
		if (row[col + k] != ' ')
			return "cell not blank in the text";
	if (row[col - 1] != ' ')
		return "no blank before the field";
	if (input && row[col + w] != ' ')
		return "no blank after the field";
	int open = col - 1, close = col + w;
	while (open >= 0 && !opening(row[open]) && !closing(row[open]))
		open--;
	while (close < PANEL_COLS && !opening(row[close]) && !closing(row[close]))
		close++;
	if (open < 0 || !opening(row[open]) || close == PANEL_COLS || !closing(row[close]))
		return "not inside brackets";
	if ((row[open] == '(') != (row[close] == ')'))
		return "brackets do not match";
	if ((row[open] == '(') != input)
		return input ? "input field between angle brackets" : "display field between parentheses";
	return "";
}

} // namespace

TEST(Templates, EveryTemplateIsWellFormed)
{
	ASSERT_EQ(npanel_table, (int)(sizeof expected / sizeof expected[0]));
	for (const Expected &x : expected) {
		SCOPED_TRACE(x.name);
		const PanelEntry *e = find_panel(x.number);
		ASSERT_NE(e, nullptr);
		EXPECT_STREQ(e->name, x.name);
		ASSERT_EQ(e->lm, x.lm);
		ASSERT_EQ(e->mn, x.mn);
		ASSERT_LE(e->mn, MAXFIELD);
		ASSERT_EQ(std::strlen(e->pan), (size_t)(x.lm * PANEL_COLS + x.mn * FIELD_LEN));
		bool seen_input = false;
		int wide = 0;
		for (int i = 0; i < x.mn; i++) {
			SCOPED_TRACE("field " + std::to_string(i));
			std::string entry(e->pan + x.lm * PANEL_COLS + i * FIELD_LEN, FIELD_LEN);
			int c, r, w, used = 0;
			ASSERT_EQ(std::sscanf(entry.c_str(), "%d, %d, %d %n", &c, &r, &w, &used), 3);
			EXPECT_EQ(used, FIELD_LEN) << entry; // nothing left over
			ASSERT_GE(r, 0);
			ASSERT_LT(r, x.lm);
			bool input = w >= 1;
			int cells = w > 100 ? w - 100 : w >= 1 ? w : w >= -8 ? (w ? -w : 1) : -w;
			EXPECT_TRUE(input || w >= -10);
			EXPECT_FALSE(w > 99 && w <= 100);
			if (input && cells > 8)
				wide++;
			EXPECT_FALSE(!input && seen_input) << "display field after an input field";
			seen_input = seen_input || input;
			std::string row(e->pan + r * PANEL_COLS, PANEL_COLS);
			EXPECT_EQ(check_field(row, c, cells, input), "") << row;
		}
		EXPECT_LE(wide, x.number == PAN_OPTION ? 3 : 1) << "more long fields than long slots";
	}
	EXPECT_EQ(find_panel(PAN_PRINTER), nullptr);
	EXPECT_EQ(find_panel(1), nullptr);
}

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
