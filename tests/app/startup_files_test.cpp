// konfig.txt, the message base and the word-colouring list.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
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
    EXPECT_EQ(KonfigQuestion(p), std::string("Yes(Да): 1024x768    No(Нет): 800x600 (File wsize.txt)"_w));
    for (const char* bad : {"", "title only\n", "t\n1024\n", "t\n1024 768\nx 600\n", "t\n99999999999 1\n1 1\n"})
        EXPECT_FALSE(KonfigParse(Bytes(bad), p)) << bad;
    struct Size { int w, h; bool ok; };
    const Size sizes[] = {{300, 200, true}, {4000, 3000, true}, {299, 600, false}, {800, 199, false},
                          {4001, 600, false}, {800, 3001, false}, {-800, -600, false}};
    for (const Size& s : sizes) EXPECT_EQ(KonfigSizeValid(s.w, s.h), s.ok) << s.w << "x" << s.h;
}

TEST(MsgBase, LookupsAndTruncatedFiles) {
    MsgBaseClear();
    EXPECT_STREQ(MsgText(1), "...");
    ASSERT_TRUE(MsgBaseParse(Bytes("2  messages\n# one\nHello\nПривет\n# two\r\nBye\r\nПока\r\n")));
    EXPECT_EQ(MsgBaseStrings(), 4);
    struct Look { int n; const char* text; };
    for (const Look& l : {Look{0, ".0."}, {-5, ".0."}, {INT_MIN, ".0."}, {1, "Привет"}, {2, "Пока"}, {3, ".Z."},
                          {INT_MAX, ".Z."}})
        EXPECT_STREQ(MsgText(l.n), l.text) << l.n;
    // The count promises more than the file holds: the end of the data ends the base.
    ASSERT_TRUE(MsgBaseParse(Bytes("1000000\n#\nOne\nОдин\n#\nTwo")));
    EXPECT_TRUE(MsgBaseStrings() == 2 && std::string(MsgText(2)) == ".Z.");
    ASSERT_TRUE(MsgBaseParse(Bytes("garbage")));
    EXPECT_EQ(MsgBaseStrings(), 0);
    ASSERT_TRUE(MsgBaseParse(Bytes("1\n#\nA\nБ\n")));
    EXPECT_FALSE(MsgBaseLoadFile("no/such/msgbase.txt"));
    EXPECT_STREQ(MsgText(1), "Б");   // a missing file leaves the base as it was
    MsgBaseClear();
}

std::string Words(const std::string& text) {
    PaintWordsParse(Bytes(text));
    std::string s;
    for (const PaintWord& p : paintWords) s += p.word + "=" + p.colours + " ";
    return s;
}

TEST(PaintWords, OrderFittingAndLimits) {
    EXPECT_EQ(Words("header\n--\n0\nif\nbbb\n--\n0\nwhile\nc\n"), "while=ccccc if=bb ");
    EXPECT_EQ(Words("header\n--\n3 97 98 99\nabc\nfree\n"), "abc=abc ");
    // Numbers may run onto the next lines; a comment entry is skipped; one-letter
    // words go to the end; equal lengths keep file order; empty colours become r.
    EXPECT_EQ(Words("h\n--\n2 103\n104\nxy\nfree\n--\n-1\ncomment\ncomment\n--\n0\nx\nq\n"
                    "--\n0\nab\n\n--\n0\ncd\nz\n--\n0\nlonger\ny\n"),
              "longer=yyyyyy xy=gh ab=rr cd=zz x=q ");
    EXPECT_EQ(Words("h\n--\n0\n-=end\nr\n--\n0\n\ng\n--\n0\n-=end=-\ng\n--\n0\nafter\ng\n"), "-=end=rrrrr ");
    EXPECT_EQ(Words("h\n--\n2000000000 97 98\nword\n"), "");   // huge count stops at the data's end

    Words("h\n--\n0\n" + std::string(400, 'w') + "\nab\n");
    ASSERT_EQ(paintWords.size(), 1u);
    EXPECT_EQ(paintWords[0].colours.size(), 2u + kPaintMaxGrow);   // the fill is capped
    std::string many = "h\n";
    for (int i = 0; i < 10005; ++i) many += "--\n0\nab\nr\n";
    Words(many);
    EXPECT_EQ(paintWords.size(), static_cast<std::size_t>(kPaintMaxEntries));
    PaintWordsClear();
}

TEST(StartupData, ShippedFilesLoad) {
    const char* dir = std::getenv("BD_RUNTIME_DIR");
    ASSERT_NE(dir, nullptr);
    std::string res = std::string(dir) + "/uni_files/res/";
    // The shipped texts teach the controls the game has: the right button walks.
    ASSERT_TRUE(MsgBaseLoadFile((res + "msgbase.txt").c_str()));
    EXPECT_NE(std::string(MsgText(1)).find("правой"_w), std::string::npos);
    std::vector<std::uint8_t> about;
    ASSERT_EQ(ReadWholeFile((std::string(dir) + "/uni_files/_about.txt").c_str(), about), FileStatus::Ok);
    const std::string aboutText(about.begin(), about.end());
    EXPECT_NE(aboutText.find("идти, приказ выбранному"_w), std::string::npos);
    EXPECT_EQ(aboutText.find("сдвинуть вид"_w), std::string::npos);
    PaintWordsLoadFile((res + "paintword.txt").c_str(), (::testing::TempDir() + "shipped_dump.txt").c_str());
    EXPECT_GE(paintWords.size(), 20u);
    for (const PaintWord& p : paintWords) EXPECT_EQ(p.word.size(), p.colours.size()) << p.word;
    MsgBaseClear();
    PaintWordsClear();
}

}  // namespace
