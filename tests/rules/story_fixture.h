// A populated world on plain ground with the game screen's tree and the
// story rules installed, for the story and HUD tests (no window).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include "app/frame.h"
#include "app/log.h"
#include "app/msgfeed.h"
#include "app/random.h"
#include "io/files.h"
#include "combat/hero_combat.h"
#include "combat/stats.h"
#include "rules/crystals.h"
#include "rules/fishing.h"
#include "rules/game_won.h"
#include "rules/items.h"
#include "rules/progression.h"
#include "rules/story.h"
#include "rules/story_state.h"
#include "ui/hud.h"
#include "world/camera.h"
#include "world/fgr.h"
#include "world/interaction.h"
#include "world/location.h"
#include "world/path_follow.h"
#include "world/spawn.h"

class StoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/bd_story_XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        tempDir = dir;
        ASSERT_EQ(chdir(dir), 0);
        ResetAll();
        UIInit(width, height);
        BuildGameUI();
        StoryInstall();
        FillPlainGround();
        ASSERT_EQ(WorldPopulate(), 1);
        ASSERT_NE(fgrMainHero, nullptr);
    }
    void TearDown() override {
        ResetAll();
        InjectWriteFailureAfter(0);
        ASSERT_EQ(chdir("/"), 0);
        if (std::system(("rm -rf '" + tempDir + "'").c_str()) != 0) ADD_FAILURE() << "cleanup";
    }
    static void ResetAll() {
        UIReset();
        HudReset();
        WorldReset();
        PathReset();
        FrameReset();
        InteractionReset();
        MsgFeedReset();
        LogReset();
        DayStateReset();
        QuestStateReset();
        DialogStateReset();
        HeroCombatReset();
        ProgressionReset();
        BackpackReset();
        CrystalsReset();
        FishingReset();
        TreasureReset();
        RandSeed(11);
    }
    // Stands the hero beside townsperson n, selects and clicks him.
    void Talk(int n) {
        Fgr* npc = fgrNpc[n];
        ASSERT_NE(npc, nullptr);
        fgrMainHero->x = npc->x + 10;
        fgrMainHero->z = npc->z;
        fgrMainHero->onPath = 0;
        selection[0] = npc;
        selectionCount = 1;
        TalkClick();
    }
    static int Stat(int slot) { return fgrMainHero->kor.ph->w[slot]; }
    static void Step(int frames, int ms = 100) {
        frameDeltaMs = ms;
        for (int i = 0; i < frames; ++i) StoryStep();
    }
    int width = 800, height = 600;
    std::string tempDir;
};
