#pragma once

#include <QString>

#include <string>

class QWidget;

// The framework's own message for a file that cannot be opened or created (fixed English, like
// the other texts the program holds itself): what happened to which file, and the system's
// reason. error is an errno value.
QString FileErrorText(const std::string& path, int error);
// Shows it with the stop icon.
void ShowFileError(QWidget* parent, const std::string& path, int error);
