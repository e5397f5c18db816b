// Graph files of any content, and sound files with random damage: the readers refuse them
// with an archive error and never read past the end. Bounded, with a fixed seed.
#include "GraphFuzz.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::vector<uint8_t> SoundFile(int kind) {
    CMemoryArchiveWriter w;
    if (kind == 0) {
        WriteGraphHeader(w, {{"Zona 1", "Val", 0xFF, true}, {std::string(300, 'x'), "Out", 1, 0}});
    } else if (kind == 1) {
        WriteGraphTimeline(w, std::vector<GraphTimestamp>(5));
    } else {
        WriteGraphPoints(w, {2, 1, 4, 10, 0, {1, 2, 3}});
    }
    return w.GetBytes();
}

} // namespace

TEST(GraphFileFuzz, RandomAndDamagedFiles) {
    std::mt19937 random(20261207);
    for (int i = 0; i < 100000; ++i) {
        const int kind = static_cast<int>(random() % 3);
        std::vector<uint8_t> input{static_cast<uint8_t>(kind), static_cast<uint8_t>(random() % 8)};
        std::vector<uint8_t> file;
        if (random() % 2 == 0) {
            file = SoundFile(kind);
            // Flip, cut or extend a few bytes.
            for (int n = static_cast<int>(random() % 4); n >= 0 && !file.empty(); --n)
                file[random() % file.size()] = static_cast<uint8_t>(random());
            if (random() % 3 == 0)
                file.resize(random() % (file.size() + 8));
        } else {
            file.resize(random() % 64);
            for (auto& byte : file)
                byte = static_cast<uint8_t>(random());
        }
        input.insert(input.end(), file.begin(), file.end());
        FuzzGraphFile(input.data(), input.size());
    }
    SUCCEED();
}
