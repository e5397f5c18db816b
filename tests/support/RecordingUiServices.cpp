#include "support/RecordingUiServices.h"

#include "ui/framework/ResourceIds.h"

#include <QFileInfo>

namespace {
int FirstButton(MbButtons buttons) {
    switch (buttons) {
    case MbButtons::YesNo:
    case MbButtons::YesNoCancel:
        return IDYES;
    case MbButtons::AbortRetryIgnore:
        return IDABORT;
    case MbButtons::RetryCancel:
        return IDRETRY;
    case MbButtons::Ok:
    case MbButtons::OkCancel:
        break;
    }
    return IDOK;
}
} // namespace

int CRecordingUiServices::MessageBox(QWidget*, const QString& text, const QString& caption,
                                     MbIcon icon, MbButtons buttons) {
    int answer = FirstButton(buttons);
    if (!messageAnswers.empty()) {
        answer = messageAnswers.front();
        messageAnswers.pop_front();
    }
    messages.push_back({text, caption, icon, buttons, answer});
    if (onMessage) {
        const Message asked = messages.back(); // the callback may ask again
        onMessage(asked);
    }
    return answer;
}

QString CRecordingUiServices::GetOpenFileName(QWidget*, const QString& caption, const QString& dir,
                                              const QString& filter) {
    QString answer;
    if (!fileAnswers.empty()) {
        answer = fileAnswers.front();
        fileAnswers.pop_front();
    }
    files.push_back({false, caption, dir, filter, {}, answer});
    return answer;
}

QString CRecordingUiServices::GetSaveFileName(QWidget*, const QString& caption, const QString& dir,
                                              const QString& filter, const QString& defaultSuffix) {
    QString answer;
    if (!fileAnswers.empty()) {
        answer = fileAnswers.front();
        fileAnswers.pop_front();
    }
    if (!answer.isEmpty() && !defaultSuffix.isEmpty() && QFileInfo(answer).suffix().isEmpty())
        answer += "." + defaultSuffix;
    files.push_back({true, caption, dir, filter, defaultSuffix, answer});
    return answer;
}

std::optional<QColor> CRecordingUiServices::GetColor(QWidget*, const QColor& initial,
                                                     const QString& caption) {
    std::optional<QColor> answer;
    if (!colorAnswers.empty()) {
        answer = colorAnswers.front();
        colorAnswers.pop_front();
    }
    colors.push_back({initial, caption, answer});
    return answer;
}
