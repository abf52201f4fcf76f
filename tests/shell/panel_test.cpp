#include <gtest/gtest.h>

#include "device/graph.h"
#include "shell/templates.h"
#include "shell_support.h"

using namespace tw;
using namespace tw::test;

namespace {

using Strs = std::vector<std::string>;

struct Forms : ::testing::Test {
	Recording r;
	void SetUp() override { start(r); }
	// Start afresh with these slot values and the cursor on field isr.
	void slots(const Strs &v, int isr)
	{
		start(r);
		r.bells = 0;
		for (size_t i = 0; i < v.size(); i++)
			std::snprintf(pn.mc_s[i], sizeof pn.mc_s[i], "%s", v[i].c_str());
		sh.isr = isr;
	}
	Strs slots(int n) const { return Strs(pn.mc_s, pn.mc_s + n); }
	int run(int number, const char *keys = "\r")
	{
		type(r, keys);
		try {
			return panel(number);
		} catch (const Exited &) {
			ADD_FAILURE() << "the script ran out inside panel " << number;
			return -99;
		}
	}
};

} // namespace

TEST_F(Forms, FieldEditingCutsPadsAndKeepsCase)
{
	// SORT: fields 0 and 2 of 4 cells, 1 and 3 of one cell. Three of four
	// cells typed: no advance, the fourth stays blank; a value too long is
	// cut when drawn and that is what comes back; upper case throughout.
	slots({"TOOLONG", "d", "", "a"}, 2);
	EXPECT_EQ(run(PAN_SORT, "lon\r"), 0);
	EXPECT_EQ(slots(4), (Strs{"TOOL", "D", "LON ", "A"}));

	// SAVE's 64-cell path keeps its case and comes back padded to 64.
	slots({}, 0);
	EXPECT_EQ(run(PAN_SAVE, "Out/List.txt\r"), 0);
	EXPECT_EQ(std::string(pn.md_s), "Out/List.txt" + std::string(52, ' '));

	// BackSpace inside a field and at its edge.
	slots({"ABCD"}, 0);
	click_cell(r, 4, 25); // on the C of field 0 (columns 23 to 26)
	r.ch('\b');           // deletes the B, the rest moves left
	click_cell(r, 4, 23);
	r.ch('\b'); // nothing writable to the left: a beep, no change
	EXPECT_EQ(run(PAN_SORT), 0);
	EXPECT_STREQ(pn.mc_s[0], "ACD ");
	EXPECT_EQ(r.bells, 1);
}

TEST_F(Forms, TypingAdvancesAndMovesWrapAround)
{
	// "timed" fills field 0 and jumps on to fill field 1, "dep" lands in
	// field 2; two Tabs wrap round to field 0, where x overwrites a cell.
	slots({}, 0);
	EXPECT_EQ(run(PAN_SORT, "timeddep\t\tx\r"), 0);
	EXPECT_EQ(slots(3), (Strs{"XIME", "D", "DEP "}));

	// Typing into the last cell of the last field goes back to the first.
	slots({}, 3);
	EXPECT_EQ(run(PAN_SORT, "az\r"), 0);
	EXPECT_STREQ(pn.mc_s[3], "A");
	EXPECT_EQ(pn.mc_s[0][0], 'Z');

	// Left on the first cell of the only field of SAVE: its last cell, 69.
	slots({}, 0);
	r.key(KS_LEFT);
	EXPECT_EQ(run(PAN_SAVE, "q\r"), 0);
	EXPECT_EQ(pn.md_s[63], 'q');
	EXPECT_EQ(pn.md_s[0], ' ');
}

TEST_F(Forms, ProtectedCellsBeepAndDisplayFieldsStay)
{
	// MAP2: display fields 0 to 12, input fields 13 and 14.
	slots({"", "120", "", "", "", "", "", "", "", "", "", "", "", "1", "n"}, 13);
	std::strcpy(pn.md_s, "JAPAN");
	click_cell(r, 3, 26); // onto the display field: the cursor may rest there
	r.ch('9');            // but typing beeps
	r.key(KS_UP);         // onto the text above
	r.ch('9');
	r.key(KS_F1 + 1); // F2 has no meaning on a form
	r.ch(27);         // Escape
	r.ch(127);        // Delete
	EXPECT_EQ(run(PAN_MAP2), 0);
	EXPECT_EQ(r.bells, 5);
	EXPECT_STREQ(pn.md_s, "JAPAN");
	Strs v = slots(15);
	EXPECT_EQ((Strs{v[1], v[13], v[14]}), (Strs{"120", "1", "N"}));
	EXPECT_EQ(row_text(2).substr(24, 8), "< JAPAN ");
}

TEST_F(Forms, MessageShownOnceWithBeep)
{
	set_em("Invalid magnitude!");
	EXPECT_EQ(run(PAN_MAGNIT), 0);
	EXPECT_TRUE(drew(r, "Invalid magnitude!"));
	EXPECT_EQ(r.bells, 1);
	EXPECT_STREQ(sh.em_s, "");
	EXPECT_EQ(row_text(11).substr(0, 5), " --->"); // the line below the text
	r.calls.clear();
	EXPECT_EQ(run(PAN_MAGNIT), 0);
	EXPECT_FALSE(drew(r, "Invalid magnitude!"));
	EXPECT_EQ(r.bells, 1);
}

TEST_F(Forms, HelpRedrawShowsTheValuesFromBeforeTheEdits)
{
	slots({"MAG"}, 0);
	type(r, "ti");
	fkey_press(r, 9);
	EXPECT_EQ(run(PAN_SORT, " \r"), 0); // any key leaves the help screen
	EXPECT_NE(r.texts().find("Press any key or button to return."), std::string::npos);
	EXPECT_STREQ(pn.mc_s[0], "MAG ");
	EXPECT_EQ(gr.widespace, 1); // the form is back with its own spacing
}

TEST_F(Forms, QuitReturnAndExitLeaveTheSlots)
{
	for (int key : {3, 6}) {
		slots({"ab", "TOOLONG"}, 0);
		type(r, "zz");
		fkey_press(r, key);
		EXPECT_EQ(run(PAN_SORT, ""), key);
		EXPECT_EQ(slots(2), (Strs{"ab  ", "T"})); // padded when drawn, edits dropped
	}
	// Ctrl+E on a form ends the program and writes nothing back.
	slots({"ab"}, 0);
	type(r, "zz\x05");
	EXPECT_THROW(panel(PAN_SORT), Exited);
	EXPECT_STREQ(pn.mc_s[0], "ab  ");
}

TEST_F(Forms, HeaderLines)
{
	st.nmax = 8190, st.nmax2 = 4095, st.itot = 12;
	run(PAN_SELECT);
	EXPECT_EQ(row_text(0).substr(28, 39), " Memory available for 8190/4095 events.");
	EXPECT_EQ(row_text(0).substr(0, 20), "    Request : SELECT");
	run(PAN_SAVE);
	EXPECT_EQ(row_text(0).substr(32, 25), "for 12 events from PDE  .");
	for (int number : {PAN_OPTION, PAN_MAPS6}) {
		run(number);
		EXPECT_EQ(row_text(0).substr(0, PANEL_COLS), std::string(find_panel(number)->pan, PANEL_COLS));
	}
}

TEST_F(Forms, ScreensWithoutFields)
{
	const int keys[3][2] = {{0, 0}, {3, 3}, {6, 6}};
	for (auto [key, result] : keys) {
		start(r);
		r.ch('\t');
		r.key(KS_LEFT);
		r.key(KS_RIGHT);
		if (key)
			fkey_press(r, key);
		EXPECT_EQ(run(PAN_PRINTER, key ? "" : "\r"), result);
		EXPECT_EQ(pn.mn, 0);
		// No field to go to: the cursor stays just after the message.
		EXPECT_EQ(scr.row * 100 + scr.col, 548);
		EXPECT_EQ(row_text(5).substr(10, 38), "Power on your printer and press Enter.");
	}

	// The opening screen waits for any key or click.
	start(r);
	r.click(300, 300);
	EXPECT_EQ(run(PAN_INIT, ""), 0);
	EXPECT_EQ(row_text(7).substr(34, 8), "Tarnwell");
	EXPECT_EQ(row_text(8).substr(29, 17), "for UNIX/X Window");
	EXPECT_EQ(row_text(9).substr(22, 31), "(Version 3.02a  April 25, 2000)");
	EXPECT_EQ(row_text(18).substr(22, 33), "Press any key or button to begin.");
	EXPECT_EQ(gr.widespace, 0);

	// With too little memory the message comes at once, without a form.
	start(r);
	st.nmax2 = 0;
	EXPECT_EQ(run(PAN_SELECT, "x"), -1);
	EXPECT_EQ(r.input.size(), 1u); // returned without waiting
	EXPECT_EQ(row_text(9).substr(20, 36), "Available memory is less than 128KB!");
	EXPECT_EQ(row_text(10).substr(20, 21), "Click 'Exit' to exit.");
	EXPECT_EQ(row_text(0).find("Request"), std::string::npos);
}

TEST_F(Forms, MoversFollowTheFieldList)
{
	run(PAN_MAP2); // leaves MAP2's field list in place
	auto at = [] { return scr.row * 100 + scr.col; };
	mvhome();
	EXPECT_EQ(at(), 226); // field 0, a display field
	mvend();
	EXPECT_EQ(at(), 1167);
	mvtonext();
	EXPECT_EQ(at(), 727); // past the last input field: the first one
	mvtoprevious();
	EXPECT_EQ(at(), 1167); // before the first input field: the last field
	move(24, 79);
	mvtoprevious();
	EXPECT_EQ(scr.row, 11);
}
