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
int32_t marker[kPathCells];     // == onOpen: open, == onClosed: closed
int32_t gCost[kPathCells];
uint16_t parentOf[kPathCells];  // layer index of the parent cell
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
        std::memset(marker, 0, sizeof marker);
        onClosed = kMarkerStart;
    }
    onClosed += 2;
    onOpen = onClosed - 1;

    s.length = 0;
    s.readPos = 0;
    const uint8_t* blocked = passLayers.layer[cls - 1];
    const int start = PathLayerIndex(sx, sy);
    const int target = PathLayerIndex(tx, ty);
    gCost[start] = 0;
    heap.Clear();
    heap.Push(0, start);

    for (;;) {
        if (heap.count == 0) return s.status = kPathNone;
        const int p = heap.Pop().cell;
        marker[p] = onClosed;
        if (trace && trace->count < trace->capacity) trace->cells[trace->count++] = p;
        const int px = p >> 8, py = p & 255;
        const int pg = gCost[p];

        for (int b = py - 1; b <= py + 1; ++b) {
            if (b < 0 || b > 255) continue;
            for (int a = px - 1; a <= px + 1; ++a) {
                if (a < 0 || a > 255) continue;
                const int c = PathLayerIndex(a, b);
                if (marker[c] == onClosed || blocked[c]) continue;
                const bool diagonal = a != px && b != py;
                // No corner cutting: both orthogonal cells between must be free.
                if (diagonal && (blocked[PathLayerIndex(a, py)] || blocked[PathLayerIndex(px, b)]))
                    continue;
                const int g = pg + (diagonal ? 14 : 10);
                if (marker[c] != onOpen) {
                    gCost[c] = g;
                    parentOf[c] = static_cast<uint16_t>(p);
                    heap.Push(g + 10 * (std::abs(a - tx) + std::abs(b - ty)), c);
                    marker[c] = onOpen;
                } else if (g < gCost[c]) {
                    parentOf[c] = static_cast<uint16_t>(p);
                    gCost[c] = g;
                    const int at = heap.Find(c);
                    if (at > 0) heap.Lower(at, g + 10 * (std::abs(a - tx) + std::abs(b - ty)));
                    if (trace) ++trace->lowered;
                }
            }
        }
        if (marker[target] == onOpen) break;
    }

    int length = 0;
    for (int c = target; c != start; c = parentOf[c]) ++length;
    if (length > kPathBankSteps) length = kPathBankSteps;
    s.length = length;
    int i = length;
    for (int c = target; c != start && i > 0; c = parentOf[c]) {
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
    std::memset(marker, 0, sizeof marker);
    onClosed = kMarkerStart;
    onOpen = kMarkerStart - 1;
    indexedHeap.Clear();
    scannedHeap.Clear();
}
