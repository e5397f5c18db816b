#pragma once

// What the page tests share: a session whose connection goes to a simulated bus over
// loopback TCP, message boxes answered by a recorder, and typing into fields by id.
#include "SimBus.h"
#include "core/modbus/ModbusMaster.h"
#include "core/model/ControllerList.h"
#include "core/model/TQControllerModel.h"
#include "core/tasks/AppSession.h"
#include "support/RecordingUiServices.h"
#include "ui/comm/BusTaskDlg.h"
#include "ui/framework/ControlIds.h"
#include "ui/framework/DialogBase.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"
#include "ui/pages/ModelPage.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

class CPageSession : public ISession {
public:
    CommSettings& Settings() override { return settings; }
    CTQControllerModel& GetModel() override { return model; }
    CControllerList& MonitorList() override { return list; }
    int32_t& LogMode() override { return logMode; }
    std::unique_ptr<CModbusMaster> CreateMaster() const override {
        return ::CreateMaster(settings);
    }
    std::string LogsDir() const override { return "/tmp/"; }
    std::string GraphsDir() const override { return "/tmp/"; }

    CommSettings settings;
    CTQControllerModel model;
    CControllerList list{"Zone"};
    int32_t logMode = 0;
};

// A page of type Page on a session; a controller at address 1 of the given family waits on
// the bus.
template <class Page> class PageFixture : public ::testing::Test {
protected:
    void Start(ModelFamily family) {
        // Texts that tell the strings apart.
        SetTextProvider(
            [](int id) -> std::optional<std::string> { return "text " + std::to_string(id); });
        bus.AddController(1, family);
        session.settings = {kInterfaceTcp, "COM1:", 1, 3, 0, "127.0.0.1", bus.StartTcp(0)};
        session.model.SetFamily(nullptr, family);
        page = std::make_unique<Page>(CPageContext{session, {}});
        page->show();
        page->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(page.get()));
    }
    void TearDown() override {
        page.reset();
        bus.Stop();
        SetTextProvider({});
    }

    QString Text(int id) const { return page->GetDlgItemText(id); }
    void Type(int id, const QString& text) {
        auto* edit = page->template Control<QLineEdit>(id);
        ASSERT_NE(edit, nullptr) << id;
        edit->setText(text);
    }
    void Choose(int id, int index) {
        auto* list = page->template Control<QComboBox>(id);
        ASSERT_NE(list, nullptr) << id;
        list->setCurrentIndex(index);
        emit list->activated(index); // what a user's choice sends
    }
    void Click(int id) {
        auto* button = page->template Control<QAbstractButton>(id);
        ASSERT_NE(button, nullptr) << id;
        button->click();
    }
    bool Checked(int id) const { return page->template Control<QAbstractButton>(id)->isChecked(); }
    int Selected(int id) const { return page->template Control<QComboBox>(id)->currentIndex(); }
    // Reloads the page from the model, as the sheet does after a read.
    void Reload() { static_cast<ISheetPageHooks&>(*page).ModelToPage(); }
    bool Save() { return static_cast<ISheetPageHooks&>(*page).PageToModel(); }
    int16_t Value(uint32_t index) const { return session.model.GetValue(index); }
    // Id of the field that has the focus after a refusal.
    int FocusId() const { return ControlId(QApplication::focusWidget()); }

    CRecordingUiServices recorder;
    CScopedUiServices services{recorder};
    sim::SimBus bus{[] {
        sim::SimBusOptions options;
        options.timeScale = 0;
        options.wireTime = false;
        return options;
    }()};
    CPageSession session;
    std::unique_ptr<Page> page;
};

// Runs the bus-task dialogs a page opens to their end and closes them.
class CAutoCloseTasks {
public:
    CAutoCloseTasks()
        : handler([this](CDialogBase& dialog) {
              auto& task = dynamic_cast<CBusTaskDlg&>(dialog);
              modes.push_back(task.Mode());
              for (int i = 0; i < 500 && task.TaskRunning(); ++i)
                  QTest::qWait(10);
              task.OnButton();
          }) {}
    std::vector<int> modes;

private:
    CScopedModalHandler handler;
};
