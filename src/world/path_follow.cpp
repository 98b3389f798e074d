// Walking along planned paths, cell claims and the periodic rebuild.
#include "world/path_follow.h"

#include <cmath>
#include <cstring>

#include "app/frame.h"
#include "app/random.h"
#include "world/fgr.h"
#include "world/kle.h"
#include "world/path_astar.h"
#include "world/path_grid.h"

int pathRebuildTimer = 1;
PathSpeedFn pathSpeedFactor = nullptr;
PathArriveFn pathArriveHook = nullptr;
int pathFailedTarget[kFigureSlots + 1];

namespace {

constexpr float kWorldSize = kKleCols * kKleSize;  // 2560

// Step aside: the eight neighbours, upper left first.
constexpr int kAsideOffsets[8] = {-257, -256, -255, -1, 1, 255, 256, 257};

bool OnGrid(float x, float z) { return x >= 0.0f && z >= 0.0f && x < kWorldSize && z < kWorldSize; }

void StepCentre(const Fgr* f, int i, float cellSize, float* x, float* z) {
    *x = static_cast<float>(f->pathStep[i].x) * cellSize + cellSize * 0.5f;
    *z = static_cast<float>(f->pathStep[i].z) * cellSize + cellSize * 0.5f;
}

// Segment from (sx, sz) to the centre of pathStep[i].
void AimAt(Fgr* f, float sx, float sz, int i, float cellSize) {
    float ex, ez;
    StepCentre(f, i, cellSize, &ex, &ez);
    const float dx = ex - sx, dz = ez - sz;
    const float len = std::sqrt(dx * dx + dz * dz);
    f->segmentStartX = sx;
    f->segmentStartZ = sz;
    f->segmentLength = len;
    f->segmentDirX = len > 0.0f ? dx / len : 0.0f;
    f->segmentDirZ = len > 0.0f ? dz / len : 0.0f;
}

// A fresh path: walk from where the figure stands to its first step; the
// figure stops holding its cell.
void StartPath(Fgr* f, int length) {
    f->onPath = 1;
    f->onPathNext = 0;
    f->onPathLen = length;
    AimAt(f, f->x, f->z, 0, kPathCellSize);
    f->segmentDone = 0.0f;
    KleClearLinks(f);
}

bool Live(const Fgr* f) { return f->fgrKind != 0; }

}  // namespace

void ReplanPath(Fgr* f) {
    if (!f || f->moveMode == 0 || f->targPathKle == 0) return;
    if (f->onPath == 1 && !(f->onPathLen >= kReplanMinLength && f->onPathNext >= kReplanMinNext)) return;
    const int slot = FgrSlotOf(f);
    const int k = f->targPathKle;
    if (k < 0 || k >= kKleCount || !OnGrid(f->x, f->z)) {
        f->onPath = 0;
        if (slot >= 1 && slot <= kFigureSlots) pathFailedTarget[slot] = k;
        return;
    }
    const int sx = static_cast<int>(f->x), sz = static_cast<int>(f->z);
    const int tcol = KleCol(k), trow = KleRow(k);
    int r;
    if (sx / 10 == tcol && sz / 10 == trow) {
        // Already in the target cell: walk to its centre. The planner would
        // answer from whatever path searcher 0 found last.
        if (!PathIsBlocked(f->moveMode, tcol, trow)) {
            f->pathStep[0] = FgrPathStep{tcol, trow};
            StartPath(f, 1);
            if (slot >= 1 && slot <= kFigureSlots) pathFailedTarget[slot] = 0;
            return;
        }
        r = kPathNone;
    } else {
        r = FindPath(f->moveMode, 0, sx, sz, tcol * 10 + 5, trow * 10 + 5);
    }
    if (r != kPathFound) {
        f->onPath = 0;
        if (slot >= 1 && slot <= kFigureSlots) pathFailedTarget[slot] = k;
        return;
    }
    const PathSearcher& s = pathSearchers[0];
    const int stored = s.length < kFgrPathSteps ? s.length : kFgrPathSteps;
    for (int i = 0; i < stored; ++i) f->pathStep[i] = FgrPathStep{s.bank[i].gx, s.bank[i].gy};
    StartPath(f, s.length);
    if (slot >= 1 && slot <= kFigureSlots) pathFailedTarget[slot] = 0;
}

void FollowPath(Fgr* f, float cellSize) {
    if (!f || f->onPath != 1) return;
    // Path words from a file or a stray write: stop rather than read past the steps.
    if (f->onPathNext < 0 || f->onPathNext >= kFgrPathSteps || f->onPathLen < 1) {
        StopPath(f);
        return;
    }
    float speed = f->speed;
    if (pathSpeedFactor) speed *= pathSpeedFactor(f);
    const float d = frameDeltaF * speed + f->segmentDone;
    if (d <= f->segmentLength) {
        f->segmentDone = d;
        f->x = f->segmentStartX + f->segmentDirX * d;
        f->z = f->segmentStartZ + f->segmentDirZ * d;
        return;
    }
    f->segmentDone = d - f->segmentLength;
    const int next = f->onPathNext;
    float cx, cz;
    StepCentre(f, next, cellSize, &cx, &cz);
    if (next + 1 != f->onPathLen) {
        if (next + 1 < kFgrPathSteps) {
            f->onPathNext = next + 1;
            AimAt(f, cx, cz, next + 1, cellSize);
            return;
        }
        // The stored steps of a longer path end here: plan on from this cell.
        f->x = cx;
        f->z = cz;
        f->onPath = 0;
        ReplanPath(f);
        return;
    }
    // Arrived: stand on the centre of the last cell.
    f->x = cx;
    f->z = cz;
    StopPath(f);
    if (pathArriveHook) pathArriveHook(f);
}

void FgrFollowPath(Fgr* f) { FollowPath(f, kPathCellSize); }

void PathStepFigure(Fgr* f) {
    if (!f) return;
    if (f->onPath == 0 && f->targPathKle != 0 && f->moveMode != 0) {
        const int slot = FgrSlotOf(f);
        if (slot < 1 || slot > kFigureSlots || pathFailedTarget[slot] != f->targPathKle) ReplanPath(f);
    }
    FollowPath(f, kPathCellSize);
}

void StopPath(Fgr* f) {
    if (!f) return;
    f->onPathLen = 0;
    f->targPathKle = 0;
    f->onPath = 0;
    FgrClaimCell(f, -1);
}

int FgrClaimCell(Fgr* f, int k) {
    if (!f) return 0;
    if (k < 0) k = KleAt(f->x, f->z);
    if (!KleInterior(k)) return 0;
    Kle& c = masKle.m[k];
    Fgr* holder = c.fgrMove;
    // A freed slot, or a figure that has left the cell, holds nothing.
    if (holder && holder != f && (!Live(holder) || KleAt(holder->x, holder->z) != k)) holder = nullptr;
    if (!holder || holder == f) {
        c.fgrMove = f;
        return 0;
    }
    FgrStepAside(f, k);
    return 1;
}

void FgrStepAside(Fgr* f, int k) {
    if (!f) return;
    const int r = RandRange(0, 7) + 1;
    const int n = KleInterior(k) ? k + kAsideOffsets[r - 1] : -1;
    f->targPathKle = KleInterior(n) ? n : 0;
    f->onPath = 0;
}

void PathRebuild() {
    PathClearLayers();
    for (int k = 0; k < kKleCount; ++k) PathStampLandType(k, masKle.m[k].landType);
    for (int s = 1; s <= kFigureSlots; ++s) {
        const Fgr& f = FigureTable[s];
        if (f.fgrKind && f.active && f.footprintCell && f.footprintShape)
            PathStampFootprint(f.footprintCell, f.footprintShape);
    }
    std::memset(pathFailedTarget, 0, sizeof pathFailedTarget);
    for (int s = 1; s <= kFigureSlots; ++s)
        if (FigureTable[s].fgrKind) ReplanPath(&FigureTable[s]);
}

void PathWorldStep() {
    if (!Countdown(&pathRebuildTimer)) return;
    PathRebuild();
    pathRebuildTimer = kPathRebuildMs;
}

void PathReset() {
    PathClearLayers();
    PathPlannerReset();
    pathRebuildTimer = 1;
    pathSpeedFactor = nullptr;
    pathArriveHook = nullptr;
    std::memset(pathFailedTarget, 0, sizeof pathFailedTarget);
}
