#include "app/skin/skin_library.h"

#include "app/fatal_error.h"
#include "app/skin/bound_function.h"
#include "runtime/files.h"

#include <QFile>
#include <cstring>
#include <memory>
#include <new>

// The generated resource of the module image and the skins lives in this
// static library; registering it from here makes sure the linker keeps it.
static void registerSkinData()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(tp_skin_data);
        return true;
    }();
    Q_UNUSED(done);
}

namespace app {

namespace {

QByteArray resourceBytes(const QString& path)
{
    registerSkinData();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

BoundFunction<AttachSkinFunction>& attachSkin()
{
    static BoundFunction<AttachSkinFunction> function(kSkinLibraryName, kAttachFunctionName);
    return function;
}

} // namespace

QByteArray skinLibraryImage()
{
    static const QByteArray image = resourceBytes(QStringLiteral(":/tp_skin/SkinH_EL.dll"));
    return image;
}

QByteArray embeddedSkin(int number)
{
    if (number < 1 || number > kSkinCount)
        return {};
    return resourceBytes(QStringLiteral(":/tp_skin/skins/%1.she").arg(number));
}

QString deployedSkinLibraryPath()
{
    return rt::runDirectory() + u'/' + kSkinLibraryName;
}

void deploySkinLibrary()
{
    // The path is built afresh for each step, as the run directory is what
    // the run time says at that moment.
    if (rt::fileExists(deployedSkinLibraryPath()))
        return;
    rt::writeFileBytes(deployedSkinLibraryPath(), {skinLibraryImage()});
    rt::changeFileAttributes(deployedSkinLibraryPath(), rt::Hidden);
}

void applyEmbeddedSkin(int number)
{
    deploySkinLibrary();
    const QByteArray block = embeddedSkin(number);
    // The module gets a copy of its own, so nothing it does can reach the
    // built-in data.
    std::unique_ptr<unsigned char[]> copy;
    if (!block.isEmpty()) {
        copy.reset(new (std::nothrow) unsigned char[size_t(block.size())]);
        if (!copy)
            reportFatalError(QStringLiteral("分配 %1 字节内存失败!").arg(block.size()));
        std::memcpy(copy.get(), block.constData(), size_t(block.size()));
    }
    static const char noOptions[] = "";
    attachSkin()(copy.get(), int(block.size()), noOptions, 0, 0, 0);
}

} // namespace app
