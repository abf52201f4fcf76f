// Panel templates: the text of every form and its field list, looked up by
// panel number.
#pragma once

namespace tw {

constexpr int PANEL_COLS = 77; // characters in a template row
constexpr int FIELD_LEN = 11;  // characters in a field entry ("%d, %d, %d")

// Panel numbers; 0 to 8 are also the menu items the menu bar highlights.
enum PanelNo {
	PAN_SELECT = 0, PAN_PRINTER = 2, PAN_SAVE = 3, PAN_SORT = 4, PAN_MAP = 5,
	PAN_TIME = 6, PAN_MAGNIT = 7, PAN_OPTION = 8, PAN_MAP1 = 51,
	PAN_MAP2 = 52, PAN_MAPS2 = 55, PAN_MAPS3 = 56, PAN_MAPS4 = 57,
	PAN_MAPS5 = 58, PAN_MAPS6 = 59, PAN_HELP = 70, PAN_INIT = 99,
};

// One field entry before it is written out as text.
struct PanelField {
	short col;  // screen column of the first cell
	short row;  // screen row
	short code; // 1..99 input (upper-cased), 101..199 input (case kept),
	            // 0..-8 display from mc_s, -9 and below display from md_s
};

struct PanelEntry {
	int number;       // panel number given to panel()
	const char *name; // "SELECT", "MAP1", ...
	const char *pan;  // lm rows of 77 characters, then mn field entries
	short lm;         // text rows
	short mn;         // fields
};

extern const PanelEntry panel_table[];
extern const int npanel_table;

const PanelEntry *find_panel(int number); // nullptr for the printer prompt

} // namespace tw
