#include "ui/app/ConfigurationCommands.h"

#include "core/model/ControllerList.h"
#include "core/tasks/AppSession.h"
#include "core/tasks/ConfigurationFile.h"
#include "languages/StringIds.h"
#include "ui/app/MainSheet.h"
#include "ui/framework/FileError.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"
#include "ui/framework/UiServices.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString MenuCaption(int stringId) {
    QString text = TextById(stringId);
    text.remove('&');
    if (text.endsWith("..."))
        text.chop(3);
    return text.trimmed();
}

} // namespace

CConfigurationCommands::CConfigurationCommands(CMainSheet& sheet, ISession& session)
    : sheet(sheet), session(session), folder(QDir::currentPath()) {}

void CConfigurationCommands::OnCommand(int id) {
    if (id == ID_FILE_LOAD)
        Load();
    else if (id == ID_FILE_SAVE)
        Save();
}

QString CConfigurationCommands::InitialPath() const {
    return QDir(folder).filePath(TextById(IDS_CONFIG_FILE_STEM) + ".TQ");
}

QString CConfigurationCommands::Filter() const {
    // Both spellings, so files named on either platform are listed.
    return TextById(IDS_CONFIG_FILE_FILTER) + "(*.TQ *.tq)";
}

void CConfigurationCommands::Remember(const QString& path) {
    folder = QFileInfo(path).absolutePath();
}

void CConfigurationCommands::Save() {
    // The page's fields are checked (and taken) before anything is asked.
    if (!sheet.ActivePageToModel())
        return;
    // The dialog adds the extension to a bare name itself, so its question about replacing
    // a file is about the file written.
    const QString path = UiServices().GetSaveFileName(&sheet, MenuCaption(IDS_MENU_SAVE_CONFIG),
                                                      InitialPath(), Filter(), "TQ");
    if (path.isEmpty())
        return;
    Remember(path);

    const ConfigurationParts parts{session.GetModel(), session.LogMode(), session.MonitorList(),
                                   nullptr};
    const std::string file = path.toStdString();
    const ConfigurationFileResult result = SaveConfigurationFile(file, parts);
    switch (result.outcome) {
    case ConfigurationFileResult::done:
        MessageBoxId(&sheet, IDS_MSG_CONFIG_SAVED, MbIcon::Information);
        break;
    case ConfigurationFileResult::cannotOpen:
        ShowFileError(&sheet, file, result.error);
        break;
    default:
        MessageBoxId(&sheet, ConfigurationErrorMessageId(result), MbIcon::Stop);
        break;
    }
}

void CConfigurationCommands::Load() {
    const QString path = UiServices().GetOpenFileName(&sheet, MenuCaption(IDS_MENU_LOAD_CONFIG),
                                                      InitialPath(), Filter());
    if (path.isEmpty())
        return;
    Remember(path);

    bool familyRead = false;
    const ConfigurationParts parts{
        session.GetModel(), session.LogMode(), session.MonitorList(), [&](ModelFamily family) {
            familyRead = true;
            // Exactly as the family menu commands: pages, menu checks and texts follow.
            sheet.OnFamilyCommand(family == TQ100 ? ID_FAMILY_TQ100 : ID_FAMILY_TQ102_TQ402);
        }};
    const std::string file = path.toStdString();
    const ConfigurationFileResult result = LoadConfigurationFile(file, parts);
    if (result.outcome == ConfigurationFileResult::cannotOpen) {
        ShowFileError(&sheet, file, result.error);
        return;
    }
    // Whatever was taken is shown, also when the file broke off later: the pages must not
    // hold older values than the model.
    if (familyRead)
        sheet.AllPagesFromModel();
    if (result.Ok())
        MessageBoxId(&sheet, IDS_MSG_CONFIG_LOADED, MbIcon::Information);
    else
        MessageBoxId(&sheet, ConfigurationErrorMessageId(result), MbIcon::Stop);
    if (!result.skipped.empty())
        ShowSkippedValues(result.skipped);
}

// One message for all the file's values the model did not take: the pages show other ones.
void CConfigurationCommands::ShowSkippedValues(const std::vector<SkippedWord>& skipped) {
    const CTQControllerModel& model = session.GetModel();
    QString text = TextById(IDS_MSG_CONFIG_VALUES_SKIPPED);
    for (const SkippedWord& s : skipped) {
        const int id = model.GetNameId(s.index);
        const QString where =
            id < 0 ? QString::number(s.index) : QString("%1 (%2)").arg(TextById(id)).arg(s.index);
        text += QString("\n%1: %2 \u2192 %3").arg(where).arg(s.word).arg(s.kept);
    }
    MessageBoxText(&sheet, text, MbIcon::Information);
}
