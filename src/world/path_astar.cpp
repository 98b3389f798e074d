// A* planner: the search itself, its working arrays and the searchers.
#include "world/path_astar.h"

#include <cstdlib>
#include <cstring>

PathSearcher pathSearchers[kPathSearchers];

namespace {

constexpr int kMarkerStart = 10;
constexpr int kMarkerLimit = 1000000;
constexpr int kCellSize = 10;

// Working arrays shared by every search; markers make clearing unnecessary.
// Per cell, kept together so that one neighbour test touches one line.
struct CellWork {
    int32_t marker;   // == onOpen: open, == onClosed: closed
    int32_t g;
    int32_t parent;   // layer index of the parent cell
};
CellWork work[kPathCells];
int onClosed = kMarkerStart;
int onOpen = kMarkerStart - 1;

PathHeap<true> indexedHeap;
PathHeap<false> scannedHeap;

void SetNextStep(PathSearcher& s) {
    const PathStepCell c = s.bank[s.readPos - 1];
    s.nextX = c.gx * kCellSize + kCellSize / 2;
    s.nextZ = c.gy * kCellSize + kCellSize / 2;
}

template <bool kTrackPos>
int Search(PathHeap<kTrackPos>& heap, int cls, int searcher, int startX, int startZ, int targetX,
           int targetZ, PathTrace* trace) {
    if (searcher < 0 || searcher >= kPathSearchers) return kPathNone;
    // A start outside the grid would index outside every working array.
    if (startX < 0 || startZ < 0) return kPathNone;
    const int sx = startX / kCellSize, sy = startZ / kCellSize;
    if (sx > 255 || sy > 255) return kPathNone;
    PathSearcher& s = pathSearchers[searcher];

    int tx = targetX / kCellSize, ty = targetZ / kCellSize;
    if (targetX < 0) tx = -1;  // -1..-9 would truncate onto column 0
    if (targetZ < 0) ty = -1;

    if (sx == tx && sy == ty) return s.status = (s.readPos > 0 ? kPathFound : kPathNone);

    if (PathIsBlocked(cls, tx, ty)) {
        s.nextX = startX;
        s.nextZ = startZ;
        return s.status = kPathNone;
    }

    if (onClosed > kMarkerLimit) {
        std::memset(work, 0, sizeof work);
        onClosed = kMarkerStart;
    }
    onClosed += 2;
    onOpen = onClosed - 1;

    s.length = 0;
    s.readPos = 0;
    const uint8_t* blocked = passLayers.layer[cls - 1];
    const int start = PathLayerIndex(sx, sy);
    const int target = PathLayerIndex(tx, ty);
    work[start].g = 0;
    heap.Clear();
    heap.Push(0, start);

    for (;;) {
        if (heap.count == 0) return s.status = kPathNone;
        const int p = heap.Pop().cell;
        work[p].marker = onClosed;
        if (trace && trace->count < trace->capacity) trace->cells[trace->count++] = p;
        const int px = p >> 8, py = p & 255;
        const int pg = work[p].g;

        // One neighbour c = (a, b) that is on the grid, free, and not a
        // corner cut: open it or give it a cheaper parent.
        auto visit = [&](int c, int a, int b, int step) __attribute__((always_inline)) {
            CellWork& w = work[c];
            if (w.marker == onClosed) return;
            const int g = pg + step;
            if (w.marker != onOpen) {
                w.g = g;
                w.parent = p;
                heap.Push(g + 10 * (std::abs(a - tx) + std::abs(b - ty)), c);
                w.marker = onOpen;
            } else if (g < w.g) {
                w.parent = p;
                w.g = g;
                const int at = heap.Find(c);
                if (at > 0) heap.Lower(at, g + 10 * (std::abs(a - tx) + std::abs(b - ty)));
                if (trace) ++trace->lowered;
            }
        };

        if (px >= 1 && px <= 254 && py >= 1 && py <= 254) {
            // Inside the grid: the eight neighbours in row order, upper left first.
            const bool bw = blocked[p - 256], be = blocked[p + 256];
            const bool bn = blocked[p - 1], bs = blocked[p + 1];
            if (!bw && !bn && !blocked[p - 257]) visit(p - 257, px - 1, py - 1, 14);
            if (!bn) visit(p - 1, px, py - 1, 10);
            if (!be && !bn && !blocked[p + 255]) visit(p + 255, px + 1, py - 1, 14);
            if (!bw) visit(p - 256, px - 1, py, 10);
            if (!be) visit(p + 256, px + 1, py, 10);
            if (!bw && !bs && !blocked[p - 255]) visit(p - 255, px - 1, py + 1, 14);
            if (!bs) visit(p + 1, px, py + 1, 10);
            if (!be && !bs && !blocked[p + 257]) visit(p + 257, px + 1, py + 1, 14);
        } else {
            for (int b = py - 1; b <= py + 1; ++b) {
                if (b < 0 || b > 255) continue;
                for (int a = px - 1; a <= px + 1; ++a) {
                    if (a < 0 || a > 255) continue;
                    const int c = PathLayerIndex(a, b);
                    if (c == p || blocked[c]) continue;
                    const bool diagonal = a != px && b != py;
                    // No corner cutting: both orthogonal cells between must be free.
                    if (diagonal && (blocked[PathLayerIndex(a, py)] || blocked[PathLayerIndex(px, b)]))
                        continue;
                    visit(c, a, b, diagonal ? 14 : 10);
                }
            }
        }
        if (work[target].marker == onOpen) break;
    }

    int length = 0;
    for (int c = target; c != start; c = work[c].parent) ++length;
    if (length > kPathBankSteps) length = kPathBankSteps;
    s.length = length;
    int i = length;
    for (int c = target; c != start && i > 0; c = work[c].parent) {
        --i;
        s.bank[i] = PathStepCell{static_cast<uint8_t>(c >> 8), static_cast<uint8_t>(c & 255)};
    }
    s.readPos = 1;
    SetNextStep(s);
    return s.status = kPathFound;
}

}  // namespace

int FindPath(int cls, int searcher, int startX, int startZ, int targetX, int targetZ) {
    return Search(indexedHeap, cls, searcher, startX, startZ, targetX, targetZ, nullptr);
}

int FindPathTraced(int cls, int searcher, int startX, int startZ, int targetX, int targetZ,
                   PathTrace* trace) {
    return Search(indexedHeap, cls, searcher, startX, startZ, targetX, targetZ, trace);
}

int FindPathLinearScan(int cls, int searcher, int startX, int startZ, int targetX, int targetZ,
                       PathTrace* trace) {
    return Search(scannedHeap, cls, searcher, startX, startZ, targetX, targetZ, trace);
}

int PathOnClosed() { return onClosed; }
void PathSetOnClosed(int value) {
    onClosed = value;
    onOpen = value - 1;
}

void PathPlannerReset() {
    std::memset(pathSearchers, 0, sizeof pathSearchers);
    std::memset(work, 0, sizeof work);
    onClosed = kMarkerStart;
    onOpen = kMarkerStart - 1;
    indexedHeap.Clear();
    scannedHeap.Clear();
}
