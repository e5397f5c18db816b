#pragma once

// Templates and controls of the line graph, its viewer and their dialogs.

// Shared by the live line graph and the viewer.
inline constexpr int IDC_GRAPH_CHART = 1216;
inline constexpr int IDC_GRAPH_LEGEND = 1217;
inline constexpr int IDC_GRAPH_CURSOR_LEFT = 1229;
inline constexpr int IDC_GRAPH_CURSOR_RIGHT = 1230;

// Line graph view of the monitoring window.
inline constexpr int IDD_LINE_GRAPH = 210;
inline constexpr int IDC_LINE_CHOOSE = 1151;
inline constexpr int IDC_LINE_FILE = 1152;
inline constexpr int IDC_LINE_RANGE = 1153;
inline constexpr int IDC_LINE_AUTOSCALE = 1154;

// Graph file viewer.
inline constexpr int IDD_GRAPH_VIEWER = 215;
inline constexpr int IDC_VIEWER_NEXT = 1151;
inline constexpr int IDC_VIEWER_PREVIOUS = 1152;
inline constexpr int IDC_VIEWER_CHOOSE = 1153;
inline constexpr int IDC_VIEWER_FILE = 1154;
inline constexpr int IDC_VIEWER_RANGE = 1155;
inline constexpr int IDC_VIEWER_AUTOSCALE = 1156;

// Curve chooser.
inline constexpr int IDD_CURVE_CHOOSER = 213;
inline constexpr int IDC_CURVES_AVAILABLE = 1218;
inline constexpr int IDC_CURVES_SELECTED = 1219;
inline constexpr int IDC_CURVES_ADD = 1151;
inline constexpr int IDC_CURVES_REMOVE = 1220;
inline constexpr int IDC_CURVES_SWATCH = 1221;
inline constexpr int IDC_CURVES_AVAILABLE_LABEL = 1231;
inline constexpr int IDC_CURVES_SELECTED_LABEL = 1232;
inline constexpr int IDC_CURVES_COLOUR_LABEL = 1233;
// At most this many curves are shown at once.
inline constexpr int kMaxSelectedCurves = 16;

// Value range of the chart.
inline constexpr int IDD_GRAPH_RANGE = 214;
inline constexpr int IDC_RANGE_MIN = 1222;
inline constexpr int IDC_RANGE_MAX = 1223;
