// Times one overview page of compact displays: Update + Refresh + paint of 72 displays into an
// offscreen image, against QPainter drawing the same texts and lamps into one image directly.
// Prints the median time per frame of each and their ratio, measured in this run.
#include "DirectPanels.h"

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

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
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
