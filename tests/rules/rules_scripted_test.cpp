// Scripted runs of the real frame loop on the start location, played like
// a player: clicks on the townspeople, the dialog's answers, the backpack
// slots, the item window, the "Где?" buttons, the gem buttons, the
// lightning button and the day button at their rectangles; the hero walks
// by move orders.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "../scripted/game_dir.h"
#include "../scripted/reset_all.h"
#include "combat/hero_attack.h"
#include "combat/hero_combat.h"
#include "combat/filters.h"
#include "combat/stats.h"
#include "io/cp1251.h"
#include "platform/platform.h"
#include "platform/script/script_platform.h"
#include "rules/crystals.h"
#include "rules/fishing.h"
#include "rules/items.h"
#include "rules/progression.h"
#include "rules/story.h"
#include "rules/story_state.h"
#include "ui/hud.h"
#include "world/camera.h"
#include "world/interaction.h"
#include "world/fgr.h"
#include "world/kle.h"
#include "world/path_follow.h"
#include "world/spawn.h"

namespace {

constexpr unsigned kExtraMsPerFrame = 48;   // frames of 50 ms of game time

Fgr* Hero() { return fgrMainHero; }
int HeroCell() { return KleAt(Hero()->x, Hero()->z); }
bool Standing() { return Hero()->onPath == 0 && Hero()->targPathKle == 0; }
void PutHeroXZ(float x, float z) {
    StopPath(Hero());
    Hero()->x = x, Hero()->z = z;
}
void PutHero(int cell) {
    float x, z;
    KleCentre(cell, &x, &z);
    PutHeroXZ(x, z);
}

// A strong hero: plenty of blood and mana for the fights of a run.
void Strengthen() {
    std::int32_t* st = Hero()->kor.ph->w;
    st[StatHighOf(kStNormHPMax)] = st[StatHighOf(kStManaMax)] = 90000;
    st[kStNormHPMax] = st[kStNormHP] = 90000;
    st[kStManaMax] = st[kStMana] = 90000;
}

// A monster beside the hero with little blood left, selected: the fights
// of the story are not what its runs test.
void Bring(Fgr* m) {
    m->x = Hero()->x + 30;
    m->z = Hero()->z;
    StopPath(m);
    m->kor.ph->w[kStNormHP] = 5;
    selection[0] = m;
    selectionCount = 1;
}

// A step returns true when it is done; the next one starts in the same
// frame unless the step clicked (a click holds the button for two frames).
using Step = std::function<bool()>;

class RulesRun : public ::testing::Test {
protected:
    void SetUp() override { ResetShellAndGame(6000); }
    void TearDown() override { ResetShellAndGame(6000); }

    void Then(Step s) { steps_.push_back(std::move(s)); }
    void Do(std::function<void()> f) {
        Then([f] {
            f();
            return true;
        });
    }
    void WaitFor(std::function<bool()> cond) { Then(std::move(cond)); }
    void Frames(int n) {
        Then([left = n]() mutable { return --left <= 0; });
    }
    void ClickAt(std::function<void(int*, int*)> where) {
        Then([this, where] {
            int x = 0, y = 0;
            where(&x, &y);
            Press(x, y);
            return true;
        });
    }
    // Presses at overlay pixels (origin bottom-left); released two frames on.
    void Press(int x, int y) {
        ScriptMoveCursor(x, winHeight - 1 - y);
        ScriptMouseDown(VK_LBUTTON);
        releaseAt_ = swap_ + 2;
        freeAt_ = swap_ + 4;
    }
    // The lightning button on the target until done() (the action cooldown
    // cleared by hand: the runs test the story, not the waiting).
    void LightningUntil(Fgr* const& target, std::function<bool()> done) {
        Then([this, &target, done] {
            if (done()) return true;
            if (!heroCombat.autoAttack) {
                heroCombat.actionCooldown = 0;
                Bring(target);
                const Widget* w = attackCells[3];
                Press(w->x + w->width / 2, w->y + w->height / 2);
            }
            return false;
        });
    }
    // A widget by its global handle (resolved when the step runs).
    void Click(Widget* const& w) {
        ClickAt([&w](int* x, int* y) {
            ASSERT_NE(w, nullptr);
            *x = w->x + w->width / 2, *y = w->y + w->height / 2;
        });
    }
    void ClickSlotOf(int kind) {
        ClickAt([kind](int* x, int* y) {
            const int slot = BackpackHolds(kind);
            ASSERT_NE(slot, 0) << kind;
            const Widget* w = backpackCells[slot];
            *x = w->x + w->width / 2, *y = w->y + w->height / 2;
        });
    }
    // Uses the backpack's item of kind: its slot, then "Применить".
    // The slot does not open while the hero's action cools down.
    void UseItem(int kind) {
        WaitFor([] { return heroCombat.strikeCooldown <= 0; });
        ClickSlotOf(kind);
        WaitFor([] { return itemActionWindow->visible == 1; });
        Click(itemActionCells[1]);
    }
    // Stands beside townsperson n and clicks him; the dialog opens.
    void Talk(int n) {
        Do([n] {
            ASSERT_NE(fgrNpc[n], nullptr);
            PutHeroXZ(fgrNpc[n]->x - 10, fgrNpc[n]->z);
        });
        Frames(3);   // the camera follows him
        ClickAt([n](int* x, int* y) {
            float fx, fy, fw, fh;
            FigureScreenRect(fgrNpc[n], &fx, &fy, &fw, &fh);
            *x = int(fx + fw / 2), *y = int(fy + fh / 3);
        });
        WaitFor([n] { return dialogState.openNpc == n && dialogWindow->visible; });
    }
    void Answer(int option) { Click(answerCells[option]); }
    void WalkTo(int cell) {
        Do([cell] { FgrMoveOrder(Hero(), cell, 0); });
        Frames(2);
        WaitFor(Standing);
    }

    // Runs the steps in the frame loop; false when they did not all finish
    // within maxSwaps frames.
    bool Play(const char* dirName, int maxSwaps, unsigned extraMsPerFrame = kExtraMsPerFrame) {
        GameDir dir(dirName);
        ScriptMoveCursor(5, 5);
        ScriptOnSwap([&](int swap) {
            ScriptAdvanceClock(extraMsPerFrame);
            swap_ = swap;
            if (swap == releaseAt_) ScriptMouseUp(VK_LBUTTON);
            if (!Hero() || swap < 3) return;
            while (at_ < steps_.size() && swap >= freeAt_ && steps_[at_]()) ++at_;
            // The last click is seen through before the end.
            if ((at_ == steps_.size() && swap >= freeAt_) || swap > maxSwaps || HasFatalFailure())
                ScriptPost(WM_CLOSE);
        });
        EXPECT_EQ(BrindomaMain(), 0);
        EXPECT_EQ(at_, steps_.size()) << "stopped at step " << at_;
        return at_ == steps_.size();
    }

    int Swap() const { return swap_; }

private:
    std::vector<Step> steps_;
    std::size_t at_ = 0;
    int swap_ = 0, releaseAt_ = -1, freeAt_ = 0;
};

TEST_F(RulesRun, ThreeRedCrystalsAtRankTwoMakeARuby) {
    const int base = KleIndex(113, 60);
    Do([&] {
        // Set by hand: rank 2 takes many fights, and the map's own crystals
        // lie scattered with mixed colours.
        PutHero(base - 3);
        Hero()->unitExpRang = 2;
        for (int c : {base, base + 3, base + 6}) EXPECT_NE(MakeCrystal(kCrystalRed, c), nullptr);
    });
    for (int c : {base, base + 3, base + 6}) WalkTo(c);
    ASSERT_TRUE(Play("rules_crystals", 1500));
    EXPECT_EQ(crystals.rubies, 1);
    EXPECT_EQ(crystals.chainLength, 0);
}

// The sapphire closes clamp A, the emerald clamp B; the barrier plants go
// and the planner finds the way into the pocket.
TEST_F(RulesRun, BothClampsOpenThePassIntoThePocket) {
    const int pocket = KleIndex(203, 65);
    Do([] {
        // Rank and gems by hand: earning them is the crystal run's business.
        Hero()->unitExpRang = 3;
        Hero()->moveMode = 2;   // he can swim, as the sailor taught him
        crystals.sapphires = crystals.emeralds = 1;
        PutHero(kClampACell - 2);
    });
    WalkTo(kClampACell);
    Click(gemCells[3]);
    Do([] {
        EXPECT_EQ(crystals.clampAClosed, 1);
        EXPECT_EQ(crystals.sapphires, 0);
        EXPECT_NE(masKle.m[kBarrierCellA].fgrKey, nullptr);   // the pass is still shut
        // The hammer's 18 s rest and the walk between the clamps would add
        // some 350 frames that test nothing new.
        crystals.hammerCooldown = 0;
        PutHero(kClampBCell + 2);
    });
    WalkTo(kClampBCell);
    Click(gemCells[2]);
    Do([] {
        EXPECT_EQ(crystals.clampBClosed, 1);
        EXPECT_EQ(masKle.m[kBarrierCellA].fgrKey, nullptr);
        EXPECT_EQ(masKle.m[kBarrierCellB].fgrKey, nullptr);
    });
    WalkTo(pocket);
    ASSERT_TRUE(Play("rules_clamps", 3000));
    EXPECT_EQ(HeroCell(), pocket);
}

// Kvass bought at the shop and drunk from the backpack: the same walk
// takes about two thirds of the time.
TEST_F(RulesRun, KvassMakesTheHeroWalkFaster) {
    const int from = KleIndex(113, 55), to = KleIndex(113, 75);
    int started = 0, plain = 0, fast = 0;
    auto timedWalk = [&](int* took) {
        Do([&] {
            PutHero(from);
            started = Swap();
        });
        WalkTo(to);
        Do([&, took] {
            EXPECT_EQ(HeroCell(), to);
            *took = Swap() - started;
        });
    };
    timedWalk(&plain);
    Do([] { heroCombat.heroGold = 10; });
    Talk(3);
    Answer(2);
    WaitFor([] { return BackpackHolds(kItemKvass) != 0; });
    UseItem(kItemKvass);
    WaitFor([] { return backpack.kvassTimer > 0; });
    Do([] {
        EXPECT_EQ(heroCombat.heroGold, 0);
        EXPECT_EQ(BackpackHolds(kItemKvass), 0);
    });
    timedWalk(&fast);
    ASSERT_TRUE(Play("rules_kvass", 2500));
    ASSERT_GT(plain, 0);
    EXPECT_LT(fast * 10, plain * 8);   // 1.5 times the speed
}

// The sweeper's quest taken in his dialog; five piles walked over pay its
// reward.
TEST_F(RulesRun, FiveGarbagePilesFinishTheQuest) {
    const int base = KleIndex(118, 60);
    int gold = 0;
    Talk(2);
    Answer(3);
    Do([&] {
        EXPECT_EQ(questState.garbage, kQuestTaken);
        PutHero(base - 2);
        gold = heroCombat.heroGold;
        // Five piles in a row, so the walk stays short.
        for (int i = 0; i < 5; ++i) EXPECT_NE(MakePickup(kPickupGarbage, base + 2 * i, 0, 0), nullptr);
    });
    for (int i = 0; i < 5; ++i) WalkTo(base + 2 * i);
    ASSERT_TRUE(Play("rules_garbage", 2000));
    EXPECT_EQ(questState.garbage, kQuestDone);
    EXPECT_EQ(questState.garbageCollected, 5);
    EXPECT_EQ(heroCombat.heroGold, gold + 10);
}

// The jacket bought at the shop and put on from the backpack takes 6..9 off
// each of the dog's bites (7..12 bare); the hero kills the dog with
// lightning (a click on the dog, the lightning button), walks onto its bag,
// finds a knife and takes it into his hand from the backpack.
TEST_F(RulesRun, AShopJacketSoftensADogsBitesAndItsBagGivesAKnife) {
    Fgr* dog = nullptr;
    int bagCell = 0, shots = 0, lost = 0, hp = 0, reload = 0;
    Do([] { heroCombat.heroGold = 150; });
    Talk(3);
    Answer(3);
    WaitFor([] { return BackpackHolds(kItemSuitChic) != 0; });
    UseItem(kItemSuitChic);
    WaitFor([] { return backpack.wearSuit == kItemSuitChic; });
    Do([&] {
        EXPECT_EQ(heroCombat.heroGold, 0);
        EXPECT_EQ(BackpackHolds(kItemSuitChic), 0);
        const Fgr* suit = Hero()->single2;
        ASSERT_NE(suit, nullptr);
        EXPECT_EQ(suit->attachRole, kRoleSuit);
        // The frame's rebuild gave the hero the jacket's reception filter.
        bool softens = false;
        for (int i = 0; i < Hero()->kor.pBuf->count; ++i) {
            const FilterEntry& e = Hero()->kor.pBuf->e[i];
            softens |= e.code == kStNormHP && e.stage == 3 && e.value == -9 && !e.pct;
        }
        EXPECT_TRUE(softens);
        // A dog beside him: the wild ones roam far from town.
        PutHero(KleIndex(113, 55));
        dog = SpawnMonster(5, Hero()->x + 25, Hero()->z, 0);
        ASSERT_NE(dog, nullptr);
        hp = StatGet(Hero(), kStNormHP);
    });
    Frames(3);   // the camera follows him
    ClickAt([&](int* x, int* y) {
        float fx, fy, fw, fh;
        FigureScreenRect(dog, &fx, &fy, &fw, &fh);
        *x = int(fx + fw / 2), *y = int(fy + fh / 2);
    });
    Click(attackCells[3]);
    Then([&] {
        // A bite restarts the dog's reload; what the hero lost since is its harm.
        const int now = StatGet(Hero(), kStNormHP);
        if (now < hp) lost += hp - now;
        hp = now;
        if (dog->guns && dog->guns->countdown > reload) ++shots;
        reload = dog->guns ? dog->guns->countdown : 0;
        if (!dog->dead && dog->fgrKind != 0) return false;
        const int k = KleAt(dog->x, dog->z);
        Fgr* bag = masKle.m[k].fgrKey;
        if (!bag || bag->fgrKind != kKindLoot) return false;
        bagCell = k;
        return true;
    });
    Then([&] {
        FgrMoveOrder(Hero(), bagCell, 0);
        return true;
    });
    Frames(2);
    WaitFor(Standing);
    UseItem(kItemKnife);
    ASSERT_TRUE(Play("rules_bag", 1000));
    EXPECT_GE(shots, 1);
    EXPECT_LE(lost, 6 * shots) << shots << " bites";
    EXPECT_EQ(backpack.wearInHand, kItemKnife);
    EXPECT_EQ(BackpackHolds(kItemKnife), 0);
    ASSERT_NE(HeroHandItem(), nullptr);
    EXPECT_EQ(HeroHandItem()->unitType, kItemKnife);
}

// The sailor sells the rod (his fourth answer); at the beach the rod casts,
// the "Где?" buttons come up at the bite and the right one catches.
TEST_F(RulesRun, TheSailorsRodCatchesAFish) {
    int shore = 0, gold = 0;
    Do([] {
        heroCombat.heroGold = 60;
        VagrantFound();   // the sailor talks once his vagrant is found
    });
    Talk(5);
    Answer(4);
    Do([&] {
        EXPECT_NE(BackpackHolds(kItemRod), 0);
        EXPECT_EQ(heroCombat.heroGold, 35);
        // The sailor's beach: west along his row to the last dry cell that
        // sees deep water.
        for (int c = 37; c > 1 && !shore; --c) {
            const int k = KleIndex(178, c);
            if (masKle.m[k].landType != kLandDeepWater && PlaceFishiness(k) > 0) shore = k;
        }
        ASSERT_NE(shore, 0);
        PutHero(KleIndex(178, 40));
        FgrMoveOrder(Hero(), shore, 0);
    });
    Frames(2);
    WaitFor(Standing);
    UseItem(kItemRod);
    Do([&] {
        EXPECT_EQ(fishing.fishState, kFishWaiting);
        EXPECT_EQ(fishChoiceWindow->visible, 0);
        gold = heroCombat.heroGold;
    });
    WaitFor([] { return fishChoiceWindow->visible == 1; });
    ClickAt([](int* x, int* y) {
        const Widget* w = fishChoiceCells[fishing.fishRightButton];
        *x = w->x + w->width / 2, *y = w->y + w->height / 2;
    });
    WaitFor([] { return fishing.fishState == kFishIdle; });
    ASSERT_TRUE(Play("rules_fishing", 1500));
    EXPECT_EQ(fishing.fishSkill, 1);
    EXPECT_GT(heroCombat.heroGold, gold);
    EXPECT_EQ(fishChoiceWindow->visible, 0);
}

// The day button: a coin heap whose life ran out stands again for a whole
// life, and the day's flags of the items, the dig and the hammer clear.
TEST_F(RulesRun, NewDayRefreshesCoinHeapsAndDailyFlags) {
    Fgr* heap = nullptr;
    Do([&] {
        for (int c = 60; c < 90 && !heap; ++c) heap = MakeLoot(kPickupGold, KleIndex(118, c));
        ASSERT_NE(heap, nullptr);
        heap->countdown = 1;
        backpack.suitChangedToday = 1;
        treasure.dugToday = 1;
        crystals.hammerCooldown = 9000;
        crystals.virForce = 3;
        StatSet(Hero(), kStNormHP, 5);
    });
    WaitFor([&] { return heap && heap->stateFlag == 0; });
    Click(sideBarCells[5]);
    WaitFor([] { return dayState.dayNumber == 2; });
    Frames(100);   // five seconds of the new day
    ASSERT_TRUE(Play("rules_new_day", 600));
    EXPECT_EQ(heap->fgrKind, kKindLoot);
    EXPECT_EQ(heap->stateFlag, 1);
    EXPECT_GE(heap->countdown, kGoldLifeMin - 5000);
    EXPECT_EQ(backpack.suitChangedToday, 0);
    EXPECT_EQ(treasure.dugToday, 0);
    EXPECT_EQ(crystals.hammerCooldown, 0);
    EXPECT_EQ(crystals.virForce, 1);
    // The hero woke at the wake-up point with full blood; the button rests.
    EXPECT_NEAR(Hero()->x, kWakeX, 15);
    EXPECT_NEAR(Hero()->z, kWakeZ, 15);
    EXPECT_EQ(StatGet(Hero(), kStNormHP), StatGet(Hero(), kStNormHPMax));
    EXPECT_GT(dayState.dayButtonCooldown, 0);
}

bool Gone(const Fgr* f, int serial) { return f->fgrKind == 0 || f->serial != serial || f->dead; }

// The pickpocket's quest taken in his dialog; three wild dogs shot with
// the lightning button pay its reward.
TEST_F(RulesRun, WildDogsQuestPaysAfterThreeDogs) {
    int gold = 0, exp = 0, serial = 0, dead = 0;
    Fgr* dog = nullptr;
    Do(Strengthen);
    Talk(1);
    Answer(3);
    Do([&] {
        EXPECT_EQ(questState.wildDogs, kQuestTaken);
        gold = heroCombat.heroGold;
        exp = Hero()->unitExpNow + 1000 * Hero()->unitExpRang;
    });
    for (int i = 0; i < 3; ++i) {
        Do([&] {
            dog = SpawnMonster(6, Hero()->x + 30, Hero()->z, 0);
            ASSERT_NE(dog, nullptr);
            serial = dog->serial;
        });
        LightningUntil(dog, [&] { return Gone(dog, serial) && ++dead; });
    }
    ASSERT_TRUE(Play("wild_dogs", 1500, 98));
    EXPECT_EQ(dead, 3);
    EXPECT_EQ(questState.wildDogs, kQuestDone);
    EXPECT_GE(heroCombat.heroGold - gold, 50);
    EXPECT_GT(Hero()->unitExpNow + 1000 * Hero()->unitExpRang, exp + 300);
}

// Ten chopped firs at rank 3 wake the demon; his death is written to the
// wins file.
TEST_F(RulesRun, TheDemonWakesAndItsDeathIsWritten) {
    Fgr* demon = nullptr;
    Do([] {
        Strengthen();
        Hero()->unitExpRang = 3;
        // Called by hand: chopping ten firs is the fir rules' own test.
        for (int i = 0; i < 10; ++i) FirChopped(nullptr);
    });
    WaitFor([&] { return (demon = pBos) && dayState.demonAwake; });
    Do([&] { EXPECT_EQ(demon->active, 1); });
    LightningUntil(demon, [] { return dayState.gameWon != 0; });
    std::string wins;
    Do([&] {   // the run's folder goes with the run
        std::ifstream in(kWinsFile, std::ios::binary);
        wins.assign(std::istreambuf_iterator<char>(in), {});
    });
    ASSERT_TRUE(Play("demon", 1500, 98));
    EXPECT_EQ(pBos, nullptr);
    EXPECT_NE(wins.find("[v2] "), std::string::npos);
    EXPECT_NE(wins.find(std::string("Игра пройдена за (1) игро-дней"_w)), std::string::npos);
}

}  // namespace
