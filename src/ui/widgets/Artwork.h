#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures, drawn by the program itself: the program icon (128), the logo of
// the About box (135), the start-up picture (136) and the display's lamps (138, 139, 172, 179)
// with their mask (206).
QPixmap LoadBitmapResource(int bitmapId); // null pixmap for an unknown id
QIcon ProgramIcon();
