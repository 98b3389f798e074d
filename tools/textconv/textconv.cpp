// textconv: copies a UTF-8 text file into the runtime folder as Windows-1251.
// Usage: textconv <input.txt> <output.txt>
// Fails (exit 1) on a character Windows-1251 cannot hold, naming the line.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "io/cp1251.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: textconv <in> <out>\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "textconv: cannot read %s\n", argv[1]);
        return 1;
    }
    std::stringstream ss;
    ss << in.rdbuf();
    std::string text = ss.str();
    std::string out;
    int line = 1;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '\n') ++line;
        int b = cp1251::FromCodePoint(cp1251::DecodeUtf8(text, i));
        if (b < 0) {
            std::fprintf(stderr, "%s:%d: character not in Windows-1251\n", argv[1], line);
            return 1;
        }
        out.push_back(static_cast<char>(b));
    }
    std::ofstream o(argv[2], std::ios::binary);
    o << out;
    return o ? 0 : 1;
}
