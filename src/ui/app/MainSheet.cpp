#include "ui/app/MainSheet.h"

#include "core/model/TQControllerModel.h"
#include "core/platform/LanguageLibrary.h"
#include "ui/app/CaloraApp.h"
#include "ui/app/LanguageDlg.h"
#include "ui/framework/ControlHost.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/SheetPageHooks.h"
#include "ui/widgets/Artwork.h"

#include <QAbstractSpinBox>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
constexpr const char* kTitle = "Calora";

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

void CMainSheet::RefreshTexts() {
    RefreshMenuTexts();
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
