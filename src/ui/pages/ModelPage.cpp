#include "ui/pages/ModelPage.h"

#include "core/modbus/ModbusMaster.h"
#include "core/model/TQControllerModel.h"
#include "core/tasks/AppSession.h"
#include "languages/StringIds.h"
#include "ui/comm/BusTaskDlg.h"
#include "ui/framework/ControlIds.h"
#include "ui/framework/DataExchange.h"
#include "ui/framework/ResourceIds.h"
#include "ui/framework/TextProvider.h"
#include "ui/framework/UiServices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>

#include <algorithm>

CModelPage::CModelPage(int templateId, const CPageContext& context, QWidget* parent)
    : CFormBase(parent), templateId(templateId), context(context) {}

CTQControllerModel& CModelPage::Model() const {
    return context.session.GetModel();
}

void CModelPage::InitPage() {
    LoadTexts(true);
    LoadFields();
    UpdateData(false);
    initialized = true;
}

void CModelPage::UpdateLanguage(CMainSheet&) {
    LoadTexts(true);
}

void CModelPage::ModelToPage() {
    LoadFields();
    UpdateData(false);
}

bool CModelPage::PageToModel() {
    return UpdateData(true);
}

void CModelPage::WriteOne(uint32_t index, const int& field) {
    if (!UpdateData(true))
        return;
    ISession& session = context.session;
    WriteOneParameter(Model(), session.Settings(), *this, index, static_cast<int16_t>(field),
                      [&session](const CommSettings&) { return session.CreateMaster(); });
}

void CModelPage::WriteChoice(uint32_t index, const int& choice) {
    if (!UpdateData(true))
        return;
    if (choice < 0) {
        MessageBoxText(window(),
                       TextById(IDS_MSG_NOTHING_CHOSEN) + " " + TextById(Model().GetNameId(index)),
                       MbIcon::Exclamation);
        return;
    }
    WriteOne(index, choice);
}

void CModelPage::WriteGroup(int mode) {
    if (!UpdateData(true))
        return;
    ISession& session = context.session;
    CBusTaskDlg dialog(mode, window(), session.Settings(), Model(), context.familyCommand);
    dialog.SetMasterFactory([&session](const CommSettings&) { return session.CreateMaster(); });
    if (dialog.DoModal() == IDOK)
        ModelToPage();
}

void CModelPage::DoDataExchange(CDataExchange& dx) {
    if (!dx.IsSaving()) {
        DoExchange(dx);
        return;
    }
    refusedId = 0;
    try {
        DoExchange(dx);
    } catch (const CExchangeRefused&) {
        refusedId = dx.LastControlId();
        throw;
    }
    StoreFields();
}

void CModelPage::ShowMessage(int stringId, Icon icon) {
    MessageBoxId(window(), stringId, icon == Icon::Error ? MbIcon::Stop : MbIcon::Information);
}

void CModelPage::ReloadPage() {
    ModelToPage();
}

QLabel* CModelPage::AddLabel(int id) {
    auto* label = new QLabel(this);
    SetControlId(label, id);
    return label;
}

QLineEdit* CModelPage::AddEdit(int id, int maxChars) {
    auto* edit = new QLineEdit(this);
    SetControlId(edit, id);
    SetLimitText(id, maxChars);
    // Wide enough for the longest number the field takes, whatever the language.
    const int chars = std::max(maxChars, 6) + 1;
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QString(chars, '0')) + 12);
    return edit;
}

QComboBox* CModelPage::AddList(int id) {
    auto* list = new QComboBox(this);
    SetControlId(list, id);
    return list;
}

QCheckBox* CModelPage::AddCheck(int id) {
    auto* check = new QCheckBox(this);
    SetControlId(check, id);
    return check;
}

QRadioButton* CModelPage::AddRadio(int id, const QString& text) {
    auto* radio = new QRadioButton(text, this);
    SetControlId(radio, id);
    return radio;
}

QGroupBox* CModelPage::AddBox(int id) {
    auto* box = new QGroupBox(this);
    SetControlId(box, id);
    return box;
}

QSpinBox* CModelPage::AddSpin(QSpinBox* spin, int spinId, int editId, int maxChars) {
    SetControlId(spin, spinId);
    if (auto* edit = spin->findChild<QLineEdit*>()) {
        SetControlId(edit, editId);
        edit->setMaxLength(maxChars);
    }
    spin->setFixedWidth(spin->fontMetrics().horizontalAdvance("0000000") + 40);
    return spin;
}

QPushButton* CModelPage::AddWriteButton(int id, std::function<void()> action, bool group) {
    auto* button = new QPushButton(this);
    SetControlId(button, id);
    // Enter in an edit belongs to the page's hook, never to a write button.
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [action = std::move(action)] { action(); });
    writeButtons.emplace_back(button, group);
    return button;
}

void CModelPage::LoadWriteTexts() {
    for (const auto& [button, group] : writeButtons)
        button->setText(TextById(group ? IDS_WRITE_GROUP : IDS_WRITE_ONE));
}

QLabel* CModelPage::AddRow(QGridLayout* grid, int labelId, QWidget* field, QWidget* button) {
    const int row = grid->rowCount();
    QLabel* label = nullptr;
    if (labelId != 0) {
        label = AddLabel(labelId);
        label->setBuddy(field);
        grid->addWidget(label, row, 0);
    }
    grid->addWidget(field, row, 1);
    if (button)
        grid->addWidget(button, row, 2);
    return label;
}

void CModelPage::OnFocusLost(QWidget* control, std::function<void()> action) {
    focusLost[control] = std::move(action);
    control->installEventFilter(this);
}

bool CModelPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        auto it = focusLost.find(watched);
        if (it != focusLost.end())
            it->second();
    }
    return CFormBase::eventFilter(watched, event);
}

void CModelPage::showEvent(QShowEvent* event) {
    CFormBase::showEvent(event);
    // Restoring the window is no return to the page.
    if (!initialized || event->spontaneous())
        return;
    if (refusedId != 0) {
        // Sent back here by a refusal: the text stays as typed, the focus on the field.
        if (QWidget* control = GetDlgItem(refusedId)) {
            if (auto* edit = qobject_cast<QLineEdit*>(control))
                edit->selectAll();
            control->setFocus(Qt::OtherFocusReason);
        }
        return;
    }
    // Coming back shows the fields again, with what other pages changed meanwhile (the
    // decimal point, the input type).
    UpdateData(false);
}
