// konfig.txt, the message base and the word-colouring list.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "app/startup_files.h"
#include "io/cp1251.h"
#include "io/files.h"

namespace {

std::span<const std::uint8_t> Bytes(const std::string& s) {
    return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

TEST(Konfig, PairsAndValidation) {
    KonfigPairs p;
    ASSERT_TRUE(KonfigParse(Bytes("Window sizes\r\n1024 768  big one\n800 600\n"), p));
    EXPECT_EQ(p.widthA, 1024);
    EXPECT_EQ(p.heightA, 768);
    EXPECT_EQ(p.widthB, 800);
    EXPECT_EQ(p.heightB, 600);
    EXPECT_EQ(KonfigQuestion(p), std::string("Yes(Да): 1024x768    No(Нет): 800x600 (File wsize.txt)"_w));

    for (const char* bad : {"", "title only\n", "t\n1024\n", "t\n1024 768\nx 600\n", "t\n99999999999 1\n1 1\n"})
        EXPECT_FALSE(KonfigParse(Bytes(bad), p)) << bad;

    struct Size { int w, h; bool ok; };
    const Size sizes[] = {{300, 200, true},   {4000, 3000, true}, {299, 600, false}, {800, 199, false},
                          {4001, 600, false}, {800, 3001, false}, {5000, 700, false}, {-800, -600, false}};
    for (const Size& s : sizes) EXPECT_EQ(KonfigSizeValid(s.w, s.h), s.ok) << s.w << "x" << s.h;
}

TEST(MsgBase, LookupsAndTruncatedFiles) {
    MsgBaseClear();
    EXPECT_STREQ(MsgText(1), "...");
    ASSERT_TRUE(MsgBaseParse(Bytes("2  messages\n# one\nHello\nПривет\n# two\r\nBye\r\nПока\r\n")));
    EXPECT_EQ(MsgBaseStrings(), 4);
    EXPECT_STREQ(MsgText(0), ".0.");
    EXPECT_STREQ(MsgText(-5), ".0.");
    EXPECT_STREQ(MsgText(1), "Привет");
    EXPECT_STREQ(MsgText(2), "Пока");
    EXPECT_STREQ(MsgText(3), ".Z.");
    EXPECT_STREQ(MsgText(INT_MAX), ".Z.");
    EXPECT_STREQ(MsgText(INT_MIN), ".0.");

    // The count promises more than the file holds: the end of the data ends the base.
    ASSERT_TRUE(MsgBaseParse(Bytes("1000000\n#\nOne\nОдин\n#\nTwo")));
    EXPECT_EQ(MsgBaseStrings(), 2);
    EXPECT_STREQ(MsgText(1), "Один");
    EXPECT_STREQ(MsgText(2), ".Z.");

    ASSERT_TRUE(MsgBaseParse(Bytes("0\n#\na\nb\n")));
    EXPECT_STREQ(MsgText(1), "...");
    ASSERT_TRUE(MsgBaseParse(Bytes("garbage")));
    EXPECT_EQ(MsgBaseStrings(), 0);

    ASSERT_TRUE(MsgBaseParse(Bytes("1\n#\nA\nБ\n")));
    EXPECT_FALSE(MsgBaseLoadFile("no/such/msgbase.txt"));
    EXPECT_STREQ(MsgText(1), "Б");   // a missing file leaves the base as it was
    MsgBaseClear();
}

std::string Words() {
    std::string s;
    for (const PaintWord& p : paintWords) s += p.word + "=" + p.colours + " ";
    return s;
}

TEST(PaintWords, OrderAndFitting) {
    PaintWordsParse(Bytes("header\n--\n0\nif\nbbb\n--\n0\nwhile\nc\n"));
    EXPECT_EQ(Words(), "while=ccccc if=bb ");

    PaintWordsParse(Bytes("header\n--\n3 97 98 99\nabc\nfree\n"));
    EXPECT_EQ(Words(), "abc=abc ");

    // Numbers may run onto the next lines; a comment entry is skipped; one-letter
    // words go to the end; equal lengths keep file order; empty colours become r.
    PaintWordsParse(Bytes("h\n--\n2 103\n104\nxy\nfree\n--\n-1\ncomment\ncomment\n--\n0\nx\nq\n"
                          "--\n0\nab\n\n--\n0\ncd\nz\n--\n0\nlonger\ny\n"));
    EXPECT_EQ(Words(), "longer=yyyyyy xy=gh ab=rr cd=zz x=q ");
}

TEST(PaintWords, EndMarkerEmptyWordsAndLimits) {
    PaintWordsParse(Bytes("h\n--\n0\n-=end\nr\n--\n0\n\ng\n--\n0\n-=end=-\ng\n--\n0\nafter\ng\n"));
    EXPECT_EQ(Words(), "-=end=rrrrr ");   // ">6 letters beginning with -=end=-" ends the list

    // A colour string grows by at most 333 letters.
    std::string word(400, 'w');
    PaintWordsParse(Bytes("h\n--\n0\n" + word + "\nab\n"));
    ASSERT_EQ(paintWords.size(), 1u);
    EXPECT_EQ(paintWords[0].colours.size(), 2u + kPaintMaxGrow);

    // A huge number count over a short file stops at the data's end.
    PaintWordsParse(Bytes("h\n--\n2000000000 97 98\nword\n"));
    EXPECT_TRUE(paintWords.empty());

    // No more than 9999 entries are read.
    std::string many = "h\n";
    for (int i = 0; i < 10005; ++i) many += "--\n0\nab\nr\n";
    PaintWordsParse(Bytes(many));
    EXPECT_EQ(paintWords.size(), static_cast<std::size_t>(kPaintMaxEntries));
    PaintWordsClear();
}

TEST(PaintWords, DumpListsWordsAndNothingForAnEmptyList) {
    std::string dir = ::testing::TempDir();
    std::string src = dir + "paint_src.txt", dump = dir + "paint_dump.txt";
    std::remove(dump.c_str());
    std::string text = "h\n--\n0\nab\nr\n--\n0\nabcd\ng\n";
    ASSERT_EQ(WriteFileSafely(src.c_str(), Bytes(text)), FileStatus::Ok);
    PaintWordsLoadFile(src.c_str(), dump.c_str());
    std::vector<std::uint8_t> got;
    ASSERT_EQ(ReadWholeFile(dump.c_str(), got), FileStatus::Ok);
    EXPECT_EQ(std::string(got.begin(), got.end()), "abcd\nab\n");

    std::remove(dump.c_str());
    PaintWordsClear();
    EXPECT_FALSE(PaintWordsDump(dump.c_str()));
    EXPECT_FALSE(FileExists(dump.c_str()));
    PaintWordsLoadFile("no/such/paintword.txt", dump.c_str());
    EXPECT_FALSE(FileExists(dump.c_str()));
}

TEST(StartupData, ShippedFilesLoad) {
    const char* dir = std::getenv("BD_RUNTIME_DIR");
    ASSERT_NE(dir, nullptr);
    std::string res = std::string(dir) + "/uni_files/res/";
    ASSERT_TRUE(MsgBaseLoadFile((res + "msgbase.txt").c_str()));
    EXPECT_GE(MsgBaseStrings(), 6);
    EXPECT_STRNE(MsgText(1), ".Z.");
    std::string dump = ::testing::TempDir() + "shipped_dump.txt";
    PaintWordsLoadFile((res + "paintword.txt").c_str(), dump.c_str());
    EXPECT_GE(paintWords.size(), 20u);
    for (std::size_t i = 1; i < paintWords.size(); ++i)
        if (paintWords[i].word.size() > 1) {
            EXPECT_GE(paintWords[i - 1].word.size(), paintWords[i].word.size());
        }
    for (const PaintWord& p : paintWords) EXPECT_EQ(p.word.size(), p.colours.size()) << p.word;
    MsgBaseClear();
    PaintWordsClear();
}

}  // namespace
