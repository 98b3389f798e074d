// Location and figure files, LoadMortFrom and the grid's lifecycle.
#include "world/location.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/log.h"
#include "app/random.h"
#include "io/cp1251.h"
#include "io/files.h"
#include "editor/editor.h"
#include "world/bunker.h"
#include "world/camera.h"
#include "world/fgr.h"
#include "world/fgr_ops.h"
#include "world/kle.h"
#include "world/spawn.h"

int (*locationLoadOverlay)(int number) = nullptr;
int (*locationLoadTileset)(int number) = nullptr;
std::uint8_t locationOverview[65536 * 3];
int locationOverviewSerial = 0;
int locationOverviewRowSerial[256];
int locationOverviewFullSerial = 0;

int FgrEditorOpen() { return editor.open; }

int KleRemoveKey(int k) {
    if (!KleInterior(k)) return 1;
    Fgr* f = masKle.m[k].fgrKey;
    if (!f) return 0;
    if (!editor.open) return 1;
    masKle.m[k].fgrKey = nullptr;
    FgrReset(f);
    return 1;
}

namespace {

constexpr int kTexSlots = 501;           // picture numbers index the texture table
constexpr int kMaxTypeWord = 100;        // unitType values any kind uses are far below

struct OverviewColour {
    std::uint8_t r, g, b;
};
constexpr OverviewColour kOverview[8] = {
    {120, 120, 120},   // 0 border / nothing
    {20, 30, 10},      // 1 hole
    {50, 70, 40},      // 2 ground
    {80, 70, 50},      // 3 (no tool makes it)
    {80, 70, 50},      // 4 (no tool makes it)
    {20, 30, 90},      // 5 deep water
    {95, 50, 30},      // 6 rock
    {35, 35, 35},      // 7 solid
};

// Cells near the map centre that new ground keeps plain for the editor's start.
constexpr int kNewGroundCells[] = {32960, 32959, 32961, 32704, 33216};

void ClearGridLinks() {
    for (Kle& c : masKle.m) c.fgrMove = c.fgrKey = nullptr;
}

void LogBadWord(const Fgr* f, const char* what, int n, long long value) {
    LogPrintf("\nFgr::LoadMortFrom --> slot %d kind %d: bad %s%d (%lld) cleared",
              FgrSlotOf(f), f->fgrKind, what, n, value);
}

bool CellOrZero(int k) { return k == 0 || KleInterior(k); }

// Serials read from a file stay far below the counter's end, so the counter
// can always continue above them.
constexpr int kSerialLoadedMax = 1 << 30;

// Every loaded word that is later used as an index or a cell is checked;
// a bad one goes back to the value the initialiser gave it.
void ValidateLoaded(Fgr* f, const Fgr& init, int kind) {
    auto mendInt = [&](std::int32_t& word, std::int32_t good, bool ok, int n) {
        if (ok) return;
        LogBadWord(f, "I", n, word);
        word = good;
    };
    mendInt(f->fgrKind, kind, f->fgrKind == kind, 1);
    mendInt(f->fgrClass, init.fgrClass, f->fgrClass == init.fgrClass, 7);
    mendInt(f->moveMode, init.moveMode, f->moveMode >= 0 && f->moveMode <= 5, 69);
    mendInt(f->side, init.side, f->side >= 0 && f->side <= 5, 70);
    mendInt(f->baseSide, init.baseSide, f->baseSide >= 0 && f->baseSide <= 5, 30);
    mendInt(f->unitType, init.unitType, f->unitType >= 0 && f->unitType <= kMaxTypeWord, 75);
    mendInt(f->picture, init.picture, f->picture >= 0 && f->picture < kTexSlots, 59);
    mendInt(f->serial, 0, f->serial >= 0 && f->serial < kSerialLoadedMax, 5);
    mendInt(f->targPathKle, 0, CellOrZero(f->targPathKle), 68);
    const auto anchorOk = [&](int k) { return CellOrZero(k) || k == kAnchorNone; };
    mendInt(f->firstAnchor, init.firstAnchor, anchorOk(f->firstAnchor), 24);
    mendInt(f->secondAnchor, init.secondAnchor, anchorOk(f->secondAnchor), 25);
    mendInt(f->footprintCell, 0, CellOrZero(f->footprintCell), 26);
    mendInt(f->target3Slot, 0, f->target3Slot >= 0 && f->target3Slot <= kFigureSlots, 53);
    mendInt(f->homeCell, 0, CellOrZero(f->homeCell), 50);
    for (int i = 0; i < 9; ++i) {
        mendInt(f->lairSlot[i], 0, f->lairSlot[i] >= 0 && f->lairSlot[i] <= kFigureSlots, 77 + i);
        mendInt(f->lairDest[i], 0, CellOrZero(f->lairDest[i]), 86 + i);
    }
    for (int c = 0; c < 4; ++c)
        mendInt(f->colour[c], init.colour[c], f->colour[c] >= 0 && f->colour[c] <= 255, 60 + c);
    // Gun links are not stored, so no gun is attached after a load.
    f->gunCount = 0;

    // Path state: steps are grid cells, the walked index lies inside the
    // stored steps and the planned length.
    bool pathBad = false;
    const int stored = f->onPathLen < kFgrPathSteps ? f->onPathLen : kFgrPathSteps;
    for (int i = 0; i < kFgrPathSteps; ++i) {
        FgrPathStep& s = f->pathStep[i];
        if (s.x >= 0 && s.x <= 255 && s.z >= 0 && s.z <= 255) continue;
        LogBadWord(f, "pathStep", i, s.x);
        s.x = s.z = 0;
        if (i < stored) pathBad = true;
    }
    if (f->onPathLen < 0 || f->onPathNext < 0 || f->onPath < 0 || f->onPath > 1 ||
        (f->onPath == 1 && f->onPathNext >= stored))
        pathBad = true;
    if (pathBad) {
        LogBadWord(f, "I", 66, f->onPathNext);
        f->onPath = f->onPathNext = f->onPathLen = 0;
    }

    for (int n = 0; n < kFgrFloatWords; ++n) {
        const float v = FgrFloatWord(f, n);
        if (std::isfinite(v)) continue;
        LogBadWord(f, "F", n, 0);
        FgrSetFloatWord(f, n, n == 5 ? 1.0f : 0.0f);
    }
    float* seg[] = {&f->segmentStartX, &f->segmentStartZ, &f->segmentDirX, &f->segmentDirZ};
    for (int i = 0; i < 4; ++i) {
        if (std::isfinite(*seg[i])) continue;
        LogBadWord(f, "segment", i, 0);
        *seg[i] = 0.0f;
    }
    if (f->figureName[kFgrNameBytes - 1] != 0) {
        LogBadWord(f, "figureName", kFgrNameBytes - 1, f->figureName[kFgrNameBytes - 1]);
        f->figureName[kFgrNameBytes - 1] = 0;
    }
}

}  // namespace

// Townspeople 5 and 6 carry the same unitType words as monsters 5 and 6;
// they are no start points.
bool FgrIsMonsterStartPoint(const Fgr* f) {
    return f->fgrClass == kClassUnit && f->fgrKind != kKindNpc && f->unitType >= 5 && f->unitType <= 8;
}

namespace {
void OverviewPixel(int k) {
    const int t = masKle.m[k].landType;
    const OverviewColour c = t < 8 ? kOverview[t] : kOverview[0];
    locationOverview[3 * k] = c.r;
    locationOverview[3 * k + 1] = c.g;
    locationOverview[3 * k + 2] = c.b;
}
}  // namespace

void BuildLocationOverview() {
    for (int k = 0; k < kKleCount; ++k) OverviewPixel(k);
    ++locationOverviewSerial;
    locationOverviewFullSerial = locationOverviewSerial;
    std::fill(std::begin(locationOverviewRowSerial), std::end(locationOverviewRowSerial), locationOverviewSerial);
}

void RefreshOverviewAround(int h, int radius) {
    if (h < 0 || h >= kKleCount) return;
    const int row = KleRow(h), col = KleCol(h);
    ++locationOverviewSerial;
    for (int r = std::max(row - radius, 0); r <= std::min(row + radius, kKleRows - 1); ++r) {
        for (int c = std::max(col - radius, 0); c <= std::min(col + radius, kKleCols - 1); ++c)
            OverviewPixel(KleIndex(r, c));
        locationOverviewRowSerial[r] = locationOverviewSerial;
    }
}

// --- location file ----------------------------------------------------------------

bool ParseLocation(std::span<const std::uint8_t> bytes) {
    ByteReader r(bytes);
    std::int32_t w = 0, h = 0, tiles = 0, overlay = 0;
    if (!r.ReadI32(w) || !r.ReadI32(h) || w != 256 || h != 256) return false;
    // A short grid is refused whole: half a map is no map.
    if (!r.ReadI32(tiles) || !r.ReadI32(overlay) || !r.Has(65536 * kLocCellBytes)) return false;
    masKle.tilesetNumber = tiles;
    masKle.overlayNumber = overlay;
    ReadGridCells(bytes.data() + r.pos);
    KleWriteBorder();
    return true;
}

void WriteLocation(ByteWriter& w) {
    w.WriteI32(256);
    w.WriteI32(256);
    w.WriteI32(masKle.tilesetNumber);
    w.WriteI32(masKle.overlayNumber);
    // The grid is written in place: one resize, no per-byte appends.
    const std::size_t at = w.bytes.size();
    w.bytes.resize(at + std::size_t(kKleCount) * kLocCellBytes);
    WriteGridCells(w.bytes.data() + at);
}

void WriteGridCells(std::uint8_t* p) {
    for (const Kle& c : masKle.m) {
        const std::uint32_t param = static_cast<std::uint32_t>(c.cellParam);
        const std::uint8_t b[kLocCellBytes] = {c.landType, c.landSub, c.landHint, c.tile,
                                               c.aux0,     c.aux1,    c.aux2,     c.brushMark,
                                               std::uint8_t(param), std::uint8_t(param >> 8),
                                               std::uint8_t(param >> 16), std::uint8_t(param >> 24)};
        std::memcpy(p, b, kLocCellBytes);
        p += kLocCellBytes;
    }
}

void ReadGridCells(const std::uint8_t* p) {
    for (Kle& c : masKle.m) {
        c.landType = p[0];
        c.landSub = p[1];
        c.landHint = p[2];
        c.tile = p[3];
        c.aux0 = p[4];
        c.aux1 = p[5];
        c.aux2 = p[6];
        c.brushMark = p[7];
        c.cellParam = static_cast<std::int32_t>(std::uint32_t(p[8]) | std::uint32_t(p[9]) << 8 |
                                                std::uint32_t(p[10]) << 16 | std::uint32_t(p[11]) << 24);
        c.fgrMove = c.fgrKey = nullptr;
        p += kLocCellBytes;
    }
}

// --- figure file ------------------------------------------------------------------------

bool LoadMortFrom(Fgr* f, ByteReader& r) {
    if (!f) return false;
    // A record cut short is not loaded at all.
    if (!r.Has(kFgrRecordBytes)) {
        r.Skip(r.Remaining());
        return false;
    }
    std::int32_t kind = 0;
    r.Skip(8);
    r.ReadI32(kind);
    FgrReset(f);
    if (!FgrKindInit(f, kind)) {
        f->fgrKind = 0;
        return false;
    }
    f->fgrKind = kind;
    const Fgr init = *f;
    for (int n = 0; n < kFgrIntWords; ++n) {
        std::int32_t v = 0;
        r.ReadI32(v);
        FgrSetIntWord(f, n, v);
    }
    for (int n = 0; n < kFgrFloatWords; ++n) {
        float v = 0.0f;
        r.ReadF32(v);
        FgrSetFloatWord(f, n, v);
    }
    for (FgrPathStep& s : f->pathStep) {
        r.ReadI32(s.x);
        r.ReadI32(s.z);
    }
    r.ReadBytes(f->figureName, kFgrNameBytes);
    r.ReadF32(f->segmentStartX);
    r.ReadF32(f->segmentStartZ);
    r.ReadF32(f->segmentDirX);
    r.ReadF32(f->segmentDirZ);
    ValidateLoaded(f, init, kind);

    if (f->onMap == 0) return true;
    const int k = KleAt(f->x, f->z);
    if (k < 0) return true;
    if (masKle.m[k].fgrKey) {
        LogPrintf("%s", "\nFgr::LoadMortFrom --> masKle.m[k].fgrKey занят"_w);
        SetWorldError();
    }
    masKle.m[k].fgrKey = f;
    f->onMap = 1;
    return true;
}

void WriteFigureRecord(ByteWriter& w, const Fgr* f) {
    w.WriteBytes(kFgrMarker, 8);
    w.WriteI32(f->fgrKind);
    for (int n = 0; n < kFgrIntWords; ++n) w.WriteI32(FgrIntWord(f, n));
    for (int n = 0; n < kFgrFloatWords; ++n) w.WriteF32(FgrFloatWord(f, n));
    for (const FgrPathStep& s : f->pathStep) {
        w.WriteI32(s.x);
        w.WriteI32(s.z);
    }
    w.WriteBytes(f->figureName, kFgrNameBytes);
    w.WriteF32(f->segmentStartX);
    w.WriteF32(f->segmentStartZ);
    w.WriteF32(f->segmentDirX);
    w.WriteF32(f->segmentDirZ);
}

int ParseFigures(std::span<const std::uint8_t> bytes) {
    ByteReader r(bytes);
    std::int32_t n = 0;
    if (!r.ReadI32(n)) return -1;
    // A negative count is as meaningless as one above 6000: the table stays.
    if (n > kFigureSlots || n < 0) return -1;

    nextSlot = 1;
    createLock = 0;
    for (Fgr& f : FigureTable) f.fgrKind = 0;
    // No cell may keep naming a figure that is gone, and neither may the
    // world's own references.
    ClearGridLinks();
    fgrMainHero = pBos = nullptr;
    fgrLairForest = fgrLairWater = nullptr;
    for (Fgr*& npc : fgrNpc) npc = nullptr;

    int loaded = 0;
    for (int i = 1; i <= n; ++i) {
        Fgr* f = &FigureTable[i];
        if (!LoadMortFrom(f, r)) break;
        f->slotIndex = i;
        loaded = i;
        // New figures must not share a serial with a loaded one (trace, first hitter).
        if (f->serial >= fgrSerial) fgrSerial = f->serial + 1;
        if (FgrIsMonsterStartPoint(f)) {
            f->active = 0;
            StartPointAdd(f->unitType, f->x, f->z);
        }
    }
    return loaded;
}

void WriteFigures(ByteWriter& w) {
    const std::size_t countAt = w.bytes.size();
    w.WriteI32(0);
    std::int32_t count = 0;
    for (int s = 1; s <= kFigureSlots; ++s) {
        const Fgr& f = FigureTable[s];
        if (f.fgrKind < 1) continue;
        WriteFigureRecord(w, &f);
        ++count;
    }
    for (int i = 0; i < 4; ++i)
        w.bytes[countAt + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(count) >> (8 * i));
}

// --- files and lifecycle ----------------------------------------------------------------

bool LoadLocationFile(const char* name) {
    std::vector<std::uint8_t> bytes;
    if (!name || ReadWholeFile(name, bytes, kLocFileBytes + 4096) != FileStatus::Ok) return false;
    if (!ParseLocation(bytes)) return false;
    LoadLocationPictures();
    return true;
}

void LoadLocationPictures() {
    bool overlayFailed = false;
    if (masKle.overlayNumber >= 1 && locationLoadOverlay) {
        const int got = locationLoadOverlay(masKle.overlayNumber);
        if (got < 0) overlayFailed = true;
        if (got == 0) {
            masKle.overlayNumber = 0;
            overlayFailed = true;
        }
    }
    if (!overlayFailed && masKle.tilesetNumber > 0 && locationLoadTileset)
        locationLoadTileset(masKle.tilesetNumber);
    BuildLocationOverview();
}

int LoadFigureFile(const char* name) {
    std::vector<std::uint8_t> bytes;
    const std::size_t cap = 4 + kFigureSlots * kFgrRecordBytes + 4096;
    if (!name || ReadWholeFile(name, bytes, cap) != FileStatus::Ok) return -1;
    return ParseFigures(bytes);
}

bool SaveLocation(const char* name) {
    if (!name || !name[0]) return false;
    ByteWriter loc;
    WriteLocation(loc);
    // A failed location write still lets the figures be saved.
    const bool locOk = WriteFileSafely(name, loc.bytes) == FileStatus::Ok;
    ByteWriter figs;
    WriteFigures(figs);
    const std::string fgrName = std::string(name) + ".fgr";
    const bool figOk = WriteFileSafely(fgrName.c_str(), figs.bytes) == FileStatus::Ok;
    return locOk && figOk;
}

void StartGameLocation() {
    for (int k = 0; k < kKleCount; ++k) {
        Kle& c = masKle.m[k];
        c.x = static_cast<float>(KleCol(k)) * kKleSize;
        c.z = static_cast<float>(KleRow(k)) * kKleSize;
        c.tile = 203;
        if (Rand() % 4 != 0) c.tile = 202;
    }
    KleWriteBorder();
    FgrNumberSlots();
    SetupView();
    // A missing or damaged start file leaves the filled grid (or no figures):
    // the game still starts, the log says why, and the minimap shows that grid.
    if (!LoadLocationFile(kStartLocation)) {
        LogPrintf("\nStartGameLocation --> %s: %s", kStartLocation, "локация не загружена"_w);
        BuildLocationOverview();
    }
    StartPointsReset();
    if (LoadFigureFile(kStartFigures) < 0)
        LogPrintf("\nStartGameLocation --> %s: %s", kStartFigures, "фигуры не загружены"_w);
    if (WorldPopulate()) SpawnAtStartPoints();
    LogPrintf("\n\nStart ...");
}

void FillPlainGround() {
    for (int k = 0; k < kKleCount; ++k) {
        const int tile = RandRange(1, 4);  // drawn for every cell, border too
        if (!KleInterior(k)) continue;
        Kle& c = masKle.m[k];
        c.landType = kLandGround;
        c.landSub = kSubPlain;
        c.landHint = 0;
        c.tile = static_cast<std::uint8_t>(tile);
    }
}

void NewGround() {
    FillPlainGround();
    KleSetCorners();
    KleWriteBorder();
    if (locationLoadOverlay && locationLoadOverlay(1) > 0) {
        masKle.overlayNumber = 1;
        masKle.tilesetNumber = 1;
        if (locationLoadTileset) locationLoadTileset(1);
    }
    for (int k : kNewGroundCells) {
        Kle& c = masKle.m[k];
        c.landType = kLandGround;
        c.landSub = kSubPlain;
        c.landHint = 0;
        c.tile = 0;
    }
    BuildLocationOverview();
}

void WorldStart() { StartGameLocation(); }

void WorldReset() {
    KleReset();
    PoolsReset();
    FiguresReset();
    FgrKindOpsReset();
    SpawnReset();
    SideResourcesReset();
    EditorReset();
    // The overview serials keep counting: the map window compares the serial
    // with the one it uploaded last, and a serial counted again from 0 could
    // meet that one and leave the old location's picture on the minimap.
}

void WorldFiguresClear() {
    const FgrFn lifeStep = fgrLifeStep;
    FiguresReset();
    fgrLifeStep = lifeStep;
    PoolsReset();
    ClearGridLinks();
    SpawnReset();
}
