#pragma once

#include "ui/monitor/BarLayout.h"

#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

// Six shades, each a one-pixel row going edge colour, main colour, edge colour across the
// bar width, so a stretched shade looks like a lit cylinder; and the bars' rotated font.
class CBarPalette {
public:
    // Builds the rows for bars `width` pixels wide on a device of `depth` bits per pixel
    // (8 and 16 give 5-6-5 rows) and the font of height min(width, 20).
    void BuildPalette(int width, int depth);

    bool IsBuilt() const { return width > 0; }
    int Width() const { return width; }
    const QImage& Shade(int index) const { return rows[index]; }
    const QFont& Font() const { return font; }
    int FontHeight() const { return fontHeight; }

    // A shade stretched over a whole bar of `barWidth` x `height`, made once per size.
    const QPixmap& Column(int index, int barWidth, int height);

private:
    int width = 0;
    int fontHeight = 0;
    std::array<QImage, kBarShadeCount> rows;
    QFont font;
    struct Stretched {
        int barWidth;
        int height;
        std::array<QPixmap, kBarShadeCount> columns;
    };
    std::vector<Stretched> stretched; // bars differ in width by at most one pixel
};

// One vertical bar per monitored controller on a common scale. The polling thread stores
// values with SetBar (or the two callbacks); painting runs on the user-interface thread.
// Both sides take the chart's lock, and the polling thread asks for one repaint per cycle:
// when the last bar (the last controller polled) has its values.
class CBarChart : public QWidget {
    Q_OBJECT
public:
    struct Entry {
        uint8_t address;
        QString name;
    };
    // One bar per entry, in order. An address given twice feeds only its later bar.
    CBarChart(const std::vector<Entry>& entries, const HysteresisValues& hy,
              QWidget* parent = nullptr);

    // Any thread. False when no bar has the address.
    bool SetBar(uint8_t address, int16_t processValue, int16_t setpoint, int16_t lowLimit,
                bool over, bool under, bool error, int16_t decimals);
    // Polling thread callbacks: registers 0..42 and the coil bytes of one controller.
    void OnData(unsigned char address, short* registers, unsigned char* coils);
    void OnError(unsigned char address);

    // User-interface thread.
    void SetHysteresis(const HysteresisValues& values);
    HysteresisValues Hysteresis() const { return hy; }
    std::vector<CBarItem> Bars() const;
    const CBarPalette& Palette() const { return barPalette; }

    // Draws the whole chart into `target` (the chart's size); the paint event copies from
    // a buffer drawn this way.
    void Render(QPaintDevice& target);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void AfterChange(size_t index);

    mutable std::mutex lock; // guards bars
    std::vector<CBarItem> bars;
    std::array<int, 256> barOfAddress;
    HysteresisValues hy;
    CBarPalette barPalette;
    QPixmap buffer;
    std::atomic<bool> changed{true};
    std::atomic<bool> repaintPosted{false};
};
