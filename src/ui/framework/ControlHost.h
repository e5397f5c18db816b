#pragma once

#include "ui/framework/ControlIds.h"
#include "ui/framework/DialogUnits.h"

#include <QString>

class QWidget;
class CDataExchange;

// What dialogs and pages share: controls found by id, laid out in dialog units, texts by
// string number, and the data exchange between controls and members.
class CControlHost {
public:
    explicit CControlHost(QWidget* self);
    virtual ~CControlHost() = default;
    CControlHost(const CControlHost&) = delete;
    CControlHost& operator=(const CControlHost&) = delete;

    QWidget* GetDlgItem(int id) const { return FindControl(self, id); }
    template <class T> T* Control(int id) const { return FindControl<T>(self, id); }

    // Base units of this window's font.
    CDialogUnits DialogUnits() const;
    // Gives `control` its id, makes it a child of this window and sets its rectangle from
    // dialog units.
    void PlaceControl(QWidget* control, int id, int x, int y, int cx, int cy);
    template <class T> T* AddControl(int id, int x, int y, int cx, int cy) {
        T* control = new T(self);
        PlaceControl(control, id, x, y, cx, cy);
        return control;
    }
    // Fixes the window's client size, in dialog units.
    void SetClientSize(int cx, int cy);

    QString GetDlgItemText(int id) const;
    void SetDlgItemText(int id, const QString& text);
    // Sets a control's text from the language library.
    void SetDlgItemTextById(int id, int stringId);
    // The user can type at most `maxChars` characters into an edit (0: no limit). Text the
    // program sets is not cut.
    void SetLimitText(int id, int maxChars);
    void EnableControl(int id, bool enable);
    void ShowControl(int id, bool show);

    // Runs DoDataExchange in one direction: save = true reads and checks the controls into
    // the members, false shows the members. A refusal has already been shown to the user
    // and left the focus on the offending field; the result is then false.
    bool UpdateData(bool save = true);

protected:
    // Lists the exchanged fields in order; the framework's Exchange and Validate functions
    // end the pass at the first refusal.
    virtual void DoDataExchange(CDataExchange& dx);

    QWidget* HostWidget() const { return self; }

private:
    QWidget* self;
};
