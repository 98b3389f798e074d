// Fuzz: konfig.txt parsing and the question text.
#include <cstddef>
#include <cstdint>

#include "app/startup_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    KonfigPairs pairs;
    if (KonfigParse({data, size}, pairs)) {
        KonfigQuestion(pairs);
        KonfigSizeValid(pairs.widthA, pairs.heightA);
    }
    return 0;
}
