#pragma once

#include <QDialog>
#include <QDir>
#include <QMap>

class ILauncherShell;
class QPushButton;
class QTreeWidget;

// The launcher: a banner, the list of the five actions and "Esegui" / "Chiudi". An action's
// target is handed to the desktop; a target that is missing or that the desktop then fails
// to open gets the row's message, and the dialog stays open either way.
class CLauncherDlg : public QDialog {
    Q_OBJECT
public:
    // `mediumRoot` is the folder the targets are resolved against: the launcher's own.
    CLauncherDlg(ILauncherShell& shell, const QDir& mediumRoot, QWidget* parent = nullptr);

    // The control with this id (IDC_LAUNCHER_*), or null.
    QWidget* Control(int id) const;
    QTreeWidget* ActionList() const { return list; }

    // Runs the first selected row's action; nothing when no row is selected.
    void RunSelected();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildList(const QFont& listFont);
    // The row's message, in a box owned by the dialog.
    void ShowFailure(int row);

    ILauncherShell& shell;
    QDir mediumRoot;
    QTreeWidget* list = nullptr;
    QPushButton* runButton = nullptr;
    QPushButton* closeButton = nullptr;
    QMap<int, QWidget*> controls;
};
