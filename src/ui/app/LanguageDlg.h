#pragma once

#include "core/platform/LanguageLibrary.h"
#include "ui/framework/DialogBase.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class QComboBox;

// Template and control of the language selection dialog.
inline constexpr int IDD_LANGUAGE = 105;
inline constexpr int IDC_LANGUAGE_LIST = 1043;

// Lists the language libraries of a folder by their language names and lets the user pick
// one. On OK the chosen path is stored in the profile at once.
class CLanguageDlg : public CDialogBase {
    Q_OBJECT
public:
    // Stores the chosen path under "LanguageDll"; false when the profile could not be written.
    using ProfileWriter = std::function<bool(const std::string& path)>;

    // An empty writer stores into the user profile (WriteLanguageDllToProfile).
    CLanguageDlg(std::string languagesDir, std::string currentPath, bool cancelAllowed,
                 QWidget* parent = nullptr, ProfileWriter writer = {});

    // After OK: the chosen library's path, "" when nothing was selected.
    const std::string& ChosenPath() const { return chosenPath; }
    // True when the folder held no library: the dialog ended as cancelled while opening.
    bool ClosedAtOpen() const { return closedAtOpen; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    std::string languagesDir;
    std::string currentPath;
    bool cancelAllowed;
    ProfileWriter writer;
    std::vector<std::string> paths; // each list item's data is its index here
    std::string chosenPath;
    bool closedAtOpen = false;
    QComboBox* list = nullptr;
};

// Writes "LanguageDll" to the user profile now; false when the profile could not be written.
bool WriteLanguageDllToProfile(const std::string& path);

// Runs the selection dialog modally. The chosen path ("" when nothing was selected), or none
// when it ended with Cancel (also when the folder held no library).
std::optional<std::string> RunLanguageSelection(QWidget* parent, const std::string& languagesDir,
                                                const std::string& currentPath, bool cancelAllowed,
                                                CLanguageDlg::ProfileWriter writer = {});

// Makes the windows' texts by string number come from the active language library.
void InstallLanguageTexts();

// The language session's messages and selection dialog as windows, over `parent`.
// Constructing one installs the language texts (InstallLanguageTexts).
class CLanguageUi : public ILanguageUi {
public:
    explicit CLanguageUi(QWidget* parent, CLanguageDlg::ProfileWriter writer = {});

    void ShowMessage(const std::string& text, Icon icon) override;
    std::optional<std::string> SelectLanguage(const std::string& languagesDir,
                                              const std::string& currentPath,
                                              bool cancelAllowed) override;

private:
    QWidget* parent;
    CLanguageDlg::ProfileWriter writer;
};
