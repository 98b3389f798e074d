// Text line rules and Windows-1251 literals.
#include <gtest/gtest.h>

#include "io/cp1251.h"
#include "io/text_reader.h"

TEST(TextReader, NumbersThenCommentThenNextLine) {
    TextReader r(std::string_view("12 -7 a comment\r\n5\n"));
    int a = 0, b = 0, c = 0;
    ASSERT_TRUE(r.ReadInt(a));
    ASSERT_TRUE(r.ReadInt(b));
    EXPECT_EQ(SkipLine(r), 1);
    ASSERT_TRUE(r.ReadInt(c));
    EXPECT_EQ(a, 12);
    EXPECT_EQ(b, -7);
    EXPECT_EQ(c, 5);
}

TEST(Cp1251, LiteralIsConvertedAtCompileTime) {
    const char* s = "Ёж №1"_w;
    EXPECT_EQ(static_cast<unsigned char>(s[0]), 0xA8);
    EXPECT_EQ(static_cast<unsigned char>(s[1]), 0xE6);
    EXPECT_EQ(static_cast<unsigned char>(s[3]), 0xB9);
    EXPECT_EQ(cp1251::ToUtf8(s), "Ёж №1");
}
