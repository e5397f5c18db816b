#pragma once

// Resource and control numbers of the start program.
constexpr int IDS_LAUNCHER_TITLE = 103; // "Start", the hidden main window's title
constexpr int IDI_LAUNCHER = 107;       // the program's icon
constexpr int IDD_LAUNCHER = 129;       // the launcher dialog
constexpr int IDB_LAUNCHER_BANNER = 143;
constexpr int IDI_LAUNCHER_INSTALL = 160;
constexpr int IDI_LAUNCHER_MANUAL = 168;
constexpr int IDI_LAUNCHER_WEB = 180;
constexpr int IDB_LAUNCHER_PICTURE = 182;

constexpr int IDC_LAUNCHER_CLOSE = 1;  // "Chiudi"
constexpr int IDC_LAUNCHER_RUN = 1002; // "Esegui", the default button
constexpr int IDC_LAUNCHER_LIST = 1003;
