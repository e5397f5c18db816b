#pragma once

#include <vector>

// A configuration page as the model sees it. The windows implement it; the model only
// needs an identity to add, remove and re-activate pages on a sheet.
class IModelPage {
public:
    virtual ~IModelPage() = default;
};

// The sheet that shows the model's pages, seen without windows.
class IPropertySheet {
public:
    virtual ~IPropertySheet() = default;
    // Appends the page as the last tab.
    virtual void AddPage(IModelPage* page) = 0;
    // Removes the page if it is shown; the page itself lives on.
    virtual void RemovePage(IModelPage* page) = 0;
    // The shown page, or nullptr when the sheet has none.
    virtual IModelPage* GetActivePage() const = 0;
    // False when the page is not on the sheet (or could not be left).
    virtual bool SetActivePage(IModelPage* page) = 0;
    // The pages in display order.
    virtual std::vector<IModelPage*> GetPages() const = 0;
};
