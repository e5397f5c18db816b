#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures, drawn by the program itself: the program icon (128), the logo of
// the About box (135) and the start-up picture (136).
QPixmap LoadBitmapResource(int bitmapId); // null pixmap for an unknown id
QIcon ProgramIcon();
