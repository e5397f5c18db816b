#pragma once

#include "ui/framework/DialogBase.h"

#include <QColor>
#include <QWidget>

#include <cstdint>
#include <vector>

class CChartCtrl;
class QListWidget;

// A static filled with one colour that reports clicks.
class CColorSample : public QWidget {
    Q_OBJECT
public:
    explicit CColorSample(QWidget* parent = nullptr);
    void SetColour(const QColor& colour);
    QColor Colour() const { return colour; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QColor colour;
};

// The curve chooser (template 213): every curve of a chart by its label, visible ones under
// "selected" (at most 16), the others under "available", each with a colour picked on the
// way in or by clicking the swatch. OK gives the curves their colours and visibility; the
// owner then rewrites the header of its graph set.
class CCurveChooserDlg : public CDialogBase {
    Q_OBJECT
public:
    explicit CCurveChooserDlg(CChartCtrl& chart, QWidget* parent = nullptr);

    // The choices as they stand, by curve index.
    const std::vector<uint32_t>& Colours() const { return colours; }
    const std::vector<bool>& Visible() const { return visible; }

protected:
    void OnInitDialog() override;
    void OnOK() override;
    void OnCommand(int id) override;

private:
    void Add();
    void Remove();
    void ShowSelectedColour();
    void PickSwatchColour();
    int SelectedCurve() const;

    CChartCtrl& chart;
    QListWidget* available = nullptr;
    QListWidget* selected = nullptr;
    CColorSample* swatch = nullptr;
    std::vector<uint32_t> colours;
    std::vector<bool> visible;
};
