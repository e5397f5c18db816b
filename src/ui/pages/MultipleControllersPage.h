#pragma once

#include "ui/pages/ModelPage.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;

// Multiple-controller page: template 206 and its controls.
inline constexpr int IDD_MULTIPLE_CONTROLLERS = 206;
namespace multi {
inline constexpr int kList = 1184;         // one row per controller
inline constexpr int kZones = 1095;        // number of rows, "1" to "72"
inline constexpr int kRecording = 1094;    // recording type: none, one file, file per controller
inline constexpr int kSamplingSpin = 1096; // sampling time, 1 to 900 s
inline constexpr int kSamplingText = 1190; // the spin's text, "mm:ss"
inline constexpr int kNameEditor = 1185;   // in-place editor of a name (or address) cell
inline constexpr int kUnitEditor = 1115;   // in-place editor of a unit cell
inline constexpr int kStart = 1150;        // start monitoring
inline constexpr int kShowBackup = 1151;   // view a graph file
inline constexpr int kZonesLabel = 1186;
inline constexpr int kSamplingLabel = 1187;
inline constexpr int kRecordingLabel = 1188;
inline constexpr int kControllersLabel = 1189;
// List columns.
inline constexpr int kColumnEnabled = 0;
inline constexpr int kColumnAddress = 1;
inline constexpr int kColumnName = 2;
inline constexpr int kColumnUnit = 3;
} // namespace multi

// The page on which the monitoring of several controllers is set up: which controllers
// (zones), their addresses, names and units, which are polled, the sampling time and the
// recording type; Start opens the monitoring window. It edits the session's monitoring list
// and log mode, not the register image.
class CMultipleControllersPage : public CModelPage {
    Q_OBJECT
public:
    explicit CMultipleControllersPage(const CPageContext& context, QWidget* parent = nullptr);

    void ModelToPage() override;
    void OnSheetDeactivate() override;
    void OnEditEnter() override;
    void OnEditEscape() override;

    // Rows 1..n: rows are added with defaults or removed from the end.
    void SetZoneCount(int count);
    // A click on a cell: columns 1 to 3 open their in-place editor.
    void BeginEdit(int row, int column);
    // Enter in an editor: true when the cell took the text (the editor closes).
    bool CommitEdit();
    // Escape, or the editor losing the focus: the cell keeps its text.
    void CancelEdit();
    bool Editing() const;
    // Button 1150.
    void OnStart();

    QTreeWidget* List() const { return list; }

protected:
    void LoadTexts(bool caption) override;
    void DoExchange(CDataExchange& dx) override;
    void LoadFields() override;
    void StoreFields() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildControls();
    QTreeWidgetItem* AddRow(bool enabled, int address, const QString& name, const QString& unit);
    void FillRecordingList();
    void PlaceEditor(QWidget* editor);

    QTreeWidget* list = nullptr;
    QComboBox* zones = nullptr;
    QComboBox* recording = nullptr;
    QSpinBox* sampling = nullptr;
    QLineEdit* nameEditor = nullptr;
    QComboBox* unitEditor = nullptr;
    QPushButton* start = nullptr;
    QPushButton* showBackup = nullptr;

    int recordingType = 0;
    int editRow = -1;
    int editColumn = -1;
    bool showingMessage = false; // a refusal's box must not end the edit by taking the focus
};
