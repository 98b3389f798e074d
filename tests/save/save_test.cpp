// Saved games without a window: damaged saves refused whole (the state
// untouched), the safe write, the generator whose position is game state.
#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "../rules/rules_fixture.h"
#include "editor/editor.h"
#include "save/save_file.h"
#include "save_helpers.h"

namespace {

namespace fs = std::filesystem;
// Every refused load restores the whole state from a save of it; under the
// sanitizers that costs seconds, so fewer random cases run there.
#if defined(BD_SAVE_SANITIZED)
constexpr int kRandomLengths = 40, kRandomFlips = 6;
#else
constexpr int kRandomLengths = 250, kRandomFlips = 40;
#endif

// Each section of a save: its tag, where its payload begins and ends.
struct Section { std::string tag; std::size_t at, end; };
std::vector<Section> Sections(const Bytes& b) {
    std::vector<Section> all;
    for (std::size_t pos = kSaveHeaderBytes; pos + 8 <= b.size(); pos = all.back().end) {
        std::uint32_t len = 0;
        std::memcpy(&len, b.data() + pos + 4, 4);
        all.push_back({std::string(reinterpret_cast<const char*>(b.data() + pos), 4), pos + 8, pos + 8 + len});
    }
    return all;
}

void Reseal(Bytes& b) {
    const std::uint32_t crc = SaveChecksum(std::span<const std::uint8_t>(b).subspan(kSaveHeaderBytes));
    std::memcpy(b.data() + 28, &crc, 4);
}

class SaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetRules(), CameraReset(), SaveReset();
        logPath = (dir / "log.txt").string();
        LogSetPath(logPath.c_str());   // kept as a pointer
    }
    void TearDown() override { InjectWriteFailureAfter(0), LogReset(), SaveReset(); }

    // The start location with its population, a few frames of the world
    // with an order, a selection and a removed unit whose pool records are
    // still taken.
    static void PlayAWhile() {
        StartGameLocation();
        ASSERT_NE(fgrMainHero, nullptr);
        FgrMoveOrder(fgrMainHero, KleAt(fgrMainHero->x, fgrMainHero->z) + 5 * 256 + 7, 0);
        selection[0] = SpawnMonster(6, fgrMainHero->x + 80, fgrMainHero->z, 0), selectionCount = 1;
        frameDeltaMs = 50, frameDeltaF = 50.0f;
        for (int i = 0; i < 30; ++i) WorldStepRun(1);
        FgrRemove(SpawnMonster(8, fgrMainHero->x - 60, fgrMainHero->z + 40, 0));
    }

    GameDir tmp{"save"};   // the built game's files beside the test's own
    const fs::path dir = tmp.Root();
    std::string logPath;
};

// Truncations at every section boundary and in the header, random lengths,
// another version, a checksum mismatch, values out of range behind a valid
// checksum: each is refused and leaves the state exactly as it was.
TEST_F(SaveTest, DamagedSavesAreRefusedAndChangeNothing) {
    PlayAWhile();
    const Bytes good = SaveGameToBytes();
    // A different state to load over, so a partial load would show.
    for (int i = 0; i < 5; ++i) WorldStepRun(1);
    RandSeed(5);
    heroCombat.heroGold = 777, backpack.slotKind[2] = kItemSword;
    crystals.virForce = 3, questState.wildDogs = kQuestTaken;
    const Bytes before = SaveGameToBytes();

    std::vector<Bytes> bad;
    for (std::size_t cut = 0; cut < kSaveHeaderBytes; ++cut) bad.emplace_back(good.begin(), good.begin() + cut);
    const auto sections = Sections(good);
    for (const Section& s : sections)
        for (std::size_t cut : {s.at - 8, s.at - 4, s.at}) bad.emplace_back(good.begin(), good.begin() + cut);
    std::mt19937 rng(3);
    for (int i = 0; i < kRandomLengths; ++i) bad.emplace_back(good.begin(), good.begin() + rng() % good.size());
    Bytes newer = good;
    newer[8] = kSaveVersion + 1;
    bad.push_back(newer);
    bad.push_back(good);
    bad.back().push_back(0);
    bad.push_back(good);
    bad.back()[good.size() / 2] ^= 0x40;   // the checksum

    // A word at a byte offset of a section's payload (negative: from its end).
    const struct { const char* tag; long at; std::int32_t value; } words[] = {
        {"GRID", 0, -1},     {"POOL", 0, 0},  {"FIGS", 0, 0},   {"FIGS", 12, 7000}, {"SPWN", 0, -2},
        {"PATH", 4, -1},     {"VIEW", 0, 0},  {"HAND", 0, 6001}, {"CLCK", -8, 40},  {"BACK", 0, 15},
        {"CRYS", 0, 7},      {"STRY", 4 * 19, 9},
    };
    for (const auto& w : words) {
        Bytes b = good;
        const auto s = std::find_if(sections.begin(), sections.end(), [&](const Section& s) { return s.tag == w.tag; });
        ASSERT_NE(s, sections.end()) << w.tag;
        std::memcpy(b.data() + (w.at >= 0 ? s->at + w.at : s->end + w.at), &w.value, 4);
        Reseal(b);
        bad.push_back(b);
    }
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
    ASSERT_EQ(LoadGameFromBytes(good), SaveStatus::Ok);
    EXPECT_EQ(SaveGameToBytes(), good);
}

TEST_F(SaveTest, FileWritesAreSafe) {
    saveFolder = (dir / "data" / "brindoma").string();
    PlayAWhile();
    ASSERT_TRUE(SaveGameToFile());
    const fs::path file = SaveFilePath();
    const Bytes first = ReadFile(file);
    EXPECT_EQ(first, SaveGameToBytes());

    // A write that fails half way (disk full), a folder that cannot be made
    // (a file in its way), the editor open, a fatal world error: the old
    // save stays byte for byte and no temporary file is left.
    WorldStepRun(1);
    InjectWriteFailureAfter(2);
    EXPECT_FALSE(SaveGameToFile());
    InjectWriteFailureAfter(0);
    EXPECT_FALSE(fs::exists(file.string() + ".tmp"));
    const std::string keep = saveFolder;
    std::ofstream(dir / "plain") << "x";
    saveFolder = (dir / "plain" / "brindoma").string();
    EXPECT_FALSE(SaveGameToFile());
    saveFolder = keep;
    for (int* refuses : {&editor.open, &worldError}) {
        *refuses = 1;
        EXPECT_FALSE(AutosaveGame());
        *refuses = 0;
    }
    EXPECT_EQ(ReadFile(file), first);

    // A new day saves the game.
    fs::remove(file);
    AutosaveAtNewDay();
    EXPECT_EQ(ReadFile(file), SaveGameToBytes());
}

// The wrapper draws the runtime's numbers (its position is game state).
TEST(SaveRandom, SameNumbersAsTheRuntime) {
    for (unsigned seed : {0u, 1234u, 4000000000u}) {
        std::srand(seed);
        RandSeed(seed);
        for (int i = 0; i < 1000; ++i) ASSERT_EQ(Rand(), std::rand() % 32768) << seed << " " << i;
    }
}

}  // namespace
