#pragma once

#include <QString>

#include <vector>

class CMainSheet;
struct SkippedWord;
class ISession;

// Open (32771) and Save (32772) of configuration files on the main sheet. Both run on the
// user-interface thread and report through message boxes.
class CConfigurationCommands {
public:
    CConfigurationCommands(CMainSheet& sheet, ISession& session);

    // The sheet's file command.
    void OnCommand(int id);
    void Load();
    void Save();

private:
    // "Configuration.TQ" in the folder last used.
    QString InitialPath() const;
    QString Filter() const;
    void Remember(const QString& path);
    void ShowSkippedValues(const std::vector<SkippedWord>& skipped);

    CMainSheet& sheet;
    ISession& session;
    QString folder;
};
