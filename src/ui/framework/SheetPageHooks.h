#pragma once

class CMyPropertySheetTQ;

// The hooks the main sheet calls on its pages. The page base implements them; the base
// versions do nothing.
class ISheetPageHooks {
public:
    virtual ~ISheetPageHooks() = default;
    // Enter and Esc typed in an edit box of the page.
    virtual void OnEditEnter() {}
    virtual void OnEditEscape() {}
    // Reload every text from the language library.
    virtual void UpdateLanguage(CMyPropertySheetTQ& sheet) { (void)sheet; }
    // Show the model's values.
    virtual void ModelToPage() {}
    // Check the shown values and store them into the model; false (with the focus on the
    // offending field) when one is refused.
    virtual bool PageToModel() { return true; }
    // The main window lost activation.
    virtual void OnSheetDeactivate() {}
};
