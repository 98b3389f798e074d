// Text lists: loading, recolouring and typing.
#include <gtest/gtest.h>

#include "app/startup_files.h"
#include "io/cp1251.h"
#include "ui/text_list.h"
#include "ui/widget.h"

namespace {

struct TextListFixture : ::testing::Test {
  Widget w;
  void TearDown() override { delete w.list; PaintWordsClear(); }
  void Load(const std::string& s) { LoadTextListBytes(&w, {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()}); }
  std::string Joined(std::string TextListEntry::*field) const {  // entries joined by "|"
    std::string all;
    for (const auto& e : w.list->entries) all += (&e == &w.list->entries[0] ? "" : "|") + e.*field;
    return all;
  }
  std::string Colours(const std::string& line) {
    Load(line);
    RecolourList(&w);
    return w.list->entries[0].colours;
  }
  void Words(const std::string& src) { PaintWordsParse({reinterpret_cast<const std::uint8_t*>(src.data()), src.size()}); }
};

TEST_F(TextListFixture, LoadingEndsWithAnEmptyEntryAfterALineFeed) {
  const struct { const char* bytes; std::size_t entries; const char* last; } cases[] = {{"a\nb\n", 3, ""}, {"a\r\nb", 2, "b"}, {"", 1, ""}, {"\n\n", 3, ""}};
  for (const auto& c : cases) {
    Load(c.bytes);
    ASSERT_EQ(w.list->entries.size(), c.entries) << c.bytes;
    EXPECT_TRUE(w.list->entries.back().text == c.last && w.listModified == 1) << c.bytes;
  }
  Load("keep\n"), w.listModified = 0;
  EXPECT_EQ(LoadTextList(&w, "no/such/file.txt"), 0);
  EXPECT_EQ(Joined(&TextListEntry::text) + std::to_string(w.listModified), "keep|0");
}

TEST_F(TextListFixture, TokensAndWords) {
  Words(std::string("head\n--\n0\nab\nqr\n--\n0\n") + "злато"_w + "\no\n--\n0\nok.\nggg\n");
  const struct { const char *line, *colours; } cases[] = {
      {"ab(", "qr "},                          // separator right after the word
      {"abc", "   "},                          // the word inside a longer word: no match
      {"ab", "qr"},                            // the whole rest
      {"ok.x", "ggg "},                        // word ending in a separator
      {"0x1F", "bbo "},
      {"cd \"ef\" // x\"y", "   www  eeeeee"},
      {"  \t", ""},                             // blank lines keep their colours
  };
  for (const auto& c : cases) EXPECT_EQ(Colours(c.line), c.colours) << c.line;
  EXPECT_EQ(Colours(std::string("злато"_w) + " 5"), "ooooo o");
}

TEST_F(TextListFixture, QuoteCarriesAcrossLines) {
  Load("a \"bc\nde\nf\" g\n\"h");
  RecolourList(&w);
  EXPECT_EQ(Joined(&TextListEntry::colours), "  www|ww|w   |ww");
}

TEST_F(TextListFixture, TypingEditsTheFocusedList) {
  Load("abcd\nxy");
  w.pageSize = 3, w.caretColumn = 2;
  // Keys typed (the caret set first where given), then the entries joined
  // by '|', the cursor entry, the caret and the first entry shown (-1: any).
  const struct { int caret; const char *keys, *list; int entry, column, first; } steps[] = {
      {-1, "\r", "ab|cd|xy", 1, 0, 0},            // Enter in the middle splits
      {2, "\t", "ab|cd   |xy", 1, 5, 0},          // Tab at the end appends three blanks
      {-1, "\r", "ab|cd   ||xy", 2, 0, 1},        // at the end: an empty entry after; the view scrolls
      {-1, "\r", "ab|cd   |||xy", -1, 0, -1},     // at column 0: an empty entry before
      {-1, "\b\b", "ab|cd   |xy", 1, 5, -1},      // joins with the previous entry
      {-1, "\bZ\a", "ab|cd  Z|xy", 1, 5, -1},     // other control codes change nothing
  };
  for (const auto& s : steps) {
    if (s.caret >= 0) w.caretColumn = s.caret;
    for (const char* k = s.keys; *k; ++k) TypeChar(&w, *k);
    EXPECT_EQ(Joined(&TextListEntry::text), s.list) << s.keys;
    EXPECT_EQ(w.cursorEntry, s.entry < 0 ? w.cursorEntry : s.entry) << s.list;
    EXPECT_EQ(w.caretColumn, s.column) << s.list;
    EXPECT_EQ(w.firstVisible, s.first < 0 ? w.firstVisible : s.first) << s.list;
  }
  w.cursorEntry = w.caretColumn = 0;
  TypeChar(&w, 8);   // first entry, column 0: nothing
  EXPECT_EQ(w.list->entries[0].text, "ab");
}

}  // namespace
