// A* path planner over the passability layers (8-connected grid).
//
// Exact rules the game's movement depends on: step cost 10 straight and 14
// diagonal, H = 10 * Manhattan distance (not admissible, so the search runs
// greedy and cheap), neighbours visited row by row from the upper left,
// no diagonal step past a blocked orthogonal cell, and the search stops as
// soon as the target is put on the open list. The open list is a binary heap
// whose tie rules decide which of equally good paths is returned; they are
// kept in PathHeap below. The working arrays are never cleared between
// searches: two marker counters grow by 2 per search instead.
#pragma once

#include <cstdint>

#include "world/path_grid.h"

inline constexpr int kPathSearchers = 4;
inline constexpr int kPathBankSteps = 65536;
inline constexpr int kPathFound = 1;
inline constexpr int kPathNone = 2;

struct PathStepCell {
    uint8_t gx, gy;
};

// One independent searcher (figures use searcher 0).
struct PathSearcher {
    int status;       // last result: 0 not run, 1 found, 2 no path
    int length;       // steps in bank (the start is not a step), capped at 65536
    int readPos;      // 1 after a successful search: bank[0] is the next step
    int nextX, nextZ; // world units: centre of the next step, or the start on failure
    PathStepCell bank[kPathBankSteps];  // first step after the start .. target
};
extern PathSearcher pathSearchers[kPathSearchers];

// Binary min-heap on F of open cells, 1-based. Ties: a pushed item rises
// past parents of equal F; on a pop the moved item sinks into a child of
// lower or equal F, the right child winning a tie with the left; a cell
// whose F drops rises only past parents of strictly higher F.
// With kTrackPos the heap keeps every cell's slot so that a decrease-key
// needs no scan; the order of operations is the same either way.
struct PathHeapEntry {
    int32_t f;
    int32_t cell;
};

template <bool kTrackPos>
struct PathHeap {
    int count = 0;
    PathHeapEntry e[kPathCells + 1];
    int32_t pos[kTrackPos ? kPathCells : 1];

    void Clear() { count = 0; }
    void Place(int i, PathHeapEntry v) {
        e[i] = v;
        if constexpr (kTrackPos) pos[v.cell] = i;
    }
    void Push(int32_t f, int32_t cell) {
        int m = ++count;
        const PathHeapEntry v{f, cell};
        while (m != 1 && f <= e[m >> 1].f) {
            Place(m, e[m >> 1]);
            m >>= 1;
        }
        Place(m, v);
    }
    // Removes the top; the last item is moved to the top and sunk.
    PathHeapEntry Pop() {
        const PathHeapEntry top = e[1];
        const PathHeapEntry v = e[count];
        const int n = --count;
        if (n == 0) return top;
        int u = 1;
        for (;;) {
            const int l = u << 1;
            int v2 = u;
            int32_t fv = v.f;
            if (l + 1 <= n) {
                if (fv >= e[l].f) { v2 = l; fv = e[l].f; }
                if (fv >= e[l + 1].f) v2 = l + 1;
            } else if (l <= n) {
                if (fv >= e[l].f) v2 = l;
            }
            if (v2 == u) break;
            Place(u, e[v2]);
            u = v2;
        }
        Place(u, v);
        return top;
    }
    // Slot of an open cell.
    int Find(int32_t cell) const {
        if constexpr (kTrackPos) {
            return pos[cell];
        } else {
            for (int x = 1; x <= count; ++x)
                if (e[x].cell == cell) return x;
            return 0;
        }
    }
    // New, lower F of the item at slot m: it rises past strictly higher parents.
    void Lower(int m, int32_t f) {
        const PathHeapEntry v{f, e[m].cell};
        while (m != 1 && f < e[m >> 1].f) {
            Place(m, e[m >> 1]);
            m >>= 1;
        }
        Place(m, v);
    }
};

// Records the cells in the order they leave the open list (tests only).
struct PathTrace {
    int count;
    int capacity;
    int32_t* cells;  // layer indices gx * 256 + gy
    int lowered;     // decrease-key steps taken
};

// Plans from world point (startX, startZ) to (targetX, targetZ) for movement
// class cls with the given searcher. Returns kPathFound or kPathNone.
// A start outside the grid (or a searcher outside 0..3) is refused with
// kPathNone and leaves the searcher as it was.
int FindPath(int cls, int searcher, int startX, int startZ, int targetX, int targetZ);

// The same search finding open items by a linear scan of the heap, and a
// variant recording the pop order; both exist to prove the indexed
// decrease-key changes nothing.
int FindPathLinearScan(int cls, int searcher, int startX, int startZ, int targetX, int targetZ,
                       PathTrace* trace = nullptr);
int FindPathTraced(int cls, int searcher, int startX, int startZ, int targetX, int targetZ,
                   PathTrace* trace);

// Marker counters (tests look at and force them).
int PathOnClosed();
void PathSetOnClosed(int value);

// Clears the searchers, the marker grid and the counters.
void PathPlannerReset();
