// Event records and the segmented event store.
#pragma once
#include <cstdint>

namespace tw {

constexpr int SEGSIZE = 65536, SEGREC = 4095, MAXSEG = 8;

struct Store {
	unsigned char *iseg[10]; // segments obtained at start-up, 8 used
	int nseg;                // number of segments obtained
	short nmax;              // capacity of the primary half, in events
	short nmax2;             // capacity of the secondary half, in events
	int itot;                // events in the primary half
	short isort;             // 1 after SORT ("special order")
	char f2_s[6];            // data source of the current selection
};
extern Store st;

int alloc_mem();
int peek(long offset, const unsigned char *block);
int qeek(long offset, const unsigned char *block);
void poke(int value, long offset, unsigned char *block);
long bload(unsigned char *block, long offset, const char *name);
int fnyear(long offset, const unsigned char *block);
double bin2deg(long offset, const unsigned char *block);

} // namespace tw
