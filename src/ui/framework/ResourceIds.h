#pragma once

#include "languages/StringIds.h"

// Ids shared by every window: dialog results, the standard buttons, the menu commands and
// the templates and controls of the framework's own dialogs. Each window area keeps the ids
// of its own templates in a header of its own.

// Dialog results and the standard buttons that produce them.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// A static control with no id of its own.
inline constexpr int IDC_STATIC = -1;

// Menu commands of the main sheet.
inline constexpr int ID_FILE_LOAD = 32771;
inline constexpr int ID_FILE_SAVE = 32772;
inline constexpr int ID_READ_ALL = 32773;
inline constexpr int ID_WRITE_ALL = 32774;
inline constexpr int ID_DETECT = 32776;
inline constexpr int ID_DETECT_LINE = 32777;
inline constexpr int ID_LANGUAGE = 32778;
inline constexpr int ID_FAMILY_TQ100 = 32779;
inline constexpr int ID_FAMILY_TQ102_TQ402 = 32780;
inline constexpr int ID_ABOUT = 32781;
inline constexpr int ID_HELP_FILE = 32782;
inline constexpr int ID_CONNECTION_SETTINGS = 32783;
inline constexpr int ID_INTERFACE_TCP = 32784;
inline constexpr int ID_INTERFACE_PORT_FIRST = 32785; // + port index, below 20
inline constexpr int kMaxInterfacePorts = 20;

// Icons and bitmaps.
inline constexpr int IDR_MAINFRAME = 128; // program icon
inline constexpr int IDB_LOGO = 135;      // About box logo
inline constexpr int IDB_SPLASH = 136;    // start-up splash picture
// Lamps of the front-panel display: 14 x 14 discs on white, and the disc as a mask.
inline constexpr int IDB_LAMP_GREEN_ON = 138;
inline constexpr int IDB_LAMP_GREEN_OFF = 139;
inline constexpr int IDB_LAMP_RED_OFF = 172;
inline constexpr int IDB_LAMP_RED_ON = 179;
inline constexpr int IDB_LAMP_MASK = 206;

// About box.
inline constexpr int IDD_ABOUTBOX = 133;
inline constexpr int IDC_ABOUT_LOGO = 1000;
inline constexpr int IDC_ABOUT_VERSION = 1001;
inline constexpr int IDC_ABOUT_ADDRESS = 1002;

// Start-up splash window.
inline constexpr int IDD_SPLASH = 137;
inline constexpr int IDC_SPLASH_PICTURE = 1091;

// Single-value entry dialog.
inline constexpr int IDD_VALUE = 143;
inline constexpr int IDC_VALUE_EDIT = 1196;
inline constexpr int IDC_VALUE_LABEL = 1202;

// Set-point pair entry dialog.
inline constexpr int IDD_VALUE_PAIR = 208;
inline constexpr int IDC_PAIR_FIRST_EDIT = 1205;
inline constexpr int IDC_PAIR_SECOND_EDIT = 1197;
inline constexpr int IDC_PAIR_FIRST_LABEL = 1202;
inline constexpr int IDC_PAIR_SECOND_LABEL = 1203;

// Hysteresis dialog of the bar graph.
inline constexpr int IDD_HYSTERESIS = 216;
inline constexpr int IDC_HY_DP0 = 1226;
inline constexpr int IDC_HY_DP1 = 1227;
inline constexpr int IDC_HY_DP2 = 1206;
inline constexpr int IDC_HY_DP3 = 1198;
inline constexpr int IDC_HY_DP0_LABEL = 1230;
inline constexpr int IDC_HY_DP1_LABEL = 1231;
inline constexpr int IDC_HY_DP2_LABEL = 1232;
inline constexpr int IDC_HY_DP3_LABEL = 1233;

// String numbers the framework's own dialogs use.
// IDS_OK and IDS_CANCEL come with every other string number from languages/StringIds.h.
inline constexpr int IDS_VALUE_PROMPT = IDS_LABEL_NEW_VALUE;
