// The day cycle, the quests, the dialogs' answers, the forest's anger, the
// wins file, and the game screen's buttons that call the rules.
#include "rules_fixture.h"
#include "ui/text_list.h"

namespace {

int CountWins() {
    const std::string s = ReadText(kWinsFile);
    int n = 0;
    for (auto p = s.find("[v2]"); p != std::string::npos; p = s.find("[v2]", p + 1)) ++n;
    return n;
}

int ClickAt(const Widget* w) { return UIProcessAt(1, w->x + w->width / 2, w->y + w->height / 2); }

TEST_F(StoryTest, DayButtonWakesTheDeadAndCoolsDown) {
    fgrMainHero->dead = 1, fgrMainHero->kor.ph->w[kStNormHP] = 0;
    ASSERT_EQ(DayButton(), 1);
    EXPECT_EQ(fgrMainHero->dead, 0);
    EXPECT_EQ(StatGet(fgrMainHero, kStNormHP), StatGet(fgrMainHero, kStNormHPMax));
    EXPECT_EQ(DayButton(), 0);   // cooling down
    Step(89);
    EXPECT_EQ(DayButton(), 0);
    Step(1);
    EXPECT_EQ(DayButton(), 1);
    EXPECT_EQ(dayState.dayNumber, 3);
}

TEST_F(StoryTest, PickpocketDrainsBelowZero) {
    questState.wildDogs = kQuestDone;   // no dialog: every click costs
    for (int i = 0; i < 12; ++i) TalkTo(1);
    EXPECT_EQ(std::pair(Gold(), dialogState.openNpc), std::pair(50 - 60, 0));
}

TEST_F(StoryTest, WildDogsRewardByOptionAndDay) {
    const struct { int option; bool newDay; int gold, state; } cases[] = {
        {4, false, 100, kQuestDone}, {4, true, 50, kQuestDone}, {3, false, 50, kQuestDone},
        {2, false, 0, kQuestDone},   {1, false, 0, kQuestNone}};
    for (const auto& c : cases) {
        QuestStateReset();
        fgrNpc[1]->talkFlag = 1;
        TalkTo(1);
        ASSERT_EQ(dialogState.openNpc, 1);
        DialogChoice(c.option);
        EXPECT_EQ(dialogState.openNpc, 0);
        if (c.newDay) NewDay();
        const int before = Gold();
        for (int i = 0; i < 3; ++i) WildDogKilled();
        EXPECT_EQ(std::pair(Gold() - before, questState.wildDogs), std::pair(c.gold, c.state)) << c.option;
    }
}

TEST_F(StoryTest, WoodQuestAndTheForestsAnger) {
    TalkTo(6);
    EXPECT_EQ(questState.wood, kQuestTaken);
    fgrMainHero->unitExpRang = 2;
    for (int i = 0; i < 10; ++i) FirChopped(nullptr);
    EXPECT_EQ(questState.wood, kQuestDone);
    Step(1);
    EXPECT_EQ(dayState.demonAwake, 0);   // ten firs, rank 2
    EXPECT_EQ(dayState.forestWarned[0] + dayState.forestWarned[1] + dayState.forestWarned[2], 2);
    fgrMainHero->unitExpRang = 3;
    Step(1);
    EXPECT_EQ(std::pair(dayState.demonAwake, pBos->active), std::pair(1, 1));
    const int gold = Gold();
    TalkTo(6);
    EXPECT_EQ(std::pair(questState.wood, Gold()), std::pair(int(kQuestRewarded), gold + 60));
}

TEST_F(StoryTest, OneLinePerWinAndAFailedWriteKeepsTheFile) {
    GameWon();
    GameWon();   // the boss is gone: once per game
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
    const struct { const char* name; std::string bytes; bool write; } cases[] = {
        {"missing", "", false}, {"empty", "", true}, {"huge", std::string(kMaxTextListBytes + 1, 'x'), true},
        {"binary", binary, true}, {"open quote", "\"no end\n\"\"\"\n\"", true}};
    std::filesystem::create_directories("uni_files/res");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (const char* path : {"uni_files/_about.txt", "uni_files/res/dlg_shop.txt"}) {
            std::remove(path);
            if (c.write) std::ofstream(path, std::ios::binary) << c.bytes;
        }
        UIReset();
        HudReset();
        UIInit(800, 600);
        BuildGameUI();
        ASSERT_NE(dialogText->list, nullptr);
        EXPECT_GE(dialogText->list->entries.size(), 1u);
        Gold() = 50;
        BackpackReset();
        fgrNpc[3]->talkFlag = 1;
        TalkTo(3);
        ASSERT_EQ(dialogState.openNpc, 3);
        EXPECT_GE(dialogText->list->entries.size(), 1u);
        DialogChoice(1);
        EXPECT_EQ(backpack.slotKind[1], kItemMedkit);
    }
}

// The rank widget and "абил:" open the ability window, the title hides for
// good; the ability and spell buttons (their grid order is not the rules'
// numbering) call what their labels name.
TEST_F(StoryTest, HudButtonsOpenWindowsAndCallTheirRules) {
    ClickAt(rankWidget);
    EXPECT_EQ(abilityWindow->visible, 1);
    ClickAt(rankWidget);
    EXPECT_EQ(std::pair(abilityWindow->visible, heroWindow->visible), std::pair(0, 1));
    ClickAt(abilityPointsWidget);
    EXPECT_EQ(std::pair(abilityWindow->visible, heroWindow->visible), std::pair(1, 0));
    EXPECT_EQ(ClickAt(titleLabel), 1);
    UIProcessAt(0, 0, 0);
    EXPECT_EQ(titleLabel->visible, 0);

    const int* abilityFlag[5] = {nullptr, &heroCombat.optLightning, &heroCombat.fireAddOn,
                                 &heroCombat.treasureSeeker, &heroCombat.optCrystals};
    const int spellOf[5] = {0, 4, 3, 1, 2};
    for (int tag = 1; tag <= 4; ++tag) {
        heroCombat.abilPoints = 1;
        ClickAt(abilityCells[tag]);
        EXPECT_EQ(*abilityFlag[tag], 1) << AbilityLabel(tag);
    }
    abilityWindow->visible = 0;
    for (int tag = 1; tag <= 4; ++tag) {
        HeroCombatReset();
        crystals.rubies = crystals.emeralds = crystals.sapphires = crystals.diamonds = 9;
        crystals.virForce = 5;   // "(р4)": the day's вир-форс level a spell needs
        fgrMainHero->unitExpRang = 5;
        spellWindow->visible = 1;
        ClickAt(spellCells[tag]);
        EXPECT_EQ(spellWindow->visible, 0);
        EXPECT_EQ(heroCombat.dailySpell, spellOf[tag]) << SpellLabel(tag);
    }
}

}  // namespace
