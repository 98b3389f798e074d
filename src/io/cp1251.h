// Windows-1251 text: the game's run-time encoding.
//
// Sources are UTF-8; every literal the game shows or writes is converted at
// compile time with the _w suffix:   PostMsg("(Кузня) вир-слитков не хватило"_w);
// A character that Windows-1251 cannot hold is a compile error.
// Run-time conversions exist only for the platform boundary (SDL speaks UTF-8)
// and for the build tools.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cp1251 {

// Unicode code points of bytes 0x80..0xFF (0 marks the one unused byte 0x98).
inline constexpr char16_t kHighHalf[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

// Byte for a code point, or -1 when Windows-1251 has none.
constexpr int FromCodePoint(char32_t cp) {
    if (cp < 0x80) return static_cast<int>(cp);
    for (int i = 0; i < 128; ++i)
        if (kHighHalf[i] != 0 && kHighHalf[i] == cp) return 0x80 + i;
    return -1;
}

constexpr char32_t ToCodePoint(unsigned char byte) {
    if (byte < 0x80) return byte;
    char16_t cp = kHighHalf[byte - 0x80];
    return cp ? cp : U'?';
}

// Decodes one UTF-8 sequence at s[i]; advances i. Malformed input gives
// U+FFFD and consumes one byte.
constexpr char32_t DecodeUtf8(std::string_view s, std::size_t& i) {
    auto b0 = static_cast<unsigned char>(s[i]);
    int extra = b0 < 0x80 ? 0 : (b0 >> 5) == 6 ? 1 : (b0 >> 4) == 14 ? 2 : (b0 >> 3) == 30 ? 3 : -1;
    if (extra < 0 || i + extra >= s.size() + (extra == 0)) { ++i; return 0xFFFD; }  // cut short
    char32_t cp = extra == 0 ? b0 : extra == 1 ? (b0 & 0x1F) : extra == 2 ? (b0 & 0x0F) : (b0 & 0x07);
    for (int k = 1; k <= extra; ++k) {
        auto b = static_cast<unsigned char>(s[i + k]);
        if ((b >> 6) != 2) { ++i; return 0xFFFD; }
        cp = (cp << 6) | (b & 0x3F);
    }
    i += extra + 1;
    return cp;
}

// ---- compile-time literal conversion
template <std::size_t N>
struct Utf8Literal {
    char text[N]{};
    constexpr Utf8Literal(const char (&s)[N]) {
        for (std::size_t i = 0; i < N; ++i) text[i] = s[i];
    }
};

template <Utf8Literal L>
struct Converted {
    static constexpr std::size_t kSize = [] {
        std::string_view s(L.text, sizeof(L.text) - 1);
        std::size_t n = 0;
        for (std::size_t i = 0; i < s.size(); ++n) DecodeUtf8(s, i);
        return n + 1;
    }();
    struct Buffer { char bytes[kSize]; };
    static constexpr Buffer kBuffer = [] {
        Buffer out{};
        std::string_view s(L.text, sizeof(L.text) - 1);
        std::size_t n = 0;
        for (std::size_t i = 0; i < s.size();) {
            int b = FromCodePoint(DecodeUtf8(s, i));
            if (b < 0) throw "character not in Windows-1251";  // compile error
            out.bytes[n++] = static_cast<char>(b);
        }
        out.bytes[n] = 0;
        return out;
    }();
};

}  // namespace cp1251

// "Привет"_w is the Windows-1251 spelling of the UTF-8 literal, zero-terminated.
template <cp1251::Utf8Literal L>
constexpr const char* operator""_w() {
    return cp1251::Converted<L>::kBuffer.bytes;
}

namespace cp1251 {
// Run-time conversions (platform boundary and tools). Unknown characters
// become '?'.
std::string FromUtf8(std::string_view utf8);
std::string ToUtf8(std::string_view text1251);
}  // namespace cp1251
