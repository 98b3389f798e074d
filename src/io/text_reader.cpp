// Text line rules over a byte span.
#include "io/text_reader.h"

#include <climits>

bool TextReader::ReadLine(std::string& out) {
    if (failed) return false;
    if (pos >= size) {
        failed = atEnd = true;
        return false;
    }
    std::size_t start = pos;
    while (pos < size && data[pos] != '\n') ++pos;
    std::size_t end = pos;
    if (pos < size) ++pos;  // the line feed
    else atEnd = true;
    if (end > start && data[end - 1] == '\r' && end < size) --end;  // CR LF
    out.assign(reinterpret_cast<const char*>(data) + start, end - start);
    return true;
}

static bool IsSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool TextReader::ReadInt(int& out) {
    if (failed) return false;
    while (pos < size && IsSpace(data[pos])) ++pos;
    bool negative = false;
    if (pos < size && (data[pos] == '+' || data[pos] == '-')) negative = data[pos++] == '-';
    long long value = 0;
    std::size_t digits = 0;
    while (pos < size && data[pos] >= '0' && data[pos] <= '9') {
        value = value * 10 + (data[pos++] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 2;
        ++digits;
    }
    if (pos >= size) atEnd = true;
    if (digits == 0) {
        failed = true;
        return false;
    }
    if (negative) value = -value;
    if (value < INT_MIN || value > INT_MAX) {
        failed = true;
        return false;
    }
    out = static_cast<int>(value);
    return true;
}

bool TextReader::ReadInts(int* out, int count) {
    for (int i = 0; i < count; ++i)
        if (!ReadInt(out[i])) return false;
    return true;
}

int SkipLine(TextReader& reader) {
    if (reader.failed) return 0;
    while (reader.pos < reader.size) {
        unsigned char c = reader.data[reader.pos++];
        if (c == '\n') return 1;
        if (c == '\r') {
            if (reader.pos >= reader.size) break;
            if (reader.data[reader.pos++] == '\n') return 1;
        }
    }
    reader.failed = reader.atEnd = true;  // ran past the end
    return 0;
}

std::string Trim(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
    return std::string(text.substr(b, e - b));
}

std::string IntToText(int value) { return std::to_string(value); }
