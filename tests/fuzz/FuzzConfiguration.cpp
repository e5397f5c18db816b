// libFuzzer entry: the input is a configuration file.
#include "ConfigurationFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzConfigurationFile(data, size);
    return 0;
}
