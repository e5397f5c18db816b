#include "ui/app/LanguageDlg.h"

#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"
#include "ui/framework/UiServices.h"

#include <QComboBox>
#include <QMetaObject>
#include <QPushButton>
#include <QSettings>

namespace {

// The buttons read in the language in use; at the first start there is none yet.
QString ButtonText(int stringId, const char* fallback) {
    std::optional<std::string> text = FindText(stringId);
    return QString::fromStdString(text ? *text : fallback);
}

} // namespace

CLanguageDlg::CLanguageDlg(std::string languagesDir, std::string currentPath, bool cancelAllowed,
                           QWidget* parent, ProfileWriter writer)
    : CDialogBase(IDD_LANGUAGE, parent), languagesDir(std::move(languagesDir)),
      currentPath(std::move(currentPath)), cancelAllowed(cancelAllowed),
      writer(writer ? std::move(writer) : ProfileWriter(WriteLanguageDllToProfile)) {
    // The title is fixed: no language may be loaded yet.
    setWindowTitle(QStringLiteral("Language"));
    SetClientSize(150, 54);
    list = AddControl<QComboBox>(IDC_LANGUAGE_LIST, 10, 10, 130, 14);
    AddButton(IDOK, ButtonText(IDS_OK, "OK"), 17, 32, 54, 14, true);
    AddButton(IDCANCEL, ButtonText(IDS_CANCEL, "Cancel"), 79, 32, 54, 14);
}

void CLanguageDlg::OnInitDialog() {
    CDialogBase::OnInitDialog();
    int current = -1;
    for (const LanguageListEntry& entry : ListLanguages(languagesDir)) {
        int index = static_cast<int>(paths.size());
        paths.push_back(entry.path);
        list->addItem(QString::fromStdString(entry.name), index);
        if (entry.path == currentPath) {
            current = list->count() - 1;
        }
    }
    if (list->count() == 0) {
        MessageBoxText(this, QString::fromLatin1(kMsgLanguageDllsNotFound), MbIcon::Stop);
        closedAtOpen = true;
        // Ends once the modal loop runs; ending from inside the first show would be lost.
        QMetaObject::invokeMethod(
            this, [this] { EndDialog(IDCANCEL); }, Qt::QueuedConnection);
        return;
    }
    list->setCurrentIndex(current >= 0 ? current : 0);
    EnableControl(IDCANCEL, cancelAllowed);
}

void CLanguageDlg::OnOK() {
    chosenPath.clear();
    if (list->currentIndex() >= 0) {
        int index = list->currentData().toInt();
        if (index >= 0 && index < static_cast<int>(paths.size())) {
            chosenPath = paths[static_cast<size_t>(index)];
        }
    }
    if (!chosenPath.empty() && !writer(chosenPath)) {
        MessageBoxText(this, QString::fromLatin1(kMsgCannotWriteRegister), MbIcon::Stop);
    }
    EndDialog(IDOK);
}

bool WriteLanguageDllToProfile(const std::string& path) {
    QSettings settings(QStringLiteral("Norvane"), QStringLiteral("Calora"));
    if (!settings.isWritable()) {
        return false;
    }
    settings.setValue(QString::fromLatin1(kLanguageDllKey), QString::fromStdString(path));
    settings.sync();
    return settings.status() == QSettings::NoError;
}

std::optional<std::string> RunLanguageSelection(QWidget* parent, const std::string& languagesDir,
                                                const std::string& currentPath, bool cancelAllowed,
                                                CLanguageDlg::ProfileWriter writer) {
    CLanguageDlg dialog(languagesDir, currentPath, cancelAllowed, parent, std::move(writer));
    dialog.EnsureInitialized();
    if (dialog.ClosedAtOpen() || dialog.DoModal() != IDOK) {
        return std::nullopt;
    }
    return dialog.ChosenPath();
}

void InstallLanguageTexts() {
    SetTextProvider([](int stringId) { return FindText(stringId); });
}

CLanguageUi::CLanguageUi(QWidget* parent, CLanguageDlg::ProfileWriter writer)
    : parent(parent), writer(std::move(writer)) {
    InstallLanguageTexts();
}

void CLanguageUi::ShowMessage(const std::string& text, Icon icon) {
    MessageBoxText(parent, QString::fromStdString(text),
                   icon == Icon::Warning ? MbIcon::Exclamation : MbIcon::Stop);
}

std::optional<std::string> CLanguageUi::SelectLanguage(const std::string& languagesDir,
                                                       const std::string& currentPath,
                                                       bool cancelAllowed) {
    return RunLanguageSelection(parent, languagesDir, currentPath, cancelAllowed, writer);
}
