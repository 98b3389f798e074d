// Line rules, integers, SkipLine and Trim; Windows-1251 literals. The binary
// readers and safe writes are played by the file formats' own tests.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "io/cp1251.h"
#include "io/text_reader.h"

namespace {

TEST(LineRules, LinesSkipLineAndTheFailedState) {
    TextReader r(std::string_view("one\r\n\nthr\ree\r\nlast\r"));
    std::string line;
    for (const char* want : {"one", "", "thr\ree", "last\r"})   // a lone CR is text
        EXPECT_TRUE(r.ReadLine(line) && line == want) << want;
    EXPECT_TRUE(!r.ReadLine(line) && r.failed);

    TextReader s(std::string_view("1 2 comment\r\n3\nx\ry\nlast"));
    int a = 0, b = 0, c = 0;
    ASSERT_TRUE(s.ReadInt(a) && s.ReadInt(b));
    EXPECT_EQ(SkipLine(s), 1);
    ASSERT_TRUE(s.ReadInt(c) && c == 3);
    const int skips[] = {1, 1, 0, 0};   // rest of "3"; "x\ry" is one line; last without LF; failed stays
    for (int want : skips) EXPECT_EQ(SkipLine(s), want);
    EXPECT_TRUE(s.Exhausted());
    int untouched = 42;
    EXPECT_FALSE(s.ReadInt(untouched) || untouched != 42);
}

TEST(LineRules, IntegersAndTheFailedState) {
    struct Case { const char* text; bool ok; int value; };
    const Case cases[] = {
        {"  \t\r\n 17", true, 17}, {"+8", true, 8}, {"2147483647", true, INT_MAX}, {"-2147483648", true, INT_MIN},
        {"2147483648", false, 0}, {"-2147483649", false, 0}, {"99999999999999999999999", false, 0},
        {"-", false, 0}, {"x1", false, 0}, {"   ", false, 0}, {"12abc", true, 12},
    };
    for (const Case& c : cases) {
        TextReader r(std::string_view{c.text});
        int v = 0;
        EXPECT_EQ(r.ReadInt(v), c.ok) << c.text;
        if (c.ok) EXPECT_EQ(v, c.value) << c.text;
        else EXPECT_TRUE(r.failed) << c.text;
    }
    TextReader r(std::string_view("abc 5\n6\n"));   // after a failure no later read succeeds
    int v = -1;
    std::string line;
    EXPECT_FALSE(r.ReadInt(v) || r.ReadInt(v) || r.ReadLine(line));
    EXPECT_EQ(v, -1);
}

TEST(LineRules, TrimTextAndWindows1251Literals) {
    const std::pair<const char*, const char*> trims[] = {
        {"\t word  ", "word"}, {"   ", ""}, {" a b ", "a b"}, {"\rword\r", "\rword\r"}};   // control characters stay
    for (auto [in, out] : trims) EXPECT_EQ(Trim(in), out);
    const char* s = "Ёж №1"_w;
    EXPECT_EQ(std::string(s), "\xA8\xE6 \xB9" "1");
    EXPECT_EQ(cp1251::ToUtf8(s), "Ёж №1");
}

}  // namespace
