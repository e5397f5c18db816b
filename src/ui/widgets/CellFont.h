#pragma once

#include <QFont>
#include <QString>

// A font whose character cell (ascent + descent) is `cellHeight` pixels, so text of that
// font fills a control of that height from top to bottom.
QFont CellHeightFont(const QString& face, int cellHeight, int weight);

// `font` made smaller, if need be, until `text` in it is at most `width` pixels wide; a
// caption or value is shrunk rather than cut where its control is narrow.
QFont FitToWidth(QFont font, const QString& text, int width);

// The seven-segment face the value fields ask for; it resolves to the installed
// seven-segment font (DSEG7 Classic) when there is one.
inline constexpr const char* kSegmentFace = "Display 7 Segmentos";
void RegisterSegmentFace();
