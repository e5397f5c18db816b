#pragma once

#include "ui/framework/UiServices.h"

#include <QColor>
#include <QString>

#include <deque>
#include <functional>
#include <optional>
#include <vector>

// A service for tests: answers every box and file or colour dialog from queued answers (or
// a default) and records what was asked, without showing anything.
class CRecordingUiServices : public CUiServices {
public:
    struct Message {
        QString text;
        QString caption;
        MbIcon icon;
        MbButtons buttons;
        int answer;
    };
    struct FileRequest {
        bool save;
        QString caption;
        QString dir;
        QString filter;
        QString defaultSuffix; // save dialogs
        QString answer;
    };
    struct ColorRequest {
        QColor initial;
        QString caption;
        std::optional<QColor> answer;
    };

    // Answers used in order; when they run out, the first button of the set is pressed
    // (OK, Yes, Abort or Retry), file dialogs are cancelled and colour dialogs too.
    std::deque<int> messageAnswers;
    std::deque<QString> fileAnswers;
    std::deque<std::optional<QColor>> colorAnswers;
    // Runs while a box is "open" (after it is recorded), like a user looking at it.
    std::function<void(const Message&)> onMessage;

    std::vector<Message> messages;
    std::vector<FileRequest> files;
    std::vector<ColorRequest> colors;

    int MessageBox(QWidget* parent, const QString& text, const QString& caption, MbIcon icon,
                   MbButtons buttons) override;
    QString GetOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                            const QString& filter) override;
    // Like the real dialog, adds the default suffix to an answer without one.
    QString GetSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                            const QString& filter, const QString& defaultSuffix) override;
    std::optional<QColor> GetColor(QWidget* parent, const QColor& initial,
                                   const QString& caption) override;

    // The text of the last box, or empty when none was shown.
    QString LastText() const { return messages.empty() ? QString() : messages.back().text; }
};
