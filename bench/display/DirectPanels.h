#pragma once

// Compact front panels drawn by hand with QPainter: the reference the display and overview
// benchmarks measure the real windows against. Sample gives a display's poll of a frame.
#include "ui/framework/DialogUnits.h"
#include "ui/widgets/DisplayDlg.h"

#include <QApplication>
#include <QPainter>

#include <array>
#include <vector>

struct Poll {
    std::array<int16_t, CDisplayDlg::kRegisterCount> registers{};
    std::array<uint8_t, CDisplayDlg::kStatusCount> status{};
};

// Values that change every frame, as a live overview's do.
inline Poll Sample(int display, int frame) {
    Poll poll;
    poll.registers[32] = 1;
    poll.registers[0] = static_cast<int16_t>(1800 + (display * 37 + frame * 13) % 400);
    poll.registers[4] = static_cast<int16_t>(2000 + display);
    poll.registers[3] = static_cast<int16_t>((frame * 7 + display) % 1000);
    poll.status[2] = (frame + display) % 5 == 0;
    poll.status[10] = (frame + display) % 2;
    return poll;
}

// The same picture by hand: per display the title, three value fields on black, three units,
// the mode box and four lamps with captions.
inline void DrawDirect(QPainter& p, const std::vector<QRect>& cells, const CDialogUnits& u,
                       int frame, const QFont& segment, const QFont& unit, const QFont& caption) {
    auto r = [&u](const QRect& cell, int x, int y, int cx, int cy) {
        return u.Rect(x, y, cx, cy).translated(cell.topLeft());
    };
    const QColor face = QApplication::palette().color(QPalette::Button);
    for (size_t i = 0; i < cells.size(); ++i) {
        const QRect& cell = cells[i];
        const Poll poll = Sample(static_cast<int>(i), frame);
        p.fillRect(cell, face);
        p.setFont(QApplication::font());
        p.setPen(Qt::black);
        p.drawText(r(cell, 2, 1, 62, 10), Qt::AlignHCenter | Qt::AlignTop,
                   QStringLiteral("Zone %1").arg(i + 1));
        const QString values[] = {QString::number(poll.registers[0] / 10.0, 'f', 1),
                                  QString::number(poll.registers[4] / 10.0, 'f', 1),
                                  QString::number(poll.registers[3] / 10)};
        const QRect fields[] = {r(cell, 3, 14, 41, 16), r(cell, 3, 30, 41, 16),
                                r(cell, 13, 46, 31, 16)};
        const QColor colors[] = {QColor(0, 255, 0), QColor(255, 127, 0), Qt::white};
        p.setFont(segment);
        for (int k = 0; k < 3; ++k) {
            p.fillRect(fields[k], Qt::black);
            p.setPen(colors[k]);
            p.drawText(fields[k], Qt::AlignLeft | Qt::AlignTop, values[k]);
        }
        p.setFont(unit);
        p.setPen(Qt::black);
        p.drawText(r(cell, 45, 17, 21, 11), Qt::AlignLeft | Qt::AlignTop,
                   QStringLiteral("\u00baC"));
        p.drawText(r(cell, 45, 33, 20, 11), Qt::AlignLeft | Qt::AlignTop,
                   QStringLiteral("\u00baC"));
        p.drawText(r(cell, 45, 48, 21, 11), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("%"));
        p.setFont(QApplication::font());
        p.drawRect(r(cell, 5, 75, 27, 9));
        p.drawText(r(cell, 5, 75, 27, 9), Qt::AlignCenter, QStringLiteral("AUTO"));
        const QRect lamps[] = {r(cell, 4, 50, 8, 9), r(cell, 10, 63, 17, 9), r(cell, 36, 63, 24, 9),
                               r(cell, 36, 75, 24, 9)};
        const char* captions[] = {"", "AT", "AL1", "AL2"};
        const bool lit[] = {poll.status[10] == 1, false, poll.status[2] != 0, false};
        p.setFont(caption);
        for (int k = 0; k < 4; ++k) {
            const QRect disc(lamps[k].left(), lamps[k].center().y() - 7, 14, 14);
            p.setPen(Qt::NoPen);
            p.setBrush(lit[k] ? QColor(240, 30, 20) : QColor(70, 10, 5));
            p.drawEllipse(disc);
            p.setPen(Qt::black);
            p.drawText(lamps[k].adjusted(17, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                       QString::fromLatin1(captions[k]));
        }
    }
}
