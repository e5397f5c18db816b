#pragma once

#include "core/files/Archive.h"
#include "core/model/ControllerList.h"
#include "core/tasks/ConfigurationFile.h"

#include <cstdlib>

// Reads one input as a configuration file. Only archive errors may leave the reader, and
// whatever was taken must be something a run can use.
inline void FuzzConfigurationFile(const uint8_t* data, size_t size) {
    CTQControllerModel model;
    int32_t logMode = 0;
    CControllerList list("Zone");
    // An exactly sized copy, so a read past the end is caught by the sanitizer.
    CMemoryArchiveReader reader(data, size);
    try {
        LoadConfiguration(reader, {model, logMode, list, nullptr});
    } catch (const CArchiveException& e) {
        if (e.cause != CArchiveException::endOfFile && e.cause != CArchiveException::badIndex)
            std::abort();
    }
    const size_t n = list.GetCount();
    if (n < 1 || n > 72 || list.address.size() != n || list.name.size() != n ||
        list.unit.size() != n || list.period < 1 || list.period > 900 || logMode < 0 || logMode > 2)
        std::abort();
    for (uint8_t address : list.address) {
        if (address == 0)
            std::abort();
    }
    // A register keeps its default (some defaults lie outside the range) or takes a word
    // within its range.
    for (uint32_t i = 0; i < model.GetCount(); ++i) {
        const int16_t v = model.GetValue(i);
        if (v != CTQControllerModel::kDefaultValues[i] &&
            (v < model.GetMinimum(i) || v > model.GetMaximum(i)))
            std::abort();
    }
}
