#include "ui/app/MainSheet.h"
#include "core/modbus/ModbusMaster.h"

#include "core/model/TQControllerModel.h"
#include "core/platform/LanguageLibrary.h"
#include "core/platform/SerialPortList.h"
#include "languages/StringIds.h"
#include "ui/app/AboutDlg.h"
#include "ui/app/CaloraApp.h"
#include "ui/app/LanguageDlg.h"
#include "ui/comm/BusTaskDlg.h"
#include "ui/comm/SerialSettingsDlg.h"
#include "ui/comm/TcpSettingsDlg.h"
#include "ui/framework/ControlHost.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/SheetPageHooks.h"
#include "ui/framework/TextProvider.h"
#include "ui/framework/UiServices.h"
#include "ui/widgets/Artwork.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
constexpr const char* kTitle = "Calora";
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

ISheetPageHooks* Hooks(IModelPage* page) {
    return dynamic_cast<ISheetPageHooks*>(page);
}

bool IsEditBox(const QWidget* widget) {
    return qobject_cast<const QLineEdit*>(widget) ||
           qobject_cast<const QAbstractSpinBox*>(widget) ||
           qobject_cast<const QPlainTextEdit*>(widget);
}
} // namespace

CMainSheet::CMainSheet(CCaloraApp& app) : QDialog(nullptr), app(app) {
    setWindowTitle(kTitle);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMinimizeButtonHint, true);

    language = std::make_unique<CLanguageSession>(app.AppDir(), app.Profile());
    CLanguageUi languageUi(nullptr);
    if (!language->LoadLanguage(languageUi))
        throw CLanguageLoadFailed{};
    app.CreatePages();

    tabs = new QTabWidget(this);
    tabs->setDocumentMode(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(7, 7, 7, 7);
    layout->addWidget(tabs);
    // A property sheet without Apply and Help: OK and Cancel both close it the way the close
    // command does, so the active page's values are kept either way.
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    for (QAbstractButton* button : buttons->buttons()) {
        auto* push = qobject_cast<QPushButton*>(button);
        push->setAutoDefault(false);
        push->setDefault(false);
        SetControlId(push,
                     buttons->buttonRole(button) == QDialogButtonBox::AcceptRole ? IDOK : IDCANCEL);
    }
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { CloseSheet(IDOK); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { CloseSheet(IDCANCEL); });
    layout->addWidget(buttons);
    connect(tabs, &QTabWidget::currentChanged, this, &CMainSheet::OnPageChanged);

    app.GetModel().AddPagesTo(*this);
    BuildMenus();
    layout->setMenuBar(menuBar);
    setWindowIcon(ProgramIcon());
    RefreshTexts();
}

CMainSheet::~CMainSheet() {
    // The pages belong to the model; take them off the tab widget before it is destroyed.
    while (tabs->count() > 0) {
        QWidget* page = tabs->widget(0);
        tabs->removeTab(0);
        page->setParent(nullptr);
    }
}

int CMainSheet::DoModal() {
    return exec();
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

void CMainSheet::RefreshTexts() {
    for (const CommandText& entry : kCommandTexts) {
        if (QAction* action = FindCommand(entry.id))
            action->setText(TextById(entry.stringId));
    }
    for (const auto& [stringId, menu] : popups)
        menu->setTitle(TextById(stringId));
    for (IModelPage* page : pages) {
        if (ISheetPageHooks* hooks = Hooks(page))
            hooks->UpdateLanguage(*this);
        if (auto* widget = dynamic_cast<QWidget*>(page)) {
            const int index = tabs->indexOf(widget);
            if (index >= 0)
                tabs->setTabText(index, widget->windowTitle());
        }
    }
    setWindowTitle(kTitle);
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

void CMainSheet::OnReadAll() {
    ActivePageToModel();
    try {
        if (!RunBusTask(kModeReadAll))
            return;
    } catch (const std::exception&) {
        MessageBoxId(this, IDS_TASK_NO_ANSWER, MbIcon::Exclamation);
        return;
    } catch (CModbusMaster::tErrorCom) {
        MessageBoxId(this, IDS_TASK_NO_ANSWER, MbIcon::Exclamation);
        return;
    }
    AllPagesFromModel();
}

void CMainSheet::OnWriteAll() {
    if (!ActivePageToModel())
        return;
    try {
        RunBusTask(kModeWriteAll);
    } catch (const std::exception&) {
        MessageBoxId(this, IDS_TASK_NO_ANSWER, MbIcon::Exclamation);
        return;
    } catch (CModbusMaster::tErrorCom) {
        MessageBoxId(this, IDS_TASK_NO_ANSWER, MbIcon::Exclamation);
        return;
    }
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

bool CMainSheet::ActivePageToModel() {
    IModelPage* page = GetActivePage();
    ISheetPageHooks* hooks = page ? Hooks(page) : nullptr;
    return hooks ? hooks->PageToModel() : true;
}

void CMainSheet::ActivePageFromModel() {
    IModelPage* page = GetActivePage();
    if (ISheetPageHooks* hooks = page ? Hooks(page) : nullptr)
        hooks->ModelToPage();
    if (QWidget* widget = tabs->currentWidget())
        widget->update();
}

void CMainSheet::AllPagesFromModel() {
    for (IModelPage* page : pages) {
        if (ISheetPageHooks* hooks = Hooks(page))
            hooks->ModelToPage();
    }
    if (QWidget* widget = tabs->currentWidget())
        widget->update();
}

void CMainSheet::AddPage(IModelPage* page) {
    auto* widget = dynamic_cast<QWidget*>(page);
    if (!widget || std::find(pages.begin(), pages.end(), page) != pages.end())
        return;
    pages.push_back(page);
    tabs->addTab(widget, widget->windowTitle());
}

void CMainSheet::RemovePage(IModelPage* page) {
    auto it = std::find(pages.begin(), pages.end(), page);
    if (it == pages.end())
        return;
    pages.erase(it);
    if (auto* widget = dynamic_cast<QWidget*>(page)) {
        const int index = tabs->indexOf(widget);
        if (index >= 0)
            tabs->removeTab(index);
        widget->setParent(nullptr);
    }
}

IModelPage* CMainSheet::GetActivePage() const {
    QWidget* current = tabs->currentWidget();
    for (IModelPage* page : pages) {
        if (dynamic_cast<QWidget*>(page) == current)
            return page;
    }
    return nullptr;
}

bool CMainSheet::SetActivePage(IModelPage* page) {
    auto* widget = dynamic_cast<QWidget*>(page);
    const int index = widget ? tabs->indexOf(widget) : -1;
    if (index < 0)
        return false;
    tabs->setCurrentIndex(index);
    return tabs->currentIndex() == index;
}

void CMainSheet::OnPageChanged(int index) {
    QWidget* entering = tabs->widget(index);
    QWidget* leaving = shownPage;
    if (leaving == entering)
        return;
    auto* leavingHooks = dynamic_cast<ISheetPageHooks*>(leaving);
    // A page taken off the sheet is not checked: it is no longer the user's to fix.
    const bool onSheet = leaving && tabs->indexOf(leaving) >= 0;
    if (onSheet && leavingHooks && !leavingHooks->PageToModel()) {
        const QSignalBlocker block(tabs);
        tabs->setCurrentWidget(leaving);
        return;
    }
    if (leavingHooks)
        leavingHooks->OnKillActive();
    // A page may refuse to be shown (the live page asks first): back to the one before.
    auto* enteringHooks = dynamic_cast<ISheetPageHooks*>(entering);
    if (onSheet && enteringHooks && !enteringHooks->OnSetActive()) {
        const QSignalBlocker block(tabs);
        tabs->setCurrentWidget(leaving);
        return;
    }
    shownPage = entering;
}

std::vector<IModelPage*> CMainSheet::GetPages() const {
    return pages;
}

void CMainSheet::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Escape) {
        QDialog::keyPressEvent(event);
        return;
    }
    // Enter and Esc belong to the page; they never close the sheet.
    if (IsEditBox(focusWidget())) {
        if (ISheetPageHooks* hooks = GetActivePage() ? Hooks(GetActivePage()) : nullptr) {
            if (key == Qt::Key_Escape)
                hooks->OnEditEscape();
            else
                hooks->OnEditEnter();
        }
    }
    event->accept();
}

void CMainSheet::reject() {
    // Esc reaches here only from outside an edit box; the sheet closes by its close command.
}

void CMainSheet::closeEvent(QCloseEvent* event) {
    event->accept();
    CloseSheet(IDCANCEL);
}

void CMainSheet::CloseSheet(int result) {
    // The values of the active page are kept whether or not they pass their checks.
    ActivePageToModel();
    // The page is left as the sheet closes: a live page ends its session here, while the
    // windows still stand, not in its destructor.
    if (ISheetPageHooks* hooks = GetActivePage() ? Hooks(GetActivePage()) : nullptr)
        hooks->OnKillActive();
    app.SaveSettings();
    done(result);
}

void CMainSheet::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) {
        if (ISheetPageHooks* hooks = GetActivePage() ? Hooks(GetActivePage()) : nullptr)
            hooks->OnSheetDeactivate();
    }
}
