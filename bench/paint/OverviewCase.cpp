// One page of the controllers overview (a grid of compact front panels): every panel of the
// page takes a new poll through the overview and the page is painted, beside QPainter
// drawing the same texts and lamps of those panels straight into one image.
#include "PaintCase.h"

#include "../display/DirectPanels.h"

#include "core/modbus/ModbusMaster.h"
#include "core/model/ControllerList.h"
#include "ui/framework/AppMessages.h"
#include "ui/monitor/OverviewDlg.h"
#include "ui/widgets/CellFont.h"

namespace {

class COverviewSubject : public IPaintSubject {
public:
    COverviewSubject()
        : master(nullptr, 0), view(CControllerList("Zone"), master, [] { return 200; }) {
        const CDialogUnits u = CDialogUnits::System();
        view.resize(u.X(558), u.Y(339));
        view.EnsureInitialized();
        view.show();
        for (int i = 0; i < view.Columns() * view.Rows(); ++i)
            cells.push_back(view.Display(i)->geometry());
        segment = CellHeightFont(QString::fromLatin1(kSegmentFace), u.Y(16), QFont::Thin);
        unit = CellHeightFont(QStringLiteral("Arial"), u.Y(11), QFont::Thin);
        caption = CellHeightFont(QStringLiteral("Arial"), u.Y(9), QFont::Bold);
    }

    QSize Size() const override { return view.size(); }

    // The page's controllers polled (the polling thread's copy, then the end of each read
    // as the window serves it), then the paint.
    void PaintWindow(QImage& target) override {
        ++windowFrame;
        for (int i = 0; i < static_cast<int>(cells.size()); ++i) {
            Poll poll = Sample(i, windowFrame);
            const auto address = static_cast<unsigned char>(i + 1);
            view.OnData(address, poll.registers.data(), poll.status.data());
            SendAppMessage(&view, kMsgPollEnd, address, 0);
        }
        view.render(&target);
    }

    void PaintDirect(QImage& target) override {
        QPainter p(&target);
        p.setRenderHint(QPainter::Antialiasing);
        DrawDirect(p, cells, CDialogUnits::System(), ++directFrame, segment, unit, caption);
    }

private:
    CModbusMaster master; // never used: nothing is written
    COverviewDlg view;
    std::vector<QRect> cells;
    QFont segment, unit, caption;
    int windowFrame = 0;
    int directFrame = 0;
};

} // namespace

REGISTER_PAINT_CASE(Overview, PaintCase{"overview: one page of panels", 2.0, 0,
                                        [] { return std::make_unique<COverviewSubject>(); }});
