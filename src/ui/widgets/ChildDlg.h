#pragma once

#include "ui/framework/FormBase.h"

// A child window built at run time from a numbered template and placed at a rectangle of its
// parent. Enter and Escape do nothing in it, so it never closes itself or its parent.
class CChildDlg : public CFormBase {
    Q_OBJECT
public:
    explicit CChildDlg(int templateId, QWidget* parent = nullptr);

    // Builds the window from the stored template, hidden, as `parent`'s child with control id
    // `controlId`, sized right - left by bottom - top at (left, top). 0 when the template
    // cannot be built (or the window exists already), else 1.
    int Create(int controlId, int left, int top, int right, int bottom, QWidget* parent);
    // Stores `templateId` first.
    int Create(int controlId, int templateId, int left, int top, int right, int bottom,
               QWidget* parent);

    int TemplateId() const { return templateId; }
    bool IsCreated() const { return created; }

protected:
    // Adds the template's controls; false for a template this window does not know.
    virtual bool BuildTemplate(int templateId) = 0;
    // After the controls exist, before the window is placed.
    virtual void OnInitDialog() {}

    void keyPressEvent(QKeyEvent* event) override;

private:
    int templateId;
    bool created = false;
};
