// SORT and the item values of an event that it sorts by.
#pragma once

namespace tw {

enum Item { IT_TIME = 0, IT_LON = 1, IT_LAT = 2, IT_DEP = 3, IT_MAG = 4, IT_BAD = 99 };

// Value of one item of event n of the selection, counted from 1.
double fnarg(int n, int item);
int fnitem(const char *text);
void swap(int a, int b); // records a and b of the selection, from 0

// The two passes, on events 1 to n of the selection.
void quicksort(int n, int item, bool desc);
void groupsort(int n, int item1, int item2, bool desc);

// One round of SORT with the form's values in pn.mc_s 0 to 3: -1 back to
// the form (em_s and isr set), else the result.
int sort_round();
int sort(); // the SORT command

} // namespace tw
