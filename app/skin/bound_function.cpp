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

void* openLibrary(const QString& place)
{
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
