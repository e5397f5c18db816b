#pragma once

#include <QDir>
#include <QUrl>

#include <array>

// One row of the launcher's list: its text, its icon, what it opens and what the user is told
// when that cannot be opened.
struct CLauncherAction {
    const char* text;
    int iconId;
    // A path relative to the medium's root with '/' separators, where a '*' in the file name
    // matches the package's version; or a web address.
    const char* target;
    const char* failureMessage;
};

constexpr int kLauncherRows = 5;
const std::array<CLauncherAction, kLauncherRows>& LauncherActions();

constexpr const char* kMakerHomePage = "https://www.brevina.example/";
constexpr const char* kLauncherMessageTitle = " Install";

// What `row` opens, resolved against the medium's root: an existing local file or the web
// page. An empty URL when the row's file is not on the medium.
QUrl ResolveLauncherTarget(int row, const QDir& mediumRoot);
