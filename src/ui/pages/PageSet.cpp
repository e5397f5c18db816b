#include "ui/pages/PageSet.h"

#include "ui/pages/ConfigurationPage.h"

CPageSet::CPageSet(const CPageContext& context, QWidget* parent)
    : context(context), parent(parent) {
    // One line per page, in the model's slots.
    pageSlots.configuracion = Add<CMyPropertyConfiguracion>();
}

CPageSet::~CPageSet() {
    // Pages on a sheet leave it as their widgets are destroyed.
    pages.clear();
}
