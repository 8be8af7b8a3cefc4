#include "app/skin/bound_function.h"

#include "app/fatal_error.h"
#include "runtime/files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace app {

namespace {

template <typename T>
T readValue(const QByteArray& bytes, qsizetype at, bool bigEndian)
{
    T v = 0;
    for (qsizetype i = 0; i < qsizetype(sizeof(T)); ++i) {
        const T byte = static_cast<unsigned char>(bytes[at + (bigEndian ? i : qsizetype(sizeof(T)) - 1 - i)]);
        v = T(v << 8) | byte;
    }
    return v;
}

} // namespace

bool elfSegmentsWithinFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true; // the loader will say no itself
    const qint64 size = file.size();
    const QByteArray head = file.read(64);
    if (head.size() < 16 || !head.startsWith("\x7f" "ELF"))
        return true; // not ELF: the loader refuses it by its header alone
    const bool is64 = head[4] == 2, big = head[5] == 2;
    const qsizetype headerSize = is64 ? 64 : 52;
    if ((head[4] != 1 && head[4] != 2) || head.size() < headerSize)
        return false;
    const quint64 phoff = is64 ? readValue<quint64>(head, 32, big) : readValue<quint32>(head, 28, big);
    const quint16 phentsize = readValue<quint16>(head, is64 ? 54 : 42, big);
    const quint16 phnum = readValue<quint16>(head, is64 ? 56 : 44, big);
    const quint64 entryMin = is64 ? 56 : 32;
    // All in 64 bits from 16-bit counts: no product can wrap.
    if (phentsize < entryMin || phoff > quint64(size) || quint64(phnum) * phentsize > quint64(size) - phoff)
        return false;
    if (!file.seek(qint64(phoff)))
        return false;
    const QByteArray table = file.read(qint64(phnum) * phentsize);
    if (table.size() != qsizetype(phnum) * phentsize)
        return false;
    for (quint16 i = 0; i < phnum; ++i) {
        const qsizetype e = qsizetype(i) * phentsize;
        const quint32 type = readValue<quint32>(table, e, big);
        if (type != 1 && type != 2) // PT_LOAD and PT_DYNAMIC are what the loader maps and reads
            continue;
        const quint64 offset = is64 ? readValue<quint64>(table, e + 8, big) : readValue<quint32>(table, e + 4, big);
        const quint64 fileSize = is64 ? readValue<quint64>(table, e + 32, big) : readValue<quint32>(table, e + 16, big);
        if (offset > quint64(size) || fileSize > quint64(size) - offset)
            return false;
    }
    return true;
}

namespace {

void* openLibrary(const QString& place)
{
#if !defined(Q_OS_WIN) && !defined(Q_OS_DARWIN)
    // The loader maps a library's segments straight from the file; a file cut
    // short would fault (SIGBUS) on first touch instead of failing to load.
    if (place.contains(u'/') && QFileInfo(place).isFile() && !elfSegmentsWithinFile(place))
        return nullptr;
#endif
#ifdef Q_OS_WIN
    return reinterpret_cast<void*>(LoadLibraryW(reinterpret_cast<const wchar_t*>(QDir::toNativeSeparators(place).utf16())));
#else
    return dlopen(QFile::encodeName(place).constData(), RTLD_NOW | RTLD_LOCAL);
#endif
}

void* findFunction(void* library, const QByteArray& name)
{
#ifdef Q_OS_WIN
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name.constData()));
#else
    return dlsym(library, name.constData());
#endif
}

void closeLibrary(void* library)
{
#ifdef Q_OS_WIN
    FreeLibrary(static_cast<HMODULE>(library));
#else
    dlclose(library);
#endif
}

} // namespace

QStringList librarySearchOrder(const QString& library, const QString& runDirectory, const QString& programFolder)
{
    QStringList places;
    if (!QDir::isAbsolutePath(library)) {
        for (const QString& folder : {runDirectory, programFolder}) {
            if (folder.isEmpty())
                continue;
            const QString place = folder.endsWith(u'/') ? folder + library : folder + u'/' + library;
            if (!places.contains(place))
                places << place;
        }
    }
    places << library;
    return places;
}

QString bindingFailureMessage(const QString& library, const QByteArray& function)
{
    return QStringLiteral("无法找到指定DLL库文件“%1”中的输出命令“%2”").arg(library, QString::fromUtf8(function));
}

LibraryBinder::LibraryBinder(QString library, QByteArray function)
    : library_(std::move(library)), function_(std::move(function))
{
}

void* LibraryBinder::tryBind()
{
    std::lock_guard lock(mutex_);
    if (entry_)
        return entry_;
    const QString programFolder = QFileInfo(QCoreApplication::applicationFilePath()).absolutePath();
    for (const QString& place : librarySearchOrder(library_, rt::runDirectory(), programFolder)) {
        void* handle = openLibrary(place);
        if (!handle)
            continue;
        // The first library that loads is the one; a function missing from
        // it is not looked for elsewhere.
        entry_ = findFunction(handle, function_);
        if (!entry_) {
            closeLibrary(handle);
            return nullptr;
        }
        loadedFrom_ = place;
        return entry_;
    }
    return nullptr;
}

void* LibraryBinder::entry()
{
    if (void* e = tryBind())
        return e;
    reportFatalError(bindingFailureMessage(library_, function_));
}

bool LibraryBinder::bound() const
{
    std::lock_guard lock(mutex_);
    return entry_ != nullptr;
}

QString LibraryBinder::loadedFrom() const
{
    std::lock_guard lock(mutex_);
    return loadedFrom_;
}

} // namespace app
