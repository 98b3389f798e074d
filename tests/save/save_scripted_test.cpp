// Continuing a game through the real program: BrindomaMain over the script
// backend, a virtual clock of 100 ms frames and scripted input.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "game_dir.h"
#include "reset_all.h"
#include "io/cp1251.h"
#include "platform/platform.h"
#include "save/save_file.h"
#include "world/fgr.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}
void WriteFile(const fs::path& p, const Bytes& b) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

// The state's fingerprint: the checksum of the whole game as a save.
std::uint32_t StateHash() {
    const Bytes b = SaveGameToBytes();
    std::uint32_t crc = 0;
    std::memcpy(&crc, b.data() + 28, 4);
    return crc;
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

class SaveRun : public ::testing::Test {
protected:
    void SetUp() override {
        ResetShellAndGame(4000);
        data = fs::path(::testing::TempDir()) / ("bd_save_run_" + std::to_string(getpid()));
        fs::remove_all(data);
    }
    void TearDown() override {
        ResetShellAndGame(4000);
        fs::remove_all(data);
    }
    void NewRun(int closeAfter) {
        ResetShellAndGame(closeAfter);
        ScriptSetDataFolder(data.string());
    }
    fs::path SaveFile() const { return data / "brindoma" / "save.bsv"; }
    fs::path data;
};

TEST_F(SaveRun, F5SavesAndTheContinuedGameGoesOnFrameForFrame) {
    GameDir dir("save_continue");
    // A small window keeps the minute of frames quick to draw.
    dir.Write("konfig.txt", "sizes\n400 300\n400 300\n");
    NewRun(4000);
    Bytes saved;
    int saveSwap = 0;
    std::string feedAtSave;
    std::vector<std::uint32_t> played;
    ScriptOnSwap([&](int swap) {
        ScriptAdvanceClock(kFrameMs - 2);
        if (swap == 5) {
            ScriptMoveCursor(260, 130);
            ScriptClick(VK_RBUTTON);
        }
        if (swap == 60) ScriptKeyDown(VK_F5);
        if (swap == 61) ScriptKeyUp(VK_F5);
        if (!saveSwap && fs::exists(SaveFile())) {
            saveSwap = swap;
            saved = ReadFile(SaveFile());
            if (const char* line = MsgFeedCurrentLine()) feedAtSave = line;
            return;
        }
        if (!saveSwap) return;
        const int n = swap - saveSwap;
        played.push_back(StateHash());
        PlayerInput(n);
        if (n == kFollowFrames) ScriptPost(WM_CLOSE);
    });
    EXPECT_EQ(BrindomaMain(), 0);
    ASSERT_GT(saveSwap, 60);
    EXPECT_EQ(feedAtSave, std::string("(Игра) сохранено"_w));
    EXPECT_EQ(ScriptBoxes().size(), 1u);   // the window size; no save yet: no question
    ASSERT_GE(played.size(), std::size_t(kFollowFrames));
    EXPECT_NE(ReadFile(SaveFile()), saved);   // the exit saved again

    // The program again, from the F5 save; the cursor stands where it stood.
    NewRun(4000);
    WriteFile(SaveFile(), saved);
    ScriptQueueBoxAnswer(IDYES);   // the window size
    ScriptQueueBoxAnswer(IDYES);
    ScriptMoveCursor(260, 130);
    std::vector<std::uint32_t> continued;
    ScriptOnSwap([&](int swap) {
        ScriptAdvanceClock(kFrameMs - 2);
        // Swaps count from 0: swap s ends the (s + 1)-th frame after the load.
        continued.push_back(StateHash());
        PlayerInput(swap + 1);
        if (swap + 1 == kFollowFrames) ScriptPost(WM_CLOSE);
    });
    EXPECT_EQ(BrindomaMain(), 0);
    ASSERT_EQ(ScriptBoxes().size(), 2u);
    EXPECT_EQ(ScriptBoxes()[1].text, ContinueQuestion());
    EXPECT_EQ(ScriptBoxes()[1].flags & 0x0F, MB_YESNO);
    ASSERT_GE(continued.size(), std::size_t(kFollowFrames));
    for (int i = 0; i < kFollowFrames; ++i) ASSERT_EQ(continued[i], played[i]) << "frame " << i + 1 << " after the save";
}

TEST_F(SaveRun, NoKeepsTheSaveAndBadSavesAreKeptAside) {
    GameDir dir("save_bad");
    NewRun(3);
    EXPECT_EQ(BrindomaMain(), 0);   // a short game, saved at its end
    const Bytes good = ReadFile(SaveFile());
    ASSERT_GT(good.size(), kSaveHeaderBytes);

    // No: a new game; the old save stays until the game saves again.
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
    const struct {
        const char* what;
        Bytes bytes;
        bool directory;
    } cases[] = {
        {"truncated", Bytes(good.begin(), good.begin() + good.size() / 3), false},
        {"empty", Bytes{}, false},
        {"newer", newer, false},
        {"directory", Bytes{}, true},
    };
    for (const auto& c : cases) {
        NewRun(3);
        fs::remove_all(data);
        if (c.directory) fs::create_directories(SaveFile());
        else WriteFile(SaveFile(), c.bytes);
        ScriptQueueBoxAnswer(IDYES);
        EXPECT_EQ(BrindomaMain(), 0) << c.what;
        ASSERT_EQ(ScriptBoxes().size(), 2u) << c.what;
        EXPECT_EQ(ScriptBoxes()[0].text, ContinueQuestion());
        const std::string expected = std::string(c.bytes == newer ? "Сохранение сделано более новой игрой"_w
                                                                  : "Сохранение повреждено"_w);
        EXPECT_EQ(ScriptBoxes()[1].text.rfind(expected, 0), 0u) << c.what;
        EXPECT_NE(fgrMainHero, nullptr) << c.what;   // a new game runs
        const fs::path aside = SaveFile().string() + ".bad";
        ASSERT_TRUE(fs::exists(aside)) << c.what;
        EXPECT_EQ(fs::is_directory(aside), c.directory) << c.what;
        if (!c.directory) {
            EXPECT_EQ(ReadFile(aside), c.bytes) << c.what;
        }
        EXPECT_TRUE(fs::is_regular_file(SaveFile())) << c.what;   // the new game saved at its end
    }
}

}  // namespace
