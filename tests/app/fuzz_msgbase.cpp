// Fuzz: message base parsing and lookups.
#include <climits>
#include <cstddef>
#include <cstdint>

#include "app/startup_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MsgBaseParse({data, size});
    for (int n : {INT_MIN, -1, 0, 1, 2, 3, 1000, INT_MAX}) MsgText(n);
    MsgBaseClear();
    return 0;
}
