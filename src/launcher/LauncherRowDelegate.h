#pragma once

#include <QPixmap>
#include <QStyledItemDelegate>
#include <QVector>

// Draws a row of the launcher's list: the row's icon at its left, then the text on its own
// background, 5 pixels in and 18 pixels down; a selected row in the highlight colours with
// its icon tinted a quarter towards the highlight.
class CLauncherRowDelegate : public QStyledItemDelegate {
public:
    static constexpr int kIconSize = 48;

    CLauncherRowDelegate(QVector<QPixmap> icons, QObject* parent);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QVector<QPixmap> icons; // image list: index = row
};
