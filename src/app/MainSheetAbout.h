#pragma once

#include "framework/DialogBase.h"

// The About box (template 133): program icon, name and version, the maker's lines, OK.
class CSheetAboutBox : public CDialogBase {
    Q_OBJECT
public:
    explicit CSheetAboutBox(QWidget* parent);
};
