// The game's pictures, drawn procedurally. Each function returns R G B A
// bytes, bottom row first.
#pragma once

#include <cstdint>
#include <vector>

#include "raster.h"

struct Pic {
    int w = 0, h = 0;
    std::vector<std::uint8_t> rgba;
};

Pic HeroPic(int variant);
Pic NpcPic(int npc);          // 1..6
Pic MonsterPic(int type);     // 1..13
Pic PlantPic(int type, int variant);  // 1..4 bushes, 5 palm, 6, 7 scenery, 8 black fir
Pic CrystalPic(int colour);   // 1..6
Pic LootPic(int type);        // 1 chest, 2 gold heap, 3 trash heap, 4 drop bag
Pic EffectPic(int effect);    // 1 flash, 2 shot, 3 order marker, 4 chopping, 5 hit spark
Pic LairPic(int camp);        // 1 den (601), 2 hive (801)
Pic LairPartPic(int part);    // 1..6
Pic StructurePic(int index);  // bunker-layer structures, 0..19
Pic UnitPic(int index);       // bunker-layer units: 0 soldier, 1 captain, 2 gun carriage
Pic ItemIcon(int kind);       // 1..14
Pic GroundTile(int code);     // 0 plain fallback, 201..226 special tiles
Pic Decoration(int index);    // aux0 decorations 1..10
Pic BrushMark(int landType);  // 1 hole, 5 deep water, 6 rock, 7 solid
Pic HudPic(int slot);         // cursor and HUD pieces by slot number
