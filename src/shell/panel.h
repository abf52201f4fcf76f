// Panel form engine: full-screen forms drawn from text templates, with
// field values exchanged through shared slots.
#pragma once

namespace tw {

constexpr int MAXFIELD = 42;

struct Panel {
	char mc_s[MAXFIELD][9]; // value of field i (8 characters and end mark)
	char md_s[65];          // the one field wider than 8 cells
	char me_s[65], mf_s[65];// OPTION's fields 1 and 2
	short mx[MAXFIELD];     // field columns
	short my[MAXFIELD];     // field rows
	short ml[MAXFIELD];     // field width codes
	short mn;               // number of fields
	short lm;               // number of text rows
	const char *pan;        // current template
	char em_s[71];          // pending message, shown once by the next panel
	short isr;              // field on which the next panel starts
};
extern Panel pn;

void panel_reset(); // slots empty, no current panel

// Set em_s, cut to its capacity.
void set_em(const char *fmt, ...) __attribute__((format(printf, 1, 2)));
void show_error_message(int r); // em_s on row r, then forgotten

int panel(int number);

// What a form's first row and the memory check tell of the event store.
// The store defines store_counts, so the engine reads nothing above itself.
struct StoreCounts {
	int nmax, nmax2;    // capacity of the two halves, in events
	int itot;           // events selected
	const char *source; // where they came from
};
extern StoreCounts (*store_counts)();

// The first numeric field of panel number that holds no value of its kind
// (or the From time of a window that ends before it starts), its message
// set; -1 when every field is good. Enter on a form runs it.
int bad_field(int number);
void mvtonext();
void mvtoprevious();
void mvhome();
void mvend();

} // namespace tw
