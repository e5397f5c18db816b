#pragma once

#include "core/model/TQControllerModel.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CArchiveReader;
class CArchiveWriter;
class CControllerList;

// A configuration file keeps one controller's parameter set with the monitoring setup:
// the family's tag, the family's register values, the log mode, the monitoring list.
inline constexpr const char* kConfigTagTQ100 = "TQ.100";
inline constexpr const char* kConfigTagTQ102_TQ402 = "TQ";
inline constexpr int32_t kLogModeMin = 0;
inline constexpr int32_t kLogModeMax = 2;

// What a configuration file is read into and written from. selectFamily switches the
// family the way the sheet's family command does (pages and menus included); without one
// only the model switches.
struct ConfigurationParts {
    CTQControllerModel& model;
    int32_t& logMode;
    CControllerList& monitorList;
    std::function<void(ModelFamily)> selectFamily;
};

void StoreConfiguration(CArchiveWriter& archive, const ConfigurationParts& parts);

// Reads a configuration and applies it piece by piece, each piece when it was read whole and
// found sound: the family from the tag, then the values (words outside a register's range
// are skipped and listed in `skipped`, see CControllerModel::LoadValues), then the log mode
// (0..2), then the monitoring list (see CControllerList::Load). Throws CArchiveException:
// endOfFile when the data ends early, badIndex for an unknown tag or a value the file cannot
// hold. What was applied stays, and `skipped` describes the values also then.
void LoadConfiguration(CArchiveReader& archive, const ConfigurationParts& parts,
                       std::vector<SkippedWord>* skipped = nullptr);

// How a file operation ended.
struct ConfigurationFileResult {
    enum Outcome {
        done,
        cannotOpen,   // the file could not be opened (load) or created (save); error = errno
        archiveError, // cause = CArchiveException cause; on save the old file is untouched
        notRegular,   // a folder, device or FIFO: neither read nor replaced (message 32)
    };
    Outcome outcome = done;
    int cause = 0;
    int error = 0;
    // Load: the file's words that were not taken (also when the load failed later).
    std::vector<SkippedWord> skipped;
    bool Ok() const { return outcome == done; }
};

// Saves atomically: a failure leaves an existing file as it was. A symbolic link is followed;
// the file replaced keeps its permission bits.
ConfigurationFileResult SaveConfigurationFile(const std::string& path,
                                              const ConfigurationParts& parts);
ConfigurationFileResult LoadConfigurationFile(const std::string& path,
                                              const ConfigurationParts& parts);

// The message string of an archive error: 30 for end of file and bad index, 31 for bad
// schema, 32 for any other.
int ConfigurationErrorMessageId(int cause);
// The message string of a failed file operation that is not cannotOpen.
int ConfigurationErrorMessageId(const ConfigurationFileResult& result);
