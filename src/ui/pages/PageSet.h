#pragma once

#include "core/model/TQControllerModel.h"
#include "ui/pages/ModelPage.h"

#include <memory>
#include <vector>

class QWidget;

// The configuration pages of one run. The application owns the set; the model lists its
// pages in the slots and brings them to the sheet in the order its family asks for.
class CPageSet {
public:
    CPageSet(const CPageContext& context, QWidget* parent = nullptr);
    ~CPageSet();
    CPageSet(const CPageSet&) = delete;
    CPageSet& operator=(const CPageSet&) = delete;

    // The model's page slots; a page not built yet leaves its slot empty.
    const TQModelPages& Slots() const { return pageSlots; }

private:
    template <class Page> Page* Add() {
        auto page = std::make_unique<Page>(context, parent);
        Page* raw = page.get();
        pages.push_back(std::move(page));
        return raw;
    }

    CPageContext context;
    QWidget* parent;
    std::vector<std::unique_ptr<CModelPage>> pages;
    TQModelPages pageSlots;
};
