#pragma once

#include "core/tasks/HysteresisSettings.h"
#include "ui/framework/DialogBase.h"

#include <memory>

class IProfileStore;

// Edits the bar graph's four hysteresis values, each in its own decimal-point scale, and
// writes them to the profile on OK.
class CHysteresisDlg : public CDialogBase {
    Q_OBJECT
public:
    // Uses the user profile.
    explicit CHysteresisDlg(QWidget* parent = nullptr);
    // Uses `profile`, which must outlive the dialog.
    CHysteresisDlg(IProfileStore& profile, QWidget* parent = nullptr);
    ~CHysteresisDlg() override;

    // Read from the profile at creation; after OK the values written.
    HysteresisValues hy{};

protected:
    void DoDataExchange(CDataExchange& dx) override;
    void OnOK() override;

private:
    void Build();

    std::unique_ptr<IProfileStore> ownProfile;
    IProfileStore& profile;
};
