#include "support/RecordingUiServices.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

TEST(UiServices, RecordsBoxesAndAnswersInOrderThenWithTheFirstButton) {
    CRecordingUiServices ui;
    CScopedUiServices scope(ui);
    ui.messageAnswers = {IDNO, IDRETRY};
    EXPECT_EQ(IDNO, MessageBoxText(nullptr, "Write to all?", MbIcon::Question, MbButtons::YesNo));
    EXPECT_EQ(IDRETRY,
              MessageBoxText(nullptr, "Port busy", MbIcon::Stop, MbButtons::AbortRetryIgnore));
    EXPECT_EQ(IDYES, MessageBoxText(nullptr, "Again?", MbIcon::Question, MbButtons::YesNo));
    EXPECT_EQ(IDABORT, MessageBoxText(nullptr, "x", MbIcon::Stop, MbButtons::AbortRetryIgnore));
    EXPECT_EQ(IDOK, MessageBoxText(nullptr, "Done", MbIcon::Information));
    ASSERT_EQ(5u, ui.messages.size());
    EXPECT_EQ("Write to all?", ui.messages[0].text);
    EXPECT_EQ(MbIcon::Question, ui.messages[0].icon);
    EXPECT_EQ(MbButtons::YesNo, ui.messages[0].buttons);
    EXPECT_EQ(IDNO, ui.messages[0].answer);
    EXPECT_EQ(MbIcon::Stop, ui.messages[1].icon);
    EXPECT_EQ("Calora", ui.messages[4].caption);
}

TEST(UiServices, MessagesByNumberUseTheTextHook) {
    CRecordingUiServices ui;
    CScopedUiServices scope(ui);
    SetTextProvider([](int id) -> std::optional<std::string> {
        if (id == 47)
            return std::string("No connection");
        return std::nullopt;
    });
    MessageBoxId(nullptr, 47, MbIcon::Stop);
    MessageBoxId(nullptr, 9999, MbIcon::Exclamation);
    SetTextProvider({});
    ASSERT_EQ(2u, ui.messages.size());
    EXPECT_EQ("No connection", ui.messages[0].text);
    EXPECT_EQ("Text Error", ui.messages[1].text);
}

TEST(UiServices, ScopeRestoresThePreviousService) {
    CRecordingUiServices outer;
    CScopedUiServices outerScope(outer);
    {
        CRecordingUiServices inner;
        CScopedUiServices innerScope(inner);
        EXPECT_EQ(&inner, &UiServices());
        MessageBoxText(nullptr, "inner", MbIcon::None);
        EXPECT_EQ(1u, inner.messages.size());
    }
    EXPECT_EQ(&outer, &UiServices());
    EXPECT_TRUE(outer.messages.empty());
}

TEST(UiServices, FileAndColourDialogsAreAnsweredAndRecorded) {
    CRecordingUiServices ui;
    CScopedUiServices scope(ui);
    ui.fileAnswers = {"/tmp/a.TQ"};
    ui.colorAnswers = {QColor(Qt::red)};
    EXPECT_EQ("/tmp/a.TQ", UiServices().GetOpenFileName(nullptr, "Open", "/tmp", "*.TQ"));
    EXPECT_EQ("", UiServices().GetSaveFileName(nullptr, "Save", "/tmp", "*.TQ", "TQ")); // cancelled
    EXPECT_EQ(QColor(Qt::red), UiServices().GetColor(nullptr, Qt::blue, "Colour"));
    EXPECT_FALSE(UiServices().GetColor(nullptr, Qt::blue, "Colour"));
    ASSERT_EQ(2u, ui.files.size());
    EXPECT_FALSE(ui.files[0].save);
    EXPECT_TRUE(ui.files[1].save);
    EXPECT_EQ("*.TQ", ui.files[1].filter);
    ASSERT_EQ(2u, ui.colors.size());
    EXPECT_EQ(QColor(Qt::blue), ui.colors[0].initial);
}

TEST(UiServices, ACallbackSeesTheBoxWhileItIsOpen) {
    CRecordingUiServices ui;
    CScopedUiServices scope(ui);
    QStringList seen;
    ui.onMessage = [&](const CRecordingUiServices::Message& m) {
        seen << m.text;
        if (ui.messages.size() == 1)
            MessageBoxText(nullptr, "nested", MbIcon::None); // may ask again
    };
    MessageBoxText(nullptr, "first", MbIcon::Information);
    EXPECT_EQ(QStringList({"first", "nested"}), seen);
    EXPECT_EQ(2u, ui.messages.size());
}

namespace {
// Presses a button of the real box once it is open.
void AnswerRealBox(QMessageBox::StandardButton button, QString* seenText = nullptr) {
    QTimer::singleShot(0, [button, seenText] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(nullptr, box);
        if (seenText)
            *seenText = box->text() + "|" + box->windowTitle();
        if (button == QMessageBox::Escape)
            QTest::keyClick(box, Qt::Key_Escape);
        else
            box->button(button)->click();
    });
}
} // namespace

TEST(UiServices, TheRealBoxAnswersWithTheWindowsIds) {
    QString seen;
    AnswerRealBox(QMessageBox::No, &seen);
    EXPECT_EQ(IDNO, MessageBoxText(nullptr, "Question?", MbIcon::Question, MbButtons::YesNo));
    EXPECT_EQ("Question?|Calora", seen);
    AnswerRealBox(QMessageBox::Retry);
    EXPECT_EQ(IDRETRY, MessageBoxText(nullptr, "Busy", MbIcon::Stop, MbButtons::AbortRetryIgnore));
    AnswerRealBox(QMessageBox::Ignore);
    EXPECT_EQ(IDIGNORE, MessageBoxText(nullptr, "Busy", MbIcon::Stop, MbButtons::AbortRetryIgnore));
    AnswerRealBox(QMessageBox::Ok);
    EXPECT_EQ(IDOK, MessageBoxText(nullptr, "Done", MbIcon::Information));
}

TEST(UiServices, EscapeOnTheRealBoxMeansCancelOrNo) {
    AnswerRealBox(QMessageBox::Escape);
    EXPECT_EQ(IDCANCEL, MessageBoxText(nullptr, "?", MbIcon::Question, MbButtons::YesNoCancel));
    AnswerRealBox(QMessageBox::Escape);
    EXPECT_EQ(IDNO, MessageBoxText(nullptr, "?", MbIcon::Question, MbButtons::YesNo));
    AnswerRealBox(QMessageBox::Escape);
    EXPECT_EQ(IDOK, MessageBoxText(nullptr, "!", MbIcon::Exclamation));
}
