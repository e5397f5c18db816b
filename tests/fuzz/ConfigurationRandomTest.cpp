// Configuration files of any content: the reader neither crashes nor reads past the end, and
// refuses with an archive error. Bounded runs with a fixed seed, so a failure repeats.
#include "ConfigurationFuzz.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::vector<uint8_t> SoundFile(ModelFamily family, size_t entries) {
    CTQControllerModel model;
    model.SetFamily(nullptr, family);
    int32_t logMode = 1;
    CControllerList list("Zone");
    list.SetEntries(std::vector<int32_t>(entries, 1), std::vector<uint8_t>(entries, 5),
                    std::vector<std::string>(entries, "Cámara"),
                    std::vector<std::string>(entries, "ºC"));
    CMemoryArchiveWriter w;
    StoreConfiguration(w, {model, logMode, list, nullptr});
    return w.GetBytes();
}

} // namespace

TEST(ConfigurationFuzz, DamagedAndRandomFilesAreRefusedCleanly) {
    std::mt19937 random(20261207);
    const std::vector<std::vector<uint8_t>> seeds = {SoundFile(TQ100, 72), SoundFile(TQ100, 1),
                                                     SoundFile(TQ102_TQ402, 3)};
    for (int i = 0; i < 30000; ++i) {
        std::vector<uint8_t> bytes = seeds[random() % seeds.size()];
        switch (random() % 4) {
        case 0: // a few bytes changed
            for (int k = 1 + random() % 4; k > 0; --k)
                bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
            break;
        case 1: // cut short
            bytes.resize(random() % bytes.size());
            break;
        case 2: // a string length forged, long forms included
            bytes.insert(bytes.begin() + random() % bytes.size(),
                         {0xFF, static_cast<uint8_t>(random()), static_cast<uint8_t>(random())});
            break;
        default: // noise behind a real tag
            bytes.resize(3 + random() % 400);
            for (size_t k = 3; k < bytes.size(); ++k)
                bytes[k] = static_cast<uint8_t>(random());
            break;
        }
        FuzzConfigurationFile(bytes.data(), bytes.size());
    }
}
