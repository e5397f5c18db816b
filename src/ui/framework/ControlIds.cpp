#include "ui/framework/ControlIds.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QVariant>
#include <QWidget>

namespace {
constexpr const char* kIdProperty = "controlId";
constexpr const char* kHostProperty = "controlHost";
} // namespace

void SetControlId(QWidget* control, int id) {
    control->setProperty(kIdProperty, id);
    control->setObjectName(QStringLiteral("id%1").arg(id));
}

int ControlId(const QWidget* control) {
    return control ? control->property(kIdProperty).toInt() : 0;
}

void MarkControlHost(QWidget* host) {
    host->setProperty(kHostProperty, true);
}

QWidget* FindControl(const QWidget* root, int id) {
    if (!root || id == 0) // 0: no id
        return nullptr;
    // Nearest first, and never inside a nested dialog: its ids are its own.
    QList<const QWidget*> level{root};
    while (!level.isEmpty()) {
        QList<const QWidget*> next;
        for (const QWidget* parent : level) {
            const QList<QWidget*> children =
                parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
            for (QWidget* child : children) {
                if (child->property(kIdProperty).toInt() == id)
                    return child;
                if (!child->property(kHostProperty).toBool())
                    next.append(child);
            }
        }
        level = next;
    }
    return nullptr;
}

QString ControlText(const QWidget* control) {
    if (auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text();
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (auto* box = qobject_cast<const QGroupBox*>(control))
        return box->title();
    if (auto* combo = qobject_cast<const QComboBox*>(control))
        return combo->currentText();
    if (auto* text = qobject_cast<const QPlainTextEdit*>(control))
        return text->toPlainText();
    if (auto* text = qobject_cast<const QTextEdit*>(control))
        return text->toPlainText();
    return control ? control->windowTitle() : QString();
}

void SetControlText(QWidget* control, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* box = qobject_cast<QGroupBox*>(control))
        box->setTitle(text);
    else if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->isEditable())
        combo->setEditText(text);
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(control))
        plain->setPlainText(text);
    else if (auto* rich = qobject_cast<QTextEdit*>(control))
        rich->setPlainText(text);
    else if (control)
        control->setWindowTitle(text);
}
