#pragma once

#include <QString>

class QWidget;

// Controls keep the ids their templates give them and are found by those ids, on dialogs
// and on pages alike.
void SetControlId(QWidget* control, int id);
int ControlId(const QWidget* control); // 0 when the control has none

// Marks a widget that keeps its own controls (a dialog or page), so a search from an
// outer window does not find them.
void MarkControlHost(QWidget* host);

// The nearest descendant of `root` with this id, or null.
QWidget* FindControl(const QWidget* root, int id);
template <class T> T* FindControl(const QWidget* root, int id) {
    return dynamic_cast<T*>(FindControl(root, id));
}

// The text a control shows: edits, labels, buttons, editable combos and text boxes.
QString ControlText(const QWidget* control);
void SetControlText(QWidget* control, const QString& text);
