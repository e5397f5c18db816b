#pragma once

#include <QString>

class QWidget;

// Hands a local file or folder to the desktop's opener ("xdg-open", found on PATH) and returns
// at once. The opener may start and fail later (no browser or file manager set up), so its
// exit status is watched: when it cannot start or ends with a failure, a message box owned by
// `parent` (if it still exists) names the path, so the user can open it by hand.
void OpenOnDesktop(QWidget* parent, const QString& path);
