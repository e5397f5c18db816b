#include "ui/app/MainSheetMenu.h"

#include "core/modbus/ModbusMaster.h"
#include "core/model/TQControllerModel.h"
#include "core/platform/SerialPortList.h"
#include "languages/StringIds.h"
#include "ui/app/AboutDlg.h"
#include "ui/app/CaloraApp.h"
#include "ui/app/LanguageDlg.h"
#include "ui/app/MainSheet.h"
#include "ui/comm/BusTaskDlg.h"
#include "ui/comm/SerialSettingsDlg.h"
#include "ui/comm/TcpSettingsDlg.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"
#include "ui/framework/UiServices.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>

#include <algorithm>

namespace {
constexpr const char* kTcpItem = "ModbusTCP";

// Menu commands whose text is a string of the language library.
struct CommandText {
    int id;
    int stringId;
};
constexpr CommandText kCommandTexts[] = {
    {ID_FILE_LOAD, IDS_MENU_LOAD_CONFIG},   {ID_FILE_SAVE, IDS_MENU_SAVE_CONFIG},
    {ID_READ_ALL, IDS_MENU_READ_ALL},       {ID_WRITE_ALL, IDS_MENU_WRITE_ALL},
    {ID_LANGUAGE, IDS_MENU_LANGUAGE},       {IDOK, IDS_MENU_EXIT},
    {ID_CONNECTION_SETTINGS, IDS_SETTINGS}, {ID_DETECT, IDS_MENU_DETECT},
    {ID_DETECT_LINE, IDS_MENU_DETECT_LINE}, {ID_ABOUT, IDS_MENU_ABOUT},
    {ID_HELP_FILE, IDS_MENU_HELP},
};
} // namespace

std::vector<SheetPort> FilterSheetPorts(std::vector<SheetPort> ports) {
    std::erase_if(ports, [](const SheetPort& p) {
        return p.name.size() < 4 || p.name.compare(0, 3, "COM") != 0 || p.name.back() != ':';
    });
    std::stable_sort(ports.begin(), ports.end(),
                     [](const SheetPort& a, const SheetPort& b) { return a.name < b.name; });
    return ports;
}

InterfaceChecks PlanInterfaceChecks(const std::vector<SheetPort>& ports, CommSettings& settings) {
    InterfaceChecks checks;
    const int items = std::min<int>(static_cast<int>(ports.size()), kMaxInterfacePorts);
    for (int i = 0; i < items; ++i) {
        if (settings.interface == kInterfaceSerial && settings.port == ports[i].name)
            checks.port = i;
    }
    if (checks.port >= 0)
        return checks;
    if (!ports.empty()) {
        // The menu names the first port even for TCP/IP, ready for a switch to serial.
        settings.port = ports[0].name;
        if (settings.interface != kInterfaceTcp) {
            settings.interface = kInterfaceSerial;
            checks.port = 0;
        } else {
            checks.tcp = true;
        }
    } else {
        settings.interface = kInterfaceTcp;
        checks.tcp = true;
    }
    return checks;
}

QAction* CMainSheet::AddCommand(QMenu* menu, int id, const QString& text) {
    QAction* action = menu->addAction(text);
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id, action] {
        // Check marks follow the settings and the model, not the click.
        if (action->actionGroup())
            SetCheckedInterface(interfaceChecks.port, interfaceChecks.tcp);
        else if (action->isCheckable())
            action->setChecked(!action->isChecked());
        OnCommand(id);
    });
    commands[id] = action;
    return action;
}

QAction* CMainSheet::FindCommand(int id) const {
    auto it = commands.find(id);
    return it == commands.end() ? nullptr : it->second;
}

void CMainSheet::BuildMenus() {
    menuBar = new QMenuBar(this);

    QMenu* first = menuBar->addMenu(QString());
    popups[IDS_MENU_FILE] = first;
    AddCommand(first, ID_FILE_LOAD)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    AddCommand(first, ID_FILE_SAVE)->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    first->addSeparator();
    AddCommand(first, ID_READ_ALL);
    AddCommand(first, ID_WRITE_ALL);
    first->addSeparator();
    AddCommand(first, ID_FAMILY_TQ100, kFamilyNameTQ100)->setCheckable(true);
    AddCommand(first, ID_FAMILY_TQ102_TQ402, kFamilyNameTQ102_TQ402)->setCheckable(true);
    first->addSeparator();
    AddCommand(first, ID_LANGUAGE);
    first->addSeparator();
    AddCommand(first, IDOK);

    QMenu* second = menuBar->addMenu(QString());
    popups[IDS_MENU_COMMUNICATION] = second;
    AddCommand(second, ID_CONNECTION_SETTINGS);
    second->addSeparator();
    AddCommand(second, ID_DETECT);
    AddCommand(second, ID_DETECT_LINE);
    menuBar->addSeparator();

    QMenu* help = menuBar->addMenu("?");
    AddCommand(help, ID_ABOUT);
    if (app.HasHelpFile())
        AddCommand(help, ID_HELP_FILE)->setShortcut(QKeySequence(Qt::Key_F1));

    for (QMenu* menu : {first, second, help})
        connect(menu, &QMenu::aboutToShow, this, &CMainSheet::UpdateCommandStates);

    BuildInterfaceMenu();
    second->insertMenu(second->actions().value(0), interfaceMenu);
}

void CMainSheet::BuildInterfaceMenu() {
    std::vector<SheetPort> listed;
    for (const SerialPortInfo& port : EnumerateSerialPorts(app.PortMapProfile()))
        listed.push_back({port.name, port.devicePath});
    portNames = FilterSheetPorts(std::move(listed));

    interfaceMenu = new QMenu(this);
    // One interface at a time: the items show as a radio group.
    auto* group = new QActionGroup(interfaceMenu);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    interfaceMenu->setToolTipsVisible(true);
    popups[IDS_MENU_INTERFACE] = interfaceMenu;
    connect(interfaceMenu, &QMenu::aboutToShow, this, &CMainSheet::UpdateCommandStates);

    const int items = std::min<int>(static_cast<int>(portNames.size()), kMaxInterfacePorts);
    for (int i = 0; i < items; ++i) {
        QAction* item = AddCommand(interfaceMenu, ID_INTERFACE_PORT_FIRST + i,
                                   QString::fromStdString(portNames[i].name));
        item->setCheckable(true);
        item->setActionGroup(group);
        item->setToolTip(QString::fromStdString(portNames[i].path));
    }
    if (!portNames.empty())
        interfaceMenu->addSeparator();
    QAction* tcp = AddCommand(interfaceMenu, ID_INTERFACE_TCP, kTcpItem);
    tcp->setCheckable(true);
    tcp->setActionGroup(group);

    const InterfaceChecks checks = PlanInterfaceChecks(portNames, app.settings);
    SetCheckedInterface(checks.port, checks.tcp);
}

void CMainSheet::SetCheckedInterface(int portIndex, bool tcp) {
    interfaceChecks = {portIndex, tcp};
    for (int i = 0; i < kMaxInterfacePorts; ++i) {
        if (QAction* item = FindCommand(ID_INTERFACE_PORT_FIRST + i))
            item->setChecked(i == portIndex);
    }
    FindCommand(ID_INTERFACE_TCP)->setChecked(tcp);
}

void CMainSheet::RefreshMenuTexts() {
    for (const CommandText& entry : kCommandTexts) {
        if (QAction* action = FindCommand(entry.id))
            action->setText(TextById(entry.stringId));
    }
    for (const auto& [stringId, menu] : popups)
        menu->setTitle(TextById(stringId));
}

void CMainSheet::UpdateCommandStates() {
    const bool enabled = menusEnabled != 0;
    for (const auto& [id, action] : commands)
        action->setEnabled(enabled);
    if (app.settings.interface == kInterfaceTcp)
        FindCommand(ID_DETECT_LINE)->setEnabled(false);
    // Until configuration files are plugged in, the file commands would do nothing.
    if (!fileCommand) {
        FindCommand(ID_FILE_LOAD)->setEnabled(false);
        FindCommand(ID_FILE_SAVE)->setEnabled(false);
    }
    const ModelFamily family = app.GetModel().GetFamily();
    FindCommand(ID_FAMILY_TQ100)->setChecked(family == TQ100);
    FindCommand(ID_FAMILY_TQ102_TQ402)->setChecked(family == TQ102_TQ402);
}

void CMainSheet::OnCommand(int id) {
    if (menusEnabled == 0)
        return;
    if (id >= ID_INTERFACE_PORT_FIRST && id < ID_INTERFACE_PORT_FIRST + kMaxInterfacePorts) {
        OnPortCommand(id - ID_INTERFACE_PORT_FIRST);
        return;
    }
    switch (id) {
    case ID_FILE_LOAD:
    case ID_FILE_SAVE:
        if (fileCommand)
            fileCommand(id);
        break;
    case ID_READ_ALL:
        OnReadAll();
        break;
    case ID_WRITE_ALL:
        OnWriteAll();
        break;
    case ID_DETECT:
        OnDetect(kModeScanAddress);
        break;
    case ID_DETECT_LINE:
        if (app.settings.interface != kInterfaceTcp)
            OnDetect(kModeScanLine);
        break;
    case ID_FAMILY_TQ100:
    case ID_FAMILY_TQ102_TQ402:
        OnFamilyCommand(id);
        break;
    case ID_LANGUAGE: {
        CLanguageUi languageUi(this);
        language->ChooseLanguage(languageUi);
        RefreshTexts();
        break;
    }
    case IDOK:
        close();
        break;
    case ID_INTERFACE_TCP:
        OnTcpCommand();
        break;
    case ID_CONNECTION_SETTINGS:
        OnConnectionSettings();
        break;
    case ID_ABOUT:
        OnAbout();
        break;
    case ID_HELP_FILE:
        app.OpenHelp(this);
        break;
    default:
        break;
    }
}

void CMainSheet::OnPortCommand(int index) {
    if (index < 0 || index >= static_cast<int>(portNames.size()))
        return;
    const std::string& name = portNames[index].name;
    if (FindCommand(ID_INTERFACE_TCP)->isChecked()) {
        if (!RunSerialSettings(name))
            return;
        app.settings.interface = kInterfaceSerial;
    }
    SetCheckedInterface(index, false);
    app.settings.port = name;
    app.SaveSettings();
}

void CMainSheet::OnTcpCommand() {
    QAction* tcp = FindCommand(ID_INTERFACE_TCP);
    if (tcp->isChecked())
        return;
    if (!RunTcpSettings())
        return;
    app.settings.interface = kInterfaceTcp;
    SetCheckedInterface(-1, true);
    app.SaveSettings();
}

void CMainSheet::OnConnectionSettings() {
    bool confirmed = false;
    if (app.settings.interface == kInterfaceTcp)
        confirmed = RunTcpSettings();
    else if (app.settings.interface == kInterfaceSerial)
        confirmed = RunSerialSettings(app.settings.port);
    if (confirmed)
        app.SaveSettings();
}

bool CMainSheet::RunSerialSettings(const std::string& portName) {
    CommSettings& s = app.settings;
    CSerialSettingsDlg dialog(QString::fromStdString(portName), s.baudIndex, s.parityIndex,
                              s.address, menusEnabled, this);
    if (dialog.DoModal() != IDOK)
        return false;
    s.baudIndex = static_cast<uint16_t>(dialog.BaudIndex());
    s.parityIndex = static_cast<uint16_t>(dialog.ParityIndex());
    s.address = static_cast<uint16_t>(dialog.Address());
    return true;
}

bool CMainSheet::RunTcpSettings() {
    CommSettings& s = app.settings;
    CTcpSettingsDlg dialog(kTcpItem, s.ip, s.ipPort, s.address, menusEnabled, this);
    if (dialog.DoModal() != IDOK)
        return false;
    s.ip = dialog.Ip();
    s.ipPort = dialog.Port();
    s.address = static_cast<uint16_t>(dialog.Address());
    return true;
}

bool CMainSheet::RunBusTask(int mode) {
    CBusTaskDlg dialog(mode, this, app.settings, app.GetModel(),
                       [this](int command) { OnFamilyCommand(command); });
    if (busTaskHook)
        busTaskHook(dialog);
    return dialog.DoModal() == IDOK;
}

std::optional<bool> CMainSheet::RunTransfer(int mode) {
    try {
        return RunBusTask(mode);
    } catch (const std::exception&) {
    } catch (CModbusMaster::tErrorCom) {
    }
    MessageBoxId(this, IDS_TASK_NO_ANSWER, MbIcon::Exclamation);
    return std::nullopt;
}

void CMainSheet::OnReadAll() {
    ActivePageToModel();
    if (RunTransfer(kModeReadAll).value_or(false))
        AllPagesFromModel();
}

void CMainSheet::OnWriteAll() {
    if (!ActivePageToModel())
        return;
    // Whatever the task's end, the page shows the model again.
    if (RunTransfer(kModeWriteAll))
        ActivePageFromModel();
}

void CMainSheet::OnDetect(int scanMode) {
    if (!ActivePageToModel())
        return;
    if (!RunBusTask(scanMode))
        return;
    if (!RunBusTask(kModeReadAll))
        return;
    // The whole image was replaced: every page shows it, not only the active one.
    AllPagesFromModel();
}

void CMainSheet::OnFamilyCommand(int id) {
    app.GetModel().SetFamily(this, id == ID_FAMILY_TQ100 ? TQ100 : TQ102_TQ402);
    RefreshTexts();
    UpdateCommandStates();
}

void CMainSheet::OnAbout() {
    CAboutDlg about(this);
    about.DoModal();
}
