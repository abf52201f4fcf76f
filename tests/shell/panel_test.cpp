#include <gtest/gtest.h>

#include "device/graph.h"
#include "shell/templates.h"
#include "shell_support.h"

using namespace tw;
using namespace tw::test;

namespace {

int run_panel(int number)
{
	try {
		return panel(number);
	} catch (const Exited &) {
		ADD_FAILURE() << "the script ran out inside panel " << number;
		return -99;
	}
}

} // namespace

TEST(Panel, FieldEditingCutsPadsAndKeepsCase)
{
	Recording r;
	start(r);
	// SORT: fields 0 and 2 of 4 cells, 1 and 3 of one cell.
	std::strcpy(pn.mc_s[0], "TOOLONG");
	std::strcpy(pn.mc_s[1], "d");
	pn.mc_s[2][0] = 0;
	std::strcpy(pn.mc_s[3], "a");
	sh.isr = 2;
	type(r, "lon"); // three of four cells: no advance, the fourth stays blank
	r.ch('\r');
	EXPECT_EQ(run_panel(PAN_SORT), 0);
	EXPECT_STREQ(pn.mc_s[0], "TOOL"); // cut when drawn, and that is what comes back
	EXPECT_STREQ(pn.mc_s[1], "D");    // upper-cased though typed by the caller
	EXPECT_STREQ(pn.mc_s[2], "LON ");
	EXPECT_STREQ(pn.mc_s[3], "A");

	// SAVE's 64-cell path keeps its case and comes back padded to 64.
	start(r);
	sh.isr = 0;
	type(r, "Out/List.txt");
	r.ch('\r');
	EXPECT_EQ(run_panel(PAN_SAVE), 0);
	EXPECT_EQ(std::string(pn.md_s), "Out/List.txt" + std::string(52, ' '));
}

TEST(Panel, TypingAdvancesAndMovesWrapAround)
{
	Recording r;
	start(r);
	sh.isr = 0;
	type(r, "timed"); // fills field 0, the cursor jumps to field 1, fills it too
	type(r, "dep");   // lands in field 2 (row 5)
	r.ch('\t');       // to field 3
	r.ch('\t');       // wraps to field 0
	r.ch('x');        // overwrites the first cell of field 0
	r.ch('\r');
	EXPECT_EQ(run_panel(PAN_SORT), 0);
	EXPECT_STREQ(pn.mc_s[0], "XIME");
	EXPECT_STREQ(pn.mc_s[1], "D");
	EXPECT_STREQ(pn.mc_s[2], "DEP ");

	// Typing into the last cell of the last field goes back to the first.
	start(r);
	sh.isr = 3;
	type(r, "az");
	r.ch('\r');
	EXPECT_EQ(run_panel(PAN_SORT), 0);
	EXPECT_STREQ(pn.mc_s[3], "A");
	EXPECT_EQ(pn.mc_s[0][0], 'Z');

	// Left on the first cell of the only field of SAVE: its last cell, 69.
	start(r);
	sh.isr = 0;
	r.key(KS_LEFT);
	r.ch('q');
	r.ch('\r');
	EXPECT_EQ(run_panel(PAN_SAVE), 0);
	EXPECT_EQ(pn.md_s[63], 'q');
	EXPECT_EQ(pn.md_s[0], ' ');
}

TEST(Panel, BackSpaceInsideAndAtTheEdge)
{
	Recording r;
	start(r);
	std::strcpy(pn.mc_s[0], "ABCD");
	sh.isr = 0;
	click_cell(r, 4, 25); // on the C of field 0 (columns 23 to 26)
	r.ch('\b');           // deletes the B, the rest moves left
	click_cell(r, 4, 23);
	r.ch('\b'); // nothing writable to the left: a beep, no change
	r.ch('\r');
	EXPECT_EQ(run_panel(PAN_SORT), 0);
	EXPECT_STREQ(pn.mc_s[0], "ACD ");
	EXPECT_EQ(r.bells, 1);
}

TEST(Panel, ProtectedCellsBeepAndDisplayFieldsStay)
{
	Recording r;
	start(r);
	// MAP2: display fields 0 to 12, input fields 13 and 14.
	std::strcpy(pn.md_s, "JAPAN");
	std::strcpy(pn.mc_s[1], "120");
	std::strcpy(pn.mc_s[13], "1");
	std::strcpy(pn.mc_s[14], "n");
	sh.isr = 13;
	click_cell(r, 3, 26); // onto the display field: the cursor may rest there
	r.ch('9');            // but typing beeps
	r.key(KS_UP);         // onto the text above
	r.ch('9');
	r.key(KS_F1 + 1); // F2 has no meaning on a form
	r.ch(27);         // Escape
	r.ch(127);        // Delete
	r.ch('\r');
	EXPECT_EQ(run_panel(PAN_MAP2), 0);
	EXPECT_EQ(r.bells, 5);
	EXPECT_STREQ(pn.md_s, "JAPAN");
	EXPECT_STREQ(pn.mc_s[1], "120");
	EXPECT_STREQ(pn.mc_s[13], "1");
	EXPECT_STREQ(pn.mc_s[14], "N");
	EXPECT_EQ(row_text(2).substr(24, 8), "< JAPAN ");
}

TEST(Panel, MessageShownOnceWithBeep)
{
	Recording r;
	start(r);
	set_em("Invalid magnitude!");
	r.ch('\r');
	EXPECT_EQ(run_panel(PAN_MAGNIT), 0);
	EXPECT_TRUE(drew(r, "Invalid magnitude!"));
	EXPECT_EQ(r.bells, 1);
	EXPECT_STREQ(sh.em_s, "");
	EXPECT_EQ(row_text(11).substr(0, 5), " --->"); // the line below the text

	r.calls.clear();
	r.ch('\r');
	EXPECT_EQ(run_panel(PAN_MAGNIT), 0);
	EXPECT_FALSE(drew(r, "Invalid magnitude!"));
	EXPECT_EQ(r.bells, 1);
}

TEST(Panel, HelpRedrawShowsTheValuesFromBeforeTheEdits)
{
	Recording r;
	start(r);
	std::strcpy(pn.mc_s[0], "MAG");
	sh.isr = 0;
	type(r, "ti");
	fkey_press(r, 9);
	r.ch(' '); // any key leaves the help screen
	r.ch('\r');
	EXPECT_EQ(run_panel(PAN_SORT), 0);
	EXPECT_TRUE(r.texts().find("Press any key or button to return.") != std::string::npos);
	EXPECT_STREQ(pn.mc_s[0], "MAG ");
	EXPECT_EQ(gr.widespace, 1); // the form is back with its own spacing
}

TEST(Panel, QuitAndReturnLeaveTheSlots)
{
	for (int key : {3, 6}) {
		Recording r;
		start(r);
		std::strcpy(pn.mc_s[0], "ab");
		std::strcpy(pn.mc_s[1], "TOOLONG");
		sh.isr = 0;
		type(r, "zz");
		fkey_press(r, key);
		EXPECT_EQ(run_panel(PAN_SORT), key);
		EXPECT_STREQ(pn.mc_s[0], "ab  "); // padded when drawn, edits dropped
		EXPECT_STREQ(pn.mc_s[1], "T");
	}
}

TEST(Panel, HeaderLines)
{
	Recording r;
	start(r);
	st.nmax = 8190, st.nmax2 = 4095, st.itot = 12;
	r.ch('\r');
	run_panel(PAN_SELECT);
	EXPECT_EQ(row_text(0).substr(28, 39), " Memory available for 8190/4095 events.");
	EXPECT_EQ(row_text(0).substr(0, 20), "    Request : SELECT");

	r.ch('\r');
	run_panel(PAN_SAVE);
	EXPECT_EQ(row_text(0).substr(32, 25), "for 12 events from PDE  .");

	for (int number : {PAN_OPTION, PAN_MAPS6}) {
		r.ch('\r');
		run_panel(number);
		const PanelEntry *e = find_panel(number);
		EXPECT_EQ(row_text(0).substr(0, PANEL_COLS), std::string(e->pan, PANEL_COLS));
	}
}

TEST(Panel, PrinterPrompt)
{
	const int keys[3][2] = {{'\r', 0}, {3, 3}, {6, 6}};
	for (auto [key, result] : keys) {
		Recording r;
		start(r);
		r.ch('\t');
		r.key(KS_LEFT);
		r.key(KS_RIGHT);
		if (key == '\r')
			r.ch('\r');
		else
			fkey_press(r, key);
		EXPECT_EQ(run_panel(PAN_PRINTER), result);
		EXPECT_EQ(pn.mn, 0);
		// No field to go to: the cursor stays just after the message.
		EXPECT_EQ(scr.row, 5);
		EXPECT_EQ(scr.col, 48);
		EXPECT_EQ(row_text(5).substr(10, 38), "Power on your printer and press Enter.");
	}
}

TEST(Panel, NoMemoryShowsOnlyTheMessage)
{
	Recording r;
	start(r);
	st.nmax2 = 0;
	r.ch('x');
	EXPECT_EQ(run_panel(PAN_SELECT), -1);
	EXPECT_EQ(r.input.size(), 1u); // returned without waiting
	EXPECT_EQ(row_text(9).substr(20, 36), "Available memory is less than 128KB!");
	EXPECT_EQ(row_text(10).substr(20, 21), "Click 'Exit' to exit.");
	EXPECT_EQ(row_text(0).find("Request"), std::string::npos);
}

TEST(Panel, OpeningScreenAndExit)
{
	Recording r;
	start(r);
	r.click(300, 300);
	EXPECT_EQ(run_panel(PAN_INIT), 0);
	EXPECT_EQ(row_text(7).substr(34, 8), "Tarnwell");
	EXPECT_EQ(row_text(8).substr(29, 17), "for UNIX/X Window");
	EXPECT_EQ(row_text(9).substr(22, 31), "(Version 3.02a  April 25, 2000)");
	EXPECT_EQ(row_text(18).substr(22, 33), "Press any key or button to begin.");
	EXPECT_EQ(gr.widespace, 0);

	// Ctrl+E on a form ends the program and writes nothing back.
	start(r);
	std::strcpy(pn.mc_s[0], "ab");
	type(r, "zz");
	r.ch(5);
	EXPECT_THROW(panel(PAN_SORT), Exited);
	EXPECT_STREQ(pn.mc_s[0], "ab  ");
}

TEST(Panel, MoversFollowTheFieldList)
{
	Recording r;
	start(r);
	r.ch('\r');
	run_panel(PAN_MAP2); // leaves MAP2's field list in place
	mvhome();
	EXPECT_EQ(scr.row, 2);
	EXPECT_EQ(scr.col, 26); // field 0, a display field
	mvend();
	EXPECT_EQ(scr.row, 11);
	EXPECT_EQ(scr.col, 67);
	mvtonext();
	EXPECT_EQ(scr.row, 7); // past the last input field: the first one
	EXPECT_EQ(scr.col, 27);
	mvtoprevious();
	EXPECT_EQ(scr.row, 11); // before the first input field: the last field
	EXPECT_EQ(scr.col, 67);
	move(24, 79);
	mvtoprevious();
	EXPECT_EQ(scr.row, 11);
}
