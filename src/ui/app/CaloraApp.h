#pragma once

#include "core/tasks/AppSession.h"
#include "core/tasks/CommSettings.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class CConfigurationCommands;
class CControllerList;
class CTQControllerModel;
class CModbusMaster;
class CMainSheet;
class CPageSet;
class IProfileStore;
class QWidget;

// The application object: owns the connection settings, the controller model and the
// monitoring list for the whole run, builds Modbus masters on request and runs the main sheet.
class CCaloraApp : public ISession {
public:
    struct Options {
        // Run against a simulated bus over loopback TCP; the saved connection settings are
        // neither read nor written.
        bool demo = false;
        // Starts the demo bus and returns its TCP port on 127.0.0.1, or 0 when it could not
        // start. The program supplies it; the bus lives as long as the program.
        std::function<uint16_t()> startDemoBus;
        // How long the splash stays; 0 shows none (tests).
        int splashMs = 3000;
    };

    // executablePath: the program file. Creates "logs" and "gf" (see DataDir).
    CCaloraApp(const std::string& executablePath, Options options);
    explicit CCaloraApp(const std::string& executablePath)
        : CCaloraApp(executablePath, Options{}) {}
    ~CCaloraApp();
    CCaloraApp(const CCaloraApp&) = delete;
    CCaloraApp& operator=(const CCaloraApp&) = delete;

    // The whole run: start, the modal sheet, the end. Returns the process exit code.
    int Run();

    // The steps of Run, for callers that drive the sheet themselves (tests).
    // Start: reads the profile (or starts the demo bus). False when the demo bus cannot start.
    bool InitInstance();
    // Builds the configuration pages (unless pages were given to the model before) and the
    // sheet that shows them; nullptr when the language library could not be loaded (its
    // message has been shown).
    CMainSheet* BuildSheet();
    // The configuration pages, made once the language library is loaded (their texts and the
    // monitoring list's default names come from it), unless pages were given to the model.
    void CreatePages();
    // Destroys the sheet, the model and the monitoring list, writes the settings back (not in demo
    // mode).
    void ExitInstance();
    // Writes the connection settings to the profile now (not in demo mode): done whenever the
    // user confirms them, so a run that ends abnormally keeps them.
    void SaveSettings();

    CommSettings& Settings() override { return settings; }
    CTQControllerModel& GetModel() override;
    bool HasModel() const { return model != nullptr; }
    // New entries are named after the language in use when the list is first asked for.
    CControllerList& MonitorList() override;
    bool HasMonitorList() const { return monitorList != nullptr; }
    int32_t& LogMode() override { return logMode; }
    // A master for the current settings, or none (see the free CreateMaster).
    std::unique_ptr<CModbusMaster> CreateMaster() const override;

    // Folder of the executable, with the trailing separator.
    const std::string& AppDir() const { return appDir; }
    // Folder holding "logs" and "gf": the executable's folder, or the per-user data folder
    // when that one is not writable. With the trailing separator.
    const std::string& DataDir() const { return dataDir; }
    std::string LogsDir() const override { return dataDir + "logs/"; }
    std::string GraphsDir() const override { return dataDir + "gf/"; }

    // The help file: the user guide, the executable's path + ".html".
    const std::string& HelpFile() const { return helpFile; }
    bool HasHelpFile() const;
    // Opens the help file with the desktop's browser; a message owned by `parent` says where
    // it is when no browser takes it.
    void OpenHelp(QWidget* parent) const;

    bool IsDemo() const { return options.demo; }
    // TCP port of the demo bus, 0 when none runs.
    uint16_t DemoPort() const { return demoPort; }

    CMainSheet* Sheet() const { return sheet.get(); }

    // The user profile (language, port numbers; the connection settings outside demo mode).
    IProfileStore& Profile() { return *profile; }
    // Where the serial port numbers are kept: the profile, or a scratch store in demo mode.
    IProfileStore& PortMapProfile() { return options.demo ? *scratchProfile : *profile; }

    CommSettings settings;
    int32_t logMode = 0;

private:
    bool StartDemoBus();
    // The sheet, then the pages it showed.
    void DestroyWindows();
    void ShowSplash();

    Options options;
    std::string appDir;
    std::string dataDir;
    std::string helpFile;
    std::unique_ptr<CTQControllerModel> model;
    std::unique_ptr<CPageSet> pageSet;
    std::unique_ptr<CControllerList> monitorList;
    std::unique_ptr<CMainSheet> sheet;
    std::unique_ptr<CConfigurationCommands> configurationCommands; // the sheet's Open and Save
    std::unique_ptr<IProfileStore> profile;
    std::unique_ptr<IProfileStore> scratchProfile;
    uint16_t demoPort = 0;
};

// Chooses the folder for "logs" and "gf": appDir when it is writable, else perUserDir.
// Both folders are created there; failures are ignored. Returns the chosen folder.
std::string PrepareDataFolders(const std::string& appDir, const std::string& perUserDir);
