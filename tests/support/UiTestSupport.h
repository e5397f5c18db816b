#pragma once

#include "ui/app/CaloraApp.h"
#include "ui/comm/BusTaskDlg.h"

#include <QString>

namespace sim {
class SimBus;
}

#include <ostream>

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Folder of the built program and its Languages/ (CALORA_TEST_BIN).
std::string TestBinDir();
// Stores the language library of that name ("English", "Italiano") as the user's choice.
void UseLanguage(const std::string& name);
// Clears the connection settings and port numbers from the test profile.
void ClearConnectionProfile();

// An application object as the program builds it, without splash.
std::unique_ptr<CCaloraApp> MakeApp(bool demo, std::shared_ptr<sim::SimBus>* demoBus = nullptr);

// What one bus-task dialog showed, recorded when it closed.
struct BusTaskRecord {
    int mode = 0;
    QString status;
    QString title;
    QString button;
    int progress = 0;
    int progressMax = 0;
};

// Gives every bus-task dialog the sheet runs a watcher that presses its button once the
// task has ended (Close), so command chains run without a person; records each dialog.
// cancelAfterMs > 0 presses the button that long after the start instead (Cancel), then
// again to close.
void AutoCloseBusTasks(CMainSheet& sheet, std::vector<BusTaskRecord>& records,
                       int cancelAfterMs = 0);

// Runs `fn` every few milliseconds until it returns true or the time is up; false on time-out.
bool WaitUntil(const std::function<bool()>& fn, int timeoutMs = 10000);

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
