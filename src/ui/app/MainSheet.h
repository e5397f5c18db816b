#pragma once

#include "core/model/ModelPage.h"
#include "ui/app/MainSheetMenu.h"
#include "ui/framework/SheetPageHooks.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CBusTaskDlg;
class CCaloraApp;
class CLanguageSession;
class QAction;
class QMenu;
class QMenuBar;
class QTabWidget;

// Thrown by the constructor when no language library could be loaded; its message has been
// shown already and the program ends.
struct CLanguageLoadFailed {};

// The main window: a modal sheet titled "Calora" holding the model's pages, with the menu bar
// that chooses the family and the interface and starts the transfers.
class CMainSheet : public QDialog, public IPropertySheet, public ISheetHost {
    Q_OBJECT
public:
    // Loads the language library (throws CLanguageLoadFailed), adds the model's pages, builds
    // the menus from the serial port list and shows every text.
    explicit CMainSheet(CCaloraApp& app);
    ~CMainSheet() override;

    // Menu commands, by id; ignored while menus are disabled.
    void OnCommand(int id);
    // The family command a transfer sends (ID_FAMILY_TQ100 or ID_FAMILY_TQ102_TQ402). It is
    // carried out even while menus are disabled: the transfer reads the new family's count.
    void OnFamilyCommand(int id);
    // Menu texts, every page's texts and the title, from the language library.
    void RefreshTexts();
    // Re-evaluates every command's enabled and checked state (done when a menu opens).
    void UpdateCommandStates();

    // 0 disables every menu command (the live view of the parameters page). The states are
    // brought up to date at once, as the commands' keys work without opening a menu.
    void SetMenusEnabled(int enabled) override {
        menusEnabled = enabled;
        if (menuBar)
            UpdateCommandStates();
    }
    int MenusEnabled() const { return menusEnabled; }

    // IDOK or IDCANCEL.
    int DoModal();

    // Menus as built, for callers that drive the sheet by command id.
    QAction* FindCommand(int id) const;
    QMenuBar* MenuBar() const { return menuBar; }
    QMenu* InterfaceMenu() const { return interfaceMenu; }
    const std::vector<SheetPort>& PortNames() const { return portNames; }

    // IPropertySheet
    void AddPage(IModelPage* page) override;
    void RemovePage(IModelPage* page) override;
    IModelPage* GetActivePage() const override;
    bool SetActivePage(IModelPage* page) override;
    std::vector<IModelPage*> GetPages() const override;

    // The active page's values into the model; false (the page has complained) when one is
    // refused.
    bool ActivePageToModel();
    // The model's values onto the active page, or onto every page, and redisplayed.
    void ActivePageFromModel();
    void AllPagesFromModel() override;

    // Load and save of configuration files, supplied by their owner (no-op until then).
    void SetFileCommand(std::function<void(int id)> handler) { fileCommand = std::move(handler); }
    // Called with every bus-task dialog before it runs (tests give it a master factory).
    void SetBusTaskHook(std::function<void(CBusTaskDlg&)> hook) { busTaskHook = std::move(hook); }

    CLanguageSession& Language() const { return *language; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // OK, Cancel and the close command: the active page's values are taken, then the sheet ends.
    void CloseSheet(int result);
    void changeEvent(QEvent* event) override;
    void reject() override;

private:
    // Menus and command dispatch live in MainSheetMenu.cpp, the pages in MainSheet.cpp.
    void BuildMenus();
    void BuildInterfaceMenu();
    QAction* AddCommand(QMenu* menu, int id, const QString& text = {});
    void SetCheckedInterface(int portIndex, bool tcp);
    void RefreshMenuTexts();

    void OnPortCommand(int index);
    void OnTcpCommand();
    void OnConnectionSettings();
    // Returns true when the dialog ended with OK (settings taken over).
    bool RunSerialSettings(const std::string& portName);
    bool RunTcpSettings();
    void OnReadAll();
    void OnWriteAll();
    void OnDetect(int scanMode);
    // Runs the bus-task dialog; true when it ended with OK.
    bool RunBusTask(int mode);
    // A read or write of all parameters. A failure that escapes the task is told as no
    // answer and gives nullopt; otherwise whether the task ended with OK.
    std::optional<bool> RunTransfer(int mode);
    void OnAbout();

    // A page is left only when its fields pass their checks; otherwise it stays shown.
    void OnPageChanged(int index);

    CCaloraApp& app;
    std::unique_ptr<CLanguageSession> language;
    std::function<void(int)> fileCommand;
    std::function<void(CBusTaskDlg&)> busTaskHook;
    QMenuBar* menuBar = nullptr;
    QMenu* interfaceMenu = nullptr;
    QTabWidget* tabs = nullptr;
    QPointer<QWidget> shownPage;
    std::map<int, QAction*> commands;
    std::map<int, QMenu*> popups; // by title string id
    std::vector<IModelPage*> pages;
    std::vector<SheetPort> portNames;
    InterfaceChecks interfaceChecks;
    int menusEnabled = 1;
};
