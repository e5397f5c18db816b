#include "ui/app/CaloraApp.h"

#include "core/platform/MemoryProfileStore.h"

#include "core/modbus/ModbusMaster.h"
#include "core/model/ControllerList.h"
#include "core/model/TQControllerModel.h"
#include "languages/StringIds.h"
#include "ui/app/ConfigurationCommands.h"
#include "ui/app/MainSheet.h"
#include "ui/app/SplashDlg.h"
#include "ui/framework/DesktopOpener.h"
#include "ui/framework/QtProfileStore.h"
#include "ui/framework/TextProvider.h"
#include "ui/pages/PageSet.h"

#include <QStandardPaths>

#include <cstdio>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string WithSeparator(std::string dir) {
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    return dir;
}

std::string PerUserDataDir() {
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return WithSeparator(base.toStdString()) + "Norvane/Calora/";
}

// The demo bus holds controllers 1 to 72 (odd ones TQ100, even ones ZI102-VA402); address 1
// answers a scan at once.
constexpr uint8_t kDemoFirstAddress = 1;
constexpr const char* kDemoPortName = "COM1:";
} // namespace

std::string PrepareDataFolders(const std::string& appDir, const std::string& perUserDir) {
    std::error_code ignored;
    std::string dir = appDir;
    if (::access(appDir.c_str(), W_OK) != 0) {
        dir = perUserDir;
        fs::create_directories(dir, ignored);
    }
    fs::create_directory(dir + "logs", ignored);
    fs::create_directory(dir + "gf", ignored);
    return dir;
}

CCaloraApp::CCaloraApp(const std::string& executablePath, Options options) : options(options) {
    const fs::path exe = fs::absolute(fs::path(executablePath));
    appDir = WithSeparator(exe.parent_path().string());
    helpFile = exe.string() + ".html"; // the user guide, opened in the browser
    dataDir = PrepareDataFolders(appDir, PerUserDataDir());
    settings.address = 0;
    settings.baudIndex = 3;
    settings.parityIndex = 0;
}

CCaloraApp::~CCaloraApp() {
    DestroyWindows();
    model.reset();
    monitorList.reset();
}

void CCaloraApp::DestroyWindows() {
    sheet.reset();
    configurationCommands.reset();
    if (pageSet) {
        pageSet.reset();
        if (model)
            model->SetPages({});
    }
}

bool CCaloraApp::InitInstance() {
    profile = std::make_unique<CQtProfileStore>();
    scratchProfile = std::make_unique<CMemoryProfileStore>();
    if (options.demo)
        return StartDemoBus();
    settings.Load(*profile);
    return true;
}

bool CCaloraApp::StartDemoBus() {
    demoPort = options.startDemoBus ? options.startDemoBus() : 0;
    if (demoPort == 0)
        return false;
    // The connection goes to the demo bus; the saved settings are not read.
    settings = CommSettings{};
    settings.interface = kInterfaceTcp;
    settings.ip = "127.0.0.1";
    settings.ipPort = demoPort;
    settings.address = kDemoFirstAddress;
    // Named as the interface menu would, though TCP/IP itself needs no port.
    settings.port = kDemoPortName;
    return true;
}

void CCaloraApp::CreatePages() {
    const TQModelPages& given = GetModel().GetPageSlots();
    const bool pagesGiven = given.configuration || given.inputOutput || given.retransmission ||
                            given.multipleControllers || given.parameters;
    if (pageSet || pagesGiven)
        return;
    // A transfer started from a page switches the family through the sheet.
    auto familyCommand = [this](int command) {
        if (sheet)
            sheet->OnFamilyCommand(command);
    };
    pageSet = std::make_unique<CPageSet>(CPageContext{*this, familyCommand});
    GetModel().SetPages(pageSet->Slots());
}

CMainSheet* CCaloraApp::BuildSheet() {
    try {
        sheet = std::make_unique<CMainSheet>(*this);
        configurationCommands = std::make_unique<CConfigurationCommands>(*sheet, *this);
        sheet->SetFileCommand([this](int id) { configurationCommands->OnCommand(id); });
    } catch (const CLanguageLoadFailed&) {
        // Its message has been shown; the program ends without a window.
        sheet.reset();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "calora: the main window could not be built: %s\n", e.what());
        sheet.reset();
    }
    return sheet.get();
}

int CCaloraApp::Run() {
    if (!InitInstance()) {
        std::fprintf(stderr, "calora: the demo bus could not be started\n");
        return 1;
    }
    ShowSplash();
    if (BuildSheet())
        sheet->DoModal();
    const bool started = sheet != nullptr;
    ExitInstance();
    return started ? 0 : 1;
}

void CCaloraApp::ExitInstance() {
    DestroyWindows();
    model.reset();
    monitorList.reset();
    SaveSettings();
}

void CCaloraApp::SaveSettings() {
    if (!profile || options.demo)
        return;
    settings.Store(*profile);
    if (auto* qt = dynamic_cast<CQtProfileStore*>(profile.get()))
        qt->Flush();
}

CTQControllerModel& CCaloraApp::GetModel() {
    if (!model)
        model = std::make_unique<CTQControllerModel>();
    return *model;
}

CControllerList& CCaloraApp::MonitorList() {
    if (!monitorList)
        monitorList = std::make_unique<CControllerList>(TextByIdUtf8(IDS_DEFAULT_ZONE_NAME));
    return *monitorList;
}

std::unique_ptr<CModbusMaster> CCaloraApp::CreateMaster() const {
    return ::CreateMaster(settings);
}

bool CCaloraApp::HasHelpFile() const {
    std::error_code ignored;
    return fs::is_regular_file(helpFile, ignored);
}

void CCaloraApp::OpenHelp(QWidget* parent) const {
    OpenOnDesktop(parent, QString::fromStdString(helpFile));
}

void CCaloraApp::ShowSplash() {
    if (options.splashMs <= 0)
        return;
    CSplashDlg splash(options.splashMs);
    splash.DoModal();
}
