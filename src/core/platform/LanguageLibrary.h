#pragma once

#include "core/platform/ProfileStore.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

// Profile key of the language library in use (its full path).
inline constexpr const char* kLanguageDllKey = "LanguageDll";
// Shown in place of a text the library does not hold.
inline constexpr const char* kMissingText = "Text Error";

// The loader's own messages: fixed English, since no language may be available yet.
inline constexpr const char* kMsgLanguageLibraryNotFound = "Language Library not found";
inline constexpr const char* kMsgLanguageDllsNotFound = "Language dlls not found";
inline constexpr const char* kMsgErrorLoadingLanguageDll = "Error loading language dll";
inline constexpr const char* kMsgCannotWriteRegister = "Cannont write to the register";
inline constexpr const char* kMsgErrorLoadingDll = "Error loading dll";

// The two functions every language library exports.
inline constexpr const char* kLanguageNameSymbol = "DllLengGetNombreIdioma";
inline constexpr const char* kLanguageTextSymbol = "DllLengGetTexto";

// One loaded language library. Unloaded when destroyed.
class CLanguageLibrary {
public:
    CLanguageLibrary() = default;
    ~CLanguageLibrary();
    CLanguageLibrary(const CLanguageLibrary&) = delete;
    CLanguageLibrary& operator=(const CLanguageLibrary&) = delete;

    // Loads the library at `path`; it must export both functions. On failure the object
    // stays empty and false is returned.
    bool Load(const std::string& path);
    void Unload();

    bool IsLoaded() const { return handle != nullptr; }
    const std::string& Path() const { return path; }
    // The language's own name, as shown in the selection list.
    std::string Name() const;
    // The text of a string number (UTF-8), or none when the library lacks it.
    std::optional<std::string> FindText(int id) const;
    // As FindText, with "Text Error" for a missing number.
    std::string LoadText(int id) const;

private:
    using NameFunction = const char* (*)();
    using TextFunction = const char* (*)(int);

    void* handle = nullptr;
    NameFunction nameFunction = nullptr;
    TextFunction textFunction = nullptr;
    std::string path;
};

// A library found in the languages folder.
struct LanguageListEntry {
    std::string name; // what the library calls its language
    std::string path; // languagesDir + file name
};

// appDir (with its trailing separator) + "Languages/".
std::string LanguagesDirOf(const std::string& appDir);

// Every "*.so" in languagesDir that loads and exports both functions, in file-name order.
// Each is loaded only to ask its name, then unloaded.
std::vector<LanguageListEntry> ListLanguages(const std::string& languagesDir);

// The library whose texts the program shows. Any thread may read texts; the library stays
// loaded while a reader holds it.
void SetActiveLanguage(std::shared_ptr<const CLanguageLibrary> library);
std::shared_ptr<const CLanguageLibrary> ActiveLanguage();
// The text of a string number from the active library, or none.
std::optional<std::string> FindText(int id);
// As FindText, with "Text Error" when there is no active library or it lacks the number.
std::string LoadText(int id);

// What the language session needs from the windows: its messages and the selection dialog.
class ILanguageUi {
public:
    enum class Icon { Warning, Stop };
    virtual ~ILanguageUi() = default;
    virtual void ShowMessage(const std::string& text, Icon icon) = 0;
    // Runs the selection dialog over languagesDir with currentPath preselected. Returns the
    // chosen path ("" when nothing was selected), or none when it ended with Cancel.
    virtual std::optional<std::string> SelectLanguage(const std::string& languagesDir,
                                                      const std::string& currentPath,
                                                      bool cancelAllowed) = 0;
};

// The language of the main sheet: which library is in use, loading it at start and
// switching it from the menu. The loaded library becomes the active one.
class CLanguageSession {
public:
    CLanguageSession(const std::string& appDir, IProfileStore& profile);
    ~CLanguageSession();
    CLanguageSession(const CLanguageSession&) = delete;
    CLanguageSession& operator=(const CLanguageSession&) = delete;

    // Start-up: the stored library, else the user's choice. False when no language could be
    // loaded; the program cannot go on then (the message has been shown).
    bool LoadLanguage(ILanguageUi& ui);
    // Menu command: lets the user switch libraries; a library that fails to load leaves the
    // previous one in use. The caller refreshes every text afterwards in any case.
    void ChooseLanguage(ILanguageUi& ui);

    const std::string& LanguagesDir() const { return languagesDir; }
    const std::string& LanguageDll() const { return languageDll; }
    std::shared_ptr<const CLanguageLibrary> Library() const { return library; }

private:
    bool LoadInto(const std::string& path);

    IProfileStore& profile;
    std::string languagesDir;
    std::string languageDll;
    std::shared_ptr<const CLanguageLibrary> library;
};
