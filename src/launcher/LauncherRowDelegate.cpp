#include "launcher/LauncherRowDelegate.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>

namespace {

QPixmap Blended(const QPixmap& icon, const QColor& highlight) {
    QPixmap tinted = icon;
    QPainter p(&tinted);
    p.setCompositionMode(QPainter::CompositionMode_SourceAtop); // only where the icon is
    QColor quarter = highlight;
    quarter.setAlphaF(0.25);
    p.fillRect(tinted.rect(), quarter);
    return tinted;
}

} // namespace

CLauncherRowDelegate::CLauncherRowDelegate(QVector<QPixmap> icons, QObject* parent)
    : QStyledItemDelegate(parent), icons(std::move(icons)) {}

void CLauncherRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    const bool selected = option.state & QStyle::State_Selected;
    // The selection is drawn the same whether or not the list has the focus.
    const QPalette& palette = option.palette;
    const QColor highlight = palette.color(QPalette::Active, QPalette::Highlight);
    const QColor text = selected ? palette.color(QPalette::Active, QPalette::HighlightedText)
                                 : palette.color(QPalette::Active, QPalette::Text);
    const QColor back = selected ? highlight : palette.color(QPalette::Active, QPalette::Base);

    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    const int columnWidth = view ? view->viewport()->width() - 1 : option.rect.width();
    const QRect row = option.rect;
    painter->save();
    painter->fillRect(QRect(row.left(), row.top(), kIconSize, row.height()),
                      palette.color(QPalette::Active, QPalette::Base));
    const int iconIndex = index.data(Qt::UserRole).toInt();
    if (iconIndex >= 0 && iconIndex < icons.size()) {
        const QPixmap& icon = icons[iconIndex];
        painter->drawPixmap(row.topLeft(), selected ? Blended(icon, highlight) : icon);
    }

    const QRect textRect =
        QRect(row.left() + kIconSize, row.top(), columnWidth, row.height())
            .intersected(QRect(row.left(), row.top(), columnWidth, row.height()));
    painter->fillRect(textRect, back);
    painter->setClipRect(textRect);
    painter->setPen(text);
    painter->setFont(option.font);
    painter->drawText(textRect.adjusted(5, 18, 0, 0),
                      Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    painter->setClipping(false);
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        if (option.widget)
            focus.initFrom(option.widget);
        focus.state = option.state | QStyle::State_KeyboardFocusChange;
        focus.rect = textRect;
        focus.backgroundColor = back;
        const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
    }
    painter->restore();
}

QSize CLauncherRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const {
    const QSize text = QStyledItemDelegate::sizeHint(option, index);
    return QSize(kIconSize + text.width(), kIconSize);
}
