// The panel engine: editing a form, its messages and help, and the check
// of every numeric field.
#include <gtest/gtest.h>

#include <sstream>

#include "device/graph.h"
#include "shell/templates.h"
#include "shell_support.h"

using namespace tw;
using namespace tw::test;

namespace {

using Strs = std::vector<std::string>;
Strs operator+(Strs a, const Strs &b) { return a.insert(a.end(), b.begin(), b.end()), a; }

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
		pn.isr = isr;
	}
	// The form's answer to these keys; -1 when Ctrl+E ended the program.
	int run(int number, const char *keys = "\r") try { return r.type(keys), panel(number); }
	catch (const Exited &) { return -1; }
};

} // namespace

// SORT has fields 0 and 2 of four cells, 1 and 3 of one; SAVE one of 64.
// Each row starts with these slots and the cursor on field isr, then sends
// a key (pre), types, sends another (post). Enter gives 0 and the slots in
// upper case (SAVE's path keeps its case), cut or padded as drawn; F3 and
// F6 give 3 and 6, Ctrl+E ends the program, and all three drop the edits.
TEST_F(Forms, EditingMovingAndLeaving)
{
	const struct { int form; Strs start; int isr; unsigned long pre; const char *keys; unsigned long post; int ret;
		       std::string want; } rows[] = {
		// Three of four cells typed: no advance, the fourth stays blank.
		{PAN_SORT, {"TOOLONG", "d", "", "a"}, 2, 0, "lon\r", 0, 0, "TOOL|D|LON |A"},
		{PAN_SAVE, {}, 0, 0, "Out/List.txt\r", 0, 0, "Out/List.txt" + std::string(52, ' ')},
		// "timed" fills field 0 and jumps on to fill field 1, "dep" lands in
		// field 2; two Tabs wrap round to field 0, where x overwrites a cell.
		{PAN_SORT, {}, 0, 0, "timeddep\t\tx\r", 0, 0, "XIME|D|DEP | "},
		// Typing into the last cell of the last field goes back to the
		// first; BackSpace there takes the y back.
		{PAN_SORT, {}, 3, 0, "azy\b\r", 0, 0, "Z   | |    |A"},
		// Left on the first cell of SAVE's only field: its last cell.
		{PAN_SAVE, {}, 0, KS_LEFT, "q\r", 0, 0, std::string(63, ' ') + "q"},
		{PAN_SORT, {"ab", "TOOLONG"}, 0, 0, "zz", KS_F1 + 2, 3, "ab  |T|    | "},
		{PAN_SORT, {"ab", "TOOLONG"}, 0, 0, "zz", KS_F1 + 5, 6, "ab  |T|    | "},
		{PAN_SORT, {"ab"}, 0, 0, "zz\x05", 0, -1, "ab  | |    | "},
	};
	for (const auto &row : rows) {
		SCOPED_TRACE(testing::Message() << row.keys << ", then key " << row.post);
		slots(row.start, row.isr);
		if (row.pre)
			r.key(row.pre);
		r.type(row.keys);
		if (row.post)
			r.key(row.post);
		EXPECT_EQ(run(row.form, ""), row.ret);
		Strs v(pn.mc_s, pn.mc_s + 4);
		EXPECT_EQ(row.form == PAN_SAVE ? pn.md_s : v[0] + "|" + v[1] + "|" + v[2] + "|" + v[3], row.want);
	}
}

TEST_F(Forms, ProtectedCellsBeepAndDisplayFieldsStay)
{
	// MAP2: display fields 0 to 12, input fields 13 and 14.
	slots({"", "120", "", "", "", "", "", "", "", "", "", "", "", "1", "n"}, 13);
	std::strcpy(pn.md_s, "JAPAN");
	// A click onto the display field: the cursor may rest there but typing
	// beeps; Up onto the text above, typing; F2 (no meaning on a form),
	// Escape and Delete.
	click_cell(r, 3, 26);
	r.ch('9'), r.key(KS_UP), r.ch('9'), r.key(KS_F1 + 1), r.ch(27), r.ch(127);
	EXPECT_EQ(run(PAN_MAP2), 0);
	EXPECT_EQ(r.bells, 5);
	EXPECT_STREQ(pn.md_s, "JAPAN");
	EXPECT_EQ((Strs{pn.mc_s[1], pn.mc_s[13], pn.mc_s[14]}), (Strs{"120", "1", "N"}));
	EXPECT_EQ(row_text(2).substr(24, 8), "< JAPAN ");
}

// A message is shown once with a beep; F1's copy says on the form when it
// fails; after F9's help the form shows the values from before the edits.
TEST_F(Forms, MessageHelpAndCopy)
{
	set_em("Invalid magnitude!");
	EXPECT_EQ(run(PAN_MAGNIT), 0);
	EXPECT_TRUE(drew(r, "Invalid magnitude!"));
	EXPECT_EQ(r.bells, 1);
	EXPECT_EQ(row_text(11).substr(0, 5), " --->"); // the line below the text
	r.calls.clear();
	EXPECT_EQ(run(PAN_MAGNIT), 0);
	EXPECT_FALSE(drew(r, "Invalid magnitude!")); // shown once
	EXPECT_EQ(r.bells, 1);
	PrintPlace p; // F1: a copy whose file cannot be made says so on the form
	std::filesystem::create_directory("seis.prn");
	r.key(KS_F1);
	EXPECT_EQ(run(PAN_MAGNIT), 0);
	EXPECT_TRUE(drew(r, "Printer file cannot be opened!"));
	EXPECT_EQ(r.bells, 2);
	slots({"MAG"}, 0);
	r.type("ti");
	r.key(KS_F1 + 8); // F9: help
	EXPECT_EQ(run(PAN_SORT, " \r"), 0); // any key leaves the help screen
	EXPECT_NE(r.texts().find("Press any key or button to return."), std::string::npos);
	EXPECT_STREQ(pn.mc_s[0], "MAG ");
	EXPECT_EQ(gr.widespace, 1); // the form is back with its own spacing
}

// Every numeric field holds a number of its kind within its range, else
// Enter names the first bad field; blanks read as 0 where nothing else is
// meant. No message: accepted.
TEST_F(Forms, NumericFieldsRefuseWhatTheyCannotMean)
{
	const char *ok = "", *date = "Invalid date!", *time = "Invalid time!", *lon = "Invalid longitude!";
	const char *lat90 = "Latitude values should not exceed 90 degrees!", *depth = "Invalid depth!";
	const char *lon180 = "Longitude values should not exceed 180 degrees!", *dist = "Invalid distance!";
	const char *min60 = "Minute values should be less than 60!", *mag = "Invalid magnitude!";
	const char *color = "Invalid color number!", *sub = "Invalid subfunction number!";
	// Per form: its good values (MAPS3 and MAPS4 after 18 display fields), then rows of edits over them
	// ("field=text;..."), the message and the bad field.
	const Strs blank(18, "");
	const struct { int form; Strs good; std::vector<std::tuple<const char *, const char *, int>> rows; } forms[] = {
		{PAN_SELECT,
		 {"PDE", "1979", "01", "01", "00", "00", "00.0", "1979", "12", "31", "23", "59", "59.9", "", "120", "00", "E",
		  "180", "00", "E", "00", "00", "N", "60", "00", "N", "000.0", "999.9", "+0.0", "+9.9", "Y", "Y"},
		 {{"", ok, -1}, {"1=19A0", date, 1}, {"2=13", date, 2}, {"2=  ", date, 2},
		  // 29 February: not in 1979, nor in 1900, but in 1976
		  {"2=02;3=29", date, 3}, {"1=1900;2=02;3=29", date, 3}, {"1=1976;2=02;3=29", ok, -1}, {"4=24", time, 4},
		  {"5=60", time, 5}, {"12=5999", time, 12}, {"12=60.0", time, 12}, {"12=-1", time, 12},
		  {"4=  ;5=  ;6=    ", ok, -1}, {"5=60;2=13", date, 2}, // blanks: midnight; the first bad field
		  // From after To (the same year, down to the tenth of a second) or on it
		  {"2=12;3=31;8=01;9=01", date, 1}, {"8=01;9=01;10=00;11=00;12=00.0;6=00.5", date, 1},
		  {"8=01;9=01;10=00;11=00;12=00.0", ok, -1}, {"14=181", lon180, 14}, {"17=180;18=01", lon180, 17},
		  {"14=1 0", lon, 14}, {"15=60", min60, 15}, {"15=6A", "Invalid minute value!", 15}, {"16=X", lon, 16},
		  {"23=91", lat90, 23}, {"20=90;21=00;22=S;23=90", ok, -1}, {"22=E", "Invalid latitude!", 22},
		  {"26=-1.0", depth, 26}, {"27=1000", depth, 27}, {"26=1.2.3", depth, 26}, {"28=-10", mag, 28},
		  {"29=+A.0", mag, 29}, {"28=-9.9;29=9.9;26=0;27=999.9", ok, -1}}},
		{PAN_MAP, {"", "", "120", "00", "E", "150", "00", "E", "20", "00", "N", "50", "00", "N", "N", "000"},
		 {{"", ok, -1}, {"2=JAP;5=AN", lon, 2}, {"12=75", min60, 12}, {"8=95", lat90, 8}, {"15=-5", depth, 15},
		  {"2=180;3=00;4=W;15=999", ok, -1}}},
		{PAN_MAP1, {"0", "4", "20", "5", "40", "6", "60", "2", "80", "3", "200", "1", "600", "7", "0", "1", "2", "3", "4",
			    "5", "6", "7", "1.5", "1.25"},
		 {{"", ok, -1}, {"1=8", color, 1}, {"3=0", color, 3}, {"0=1A", depth, 0}, {"14=10", mag, 14},
		  {"12=   ;13= ;21=   ", ok, -1}, {"23=-1", "Invalid symbol size!", 23}}}, // classes not used: accepted
		{PAN_MAP2, Strs(13, "") + Strs{"1", "N"}, {{"13=7", sub, 13}, {"13=0", sub, 13}, {"13=6", ok, -1}}},
		{PAN_MAPS3, blank + Strs{"0", "100", "0", "300"}, {{"", ok, -1}, {"21=3O0", dist, 21}}},
		{PAN_MAPS4,
		 blank + Strs{"1995", "01", "01", "00", "00", "00.0", "1995", "12", "31", "23", "59", "59.9", "Y", "0", "100"},
		 {{"", ok, -1}, {"19=13", date, 19}, {"23=60", time, 23}, {"18=1996", date, 18}, {"32=x", dist, 32}}},
		{PAN_MAPS5, {"JAPAN", "5", "2", "3", "3"}, {{"4=9", color, 4}, {"1=7;2=1", ok, -1}}},
	};
	for (const auto &f : forms)
		for (auto [edits, message, field] : f.rows) {
			SCOPED_TRACE(std::to_string(f.form) + " " + edits);
			Strs v = f.good;
			std::stringstream in(edits);
			for (std::string e; std::getline(in, e, ';');)
				v[std::stoi(e)] = e.substr(e.find('=') + 1);
			slots(v, 0);
			EXPECT_EQ(bad_field(f.form), field);
			EXPECT_STREQ(pn.em_s, message);
		}
}
