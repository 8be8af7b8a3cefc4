#include "picture/save/save_picture.h"

#include "picture/decoders/image.h"
#include "picture/save/bmp_writer.h"
#include "runtime/controls.h"
#include "runtime/files.h"
#include "runtime/surface.h"
#include "runtime/text.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QStandardPaths>
#include <QWidget>
#include <algorithm>
#include <new>

namespace picture {

QString savedFileName() { return QStringLiteral("处理后的图片(TamselPelorin).jpg"); }

QString savedMessage() { return QStringLiteral("图片已保存到您的电脑桌面,赶快换到QQ上看看效果吧!"); }

QString defaultMessageCaption() { return QStringLiteral("信息："); }

QString saveErrorText(SaveError error)
{
    switch (error) {
    case SaveError::None:
        return savedMessage();
    case SaveError::NoPictureBox:
        return QStringLiteral("找不到图片框，图片没有保存。");
    case SaveError::NoDesktopFolder:
        return QStringLiteral("找不到您的电脑桌面文件夹，图片没有保存。");
    case SaveError::SizeNotPositive:
        return QStringLiteral("保存尺寸太小，图片没有保存。");
    case SaveError::SizeTooLarge:
        return QStringLiteral("保存尺寸太大，图片没有保存。每边最多65535像素，总共最多128000000像素。");
    case SaveError::OutOfMemory:
        return QStringLiteral("内存不足，无法生成图片，图片没有保存。");
    case SaveError::WriteFailed:
        return QStringLiteral("无法写入桌面上的文件“%1”，图片没有保存。文件可能是只读的，或者您没有写入权限。")
            .arg(savedFileName());
    }
    return {};
}

QString desktopFolder()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    // A relative answer would name a folder under the current directory,
    // not the desktop; a missing folder is not made, so nothing is written
    // anywhere else.
    if (dir.isEmpty() || QDir::isRelativePath(dir) || !QFileInfo(dir).isDir())
        return {};
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

qint64 resolveSaveSide(int requested, int side)
{
    if (requested == 0)
        return side;
    if (requested > 0)
        return requested;
    const qint64 percent = std::max<qint64>(-qint64(requested), 10); // -INT_MIN fits in 64 bits
    // side x percent / 100 to the nearest integer, halves away from zero, in
    // exact integer arithmetic (both factors are at most 2^31, so no overflow).
    const qint64 scaled = qint64(std::max(side, 0)) * percent;
    return (scaled + 50) / 100;
}

qint64 saveSideFromText(const QString& text, int side)
{
    return resolveSaveSide(rt::textToInteger(text), side);
}

Snapshot snapshotWindow(QWidget* window, int width, int height)
{
    if (!window)
        return {{}, SaveError::NoPictureBox};
    const QSize own = window->size();
    const qint64 w = resolveSaveSide(width, own.width());
    const qint64 h = resolveSaveSide(height, own.height());
    if (w <= 0 || h <= 0)
        return {{}, SaveError::SizeNotPositive};
    if (!pic::dimensionsAllowed(w, h) || !pic::dimensionsAllowed(own.width(), own.height()))
        return {{}, SaveError::SizeTooLarge};

    try {
        QImage shot = rt::captureSurface(window);
        if (shot.isNull())
            return {{}, SaveError::OutOfMemory};
        if (shot.size() != QSize(int(w), int(h))) {
            shot = shot.scaled(int(w), int(h), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            if (shot.isNull())
                return {{}, SaveError::OutOfMemory};
        }
        QByteArray bytes = encodeBmp24(shot);
        if (bytes.isEmpty())
            return {{}, SaveError::OutOfMemory};
        return {std::move(bytes), SaveError::None};
    } catch (const std::bad_alloc&) {
        return {{}, SaveError::OutOfMemory};
    }
}

SaveError savePictureTo(QWidget* pictureBox, int width, int height, const QString& folder)
{
    if (folder.isEmpty())
        return SaveError::NoDesktopFolder;
    QString path = folder;
    if (!path.endsWith(QLatin1Char('/')))
        path += QLatin1Char('/');
    path += savedFileName();

    const Snapshot shot = snapshotWindow(pictureBox, width, height);
    if (!shot.ok())
        return shot.error;
    // Atomic: the old file is replaced only once every byte is written.
    return rt::writeFileBytes(path, {shot.bytes}) ? SaveError::None : SaveError::WriteFailed;
}

void showMessage(const QString& text, MessageStyle style, const QString& caption)
{
    QMessageBox box(style == MessageStyle::Error ? QMessageBox::Critical : QMessageBox::Information,
                    caption.isEmpty() ? defaultMessageCaption() : caption, text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

SaveError savePicture(const SaveTargets& targets)
{
    const QString folder = desktopFolder();
    const int width = rt::textToInteger(targets.widthEdit ? rt::readText(targets.widthEdit) : QString());
    const int height = rt::textToInteger(targets.heightEdit ? rt::readText(targets.heightEdit) : QString());
    const SaveError error = savePictureTo(targets.pictureBox, width, height, folder);
    if (error == SaveError::None)
        showMessage(savedMessage());
    else
        showMessage(saveErrorText(error), MessageStyle::Error, QStringLiteral("错误"));
    return error;
}

} // namespace picture
