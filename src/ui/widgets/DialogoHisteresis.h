#pragma once

#include "core/tasks/HysteresisSettings.h"
#include "ui/framework/DialogBase.h"

#include <memory>

class IProfileStore;

// Edits the bar graph's four hysteresis values, each in its own decimal-point scale, and
// writes them to the profile on OK.
class CDialogoHisteresis : public CDialogBase {
    Q_OBJECT
public:
    // Uses the user profile.
    explicit CDialogoHisteresis(QWidget* parent = nullptr);
    // Uses `profile`, which must outlive the dialog.
    CDialogoHisteresis(IProfileStore& profile, QWidget* parent = nullptr);
    ~CDialogoHisteresis() override;

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
