#include "ui/pages/PageSet.h"

#include "ui/pages/ConfigurationPage.h"
#include "ui/pages/InputOutputPage.h"
#include "ui/pages/MultipleControllersPage.h"
#include "ui/pages/ParametersPage.h"
#include "ui/pages/RetransmissionPage.h"

CPageSet::CPageSet(const CPageContext& context, QWidget* parent)
    : context(context), parent(parent) {
    // One line per page, in the model's slots.
    pageSlots.configuration = Add<CConfigurationPage>();
    pageSlots.inputOutput = Add<CInputOutputPage>();
    pageSlots.retransmission = Add<CRetransmissionPage>();
    pageSlots.multipleControllers = Add<CMultipleControllersPage>();
    pageSlots.parameters = Add<CParametersPage>();
}

CPageSet::~CPageSet() {
    // Pages on a sheet leave it as their widgets are destroyed.
    pages.clear();
}
