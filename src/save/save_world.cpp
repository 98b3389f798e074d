// Save sections of the world side. The figure section keeps every used
// slot in place (the figure file packs them and drops links, targets and
// pool records, so it cannot hold a running game): the saved blocks, the
// runtime words, every link as a slot number and the pool records by
// number, plus the table's counters.
#include <cstring>
#include <vector>

#include "app/frame.h"
#include "app/random.h"
#include "save/save_sections.h"
#include "world/bunker.h"
#include "world/camera.h"
#include "world/fgr_ops.h"
#include "world/interaction.h"
#include "world/location.h"
#include "world/path_follow.h"
#include "world/path_grid.h"
#include "world/pools.h"
#include "world/spawn.h"

// A record that grows needs its save code to grow with it (write, read, check).
static_assert(sizeof(Fgr) == 1112, "Fgr changed: update the figure section");
static_assert(sizeof(Kle) == 40, "Kle changed: update the grid section");
static_assert(sizeof(PhRec) == 1612 && sizeof(PBufRec) == 1220 && sizeof(PKuRec) == 504 && sizeof(PeRec) == 176,
              "a pool record changed: update the pool section");
static_assert(sizeof(RandState) == 132, "RandState changed: update the clock section");

namespace {

constexpr int kTexSlots = 501;
constexpr int kMaxTypeWord = 100;
constexpr int kMaxPictureFile = 9999;

// --- grid -------------------------------------------------------------------------

void WriteGrid(SaveOut& o) {
    o.I32(masKle.tilesetNumber);
    o.I32(masKle.overlayNumber);
    for (const Kle& c : masKle.m) {
        const std::uint8_t b[8] = {c.landType, c.landSub, c.landHint, c.tile, c.aux0, c.aux1, c.aux2, c.brushMark};
        o.Bytes(b, 8);
        o.I32(c.cellParam);
    }
    std::int32_t links = 0;
    for (const Kle& c : masKle.m) links += (c.fgrMove || c.fgrKey) ? 1 : 0;
    o.I32(links);
    for (int k = 0; k < kKleCount; ++k) {
        const Kle& c = masKle.m[k];
        if (!c.fgrMove && !c.fgrKey) continue;
        o.I32(k);
        o.Slot(c.fgrMove);
        o.Slot(c.fgrKey);
    }
}

bool ReadGrid(SaveIn& in) {
    if (!in.I32(masKle.tilesetNumber, 0, kMaxPictureFile) || !in.I32(masKle.overlayNumber, 0, kMaxPictureFile))
        return false;
    for (Kle& c : masKle.m) {
        std::uint8_t b[8];
        if (!in.Bytes(b, 8) || !in.I32(c.cellParam)) return false;
        c.landType = b[0];
        c.landSub = b[1];
        c.landHint = b[2];
        c.tile = b[3];
        c.aux0 = b[4];
        c.aux1 = b[5];
        c.aux2 = b[6];
        c.brushMark = b[7];
        c.fgrMove = c.fgrKey = nullptr;
    }
    std::int32_t links = 0;
    if (!in.I32(links, 0, kKleCount)) return false;
    int last = -1;
    for (int i = 0; i < links; ++i) {
        std::int32_t k = 0;
        // Only interior cells hold figures; ascending order, each cell once.
        if (!in.I32(k, last + 1, kKleCount - 1) || !KleInterior(k)) return in.Fail();
        last = k;
        if (!in.Slot(masKle.m[k].fgrMove) || !in.Slot(masKle.m[k].fgrKey)) return false;
    }
    return true;
}

// --- pools --------------------------------------------------------------------------

template <typename Rec>
bool Pristine(const Rec& r) {
    static const Rec zero{};
    return std::memcmp(&r, &zero, sizeof r) == 0;
}

void WritePh(SaveOut& o, const PhRec& r) {
    o.I32s(r.w, kPhWords);
    o.I32(r.inUse);
}
bool ReadPh(SaveIn& in, PhRec& r) { return in.I32s(r.w, kPhWords) && in.Flag(r.inUse); }

void WritePBuf(SaveOut& o, const PBufRec& r) {
    o.I32(r.count);
    for (const FilterEntry& e : r.e) {
        o.I32(e.value);
        o.U16(e.code);
        o.U8(e.spread);
        o.U8(e.pct);
        o.U16(e.tag);
        o.U16(e.stage);
    }
    o.I32(r.inUse);
}
bool ReadPBuf(SaveIn& in, PBufRec& r) {
    if (!in.I32(r.count, 0, kFilterEntries)) return false;
    for (FilterEntry& e : r.e)
        if (!in.I32(e.value) || !in.U16(e.code) || !in.U8(e.spread) || !in.U8(e.pct) || !in.U16(e.tag) ||
            !in.U16(e.stage))
            return false;
    return in.Flag(r.inUse);
}

void WritePKu(SaveOut& o, const PKuRec& r) {
    o.I32(r.inUse);
    o.I32(r.count);
    for (const PKuEntry& e : r.e) {
        o.I32(e.value);
        o.U16(e.unitFlag);
        o.U16(e.code);
        o.U16(e.tag);
        o.U8(e.spread);
        o.U8(e.pct);
        o.U8(e.stage);
        o.Bytes(e.spare, sizeof e.spare);
    }
}
bool ReadPKu(SaveIn& in, PKuRec& r) {
    if (!in.Flag(r.inUse) || !in.I32(r.count, 0, kPKuEntries)) return false;
    for (PKuEntry& e : r.e)
        if (!in.I32(e.value) || !in.U16(e.unitFlag) || !in.U16(e.code) || !in.U16(e.tag) || !in.U8(e.spread) ||
            !in.U8(e.pct) || !in.U8(e.stage) || !in.Bytes(e.spare, sizeof e.spare))
            return false;
    return true;
}

void WritePe(SaveOut& o, const PeRec& r) {
    o.I32(r.inUse);
    o.I32(r.count);
    for (const PeEntry& e : r.e) {
        o.U16(e.code);
        o.U16(e.amount);
        o.U8(e.subtract);
        o.U8(e.useSource);
        o.U8(e.useAttacker);
        o.U8(e.spare);
    }
}
bool ReadPe(SaveIn& in, PeRec& r) {
    if (!in.Flag(r.inUse) || !in.I32(r.count, 0, kPeEntries)) return false;
    for (PeEntry& e : r.e)
        if (!in.U16(e.code) || !in.U16(e.amount) || !in.U8(e.subtract) || !in.U8(e.useSource) ||
            !in.U8(e.useAttacker) || !in.U8(e.spare))
            return false;
    return true;
}

// Records in use and free records that still hold old words (a new owner
// may read them before writing) are saved; the rest is zero.
template <typename Rec, typename W>
void WritePool(SaveOut& o, const Rec* pool, int n, W write) {
    std::int32_t count = 0;
    for (int i = 1; i <= n; ++i) count += Pristine(pool[i]) ? 0 : 1;
    o.I32(count);
    for (int i = 1; i <= n; ++i) {
        if (Pristine(pool[i])) continue;
        o.I32(i);
        write(o, pool[i]);
    }
}

template <typename Rec, typename R>
bool ReadPool(SaveIn& in, Rec* pool, int n, R read) {
    for (int i = 0; i <= n; ++i) pool[i] = Rec{};
    std::int32_t count = 0;
    if (!in.I32(count, 0, n)) return false;
    int last = 0;
    for (int c = 0; c < count; ++c) {
        std::int32_t i = 0;
        if (!in.I32(i, last + 1, n) || !read(in, pool[i])) return false;
        last = i;
    }
    return true;
}

void WritePools(SaveOut& o) {
    o.I32(cursorPh);
    o.I32(cursorPBuf);
    o.I32(cursorPKu);
    o.I32(cursorPe);
    WritePool(o, poolPh, kPhRecords, WritePh);
    WritePool(o, poolPBuf, kPBufRecords, WritePBuf);
    WritePool(o, poolPKu, kPKuRecords, WritePKu);
    WritePool(o, poolPe, kPeRecords, WritePe);
}

bool ReadPools(SaveIn& in) {
    // A cursor may stand one past the end (it wraps on the next request).
    return in.I32(cursorPh, 1, kPhRecords + 1) && in.I32(cursorPBuf, 1, kPBufRecords + 1) &&
           in.I32(cursorPKu, 1, kPKuRecords + 1) && in.I32(cursorPe, 1, kPeRecords + 1) &&
           ReadPool(in, poolPh, kPhRecords, ReadPh) && ReadPool(in, poolPBuf, kPBufRecords, ReadPBuf) &&
           ReadPool(in, poolPKu, kPKuRecords, ReadPKu) && ReadPool(in, poolPe, kPeRecords, ReadPe);
}

// --- figures ------------------------------------------------------------------------

// A slot that was ever handed out since the table's reset.
bool SlotUsed(const Fgr& f) { return f.fgrKind != 0 || f.serial != 0 || f.kor.mode != 0; }

// Every link and target of a figure, saved as slot numbers.
constexpr Fgr* Fgr::*kLinks[] = {&Fgr::target1, &Fgr::target2, &Fgr::owner,   &Fgr::next,  &Fgr::single1,
                                 &Fgr::single2, &Fgr::single3, &Fgr::members, &Fgr::list2, &Fgr::list3,
                                 &Fgr::guns,    &Fgr::list5,   &Fgr::list6};

template <typename Rec>
std::int32_t PoolIndex(const Rec* r, const Rec* pool) {
    return r ? static_cast<std::int32_t>(r - pool) : 0;
}

void WriteFigure(SaveOut& o, const Fgr& f) {
    for (Fgr* Fgr::*link : kLinks) o.Slot(f.*link);
    o.I32s(f.scratch, 4);
    o.I32(f.ownerWord);
    for (int n = 0; n < kFgrIntWords; ++n) o.I32(FgrIntWord(&f, n));
    for (int n = 0; n < kFgrFloatWords; ++n) o.F32(FgrFloatWord(&f, n));
    o.I32s(f.runtime, 5);
    for (const FgrPathStep& s : f.pathStep) {
        o.I32(s.x);
        o.I32(s.z);
    }
    o.Bytes(f.figureName, kFgrNameBytes);
    o.F32(f.segmentStartX);
    o.F32(f.segmentStartZ);
    o.F32(f.segmentDirX);
    o.F32(f.segmentDirZ);
    o.I32(f.kor.mode);
    o.I32(PoolIndex(f.kor.ph, poolPh));
    o.I32(PoolIndex(f.kor.pe, poolPe));
    o.I32(PoolIndex(f.kor.pKu, poolPKu));
    o.I32(PoolIndex(f.kor.pBuf, poolPBuf));
}

bool CellOrZero(int k) { return k == 0 || KleInterior(k); }

// The words the game uses as indices, cells, slots or loop bounds, checked
// as LoadMortFrom checks a figure file (here a bad one refuses the save).
bool FigureWordsValid(const Fgr& f) {
    if (f.fgrKind != 0 && !FgrKindFind(f.fgrKind)) return false;
    if (f.fgrClass < 0 || f.fgrClass > 3 || f.moveMode < 0 || f.moveMode > 5) return false;
    if (f.side < 0 || f.side > 5 || f.baseSide < 0 || f.baseSide > 5) return false;
    if (f.unitType < 0 || f.unitType > kMaxTypeWord || f.picture < 0 || f.picture >= kTexSlots) return false;
    for (int c : f.colour)
        if (c < 0 || c > 255) return false;
    if (!(CellOrZero(f.targPathKle) || f.targPathKle == -1)) return false;
    const auto anchorOk = [](int k) { return CellOrZero(k) || k == kAnchorNone; };
    if (!anchorOk(f.firstAnchor) || !anchorOk(f.secondAnchor) || !CellOrZero(f.footprintCell)) return false;
    if (f.target3Slot < 0 || f.target3Slot > kFigureSlots || !CellOrZero(f.homeCell)) return false;
    for (int i = 0; i < 9; ++i)
        if (f.lairSlot[i] < 0 || f.lairSlot[i] > kFigureSlots || !CellOrZero(f.lairDest[i])) return false;
    if (f.gunCount < 0 || f.gunCapacity < 0) return false;
    const int stored = f.onPathLen < kFgrPathSteps ? f.onPathLen : kFgrPathSteps;
    if (f.onPath < 0 || f.onPath > 1 || f.onPathLen < 0 || f.onPathNext < 0) return false;
    if (f.onPath == 1 && f.onPathNext >= stored) return false;
    for (const FgrPathStep& s : f.pathStep)
        if (s.x < 0 || s.x > 255 || s.z < 0 || s.z > 255) return false;
    return f.figureName[kFgrNameBytes - 1] == 0;
}

// kor: mode and pool numbers; a named record must be in use and named by
// no other figure.
struct PoolClaims {
    std::vector<std::uint8_t> ph, pe, pKu, pBuf;
    PoolClaims() : ph(kPhRecords + 1), pe(kPeRecords + 1), pKu(kPKuRecords + 1), pBuf(kPBufRecords + 1) {}
};

template <typename Rec>
bool ReadPoolRef(SaveIn& in, Rec*& ref, Rec* pool, int n, std::vector<std::uint8_t>& claimed) {
    std::int32_t i = 0;
    if (!in.I32(i, 0, n)) return false;
    ref = nullptr;
    if (i == 0) return true;
    if (!pool[i].inUse || claimed[i]) return in.Fail();
    claimed[i] = 1;
    ref = &pool[i];
    return true;
}

bool ReadFigure(SaveIn& in, Fgr& f, PoolClaims& claims) {
    for (Fgr* Fgr::*link : kLinks)
        if (!in.Slot(f.*link)) return false;
    if (!in.I32s(f.scratch, 4) || !in.I32(f.ownerWord)) return false;
    for (int n = 0; n < kFgrIntWords; ++n) {
        std::int32_t v = 0;
        if (!in.I32(v)) return false;
        FgrSetIntWord(&f, n, v);
    }
    for (int n = 0; n < kFgrFloatWords; ++n) {
        float v = 0.0f;
        if (!in.F32(v)) return false;
        FgrSetFloatWord(&f, n, v);
    }
    if (!in.I32s(f.runtime, 5)) return false;
    for (FgrPathStep& s : f.pathStep)
        if (!in.I32(s.x) || !in.I32(s.z)) return false;
    if (!in.Bytes(f.figureName, kFgrNameBytes) || !in.F32(f.segmentStartX) || !in.F32(f.segmentStartZ) ||
        !in.F32(f.segmentDirX) || !in.F32(f.segmentDirZ))
        return false;
    if (!in.I32(f.kor.mode, kKorNone, kKorLight)) return false;
    if (!ReadPoolRef(in, f.kor.ph, poolPh, kPhRecords, claims.ph) ||
        !ReadPoolRef(in, f.kor.pe, poolPe, kPeRecords, claims.pe) ||
        !ReadPoolRef(in, f.kor.pKu, poolPKu, kPKuRecords, claims.pKu) ||
        !ReadPoolRef(in, f.kor.pBuf, poolPBuf, kPBufRecords, claims.pBuf))
        return false;
    return FigureWordsValid(f) || in.Fail();
}

void FreshSlot(Fgr& f, int slot) {
    f = Fgr{};
    f.colour[kColA] = f.colour[kColR] = f.colour[kColG] = f.colour[kColB] = 255;
    f.size = 1.0f;
    f.slotIndex = slot;
}

void WriteFigures(SaveOut& o) {
    o.I32(nextSlot);
    o.I32(createLock);
    o.I32(fgrSerial);
    o.Slot(fgrMainHero);
    o.Slot(pBos);
    std::int32_t used = 0;
    for (int s = 1; s <= kFigureSlots; ++s) used += SlotUsed(FigureTable[s]) ? 1 : 0;
    o.I32(used);
    for (int s = 1; s <= kFigureSlots; ++s) {
        if (!SlotUsed(FigureTable[s])) continue;
        o.I32(s);
        WriteFigure(o, FigureTable[s]);
    }
}

bool ReadFigures(SaveIn& in) {
    if (!in.I32(nextSlot, 1, kFigureSlots + 1) || !in.I32(createLock) || !in.I32(fgrSerial, 1) ||
        !in.Slot(fgrMainHero) || !in.Slot(pBos))
        return false;
    for (int s = 0; s <= kFigureSlots; ++s) FreshSlot(FigureTable[s], s);
    std::int32_t used = 0;
    if (!in.I32(used, 0, kFigureSlots)) return false;
    // Every record in use must belong to a figure, and only to one.
    PoolClaims claims;
    int last = 0;
    for (int i = 0; i < used; ++i) {
        std::int32_t s = 0;
        if (!in.I32(s, last + 1, kFigureSlots) || !ReadFigure(in, FigureTable[s], claims)) return false;
        last = s;
    }
    const auto allClaimed = [](const auto* pool, int n, const std::vector<std::uint8_t>& claimed) {
        for (int i = 1; i <= n; ++i)
            if (pool[i].inUse && !claimed[i]) return false;
        return true;
    };
    if (!allClaimed(poolPh, kPhRecords, claims.ph) || !allClaimed(poolPe, kPeRecords, claims.pe) ||
        !allClaimed(poolPKu, kPKuRecords, claims.pKu) || !allClaimed(poolPBuf, kPBufRecords, claims.pBuf))
        return in.Fail();
    return true;
}

// --- spawn links, side resources ----------------------------------------------------

void WriteSpawn(SaveOut& o) {
    for (int i = 0; i <= kNpcCount; ++i) o.Slot(fgrNpc[i]);
    o.Slot(fgrLairForest);
    o.Slot(fgrLairWater);
    for (int t = 0; t < 9; ++t) {
        o.I32(startPoints.count[t]);
        o.F32s(startPoints.x[t], startPoints.count[t]);
        o.F32s(startPoints.z[t], startPoints.count[t]);
    }
    for (const auto& side : sideResources) o.I32s(side, kSideResourceKinds);
}

bool ReadSpawn(SaveIn& in) {
    for (int i = 0; i <= kNpcCount; ++i)
        if (!in.Slot(fgrNpc[i])) return false;
    if (!in.Slot(fgrLairForest) || !in.Slot(fgrLairWater)) return false;
    for (int t = 0; t < 9; ++t) {
        if (!in.I32(startPoints.count[t], 0, kStartPointMax)) return false;
        if (!in.F32s(startPoints.x[t], startPoints.count[t]) || !in.F32s(startPoints.z[t], startPoints.count[t]))
            return false;
    }
    for (auto& side : sideResources)
        if (!in.I32s(side, kSideResourceKinds)) return false;
    return true;
}

// --- paths ------------------------------------------------------------------------------

void WritePaths(SaveOut& o) {
    o.I32(pathRebuildTimer);
    std::int32_t failed = 0;
    for (int s = 0; s <= kFigureSlots; ++s) failed += pathFailedTarget[s] ? 1 : 0;
    o.I32(failed);
    for (int s = 0; s <= kFigureSlots; ++s) {
        if (!pathFailedTarget[s]) continue;
        o.I32(s);
        o.I32(pathFailedTarget[s]);
    }
    // The layers as the last rebuild left them: figures keep walking on
    // them until the next rebuild.
    o.Bytes(passLayers.layer, sizeof passLayers.layer);
}

bool ReadPaths(SaveIn& in) {
    if (!in.I32(pathRebuildTimer)) return false;
    std::memset(pathFailedTarget, 0, sizeof(int) * (kFigureSlots + 1));
    std::int32_t failed = 0;
    if (!in.I32(failed, 0, kFigureSlots + 1)) return false;
    int last = -1;
    for (int i = 0; i < failed; ++i) {
        std::int32_t s = 0;
        if (!in.I32(s, last + 1, kFigureSlots) || !in.I32(pathFailedTarget[s])) return false;
        last = s;
    }
    if (!in.Bytes(passLayers.layer, sizeof passLayers.layer)) return false;
    for (const auto& layer : passLayers.layer)
        for (std::uint8_t b : layer)
            if (b > 1) return in.Fail();
    return true;
}

// --- camera, map interaction ---------------------------------------------------------

void WriteView(SaveOut& o) {
    o.I32(viewWidth);
    o.I32(viewHeight);
    o.F32(camX);
    o.F32(camZ);
    o.F32(camWidth);
    o.F32(camHeight);
    o.I32(cameraGlide);
    o.I32(minimapShown);
    o.F32(glideTargetX);
    o.F32(glideTargetZ);
    o.F32(glideSpeed);
    o.I32(glideTimerMs);
}

bool ReadView(SaveIn& in) {
    std::int32_t w = 0, h = 0;
    float width = 0.0f;
    if (!in.I32(w, 1) || !in.I32(h, 1) || !in.F32(camX) || !in.F32(camZ) || !in.F32(width) || !in.F32(camHeight) ||
        !in.Flag(cameraGlide) || !in.Flag(minimapShown) || !in.F32(glideTargetX) || !in.F32(glideTargetZ) ||
        !in.F32(glideSpeed) || !in.I32(glideTimerMs))
        return false;
    if (width < kZoomMinWidth - 1.0f || width > kZoomMaxWidth + 50.0f) return in.Fail();
    // Another window size: keep the zoom height and the centre, take the
    // aspect of this window.
    camWidth = width;
    if (w != viewWidth || h != viewHeight) {
        const float centre = camX + width / 2;
        camWidth = camHeight * (180.0f * float(viewWidth) / float(viewHeight)) / 252.0f;
        camX = centre - camWidth / 2;
    }
    return true;
}

void WriteHands(SaveOut& o) {
    o.Slot(hoveredFigure);
    o.I32(hoverTimerMs);
    o.I32(selectionCount);
    for (int i = 0; i < kSelectionMax; ++i) o.Slot(selection[i]);
    o.I32(lastOrderX);
    o.I32(lastOrderZ);
    o.I32(leftClickCount);
    o.I32(rightClickCount);
    o.I32(pendingPlacement);
    o.Slot(carriedFigure);
    o.I32(heroPrevDir);
    o.I32(heroPrevDiagonal);
    o.I32(heroDir);
    o.I32(heroDirGraceMs);
}

bool ReadHands(SaveIn& in) {
    if (!in.Slot(hoveredFigure) || !in.I32(hoverTimerMs) || !in.I32(selectionCount, 0, kSelectionMax)) return false;
    for (int i = 0; i < kSelectionMax; ++i)
        if (!in.Slot(selection[i])) return false;
    return in.I32(lastOrderX) && in.I32(lastOrderZ) && in.I32(leftClickCount) && in.I32(rightClickCount) &&
           in.I32(pendingPlacement) && in.Slot(carriedFigure) && in.I32(heroPrevDir, 0, 9) &&
           in.Flag(heroPrevDiagonal) && in.I32(heroDir, 0, 9) && in.I32(heroDirGraceMs);
}

// --- game clock and the random generator ------------------------------------------------

void WriteClock(SaveOut& o) {
    o.I32(gameClockMs);
    for (std::uint32_t w : randState.table) o.U32(w);
    o.I32(randState.front);
    o.I32(randState.rear);
}

bool ReadClock(SaveIn& in) {
    RandState r{};
    if (!in.I32(gameClockMs)) return false;
    for (std::uint32_t& w : r.table)
        if (!in.U32(w)) return false;
    if (!in.I32(r.front) || !in.I32(r.rear)) return false;
    if (!RandStateValid(r)) return in.Fail();
    randState = r;
    return true;
}

}  // namespace

std::span<const SaveSection> WorldSaveSections() {
    // Pools before figures: a figure's pool numbers are checked against them.
    static const SaveSection sections[] = {
        {"GRID", WriteGrid, ReadGrid},   {"POOL", WritePools, ReadPools}, {"FIGS", WriteFigures, ReadFigures},
        {"SPWN", WriteSpawn, ReadSpawn}, {"PATH", WritePaths, ReadPaths}, {"VIEW", WriteView, ReadView},
        {"HAND", WriteHands, ReadHands}, {"CLCK", WriteClock, ReadClock},
    };
    return sections;
}

void SaveAfterWorldLoad() {
    KleSetCorners();
    for (int s = 0; s <= kFigureSlots; ++s) {
        Fgr& f = FigureTable[s];
        f.slotIndex = s;
        FgrKindInstallOps(&f);
    }
    hoverCell = -1;
    if (masKle.overlayNumber >= 1 && locationLoadOverlay) locationLoadOverlay(masKle.overlayNumber);
    if (masKle.tilesetNumber > 0 && locationLoadTileset) locationLoadTileset(masKle.tilesetNumber);
    BuildLocationOverview();
}
