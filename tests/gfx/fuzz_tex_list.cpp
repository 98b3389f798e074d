// libFuzzer: the texture list parser on arbitrary text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "gfx/tex_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TexList list = ParseTexList({data, size});
    bool seen[kTexSlots] = {};
    for (const TexListEntry& e : list.entries) {
        if (e.slot < 0 || e.slot >= kTexSlots || seen[e.slot]) std::abort();
        seen[e.slot] = true;
    }
    return 0;
}
