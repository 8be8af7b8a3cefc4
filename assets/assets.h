#pragma once
// Resource paths of the built-in pictures (the files of assets/, compiled
// in under the prefix /assets by target tp_assets):
//
//   :/assets/start.jpg                  200 x 200 start photograph of the picture box
//   :/assets/arrow-<dir>-normal.jpg     33 x 44 red arrow on light grey, dir = up/down/left/right
//   :/assets/arrow-<dir>-hot.jpg        the same arrow in green, shown under the pointer
//   :/assets/icon.ico                   program icon, nine images (16, 32, 48; 1 to 32 bits)
//   :/assets/icon.png                   the icon at 48 x 48

#include <QString>

namespace assets {

inline const QString kStartPhoto = QStringLiteral(":/assets/start.jpg");
inline const QString kIcon = QStringLiteral(":/assets/icon.ico");
inline const QString kIconPng = QStringLiteral(":/assets/icon.png");

enum class Arrow { Up, Down, Left, Right };

// The arrow picture of a picture button: the normal one, or the hot one.
QString arrowPicture(Arrow direction, bool hot);

} // namespace assets
