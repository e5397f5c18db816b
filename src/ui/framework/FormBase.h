#pragma once

#include "ui/framework/ControlHost.h"

#include <QWidget>

// A window with numbered controls that is not a dialog of its own: property pages and
// child panels placed inside another window.
class CFormBase : public QWidget, public CControlHost {
    Q_OBJECT
public:
    explicit CFormBase(QWidget* parent = nullptr) : QWidget(parent), CControlHost(this) {}
};
