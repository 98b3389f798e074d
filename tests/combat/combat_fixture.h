// Shared set-up of the combat tests: a plain walkable map, every combat
// and rule record back to its start, the behaviour installed, a fixed seed
// and the log in a private file.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

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
#include "rules/crystals.h"
#include "rules/game_params.h"
#include "rules/items.h"
#include "rules/progression.h"
#include "rules/story_state.h"
#include "world/fgr.h"
#include "world/interaction.h"
#include "world/kle.h"
#include "world/location.h"
#include "world/path_follow.h"
#include "world/spawn.h"
#include "world/visibility.h"

class CombatTest : public ::testing::Test {
protected:
    void SetUp() override {
        WorldReset();
        InteractionReset();
        PathReset();
        FrameReset();
        MsgFeedReset();
        ResetRuleState();
        RandSeed(11);
        FillPlainGround();
        KleSetCorners();
        PathRebuild();
        CombatInstall();
        frameDeltaMs = 50;
        char dir[] = "/tmp/bd_combat_XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        tempDir = dir;
        LogReset();
        logPath = tempDir + "/log.txt";
        LogSetPath(logPath.c_str());
    }
    void TearDown() override {
        LogReset();
        LogSetPath(nullptr);
        if (std::system(("rm -rf '" + tempDir + "'").c_str()) != 0) ADD_FAILURE() << "cleanup";
    }
    std::string Log() const {
        std::ifstream in(logPath, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    // The hero at a cell (row, col), living on side 2.
    static Fgr* Hero(int row = 100, int col = 100) {
        fgrMainHero = CreateHero(KleIndex(row, col), 0);
        fgrMainHero->bornNow = 0;
        return fgrMainHero;
    }
    static Fgr* Monster(int type, float x, float z) {
        Fgr* m = SpawnMonster(type, x, z, 0);
        if (m) m->bornNow = 0;
        return m;
    }
    // A bare fighting unit (kind 420) with a stat block and no filters.
    static Fgr* Dummy(int hp, int rank, int side = 1) {
        Fgr* m = Fgrs_AddUnitHPGun(kKindUnitDog, hp, kKindGun416, 30, 1000, side, 505.0f, 505.0f, 0);
        m->unitExpRang = rank;
        m->useNormHP = 1;
        return m;
    }
    // A gun-like hit source with one entry.
    static Fgr* Source(int code, int amount, int subtract = 1, int useSource = 0, int useAttacker = 0) {
        Fgr* g = FgrCreateFigure(kKindGun1001, 0, 0);
        g->kor.pe->count = 0;
        g->kor.pKu->count = 0;
        PeAdd(g->kor.pe, code, amount, subtract, useSource, useAttacker);
        return g;
    }
    static Fgr* MakeAt(int kind, int cell) {
        float x, z;
        KleCentre(cell, &x, &z);
        return FgrCreateFigure(kind, x, z);
    }
    static void Frames(int n) {
        for (int i = 0; i < n; ++i) {
            gameClockMs += frameDeltaMs;
            WorldStepRun(1);
        }
    }
    std::string tempDir, logPath;
};
