// The day cycle, the quests, the dialogs' answers, the forest's anger and
// the wins file.
#include <filesystem>
#include <fstream>
#include <iterator>

#include "io/cp1251.h"
#include "io/files.h"
#include "story_fixture.h"
#include "ui/text_list.h"

namespace {

int CountWins() {
    std::ifstream in(kWinsFile, std::ios::binary);
    const std::string s((std::istreambuf_iterator<char>(in)), {});
    int n = 0;
    for (auto p = s.find("[v2]"); p != std::string::npos; p = s.find("[v2]", p + 1)) ++n;
    return n;
}

TEST_F(StoryTest, DayButtonWakesTheHeroAndCoolsDown) {
    Fgr* hero = fgrMainHero;
    hero->x = 400;
    hero->z = 400;
    hero->dead = 1;
    hero->kor.ph->w[kStNormHP] = 0;
    hero->kor.ph->w[kStMana] = 1;
    ASSERT_EQ(DayButton(), 1);
    EXPECT_EQ(dayState.dayNumber, 2);
    EXPECT_EQ(hero->dead, 0);
    EXPECT_NEAR(hero->x, kWakeX, 15);
    EXPECT_NEAR(hero->z, kWakeZ, 15);
    EXPECT_EQ(Stat(kStNormHP), Stat(kStNormHPMax));
    EXPECT_EQ(Stat(kStMana), Stat(kStManaMax));
    EXPECT_EQ(DayButton(), 0);            // cooling down
    Step(89);
    EXPECT_EQ(DayButton(), 0);
    Step(1);
    EXPECT_EQ(DayButton(), 1);
    EXPECT_EQ(dayState.dayNumber, 3);
}

TEST_F(StoryTest, NewDayWakesTownspeopleByTheirRules) {
    EXPECT_EQ(fgrNpc[4]->active, 0);
    EXPECT_EQ(fgrNpc[4]->talkFlag, 0);
    fgrNpc[1]->talkFlag = 0;
    fgrNpc[2]->talkFlag = 0;
    questState.garbage = kQuestTaken;
    NewDay();
    EXPECT_EQ(fgrNpc[1]->talkFlag, 1);    // wild dogs not done
    EXPECT_EQ(fgrNpc[2]->talkFlag, 0);    // garbage taken
    EXPECT_EQ(fgrNpc[4]->active, 0);      // rank 1
    fgrMainHero->unitExpRang = 3;
    NewDay();
    EXPECT_EQ(fgrNpc[4]->active, 1);
    EXPECT_EQ(fgrNpc[4]->talkFlag, 1);
    EXPECT_EQ(fgrNpc[5]->talkFlag, 1);
    VagrantFound();
    EXPECT_EQ(questState.sailorState, 1);
}

TEST_F(StoryTest, PickpocketDrainsBelowZero) {
    questState.wildDogs = kQuestDone;     // no dialog: every click costs
    for (int i = 0; i < 12; ++i) Talk(1);
    EXPECT_EQ(heroCombat.heroGold, 50 - 60);
    EXPECT_EQ(dialogState.openNpc, 0);
}

TEST_F(StoryTest, WildDogsRewardByOptionAndDay) {
    struct Case {
        int option;
        bool newDay;
        int gold;
        int state;
    } cases[] = {{4, false, 100, kQuestDone}, {4, true, 50, kQuestDone}, {3, false, 50, kQuestDone},
                 {2, false, 0, kQuestDone}, {1, false, 0, kQuestNone}};
    for (const Case& c : cases) {
        QuestStateReset();
        heroCombat.heroGold = 1000;
        fgrNpc[1]->talkFlag = 1;
        Talk(1);
        ASSERT_EQ(dialogState.openNpc, 1);
        DialogChoice(c.option);
        EXPECT_EQ(dialogState.openNpc, 0);
        EXPECT_EQ(fgrNpc[1]->talkFlag, 0);
        if (c.newDay) NewDay();
        const int before = heroCombat.heroGold;
        for (int i = 0; i < 3; ++i) WildDogKilled();
        EXPECT_EQ(heroCombat.heroGold - before, c.gold) << c.option;
        EXPECT_EQ(questState.wildDogs, c.state) << c.option;
    }
}

TEST_F(StoryTest, ShopSellsAndGivesManaOncePerDay) {
    fgrMainHero->kor.ph->w[kStMana] = 0;
    Talk(3);
    EXPECT_EQ(Stat(kStMana), std::min(100, Stat(kStManaMax)));
    ASSERT_EQ(dialogState.openNpc, 3);
    ASSERT_NE(dialogText->list, nullptr);
    EXPECT_EQ(dialogText->list->entries.size(), 1u);   // no dialog file here: one line says so
    DialogChoice(1);
    EXPECT_EQ(heroCombat.heroGold, 20);
    EXPECT_EQ(backpack.slotKind[1], kItemMedkit);
    Talk(3);                              // silent until the new day
    EXPECT_EQ(dialogState.openNpc, 0);
    NewDay();
    fgrMainHero->kor.ph->w[kStMana] = 0;
    Talk(3);
    EXPECT_EQ(dialogState.openNpc, 3);
    EXPECT_GT(Stat(kStMana), 0);
    DialogChoice(4);                      // 500 for the saw: refused, nothing paid
    EXPECT_EQ(heroCombat.heroGold, 20);
}

TEST_F(StoryTest, WoodQuestAndTheForestsAnger) {
    Talk(6);
    EXPECT_EQ(questState.wood, kQuestTaken);
    EXPECT_EQ(fgrNpc[6]->talkFlag, 0);
    fgrMainHero->unitExpRang = 2;
    for (int i = 0; i < 10; ++i) FirChopped(nullptr);
    EXPECT_EQ(questState.wood, kQuestDone);
    EXPECT_EQ(fgrNpc[6]->talkFlag, 1);
    Step(1);
    EXPECT_EQ(dayState.demonAwake, 0);    // ten firs, rank 2
    EXPECT_EQ(dayState.forestWarned[0] + dayState.forestWarned[1] + dayState.forestWarned[2], 2);
    EXPECT_EQ(pBos->active, 0);
    fgrMainHero->unitExpRang = 3;
    Step(1);
    EXPECT_EQ(dayState.demonAwake, 1);
    EXPECT_EQ(pBos->active, 1);
    const int gold = heroCombat.heroGold;
    Talk(6);
    EXPECT_EQ(questState.wood, kQuestRewarded);
    EXPECT_EQ(heroCombat.heroGold, gold + 60);
}

TEST_F(StoryTest, OneLinePerWinAndAFailedWriteKeepsTheFile) {
    GameWon();
    GameWon();                            // the boss is gone: once per game
    EXPECT_EQ(CountWins(), 1);
    DayStateReset();
    GameWon();
    EXPECT_EQ(CountWins(), 2);
    DayStateReset();
    InjectWriteFailureAfter(1);
    GameWon();
    InjectWriteFailureAfter(0);
    EXPECT_EQ(CountWins(), 2);
}

// Missing, empty, huge, binary and unterminated-quote texts: the start
// notes and the shopkeeper's dialog still show something, and buying works.
TEST_F(StoryTest, BadDialogAndStartTextsKeepTheGameGoing) {
    std::string binary(4096, '\0');
    for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = char(i * 37 % 256);
    const struct {
        const char* name;
        std::string bytes;
        bool write;
    } cases[] = {{"missing", "", false},
                 {"empty", "", true},
                 {"huge", std::string(kMaxTextListBytes + 1, 'x'), true},
                 {"binary", binary, true},
                 {"open quote", "\"no end\n\"\"\"\n\"", true}};
    std::filesystem::create_directories("uni_files/res");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* path : {"uni_files/_about.txt", "uni_files/res/dlg_shop.txt"}) {
            std::remove(path);
            if (c.write) std::ofstream(path, std::ios::binary) << c.bytes;
        }
        UIReset();
        HudReset();
        UIInit(width, height);
        BuildGameUI();
        ASSERT_NE(dialogText->list, nullptr);
        EXPECT_GE(dialogText->list->entries.size(), 1u);
        heroCombat.heroGold = 50;
        BackpackReset();
        fgrNpc[3]->talkFlag = 1;
        Talk(3);
        ASSERT_EQ(dialogState.openNpc, 3);
        EXPECT_GE(dialogText->list->entries.size(), 1u);
        DialogChoice(1);
        EXPECT_EQ(backpack.slotKind[1], kItemMedkit);
    }
}

}  // namespace
