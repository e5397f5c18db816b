// Open and Save on the main sheet: the file dialogs, the pages and menus a load switches, and
// what the user is told when a file cannot be read or written.
#include "support/UiTestSupport.h"

#include "core/files/Archive.h"
#include "core/model/ControllerList.h"
#include "core/model/TQControllerModel.h"
#include "core/platform/SerialPortList.h"
#include "core/tasks/ConfigurationFile.h"
#include "languages/StringIds.h"
#include "support/RecordingUiServices.h"
#include "ui/app/MainSheet.h"
#include "ui/framework/FileError.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/SheetPageHooks.h"
#include "ui/framework/TextProvider.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class CountingPage : public QWidget, public IModelPage, public ISheetPageHooks {
public:
    explicit CountingPage(const QString& title) { setWindowTitle(title); }
    void ModelToPage() override { ++shown; }
    bool PageToModel() override { return valid; }
    bool valid = true;
    int shown = 0;
};

std::vector<uint8_t> Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SheetConfigurationTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseLanguage("English");
        ClearConnectionProfile();
        SetSerialDeviceScanner([] { return std::vector<std::string>{}; });
        app = MakeApp(false);
        ASSERT_TRUE(app->InitInstance());
        app->GetModel().SetPages({&config, &config2, &retransmission, &multiple, &parameters});
        sheet = app->BuildSheet();
        ASSERT_NE(sheet, nullptr);
        dir = fs::temp_directory_path() / ("calora-sheetcfg-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        app.reset();
        SetSerialDeviceScanner({});
        ClearConnectionProfile();
        fs::remove_all(dir);
    }
    QString Path(const fs::path& p) const { return QString::fromStdString(p.string()); }
    QString Text(int id) const { return TextById(id); }

    CountingPage config{"4.1"}, config2{"4.2"}, retransmission{"4.5"}, multiple{"4.4"},
        parameters{"4.3"};
    CRecordingUiServices recorder;
    CScopedUiServices services{recorder};
    std::unique_ptr<CCaloraApp> app;
    CMainSheet* sheet = nullptr;
    fs::path dir;
};

TEST_F(SheetConfigurationTest, SaveChecksThePageAsksForANameAndWritesTheSession) {
    sheet->UpdateCommandStates();
    ASSERT_TRUE(sheet->FindCommand(ID_FILE_SAVE)->isEnabled());

    config.valid = false;
    sheet->OnCommand(ID_FILE_SAVE);
    EXPECT_TRUE(recorder.files.empty()); // the page complained; nothing asked
    config.valid = true;

    app->LogMode() = 1;
    recorder.fileAnswers.push_back(Path(dir / "plant"));
    sheet->OnCommand(ID_FILE_SAVE);
    ASSERT_EQ(recorder.files.size(), 1u);
    EXPECT_TRUE(recorder.files[0].save);
    EXPECT_TRUE(recorder.files[0].dir.endsWith("/Configuration.TQ"));
    EXPECT_TRUE(recorder.files[0].filter.contains("*.TQ"));
    EXPECT_TRUE(recorder.files[0].filter.contains("*.tq"));
    EXPECT_EQ(recorder.files[0].defaultSuffix, "TQ"); // the dialog adds it, before its questions
    EXPECT_EQ(recorder.LastText(), Text(IDS_MSG_CONFIG_SAVED));
    EXPECT_EQ(recorder.messages.back().icon, MbIcon::Information);

    // The file is the session as it stands, with the list named in the language in use.
    EXPECT_EQ(app->MonitorList().name[1], "Zone 2");
    CMemoryArchiveWriter expected;
    StoreConfiguration(expected, {app->GetModel(), app->LogMode(), app->MonitorList(), nullptr});
    EXPECT_EQ(Bytes(dir / "plant.TQ"), expected.GetBytes());

    // A folder that does not exist: the file error, and no "saved".
    recorder.fileAnswers.push_back(Path(dir / "gone" / "x.TQ"));
    sheet->OnCommand(ID_FILE_SAVE);
    EXPECT_EQ(recorder.LastText(), FileErrorText((dir / "gone" / "x.TQ").string(), ENOENT));
    EXPECT_EQ(recorder.messages.back().icon, MbIcon::Stop);
    // A name that cannot be replaced: message 32, the folder there stays.
    fs::create_directory(dir / "taken.TQ");
    recorder.fileAnswers.push_back(Path(dir / "taken.TQ"));
    sheet->OnCommand(ID_FILE_SAVE);
    EXPECT_EQ(recorder.LastText(), Text(IDS_MSG_CONFIG_FILE_ERROR));
    EXPECT_TRUE(fs::is_directory(dir / "taken.TQ"));
}

// Runs `act` on the first modal window of type T that comes up within five seconds.
template <class T> void WhenModal(std::function<void(T*)> act) {
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(250);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, act = std::move(act)] {
        auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (window || --*tries == 0) {
            timer->stop();
            timer->deleteLater();
        }
        if (window)
            act(window);
    });
    timer->start(20);
}

TEST_F(SheetConfigurationTest, ABareNameIsAskedAboutWithItsExtensionBeforeItIsReplaced) {
    // The real save dialog, so that its own question about an existing file is seen.
    struct RealSaveDialog : CRecordingUiServices {
        QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                                const QString& filter, const QString& suffix) override {
            return CUiServices::GetSaveFileName(parent, caption, dir, filter, suffix);
        }
    } real;
    CScopedUiServices scope(real);
    std::ofstream(dir / "plant.TQ") << "kept";
    QString asked;
    WhenModal<QFileDialog>([&](QFileDialog* dialog) {
        WhenModal<QMessageBox>([&](QMessageBox* box) {
            asked = box->text();
            box->button(QMessageBox::No)->click();
        });
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(Path(dir / "plant"));
        QMetaObject::invokeMethod(dialog, "accept"); // asks first; No leaves the dialog open
        dialog->reject();
    });
    sheet->OnCommand(ID_FILE_SAVE);
    EXPECT_TRUE(asked.contains("plant.TQ")) << asked.toStdString();
    EXPECT_EQ(Bytes(dir / "plant.TQ"), (std::vector<uint8_t>{'k', 'e', 'p', 't'}));
    EXPECT_TRUE(real.messages.empty()); // not "saved"
}

TEST_F(SheetConfigurationTest, LoadSwitchesFamilyPagesAndMenusThenShowsEverything) {
    // A TQ100 file prepared elsewhere, with a two-entry list.
    CTQControllerModel other;
    other.SetFamily(nullptr, TQ100);
    ASSERT_TRUE(other.SetValue(reg::kSetpoint, 321));
    ASSERT_TRUE(other.SetValue(reg::kRetransAddress, 17));
    int32_t logMode = 2;
    CControllerList list("Zona");
    ASSERT_TRUE(list.SetEntries({1, 0}, {3, 4}, {"Horno", "Cámara"}, {"ºC", "F"}));
    ASSERT_TRUE(SaveConfigurationFile(dir / "tq100.TQ", {other, logMode, list, nullptr}).Ok());

    ASSERT_EQ(app->GetModel().GetFamily(), TQ102_TQ402);
    recorder.fileAnswers.push_back(Path(dir / "tq100.TQ"));
    sheet->OnCommand(ID_FILE_LOAD);
    ASSERT_EQ(recorder.files.size(), 1u);
    EXPECT_FALSE(recorder.files[0].save);
    EXPECT_EQ(recorder.LastText(), Text(IDS_MSG_CONFIG_LOADED));
    EXPECT_EQ(app->GetModel().GetFamily(), TQ100);
    sheet->UpdateCommandStates();
    EXPECT_TRUE(sheet->FindCommand(ID_FAMILY_TQ100)->isChecked());
    EXPECT_EQ(sheet->GetPages().size(), 5u); // the retransmission page came with the family
    EXPECT_EQ(app->GetModel().GetValue(reg::kRetransAddress), 17);
    EXPECT_EQ(app->LogMode(), 2);
    EXPECT_EQ(app->MonitorList().name, (std::vector<std::string>{"Horno", "Cámara"}));
    for (CountingPage* page : {&config, &config2, &retransmission, &multiple, &parameters})
        EXPECT_EQ(page->shown, 1) << page->windowTitle().toStdString();

    // A ZI102-VA402 file that breaks off inside the values: family and pages switch, no value
    // changes, message 30.
    CTQControllerModel zi;
    CMemoryArchiveWriter w;
    StoreConfiguration(w, {zi, logMode, list, nullptr});
    std::vector<uint8_t> cut(w.GetBytes().begin(), w.GetBytes().begin() + 40);
    std::ofstream(dir / "cut.TQ", std::ios::binary)
        .write(reinterpret_cast<const char*>(cut.data()), static_cast<std::streamsize>(cut.size()));
    recorder.fileAnswers.push_back(Path(dir / "cut.TQ"));
    sheet->OnCommand(ID_FILE_LOAD);
    EXPECT_EQ(recorder.LastText(), Text(IDS_MSG_CONFIG_BAD_FORMAT));
    EXPECT_EQ(app->GetModel().GetFamily(), TQ102_TQ402);
    EXPECT_EQ(sheet->GetPages().size(), 4u);
    EXPECT_EQ(app->GetModel().GetValue(reg::kSetpoint), 321);
    EXPECT_EQ(config.shown, 2); // the switched pages show the model as it is

    // A file that cannot be opened changes nothing.
    recorder.fileAnswers.push_back(Path(dir / "none.TQ"));
    sheet->OnCommand(ID_FILE_LOAD);
    EXPECT_EQ(recorder.LastText(), FileErrorText((dir / "none.TQ").string(), ENOENT));
    EXPECT_EQ(app->GetModel().GetFamily(), TQ102_TQ402);
    EXPECT_EQ(config.shown, 2);

    // A setpoint outside its range: the rest loads, then one message names what was kept.
    std::vector<uint8_t> bytes = w.GetBytes();
    bytes[3 + 2] = 0xE0; // 12000 in the setpoint's word, after the tag "TQ"
    bytes[3 + 3] = 0x2E;
    std::ofstream(dir / "range.TQ", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    recorder.fileAnswers.push_back(Path(dir / "range.TQ"));
    const size_t before = recorder.messages.size();
    sheet->OnCommand(ID_FILE_LOAD);
    ASSERT_EQ(recorder.messages.size(), before + 2);
    EXPECT_EQ(recorder.messages[before].text, Text(IDS_MSG_CONFIG_LOADED));
    EXPECT_EQ(recorder.LastText(),
              Text(IDS_MSG_CONFIG_VALUES_SKIPPED) + "\nSetpoint (1): 12000 \u2192 321");
    EXPECT_EQ(app->GetModel().GetValue(reg::kSetpoint), 321);
}

} // namespace
