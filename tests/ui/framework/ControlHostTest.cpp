#include "ui/framework/ControlHost.h"
#include "ui/framework/DialogBase.h"
#include "ui/framework/FormBase.h"
#include "ui/framework/TextProvider.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

TEST(ControlIds, ControlsAreFoundByIdAndTyped) {
    CFormBase form;
    auto* edit = form.AddControl<QLineEdit>(1196, 0, 0, 40, 12);
    auto* label = form.AddControl<QLabel>(1202, 0, 20, 40, 12);
    EXPECT_EQ(edit, form.GetDlgItem(1196));
    EXPECT_EQ(edit, form.Control<QLineEdit>(1196));
    EXPECT_EQ(label, form.Control<QLabel>(1202));
    EXPECT_EQ(nullptr, form.Control<QLabel>(1196)); // wrong type
    EXPECT_EQ(nullptr, form.GetDlgItem(4242));
    new QLabel(&form); // a control without an id is not found as id 0
    EXPECT_EQ(nullptr, form.GetDlgItem(0));
    EXPECT_EQ(1196, ControlId(edit));
}

TEST(ControlIds, ANestedFormKeepsItsIdsToItself) {
    CFormBase outer;
    auto* panel = new QWidget(&outer); // plain container: searched through
    auto* inner = new CFormBase(&outer);
    SetControlId(inner, 7);
    auto* innerEdit = inner->AddControl<QLineEdit>(1057, 0, 0, 10, 10);
    EXPECT_EQ(nullptr, outer.GetDlgItem(1057));
    EXPECT_EQ(inner, outer.GetDlgItem(7));
    EXPECT_EQ(innerEdit, inner->GetDlgItem(1057));

    auto* grouped = new QLineEdit(panel);
    SetControlId(grouped, 1058);
    EXPECT_EQ(grouped, outer.GetDlgItem(1058));
}

TEST(ControlIds, TheNearestControlWinsOverADeeperOne) {
    CFormBase form;
    auto* panel = new QWidget(&form);
    auto* deep = new QLineEdit(panel);
    SetControlId(deep, 5);
    auto* near = form.AddControl<QLineEdit>(5, 0, 0, 10, 10);
    EXPECT_EQ(near, form.GetDlgItem(5));
}

TEST(DialogUnits, BaseUnitsComeFromTheFont) {
    QFont font = QApplication::font();
    font.setPixelSize(13);
    const CDialogUnits units = CDialogUnits::FromFont(font);
    const QFontMetrics metrics(font);
    const int extent = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ((extent / 26 + 1) / 2, units.baseX);
    EXPECT_EQ(metrics.height(), units.baseY);
    EXPECT_EQ(40 * units.baseX / 4, units.X(40));
    EXPECT_EQ(14 * units.baseY / 8, units.Y(14));
}

TEST(DialogUnits, PlacedControlsTakeTheirRectangleInDialogUnits) {
    CFormBase form;
    CDialogUnits units;
    units.baseX = 6;
    units.baseY = 13;
    EXPECT_EQ(QRect(15, 26, 60, 19), units.Rect(10, 16, 40, 12));
    auto* edit = form.AddControl<QLineEdit>(1, 10, 16, 40, 12);
    EXPECT_EQ(form.DialogUnits().Rect(10, 16, 40, 12), edit->geometry());
    form.SetClientSize(100, 50);
    EXPECT_EQ(QSize(form.DialogUnits().X(100), form.DialogUnits().Y(50)), form.size());
}

TEST(ControlHost, TextsLimitsAndStates) {
    CFormBase form;
    auto* edit = form.AddControl<QLineEdit>(10, 0, 0, 40, 12);
    auto* button = form.AddControl<QPushButton>(11, 0, 0, 40, 12);
    form.SetDlgItemText(10, "abc");
    form.SetDlgItemText(11, "Go");
    EXPECT_EQ("abc", form.GetDlgItemText(10));
    EXPECT_EQ("Go", button->text());
    form.SetLimitText(10, 5);
    edit->setText("");
    QTest::keyClicks(edit, "1234567");
    EXPECT_EQ("12345", edit->text());
    form.EnableControl(11, false);
    EXPECT_FALSE(button->isEnabled());
    form.SetDlgItemText(999, "nothing"); // missing control: ignored
}

TEST(TextProvider, DefaultsToTextErrorAndUsesThePluggedLookup) {
    SetTextProvider({});
    EXPECT_EQ("Text Error", TextById(117));
    SetTextProvider([](int id) -> std::optional<std::string> {
        if (id == 117)
            return std::string("Aceptar \xC3\xB1"); // UTF-8
        return std::nullopt;
    });
    EXPECT_EQ(QString::fromUtf8("Aceptar ñ"), TextById(117));
    EXPECT_EQ("Text Error", TextById(118));
    CFormBase form;
    form.AddControl<QPushButton>(1, 0, 0, 40, 12);
    form.SetDlgItemTextById(1, 117);
    EXPECT_EQ(QString::fromUtf8("Aceptar ñ"), form.GetDlgItemText(1));
    SetTextProvider({});
    EXPECT_EQ("Text Error", TextById(117));
}

TEST(ControlHost, TextLimitBindsTypingButNotTheProgramsText) {
    CFormBase form;
    auto* edit = form.AddControl<QLineEdit>(10, 0, 0, 40, 12);
    form.SetLimitText(10, 5);
    edit->setText("-199.9"); // six characters set by the program stay whole
    EXPECT_EQ("-199.9", edit->text());
    edit->setCursorPosition(6);
    QTest::keyClicks(edit, "7");
    EXPECT_EQ("-199.9", edit->text());
    QTest::keyClick(edit, Qt::Key_Backspace); // shortening is always possible
    EXPECT_EQ("-199.", edit->text());
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, "12");
    EXPECT_EQ("-1991", edit->text());
    form.SetLimitText(10, 0); // no limit
    QTest::keyClicks(edit, "234");
    EXPECT_EQ("-1991234", edit->text());
}
