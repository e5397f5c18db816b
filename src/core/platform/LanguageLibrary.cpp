#include "core/platform/LanguageLibrary.h"

#include <algorithm>
#include <cctype>
#include <mutex>
#include <utility>

#include <dirent.h>
#include <dlfcn.h>
#include <sys/stat.h>

namespace {

// dlopen searches the system's library folders for a name without a slash; a language
// library is always a file we name, so make such a path explicit.
std::string ExplicitPath(const std::string& path) {
    if (path.find('/') == std::string::npos) {
        return "./" + path;
    }
    return path;
}

bool EndsWithSo(const std::string& name) {
    if (name.size() <= 3) {
        return false;
    }
    std::string ext = name.substr(name.size() - 3);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".so";
}

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::mutex activeMutex;
std::shared_ptr<const CLanguageLibrary> active;

} // namespace

CLanguageLibrary::~CLanguageLibrary() {
    Unload();
}

bool CLanguageLibrary::Load(const std::string& libraryPath) {
    Unload();
    if (libraryPath.empty() || !IsRegularFile(libraryPath)) {
        return false;
    }
    void* opened = dlopen(ExplicitPath(libraryPath).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (opened == nullptr) {
        return false;
    }
    auto name = reinterpret_cast<NameFunction>(dlsym(opened, kLanguageNameSymbol));
    auto text = reinterpret_cast<TextFunction>(dlsym(opened, kLanguageTextSymbol));
    if (name == nullptr || text == nullptr) {
        dlclose(opened);
        return false;
    }
    handle = opened;
    nameFunction = name;
    textFunction = text;
    path = libraryPath;
    return true;
}

void CLanguageLibrary::Unload() {
    if (handle != nullptr) {
        dlclose(handle);
    }
    handle = nullptr;
    nameFunction = nullptr;
    textFunction = nullptr;
    path.clear();
}

std::string CLanguageLibrary::Name() const {
    const char* name = nameFunction != nullptr ? nameFunction() : nullptr;
    return name != nullptr ? name : "";
}

std::optional<std::string> CLanguageLibrary::FindText(int id) const {
    const char* text = textFunction != nullptr ? textFunction(id) : nullptr;
    if (text == nullptr) {
        return std::nullopt;
    }
    return std::string(text);
}

std::string CLanguageLibrary::LoadText(int id) const {
    return FindText(id).value_or(kMissingText);
}

std::string LanguagesDirOf(const std::string& appDir) {
    std::string dir = appDir;
    if (!dir.empty() && dir.back() != '/') {
        dir += '/';
    }
    return dir + "Languages/";
}

std::vector<LanguageListEntry> ListLanguages(const std::string& languagesDir) {
    std::vector<std::string> files;
    if (DIR* dir = opendir(languagesDir.empty() ? "." : languagesDir.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (EndsWithSo(name)) {
                files.push_back(name);
            }
        }
        closedir(dir);
    }
    std::sort(files.begin(), files.end());

    std::string prefix = languagesDir;
    if (!prefix.empty() && prefix.back() != '/') {
        prefix += '/';
    }
    std::vector<LanguageListEntry> found;
    for (const std::string& file : files) {
        CLanguageLibrary library;
        if (library.Load(prefix + file)) {
            found.push_back({library.Name(), library.Path()});
        }
    }
    return found;
}

void SetActiveLanguage(std::shared_ptr<const CLanguageLibrary> library) {
    std::shared_ptr<const CLanguageLibrary> previous;
    {
        std::lock_guard lock(activeMutex);
        previous = std::exchange(active, std::move(library));
    }
    // `previous` may unload its library here, outside the lock.
}

std::shared_ptr<const CLanguageLibrary> ActiveLanguage() {
    std::lock_guard lock(activeMutex);
    return active;
}

std::optional<std::string> FindText(int id) {
    std::shared_ptr<const CLanguageLibrary> library = ActiveLanguage();
    if (library == nullptr) {
        return std::nullopt;
    }
    return library->FindText(id);
}

std::string LoadText(int id) {
    return FindText(id).value_or(kMissingText);
}

CLanguageSession::CLanguageSession(const std::string& appDir, IProfileStore& profileStore)
    : profile(profileStore), languagesDir(LanguagesDirOf(appDir)) {}

CLanguageSession::~CLanguageSession() {
    // Texts of a library that is about to go must not stay reachable.
    if (library != nullptr && ActiveLanguage() == library) {
        SetActiveLanguage(nullptr);
    }
}

bool CLanguageSession::LoadInto(const std::string& path) {
    auto loaded = std::make_shared<CLanguageLibrary>();
    if (!loaded->Load(path)) {
        return false;
    }
    library = std::move(loaded);
    SetActiveLanguage(library);
    return true;
}

bool CLanguageSession::LoadLanguage(ILanguageUi& ui) {
    languageDll = profile.GetString(kLanguageDllKey, "");
    if (!languageDll.empty()) {
        if (LoadInto(languageDll)) {
            return true;
        }
        ui.ShowMessage(kMsgLanguageLibraryNotFound, ILanguageUi::Icon::Warning);
    }
    std::optional<std::string> chosen = ui.SelectLanguage(languagesDir, "", false);
    if (!chosen) {
        ui.ShowMessage(kMsgErrorLoadingLanguageDll, ILanguageUi::Icon::Stop);
        return false;
    }
    languageDll = *chosen;
    if (LoadInto(languageDll)) {
        return true;
    }
    ui.ShowMessage(kMsgErrorLoadingLanguageDll, ILanguageUi::Icon::Stop);
    return false;
}

void CLanguageSession::ChooseLanguage(ILanguageUi& ui) {
    std::optional<std::string> chosen = ui.SelectLanguage(languagesDir, languageDll, true);
    if (!chosen || *chosen == languageDll) {
        return;
    }
    if (!LoadInto(*chosen)) {
        ui.ShowMessage(kMsgErrorLoadingDll, ILanguageUi::Icon::Stop);
        // The dialog has already stored the chosen path; point the profile back at the
        // library still in use, so the next start does not begin with a failure.
        profile.WriteString(kLanguageDllKey, languageDll);
        return;
    }
    languageDll = *chosen;
}
