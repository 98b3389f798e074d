// The start-up files only the shell reads: the window-size choice
// ("konfig.txt"), the message base ("uni_files/res/msgbase.txt") and the
// word-colouring list ("uni_files/res/paintword.txt") with its dump.
// Every loader parses a byte span; the *File variants read the file first.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// ---- konfig.txt: a free first line, then "width height" twice (pair A, pair B).
struct KonfigPairs {
    int widthA = 0, heightA = 0, widthB = 0, heightB = 0;
};
// False when the two pairs cannot be read (no question is asked then).
bool KonfigParse(std::span<const std::uint8_t> bytes, KonfigPairs& out);
// 300..4000 x 200..3000.
bool KonfigSizeValid(int width, int height);
// The question's text, Windows-1251.
std::string KonfigQuestion(const KonfigPairs& pairs);

// ---- message base: two strings per message, English then Russian.
void MsgBaseClear();
// Replaces the base; false leaves it as it was (nothing could be read).
bool MsgBaseParse(std::span<const std::uint8_t> bytes);
bool MsgBaseLoadFile(const char* path);
int  MsgBaseStrings();
// The Russian line of message n (1-based): "..." empty base, ".0." n < 1,
// ".Z." beyond the loaded messages.
const char* MsgText(int n);

// ---- word-colouring list: words in decreasing length (equal lengths in file
// order), each with one colour letter per character.
inline constexpr int kPaintMaxEntries = 9999;
inline constexpr int kPaintMaxGrow = 333;    // letters a colour string may be extended by
struct PaintWord {
    std::string word, colours;
};
extern std::vector<PaintWord> paintWords;
void PaintWordsClear();
// Replaces the list (emptied first); reads until the data ends or fails.
void PaintWordsParse(std::span<const std::uint8_t> bytes);
// Loads path (a missing file leaves the list as it is) and writes the dump.
void PaintWordsLoadFile(const char* path, const char* dumpPath);
// One word per line; nothing written for an empty list. True when written.
bool PaintWordsDump(const char* dumpPath);
