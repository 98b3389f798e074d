// Scripted runs of the real frame loop on the start location, played like
// a player: clicks on the townspeople, the dialog's answers, the backpack
// slots, the item window, the "Где?" buttons, the gem buttons, the
// lightning button and the day button at their rectangles; the hero walks
// by move orders. The HUD is looked at on screen at both window sizes.
#include <algorithm>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "../scripted/step_run.h"
#include "gfx/fonts.h"
#include "rules_fixture.h"
#include "ui/hud_draw.h"

namespace {

Fgr* Hero() { return fgrMainHero; }
int HeroCell() { return KleAt(Hero()->x, Hero()->z); }
bool Standing() { return Hero()->onPath == 0 && Hero()->targPathKle == 0; }
void PutHeroXZ(float x, float z) { StopPath(Hero()), Hero()->x = x, Hero()->z = z; }
void PutHero(int cell) {
    float x, z;
    KleCentre(cell, &x, &z);
    PutHeroXZ(x, z);
}
bool Gone(const Fgr* f, int serial) { return f->fgrKind == 0 || f->serial != serial || f->dead; }

// A strong hero: plenty of blood and mana for the fights of a run.
void Strengthen() {
    for (int k : {StatHighOf(kStNormHPMax), StatHighOf(kStManaMax), int(kStNormHPMax), int(kStNormHP), int(kStManaMax),
                  int(kStMana)})
        Hero()->kor.ph->w[k] = 90000;
}

// A pixel of the frame (overlay coordinates, origin bottom-left): r, g, b, a.
std::vector<unsigned char> PixelAt(int x, int y) {
    std::vector<unsigned char> p = ScriptReadPixels(x, y, 1, 1);
    return p.resize(4), p;
}

// Saves the frame for review when BD_HUD_SHOT_DIR is set (docs/).
void SaveShot(const char* name) {
    const char* dir = std::getenv("BD_HUD_SHOT_DIR");
    if (!dir) return;
    std::vector<unsigned char> px = ScriptReadPixels(0, 0, winWidth, winHeight);
    for (std::size_t i = 3; i < px.size(); i += 4) px[i] = 255;
    stbi_flip_vertically_on_write(1);
    stbi_write_png((std::string(dir) + "/" + name).c_str(), winWidth, winHeight, 4, px.data(), winWidth * 4);
}

// The HUD as drawn at the start: red of the hit bar, the side bar's brown
// cells in the top right corner, the dialog's light page with coloured
// words, and every fixed label fitting its widget (TextWidth plus the
// painter's offset).
void CheckScreen() {
    const bool big = winWidth == 1024;
    SCOPED_TRACE(winWidth);
    SaveShot(big ? "hud-1024.png" : "hud-800.png");
    const auto hit = PixelAt(hitBarWidget->x + 3, hitBarWidget->y + 2);
    const auto side = PixelAt(sideBarCells[3]->x + sideBarCells[3]->width - 3, sideBarCells[3]->y + 3);
    const auto page = PixelAt(dialogText->x + dialogText->width - 4, dialogText->y + dialogText->height / 2);
    EXPECT_GT(hit[0], hit[2] + 60);
    EXPECT_GT(side[0], side[2]);
    EXPECT_GT(page[2], 180);
    int coloured = 0;   // pixels of the start text far from grey
    const std::vector<unsigned char> px =
        ScriptReadPixels(dialogText->x, dialogText->y, dialogText->width, dialogText->height);
    for (std::size_t i = 0; i + 3 < px.size(); i += 4)
        coloured += std::max({px[i], px[i + 1], px[i + 2]}) - std::min({px[i], px[i + 1], px[i + 2]}) > 90;
    EXPECT_GT(coloured, 20);
    EXPECT_EQ(sideBar->x + sideBar->width, winWidth);
    if (big) {
        EXPECT_EQ(std::tuple(sideBar->width, sideBar->height, 768 - (sideBar->y + sideBar->height)),
                  std::tuple(61, 207, 23));
    }
    for (int t = 2; t <= kSideBarButtons; ++t) EXPECT_LT(sideBarCells[t]->y, sideBarCells[t - 1]->y);
    auto fit = [](const Widget* w, const char* label, int font, int centred, int painterDx) {
        int dx = painterDx, dy = 0;
        if (painterDx < 0) HudLabelOffset(w, label, font, centred, &dx, &dy);
        EXPECT_GE(dx, 0) << cp1251::ToUtf8(label);
        EXPECT_LE(dx + TextWidth(fontSet, font, label, 0, -1), w->width) << cp1251::ToUtf8(label);
    };
    for (int t = 1; t <= kSideBarButtons; ++t)
        fit(sideBarCells[t], SideBarLabel(t), SideBarFont(sideBarCells[t], SideBarLabel(t)), 0, 5);
    for (int t = 1; t <= 4; ++t) {
        fit(abilityCells[t], AbilityLabel(t), 1, 0, -1);
        fit(spellCells[t], SpellLabel(t), 1, 0, -1);
        fit(answerCells[t], ("п" + std::to_string(t)).c_str(), 1, 1, -1);
    }
    for (int t = 1; t <= 3; ++t) fit(comboCells[t], "бей"_w, 5, 1, -1);
    // The widest texts of the other labels: widget, text, font, centred, painter's offset.
    using Label = std::tuple<const Widget*, const char*, int, int, int>;
    for (const auto& [w, label, font, centred, dx] : std::initializer_list<Label>{
             {sideBarCells[5], "----", 1, 0, 5}, {sideBarCells[5], "ДЕНЬ"_w, 1, 0, -1},
             {attackCells[1], "удар 000 [000]"_w, 1, 0, 5}, {attackCells[2], "  огне(1)"_w, 1, 0, 5},
             {attackCells[3], "(1)молния 999"_w, 1, 0, 5}, {backpackCells[8], "слот8"_w, 1, 0, -1},
             {mapButton, "карт"_w, 1, 0, -1}, {heroButton, "гер"_w, 1, 0, -1}, {infoButton, "ко мне"_w, 1, 0, -1},
             {minimiseButton, "_", 1, 0, 5}, {closeButton, "x", 5, 0, 5}, {abilityPointsWidget, "абил: 9"_w, 1, 0, -1},
             {titleLabel, "RPG Бриндома - лесной демон"_w, 5, 1, -1}})
        fit(w, label, font, centred, dx);
}

class RulesRun : public StepRun {
protected:
    // The lightning button on the target until done() (the action cooldown
    // cleared and the target brought near with little blood by hand: the
    // runs test the story, not the fights).
    void LightningUntil(Fgr* const& target, std::function<bool()> done) {
        Then([this, &target, done] {
            if (done()) return true;
            if (!heroCombat.autoAttack) {
                heroCombat.actionCooldown = 0;
                target->x = Hero()->x + 30, target->z = Hero()->z;
                StopPath(target);
                target->kor.ph->w[kStNormHP] = 5;
                selection[0] = target, selectionCount = 1;
                const Widget* w = attackCells[3];
                Press(w->x + w->width / 2, w->y + w->height / 2);
            }
            return false;
        });
    }
    // Uses the backpack's item of kind: its slot, then "Применить".
    // The slot does not open while the hero's action cools down.
    void UseItem(int kind) {
        WaitFor([] { return heroCombat.strikeCooldown <= 0; });
        ClickWidget([kind] { return backpackCells[BackpackHolds(kind)]; });   // none in slot 0
        WaitFor([] { return itemActionWindow->visible == 1; });
        Click(itemActionCells[1]);
    }
    // Stands beside townsperson n, clicks him and gives the answer.
    void Talk(int n, int answer) {
        Do([n] {
            ASSERT_NE(fgrNpc[n], nullptr);
            fgrNpc[n]->talkFlag = 1;   // the day's talk, had or not
            PutHeroXZ(fgrNpc[n]->x - 10, fgrNpc[n]->z);
        });
        Frames(3);   // the camera follows him
        ClickFigure(fgrNpc[n], 1.0f / 3);
        WaitFor([n] { return dialogState.openNpc == n && dialogWindow->visible; });
        Click(answerCells[answer]);
    }
    void WalkTo(int cell) {
        Do([cell] { FgrMoveOrder(Hero(), cell, 0); });
        Frames(2), WaitFor(Standing);
    }
};

// The jacket bought at the shop and put on from the backpack takes 6..9 off
// each of a dog's bites (7..12 bare); the hero kills the dog with lightning
// (a click on the dog, the lightning button), walks onto its bag, finds a
// knife and takes it into his hand from the backpack. Kvass bought next and
// drunk: the same walk takes about two thirds of the time. Three red
// crystals walked over at rank 2 make a ruby; at rank 3 the sapphire closes
// clamp A, the emerald clamp B, the barrier plants go and the planner finds
// the way into the pocket. (The garbage quest and the demon's death are
// played by the play-through.)
TEST_F(RulesRun, JacketDogsBagKvassThenCrystalsMakeARubyAndTheClampsOpenThePass) {
    const int from = KleIndex(113, 55), to = KleIndex(113, 75), base = KleIndex(113, 60), pocket = KleIndex(203, 65);
    int started = 0, plain = 0, fast = 0, bagCell = 0, shots = 0, lost = 0, hp = 0, reload = 0;
    Fgr* dog = nullptr;
    Frames(3);
    Do(CheckScreen);
    Do([] { heroCombat.heroGold = 160; });
    Talk(3, 3);
    WaitFor([] { return BackpackHolds(kItemSuitChic) != 0; });
    UseItem(kItemSuitChic);
    WaitFor([] { return backpack.wearSuit == kItemSuitChic; });
    Do([&] {
        EXPECT_EQ(heroCombat.heroGold, 10);
        ASSERT_NE(Hero()->single2, nullptr);
        EXPECT_EQ(Hero()->single2->attachRole, kRoleSuit);
        // The frame's rebuild gave the hero the jacket's reception filter.
        const PBufRec& buf = *Hero()->kor.pBuf;
        EXPECT_TRUE(std::any_of(buf.e, buf.e + buf.count, [](const FilterEntry& e) {
            return e.code == kStNormHP && e.stage == 3 && e.value == -9 && !e.pct;
        }));
        // A dog beside him: the wild ones roam far from town.
        PutHero(KleIndex(113, 55));
        dog = SpawnMonster(5, Hero()->x + 25, Hero()->z, 0);
        ASSERT_NE(dog, nullptr);
        hp = StatGet(Hero(), kStNormHP);
    });
    Frames(3);   // the camera follows him
    ClickFigure(dog);
    Click(attackCells[3]);
    Then([&] {
        // A bite restarts the dog's reload; what the hero lost since is its harm.
        const int now = StatGet(Hero(), kStNormHP);
        if (now < hp) lost += hp - now;
        hp = now;
        if (dog->guns && dog->guns->countdown > reload) ++shots;
        reload = dog->guns ? dog->guns->countdown : 0;
        if (!dog->dead && dog->fgrKind != 0) return false;
        Fgr* bag = masKle.m[bagCell = KleAt(dog->x, dog->z)].fgrKey;
        return bag && bag->fgrKind == kKindLoot;
    });
    Do([&] { FgrMoveOrder(Hero(), bagCell, 0); });
    Frames(2);
    WaitFor(Standing);
    UseItem(kItemKnife);
    auto timedWalk = [&](int* took) {
        Do([&] {
            PutHero(from);
            started = Swap();
        });
        WalkTo(to);
        Do([&, took] { *took = Swap() - started; });
    };
    timedWalk(&plain);
    Talk(3, 2);
    WaitFor([] { return BackpackHolds(kItemKvass) != 0; });
    UseItem(kItemKvass);
    WaitFor([] { return backpack.kvassTimer > 0; });
    timedWalk(&fast);
    Do([&] {
        // Ranks and gems by hand: earning them takes many fights, and the
        // map's own crystals lie scattered with mixed colours.
        PutHero(base - 3);
        Hero()->unitExpRang = 2;
        for (int c : {base, base + 3, base + 6}) EXPECT_NE(MakeCrystal(kCrystalRed, c), nullptr);
    });
    for (int c : {base, base + 3, base + 6}) WalkTo(c);
    Do([] {
        EXPECT_EQ(std::pair(crystals.rubies, crystals.chainLength), std::pair(1, 0));
        Hero()->unitExpRang = 3;
        Hero()->moveMode = 2;   // he can swim, as the sailor taught him
        crystals.sapphires = crystals.emeralds = 1;
        PutHero(kClampACell - 2);
    });
    WalkTo(kClampACell);
    Click(gemCells[3]);
    Do([] {
        EXPECT_EQ(std::pair(crystals.clampAClosed, crystals.sapphires), std::pair(1, 0));
        EXPECT_NE(masKle.m[kBarrierCellA].fgrKey, nullptr);   // the pass is still shut
        crystals.hammerCooldown = 0;   // the hammer's 18 s rest tests nothing new
        PutHero(kClampBCell + 2);
    });
    WalkTo(kClampBCell);
    Click(gemCells[2]);
    Do([] {
        EXPECT_EQ(crystals.clampBClosed, 1);
        EXPECT_TRUE(!masKle.m[kBarrierCellA].fgrKey && !masKle.m[kBarrierCellB].fgrKey);
    });
    WalkTo(pocket);
    ASSERT_TRUE(Play("rules_shop", 6000));
    EXPECT_EQ(HeroCell(), pocket);
    EXPECT_GE(shots, 1);
    EXPECT_LE(lost, 6 * shots) << shots << " bites";
    ASSERT_NE(HeroHandItem(), nullptr);
    EXPECT_EQ(std::pair(backpack.wearInHand, HeroHandItem()->unitType), std::pair(int(kItemKnife), int(kItemKnife)));
    ASSERT_GT(plain, 0);
    EXPECT_LT(fast * 10, plain * 8);   // 1.5 times the speed
}

// The sailor sells the rod (his fourth answer); at the beach the rod casts,
// the "Где?" buttons come up at the bite and the right one catches.
TEST_F(RulesRun, TheSailorsRodCatchesAFish) {
    int gold = 0, shore = 0;
    Do([] {
        heroCombat.heroGold = 60;
        VagrantFound();   // the sailor talks once his vagrant is found
    });
    Talk(5, 4);
    Do([&] {
        EXPECT_EQ(std::pair(BackpackHolds(kItemRod) != 0, heroCombat.heroGold), std::pair(true, 35));
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
        EXPECT_EQ(std::pair(int(fishing.fishState), fishChoiceWindow->visible), std::pair(int(kFishWaiting), 0));
        gold = heroCombat.heroGold;
    });
    WaitFor([] { return fishChoiceWindow->visible == 1; });
    ClickWidget([] { return fishChoiceCells[fishing.fishRightButton]; });
    WaitFor([] { return fishing.fishState == kFishIdle; });
    ASSERT_TRUE(Play("rules_fishing", 1500));
    EXPECT_EQ(std::pair(fishing.fishSkill, fishChoiceWindow->visible), std::pair(1, 0));
    EXPECT_GT(heroCombat.heroGold, gold);
}

// At 1024 x 768, the day button: the hero wakes at the wake-up point with
// full blood, a coin heap whose life ran out stands again for a whole life,
// and the day's flags of the items, the dig and the hammer clear. Then the
// pickpocket's quest taken in his dialog; three wild dogs shot with the
// lightning button pay its reward.
TEST_F(RulesRun, NewDayAt1024ThenTheWildDogsQuestPays) {
    Fgr* heap = nullptr;
    int gold = 0, exp = 0, serial = 0, dead = 0;
    Fgr* dog = nullptr;
    Frames(3);
    Do([&] {
        EXPECT_EQ(winWidth, 1024);
        CheckScreen();
        for (int c = 60; c < 90 && !heap; ++c) heap = MakeLoot(kPickupGold, KleIndex(118, c));
        ASSERT_NE(heap, nullptr);
        heap->countdown = 1;
        backpack.suitChangedToday = treasure.dugToday = 1;
        crystals.hammerCooldown = 9000, crystals.virForce = 3;
        StatSet(Hero(), kStNormHP, 5);
    });
    WaitFor([&] { return heap && heap->stateFlag == 0; });
    Click(sideBarCells[5]);
    WaitFor([] { return dayState.dayNumber == 2; });
    Do([] { EXPECT_STRNE(tooltipText, "") << "the hovered button's tooltip"; });
    Frames(100);   // five seconds of the new day
    Do([&] {
        EXPECT_GE(heap->countdown, kGoldLifeMin - 5000);
        EXPECT_EQ(std::tuple(heap->fgrKind, heap->stateFlag, backpack.suitChangedToday, treasure.dugToday,
                             crystals.hammerCooldown, crystals.virForce),
                  std::tuple(int(kKindLoot), 1, 0, 0, 0, 1));
        EXPECT_NEAR(Hero()->x, kWakeX, 15);
        EXPECT_NEAR(Hero()->z, kWakeZ, 15);
        EXPECT_EQ(StatGet(Hero(), kStNormHP), StatGet(Hero(), kStNormHPMax));
        EXPECT_GT(dayState.dayButtonCooldown, 0);
        Strengthen();
    });
    Talk(1, 3);
    Do([&] {
        EXPECT_EQ(questState.wildDogs, kQuestTaken);
        gold = heroCombat.heroGold, exp = Hero()->unitExpNow + 1000 * Hero()->unitExpRang;
    });
    for (int i = 0; i < 3; ++i) {
        Do([&] {
            ASSERT_NE(dog = SpawnMonster(6, Hero()->x + 30, Hero()->z, 0), nullptr);
            serial = dog->serial;
        });
        LightningUntil(dog, [&] { return Gone(dog, serial) && ++dead; });
    }
    Do([&] {
        EXPECT_EQ(std::pair(dead, questState.wildDogs), std::pair(3, int(kQuestDone)));
        EXPECT_GE(heroCombat.heroGold - gold, 50);
        EXPECT_GT(Hero()->unitExpNow + 1000 * Hero()->unitExpRang, exp + 300);
    });
    ASSERT_TRUE(Play("rules_day_dogs", 4000, 48, "1024 768\n800 600\n"));
}

}  // namespace
