// The start location in the game's tables: new ground, painting layer by
// layer with the terrain brushes, the objects made by the game's creators.
#include "worldgen/build_world.h"

#include <cstdio>

#include "app/random.h"
#include "world/fgr.h"
#include "world/kle.h"
#include "world/location.h"
#include "world/spawn.h"
#include "world/terrain.h"

namespace worldsrc {

namespace {

// The editor's terrain tool table: what a brush writes into the painted cell.
struct ToolTriple {
    int brush;
    std::uint8_t landType, landSub, landHint;
};
constexpr ToolTriple kToolTriples[] = {
    {kBrushPlain, kLandGround, 1, 0}, {kBrushSand, kLandGround, 0, 0},
    {kBrushDirt, kLandGround, 0, 0},  {kBrushWater, kLandDeepWater, 0, 2},
    {kBrushHole, kLandHole, 0, 0},    {kBrushRock, kLandRock, 0, 0},
    {kBrushConcrete, kLandGround, 0, 0},
};

std::uint8_t BrushMarkOf(std::uint8_t landType) {
    switch (landType) {
        case kLandHole: return 93;
        case kLandDeepWater: return 2;
        case kLandRock: return 8;
        case kLandSolid: return 7;
        default: return 0;
    }
}

// The terrain tool at brush size 1 with visuals on: paint, then on success
// the triple and the tile; then the brush mark.
bool ApplyTerrainTool(int k, int brush) {
    const int tile = PaintTileKeys(k, brush, 0, 0);
    if (tile == 0) return false;
    Kle& c = masKle.m[k];
    for (const ToolTriple& t : kToolTriples)
        if (t.brush == brush) {
            c.landType = t.landType;
            c.landSub = t.landSub;
            c.landHint = t.landHint;
        }
    c.tile = static_cast<std::uint8_t>(tile);
    if (const std::uint8_t mark = BrushMarkOf(c.landType)) c.brushMark = mark;
    return true;
}

void NewGround() {
    KleSetCorners();
    FillPlainGround();
    KleWriteBorder();
    masKle.tilesetNumber = kWorldTileset;
    masKle.overlayNumber = kWorldOverlay;
}

void Problem(std::vector<std::string>& problems, const char* what, int row, int col) {
    char msg[128];
    std::snprintf(msg, sizeof msg, "%s at (%d, %d)", what, row, col);
    problems.push_back(msg);
}

bool PlaceObject(const MapObject& o) {
    const int cell = o.Cell();
    float x, z;
    if (!KleCentre(cell, &x, &z)) return false;
    switch (o.what) {
        case ObjectWhat::kPlant:
            return MakePlant(o.type, cell) != nullptr;
        case ObjectWhat::kCrystal:
            return MakeCrystal(o.type, cell) != nullptr;
        case ObjectWhat::kChest:
        case ObjectWhat::kGold:
        case ObjectWhat::kGarbage: {
            const int type = o.what == ObjectWhat::kChest ? 1 : o.what == ObjectWhat::kGold ? 2 : 3;
            Fgr* l = MakeLoot(type, cell);
            if (!l) return false;
            if (o.what == ObjectWhat::kChest) l->variant = o.type;
            return true;
        }
        case ObjectWhat::kMonster: {
            // A start point is the unit alone, dormant: the reader collects
            // its place and the game start spawns a fresh, armed monster
            // there. Gun links are not saved, so a gun would only be junk.
            Fgr* m = SpawnMonster(o.type, x, z, 0);
            if (!m) return false;
            while (Fgr* gun = m->guns) {
                m->guns = gun->next;
                gun->next = nullptr;
                gun->owner = nullptr;
                FgrRemove(gun);
            }
            m->gunCount = 0;
            m->active = 0;
            return true;
        }
        case ObjectWhat::kDest:
            masKle.m[cell].cellParam = o.type;
            return true;
    }
    return false;
}

}  // namespace

bool BuildWorld(const MapSource& src, std::vector<std::string>& problems) {
    WorldReset();
    RandSeed(kWorldSeed);
    NewGround();

    // Lower layers first, so every upper family finds its layer in place.
    static const Ground kOrder[] = {kDirt, kSand, kRock, kHole, kWater, kConcrete};
    for (Ground layer : kOrder) {
        for (int k = 0; k < kKleCount; ++k) {
            if (!KleInterior(k)) continue;
            const Ground g = src.cells[std::size_t(k)];
            const bool paint = (layer == kDirt || layer == kSand) ? (g == layer || BaseOf(g) == layer) : g == layer;
            if (paint && !ApplyTerrainTool(k, BrushOf(layer)))
                Problem(problems, (std::string("the brush refused ") + GroundName(layer)).c_str(), KleRow(k),
                        KleCol(k));
        }
    }
    for (const MapObject& o : src.objects)
        if (!PlaceObject(o)) Problem(problems, "could not place an object", o.row, o.col);
    return problems.empty();
}

bool SaveWorld(const char* path, std::vector<std::string>& problems) {
    if (!SaveLocation(path)) {
        problems.push_back(std::string("cannot write ") + path);
        return false;
    }
    return true;
}

}  // namespace worldsrc
