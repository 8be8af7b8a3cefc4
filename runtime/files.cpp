#include "runtime/files.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace rt {

QString runDirectory()
{
    QString dir = QCoreApplication::applicationDirPath();
    while (dir.size() > 1 && dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    return dir;
}

bool fileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

bool changeFileAttributes(const QString& path, int attributes)
{
    QFile file(path);
    if (!file.exists())
        return false;
    QFileDevice::Permissions perms = file.permissions();
    const auto writeBits = QFileDevice::WriteOwner | QFileDevice::WriteUser
                         | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (attributes & ReadOnly)
        perms &= ~writeBits;
    else
        perms |= QFileDevice::WriteOwner | QFileDevice::WriteUser;
    return file.setPermissions(perms);
}

bool writeFileBytes(const QString& path, const QList<QByteArray>& parts)
{
    if (path.isEmpty())
        return false;
    QSaveFile file(path);
    // A read-only target (no write bit at all) must stay untouched, also for
    // root; QSaveFile would otherwise replace it through the folder.
    const auto writeBits = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (QFileInfo info(path); info.exists() && !(info.permissions() & writeBits))
        return false;
    if (!file.open(QIODevice::WriteOnly))
        return false;
    for (const QByteArray& part : parts) {
        if (!part.isEmpty() && file.write(part) != part.size()) {
            file.cancelWriting();
            return false;
        }
    }
    return file.commit();
}

QByteArray readFileBytes(const QString& path, qint64 limit)
{
    if (path.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const qint64 size = file.size();
    if (size <= 0 || size > limit)
        return {};
    QByteArray bytes = file.readAll();
    if (bytes.size() != size)
        return {};
    return bytes;
}

} // namespace rt
