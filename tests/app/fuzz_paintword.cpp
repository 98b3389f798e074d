// Fuzz: word-colouring list parsing (colour strings always fit their words).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "app/startup_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    PaintWordsParse({data, size});
    for (const PaintWord& p : paintWords)
        if (p.word.empty() || p.colours.empty() || p.colours.size() > p.word.size()) std::abort();
    PaintWordsClear();
    return 0;
}
