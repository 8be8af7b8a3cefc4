#pragma once
// Files as the handlers see them: whole byte strings in and out.

#include <QByteArray>
#include <QList>
#include <QString>

namespace rt {

// The program's folder, without a trailing separator.
QString runDirectory();

// True when the folder holds an entry of that name: file, folder or link.
bool fileExists(const QString& path);

enum FileAttribute : int { ReadOnly = 1, Hidden = 2, System = 4, Archive = 32 };
// Read-only clears every write permission; its absence gives the owner
// write permission back. Hidden, system and archive have no POSIX meaning.
bool changeFileAttributes(const QString& path, int attributes);

// Writes the non-empty strings in order, atomically: the file is replaced
// only when everything was written, so a failure leaves the old file as it
// was and never a partial or empty one. False for an empty path or any
// failure.
bool writeFileBytes(const QString& path, const QList<QByteArray>& parts);

// The whole file, or an empty byte string when the path is empty or the file
// cannot be read or is empty. `limit` bounds what is read, so a huge file
// cannot exhaust memory; a larger file counts as unreadable.
QByteArray readFileBytes(const QString& path, qint64 limit = qint64(1) << 30);

} // namespace rt
