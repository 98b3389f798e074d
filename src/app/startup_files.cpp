// konfig.txt, the message base and the word-colouring list.
#include "app/startup_files.h"

#include <cstdio>

#include "io/cp1251.h"
#include "io/files.h"
#include "io/text_reader.h"

static constexpr std::size_t kMaxStartupFile = 4u << 20;

// ---- konfig.txt

bool KonfigParse(std::span<const std::uint8_t> bytes, KonfigPairs& out) {
    TextReader r(bytes);
    std::string title;
    if (!r.ReadLine(title)) return false;
    int v[4];
    if (!r.ReadInts(v, 2)) return false;
    SkipLine(r);
    if (!r.ReadInts(v + 2, 2)) return false;
    out = KonfigPairs{v[0], v[1], v[2], v[3]};
    return true;
}

bool KonfigSizeValid(int width, int height) {
    return width >= 300 && width <= 4000 && height >= 200 && height <= 3000;
}

std::string KonfigQuestion(const KonfigPairs& p) {
    char text[160];
    std::snprintf(text, sizeof text, "Yes(Да): %dx%d    No(Нет): %dx%d (File wsize.txt)"_w, p.widthA, p.heightA,
                  p.widthB, p.heightB);
    return text;
}

// ---- message base

static std::vector<std::string> msgBase;

void MsgBaseClear() { msgBase.clear(); }
int MsgBaseStrings() { return static_cast<int>(msgBase.size()); }

bool MsgBaseParse(std::span<const std::uint8_t> bytes) {
    TextReader r(bytes);
    msgBase.clear();
    int n = 0;
    if (!r.ReadInt(n) || n < 1) return true;
    SkipLine(r);
    std::string comment, english, russian;
    // The file's count is a promise, not a size: the end of the data ends the base.
    for (int i = 0; i < n; ++i) {
        if (!r.ReadLine(comment) || !r.ReadLine(english) || !r.ReadLine(russian)) break;
        msgBase.push_back(english);
        msgBase.push_back(russian);
    }
    return true;
}

bool MsgBaseLoadFile(const char* path) {
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile(path, bytes, kMaxStartupFile) != FileStatus::Ok) return false;
    return MsgBaseParse(bytes);
}

const char* MsgText(int n) {
    if (msgBase.empty()) return "...";
    if (n < 1) return ".0.";
    // 64-bit arithmetic: 2n never overflows.
    if (static_cast<long long>(msgBase.size()) < 2LL * n) return ".Z.";
    return msgBase[static_cast<std::size_t>(2LL * n - 1)].c_str();
}

// ---- word-colouring list

std::vector<PaintWord> paintWords;

void PaintWordsClear() { paintWords.clear(); }

static void StoreWord(std::string word, std::string colours) {
    if (colours.empty()) colours.push_back('r');
    if (word.empty()) return;
    // Fit the colours to the word: cut, or repeat the last letter (at most kPaintMaxGrow times).
    if (colours.size() > word.size()) colours.resize(word.size());
    std::size_t grow = word.size() - colours.size();
    if (grow > kPaintMaxGrow) grow = kPaintMaxGrow;
    colours.append(grow, colours.back());
    PaintWord entry{std::move(word), std::move(colours)};
    if (entry.word.size() == 1) {
        paintWords.push_back(std::move(entry));
        return;
    }
    for (auto it = paintWords.begin(); it != paintWords.end(); ++it)
        if (it->word.size() < entry.word.size()) {
            paintWords.insert(it, std::move(entry));
            return;
        }
    paintWords.push_back(std::move(entry));
}

void PaintWordsParse(std::span<const std::uint8_t> bytes) {
    paintWords.clear();
    TextReader r(bytes);
    std::string line, word, colours;
    if (!r.ReadLine(line)) return;
    for (int entry = 0; entry < kPaintMaxEntries && !r.Exhausted(); ++entry) {
        SkipLine(r);   // the separator line before every entry
        int n = 0;
        if (!r.ReadInt(n)) return;
        if (n < 0) {
            SkipLine(r);
            if (!r.ReadLine(line) || !r.ReadLine(line)) return;
            continue;
        }
        colours.clear();
        if (n == 0) {
            SkipLine(r);
            if (!r.ReadLine(word) || !r.ReadLine(colours)) return;
        } else {
            // n numbers, each a letter; more numbers than a word could use are read and dropped.
            for (int i = 0; i < n; ++i) {
                int code = 0;
                if (!r.ReadInt(code)) return;
                if (colours.size() < kMaxStartupFile) colours.push_back(static_cast<char>(code));
            }
            SkipLine(r);
            if (!r.ReadLine(word)) return;
            r.ReadLine(line);   // the line after the word is free
        }
        if (word.size() > 6 && word.compare(0, 7, "-=end=-") == 0) return;
        StoreWord(word, colours);
    }
}

bool PaintWordsDump(const char* dumpPath) {
    if (paintWords.empty()) return false;
    std::string out;
    for (const PaintWord& p : paintWords) {
        out += p.word;
        out += '\n';
    }
    return WriteFileSafely(dumpPath, {reinterpret_cast<const std::uint8_t*>(out.data()), out.size()}) ==
           FileStatus::Ok;
}

void PaintWordsLoadFile(const char* path, const char* dumpPath) {
    std::vector<std::uint8_t> bytes;
    if (ReadWholeFile(path, bytes, kMaxStartupFile) != FileStatus::Ok) return;
    PaintWordsParse(bytes);
    PaintWordsDump(dumpPath);
}
