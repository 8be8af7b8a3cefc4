#include "assets/assets.h"

namespace assets {

QString arrowPicture(Arrow direction, bool hot)
{
    const char* name = "up";
    switch (direction) {
    case Arrow::Up: name = "up"; break;
    case Arrow::Down: name = "down"; break;
    case Arrow::Left: name = "left"; break;
    case Arrow::Right: name = "right"; break;
    }
    return QStringLiteral(":/assets/arrow-%1-%2.jpg").arg(QLatin1String(name), hot ? QStringLiteral("hot") : QStringLiteral("normal"));
}

} // namespace assets
