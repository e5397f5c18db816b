#pragma once

class CMainSheet;

// The hooks the main sheet calls on its pages. The page base implements them; the base
// versions do nothing.
class ISheetPageHooks {
public:
    virtual ~ISheetPageHooks() = default;
    // Enter and Esc typed in an edit box of the page.
    virtual void OnEditEnter() {}
    virtual void OnEditEscape() {}
    // Reload every text from the language library.
    virtual void UpdateLanguage(CMainSheet& sheet) { (void)sheet; }
    // Show the model's values.
    virtual void ModelToPage() {}
    // Check the shown values and store them into the model; false (with the focus on the
    // offending field) when one is refused.
    virtual bool PageToModel() { return true; }
    // The main window lost activation.
    virtual void OnSheetDeactivate() {}
    // The page is about to be shown; false sends the sheet back to the page shown before.
    virtual bool OnSetActive() { return true; }
    // The page is no longer the shown one.
    virtual void OnKillActive() {}
};

// What a page may ask of the sheet it is shown on; the page finds it among its parents.
class ISheetHost {
public:
    virtual ~ISheetHost() = default;
    // 0 disables every menu command, 1 enables them again.
    virtual void SetMenusEnabled(int enabled) = 0;
    // Every page shows the model's values again (a page wrote to the model directly).
    virtual void AllPagesFromModel() = 0;
};
