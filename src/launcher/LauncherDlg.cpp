#include "launcher/LauncherDlg.h"

#include "launcher/LauncherActions.h"
#include "launcher/LauncherArt.h"
#include "launcher/LauncherIds.h"
#include "launcher/LauncherRowDelegate.h"
#include "launcher/LauncherShell.h"

#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>

#include <algorithm>

namespace {

// Template rectangles are in dialog units of the dialog's font: a quarter of its average
// character width across, an eighth of its height down.
class CUnits {
public:
    explicit CUnits(const QFont& font) {
        const QFontMetrics metrics(font);
        const QString alphabet =
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        baseX = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
        baseY = metrics.height();
    }
    QRect Rect(int x, int y, int cx, int cy) const { return QRect(X(x), Y(y), X(cx), Y(cy)); }
    int X(int units) const { return units * baseX / 4; }
    int Y(int units) const { return units * baseY / 8; }

private:
    int baseX = 6;
    int baseY = 13;
};

// "MS Sans Serif" where it is installed; elsewhere the desktop's nearest face with the same
// weight. `cellHeight` is the whole character cell, ascent and descent.
QFont ControlFont(int cellHeight, int weight) {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::Weight(weight));
    font.setPixelSize(cellHeight);
    const int height = QFontMetrics(font).height();
    if (height > cellHeight)
        font.setPixelSize(std::max(1, cellHeight * cellHeight / height));
    return font;
}

} // namespace

CLauncherDlg::CLauncherDlg(ILauncherShell& shell, const QDir& mediumRoot, QWidget* parent)
    : QDialog(parent), shell(shell), mediumRoot(mediumRoot) {
    setObjectName(QStringLiteral("id%1").arg(IDD_LAUNCHER));
    setWindowTitle(QStringLiteral("   Start"));
    setWindowIcon(QIcon(LauncherIcon(IDI_LAUNCHER, 48)));
    QFont dialogFont(QStringLiteral("Arial"));
    dialogFont.setPointSize(8);
    dialogFont.setStyleHint(QFont::SansSerif);
    setFont(dialogFont);
    const CUnits du(dialogFont);

    const QRect bannerRect = du.Rect(9, 3, 300, 100);
    auto* banner = new QLabel(this);
    banner->setGeometry(bannerRect);
    banner->setPixmap(LauncherBitmap(IDB_LAUNCHER_BANNER, bannerRect.size()));

    // The picture overlaps the banner's lower edge and is drawn over it.
    const QRect pictureRect = du.Rect(117, 92, 94, 33);
    auto* picture = new QLabel(this);
    picture->setFrameShape(QFrame::Box);
    picture->setLineWidth(1);
    picture->setGeometry(pictureRect);
    picture->setPixmap(LauncherBitmap(IDB_LAUNCHER_PICTURE, pictureRect.size() - QSize(2, 2)));
    picture->raise();

    list = new QTreeWidget(this);
    list->setGeometry(du.Rect(5, 126, 304, 170));
    controls.insert(IDC_LAUNCHER_LIST, list);

    runButton = new QPushButton(QStringLiteral("Esegui"), this);
    runButton->setGeometry(du.Rect(311, 126, 42, 28));
    runButton->setDefault(true);
    controls.insert(IDC_LAUNCHER_RUN, runButton);
    connect(runButton, &QPushButton::clicked, this, &CLauncherDlg::RunSelected);

    closeButton = new QPushButton(QStringLiteral("Chiudi"), this);
    closeButton->setGeometry(du.Rect(311, 268, 42, 28));
    controls.insert(IDC_LAUNCHER_CLOSE, closeButton);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::reject);

    for (auto it = controls.cbegin(); it != controls.cend(); ++it)
        it.value()->setObjectName(QStringLiteral("id%1").arg(it.key()));

    setFixedSize(du.X(358), du.Y(301));
    BuildList(ControlFont(16, 800));
    const QFont buttonFont = ControlFont(12, 500);
    runButton->setFont(buttonFont);
    closeButton->setFont(buttonFont);
    list->setFocus();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = rect();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void CLauncherDlg::BuildList(const QFont& listFont) {
    QVector<QPixmap> icons;
    for (const CLauncherAction& action : LauncherActions())
        icons.append(LauncherIcon(action.iconId, CLauncherRowDelegate::kIconSize));

    list->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    list->setHeaderHidden(true);
    list->setRootIsDecorated(false);
    list->setIndentation(0);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setItemDelegate(new CLauncherRowDelegate(icons, list));
    list->setColumnCount(1);
    list->setHeaderLabels({QStringLiteral("ColumnLabel")});
    // The column spans the list's client width less one pixel: set on every resize of the
    // list's client area, as the area has its real size only once the list is laid out.
    list->header()->setStretchLastSection(false);
    list->setFont(listFont);

    int row = 0;
    for (const CLauncherAction& action : LauncherActions()) {
        auto* item = new QTreeWidgetItem(list, {QString::fromUtf8(action.text)});
        item->setData(0, Qt::UserRole, row++); // item data = row = icon index
    }
    list->setCurrentItem(list->topLevelItem(0));
    list->viewport()->installEventFilter(this);
}

QWidget* CLauncherDlg::Control(int id) const {
    return controls.value(id, nullptr);
}

void CLauncherDlg::RunSelected() {
    const QList<QTreeWidgetItem*> selected = list->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = selected.first()->data(0, Qt::UserRole).toInt();
    if (row < 0 || row >= kLauncherRows)
        return;
    const QUrl target = ResolveLauncherTarget(row, mediumRoot);
    if (target.isEmpty()) {
        ShowFailure(row);
        return;
    }
    shell.Open(target, [self = QPointer<CLauncherDlg>(this), row] {
        if (self)
            self->ShowFailure(row);
    });
}

void CLauncherDlg::ShowFailure(int row) {
    shell.ShowMessage(this, QString::fromUtf8(kLauncherMessageTitle),
                      QString::fromUtf8(LauncherActions()[row].failureMessage));
}

bool CLauncherDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list->viewport() && event->type() == QEvent::Resize)
        list->header()->resizeSection(0, std::max(1, list->viewport()->width() - 1));
    // A double click anywhere on the list runs the selected row, as "Esegui" does.
    if (watched == list->viewport() && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        RunSelected();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
