// Input signals: named, configurable key chords read from
// "uni_files/res/sig.txt" that game code reads instead of raw keys.
// Signal 1 is the left click, 2 the right click; the game reads `fired` of
// signals 1..8 and 12..15 (16 saves a screenshot).
#pragma once

#include <cstdint>
#include <span>

inline constexpr int kSigCount = 17;
inline constexpr int kSigSlots = 200;        // arbitration slots 1..199
inline constexpr int kSigMaxPass = 201;      // records one pass may evaluate
inline constexpr int kSigNameBytes = 12;

enum SigMode { kSigAnyKey = 0, kSigMultiPress = 1, kSigOnRelease = 2, kSigFirstPlus = 3, kSigEitherPlus = 4 };
enum SigCounterMode { kCounterWrap = 0, kCounterStop = 1, kCounterPingPong = 2 };

struct Sig {
    int enabled;          // > 0: the signal exists
    int live;             // >= 1: evaluated every frame
    int error;            // 1: no key given
    int lockoutMs;        // silence after firing
    int slot;             // arbitration slot 1..199, 0 none
    int priority;         // larger wins the slot
    int mode;             // SigMode
    int key[3];           // virtual-key codes, 0 none
    int exclusive;        // blocked while one of its keys is marked taken
    int spare;
    int multiOnly;        // mode 1: single presses are not reported
    int counter;          // 0 none, else 1..counterMax
    int counterMax;
    int counterMode;      // SigCounterMode
    int repeatMs;         // hold before auto-repeat (0 none)
    int repeatMax;        // 0 unlimited
    int pingPongDir;      // +1 / -1
    unsigned repeatStart; // frame stamp of the first active frame, 0 idle
    int repeatCount;
    int firstWindowMs;    // mode 1: second press within this counts double
    int secondWindowMs;   // mode 1: third press within this counts triple (0: none)
    int firstTimer, secondTimer;
    int lockoutTimer;
    int holdMs;           // mode 2: held so long (0 not held)
    int fired;            // this frame: 0 nothing, 1 fired / single, 2 double, 3 triple
    int pressX[3], pressY[3];
    int latched;          // mode 1: pressed and no key released since
    char name[kSigNameBytes];
};

extern Sig sigTable[kSigCount];
extern int keyTaken[256];       // marked by modes 3 and 4 for the first key of a held chord

// Reads up to `count` ten-line records into table (all zeroed first).
// Returns the number of complete records; records the data does not hold
// completely stay disabled.
int SigParse(std::span<const std::uint8_t> bytes, Sig* table, int count);
// sigTable from a file; 0 when it cannot be read (sigTable is then all disabled).
int SigLoadFile(const char* path);

// Evaluates first..last inclusive (at most kSigMaxPass records) against
// keyDown, the cursor and the frame clock, then arbitrates slots. Taken-key
// marks are dropped at the start of each pass; at its end the presses count
// as seen (a tap's held-back release then takes effect).
void SigUpdateAll(Sig* first, Sig* last);
// The frame's pass over sigTable.
inline void SigUpdateTable() { SigUpdateAll(&sigTable[0], &sigTable[kSigCount - 1]); }

void SigReset();   // all records disabled, no marks
