// Saved games without a window: the round trip of the world's state, the
// refusal of damaged saves (state untouched), the safe write, the
// generator's position.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "app/frame.h"
#include "app/game_state.h"
#include "app/log.h"
#include "app/random.h"
#include "combat/filters.h"
#include "combat/hero_combat.h"
#include "combat/monsters.h"
#include "editor/editor.h"
#include "io/files.h"
#include "rules/crystals.h"
#include "rules/fishing.h"
#include "rules/items.h"
#include "rules/progression.h"
#include "rules/story_state.h"
#include "save/save_file.h"
#include "world/camera.h"
#include "world/fgr.h"
#include "world/interaction.h"
#include "world/kle.h"
#include "world/location.h"
#include "world/path_follow.h"
#include "world/spawn.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Every refused load restores the whole state from a save of it; under the
// sanitizers that costs seconds, so fewer random cases run there.
#include "save_sanitized.h"
#if defined(BD_SAVE_SANITIZED)
constexpr int kRandomLengths = 40, kRandomFlips = 6;
#else
constexpr int kRandomLengths = 250, kRandomFlips = 40;
#endif

Bytes ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Section boundaries of a save: header end, then every tag and payload start.
std::vector<std::size_t> SectionBoundaries(const Bytes& b) {
    std::vector<std::size_t> at;
    std::size_t pos = kSaveHeaderBytes;
    while (pos + 8 <= b.size()) {
        at.push_back(pos);
        at.push_back(pos + 4);
        at.push_back(pos + 8);
        std::uint32_t len = 0;
        std::memcpy(&len, b.data() + pos + 4, 4);
        pos += 8 + len;
    }
    return at;
}

void Reseal(Bytes& b) {
    const std::uint32_t crc = SaveChecksum(std::span<const std::uint8_t>(b).subspan(kSaveHeaderBytes));
    std::memcpy(b.data() + 28, &crc, 4);
}

class SaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        WorldReset();
        PathReset();
        CameraReset();
        InteractionReset();
        ResetRuleState();
        FrameReset();
        SaveReset();
        RandSeed(11);
        dir = fs::path(::testing::TempDir()) / ("bd_save_" + std::to_string(getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        LogReset();
        logPath = (dir / "log.txt").string();
        LogSetPath(logPath.c_str());   // kept as a pointer
    }
    void TearDown() override {
        InjectWriteFailureAfter(0);
        LogReset();
        SaveReset();
        fs::remove_all(dir);
    }

    // The start location with its population, a few frames of the world,
    // and the state the player leaves behind: orders, a selection, a
    // removed unit whose pool records are still taken, zoom and glide.
    static void PlayAWhile() {
        const char* runtime = std::getenv("BD_RUNTIME_DIR");
        ASSERT_NE(runtime, nullptr);
        const fs::path old = fs::current_path();
        fs::current_path(runtime);
        StartGameLocation();
        fs::current_path(old);
        ASSERT_NE(fgrMainHero, nullptr);
        FgrMoveOrder(fgrMainHero, KleAt(fgrMainHero->x, fgrMainHero->z) + 5 * 256 + 7, 0);
        Fgr* dog = SpawnMonster(6, fgrMainHero->x + 80, fgrMainHero->z, 0);
        ASSERT_NE(dog, nullptr);
        selection[0] = dog;
        selectionCount = 1;
        hoveredFigure = fgrNpc[2];
        frameDeltaMs = 50;
        frameDeltaF = 50.0f;
        for (int i = 0; i < 30; ++i) WorldStepRun(1);
        FgrRemove(SpawnMonster(8, fgrMainHero->x - 60, fgrMainHero->z + 40, 0));
        CameraZoom(1);
        cameraGlide = 1;
        gameClockMs = 123456;
        for (int i = 0; i < 17; ++i) Rand();
        // The rules' records away from their start values.
        heroCombat.heroGold = 777;
        heroCombat.comboTarget = dog;
        heroCombat.dailySpell = 2;
        progress.statPoints = 3;
        dayState.dayNumber = 4;
        questState.wildDogs = kQuestTaken;
        questState.wildDogsKilled = 2;
        backpack.slotKind[2] = kItemSword;
        backpack.wearSuit = kItemSuitBrave;
        fishing.fishState = kFishWaiting;
        fishing.fishWaitLeft = 4000;
        treasure.dugToday = 1;
        crystals.rubies = 5;
        crystals.virForce = 3;
        monsterState.demonCallTimer = 900;
        hitPipe.lastHitClock = 4321;
    }

    fs::path dir;
    std::string logPath;
};

TEST_F(SaveTest, RoundTripRestoresEveryWordAndContinuesTheSame) {
    PlayAWhile();
    const Bytes saved = SaveGameToBytes();
    const Fgr hero = *fgrMainHero;
    const int heroSlot = FgrSlotOf(fgrMainHero);
    const float cx = camX, cw = camWidth;

    // What the running game does next, to compare with the restored one.
    std::vector<Bytes> ahead;
    for (int i = 0; i < 20; ++i) {
        WorldStepRun(1);
        ahead.push_back(SaveGameToBytes());
    }

    WorldReset();
    PathReset();
    CameraReset();
    InteractionReset();
    ResetRuleState();
    RandSeed(99);
    gameClockMs = 0;
    ASSERT_EQ(LoadGameFromBytes(saved), SaveStatus::Ok);
    EXPECT_EQ(SaveGameToBytes(), saved);
    ASSERT_EQ(FgrSlotOf(fgrMainHero), heroSlot);
    EXPECT_EQ(std::memcmp(&fgrMainHero->attachRole, &hero.attachRole, 4 * (kFgrIntWords + kFgrFloatWords)), 0);
    EXPECT_EQ(fgrMainHero->fnDraw, hero.fnDraw);
    EXPECT_EQ(FgrSlotOf(fgrMainHero->guns), FgrSlotOf(hero.guns));
    EXPECT_EQ(fgrMainHero->kor.ph - poolPh, hero.kor.ph - poolPh);
    EXPECT_EQ(camX, cx);
    EXPECT_EQ(camWidth, cw);
    EXPECT_EQ(gameClockMs, 123456);
    EXPECT_EQ(heroCombat.heroGold, 777);
    EXPECT_EQ(heroCombat.comboTarget, selection[0]);
    EXPECT_EQ(backpack.slotKind[2], kItemSword);
    EXPECT_EQ(crystals.virForce, 3);
    EXPECT_EQ(questState.wildDogsKilled, 2);
    EXPECT_EQ(monsterState.demonCallTimer, 900);
    EXPECT_EQ(hitPipe.lastHitClock, 4321);
    for (int i = 0; i < 20; ++i) {
        WorldStepRun(1);
        ASSERT_EQ(SaveGameToBytes(), ahead[i]) << "frame " << i;
    }
}

TEST_F(SaveTest, DamagedSavesAreRefusedAndChangeNothing) {
    PlayAWhile();
    const Bytes good = SaveGameToBytes();
    // A different state to load over, so a partial load would show.
    for (int i = 0; i < 5; ++i) WorldStepRun(1);
    RandSeed(5);
    const Bytes before = SaveGameToBytes();

    std::vector<Bytes> bad = {{}, Bytes(good.begin(), good.begin() + 7)};
    for (std::size_t cut = 0; cut < kSaveHeaderBytes; ++cut) bad.emplace_back(good.begin(), good.begin() + cut);
    for (std::size_t cut : SectionBoundaries(good)) bad.emplace_back(good.begin(), good.begin() + cut);
    std::mt19937 rng(3);
    for (int i = 0; i < kRandomLengths; ++i) bad.emplace_back(good.begin(), good.begin() + rng() % good.size());
    Bytes newer = good;
    newer[8] = kSaveVersion + 1;
    bad.push_back(newer);
    Bytes longer = good;
    longer.push_back(0);
    bad.push_back(longer);
    Bytes flipped = good;
    flipped[good.size() / 2] ^= 0x40;
    bad.push_back(flipped);   // checksum

    // Values out of range behind a valid checksum: the section checks. Word
    // at a byte offset of a section's payload (negative: from its end).
    const struct { const char* tag; long at; std::int32_t value; } words[] = {
        {"GRID", 0, -1},           // tile set number
        {"POOL", 0, 0},            // ph cursor
        {"FIGS", 0, 0},            // nextSlot
        {"FIGS", 12, 7000},        // the hero's slot
        {"SPWN", 0, -2},           // townsperson slot
        {"PATH", 4, -1},           // failed-plan count
        {"VIEW", 0, 0},            // view width
        {"HAND", 0, 6001},         // hovered figure
        {"CLCK", -8, 40},          // generator index
        {"BACK", 0, 15},           // item kind
        {"CRYS", 0, 7},            // chain colour
        {"STRY", 4 * 19, 9},       // open dialog's townsperson
    };
    for (const auto& w : words) {
        Bytes b = good;
        std::size_t pos = kSaveHeaderBytes;
        while (pos + 8 <= b.size() && std::memcmp(b.data() + pos, w.tag, 4) != 0) {
            std::uint32_t len = 0;
            std::memcpy(&len, b.data() + pos + 4, 4);
            pos += 8 + len;
        }
        ASSERT_LT(pos + 8, b.size()) << w.tag;
        std::uint32_t len = 0;
        std::memcpy(&len, b.data() + pos + 4, 4);
        const std::size_t at = pos + 8 + (w.at >= 0 ? w.at : len + w.at);
        std::memcpy(b.data() + at, &w.value, 4);
        Reseal(b);
        bad.push_back(b);
    }
    // One look at the state after all of them: a refused load that left
    // anything behind would show.
    for (std::size_t i = 0; i < bad.size(); ++i)
        ASSERT_NE(LoadGameFromBytes(bad[i]), SaveStatus::Ok) << i << " " << bad[i].size();
    ASSERT_EQ(SaveGameToBytes(), before);
    EXPECT_EQ(LoadGameFromBytes(newer), SaveStatus::Newer);

    // Random flips behind a valid checksum: refused whole or loaded whole.
    for (int i = 0; i < kRandomFlips; ++i) {
        Bytes b = good;
        for (int n = 0; n < 4; ++n) b[kSaveHeaderBytes + rng() % (b.size() - kSaveHeaderBytes)] ^= 1u << (rng() % 8);
        Reseal(b);
        if (LoadGameFromBytes(b) == SaveStatus::Ok) {
            EXPECT_EQ(SaveGameToBytes().size(), b.size());
            ASSERT_EQ(LoadGameFromBytes(before), SaveStatus::Ok);
        } else {
            ASSERT_EQ(SaveGameToBytes(), before);
        }
    }
}

TEST_F(SaveTest, FileWritesAreSafeAndBadFilesAreKeptAside) {
    saveFolder = (dir / "data" / "brindoma").string();
    PlayAWhile();
    ASSERT_TRUE(SaveGameToFile());
    const fs::path file = SaveFilePath();
    const Bytes first = ReadFile(file);
    EXPECT_EQ(first, SaveGameToBytes());

    // A write that fails half way (disk full) keeps the old save whole.
    WorldStepRun(1);
    InjectWriteFailureAfter(2);
    EXPECT_FALSE(SaveGameToFile());
    InjectWriteFailureAfter(0);
    EXPECT_EQ(ReadFile(file), first);
    EXPECT_FALSE(fs::exists(file.string() + ".tmp"));
    // A folder that cannot be made (a file in the way).
    const std::string keep = saveFolder;
    std::ofstream(dir / "plain") << "x";
    saveFolder = (dir / "plain" / "brindoma").string();
    EXPECT_FALSE(SaveGameToFile());
    saveFolder = keep;
    // Saving is off without a folder, and so is saving in the editor.
    editor.open = 1;
    EXPECT_FALSE(AutosaveGame());
    editor.open = 0;
    worldError = 1;
    EXPECT_FALSE(AutosaveGame());
    worldError = 0;
    EXPECT_EQ(ReadFile(file), first);

    EXPECT_EQ(LoadGameFromFile(), SaveStatus::Ok);
    // A new day saves the game.
    fs::remove(file);
    AutosaveAtNewDay();
    EXPECT_EQ(ReadFile(file), SaveGameToBytes());
    // Bad files are renamed aside, one name each.
    std::ofstream(file, std::ios::trunc) << "";
    EXPECT_EQ(LoadGameFromFile(), SaveStatus::Damaged);
    EXPECT_EQ(KeepBadSaveAside(), file.string() + ".bad");
    fs::create_directory(file);
    EXPECT_EQ(LoadGameFromFile(), SaveStatus::Unreadable);
    EXPECT_EQ(KeepBadSaveAside(), file.string() + ".bad1");
    EXPECT_TRUE(fs::is_directory(file.string() + ".bad1"));
    EXPECT_EQ(LoadGameFromFile(), SaveStatus::Missing);
}

TEST(SaveRandom, SameNumbersAsTheRuntimeAndThePositionIsState) {
    for (unsigned seed : {0u, 1u, 1234u, 4000000000u}) {
        std::srand(seed);
        RandSeed(seed);
        for (int i = 0; i < 1000; ++i) ASSERT_EQ(Rand(), std::rand() % 32768) << seed << " " << i;
    }
    const RandState at = randState;
    const int a = Rand(), b = Rand();
    randState = at;
    EXPECT_EQ(Rand(), a);
    EXPECT_EQ(Rand(), b);
    RandState broken = at;
    broken.rear = broken.front;
    EXPECT_FALSE(RandStateValid(broken));
}

}  // namespace
