// Pictures of the front-panel display in both layouts, fed from a simulated controller, for a
// person to look at; written only when CALORA_SCREENSHOT_DIR names a folder.
#include "SimBus.h"
#include "ui/widgets/DisplayDlg.h"

#include <QDir>
#include <QHBoxLayout>
#include <QTest>
#include <gtest/gtest.h>

#include <array>

namespace {

struct Poll {
    std::array<int16_t, CDisplayDlg::kRegisterCount> registers{};
    std::array<uint8_t, CDisplayDlg::kStatusCount> status{};
};

Poll Read(sim::Controller& controller) {
    Poll poll;
    const std::vector<int16_t> image = controller.Registers(0, CDisplayDlg::kRegisterCount);
    std::copy(image.begin(), image.end(), poll.registers.begin());
    for (uint16_t i = 0; i < controller.CoilCount() && i < poll.status.size(); ++i)
        poll.status[i] = controller.Coil(i) ? 1 : 0;
    return poll;
}

// A full display and a compact one side by side, showing the same poll.
void Shoot(const Poll& poll, int error, const QString& name) {
    QWidget window;
    window.setWindowTitle(name);
    const CDialogUnits units = CDialogUnits::System();
    const QSize full = *CDisplayDlg::TemplateSize(IDD_DISPLAY_FULL);
    const QSize compact = *CDisplayDlg::TemplateSize(IDD_DISPLAY_COMPACT);
    CDisplayDlg big;
    CDisplayDlg small;
    big.Create(1, IDD_DISPLAY_FULL, 8, 8, 8 + units.X(full.width()), 8 + units.Y(full.height()),
               &window);
    const int left = 16 + units.X(full.width());
    small.Create(2, IDD_DISPLAY_COMPACT, left, 8, left + units.X(compact.width()),
                 8 + units.Y(compact.height()), &window);
    window.resize(left + units.X(compact.width()) + 8, 16 + units.Y(full.height()));
    big.SetController(1, QStringLiteral("Test"));
    small.SetController(1, QStringLiteral("Furnace 1"));
    for (CDisplayDlg* display : {&big, &small}) {
        display->Update(error, poll.registers.data(), poll.status.data());
        display->Refresh();
    }
    window.show();
    QTest::qWait(50);
    const QString path = QDir(qEnvironmentVariable("CALORA_SCREENSHOT_DIR")).filePath(name);
    EXPECT_TRUE(window.grab().save(path + ".png")) << name.toStdString();
}

} // namespace

TEST(Screenshots, FrontPanelDisplay) {
    if (qEnvironmentVariableIsEmpty("CALORA_SCREENSHOT_DIR"))
        GTEST_SKIP() << "CALORA_SCREENSHOT_DIR not set";
    QDir().mkpath(qEnvironmentVariable("CALORA_SCREENSHOT_DIR"));
    sim::SimBus bus({.timeScale = 0});
    sim::Controller& controller = bus.AddController(1, ModelFamily::TQ100);
    controller.SetTemperature(182.4);
    controller.SetCoil(2, true); // alarm 1
    controller.SetCoil(10, true);
    Poll poll = Read(controller);
    Shoot(poll, 0, QStringLiteral("display-live"));
    poll.status[0] = 1;
    Shoot(poll, 0, QStringLiteral("display-over-range"));
    Shoot(poll, 1, QStringLiteral("display-comm-error"));
}
