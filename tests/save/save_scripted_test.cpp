// Continuing a game through the real program: BrindomaMain over the script
// backend, a virtual clock of 100 ms frames and scripted input.
#include <algorithm>
#include <cstring>
#include <set>
#include <string_view>
#include <vector>

#include "../rules/rules_fixture.h"
#include "../scripted/step_run.h"
#include "save/save_file.h"
#include "save_helpers.h"
#include "world/visibility.h"

namespace {

namespace fs = std::filesystem;

struct Record { const char* name; const void* at; std::size_t size; };
#define RECORD(r) {#r, &r, sizeof r}
const Record kSmallRecords[] = {RECORD(randState), RECORD(heroCombat), RECORD(progress),
                                RECORD(backpack),  RECORD(crystals),   RECORD(questState)};

std::size_t HashBytes(const void* p, std::size_t n) {
    return std::hash<std::string_view>{}(std::string_view(static_cast<const char*>(p), n));
}

// The sanitizer build plays a shorter day before the save and looks at the
// whole state less often (its frames and its saves are slow).
#if defined(BD_SAVE_SANITIZED)
constexpr int kDayEndsAt = 200, kWholeStateEvery = 60;
#else
constexpr int kDayEndsAt = 1200, kWholeStateEvery = 10;
#endif

// A frame's fingerprint: the generator's position, the clock, the rules'
// small records and every figure's kind and place; every few frames the
// whole game as a save.
std::size_t Fingerprint(int frame) {
    if (frame % kWholeStateEvery == 0) {
        const Bytes b = SaveGameToBytes();
        return HashBytes(b.data(), b.size());
    }
    std::vector<std::int32_t> w(3 * (kFigureSlots + 1));
    for (int s = 0; s <= kFigureSlots; ++s) {
        w[3 * s] = FigureTable[s].fgrKind;
        std::memcpy(&w[3 * s + 1], &FigureTable[s].x, 4);
        std::memcpy(&w[3 * s + 2], &FigureTable[s].z, 4);
    }
    std::size_t h = HashBytes(w.data(), w.size() * 4) ^ std::size_t(gameClockMs);
    for (const Record& r : kSmallRecords) h = h * 31 + HashBytes(r.at, r.size);
    return h;
}

// Every rule-state record and the figure table as they lie in memory,
// unsaved words included (the aura and visible lists are rebuilt each
// step, so they must come out equal too).
const Record kRecords[] = {
    RECORD(heroCombat), RECORD(monsterState), RECORD(hitPipe),     RECORD(auraReg),  RECORD(visibleEnemies),
    RECORD(gameParams), RECORD(progress),     RECORD(dayState),    RECORD(questState), RECORD(dialogState),
    RECORD(backpack),   RECORD(fishing),      RECORD(treasure),    RECORD(crystals), RECORD(FigureTable),
};
// The padding inside a figure record: after ownerWord and after kor.mode.
constexpr std::pair<std::size_t, std::size_t> kFgrPadding[] = {
    {offsetof(Fgr, ownerWord) + 4, offsetof(Fgr, next)},
    {offsetof(Fgr, kor) + 4, offsetof(Fgr, kor) + offsetof(Kor, ph)},
};

std::vector<Bytes> RecordBytes() {
    std::vector<Bytes> all;
    for (const Record& r : kRecords) {
        const auto* p = static_cast<const std::uint8_t*>(r.at);
        all.emplace_back(p, p + r.size);
    }
    // Past each side's count the visible lists hold what earlier frames left.
    VisibleLists lists = visibleEnemies;
    for (int side = 0; side <= kSides; ++side)
        for (int i = lists.count[side]; i < kVisibleMax; ++i) lists.enemy[side][i] = nullptr;
    for (std::size_t r = 0; r < all.size(); ++r)
        if (kRecords[r].at == &visibleEnemies) std::memcpy(all[r].data(), &lists, sizeof lists);
    // A removed figure's operations (the three that lead the record) are
    // never called again; the load leaves them empty. The record's padding
    // holds whatever the compiler's temporaries left there.
    for (int s = 0; s <= kFigureSlots; ++s) {
        std::uint8_t* f = all.back().data() + s * sizeof(Fgr);
        if (FigureTable[s].fgrKind == 0) std::memset(f, 0, 3 * sizeof(FgrFn));
        for (const auto& [from, to] : kFgrPadding) std::memset(f + from, 0, to - from);
    }
    return all;
}

constexpr int kFrameMs = 100;
constexpr int kFollowFrames = 600;   // a minute of game time

// The player's input n frames after the save, the same in both runs.
void PlayerInput(int n) {
    switch (n) {
    case 10: ScriptMoveCursor(120, 210); ScriptClick(VK_RBUTTON); break;
    case 120: ScriptMoveCursor(200, 150); ScriptClick(VK_LBUTTON); break;
    case 200: ScriptKeyDown(VK_LEFT); break;
    case 260: ScriptKeyDown(VK_UP); break;
    case 300: ScriptKeyUp(VK_LEFT); ScriptKeyUp(VK_UP); break;
    case 420: ScriptMoveCursor(300, 100); ScriptClick(VK_RBUTTON); break;
    default: break;
    }
}

std::string ContinueQuestion() { return "Продолжить сохранённую игру? Yes(Да) / No(Нет): новая игра"_w; }

// Runs of the program driven frame by frame (not by steps); the saves live
// in a private folder.
class SaveRun : public StepRun {
protected:
    void NewRun(int closeAfter) { ResetShellAndGame(closeAfter), ScriptSetDataFolder(data.string()); }
    fs::path SaveFile() const { return data / "brindoma" / "save.bsv"; }
    GameDir tmp{"save_data", {}, false};
    const fs::path data = tmp.Root();
};

// Talks to townsperson n and answers his dialog with option.
void TalkAndAnswer(int n, int option) {
    TalkTo(n);
    ASSERT_EQ(dialogState.openNpc, n);
    DialogChoice(option);
}

// A game played through the real frame loop: a quest taken, goods bought at
// the shop and the smithy, boots worn, three crystals walked over, a dog
// fought, two minutes of walking, a night slept; then F5. The program that continues the save and
// the program that never stopped get the same input for a minute of game
// time and hold the same state in every frame.
TEST_F(SaveRun, PlayedGameSavedWithF5ContinuesFrameForFrame) {
    GameDir dir("save_continue");
    // A small window keeps the minute of frames quick to draw.
    dir.Write("konfig.txt", "sizes\n400 300\n400 300\n");
    NewRun(5000);
    Bytes saved;
    int phase = 0, mark = 0, saveSwap = 0, walked = 0, crystalCells[3] = {};
    Fgr* dog = nullptr;
    std::set<std::string> feedAfterSave;
    std::vector<std::size_t> played;
    std::vector<Bytes> recordsAfterSave;
    ScriptOnSwap([&](int swap) {
        ScriptAdvanceClock(kFrameMs - 2);
        Fgr* hero = fgrMainHero;
        if (!hero || swap < 3) return;
        if (phase == 0) {
            ScriptMoveCursor(260, 130);
            // Earlier days' savings and the smith's firewood brought.
            heroCombat.heroGold = 400, questState.wood = kQuestRewarded;
            fgrNpc[6]->talkFlag = 1;
            TalkAndAnswer(1, 3);
            TalkAndAnswer(3, 3);
            TalkAndAnswer(6, 4);
            // Three red crystals to walk over, one cell after another.
            const int base = KleAt(hero->x, hero->z) + 4;
            for (int i = 0; i < 3; ++i) EXPECT_NE(MakeCrystal(kCrystalRed, crystalCells[i] = base + 3 * i), nullptr);
            hero->unitExpRang = 2;
            phase = 1, mark = swap;
        } else if (phase == 1) {
            // The boots on once the talk's pause is over.
            if (!backpack.wearBoots && heroCombat.strikeCooldown == 0 && SelectSlot(BackpackHolds(kItemBoots)))
                ItemWindowButton(1);
            const bool standing = !hero->onPath && !hero->targPathKle;
            if (standing && walked < 3) FgrMoveOrder(hero, crystalCells[walked++], 0);
            if ((standing && walked == 3 && swap > mark + 5 && crystals.collections > 0) || swap > mark + 400) {
                // A dog beside him, clicked, and the auto-attack on.
                dog = SpawnMonster(5, hero->x + 50, hero->z + 20, 0);
                ASSERT_NE(dog, nullptr);
                selection[0] = dog, selectionCount = 1;
                ScriptKeyDown('3');
                phase = 2, mark = swap;
            }
        } else if (phase == 2) {
            if (swap == mark + 2) ScriptKeyUp('3');
            if (dog->dead || dog->fgrKind == 0 || swap > mark + 400) phase = 3, mark = swap;
        } else if (phase == 3) {
            // Walking to and fro till two minutes are played, then a night.
            if (!hero->onPath && !hero->targPathKle && swap % 2 == 0)
                FgrMoveOrder(hero, KleAt(hero->x, hero->z) + (swap % 4 ? 6 : -6) * 256 + 3, 0);
            if (swap >= kDayEndsAt) NewDay(), phase = 4, mark = swap;
        } else if (phase == 4 && swap == mark + 30) {
            fs::remove(SaveFile());   // the new day's autosave
            ScriptKeyDown(VK_F5);
        } else if (phase == 4 && swap == mark + 31) {
            ScriptKeyUp(VK_F5);
        }
        if (!saveSwap && phase == 4 && swap > mark + 30 && fs::exists(SaveFile())) {
            saveSwap = swap, saved = ReadFile(SaveFile());
            return;
        }
        if (!saveSwap) return;
        const int n = swap - saveSwap;
        if (const char* line = MsgFeedCurrentLine()) feedAfterSave.insert(line);
        if (n == 1) recordsAfterSave = RecordBytes();
        played.push_back(Fingerprint(n));
        PlayerInput(n);
        if (n == kFollowFrames) ScriptPost(WM_CLOSE);
    });
    EXPECT_EQ(BrindomaMain(), 0);
    ASSERT_GT(saveSwap, 0);
    EXPECT_EQ(feedAfterSave.count("(Игра) сохранено"_w), 1u);
    EXPECT_EQ(ScriptBoxes().size(), 1u);   // the window size; no save yet: no question
    ASSERT_GE(played.size(), std::size_t(kFollowFrames));
    EXPECT_NE(ReadFile(SaveFile()), saved);   // the exit saved again
    // What was played is in the save.
    EXPECT_EQ(std::tuple(questState.wildDogs, backpack.wearBoots, BackpackHolds(kItemSuitChic) != 0, crystals.rubies,
                         dayState.dayNumber),
              std::tuple(int(kQuestTaken), int(kItemBoots), true, 1, 2));
    EXPECT_TRUE(dog->dead || dog->fgrKind == 0 || StatGet(dog, kStNormHP) < StatGet(dog, kStNormHPMax));

    // The program again, from the F5 save; the cursor stands where it stood.
    NewRun(4000);
    WriteFile(SaveFile(), saved);
    ScriptQueueBoxAnswer(IDYES);   // the window size
    ScriptQueueBoxAnswer(IDYES);
    ScriptMoveCursor(260, 130);
    std::vector<std::size_t> continued;
    std::vector<Bytes> recordsAfterLoad;
    ScriptOnSwap([&](int swap) {
        ScriptAdvanceClock(kFrameMs - 2);
        // Swaps count from 0: swap s ends the (s + 1)-th frame after the load.
        if (swap == 0) recordsAfterLoad = RecordBytes();
        continued.push_back(Fingerprint(swap + 1));
        PlayerInput(swap + 1);
        if (swap + 1 == kFollowFrames) ScriptPost(WM_CLOSE);
    });
    EXPECT_EQ(BrindomaMain(), 0);
    ASSERT_EQ(ScriptBoxes().size(), 2u);
    EXPECT_EQ(std::pair(ScriptBoxes()[1].text, ScriptBoxes()[1].flags & 0x0F), std::pair(ContinueQuestion(), int(MB_YESNO)));
    ASSERT_EQ(recordsAfterLoad.size(), recordsAfterSave.size());
    for (std::size_t i = 0; i < recordsAfterLoad.size(); ++i) {
        const Bytes &a = recordsAfterLoad[i], &b = recordsAfterSave[i];
        const auto at = std::mismatch(a.begin(), a.end(), b.begin()).first - a.begin();
        EXPECT_EQ(at, std::ptrdiff_t(a.size())) << kRecords[i].name << " differs at byte " << at << " (slot "
                                                << at / std::ptrdiff_t(sizeof(Fgr)) << " if a figure)";
    }
    ASSERT_GE(continued.size(), std::size_t(kFollowFrames));
    for (int i = 0; i < kFollowFrames; ++i) ASSERT_EQ(continued[i], played[i]) << "frame " << i + 1 << " after the save";
}

// No starts a new game and keeps the save until the game saves again; a
// save that cannot be continued is kept aside, a box says why, and a new
// game starts (and saves at its end).
TEST_F(SaveRun, NoKeepsTheSaveAndBadSavesAreKeptAside) {
    GameDir dir("save_bad");
    NewRun(3);
    EXPECT_EQ(BrindomaMain(), 0);
    const Bytes good = ReadFile(SaveFile());
    ASSERT_GT(good.size(), kSaveHeaderBytes);
    NewRun(3);
    ScriptQueueBoxAnswer(IDNO);
    Bytes duringGame;
    ScriptOnSwap([&](int swap) {
        if (swap == 1) duringGame = ReadFile(SaveFile());
    });
    EXPECT_EQ(BrindomaMain(), 0);
    EXPECT_EQ(duringGame, good);
    ASSERT_EQ(ScriptBoxes().size(), 1u);

    Bytes newer = good;
    newer[8] = kSaveVersion + 1;
    const struct { Bytes bytes; bool directory; } cases[] = {
        {Bytes(good.begin(), good.begin() + good.size() / 3), false}, {{}, false}, {newer, false}, {{}, true}};
    for (const auto& [c, directory] : cases) {
        NewRun(3);
        fs::remove_all(data);
        if (directory) fs::create_directories(SaveFile());
        else WriteFile(SaveFile(), c);
        ScriptQueueBoxAnswer(IDYES);
        EXPECT_EQ(BrindomaMain(), 0);
        ASSERT_EQ(ScriptBoxes().size(), 2u) << c.size();
        EXPECT_EQ(ScriptBoxes()[0].text, ContinueQuestion());
        const std::string why = c == newer ? "Сохранение сделано более новой игрой"_w : "Сохранение повреждено"_w;
        EXPECT_EQ(ScriptBoxes()[1].text.rfind(why, 0), 0u) << c.size();
        EXPECT_NE(fgrMainHero, nullptr);
        const fs::path aside = SaveFile().string() + ".bad";
        EXPECT_EQ(fs::is_directory(aside), directory);
        EXPECT_EQ(ReadFile(aside), directory ? Bytes{} : c) << c.size();
        EXPECT_TRUE(fs::is_regular_file(SaveFile()));
    }
}

}  // namespace
