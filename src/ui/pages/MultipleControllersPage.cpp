#include "ui/pages/MultipleControllersPage.h"
#include "ui/graph/GraphViewerDlg.h"

#include "core/modbus/ModbusMaster.h"
#include "core/model/ControllerList.h"
#include "core/tasks/AppSession.h"
#include "languages/StringIds.h"
#include "ui/framework/ControlIds.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"
#include "ui/framework/UiServices.h"
#include "ui/monitor/MonitorDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace multi;

namespace {

constexpr int kMaxZones = 72;
constexpr int kZonesShown = 15;
constexpr int kMinPeriod = 1;
constexpr int kMaxPeriod = 900;
constexpr int kMinAddress = 1;
constexpr int kMaxAddress = 255;
constexpr int kUnitMaxChars = 4;
const char* const kDefaultUnit = "\xC2\xBA"
                                 "C";

// The sampling time as minutes and seconds, "mm:ss".
class CSamplingSpin : public QSpinBox {
public:
    explicit CSamplingSpin(QWidget* parent) : QSpinBox(parent) {
        setRange(kMinPeriod, kMaxPeriod);
        lineEdit()->setReadOnly(true);
    }

protected:
    QString textFromValue(int value) const override {
        return QString::asprintf("%02d:%02d", value / 60, value % 60);
    }
    int valueFromText(const QString& text) const override {
        const QStringList parts = text.split(':');
        if (parts.size() == 2)
            return parts[0].toInt() * 60 + parts[1].toInt();
        return text.toInt();
    }
    QValidator::State validate(QString&, int&) const override { return QValidator::Acceptable; }
};

} // namespace

CMultipleControllersPage::CMultipleControllersPage(const CPageContext& context, QWidget* parent)
    : CModelPage(IDD_MULTIPLE_CONTROLLERS, context, parent) {
    BuildControls();
    InitPage();
    if (zones->currentIndex() < 0) {
        zones->setCurrentIndex(kMaxZones - 1);
        SetZoneCount(kMaxZones);
    }
}

void CMultipleControllersPage::BuildControls() {
    list = new QTreeWidget(this);
    SetControlId(list, kList);
    list->setColumnCount(4);
    list->setHeaderLabels({"E", "Addr", "Id", "Unit"});
    list->setRootIsDecorated(false);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setAllColumnsShowFocus(true);
    list->setUniformRowHeights(true);
    list->setStyleSheet("QTreeView::item { border: 1px solid palette(midlight); }");
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(kColumnName, QHeaderView::Stretch);
    list->setColumnWidth(kColumnEnabled, 22 + 8);
    list->setColumnWidth(kColumnAddress, 40);
    list->setColumnWidth(kColumnUnit, 60);
    list->headerItem()->setTextAlignment(kColumnUnit, Qt::AlignCenter);
    // A press in the list or a scroll ends any in-place edit first.
    list->viewport()->installEventFilter(this);
    connect(list->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { CancelEdit(); });
    connect(list, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item, int column) {
        BeginEdit(list->indexOfTopLevelItem(item), column);
    });

    nameEditor = new QLineEdit(list->viewport());
    SetControlId(nameEditor, kNameEditor);
    nameEditor->hide();
    nameEditor->installEventFilter(this);
    unitEditor = new QComboBox(list->viewport());
    SetControlId(unitEditor, kUnitEditor);
    unitEditor->setEditable(true);
    unitEditor->addItems({QString::fromUtf8(kDefaultUnit), "F"});
    unitEditor->lineEdit()->setMaxLength(kUnitMaxChars);
    unitEditor->hide();
    unitEditor->installEventFilter(this);
    unitEditor->lineEdit()->installEventFilter(this);

    zones = AddList(kZones);
    for (int n = 1; n <= kMaxZones; ++n)
        zones->addItem(QString::number(n));
    // A scrolling list of about 15 rows, not a menu of all 72 down the whole screen (which
    // styles with menu-like pop-ups would show).
    zones->setStyleSheet("QComboBox { combobox-popup: 0; }");
    zones->setMaxVisibleItems(kZonesShown);
    connect(zones, &QComboBox::activated, this, [this](int index) { SetZoneCount(index + 1); });
    recording = AddList(kRecording);
    sampling = new CSamplingSpin(this);
    SetControlId(sampling, kSamplingSpin);
    SetControlId(sampling->findChild<QLineEdit*>(), kSamplingText);

    start = new QPushButton("Start", this);
    SetControlId(start, kStart);
    connect(start, &QPushButton::clicked, this, [this] { OnStart(); });
    showBackup = new QPushButton("Show Backup", this);
    SetControlId(showBackup, kShowBackup);
    connect(showBackup, &QPushButton::clicked, this,
            [this] { ShowGraphFile(this, Session().GraphsDir()); });

    auto* settings = new QGridLayout;
    settings->addWidget(AddLabel(kZonesLabel), 0, 0);
    settings->addWidget(zones, 0, 1);
    settings->addWidget(AddLabel(kSamplingLabel), 1, 0);
    settings->addWidget(sampling, 1, 1);
    settings->addWidget(AddLabel(kRecordingLabel), 2, 0);
    settings->addWidget(recording, 2, 1);
    settings->setRowStretch(3, 1);
    settings->addWidget(start, 4, 0, 1, 2);
    settings->addWidget(showBackup, 5, 0, 1, 2);

    auto* controllers = new QVBoxLayout;
    controllers->addWidget(AddLabel(kControllersLabel));
    controllers->addWidget(list, 1);

    auto* page = new QHBoxLayout(this);
    page->addLayout(controllers, 1);
    page->addLayout(settings);
}

void CMultipleControllersPage::LoadTexts(bool caption) {
    if (caption)
        setWindowTitle(TextById(IDS_PAGE_MULTIPLE));
    SetDlgItemTextById(kZonesLabel, IDS_LABEL_ZONES);
    SetDlgItemTextById(kSamplingLabel, IDS_LABEL_SAMPLING);
    SetDlgItemTextById(kRecordingLabel, IDS_LABEL_RECORDING);
    SetDlgItemTextById(kControllersLabel, IDS_LABEL_CONTROLLERS);
    FillRecordingList();
}

void CMultipleControllersPage::FillRecordingList() {
    const int selected = recording->currentIndex();
    recording->clear();
    for (int id : {IDS_RECORD_NONE, IDS_RECORD_ONE_FILE, IDS_RECORD_FILE_PER_CONTROLLER})
        recording->addItem(TextById(id));
    recording->setCurrentIndex(selected);
}

void CMultipleControllersPage::DoExchange(CDataExchange& dx) {
    ExchangeIndex(dx, kRecording, recordingType);
}

void CMultipleControllersPage::ModelToPage() {
    CancelEdit();
    CModelPage::ModelToPage();
}

void CMultipleControllersPage::LoadFields() {
    const CControllerList& monitor = Session().MonitorList();
    const int count = static_cast<int>(monitor.GetCount());
    zones->setCurrentIndex(count >= 1 && count <= kMaxZones ? count - 1 : -1);
    sampling->setValue(monitor.period);
    if (zones->currentIndex() < 0)
        return;
    list->clear();
    for (int i = 0; i < count; ++i)
        AddRow(monitor.enabled[i] != 0, monitor.address[i], QString::fromStdString(monitor.name[i]),
               QString::fromStdString(monitor.unit[i]));
    recordingType = Session().LogMode();
}

void CMultipleControllersPage::StoreFields() {
    std::vector<int32_t> enabled;
    std::vector<uint8_t> address;
    std::vector<std::string> name, unit;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = list->topLevelItem(row);
        enabled.push_back(item->checkState(kColumnEnabled) == Qt::Checked ? 1 : 0);
        address.push_back(static_cast<uint8_t>(item->text(kColumnAddress).toInt()));
        name.push_back(item->text(kColumnName).toStdString());
        unit.push_back(item->text(kColumnUnit).toStdString());
    }
    CControllerList& monitor = Session().MonitorList();
    monitor.SetEntries(enabled, address, name, unit);
    Session().LogMode() = recordingType;
    monitor.period = sampling->value();
}

QTreeWidgetItem* CMultipleControllersPage::AddRow(bool enabled, int address, const QString& name,
                                                  const QString& unit) {
    auto* item = new QTreeWidgetItem(list);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(kColumnEnabled, enabled ? Qt::Checked : Qt::Unchecked);
    item->setText(kColumnAddress, QString::number(address));
    item->setText(kColumnName, name);
    item->setText(kColumnUnit, unit);
    item->setTextAlignment(kColumnUnit, Qt::AlignCenter);
    return item;
}

void CMultipleControllersPage::SetZoneCount(int count) {
    CancelEdit();
    for (int k = list->topLevelItemCount() + 1; k <= count; ++k)
        AddRow(true, k, TextById(IDS_DEFAULT_ZONE_NAME) + QString::asprintf(" %d", k),
               QString::fromUtf8(kDefaultUnit));
    while (list->topLevelItemCount() > count)
        delete list->takeTopLevelItem(list->topLevelItemCount() - 1);
}

bool CMultipleControllersPage::Editing() const {
    return !nameEditor->isHidden() || !unitEditor->isHidden();
}

void CMultipleControllersPage::PlaceEditor(QWidget* editor) {
    QTreeWidgetItem* item = list->topLevelItem(editRow);
    const QRect row = list->visualItemRect(item);
    QHeaderView* header = list->header();
    editor->setGeometry(header->sectionViewportPosition(editColumn), row.top(),
                        header->sectionSize(editColumn),
                        std::max(row.height(), editor->sizeHint().height()));
    editor->show();
    editor->raise();
    editor->setFocus();
}

void CMultipleControllersPage::BeginEdit(int row, int column) {
    if (row < 0 || row >= list->topLevelItemCount() || column < kColumnAddress ||
        column > kColumnUnit)
        return;
    CancelEdit();
    // Scrolling ends an edit, so the row comes into view before this one begins.
    QTreeWidgetItem* item = list->topLevelItem(row);
    list->scrollToItem(item);
    editRow = row;
    editColumn = column;
    if (column == kColumnUnit) {
        unitEditor->setEditText(item->text(column));
        PlaceEditor(unitEditor);
        return;
    }
    nameEditor->setText(item->text(column));
    PlaceEditor(nameEditor);
    nameEditor->selectAll();
}

bool CMultipleControllersPage::CommitEdit() {
    if (!Editing() || editRow < 0)
        return false;
    QTreeWidgetItem* item = list->topLevelItem(editRow);
    const bool unit = !unitEditor->isHidden();
    QWidget* editor = unit ? static_cast<QWidget*>(unitEditor) : nameEditor;
    const QString text = (unit ? unitEditor->currentText() : nameEditor->text()).trimmed();
    auto refuse = [&](const QString& message) {
        showingMessage = true;
        MessageBoxText(this, message, MbIcon::Exclamation);
        showingMessage = false;
        editor->setFocus();
        return false;
    };
    if (editColumn == kColumnAddress) {
        bool number = false;
        const int address = text.toInt(&number);
        if (!number)
            return refuse(NumberMessage());
        if (address < kMinAddress || address > kMaxAddress)
            return refuse(RangeMessage(QString::number(kMinAddress), QString::number(kMaxAddress)));
    } else if (text.isEmpty()) {
        return refuse(TextById(IDS_MSG_EMPTY_NAME));
    } else if (editColumn == kColumnName) {
        for (int row = 0; row < list->topLevelItemCount(); ++row)
            if (row != editRow && list->topLevelItem(row)->text(kColumnName) == text)
                return refuse(TextById(IDS_MSG_DUPLICATE_NAME));
    }
    item->setText(editColumn, editColumn == kColumnAddress ? QString::number(text.toInt()) : text);
    const int row = editRow;
    CancelEdit();
    list->setFocus();
    list->setCurrentItem(list->topLevelItem(row));
    return true;
}

void CMultipleControllersPage::CancelEdit() {
    editRow = -1;
    editColumn = -1;
    nameEditor->hide();
    unitEditor->hide();
}

void CMultipleControllersPage::OnSheetDeactivate() {
    CancelEdit();
}

void CMultipleControllersPage::OnEditEnter() {
    CommitEdit();
}

void CMultipleControllersPage::OnEditEscape() {
    CancelEdit();
}

bool CMultipleControllersPage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list->viewport()) {
        if (event->type() == QEvent::MouseButtonPress && Editing())
            CancelEdit();
        return CModelPage::eventFilter(watched, event);
    }
    const bool editor =
        watched == nameEditor || watched == unitEditor || watched == unitEditor->lineEdit();
    if (editor && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            CommitEdit();
            return true;
        }
        if (key == Qt::Key_Escape) {
            CancelEdit();
            return true;
        }
    }
    if (editor && event->type() == QEvent::FocusOut && !showingMessage) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        QWidget* focus = QApplication::focusWidget();
        const bool withinUnit = focus == unitEditor || focus == unitEditor->lineEdit();
        if (reason != Qt::PopupFocusReason && !withinUnit && focus != nameEditor)
            CancelEdit();
    }
    return CModelPage::eventFilter(watched, event);
}

void CMultipleControllersPage::OnStart() {
    CancelEdit();
    if (!UpdateData(true))
        return;
    if (MessageBoxId(this, IDS_ASK_START_COMM, MbIcon::Information, MbButtons::YesNo) == IDNO)
        return;
    std::unique_ptr<CModbusMaster> master = Session().CreateMaster();
    if (!master) {
        MessageBoxId(this, IDS_MSG_NO_MASTER, MbIcon::Stop);
        return;
    }
    if (!master->IsOpen()) {
        MessageBoxId(this, IDS_MSG_PORT_NOT_OPEN, MbIcon::Stop);
        return;
    }
    CMonitorDlg monitor(*master, Session().LogMode(), Session(), nullptr);
    monitor.DoModal();
}
