// The monitoring window over simulated controllers: chooser and views, closing while the
// worker waits or is blocked on the window, the log-file message, the probe off the window.
#include "ui/monitor/MonitorDlg.h"
#include "SimBus.h"
#include "cli/ProgramRun.h"
#include "core/modbus/ModbusMaster.h"
#include "core/modbus/TcpCommPort.h"
#include "core/model/ControllerList.h"
#include "core/model/TQControllerModel.h"
#include "core/tasks/AppSession.h"
#include "core/tasks/ConfigurationFile.h"
#include "core/tasks/DataLogger.h"
#include "support/RecordingUiServices.h"
#include "support/ScopedDesktopOpener.h"
#include "support/TestSession.h"
#include "ui/framework/ControlIds.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"
#include "ui/framework/UiThread.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <gtest/gtest.h>

#include <boost/bind/bind.hpp>

#include <atomic>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

// Every file under `root` (path relative to it → content), with the recording's date and
// time taken out of names and rows.
std::map<std::string, std::string> Recording(const fs::path& root) {
    const std::regex folder(R"(\d+-\d\d-\d{4}/log-\d\d-\d\d-\d\d)");
    const std::regex stamp(R"(\d+/\d\d/\d{4} \d\d:\d\d:\d\d)");
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        const std::string name = fs::relative(entry.path(), root).string();
        files[std::regex_replace(name, folder, "DAY/log-TIME")] =
            std::regex_replace(text.str(), stamp, "STAMP");
    }
    return files;
}

void PressEsc(CMonitorDlg& dialog) {
    FindControl<QPushButton>(&dialog, IDCANCEL)->click();
}

class MonitorDlgTest : public ::testing::Test {
protected:
    MonitorDlgTest() {
        fs::remove_all(logs);
        SetTextProvider([](int id) -> std::optional<std::string> {
            if (id >= 142 && id <= 144)
                return "view " + std::to_string(id);
            return "text " + std::to_string(id);
        });
        sim::SimBusOptions options;
        options.timeScale = 0;
        bus = std::make_unique<sim::SimBus>(options);
        master = std::make_unique<CModbusMaster>("127.0.0.1", bus->StartTcp());
        fs::create_directories(session.GraphsDir());
    }
    ~MonitorDlgTest() override {
        SetTextProvider({});
        fs::remove_all(logs);
    }

    // Controllers 1..count on the bus and in the list, every one enabled.
    void Controllers(int count, int period = 1) {
        std::vector<int32_t> enabled;
        std::vector<uint8_t> address;
        std::vector<std::string> name, unit;
        for (int a = 1; a <= count; ++a) {
            if (!bus->Has(static_cast<uint8_t>(a)))
                bus->AddController(static_cast<uint8_t>(a), ModelFamily::TQ100);
            enabled.push_back(1);
            address.push_back(static_cast<uint8_t>(a));
            name.push_back("Zone " + std::to_string(a));
            unit.push_back("F");
        }
        ASSERT_TRUE(session.list.SetEntries(enabled, address, name, unit));
        session.list.period = period;
    }

    std::vector<std::string> LogLines() const {
        std::vector<std::string> lines;
        for (const auto& day : fs::directory_iterator(logs))
            if (day.path().filename() != "gf")
                for (const auto& file : fs::directory_iterator(day)) {
                    std::ifstream in(file.path());
                    for (std::string line; std::getline(in, line);)
                        lines.push_back(line);
                }
        return lines;
    }

    fs::path logs = fs::temp_directory_path() / ("calora-monitor-ui-" + std::to_string(::getpid()));
    CTestSession session{logs.string() + "/"};
    std::unique_ptr<sim::SimBus> bus;
    std::unique_ptr<CModbusMaster> master;
    CRecordingUiServices services;
    CScopedUiServices scopedServices{services};
    // Any dialog a view opens is answered with Cancel.
    CScopedModalHandler modal{[](CDialogBase& dialog) { dialog.EndDialog(IDCANCEL); }};
};

TEST_F(MonitorDlgTest, ChooserSwitchesViewsWhilePollingGoesOnAndEscStops) {
    Controllers(2, 60);
    CMonitorDlg dialog(*master, 1, session);
    std::atomic<int> data{0};
    dialog.AddDataSubscriber([&](unsigned char, short*, unsigned char*) { ++data; });
    dialog.show();
    dialog.EnsureInitialized();

    auto* chooser = FindControl<QComboBox>(&dialog, IDC_MONITOR_VIEW_CHOOSER);
    ASSERT_NE(chooser, nullptr);
    ASSERT_EQ(chooser->count(), 3);
    EXPECT_EQ(chooser->itemText(0), "view 142");
    EXPECT_EQ(chooser->itemText(2), "view 144");
    auto visible = [&](MonitorViewItem item) {
        return dialog.View(item)->ViewWidget()->isVisible();
    };
    auto* prev = FindControl<QPushButton>(&dialog, IDC_MONITOR_PREV_PAGE);
    EXPECT_TRUE(visible(kViewOverview));
    EXPECT_FALSE(visible(kViewBarGraph));
    EXPECT_TRUE(prev->isVisible());
    EXPECT_EQ(dialog.View(kViewOverview)->ViewWidget()->pos(),
              QPoint(kMonitorViewX, kMonitorViewY));

    ASSERT_TRUE(WaitUntil([&] { return dialog.Engine().Cycles() >= 1; }));
    chooser->setCurrentIndex(kViewLineGraph);
    emit chooser->activated(kViewLineGraph);
    EXPECT_TRUE(visible(kViewLineGraph));
    EXPECT_FALSE(visible(kViewOverview));
    EXPECT_FALSE(prev->isVisible());
    EXPECT_FALSE(dialog.Engine().Finished());
    EXPECT_EQ(data.load(), 2);

    // The worker now waits a minute for its next cycle: ESC ends it at once.
    QElapsedTimer clock;
    clock.start();
    PressEsc(dialog);
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_TRUE(dialog.Engine().Finished());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(LogLines().size(), 3u); // names, titles, one row
}

TEST_F(MonitorDlgTest, ProgressMessagesSwapTheButtonsForTheBar) {
    Controllers(1, 60);
    CMonitorDlg dialog(*master, 0, session);
    dialog.show();
    dialog.EnsureInitialized();
    auto* bar = FindControl<QProgressBar>(&dialog, IDC_MONITOR_PROGRESS);
    auto* logsButton = FindControl<QPushButton>(&dialog, IDC_MONITOR_LOGS);
    EXPECT_FALSE(bar->isVisible());
    dialog.OnProgressBegin(72);
    dialog.OnProgressPosition(5);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->maximum(), 72);
    EXPECT_EQ(bar->value(), 5);
    EXPECT_FALSE(logsButton->isVisible());
    dialog.OnProgressEnd();
    EXPECT_FALSE(bar->isVisible());
    EXPECT_TRUE(logsButton->isVisible());
}

TEST_F(MonitorDlgTest, LogsButtonHandsTheFolderOverOrSaysWhereItIs) {
    Controllers(1, 60);
    CMonitorDlg dialog(*master, 0, session);
    dialog.show();
    dialog.EnsureInitialized();
    auto* logsButton = FindControl<QPushButton>(&dialog, IDC_MONITOR_LOGS);
    const QString folder = QString::fromStdString(session.LogsDir());
    {
        CScopedDesktopOpener opener(kOpenerNotes);
        logsButton->click();
        ASSERT_TRUE(WaitUntil([&] { return !opener.Read("asked").isEmpty(); }));
        EXPECT_EQ(opener.Read("asked"), folder);
    }
    CScopedDesktopOpener opener(kOpenerFails);
    logsButton->click();
    ASSERT_TRUE(WaitUntil([&] { return !services.messages.empty(); }));
    EXPECT_TRUE(services.LastText().endsWith(folder)) << services.LastText().toStdString();
}

TEST_F(MonitorDlgTest, LogFileMessageIsPostedWhileTheWorkerGoesOn) {
    Controllers(2, 1);
    fs::remove_all(logs);
    std::ofstream(logs.string()) << "a file where the logs folder should be";
    CMonitorDlg dialog(*master, 2, session);
    dialog.show();
    dialog.EnsureInitialized();
    // The user-interface thread serves nothing here; a worker that waited for the box would
    // never finish its cycles.
    for (int i = 0; i < 500 && dialog.Engine().Cycles() < 2; ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_GE(dialog.Engine().Cycles(), 2u);
    EXPECT_TRUE(services.messages.empty());
    ASSERT_TRUE(WaitUntil([&] { return !services.messages.empty(); }));
    EXPECT_TRUE(services.messages[0].text.startsWith(
        QString::fromStdString("text 111\n\n" + logs.string() + "/")))
        << services.messages[0].text.toStdString();
    EXPECT_EQ(services.messages[0].icon, MbIcon::Stop);
    PressEsc(dialog);
    EXPECT_TRUE(dialog.Engine().Finished());
    fs::remove(logs);
}

TEST_F(MonitorDlgTest, LogFolderDeletedWhileRecordingIsShownOnceAndPollingGoesOn) {
    Controllers(2, 1);
    CMonitorDlg dialog(*master, kLogOneFile, session);
    dialog.show();
    dialog.EnsureInitialized();
    ASSERT_TRUE(WaitUntil([&] { return dialog.Engine().Cycles() >= 1; }));
    fs::remove_all(logs);
    const uint64_t cycles = dialog.Engine().Cycles();
    ASSERT_TRUE(WaitUntil([&] { return dialog.Engine().Cycles() >= cycles + 2; }));
    ASSERT_EQ(services.messages.size(), 1u);
    const std::string text = services.messages[0].text.toStdString();
    EXPECT_EQ(text.rfind("text 111\n\n" + logs.string() + "/", 0), 0u) << text;
    EXPECT_NE(text.find(".log: the file or its folder was deleted"), std::string::npos) << text;
    PressEsc(dialog);
}

TEST_F(MonitorDlgTest, ClosingServesACallbackThatWaitsForTheWindow) {
    Controllers(3, 60);
    CMonitorDlg dialog(*master, 0, session);
    std::atomic<bool> inCallback{false};
    std::atomic<int> uiCalls{0};
    // A subscriber that (wrongly) waits for the window on the worker: closing must still end.
    dialog.AddStartSubscriber([&](unsigned char address) {
        if (address != 2)
            return;
        inCallback = true;
        std::this_thread::sleep_for(100ms);
        CallOnUiBlocking(&dialog, [&] { ++uiCalls; });
    });
    dialog.show();
    dialog.EnsureInitialized();
    for (int i = 0; i < 500 && !inCallback; ++i)
        std::this_thread::sleep_for(10ms);
    ASSERT_TRUE(inCallback);
    PressEsc(dialog); // while the worker is inside controller 2's callbacks
    EXPECT_TRUE(dialog.Engine().Finished());
    EXPECT_EQ(uiCalls.load(), 1);
    EXPECT_EQ(dialog.Engine().Cycles(), 0u); // stopped mid-cycle: no row
}

TEST_F(MonitorDlgTest, EscDuringASilentControllersReadClosesAtOnceWithoutAFailedRead) {
    Controllers(3, 60);
    CMonitorDlg dialog(*master, 1, session);
    std::atomic<bool> reading{false};
    std::atomic<int> failed{0};
    dialog.AddStartSubscriber([&](unsigned char address) {
        if (address == 2) {
            bus->SetFault(2, sim::FaultKind::Silent);
            reading = true;
        }
    });
    dialog.AddErrorSubscriber([&](unsigned char) { ++failed; });
    dialog.show();
    dialog.EnsureInitialized();
    ASSERT_TRUE(WaitUntil([&] { return reading.load(); }));
    std::this_thread::sleep_for(100ms); // the read now waits for an answer that never comes
    QElapsedTimer clock;
    clock.start();
    PressEsc(dialog);
    EXPECT_LT(clock.elapsed(),
              (session.GetModel().GetBaseTimeout() + CTcpCommPort::kAnswerWindowMs) / 2);
    EXPECT_TRUE(dialog.Engine().Finished());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(failed.load(), 0) << "a stop is no failed read";
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(LogLines().size(), 2u); // names and titles: no row for the stopped cycle
}

TEST_F(MonitorDlgTest, ASubscribersFailureIsShownAndEndsMonitoring) {
    Controllers(1, 60);
    CMonitorDlg dialog(*master, 0, session);
    std::atomic<int> calls{0};
    dialog.AddDataSubscriber([&calls](unsigned char, short*, unsigned char*) {
        ++calls;
        throw std::runtime_error("the view's buffer is gone");
    });
    dialog.show();
    dialog.EnsureInitialized();
    ASSERT_TRUE(WaitUntil([&] { return !dialog.isVisible(); }));
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, "text 107");
    EXPECT_TRUE(dialog.Engine().Finished());
    EXPECT_EQ(calls.load(), 1);
}

TEST_F(MonitorDlgTest, ProbingSilentControllersLeavesTheWindowResponsive) {
    // Twenty addresses nobody answers: over TCP each probe costs seven seconds.
    std::vector<int32_t> enabled(20, 1);
    std::vector<uint8_t> address;
    for (int a = 101; a <= 120; ++a)
        address.push_back(static_cast<uint8_t>(a));
    ASSERT_TRUE(session.list.SetEntries(enabled, address, std::vector<std::string>(20, "x"),
                                        std::vector<std::string>(20, "F")));
    QElapsedTimer clock;
    clock.start();
    CMonitorDlg dialog(*master, 0, session);
    dialog.show();
    dialog.EnsureInitialized();
    EXPECT_LT(clock.elapsed(), 1000);
    // Still probing: the window answers its events meanwhile.
    bool served = false;
    PostToUi(&dialog, [&] { served = true; });
    ASSERT_TRUE(WaitUntil([&] { return served; }, 1000));
    EXPECT_FALSE(dialog.Engine().Finished());
    EXPECT_EQ(dialog.Engine().Cycles(), 0u);
    clock.restart();
    PressEsc(dialog); // ends after the probe in progress
    EXPECT_TRUE(dialog.Engine().Finished());
    EXPECT_LT(clock.elapsed(), 10000);
}

// The C locale of a user whose numbers have a decimal comma, as the program starts with
// under it, for the scope.
class CCommaLocale {
public:
    CCommaLocale() : previous(std::setlocale(LC_ALL, nullptr)) {
        active = std::setlocale(LC_ALL, "it_IT.UTF-8") != nullptr;
    }
    ~CCommaLocale() { std::setlocale(LC_ALL, previous.c_str()); }
    bool Active() const { return active; }

private:
    std::string previous;
    bool active = false;
};

TEST_F(MonitorDlgTest, CommandLineWritesTheSameFilesAsTheWindow) {
    Controllers(3, 60);
    session.list.name[1] = "Kiln/2"; // a name that is no file name as it stands
    bus->SetFault(3, sim::FaultKind::Exception, 1.0, 4);
    bus->At(1).SetRegister(32, 1);
    bus->At(2).SetRegister(32, 2);
    const fs::path windowLogs = logs / "window";
    session.logs = windowLogs.string() + "/";
    session.graphs = (logs / "graphs").string() + "/";
    fs::create_directories(session.graphs);
    {
        CCommaLocale comma;
        ASSERT_TRUE(comma.Active()) << "locale it_IT.UTF-8 missing: run scripts/setup.sh";
        char number[16];
        std::snprintf(number, sizeof number, "%.1f", 1.5);
        ASSERT_STREQ(number, "1,5");
        CMonitorDlg dialog(*master, kLogFilePerController, session);
        dialog.show();
        dialog.EnsureInitialized();
        ASSERT_TRUE(WaitUntil([&] { return dialog.Engine().Cycles() >= 1; }));
        PressEsc(dialog);
    }

    // The same list and log mode from a configuration file; the window's own period of a
    // minute is overridden, as is its folder.
    const fs::path config = logs / "monitor.TQ";
    int32_t fileMode = kLogFilePerController;
    session.list.period = 5;
    ASSERT_TRUE(SaveConfigurationFile(config.string(),
                                      ConfigurationParts{session.model, fileMode, session.list, {}})
                    .Ok());
    const fs::path cliLogs = logs / "cli";
    const ProgramResult run = RunProgram(TestBinary("calora-cli"),
                                         {"monitor", config.string(), "--tcp",
                                          "127.0.0.1:" + std::to_string(bus->TcpPort()), "--logs",
                                          cliLogs.string(), "--cycles", "1", "--period", "60"});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out.rfind("cycle 1: 2 read, 1 failed, ", 0), 0u) << run.out;

    const auto window = Recording(windowLogs);
    EXPECT_EQ(window.size(), 3u);
    EXPECT_TRUE(window.count("DAY/log-TIME/Kiln_2.log"));
    // Values with decimals, so a comma would show.
    EXPECT_NE(window.at("DAY/log-TIME/Kiln_2.log").find('.'), std::string::npos);
    EXPECT_EQ(Recording(cliLogs), window);
}

} // namespace
