#include "core/tasks/ConfigurationFile.h"

#include "core/files/Archive.h"
#include "core/files/WholeFile.h"
#include "core/model/ControllerList.h"
#include "languages/StringIds.h"

#include <cerrno>
#include <utility>

void StoreConfiguration(CArchiveWriter& archive, const ConfigurationParts& parts) {
    archive.WriteString(parts.model.GetFamily() == TQ102_TQ402 ? kConfigTagTQ102_TQ402
                                                               : kConfigTagTQ100);
    parts.model.StoreValues(archive);
    archive.WriteInt32(parts.logMode);
    parts.monitorList.Store(archive);
}

void LoadConfiguration(CArchiveReader& archive, const ConfigurationParts& parts,
                       std::vector<SkippedWord>* skipped) {
    const std::string tag = archive.ReadStringBytes();
    ModelFamily family;
    if (tag == kConfigTagTQ100)
        family = TQ100;
    else if (tag == kConfigTagTQ102_TQ402)
        family = TQ102_TQ402;
    else
        throw CArchiveException(CArchiveException::badIndex);
    if (parts.selectFamily)
        parts.selectFamily(family);
    else
        parts.model.SetFamily(nullptr, family);

    auto refused = parts.model.LoadValues(archive);
    if (skipped)
        *skipped = std::move(refused);

    const int32_t logMode = archive.ReadInt32();
    if (logMode < kLogModeMin || logMode > kLogModeMax)
        throw CArchiveException(CArchiveException::badIndex);
    parts.logMode = logMode;

    parts.monitorList.Load(archive);
}

ConfigurationFileResult SaveConfigurationFile(const std::string& path,
                                              const ConfigurationParts& parts) {
    CMemoryArchiveWriter archive;
    StoreConfiguration(archive, parts);
    switch (WriteFileAtomically(path, archive.GetBytes())) {
    case FileWriteResult::Ok:
        return {};
    case FileWriteResult::CannotCreate:
        // errno still tells why the file beside the target could not be made.
        return {ConfigurationFileResult::cannotOpen, 0, errno, {}};
    case FileWriteResult::NotRegular:
        return {ConfigurationFileResult::notRegular, 0, 0, {}};
    default:
        return {ConfigurationFileResult::archiveError, CArchiveException::genericException, 0, {}};
    }
}

ConfigurationFileResult LoadConfigurationFile(const std::string& path,
                                              const ConfigurationParts& parts) {
    CFileArchiveReader archive;
    if (!archive.Open(path)) {
        if (archive.NotRegular())
            return {ConfigurationFileResult::notRegular, 0, errno, {}};
        return {ConfigurationFileResult::cannotOpen, 0, errno, {}};
    }
    ConfigurationFileResult result;
    try {
        LoadConfiguration(archive, parts, &result.skipped);
    } catch (const CArchiveException& e) {
        result.outcome = ConfigurationFileResult::archiveError;
        result.cause = e.cause;
    }
    return result;
}

int ConfigurationErrorMessageId(int cause) {
    switch (cause) {
    case CArchiveException::endOfFile:
    case CArchiveException::badIndex:
        return IDS_MSG_CONFIG_BAD_FORMAT;
    case CArchiveException::badSchema:
        return IDS_MSG_CONFIG_BAD_VERSION;
    default:
        return IDS_MSG_CONFIG_FILE_ERROR;
    }
}

int ConfigurationErrorMessageId(const ConfigurationFileResult& result) {
    return result.outcome == ConfigurationFileResult::archiveError
               ? ConfigurationErrorMessageId(result.cause)
               : IDS_MSG_CONFIG_FILE_ERROR;
}
