// Shared set-up of the rule tests: a fresh world with the hero on plain
// ground, every rule record at its start, the feed empty, a fixed seed.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/frame.h"
#include "app/msgfeed.h"
#include "app/random.h"
#include "combat/hero_combat.h"
#include "combat/stats.h"
#include "io/cp1251.h"
#include "rules/crystals.h"
#include "rules/fishing.h"
#include "rules/game_params.h"
#include "rules/items.h"
#include "rules/progression.h"
#include "world/fgr.h"
#include "world/interaction.h"
#include "world/kle.h"
#include "world/location.h"
#include "world/path_follow.h"
#include "world/spawn.h"

class RulesTest : public ::testing::Test {
protected:
    static constexpr int kHeroCell = 128 * 256 + 128;
    void SetUp() override {
        WorldReset();
        PathReset();
        FrameReset();
        MsgFeedReset();
        GameParamsReset();
        ProgressionReset();
        HeroCombatReset();
        BackpackReset();
        FishingReset();
        TreasureReset();
        CrystalsReset();
        RandSeed(11);
        FillPlainGround();
        fgrMainHero = hero = CreateHero(kHeroCell, 0);
        ASSERT_NE(hero, nullptr);
        heroCombat.strikeCooldown = 0;
    }
    // Lines posted since the last call, joined by '|'.
    static std::string Feed() {
        std::string all;
        while (const char* line = MsgFeedCurrentLine()) {
            if (!all.empty()) all += '|';
            all += line;
            msgTimerMs = 0;
            MsgFeedStep();
        }
        return all;
    }
    static bool Has(const std::string& feed, const char* text) { return feed.find(text) != std::string::npos; }
    int& Gold() { return heroCombat.heroGold; }
    int Blood() { return StatGet(hero, kStNormHP); }
    Fgr* hero = nullptr;
};
