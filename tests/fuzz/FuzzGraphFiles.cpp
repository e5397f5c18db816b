// libFuzzer entry for the graph-file readers.
#include "GraphFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzGraphFile(data, size);
    return 0;
}
