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

// A sparse list: how many of the indices lo..hi are picked, then each
// picked index in ascending order with its record. Reading checks the
// count, the order and the range; take checks the record.
template <typename Pick, typename Put>
void WriteSparse(SaveOut& o, int lo, int hi, Pick pick, Put put) {
    std::int32_t count = 0;
    for (int i = lo; i <= hi; ++i) count += pick(i) ? 1 : 0;
    o.I32(count);
    for (int i = lo; i <= hi; ++i) {
        if (!pick(i)) continue;
        o.I32(i);
        put(i);
    }
}

template <typename Take>
bool ReadSparse(SaveIn& in, int lo, int hi, Take take) {
    std::int32_t count = 0;
    if (!in.I32(count, 0, hi - lo + 1)) return false;
    int last = lo - 1;
    for (int c = 0; c < count; ++c) {
        std::int32_t i = 0;
        if (!in.I32(i, last + 1, hi) || !take(i)) return false;
        last = i;
    }
    return true;
}

constexpr std::size_t kGridBytes = std::size_t(kKleCount) * kLocCellBytes;

void WriteGrid(SaveOut& o) {
    o.I32(masKle.tilesetNumber);
    o.I32(masKle.overlayNumber);
    WriteGridCells(o.Grow(kGridBytes));
    const auto linked = [](int k) { return masKle.m[k].fgrMove || masKle.m[k].fgrKey; };
    WriteSparse(o, 0, kKleCount - 1, linked, [&](int k) {
        o.Slot(masKle.m[k].fgrMove);
        o.Slot(masKle.m[k].fgrKey);
    });
}

bool ReadGrid(SaveIn& in) {
    if (!in.I32(masKle.tilesetNumber, 0, kMaxPictureFile) || !in.I32(masKle.overlayNumber, 0, kMaxPictureFile) ||
        !in.r.Has(kGridBytes))
        return false;
    ReadGridCells(in.r.bytes.data() + in.r.pos);
    in.r.Skip(kGridBytes);
    // Only interior cells hold figures.
    return ReadSparse(in, 0, kKleCount - 1, [&](int k) {
        return (KleInterior(k) || in.Fail()) && in.Slot(masKle.m[k].fgrMove) && in.Slot(masKle.m[k].fgrKey);
    });
}

// --- pools --------------------------------------------------------------------------

template <typename Rec>
bool Pristine(const Rec& r) {
    static const Rec zero{};
    return std::memcmp(&r, &zero, sizeof r) == 0;
}

// Each pool record's words, for writing and for reading alike.
template <typename Io>
bool VisitPh(Io& io, PhRec& r) {
    return io.I32s(r.w, kPhWords) && io.Flag(r.inUse);
}

template <typename Io>
bool VisitPBuf(Io& io, PBufRec& r) {
    if (!io.I32(r.count, 0, kFilterEntries)) return false;
    for (FilterEntry& e : r.e)
        if (!io.I32(e.value) || !io.U16(e.code) || !io.U8(e.spread) || !io.U8(e.pct) || !io.U16(e.tag) ||
            !io.U16(e.stage))
            return false;
    return io.Flag(r.inUse);
}

template <typename Io>
bool VisitPKu(Io& io, PKuRec& r) {
    if (!io.Flag(r.inUse) || !io.I32(r.count, 0, kPKuEntries)) return false;
    for (PKuEntry& e : r.e)
        if (!io.I32(e.value) || !io.U16(e.unitFlag) || !io.U16(e.code) || !io.U16(e.tag) || !io.U8(e.spread) ||
            !io.U8(e.pct) || !io.U8(e.stage) || !io.Bytes(e.spare, sizeof e.spare))
            return false;
    return true;
}

template <typename Io>
bool VisitPe(Io& io, PeRec& r) {
    if (!io.Flag(r.inUse) || !io.I32(r.count, 0, kPeEntries)) return false;
    for (PeEntry& e : r.e)
        if (!io.U16(e.code) || !io.U16(e.amount) || !io.U8(e.subtract) || !io.U8(e.useSource) ||
            !io.U8(e.useAttacker) || !io.U8(e.spare))
            return false;
    return true;
}

// Records in use and free records that still hold old words (a new owner
// may read them before writing) are saved; the rest is zero.
template <typename Rec>
void WritePool(SaveOut& o, Rec* pool, int n, bool (*visit)(SaveOut&, Rec&)) {
    WriteSparse(o, 1, n, [&](int i) { return !Pristine(pool[i]); }, [&](int i) { visit(o, pool[i]); });
}

template <typename Rec>
bool ReadPool(SaveIn& in, Rec* pool, int n, bool (*visit)(SaveIn&, Rec&)) {
    for (int i = 0; i <= n; ++i) pool[i] = Rec{};
    return ReadSparse(in, 1, n, [&](int i) { return visit(in, pool[i]); });
}

void WritePools(SaveOut& o) {
    o.I32(cursorPh);
    o.I32(cursorPBuf);
    o.I32(cursorPKu);
    o.I32(cursorPe);
    WritePool(o, poolPh, kPhRecords, VisitPh<SaveOut>);
    WritePool(o, poolPBuf, kPBufRecords, VisitPBuf<SaveOut>);
    WritePool(o, poolPKu, kPKuRecords, VisitPKu<SaveOut>);
    WritePool(o, poolPe, kPeRecords, VisitPe<SaveOut>);
}

bool ReadPools(SaveIn& in) {
    // A cursor may stand one past the end (it wraps on the next request).
    return in.I32(cursorPh, 1, kPhRecords + 1) && in.I32(cursorPBuf, 1, kPBufRecords + 1) &&
           in.I32(cursorPKu, 1, kPKuRecords + 1) && in.I32(cursorPe, 1, kPeRecords + 1) &&
           ReadPool(in, poolPh, kPhRecords, VisitPh<SaveIn>) && ReadPool(in, poolPBuf, kPBufRecords, VisitPBuf<SaveIn>) &&
           ReadPool(in, poolPKu, kPKuRecords, VisitPKu<SaveIn>) && ReadPool(in, poolPe, kPeRecords, VisitPe<SaveIn>);
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
    // The saved blocks I0..I104 and F0..F30 lie in one run of words.
    o.Words(reinterpret_cast<const std::uint8_t*>(&f) + kFgrIntBlock, kFgrIntWords + kFgrFloatWords);
    o.I32s(f.runtime, 5);
    static_assert(sizeof f.pathStep == 8 * kFgrPathSteps, "path steps are column, row pairs");
    o.Words(f.pathStep, 2 * kFgrPathSteps);
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
    WriteSparse(o, 1, kFigureSlots, [](int s) { return SlotUsed(FigureTable[s]); },
                [&](int s) { WriteFigure(o, FigureTable[s]); });
}

bool ReadFigures(SaveIn& in) {
    if (!in.I32(nextSlot, 1, kFigureSlots + 1) || !in.I32(createLock) || !in.I32(fgrSerial, 1) ||
        !in.Slot(fgrMainHero) || !in.Slot(pBos))
        return false;
    for (int s = 0; s <= kFigureSlots; ++s) FreshSlot(FigureTable[s], s);
    // Every record in use must belong to a figure, and only to one.
    PoolClaims claims;
    if (!ReadSparse(in, 1, kFigureSlots, [&](int s) { return ReadFigure(in, FigureTable[s], claims); }))
        return false;
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
    WriteSparse(o, 0, kFigureSlots, [](int s) { return pathFailedTarget[s] != 0; },
                [&](int s) { o.I32(pathFailedTarget[s]); });
    // The layers as the last rebuild left them: figures keep walking on
    // them until the next rebuild.
    o.Bytes(passLayers.layer, sizeof passLayers.layer);
}

bool ReadPaths(SaveIn& in) {
    if (!in.I32(pathRebuildTimer)) return false;
    std::memset(pathFailedTarget, 0, sizeof(int) * (kFigureSlots + 1));
    if (!ReadSparse(in, 0, kFigureSlots, [&](int s) { return in.I32(pathFailedTarget[s]); })) return false;
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

template <typename Io>
bool VisitHands(Io& io) {
    if (!io.Slot(hoveredFigure) || !io.I32(hoverTimerMs) || !io.I32(selectionCount, 0, kSelectionMax)) return false;
    for (Fgr*& f : selection)
        if (!io.Slot(f)) return false;
    return io.I32(lastOrderX) && io.I32(lastOrderZ) && io.I32(leftClickCount) && io.I32(rightClickCount) &&
           io.I32(pendingPlacement) && io.Slot(carriedFigure) && io.I32(heroPrevDir, 0, 9) &&
           io.Flag(heroPrevDiagonal) && io.I32(heroDir, 0, 9) && io.I32(heroDirGraceMs);
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
        {"HAND", [](SaveOut& o) { VisitHands(o); }, VisitHands<SaveIn>}, {"CLCK", WriteClock, ReadClock},
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
