#include "ui/pages/PageSet.h"

#include "ui/pages/ConfigurationPage.h"
#include "ui/pages/InputOutputPage.h"
#include "ui/pages/ParametersPage.h"
#include "ui/pages/ParametrosMultiplePage.h"
#include "ui/pages/RetransmissionPage.h"

CPageSet::CPageSet(const CPageContext& context, QWidget* parent)
    : context(context), parent(parent) {
    // One line per page, in the model's slots.
    pageSlots.configuracion = Add<CMyPropertyConfiguracion>();
    pageSlots.configuracion2 = Add<CMyPropertyConfiguracion2>();
    pageSlots.serialRetransmission = Add<CSerialRetransmissionPage>();
    pageSlots.parametrosMultiple = Add<CMyPropertyParametrosMultiple>();
    pageSlots.parametros = Add<CMyPropertyParametros>();
}

CPageSet::~CPageSet() {
    // Pages on a sheet leave it as their widgets are destroyed.
    pages.clear();
}
