#pragma once

#include <QPixmap>
#include <QSize>

// The launcher's pictures, drawn at run time: the banner, the controller picture, the icons
// of the list rows and the program's own icon. `size` is the picture's size in pixels.
QPixmap LauncherBitmap(int id, QSize size);
QPixmap LauncherIcon(int id, int size = 48);
