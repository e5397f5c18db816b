#include "CliConfig.h"

#include "CliCommands.h"
#include "CliConnection.h"
#include "CliOutput.h"
#include "CliProfile.h"
#include "CliTaskSink.h"
#include "ComErrorName.h"

#include "core/modbus/ModbusMaster.h"
#include "core/model/ControllerList.h"
#include "core/platform/LanguageLibrary.h"
#include "core/tasks/BusTask.h"
#include "core/tasks/CommSettings.h"
#include "core/tasks/ConfigurationFile.h"
#include "core/tasks/FamilyDetection.h"
#include "core/tasks/ParameterTransfer.h"
#include "languages/StringIds.h"

#include <algorithm>
#include <cstring>
#include <ostream>
#include <sstream>
#include <unistd.h>

// The English table is built into the command line, so it has texts with no library beside it.
extern "C" const char* DllLengGetTexto(int id);

namespace {

using Master = CModbusMaster;

// The texts of the language the desktop program uses (its profile), else English.
class CliTexts {
public:
    CliTexts() {
        CCliProfile profile(CCliProfile::DefaultPath());
        const std::string chosen = profile.GetString(kLanguageDllKey, "");
        if (!chosen.empty())
            library.Load(chosen);
    }
    std::string Text(int id) const {
        if (library.IsLoaded())
            return library.LoadText(id);
        const char* text = DllLengGetTexto(id);
        return text ? text : kMissingText;
    }

private:
    CLanguageLibrary library;
};

std::string JsonString(const std::string& text) {
    std::string s = "\"";
    for (const unsigned char c : text) {
        if (c == '"' || c == '\\') {
            s += '\\';
            s += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            s += buf;
        } else {
            s += static_cast<char>(c);
        }
    }
    return s + "\"";
}

int FileFailure(std::ostream& err, const std::string& file, const ConfigurationFileResult& r,
                const CliTexts& texts) {
    err << "calora-cli: " << file << ": ";
    if (r.outcome == ConfigurationFileResult::cannotOpen)
        err << std::strerror(r.error) << "\n";
    else if (r.outcome == ConfigurationFileResult::notRegular)
        err << texts.Text(ConfigurationErrorMessageId(r)) << " (not a regular file)\n";
    else
        err << texts.Text(ConfigurationErrorMessageId(r)) << "\n";
    return kExitBusFailure;
}

std::string RegisterList(const std::vector<uint32_t>& registers) {
    std::string text;
    for (const uint32_t i : registers)
        text += (text.empty() ? "" : ", ") + std::to_string(i);
    return text;
}

bool Contains(const std::vector<uint32_t>& registers, uint32_t index) {
    return std::find(registers.begin(), registers.end(), index) != registers.end();
}

// Names every word of the file that its register did not take: the model shows another value.
void ReportSkipped(std::ostream& err, const std::string& file, const ConfigurationFileResult& r,
                   const CTQControllerModel& model, const CliTexts& texts) {
    for (const SkippedWord& s : r.skipped) {
        const int id = model.GetNameId(s.index);
        err << "calora-cli: " << file << ": register " << s.index
            << (id < 0 ? "" : " (" + texts.Text(id) + ")") << ": " << s.word << " is outside "
            << model.GetMinimum(s.index) << ".." << model.GetMaximum(s.index)
            << "; not taken, the register keeps " << s.kept << "\n";
    }
}

int Show(const CliOptions& o, std::ostream& out, std::ostream& err) {
    const CliTexts texts;
    CTQControllerModel model;
    int32_t logMode = 0;
    CControllerList list(texts.Text(IDS_DEFAULT_ZONE_NAME));
    const auto result = LoadConfigurationFile(o.configFile, {model, logMode, list, nullptr});
    if (!result.Ok())
        return FileFailure(err, o.configFile, result, texts);
    ReportSkipped(err, o.configFile, result, model, texts);
    const std::string family = FamilyName(model.GetFamily());
    auto name = [&](uint32_t i) {
        const int id = model.GetNameId(i);
        return id < 0 ? std::string() : texts.Text(id);
    };
    if (o.json) {
        out << "{\"family\": " << JsonString(family) << ", \"registers\": [";
        for (uint32_t i = 0; i < model.GetCount(); ++i)
            out << (i ? ", " : "") << "{\"register\": " << i
                << ", \"name\": " << JsonString(name(i)) << ", \"value\": " << model.GetValue(i)
                << "}";
        out << "], \"logMode\": " << logMode << ", \"monitor\": {\"period\": " << list.period
            << ", \"columns\": " << list.columns << ", \"entries\": [";
        for (size_t i = 0; i < list.GetCount(); ++i)
            out << (i ? ", " : "") << "{\"enabled\": " << (list.enabled[i] ? "true" : "false")
                << ", \"address\": " << int(list.address[i])
                << ", \"name\": " << JsonString(list.name[i])
                << ", \"unit\": " << JsonString(list.unit[i]) << "}";
        out << "]}}\n";
        return kExitOk;
    }
    out << "family: " << family << "\n";
    for (uint32_t i = 0; i < model.GetCount(); ++i)
        out << "register " << i << (name(i).empty() ? "" : " (" + PrintableText(name(i)) + ")")
            << ": " << model.GetValue(i) << "\n";
    out << "log mode: " << logMode << "\nmonitor period: " << list.period
        << " s\nmonitor columns: " << list.columns << "\n";
    for (size_t i = 0; i < list.GetCount(); ++i)
        out << "monitor " << i + 1 << ": " << (list.enabled[i] ? "on " : "off") << " address "
            << int(list.address[i]) << " " << PrintableText(list.name[i]) << " ["
            << PrintableText(list.unit[i]) << "]\n";
    return kExitOk;
}

// What a bus task left for the report.
struct TaskOutcome {
    int status = 0;
    std::string question;            // the write's last Abort / Retry / Ignore question
    std::vector<uint32_t> confirmed; // registers a write got confirmed
};

// Runs one bus task (read all or write all) on the options' connection for one address.
bool RunTask(int mode, const CliOptions& o, uint16_t address, CTQControllerModel& model,
             std::ostream& err, TaskOutcome& outcome, const std::vector<uint32_t>& leftOut = {}) {
    std::string ip;
    if (o.useTcp) {
        auto resolved = ResolveIPv4(o.host);
        if (!resolved)
            return false;
        ip = *resolved;
    }
    CommSettings settings = SettingsFromOptions(o, ip);
    settings.address = address;
    CCliTaskSink sink(model, settings, err, false);
    CBusTask task(mode, settings, model, sink);
    task.LeaveOut(leftOut);
    if (!task.Start())
        return false;
    task.Join();
    outcome.status = sink.LastStatus();
    outcome.question = sink.LastQuestion();
    outcome.confirmed = task.Confirmed();
    return task.Succeeded();
}

// The rest of a controller's line after a write from `file`: written, not written, or which
// registers took the file's values and which did not. False unless every register did.
bool ReportWrite(std::ostream& out, const CTQControllerModel& file, const CTQControllerModel& model,
                 const std::vector<uint32_t>& leftOut, bool succeeded, const TaskOutcome& task,
                 const CliTexts& texts) {
    // Written: confirmed with the file's value. An echo the controller changed is not.
    std::vector<uint32_t> written;
    std::vector<uint32_t> notWritten;
    for (uint32_t i = 0; i < file.GetCount(); ++i) {
        if (!WriteAllSends(file, i) || Contains(leftOut, i))
            continue;
        const bool same = Contains(task.confirmed, i) && model.GetValue(i) == file.GetValue(i);
        (same ? written : notWritten).push_back(i);
    }
    const std::string why = succeeded               ? "the controller kept other values"
                            : task.question.empty() ? texts.Text(task.status)
                                                    : task.question;
    if (succeeded && notWritten.empty()) {
        out << "written";
        if (!leftOut.empty())
            out << "; left out " << RegisterList(leftOut);
        out << "\n";
        return true;
    }
    if (written.empty())
        out << "not written (" << why << ")\n";
    else
        out << "partly written (" << why << "): written " << RegisterList(written)
            << "; not written " << RegisterList(notWritten) << "\n";
    return false;
}

int Save(const CliOptions& o, std::ostream& out, std::ostream& err) {
    std::string error;
    if (!PrepareSerialPort(o, error)) {
        err << "calora-cli: " << error << "\n";
        return kExitBusFailure;
    }
    const CliTexts texts;
    CTQControllerModel model;
    TaskOutcome read;
    if (!RunTask(kModeReadAll, o, o.address, model, err, read)) {
        err << "calora-cli: address " << o.address << ": the read failed ("
            << texts.Text(read.status) << ")\n";
        return kExitBusFailure;
    }
    int32_t logMode = 0;
    CControllerList list(texts.Text(IDS_DEFAULT_ZONE_NAME));
    const auto result = SaveConfigurationFile(o.configFile, {model, logMode, list, nullptr});
    if (!result.Ok())
        return FileFailure(err, o.configFile, result, texts);
    out << "address " << o.address << ": " << FamilyName(model.GetFamily()) << " saved to "
        << o.configFile << "\n";
    return kExitOk;
}

int Write(const CliOptions& o, std::ostream& out, std::ostream& err) {
    const CliTexts texts;
    CTQControllerModel file;
    int32_t logMode = 0;
    CControllerList list("Zone");
    const auto loaded = LoadConfigurationFile(o.configFile, {file, logMode, list, nullptr});
    if (!loaded.Ok())
        return FileFailure(err, o.configFile, loaded, texts);
    ReportSkipped(err, o.configFile, loaded, file, texts);
    // A skipped word would be written as the value the register kept, not the file's: the
    // file is refused, or with --skip-invalid those registers are not written at all.
    std::vector<uint32_t> leftOut;
    for (const SkippedWord& s : loaded.skipped) {
        if (WriteAllSends(file, s.index))
            leftOut.push_back(s.index);
    }
    if (!leftOut.empty() && !o.skipInvalid) {
        err << "calora-cli: " << o.configFile << ": nothing written: the file's "
            << (leftOut.size() == 1 ? "value for register " : "values for registers ")
            << RegisterList(leftOut) << " lie outside their range (--skip-invalid writes the "
            << "rest)\n";
        return kExitBusFailure;
    }
    std::string error;
    if (!PrepareSerialPort(o, error)) {
        err << "calora-cli: " << error << "\n";
        return kExitBusFailure;
    }
    auto master = OpenCliMaster(o, error);
    if (!master) {
        err << "calora-cli: " << error << "\n";
        return kExitBusFailure;
    }
    const int wait = file.GetBaseTimeout();
    bool all = true;
    const size_t total = o.addressList.size();
    for (size_t k = 0; k < total; ++k) {
        const uint16_t address = o.addressList[k];
        err << "[" << k + 1 << "/" << total << "] address " << address << "\n";
        out << "address " << address << ": ";
        // The family first: a file for one family is never written to the other.
        ModelFamily found;
        try {
            found = DetectFamily(*master, static_cast<uint8_t>(address), wait);
        } catch (Master::tErrorCom code) {
            out << ComErrorName(code) << "\n";
            all = false;
            continue;
        }
        if (found != file.GetFamily()) {
            out << "family " << FamilyName(found) << ", file is " << FamilyName(file.GetFamily())
                << ": skipped\n";
            all = false;
            continue;
        }
        // Each controller gets the file's values, not the echoes of the one before.
        CTQControllerModel model;
        model.SetFamily(nullptr, file.GetFamily());
        std::vector<int16_t> words;
        for (uint32_t i = 0; i < file.GetCount(); ++i)
            words.push_back(file.GetValue(i));
        model.SetAllValues(words);
        master.reset(); // the task opens its own connection
        TaskOutcome task;
        const bool succeeded = RunTask(kModeWriteAll, o, address, model, err, task, leftOut);
        master = OpenCliMaster(o, error);
        if (!ReportWrite(out, file, model, leftOut, succeeded, task, texts))
            all = false;
        if (!master) {
            err << "calora-cli: " << error << "\n";
            return kExitBusFailure;
        }
    }
    return all ? kExitOk : kExitBusFailure;
}

} // namespace

int RunConfig(const CliOptions& o, std::ostream& out, std::ostream& err) {
    switch (o.configAction) {
    case CliConfigAction::Save:
        return Save(o, out, err);
    case CliConfigAction::Show:
        return Show(o, out, err);
    default:
        return Write(o, out, err);
    }
}
