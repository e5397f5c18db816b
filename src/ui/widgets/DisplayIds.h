#pragma once

// Templates and controls of the front-panel display.

inline constexpr int IDD_DISPLAY_COMPACT = 204; // one controller of the overview grid
inline constexpr int IDD_DISPLAY_FULL = 205;    // the parameters page's panel

inline constexpr int IDC_DISPLAY_TITLE = 1052;
inline constexpr int IDC_DISPLAY_PV = 1065;
inline constexpr int IDC_DISPLAY_SP = 1057;
inline constexpr int IDC_DISPLAY_OUTPUT = 1011;
inline constexpr int IDC_DISPLAY_SP2 = 1093;
inline constexpr int IDC_DISPLAY_UPPER_SP = 1203;
inline constexpr int IDC_DISPLAY_SP_UNIT = 1060;
inline constexpr int IDC_DISPLAY_UPPER_SP_UNIT = 1204;
inline constexpr int IDC_DISPLAY_PV_UNIT = 1058;
inline constexpr int IDC_DISPLAY_OUTPUT_UNIT = 1059;
inline constexpr int IDC_DISPLAY_SP2_UNIT = 1061;
inline constexpr int IDC_DISPLAY_AL1 = 1066;
inline constexpr int IDC_DISPLAY_AL2 = 1064;
inline constexpr int IDC_DISPLAY_AT = 1067;
inline constexpr int IDC_DISPLAY_DIG_INP = 1068;
inline constexpr int IDC_DISPLAY_RAMP = 1071;
inline constexpr int IDC_DISPLAY_SER = 1201;
inline constexpr int IDC_DISPLAY_OUT = 1200;
inline constexpr int IDC_DISPLAY_MODE = 1018;
inline constexpr int IDC_DISPLAY_SP_LABEL = 1069;
inline constexpr int IDC_DISPLAY_SP2_LABEL = 1073;
