#pragma once

#include "ui/framework/DialogBase.h"

// The About box: the logo, the version line and the maker's address and contact lines.
class CAboutDlg : public CDialogBase {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
