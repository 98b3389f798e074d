// libFuzzer: the figure file reader on arbitrary bytes, then some frames of
// the world with the fighting behaviour over what it loaded.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "app/frame.h"
#include "app/log.h"
#include "combat/monsters.h"
#include "rules/pickups.h"
#include "world/fgr.h"
#include "world/location.h"
#include "world/spawn.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    WorldReset(), CombatInstall(), ItemRulesInstall();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    LogReset(), LogSetPath("/dev/null");
    ParseFigures(std::span<const std::uint8_t>(data, size));
    // Also as records behind a small count, so kinds and words are reached
    // by short inputs.
    if (size >= 12) {
        std::vector<std::uint8_t> file(4 + 2 * kFgrRecordBytes);
        file[0] = 2;
        for (std::size_t i = 4; i < file.size(); ++i) file[i] = data[(i - 4) % size];
        const std::int32_t kinds[] = {100, 411, 501, 32, 601, 1316, 25, 6, 33, 417};
        const std::int32_t kind = kinds[data[0] % 10];
        std::memcpy(file.data() + 12, &kind, 4);
        std::memcpy(file.data() + 16 + 4, &kind, 4);
        ParseFigures(file);
    }
    // The first loaded hero fights as the hero; a loaded demon as the boss.
    fgrMainHero = pBos = nullptr;
    for (int s = 1; s <= kFigureSlots; ++s) {
        Fgr& f = FigureTable[s];
        if (f.fgrKind == kKindHero && !fgrMainHero) fgrMainHero = &f;
        if (f.fgrKind == kKindUnitDemon && !pBos) pBos = &f;
    }
    frameDeltaMs = 100;
    for (int frame = 0; frame < 8; ++frame) {
        gameClockMs += frameDeltaMs;
        CombatWorldStep();
        FgrUpdateAll();
    }
    // The item rules on what was loaded: a hero touches every pickup,
    // crystal and plant whatever their types, variants and timers hold.
    if (!FgrAlive(fgrMainHero)) fgrMainHero = CreateHero(20000, 0);
    if (fgrMainHero) {
        fgrMainHero->unitExpRang = 3;
        for (Fgr& f : std::span(FigureTable + 1, kFigureSlots))
            if (f.fgrKind == kKindLoot || f.fgrKind == kKindCrystal || f.fgrKind == kKindPlant) HeroTouches(fgrMainHero, &f);
    }
    ItemRulesStep();
    FgrUpdateAll();
    return 0;
}
