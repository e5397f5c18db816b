#include "core/tasks/DataLogger.h"

#include "core/files/RowFile.h"
#include "core/files/SafeFileName.h"
#include "core/model/ControllerList.h"
#include "core/model/ScaledValue.h"
#include "core/tasks/PollingEngine.h"

#include <boost/bind/bind.hpp>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <sys/stat.h>

namespace {

// Recordings whose names are taken get "-2" up to this suffix before giving up.
constexpr int kMaxSuffix = 999;
constexpr size_t kMaxFileNameBytes = 200;

std::string Format(const char* format, int a, int b, int c) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b, c);
    return text;
}

// Creates a folder that did not exist, "base" or "base-2", "base-3", ...: its path, or
// empty with `error` set.
std::string CreateNewFolder(const std::string& base, std::string& error) {
    for (int attempt = 1; attempt <= kMaxSuffix; ++attempt) {
        const std::string path = attempt == 1 ? base : base + "-" + std::to_string(attempt);
        if (::mkdir(path.c_str(), 0755) == 0)
            return path;
        if (errno != EEXIST) {
            error = PathAndReason(path, errno);
            return {};
        }
    }
    error = base + ": every name up to -" + std::to_string(kMaxSuffix) + " is taken";
    return {};
}

const char* OnOff(int32_t flag) {
    return flag != 0 ? "on" : "off";
}

} // namespace

std::string SafeLogFileName(const std::string& name) {
    // Graph files make controller names safe the same way.
    return SafeFileNamePart(name, kMaxFileNameBytes);
}

std::string LogCellText(const std::string& text) {
    std::string clean = text;
    for (char& c : clean) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F)
            c = ' ';
    }
    return clean;
}

CDataLogger::CDataLogger(const DataLoggerConfig& config, const CControllerList& list)
    : config(config), mode(config.mode), columns(static_cast<uint32_t>(list.columns)) {
    std::string& logs = this->config.logsDir;
    while (logs.size() > 1 && logs.back() == '/')
        logs.pop_back();
    for (size_t i = 0; i < list.enabled.size(); ++i) {
        if (list.enabled[i] == 0)
            continue;
        auto record = std::make_shared<CLogRecord>();
        record->address = list.address[i];
        record->name = list.name[i];
        record->unit = list.unit[i];
        indexByAddress[record->address].records.push_back(records.size());
        records.push_back(std::move(record));
    }
    OpenFiles();
}

CDataLogger::~CDataLogger() {
    CloseFiles();
}

void CDataLogger::Subscribe(CPollingEngine& engine) {
    using namespace boost::placeholders;
    engine.AddDataSubscriber(boost::bind(&CDataLogger::OnData, this, _1, _2, _3));
    engine.AddErrorSubscriber(boost::bind(&CDataLogger::OnError, this, _1));
}

std::vector<std::string> CDataLogger::FilePaths() const {
    std::vector<std::string> paths;
    for (const auto& file : files)
        paths.push_back(file->Path());
    return paths;
}

std::tm CDataLogger::Now() const {
    if (config.now)
        return config.now();
    const std::time_t seconds = std::time(nullptr);
    std::tm local{};
    localtime_r(&seconds, &local);
    return local;
}

int CDataLogger::CellCount() const {
    return std::popcount(columns & kAllColumns);
}

void CDataLogger::Stop(std::string detail) {
    const bool first = !reported;
    reported = true;
    CloseFiles();
    if (first && config.report)
        config.report(111, detail);
}

bool CDataLogger::OpenLog(const std::string& base, const std::string& header) {
    std::string error;
    std::unique_ptr<CRowFile> file = CRowFile::CreateNew(base, error);
    if (!file) {
        Stop(error);
        return false;
    }
    files.push_back(std::move(file));
    if (!files.back()->Append(header)) {
        Stop(files.back()->Error());
        return false;
    }
    return true;
}

void CDataLogger::OpenFiles() {
    if (mode != kLogOneFile && mode != kLogFilePerController)
        return;
    const std::tm now = Now();
    const std::string date =
        Format("%d-%02d-%02d", now.tm_mday, now.tm_mon + 1, now.tm_year + 1900);
    const std::string time = Format("%02d-%02d-%02d", now.tm_hour, now.tm_min, now.tm_sec);
    ::mkdir(config.logsDir.c_str(), 0755);
    const std::string day = config.logsDir + "/" + date;
    ::mkdir(day.c_str(), 0755);

    if (mode == kLogFilePerController) {
        std::string error;
        recordingPath = CreateNewFolder(day + "/log-" + time, error);
        if (recordingPath.empty()) {
            Stop(error);
            return;
        }
        for (const auto& record : records) {
            const std::string header = "Time\t" + Titles(*record) + "\n";
            if (!OpenLog(recordingPath + "/" + SafeLogFileName(record->name), header))
                return;
        }
    } else {
        std::string names = "\t";
        std::string titles = "Time\t";
        for (const auto& record : records) {
            names += LogCellText(record->name) + std::string(CellCount(), '\t');
            titles += Titles(*record);
        }
        if (!OpenLog(day + "/log-" + time, names + "\n" + titles + "\n"))
            return;
        recordingPath = files.front()->Path();
    }
    std::vector<const CRowFile*> open;
    for (const auto& file : files)
        open.push_back(file.get());
    sync = std::make_unique<CRowFileSync>(std::move(open));
    sync->Request();
}

void CDataLogger::CloseFiles() {
    // The last rows reach the disk before their files close.
    if (sync) {
        sync->Finish();
        const std::string failure = sync->Failure();
        sync.reset();
        if (!failure.empty())
            Stop(failure);
    }
    files.clear();
}

std::string CDataLogger::Titles(const CLogRecord& record) const {
    const std::string unit = LogCellText(record.unit);
    std::string text;
    if (columns & kColumnTemp)
        text += "Temp(" + unit + ")\t";
    if (columns & kColumnSetpoint)
        text += "SP(" + unit + ")\t";
    if (columns & kColumnOutput)
        text += mode == kLogFilePerController ? "Out %\t" : "Out%\t";
    if (columns & kColumnAlarm1)
        text += "AL1\t";
    if (columns & kColumnAlarm2)
        text += "AL2\t";
    if (columns & kColumnTune)
        text += "Tune\t";
    if (columns & kColumnManual)
        text += "Man/Auto\t";
    return text;
}

std::string CDataLogger::Cells(const CLogRecord& record) const {
    std::string text;
    if (record.error != 0) {
        for (int i = 0; i < CellCount(); ++i)
            text += "Error\t";
        return text;
    }
    if (columns & kColumnTemp)
        text += record.processValue + "\t";
    if (columns & kColumnSetpoint)
        text += (mode == kLogFilePerController ? record.statusValue : record.setpoint) + "\t";
    if (columns & kColumnOutput)
        text += record.output + "\t";
    if (columns & kColumnAlarm1)
        text += std::string(OnOff(record.alarm1)) + "\t";
    if (columns & kColumnAlarm2)
        text += std::string(OnOff(record.alarm2)) + "\t";
    if (columns & kColumnTune)
        text += std::string(OnOff(record.tune)) + "\t";
    if (columns & kColumnManual)
        text += std::string(record.manual != 0 ? "man" : "auto") + "\t";
    return text;
}

CLogRecord* CDataLogger::RecordOfNextResult(unsigned char address) {
    const auto found = indexByAddress.find(address);
    if (found == indexByAddress.end())
        return nullptr;
    // The engine reads the entries in list order, so the n-th result for an address in a
    // cycle is that of its n-th entry.
    AddressRecords& entries = found->second;
    const size_t n = std::min(entries.results++, entries.records.size() - 1);
    return records[entries.records[n]].get();
}

void CDataLogger::OnData(unsigned char address, short* registers, unsigned char* coils) {
    CLogRecord* found = RecordOfNextResult(address);
    if (found == nullptr)
        return;
    CLogRecord& record = *found;
    record.error = 0;
    const int decimals = std::min<int>(static_cast<uint16_t>(registers[32]), 3);
    if (coils[0] != 0)
        record.processValue = "oooo";
    else if (coils[1] != 0)
        record.processValue = "uuuu";
    else
        record.processValue = FormatScaled(registers[0], decimals);
    record.setpoint = FormatScaled(registers[1], decimals);
    record.statusValue = FormatScaled(registers[4], decimals);
    record.output = std::to_string(registers[3] / 10);
    record.alarm1 = coils[2];
    record.alarm2 = coils[3];
    record.manual = coils[5];
    record.tune = coils[4];
}

void CDataLogger::OnError(unsigned char address) {
    if (CLogRecord* record = RecordOfNextResult(address))
        record->error = 1;
}

void CDataLogger::WriteRow() {
    for (auto& entry : indexByAddress)
        entry.second.results = 0;
    if (files.empty())
        return;
    const std::string failure = sync->Failure();
    if (!failure.empty()) {
        Stop(failure);
        return;
    }
    const std::tm now = Now();
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%d/%02d/%02d %02d:%02d:%02d\t", now.tm_mday, now.tm_mon + 1,
                  now.tm_year + 1900, now.tm_hour, now.tm_min, now.tm_sec);
    if (mode == kLogFilePerController) {
        for (size_t i = 0; i < files.size(); ++i) {
            if (!files[i]->Append(stamp + Cells(*records[i]) + "\n")) {
                Stop(files[i]->Error());
                return;
            }
        }
    } else {
        std::string row = stamp;
        for (const auto& record : records)
            row += Cells(*record);
        row += "\n";
        if (!files.front()->Append(row)) {
            Stop(files.front()->Error());
            return;
        }
    }
    sync->Request();
}
