#include "ui/framework/DialogBase.h"
#include "support/RecordingUiServices.h"
#include "ui/framework/AppMessages.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/FormBase.h"
#include "ui/framework/ResourceIds.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

constexpr int kEdit = 1300;

class CSmallDlg : public CDialogBase {
public:
    explicit CSmallDlg(QWidget* parent = nullptr) : CDialogBase(555, parent) {
        SetClientSize(120, 60);
        AddControl<QLineEdit>(kEdit, 5, 5, 60, 12);
        AddButton(IDOK, "OK", 5, 40, 50, 14, true);
        AddButton(IDCANCEL, "Cancel", 60, 40, 50, 14);
    }
    int value = 3;
    int inits = 0;
    int result() const { return QDialog::result(); }

protected:
    void OnInitDialog() override {
        ++inits;
        CDialogBase::OnInitDialog();
    }
    void DoDataExchange(CDataExchange& dx) override {
        ExchangeInt(dx, kEdit, value);
        ValidateRange(dx, value, 1, 10);
    }
};

} // namespace

TEST(DialogBase, InitialisesOnceOnFirstShow) {
    CSmallDlg dlg;
    EXPECT_EQ(555, dlg.TemplateId());
    dlg.show();
    dlg.hide();
    dlg.show();
    EXPECT_EQ(1, dlg.inits);
    EXPECT_EQ("3", dlg.Control<QLineEdit>(kEdit)->text());
}

TEST(DialogBase, OkValidatesAndClosesWithIdOk) {
    CRecordingUiServices ui;
    CScopedUiServices scope(ui);
    CSmallDlg dlg;
    dlg.show();
    dlg.Control<QLineEdit>(kEdit)->setText("11");
    QTest::mouseClick(dlg.Control<QPushButton>(IDOK), Qt::LeftButton);
    EXPECT_TRUE(dlg.isVisible()); // refused: stays open
    ASSERT_EQ(1u, ui.messages.size());
    EXPECT_EQ("Please enter a value between 1 and 10.", ui.messages[0].text);

    dlg.Control<QLineEdit>(kEdit)->setText("10");
    QTest::mouseClick(dlg.Control<QPushButton>(IDOK), Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(IDOK, dlg.result());
    EXPECT_EQ(10, dlg.value);
}

TEST(DialogBase, CancelAndEscapeCloseWithIdCancelWithoutSaving) {
    CSmallDlg dlg;
    dlg.show();
    dlg.Control<QLineEdit>(kEdit)->setText("7");
    QTest::mouseClick(dlg.Control<QPushButton>(IDCANCEL), Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(IDCANCEL, dlg.result());
    EXPECT_EQ(3, dlg.value);

    CSmallDlg second;
    second.show();
    QTest::keyClick(&second, Qt::Key_Escape);
    EXPECT_FALSE(second.isVisible());
    EXPECT_EQ(IDCANCEL, second.result());
}

TEST(DialogBase, EnterPressesTheDefaultButton) {
    CSmallDlg dlg;
    dlg.show();
    dlg.Control<QLineEdit>(kEdit)->setText("4");
    QTest::keyClick(dlg.Control<QLineEdit>(kEdit), Qt::Key_Return);
    EXPECT_EQ(IDOK, dlg.result());
    EXPECT_EQ(4, dlg.value);
}

TEST(DialogBase, EnterOnAFocusedButtonPressesThatButton) {
    CSmallDlg dlg;
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    dlg.Control<QPushButton>(IDCANCEL)->setFocus();
    QTest::keyClick(dlg.Control<QPushButton>(IDCANCEL), Qt::Key_Return);
    EXPECT_EQ(IDCANCEL, dlg.result());
    EXPECT_FALSE(dlg.isVisible());
}

TEST(DialogBase, DoModalReturnsTheEndCode) {
    CSmallDlg dlg;
    QTimer::singleShot(0, &dlg, [&] {
        dlg.Control<QLineEdit>(kEdit)->setText("9");
        dlg.Control<QPushButton>(IDOK)->click();
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(9, dlg.value);

    CSmallDlg other;
    QTimer::singleShot(0, &other, [&] { other.EndDialog(IDABORT); });
    EXPECT_EQ(IDABORT, other.DoModal());
}

namespace {
class COwner : public CFormBase, public IAppMessageTarget {
public:
    struct Seen {
        unsigned message;
        WPARAM w;
        LPARAM l;
    };
    std::vector<Seen> seen;
    LRESULT OnAppMessage(unsigned message, WPARAM w, LPARAM l) override {
        seen.push_back({message, w, l});
        return message == kMsgLamp ? 1 : 0;
    }
};
} // namespace

TEST(AppMessages, SendReachesTheOwnerAndReturnsItsAnswer) {
    COwner owner;
    auto* panel = new QWidget(&owner);
    auto* lamp = new QWidget(panel);
    EXPECT_EQ(1, SendToOwner(lamp, kMsgLamp, 1067, 1));
    ASSERT_EQ(1u, owner.seen.size());
    EXPECT_EQ(1067u, owner.seen[0].w);
    EXPECT_EQ(0, SendToOwner(&owner, kMsgLamp, 0, 0));   // no owner above it
    EXPECT_EQ(0, SendAppMessage(panel, kMsgLamp, 0, 0)); // panel handles nothing
}

TEST(AppMessages, PostedMessagesArriveLaterInOrder) {
    COwner owner;
    PostAppMessage(&owner, kMsgProgressBegin, 10, 0);
    PostAppMessage(&owner, kMsgProgressPosition, 4, 0);
    EXPECT_TRUE(owner.seen.empty());
    QCoreApplication::processEvents();
    ASSERT_EQ(2u, owner.seen.size());
    EXPECT_EQ(kMsgProgressBegin, owner.seen[0].message);
    EXPECT_EQ(4u, owner.seen[1].w);
}

TEST(DialogBase, AModalHandlerDrivesDialogsOpenedByTheCodeUnderTest) {
    std::vector<int> templates;
    CScopedModalHandler handler([&](CDialogBase& dialog) {
        templates.push_back(dialog.TemplateId());
        dialog.SetDlgItemText(kEdit, "6");
        dialog.Control<QPushButton>(IDOK)->click();
    });
    CSmallDlg dlg;
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(6, dlg.value);
    EXPECT_EQ(1, dlg.inits);
    EXPECT_EQ(std::vector<int>{555}, templates);
}

TEST(DialogBase, ADialogTheHandlerLeavesOpenEndsCancelled) {
    CScopedModalHandler handler([](CDialogBase&) {});
    CSmallDlg dlg;
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(3, dlg.value);
}

TEST(DialogBase, TheHandlerIsRemovedWithItsScope) {
    {
        CScopedModalHandler handler([](CDialogBase& d) { d.EndDialog(IDRETRY); });
        CSmallDlg dlg;
        EXPECT_EQ(IDRETRY, dlg.DoModal());
    }
    CSmallDlg dlg;
    QTimer::singleShot(0, &dlg, [&] { dlg.EndDialog(IDNO); });
    EXPECT_EQ(IDNO, dlg.DoModal()); // a real modal loop again
}
