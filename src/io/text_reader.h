// Text file rules shared by every loader: whole lines, whitespace-separated
// decimal integers, SkipLine and Trim. Loaders read from a byte span so that
// tests, fuzz targets and the game share one entry point.
//
// A reader that fails (malformed or out-of-range number, read past the end)
// stays failed: every later read fails and leaves its target unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

struct TextReader {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;
    bool failed = false;   // a read failed; all later reads fail
    bool atEnd = false;    // a read ran into the end of the data

    TextReader() = default;
    explicit TextReader(std::span<const std::uint8_t> bytes)
        : data(bytes.data()), size(bytes.size()) {}
    explicit TextReader(std::string_view text)
        : data(reinterpret_cast<const unsigned char*>(text.data())), size(text.size()) {}

    bool Good() const { return !failed; }
    // True when nothing is left to read (or the reader failed).
    bool Exhausted() const { return failed || pos >= size; }

    // Reads up to the next LF or CR LF; the text excludes them. At the end of
    // the data returns what was read; with nothing left it fails.
    bool ReadLine(std::string& out);
    // Skips blanks, tabs and line ends, then an optional sign and decimal
    // digits. No digits, or a value outside 32 bits, fails the reader.
    bool ReadInt(int& out);
    // Reads an int but leaves `out` unchanged and returns false on failure;
    // convenience for the common "read n numbers" pattern.
    bool ReadInts(int* out, int count);
};

// Discards up to and including the next line end. 1 when a line end was
// consumed; 0 when the reader was failed or the data ended first.
int SkipLine(TextReader& reader);

// Copy without leading and trailing blanks and tabs.
std::string Trim(std::string_view text);

// Decimal text of an integer: minus sign for negatives, no padding.
std::string IntToText(int value);
