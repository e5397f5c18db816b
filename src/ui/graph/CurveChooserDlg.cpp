#include "ui/graph/CurveChooserDlg.h"

#include "languages/StringIds.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"
#include "ui/framework/UiServices.h"
#include "ui/graph/ChartCtrl.h"
#include "ui/graph/ChartLegend.h"
#include "ui/graph/GraphResourceIds.h"

#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>

namespace {

QColor ButtonFace(const QWidget* widget) {
    return widget->palette().color(QPalette::Button);
}

// Moves `item` from one sorted list to the other and selects it there.
void MoveItem(QListWidget* from, QListWidget* to, QListWidgetItem* item) {
    QListWidgetItem* taken = from->takeItem(from->row(item));
    to->addItem(taken);
    to->setCurrentItem(taken);
}

} // namespace

CColorSample::CColorSample(QWidget* parent) : QWidget(parent), colour(ButtonFace(this)) {}

void CColorSample::SetColour(const QColor& value) {
    colour = value;
    update();
}

void CColorSample::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), colour);
}

void CColorSample::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

CCurveChooserDlg::CCurveChooserDlg(CChartCtrl& chart, QWidget* parent)
    : CDialogBase(IDD_CURVE_CHOOSER, parent), chart(chart) {
    setWindowTitle(TextById(IDS_GRAPH_CURVES));
    SetClientSize(330, 196);
    AddControl<QLabel>(IDC_CURVES_AVAILABLE_LABEL, 7, 5, 130, 10);
    AddControl<QLabel>(IDC_CURVES_SELECTED_LABEL, 172, 5, 130, 10);
    available = AddControl<QListWidget>(IDC_CURVES_AVAILABLE, 7, 16, 130, 150);
    selected = AddControl<QListWidget>(IDC_CURVES_SELECTED, 172, 16, 130, 150);
    available->setSortingEnabled(true);
    selected->setSortingEnabled(true);
    AddButton(IDC_CURVES_ADD, QStringLiteral(">>"), 142, 60, 25, 14);
    AddButton(IDC_CURVES_REMOVE, QStringLiteral("<<"), 142, 80, 25, 14);
    AddControl<QLabel>(IDC_CURVES_COLOUR_LABEL, 306, 5, 22, 10);
    swatch = AddControl<CColorSample>(IDC_CURVES_SWATCH, 306, 16, 18, 18);
    AddButton(IDOK, QStringLiteral("OK"), 200, 174, 50, 14, true);
    AddButton(IDCANCEL, QStringLiteral("Cancel"), 254, 174, 50, 14);
    connect(selected, &QListWidget::currentItemChanged, this, [this] { ShowSelectedColour(); });
    connect(swatch, &CColorSample::clicked, this, [this] { PickSwatchColour(); });
}

void CCurveChooserDlg::OnInitDialog() {
    SetDlgItemTextById(IDC_CURVES_AVAILABLE_LABEL, IDS_CURVES_AVAILABLE);
    SetDlgItemTextById(IDC_CURVES_SELECTED_LABEL, IDS_CURVES_SELECTED);
    SetDlgItemTextById(IDC_CURVES_COLOUR_LABEL, IDS_CURVES_COLOUR);
    auto lock = chart.LockData();
    const int count = chart.GetCurveCount();
    colours.assign(static_cast<size_t>(count), 0);
    visible.assign(static_cast<size_t>(count), false);
    for (int i = 0; i < count; ++i) {
        const CGraphCurve& curve = *chart.GetCurve(i);
        colours[static_cast<size_t>(i)] = curve.GetColour();
        visible[static_cast<size_t>(i)] = curve.IsVisible();
        auto* item = new QListWidgetItem(QString::fromStdString(curve.GetLabel()));
        item->setData(Qt::UserRole, i);
        (curve.IsVisible() ? selected : available)->addItem(item);
    }
    ShowSelectedColour();
}

int CCurveChooserDlg::SelectedCurve() const {
    QListWidgetItem* item = selected->currentItem();
    return item != nullptr && item->isSelected() ? item->data(Qt::UserRole).toInt() : -1;
}

void CCurveChooserDlg::OnCommand(int id) {
    if (id == IDC_CURVES_ADD)
        Add();
    else if (id == IDC_CURVES_REMOVE)
        Remove();
    else
        CDialogBase::OnCommand(id);
}

void CCurveChooserDlg::Add() {
    QListWidgetItem* item = available->currentItem();
    if (item == nullptr || !item->isSelected() || selected->count() >= kMaxSelectedCurves)
        return;
    const auto curve = static_cast<size_t>(item->data(Qt::UserRole).toInt());
    const std::optional<QColor> colour =
        UiServices().GetColor(this, ColourFromRgbWord(colours[curve]), item->text());
    if (!colour)
        return;
    colours[curve] = RgbWordFromColour(*colour);
    visible[curve] = true;
    MoveItem(available, selected, item);
    ShowSelectedColour();
}

void CCurveChooserDlg::Remove() {
    QListWidgetItem* item = selected->currentItem();
    if (item == nullptr || !item->isSelected())
        return;
    visible[static_cast<size_t>(item->data(Qt::UserRole).toInt())] = false;
    MoveItem(selected, available, item);
    ShowSelectedColour();
}

void CCurveChooserDlg::ShowSelectedColour() {
    const int curve = SelectedCurve();
    swatch->SetColour(curve < 0 ? ButtonFace(swatch)
                                : ColourFromRgbWord(colours[static_cast<size_t>(curve)]));
}

void CCurveChooserDlg::PickSwatchColour() {
    const int curve = SelectedCurve();
    if (curve < 0)
        return;
    const std::optional<QColor> colour =
        UiServices().GetColor(this, ColourFromRgbWord(colours[static_cast<size_t>(curve)]),
                              selected->currentItem()->text());
    if (!colour)
        return;
    colours[static_cast<size_t>(curve)] = RgbWordFromColour(*colour);
    ShowSelectedColour();
}

void CCurveChooserDlg::OnOK() {
    {
        auto lock = chart.LockData();
        // The chart holds the curves it held when the dialog opened.
        for (size_t i = 0; i < colours.size(); ++i) {
            if (CChartCtrl::CurveRef curve = chart.GetCurve(static_cast<int>(i))) {
                curve->SetColour(colours[i]);
                curve->SetVisible(visible[i]);
            }
        }
    }
    chart.update();
    EndDialog(IDOK);
}
