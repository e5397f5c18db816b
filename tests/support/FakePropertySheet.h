#pragma once

#include "core/model/ModelPage.h"

#include <algorithm>
#include <string>
#include <vector>

// A page that only has a name, so failures read well.
class FakePage : public IModelPage {
public:
    explicit FakePage(std::string name) : name(std::move(name)) {}
    std::string name;
};

// A sheet without windows. Removing the active page activates its neighbour, as a tab
// control does.
class FakePropertySheet : public IPropertySheet {
public:
    void AddPage(IModelPage* page) override {
        shown.push_back(page);
        if (active == nullptr)
            active = page;
    }
    void RemovePage(IModelPage* page) override {
        auto it = std::find(shown.begin(), shown.end(), page);
        if (it == shown.end())
            return;
        const size_t index = static_cast<size_t>(it - shown.begin());
        shown.erase(it);
        if (active == page)
            active = shown.empty() ? nullptr : shown[std::min(index, shown.size() - 1)];
    }
    IModelPage* GetActivePage() const override { return active; }
    bool SetActivePage(IModelPage* page) override {
        if (std::find(shown.begin(), shown.end(), page) == shown.end())
            return false;
        active = page;
        return true;
    }
    std::vector<IModelPage*> GetPages() const override { return shown; }

    // The shown pages by name, for readable comparisons.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (IModelPage* page : shown)
            names.push_back(static_cast<FakePage*>(page)->name);
        return names;
    }
    std::string ActiveName() const {
        return active != nullptr ? static_cast<FakePage*>(active)->name : "";
    }

private:
    std::vector<IModelPage*> shown;
    IModelPage* active = nullptr;
};
