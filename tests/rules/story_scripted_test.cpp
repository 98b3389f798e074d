// The story in the real frame loop: the wild-dogs quest taken in the
// dialog, three wild dogs shot with the HUD's lightning button and the
// reward; the demon woken by chopped firs and beaten, and the wins file.
// Test set-up gives the hero strength (hit points, mana) and brings the
// monsters to him; everything else is the game's own frame.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "../scripted/game_dir.h"
#include "../scripted/reset_all.h"
#include "combat/hero_combat.h"
#include "combat/stats.h"
#include "io/cp1251.h"
#include "platform/platform.h"
#include "rules/progression.h"
#include "rules/story.h"
#include "rules/story_state.h"
#include "ui/hud.h"
#include "world/fgr.h"
#include "world/interaction.h"
#include "world/path_follow.h"
#include "world/spawn.h"

namespace {

// Frames of 100 ms of game time (the longest a frame may count).
constexpr unsigned kExtraMsPerFrame = 98;
constexpr int kMaxFrames = 1500;

int releaseAt = -1;
void ClickWidget(const Widget* w, int swap) {
    ScriptMoveCursor(w->x + w->width / 2, winHeight - 1 - (w->y + w->height / 2));
    ScriptMouseDown(VK_LBUTTON);
    releaseAt = swap + 2;
}

// A strong hero: plenty of blood and mana for the fights of a test.
void Strengthen(Fgr* hero) {
    std::int32_t* st = hero->kor.ph->w;
    st[StatHighOf(kStNormHPMax)] = st[StatHighOf(kStManaMax)] = 90000;
    st[kStNormHPMax] = st[kStNormHP] = 90000;
    st[kStManaMax] = st[kStMana] = 90000;
}

// Puts a monster beside the hero with little blood left, selected.
void Bring(Fgr* m, Fgr* hero) {
    m->x = hero->x + 30;
    m->z = hero->z;
    StopPath(m);
    m->kor.ph->w[kStNormHP] = 5;
    selection[0] = m;
    selectionCount = 1;
}

bool Dead(const Fgr* f, int serial) { return f->fgrKind == 0 || f->serial != serial || f->dead; }

struct StoryRun : ::testing::Test {
    void SetUp() override { ResetShellAndGame(6000); }
    void TearDown() override { ResetShellAndGame(6000); }
};

TEST_F(StoryRun, WildDogsQuestPaysAfterThreeDogs) {
    GameDir dir("wild_dogs");
    int phase = 0, dogsDead = 0, goldBefore = 0, expBefore = 0;
    Fgr* dog = nullptr;
    int dogSerial = 0;
    ScriptOnSwap([&](int swap) {
        ScriptAdvanceClock(kExtraMsPerFrame);
        if (swap == releaseAt) ScriptMouseUp(VK_LBUTTON);
        if (swap > kMaxFrames) {
            ADD_FAILURE() << "still in phase " << phase << " after " << kMaxFrames << " frames";
            ScriptPost(WM_CLOSE);
            return;
        }
        Fgr* hero = fgrMainHero;
        switch (phase) {
            case 0:
                if (swap < 3) return;
                Strengthen(hero);
                hero->x = fgrNpc[1]->x - 10;
                hero->z = fgrNpc[1]->z;
                StopPath(hero);
                selection[0] = fgrNpc[1];
                selectionCount = 1;
                TalkClick();
                phase = 1;
                return;
            case 1:   // answer 3: the quest
                ClickWidget(answerCells[3], swap);
                phase = 2;
                return;
            case 2:
                if (swap < releaseAt + 1) return;
                EXPECT_EQ(questState.wildDogs, kQuestTaken);
                goldBefore = heroCombat.heroGold;
                expBefore = hero->unitExpNow + 1000 * hero->unitExpRang;
                phase = 3;
                return;
            case 3:   // a wild dog beside the hero, lightning on it from the HUD
                dog = SpawnMonster(6, hero->x + 30, hero->z, 0);
                ASSERT_NE(dog, nullptr);
                dogSerial = dog->serial;
                Bring(dog, hero);
                heroCombat.actionCooldown = 0;
                if (!heroCombat.autoAttack) ClickWidget(attackCells[3], swap);
                phase = 4;
                return;
            case 4:
                if (Dead(dog, dogSerial)) {
                    ++dogsDead;
                    phase = dogsDead < 3 ? 3 : 5;
                } else if (!heroCombat.autoAttack && swap > releaseAt + 2) {
                    heroCombat.actionCooldown = 0;
                    selection[0] = dog;
                    selectionCount = 1;
                    ClickWidget(attackCells[3], swap);
                }
                return;
            default:
                if (swap > releaseAt + 5) ScriptPost(WM_CLOSE);
        }
    });
    EXPECT_EQ(BrindomaMain(), 0);
    EXPECT_EQ(dogsDead, 3);
    EXPECT_EQ(questState.wildDogs, kQuestDone);
    EXPECT_GE(heroCombat.heroGold - goldBefore, 50);
    EXPECT_GT(fgrMainHero->unitExpNow + 1000 * fgrMainHero->unitExpRang, expBefore + 300);
}

TEST_F(StoryRun, TheDemonWakesAndItsDeathIsWritten) {
    GameDir dir("demon");
    int phase = 0, serial = 0;
    Fgr* demon = nullptr;
    ScriptOnSwap([&](int swap) {
        ScriptAdvanceClock(kExtraMsPerFrame);
        if (swap == releaseAt) ScriptMouseUp(VK_LBUTTON);
        if (swap > kMaxFrames) {
            ADD_FAILURE() << "still in phase " << phase << " after " << kMaxFrames << " frames";
            ScriptPost(WM_CLOSE);
            return;
        }
        Fgr* hero = fgrMainHero;
        switch (phase) {
            case 0:
                if (swap < 3) return;
                Strengthen(hero);
                hero->unitExpRang = 3;
                for (int i = 0; i < 10; ++i) FirChopped(nullptr);
                phase = 1;
                return;
            case 1:
                if (!dayState.demonAwake) return;
                demon = pBos;
                ASSERT_NE(demon, nullptr);
                EXPECT_EQ(demon->active, 1);
                serial = demon->serial;
                Bring(demon, hero);
                heroCombat.actionCooldown = 0;
                ClickWidget(attackCells[3], swap);
                phase = 2;
                return;
            case 2:
                if (dayState.gameWon) {
                    phase = 3;
                } else if (!heroCombat.autoAttack && swap > releaseAt + 2 && !Dead(demon, serial)) {
                    heroCombat.actionCooldown = 0;
                    demon->kor.ph->w[kStNormHP] = 5;
                    selection[0] = demon;
                    selectionCount = 1;
                    ClickWidget(attackCells[3], swap);
                }
                return;
            default:
                ScriptPost(WM_CLOSE);
        }
    });
    EXPECT_EQ(BrindomaMain(), 0);
    EXPECT_EQ(dayState.gameWon, 1);
    EXPECT_EQ(pBos, nullptr);
    std::ifstream in(kWinsFile, std::ios::binary);
    const std::string wins((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(wins.find("[v2] "), std::string::npos);
    EXPECT_NE(wins.find(std::string("Игра пройдена за (1) игро-дней"_w)), std::string::npos);
}

}  // namespace
