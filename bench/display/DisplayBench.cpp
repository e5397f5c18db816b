// Times one overview page of compact displays: Update + Refresh + paint of 72 displays into an
// offscreen image, against QPainter drawing the same texts and lamps into one image directly.
// Prints the median time per frame of each and their ratio, measured in this run.
#include "ui/framework/DialogUnits.h"
#include "ui/widgets/CellFont.h"
#include "ui/widgets/DisplayDlg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kDisplays = 72;
constexpr int kColumns = 12;
constexpr int kFrames = 200;

struct Poll {
    std::array<int16_t, CDisplayDlg::kRegisterCount> registers{};
    std::array<uint8_t, CDisplayDlg::kStatusCount> status{};
};

// Values that change every frame, as a live overview's do.
Poll Sample(int display, int frame) {
    Poll poll;
    poll.registers[32] = 1;
    poll.registers[0] = static_cast<int16_t>(1800 + (display * 37 + frame * 13) % 400);
    poll.registers[4] = static_cast<int16_t>(2000 + display);
    poll.registers[3] = static_cast<int16_t>((frame * 7 + display) % 1000);
    poll.status[2] = (frame + display) % 5 == 0;
    poll.status[10] = (frame + display) % 2;
    return poll;
}

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// The same picture by hand: per display the title, three value fields on black, three units,
// the mode box and four lamps with captions.
void DrawDirect(QPainter& p, const std::vector<QRect>& cells, const CDialogUnits& u, int frame,
                const QFont& segment, const QFont& unit, const QFont& caption) {
    auto r = [&u](const QRect& cell, int x, int y, int cx, int cy) {
        return u.Rect(x, y, cx, cy).translated(cell.topLeft());
    };
    const QColor face = QApplication::palette().color(QPalette::Button);
    for (int i = 0; i < kDisplays; ++i) {
        const QRect& cell = cells[i];
        const Poll poll = Sample(i, frame);
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

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const CDialogUnits u = CDialogUnits::System();
    const QSize cellSize(u.X(67), u.Y(88));
    QWidget host;
    std::vector<std::unique_ptr<CDisplayDlg>> displays;
    std::vector<QRect> cells;
    for (int i = 0; i < kDisplays; ++i) {
        const QRect cell(
            QPoint((i % kColumns) * cellSize.width(), (i / kColumns) * cellSize.height()),
            cellSize);
        cells.push_back(cell);
        auto display = std::make_unique<CDisplayDlg>();
        display->Create(i, IDD_DISPLAY_COMPACT, cell.left(), cell.top(), cell.right() + 1,
                        cell.bottom() + 1, &host);
        display->SetController(static_cast<uint8_t>(i + 1), QStringLiteral("Zone %1").arg(i + 1));
        displays.push_back(std::move(display));
    }
    host.resize(kColumns * cellSize.width(), (kDisplays / kColumns) * cellSize.height());
    host.show();
    QImage image(host.size(), QImage::Format_ARGB32_Premultiplied);

    std::vector<double> widgetMs;
    for (int frame = 0; frame < kFrames; ++frame) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < kDisplays; ++i) {
            const Poll poll = Sample(i, frame);
            displays[i]->Update(0, poll.registers.data(), poll.status.data());
            displays[i]->Refresh();
        }
        host.render(&image);
        widgetMs.push_back(timer.nsecsElapsed() / 1e6);
    }

    const QFont segment = CellHeightFont(QString::fromLatin1(kSegmentFace), u.Y(16), QFont::Thin);
    const QFont unit = CellHeightFont(QStringLiteral("Arial"), u.Y(11), QFont::Thin);
    const QFont caption = CellHeightFont(QStringLiteral("Arial"), u.Y(9), QFont::Bold);
    std::vector<double> directMs;
    for (int frame = 0; frame < kFrames; ++frame) {
        QElapsedTimer timer;
        timer.start();
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        DrawDirect(p, cells, u, frame, segment, unit, caption);
        p.end();
        directMs.push_back(timer.nsecsElapsed() / 1e6);
    }

    const double widgets = Median(widgetMs);
    const double direct = Median(directMs);
    std::printf("%d compact displays, %dx%d px, median of %d frames\n", kDisplays, image.width(),
                image.height(), kFrames);
    std::printf("displays (Update + Refresh + paint): %.2f ms per frame\n", widgets);
    std::printf("direct QPainter, same texts and lamps: %.2f ms per frame\n", direct);
    std::printf("ratio: %.2f x direct drawing\n", widgets / direct);
    return 0;
}
