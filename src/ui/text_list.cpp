// Text lists: loading, colouring and typing.
#include "ui/text_list.h"

#include <cstring>
#include <vector>

#include "app/log.h"
#include "app/startup_files.h"
#include "io/files.h"
#include "ui/widget.h"

namespace {

constexpr char kSeparators[] = " \t\r\n\"'\\{}()[]*+-/=><,.:;~&^%!|?@#$";
static_assert(sizeof kSeparators - 1 == 34, "34 separator characters");

struct SeparatorTable {
    bool is[256] = {};
    constexpr SeparatorTable() {
        for (const char* p = kSeparators; *p; ++p) is[static_cast<unsigned char>(*p)] = true;
    }
};
constexpr SeparatorTable kSep;

bool IsSeparator(char c) { return kSep.is[static_cast<unsigned char>(c)]; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Index of the first separator at or after from, or text.size() when none.
std::size_t FirstSeparator(const std::string& text, std::size_t from) {
    for (std::size_t i = from; i < text.size(); ++i)
        if (IsSeparator(text[i])) return i;
    return text.size();
}

bool OnlyBlanks(const std::string& text) {
    for (char c : text)
        if (c != ' ' && c != '\t') return false;
    return true;
}

// Colour string of exactly n letters from a word's colours.
void AppendFitted(std::string& out, const std::string& colours, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        out.push_back(i < colours.size() ? colours[i] : colours.empty() ? ' ' : colours.back());
}

TextList* EnsureList(Widget* w) {
    if (!w->list) {
        w->list = new TextList{};
        w->ownsList = true;
    }
    return w->list;
}

}  // namespace

void LoadTextListBytes(Widget* w, std::span<const std::uint8_t> bytes) {
    if (!w) return;
    TextList* list = EnsureList(w);
    list->entries.clear();
    std::size_t start = 0;
    // The end is found only by a read that meets it: a final line feed
    // leaves one more, empty, line to read.
    for (;;) {
        std::size_t end = start;
        while (end < bytes.size() && bytes[end] != '\n') ++end;
        std::size_t len = end - start;
        if (end < bytes.size() && len > 0 && bytes[end - 1] == '\r') --len;
        InsertLines(list, std::string(reinterpret_cast<const char*>(bytes.data()) + start, len),
                    std::string(), -1, 1);
        if (end >= bytes.size()) break;
        start = end + 1;
    }
    w->firstVisible = 0;
    w->cursorEntry = 0;
    w->caretColumn = 0;
    w->listModified = 1;
}

int LoadTextList(Widget* w, const char* path) {
    if (!w || !path) return 0;
    std::vector<std::uint8_t> bytes;
    const FileStatus st = ReadWholeFile(path, bytes, kMaxTextListBytes);
    if (st != FileStatus::Ok) {
        if (st == FileStatus::TooLarge) LogPrintf("\n text file too large: %s", path);
        return 0;
    }
    LoadTextListBytes(w, bytes);
    return 1;
}

int InsertLines(TextList* list, const std::string& text, const std::string& colours, int position,
                int count) {
    if (!list || count < 1) return 0;
    std::string fitted = colours;
    if (!fitted.empty()) {
        if (fitted.size() > text.size()) {
            fitted.resize(text.size());
        } else {
            std::size_t grow = text.size() - fitted.size();
            if (grow > std::size_t(kMaxColourGrow)) grow = kMaxColourGrow;
            fitted.append(grow, fitted.back());
        }
    }
    auto& e = list->entries;
    const auto at = (position < 0 || std::size_t(position) >= e.size()) ? e.end() : e.begin() + position;
    e.insert(at, std::size_t(count), TextListEntry{text, fitted});
    return count;
}

void ColourToken(const std::string& text, std::size_t* position, std::string& colours) {
    const std::size_t pos = *position;
    if (pos >= text.size()) return;
    const std::size_t rest = text.size() - pos;
    const char c = text[pos];
    if (c == ' ') {
        colours.push_back(' ');
        *position = pos + 1;
        return;
    }
    if (rest >= 2 && c == '/' && text[pos + 1] == '/') {
        colours.append(rest, 'e');
        *position = text.size();
        return;
    }
    if (rest >= 2 && c == '0' && text[pos + 1] == 'x') {
        colours.append("bb");
        *position = pos + 2;
        return;
    }
    if (IsDigit(c)) {
        colours.push_back('o');
        *position = pos + 1;
        return;
    }
    const std::size_t sep = FirstSeparator(text, pos) - pos;   // rest when none
    const bool hasSep = pos + sep < text.size();
    for (const PaintWord& pw : paintWords) {
        const std::size_t n = pw.word.size();
        if (n == 0 || n > rest || pw.word[0] != c) continue;
        if (text.compare(pos, n, pw.word) != 0) continue;
        if (n == rest || (hasSep && (sep == n || sep + 1 == n))) {
            AppendFitted(colours, pw.colours, n);
            *position = pos + n;
            return;
        }
    }
    const std::size_t n = sep == 0 ? 1 : sep;
    colours.append(n, ' ');
    *position = pos + n;
}

void RecolourList(Widget* w) {
    if (!w || !w->list) return;
    bool quoted = false;
    for (TextListEntry& e : w->list->entries) {
        const std::string& t = e.text;
        if (OnlyBlanks(t)) continue;
        e.colours.clear();
        std::size_t pos = 0;
        while (pos < t.size()) {
            if (t[pos] == '"') {
                if (pos == 0)
                    quoted = true;
                else if (t[pos - 1] != '\\')
                    quoted = !quoted;
            }
            if (quoted) {
                e.colours.push_back('w');
                ++pos;
            } else {
                ColourToken(t, &pos, e.colours);
            }
        }
    }
}

namespace {

void ClampCaret(Widget* w) {
    auto& e = w->list->entries;
    if (e.empty()) e.push_back(TextListEntry{});
    if (w->cursorEntry < 0) w->cursorEntry = 0;
    if (w->cursorEntry >= int(e.size())) w->cursorEntry = int(e.size()) - 1;
    const int len = int(e[std::size_t(w->cursorEntry)].text.size());
    if (w->caretColumn < 0) w->caretColumn = 0;
    if (w->caretColumn > len) w->caretColumn = len;
}

void InsertAtCaret(Widget* w, const char* s, int n) {
    std::string& t = w->list->entries[std::size_t(w->cursorEntry)].text;
    t.insert(std::size_t(w->caretColumn), s, std::size_t(n));
    w->caretColumn += n;
}

void CaretToNextRow(Widget* w) {
    ++w->cursorEntry;
    w->caretColumn = 0;
    if (w->pageSize > 0 && w->cursorEntry - w->firstVisible >= w->pageSize - 1) ++w->firstVisible;
}

}  // namespace

void TypeChar(Widget* w, int code) {
    if (!w || !w->list) return;
    w->listModified = 1;
    if (code < 0 || code > 255) return;
    ClampCaret(w);
    auto& e = w->list->entries;
    const std::size_t cur = std::size_t(w->cursorEntry);
    switch (code) {
        case 8:
            if (w->caretColumn > 0) {
                --w->caretColumn;
                e[cur].text.erase(std::size_t(w->caretColumn), 1);
            } else if (cur > 0) {
                std::string& prev = e[cur - 1].text;
                w->caretColumn = int(prev.size());
                prev += e[cur].text;
                e.erase(e.begin() + std::ptrdiff_t(cur));
                --w->cursorEntry;
                if (w->firstVisible > 0) --w->firstVisible;
            }
            return;
        case 9:
            InsertAtCaret(w, "   ", 3);
            return;
        case 13: {
            const std::string& t = e[cur].text;
            if (w->caretColumn == 0) {
                InsertLines(w->list, std::string(), std::string(), int(cur), 1);
            } else if (std::size_t(w->caretColumn) >= t.size()) {
                InsertLines(w->list, std::string(), std::string(), int(cur) + 1, 1);
            } else {
                std::string tail = t.substr(std::size_t(w->caretColumn));
                e[cur].text.resize(std::size_t(w->caretColumn));
                InsertLines(w->list, tail, std::string(), int(cur) + 1, 1);
            }
            CaretToNextRow(w);
            return;
        }
        default:
            if (code >= 32) {
                const char ch = static_cast<char>(code);
                InsertAtCaret(w, &ch, 1);
            }
            return;
    }
}
