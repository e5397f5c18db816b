#pragma once

#include "core/model/ModelPage.h"
#include "core/tasks/ParameterTransfer.h"
#include "ui/framework/FormBase.h"
#include "ui/framework/SheetPageHooks.h"

#include <cstdint>
#include <functional>
#include <map>
#include <utility>
#include <vector>

class CTQControllerModel;
class ISession;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

// What every configuration page is built with.
struct CPageContext {
    ISession& session;
    // The sheet's handler of the family commands a transfer sends (ID_FAMILY_TQ100 or
    // ID_FAMILY_TQ102_TQ402).
    std::function<void(int command)> familyCommand;
};

// The base of the configuration pages: a page of numbered controls that edits the controller
// model. Its members hold raw register values; a saving exchange checks every field in order
// and ends by storing them into the model, a showing exchange puts them into the controls.
class CModelPage : public CFormBase,
                   public IModelPage,
                   public ISheetPageHooks,
                   private IWriteOneSink {
    Q_OBJECT
public:
    CModelPage(int templateId, const CPageContext& context, QWidget* parent = nullptr);

    int TemplateId() const { return templateId; }

    // The sheet's hooks. UpdateLanguage sets the tab caption (the window title) and every
    // control text; ModelToPage loads the registers into the fields and shows them;
    // PageToModel runs the saving exchange (false, with the focus on the refused field, when a
    // field is refused).
    void UpdateLanguage(CMainSheet& sheet) override;
    // What UpdateLanguage does, without a sheet: every text again, for the model's family.
    void ReloadTexts() { LoadTexts(true); }
    void ModelToPage() override;
    bool PageToModel() override;

protected:
    // Builds the page the first time: fields from the model, texts, controls shown. Each page
    // calls it at the end of its constructor, once its controls exist.
    void InitPage();

    // Texts of the language library; the tab caption only with `caption`.
    virtual void LoadTexts(bool caption) = 0;
    // The page's fields in exchange order; later ranges may use fields exchanged before.
    virtual void DoExchange(CDataExchange& dx) = 0;
    // Registers into the members (and control state such as spin positions).
    virtual void LoadFields() = 0;
    // Members into the model with SetValue; a refused value leaves its register as it was.
    // The last step of every saving exchange.
    virtual void StoreFields() = 0;

    ISession& Session() const { return context.session; }
    CTQControllerModel& Model() const;

    // Write buttons: both run the saving exchange first and do nothing if it fails.
    // One register, with the value the field holds after the exchange.
    void WriteOne(uint32_t index, const int& field);
    // One register from a list or radio field: with nothing chosen (-1) nothing is sent and
    // the user is told which parameter lacks a choice.
    void WriteChoice(uint32_t index, const int& choice);
    // One box, by the bus-task dialog's mode (5..11); the page reloads after OK.
    void WriteGroup(int mode);

    // Controls with their ids, children of the page; the page lays them out.
    QLabel* AddLabel(int id);
    QLineEdit* AddEdit(int id, int maxChars);
    QComboBox* AddList(int id);
    QCheckBox* AddCheck(int id);
    QRadioButton* AddRadio(int id, const QString& text = {});
    QGroupBox* AddBox(int id);
    // A spin box made by the page: the spin keeps spinId, its own edit editId.
    QSpinBox* AddSpin(QSpinBox* spin, int spinId, int editId, int maxChars);
    // A write button; its text comes with the page's texts (LoadWriteTexts).
    QPushButton* AddWriteButton(int id, std::function<void()> action, bool group = false);
    void LoadWriteTexts();

    // Appends a row to a grid: the label with id labelId (none for 0), the field, and the
    // field's write button if it has one. Returns the row's label.
    QLabel* AddRow(QGridLayout* grid, int labelId, QWidget* field, QWidget* button = nullptr);

    // Runs `action` when the control loses the keyboard focus.
    void OnFocusLost(QWidget* control, std::function<void()> action);

    // Every saving exchange ends with StoreFields; a refusal is remembered for the return to
    // the page.
    void DoDataExchange(CDataExchange& dx) final;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // IWriteOneSink
    void ShowMessage(int stringId, Icon icon) override;
    void ReloadPage() override;

    int templateId;
    CPageContext context;
    bool initialized = false;
    int refusedId = 0; // the field the last saving exchange refused, 0 when it passed
    std::map<QObject*, std::function<void()>> focusLost;
    std::vector<std::pair<QPushButton*, bool>> writeButtons; // button, writes a box
};
