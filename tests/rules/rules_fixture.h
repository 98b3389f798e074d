// Shared set-up of the rule, combat and save tests (no window): the game's
// logic headers, every rule record at its start, the feed empty, a fixed
// seed. RulesTest stands a bare hero in the middle of plain ground; StoryTest
// populates the start location's figures with the story installed and the
// game screen's tree built, in a private folder.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "../scripted/game_dir.h"
#include "app/frame.h"
#include "app/game_state.h"
#include "app/log.h"
#include "app/msgfeed.h"
#include "app/random.h"
#include "combat/filters.h"
#include "combat/hero_attack.h"
#include "combat/hero_combat.h"
#include "combat/monsters.h"
#include "combat/stats.h"
#include "combat/weapons.h"
#include "io/cp1251.h"
#include "io/files.h"
#include "rules/crystals.h"
#include "rules/fishing.h"
#include "rules/game_params.h"
#include "rules/game_won.h"
#include "rules/items.h"
#include "rules/pickups.h"
#include "rules/progression.h"
#include "rules/story.h"
#include "rules/story_state.h"
#include "ui/hud.h"
#include "world/camera.h"
#include "world/fgr.h"
#include "world/interaction.h"
#include "world/kle.h"
#include "world/location.h"
#include "world/path_follow.h"
#include "world/spawn.h"

inline void ResetRules() {
    UIReset(), HudReset(), WorldReset(), InteractionReset(), PathReset(), FrameReset();
    MsgFeedReset(), LogReset(), ResetRuleState(), RandSeed(11);
}

// Whether a line posted since the last call holds text (the queue is read on).
inline bool FeedShowed(const char* text) {
    for (; const char* line = MsgFeedCurrentLine(); msgTimerMs = 0, MsgFeedStep())
        if (std::strstr(line, text)) return true;
    return false;
}
inline int& Gold() { return heroCombat.heroGold; }
// A whole file ("" when missing).
inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
// Stands the hero beside townsperson n, selects and talks to him.
inline void TalkTo(int n) {
    Fgr* npc = fgrNpc[n];
    ASSERT_NE(npc, nullptr);
    StopPath(fgrMainHero);
    fgrMainHero->x = npc->x + 10, fgrMainHero->z = npc->z;
    selection[0] = npc, selectionCount = 1;
    TalkToSelected();
}

class RulesTest : public ::testing::Test {
protected:
    static constexpr int kHeroCell = 128 * 256 + 128;
    void SetUp() override {
        ResetRules(), FillPlainGround();
        fgrMainHero = hero = CreateHero(kHeroCell, 0);
        ASSERT_NE(hero, nullptr);
        heroCombat.strikeCooldown = 0;
    }
    int Blood() { return StatGet(hero, kStNormHP); }
    Fgr* hero = nullptr;
};

class StoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetRules(), UIInit(800, 600), BuildGameUI(), StoryInstall(), FillPlainGround();
        ASSERT_EQ(WorldPopulate(), 1);
        ASSERT_NE(fgrMainHero, nullptr);
    }
    void TearDown() override { ResetRules(), InjectWriteFailureAfter(0); }
    static void Step(int frames) { for (frameDeltaMs = 100; frames-- > 0;) StoryStep(); }
    GameDir dir{"story", {}, false};   // the working folder
};
