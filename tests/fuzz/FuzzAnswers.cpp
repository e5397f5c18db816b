// libFuzzer entry: the first byte picks the check, the rest is the answer.
#include "AnswerFuzz.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    if (data[0] & 0x80) {
        FuzzMasterWithAnswers(data + 1, size - 1);
        return 0;
    }
    const int mode = data[0] & 1;
    CModbusMaster master(std::make_unique<CReplayPort>(nullptr, 0), mode);
    uint8_t request[8];
    BuildRequestFrame(request, 1, static_cast<uint8_t>((data[0] >> 1) & 7), 0, 1);
    // A copy of exactly the answer's size, so any read past it is caught.
    std::vector<uint8_t> answer(data + 1, data + size);
    int16_t value = 0;
    master.CheckResponse(request, answer.data(), static_cast<uint32_t>(answer.size()),
                         (data[0] & 0x40) ? nullptr : &value);
    return 0;
}
