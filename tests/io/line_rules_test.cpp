// Line rules, integers, SkipLine and Trim; little-endian values; whole-file
// reads and safe writes.
#include <gtest/gtest.h>

#include <climits>
#include <cstdio>
#include <string>
#include <vector>

#include "io/binary.h"
#include "io/files.h"
#include "io/text_reader.h"

namespace {

TEST(LineRules, LineEndsAtLfOrCrLf) {
    TextReader r(std::string_view("one\r\ntwo\nthr\ree\r\nlast\r"));
    std::string line;
    const char* want[] = {"one", "two", "thr\ree", "last\r"};   // a lone CR is text
    for (const char* w : want) {
        ASSERT_TRUE(r.ReadLine(line));
        EXPECT_EQ(line, w);
    }
    EXPECT_FALSE(r.ReadLine(line));
    EXPECT_TRUE(r.failed);

    TextReader empty(std::string_view("\n\r\n"));
    ASSERT_TRUE(empty.ReadLine(line));
    EXPECT_EQ(line, "");
    ASSERT_TRUE(empty.ReadLine(line));
    EXPECT_EQ(line, "");
    EXPECT_FALSE(empty.ReadLine(line));
}

TEST(LineRules, SkipLineCases) {
    TextReader r(std::string_view("1 2 comment\r\n3\nx\ry\nlast"));
    int a = 0, b = 0, c = 0;
    ASSERT_TRUE(r.ReadInt(a) && r.ReadInt(b));
    EXPECT_EQ(SkipLine(r), 1);
    ASSERT_TRUE(r.ReadInt(c));
    EXPECT_EQ(c, 3);
    EXPECT_EQ(SkipLine(r), 1);          // the rest of "3"
    EXPECT_EQ(SkipLine(r), 1);          // "x\ry": CR then y is no line end
    EXPECT_EQ(SkipLine(r), 0);          // last line without a line feed
    EXPECT_TRUE(r.Exhausted());
    EXPECT_EQ(SkipLine(r), 0);          // failed stays failed
    int untouched = 42;
    EXPECT_FALSE(r.ReadInt(untouched));
    EXPECT_EQ(untouched, 42);
}

TEST(LineRules, IntegersAndTheFailedState) {
    struct Case { const char* text; bool ok; int value; };
    const Case cases[] = {
        {"  \t\r\n 17", true, 17}, {"-7", true, -7}, {"+8", true, 8}, {"0", true, 0},
        {"2147483647", true, INT_MAX}, {"-2147483648", true, INT_MIN},
        {"2147483648", false, 0}, {"-2147483649", false, 0}, {"99999999999999999999999", false, 0},
        {"-", false, 0}, {"x1", false, 0}, {"", false, 0}, {"   ", false, 0}, {"12abc", true, 12},
    };
    for (const Case& c : cases) {
        TextReader r(std::string_view{c.text});
        int v = 0;
        EXPECT_EQ(r.ReadInt(v), c.ok) << c.text;
        if (c.ok) EXPECT_EQ(v, c.value) << c.text;
        else EXPECT_TRUE(r.failed) << c.text;
    }
    // After a failure no later read succeeds, also of a good number.
    TextReader r(std::string_view("abc 5\n6\n"));
    int v = -1;
    EXPECT_FALSE(r.ReadInt(v));
    EXPECT_FALSE(r.ReadInt(v));
    std::string line;
    EXPECT_FALSE(r.ReadLine(line));
    EXPECT_EQ(v, -1);
}

TEST(LineRules, TrimAndDecimalText) {
    EXPECT_EQ(Trim("\t word  "), "word");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim(""), "");
    EXPECT_EQ(Trim(" a b "), "a b");
    EXPECT_EQ(Trim("\rword\r"), "\rword\r");   // control characters stay
    EXPECT_EQ(IntToText(-7), "-7");
    EXPECT_EQ(IntToText(0), "0");
    EXPECT_EQ(IntToText(INT_MIN), "-2147483648");
}

TEST(Binary, LittleEndianValuesAndArrayWalks) {
    ByteWriter w;
    w.WriteI32(0x12345678);
    w.WriteI32(-2);
    w.WriteF32(1.5f);
    w.WriteByte(0xAB);
    const std::int32_t arr[3] = {1, 2, 3};
    EXPECT_EQ(w.WriteI32Array(arr, 3), 3);
    EXPECT_EQ(w.WriteI32Array(arr, -1), 0);
    const std::vector<std::uint8_t> head = {0x78, 0x56, 0x34, 0x12, 0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0xC0, 0x3F, 0xAB};
    ASSERT_GE(w.bytes.size(), head.size());
    EXPECT_EQ(std::vector<std::uint8_t>(w.bytes.begin(), w.bytes.begin() + head.size()), head);

    ByteReader r(w.bytes);
    std::int32_t a = 0, b = 0;
    float f = 0;
    std::uint8_t byte = 0;
    ASSERT_TRUE(r.ReadI32(a) && r.ReadI32(b) && r.ReadF32(f) && r.ReadByte(byte));
    EXPECT_EQ(a, 0x12345678);
    EXPECT_EQ(b, -2);
    EXPECT_EQ(f, 1.5f);
    EXPECT_EQ(byte, 0xAB);
    std::int32_t back[5] = {9, 9, 9, 9, 9};
    EXPECT_EQ(r.ReadI32Array(back, 5), 3);   // only three were written
    EXPECT_EQ(back[2], 3);
    EXPECT_EQ(back[3], 9);
    EXPECT_TRUE(r.failed);
    std::int32_t untouched = 77;
    EXPECT_FALSE(r.ReadI32(untouched));
    EXPECT_EQ(untouched, 77);

    int fill[4] = {};
    EXPECT_EQ(FillArray(fill, 3, 5), 3);
    EXPECT_EQ(fill[2], 5);
    EXPECT_EQ(fill[3], 0);
    EXPECT_EQ(FillArray(fill, 0, 5), 0);
}

TEST(Files, SizeCapAndSafeWrites) {
    std::string path = ::testing::TempDir() + "bd_files_test.bin";
    const std::string oldText = "old contents";
    ASSERT_EQ(WriteFileSafely(path.c_str(), {reinterpret_cast<const std::uint8_t*>(oldText.data()), oldText.size()}),
              FileStatus::Ok);
    std::vector<std::uint8_t> got;
    EXPECT_EQ(ReadWholeFile(path.c_str(), got, 4), FileStatus::TooLarge);
    EXPECT_TRUE(got.empty());
    ASSERT_EQ(ReadWholeFile(path.c_str(), got), FileStatus::Ok);
    EXPECT_EQ(std::string(got.begin(), got.end()), oldText);

    std::vector<std::uint8_t> big(200000, 7);
    InjectWriteFailureAfter(2);
    EXPECT_EQ(WriteFileSafely(path.c_str(), big), FileStatus::WriteError);
    InjectWriteFailureAfter(0);
    ASSERT_EQ(ReadWholeFile(path.c_str(), got), FileStatus::Ok);
    EXPECT_EQ(std::string(got.begin(), got.end()), oldText);   // the old file survived
    EXPECT_FALSE(FileExists((path + ".tmp").c_str()));

    EXPECT_EQ(ReadWholeFile("no/such/file", got), FileStatus::Missing);
    EXPECT_EQ(ReadWholeFile(::testing::TempDir().c_str(), got), FileStatus::ReadError);   // a folder
    EXPECT_EQ(WriteFileSafely("no/such/folder/file", big), FileStatus::WriteError);
    std::remove(path.c_str());
}

}  // namespace
