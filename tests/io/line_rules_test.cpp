// Line rules, integers, SkipLine and Trim; Windows-1251 literals;
// little-endian values; whole-file reads and safe writes.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "io/binary.h"
#include "io/cp1251.h"
#include "io/files.h"
#include "io/text_reader.h"

namespace {

TEST(LineRules, LinesSkipLineAndTheFailedState) {
    TextReader r(std::string_view("one\r\n\nthr\ree\r\nlast\r"));
    std::string line;
    for (const char* want : {"one", "", "thr\ree", "last\r"}) {   // a lone CR is text
        ASSERT_TRUE(r.ReadLine(line));
        EXPECT_EQ(line, want);
    }
    EXPECT_FALSE(r.ReadLine(line));
    EXPECT_TRUE(r.failed);

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
    EXPECT_EQ(IntToText(INT_MIN), "-2147483648");
    const char* s = "Ёж №1"_w;
    EXPECT_EQ(std::string(s), "\xA8\xE6 \xB9" "1");
    EXPECT_EQ(cp1251::ToUtf8(s), "Ёж №1");
}

TEST(Binary, LittleEndianValuesAndReadsPastTheEnd) {
    ByteWriter w;
    w.WriteI32(0x12345678);
    w.WriteF32(1.5f);
    const std::int32_t arr[3] = {-2, 2, 3};
    EXPECT_EQ(w.WriteI32Array(arr, 3), 3);
    EXPECT_EQ(w.WriteI32Array(arr, -1), 0);
    const std::vector<std::uint8_t> head = {0x78, 0x56, 0x34, 0x12, 0, 0, 0xC0, 0x3F, 0xFE, 0xFF, 0xFF, 0xFF};
    ASSERT_GE(w.bytes.size(), head.size());
    EXPECT_EQ(std::vector<std::uint8_t>(w.bytes.begin(), w.bytes.begin() + head.size()), head);

    ByteReader r(w.bytes);
    std::int32_t a = 0;
    float f = 0;
    ASSERT_TRUE(r.ReadI32(a) && r.ReadF32(f));
    EXPECT_TRUE(a == 0x12345678 && f == 1.5f);
    std::int32_t back[5] = {9, 9, 9, 9, 9};
    EXPECT_EQ(r.ReadI32Array(back, 5), 3);   // only three were written
    EXPECT_TRUE(back[0] == -2 && back[3] == 9 && r.failed);
    std::int32_t untouched = 77;
    EXPECT_FALSE(r.ReadI32(untouched) || untouched != 77);
}

TEST(Files, SizeCapAndAFailedSaveKeepsTheOldFile) {
    std::string path = ::testing::TempDir() + "bd_files_test.bin";
    const std::string oldText = "old contents";
    ASSERT_EQ(WriteFileSafely(path.c_str(), {reinterpret_cast<const std::uint8_t*>(oldText.data()), oldText.size()}),
              FileStatus::Ok);
    std::vector<std::uint8_t> got;
    EXPECT_TRUE(ReadWholeFile(path.c_str(), got, 4) == FileStatus::TooLarge && got.empty());

    std::vector<std::uint8_t> big(200000, 7);
    InjectWriteFailureAfter(2);
    EXPECT_EQ(WriteFileSafely(path.c_str(), big), FileStatus::WriteError);
    InjectWriteFailureAfter(0);
    ASSERT_EQ(ReadWholeFile(path.c_str(), got), FileStatus::Ok);
    EXPECT_EQ(std::string(got.begin(), got.end()), oldText);
    EXPECT_FALSE(FileExists((path + ".tmp").c_str()));

    EXPECT_EQ(ReadWholeFile("no/such/file", got), FileStatus::Missing);
    EXPECT_EQ(ReadWholeFile(::testing::TempDir().c_str(), got), FileStatus::ReadError);   // a folder
    EXPECT_EQ(WriteFileSafely("no/such/folder/file", big), FileStatus::WriteError);
    std::remove(path.c_str());
}

}  // namespace
