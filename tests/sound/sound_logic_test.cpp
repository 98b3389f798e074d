// The sound list parser and WAV sample extraction on bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sound/sound.h"
#include "sound/sound_list.h"

static std::span<const std::uint8_t> Bytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

TEST(SoundList, ParsesEntriesByTheLineRules) {
    struct Case {
        const char* what;
        std::string text;
        bool complete;
        std::vector<int> ids;
        std::vector<std::string> names;   // "" for an entry without a name line
    } const cases[] = {
        {"rest of number lines ignored", "t\n2 entries\n7 strike\na.wav\n\n8 knock\nb.wav\n", true,
         {7, 8}, {"a.wav", "b.wav"}},
        {"crlf and trimmed names", "t\r\n1\r\n3\r\n \t dir/c.wav\t \r\n//\r\n", true, {3}, {"dir/c.wav"}},
        {"ids clamped", "t\n3\n-4\na\n.\n301\nb\n.\n99999\nc\n.\n", true, {0, 300, 300}, {"a", "b", "c"}},
        {"last separator may be missing", "t\n1\n5\ne.wav", true, {5}, {"e.wav"}},
        {"negative count is zero", "t\n-3\n1\na\n.\n", true, {}, {}},
        {"empty file", "", false, {}, {}},
        {"count not a number", "t\nmany\n1\na\n.\n", false, {}, {}},
        {"fewer entries than promised", "t\n3\n1\na\n.\n2\nb\n.\n", false, {1, 2}, {"a", "b"}},
        {"id without a name line", "t\n2\n1\na\n.\n2", false, {1, 2}, {"a", ""}},
        {"id not a number", "t\n2\n1\na\n.\nx\nb\n.\n", false, {1}, {"a"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SoundList l = ParseSoundList(Bytes(c.text));
        EXPECT_EQ(l.complete, c.complete);
        ASSERT_EQ(l.entries.size(), c.ids.size());
        for (std::size_t i = 0; i < c.ids.size(); ++i) {
            EXPECT_EQ(l.entries[i].id, c.ids[i]);
            EXPECT_EQ(l.entries[i].hasName, !c.names[i].empty());
            EXPECT_EQ(l.entries[i].name, c.names[i]);
        }
    }
    std::string big = "t\n5000\n";
    for (int i = 0; i < 400; ++i) big += std::to_string(i) + "\nf\n.\n";
    SoundList l = ParseSoundList(Bytes(big));
    EXPECT_TRUE(l.complete);
    ASSERT_EQ(l.entries.size(), 301u);   // the count is cut to the bank
}

TEST(WavSamples, WholeSamplesAfterTheHeaderAndNothingOutside) {
    const std::pair<std::size_t, std::size_t> cases[] = {{0, 0}, {43, 0}, {44, 0}, {45, 0}, {46, 2}, {47, 2},
                                                         {1045, 1000}};
    for (auto [fileSize, samplesBytes] : cases) {
        std::vector<std::uint8_t> file(fileSize, 0x11);
        auto s = WavSampleBytes(file);
        EXPECT_EQ(s.size(), samplesBytes) << fileSize;
        if (!s.empty()) {
            EXPECT_EQ(s.data(), file.data() + 44);
        }
    }
}
