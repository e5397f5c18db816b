#include "ui/widgets/ChildDlg.h"

#include "ui/framework/ControlIds.h"

#include <QKeyEvent>

CChildDlg::CChildDlg(int templateId, QWidget* parent) : CFormBase(parent), templateId(templateId) {
    hide();
    // The panel's own face colour under its controls.
    setAutoFillBackground(true);
}

int CChildDlg::Create(int controlId, int left, int top, int right, int bottom, QWidget* parent) {
    if (created)
        return 0;
    if (parent && parentWidget() != parent)
        setParent(parent);
    hide(); // setParent hides; stay so until the owner shows it
    if (!BuildTemplate(templateId))
        return 0;
    created = true;
    OnInitDialog();
    setGeometry(left, top, right - left, bottom - top);
    SetControlId(this, controlId);
    return 1;
}

int CChildDlg::Create(int controlId, int newTemplateId, int left, int top, int right, int bottom,
                      QWidget* parent) {
    if (created)
        return 0;
    templateId = newTemplateId;
    return Create(controlId, left, top, right, bottom, parent);
}

void CChildDlg::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept(); // the template's OK and Cancel do nothing
        return;
    default:
        CFormBase::keyPressEvent(event);
    }
}
