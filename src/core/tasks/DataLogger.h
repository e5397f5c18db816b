#pragma once

#include <boost/function.hpp>

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CControllerList;
class CPollingEngine;
class CRowFile;
class CRowFileSync;

// Log modes.
inline constexpr int kLogNone = 0;
inline constexpr int kLogOneFile = 1;
inline constexpr int kLogFilePerController = 2;

// Logged-column bits of the monitoring list's mask, in column order.
inline constexpr uint32_t kColumnTemp = 0x01;
inline constexpr uint32_t kColumnSetpoint = 0x02;
inline constexpr uint32_t kColumnOutput = 0x04;
inline constexpr uint32_t kColumnAlarm1 = 0x08;
inline constexpr uint32_t kColumnAlarm2 = 0x10;
inline constexpr uint32_t kColumnTune = 0x20;
inline constexpr uint32_t kColumnManual = 0x40;
inline constexpr uint32_t kAllColumns = 0x7F;

// How a recording is made.
struct DataLoggerConfig {
    int mode = kLogNone;
    // The "logs" folder; day folders are made in it.
    std::string logsDir;
    // Tells the user that logging stopped (string id 111): a log file could not be created,
    // written or synced. `detail` names the file and the system's reason ("PATH: reason").
    // Called at most once per recording, on the worker: it must post, never wait for the
    // user-interface thread.
    boost::function<void(int stringId, const std::string& detail)> report;
    // The local time; empty means the system clock.
    boost::function<std::tm()> now;
};

// One monitored controller's latest values as text, ready for the next row.
struct CLogRecord {
    uint8_t address = 0;
    std::string name;
    std::string processValue;
    std::string setpoint;
    std::string statusValue;
    std::string output;
    std::string unit;
    int32_t alarm1 = 0;
    int32_t alarm2 = 0;
    int32_t tune = 0;
    int32_t manual = 0;
    uint8_t error = 0;
};

// Records the polled values in tab-separated UTF-8 text, one row per complete cycle: mode 1
// in one file "logs/D-MM-YYYY/log-HH-MM-SS.log" for all controllers, mode 2 in a folder
// "logs/D-MM-YYYY/log-HH-MM-SS/" with one "NAME.log" per controller. A new recording never
// truncates another (a name already taken gets "-2", "-3", ...), and a controller's name is
// made safe before it names a file. Every row is written whole or not at all and synced to
// the disk off the worker; the first row that cannot be written (a full disk, a deleted
// folder) is reported and ends the recording's logging. Numbers are written with '.' in
// every locale. Lives on the polling worker: no lock of its own.
class CDataLogger {
public:
    // Builds one record per enabled entry and opens the files (headers written).
    CDataLogger(const DataLoggerConfig& config, const CControllerList& list);
    ~CDataLogger();

    CDataLogger(const CDataLogger&) = delete;
    CDataLogger& operator=(const CDataLogger&) = delete;

    // Adds OnData to the data list and OnError to the error list.
    void Subscribe(CPollingEngine& engine);
    void OnData(unsigned char address, short* registers, unsigned char* coils);
    void OnError(unsigned char address);
    // One row for the cycle just completed.
    void WriteRow();
    void CloseFiles();

    // Mode 1: the file; mode 2: the recording's folder; empty when nothing is recorded.
    const std::string& RecordingPath() const { return recordingPath; }
    // The open files' paths, in record order.
    std::vector<std::string> FilePaths() const;
    const std::vector<std::shared_ptr<CLogRecord>>& Records() const { return records; }

private:
    // The records of one address in list order, and how many of its results came this cycle.
    struct AddressRecords {
        std::vector<size_t> records;
        size_t results = 0;
    };

    void OpenFiles();
    bool OpenLog(const std::string& base, const std::string& header);
    // Stops logging and reports `detail` (once per recording). By value: the files that may
    // own it close first.
    void Stop(std::string detail);
    CLogRecord* RecordOfNextResult(unsigned char address);
    std::tm Now() const;
    std::string Titles(const CLogRecord& record) const;
    std::string Cells(const CLogRecord& record) const;
    int CellCount() const;

    DataLoggerConfig config;
    int mode;
    std::vector<std::unique_ptr<CRowFile>> files;
    std::unique_ptr<CRowFileSync> sync;
    std::vector<std::shared_ptr<CLogRecord>> records;
    std::unordered_map<uint8_t, AddressRecords> indexByAddress;
    uint32_t columns;
    std::string recordingPath;
    bool reported = false;
};

// A controller's name as a file name in the recording's folder: "/", "\" and control
// characters become "_", a name that is empty or only dots becomes underscores, and a long
// name is cut to 200 bytes on a character boundary. A safe name stays as it is.
std::string SafeLogFileName(const std::string& name);
// Text for a log line: tabs, line ends and other control characters become blanks.
std::string LogCellText(const std::string& text);
