#pragma once
// Saving what the picture box shows: its whole frame as rendered (border,
// picture, overlay and whatever a filter painted onto it), stretched to the
// typed size and written as a 24-bit BMP to a file of fixed name on the
// user's desktop. Every failure is told to the user as what it is; a failed
// save leaves the previous file untouched.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QLineEdit;
class QWidget;

namespace picture {

// Always this name, whatever the format: each save replaces the last one.
QString savedFileName();

// The success message and the caption a message box gets when none is given.
QString savedMessage();
QString defaultMessageCaption();

// What went wrong, if anything. One value per distinct message.
enum class SaveError {
    None,
    NoPictureBox,    // the picture box is gone
    NoDesktopFolder, // the system names no desktop folder, or it does not exist
    SizeNotPositive, // the requested size resolves to 0 or less in a direction
    SizeTooLarge,    // above 65535 a side or 128 million pixels
    OutOfMemory,     // the stretched picture or the file bytes could not be had
    WriteFailed,     // the file could not be written (read-only, no permission)
};

// The message that tells the user what failed (or the success message).
QString saveErrorText(SaveError error);

// The current user's desktop folder, ending in '/'; empty when the system
// names none or it does not exist. Never created.
QString desktopFolder();

// One direction of the requested size against the box's side: 0 is the
// box's own side, -n is n percent of it (n below 10 counts as 10, halves
// rounded away from zero), a positive value is taken as it is. 64-bit, so
// any 32-bit request gives its exact answer; the caller checks the range.
qint64 resolveSaveSide(int requested, int side);

// The size rules applied to the text of a size box: rt::textToInteger, then
// resolveSaveSide.
qint64 saveSideFromText(const QString& text, int side);

// A snapshot as a BMP file, or the reason there is none.
struct Snapshot {
    QByteArray bytes;
    SaveError error = SaveError::None;
    bool ok() const { return error == SaveError::None; }
};

// The window as shown, at a device-pixel ratio of 1, stretched smoothly to
// the requested size (raw values, resolved by resolveSaveSide) and encoded
// as a BMP. Sizes are checked before anything is allocated.
Snapshot snapshotWindow(QWidget* window, int width, int height);

// Snapshot and write to `folder` + savedFileName(), atomically: the old file
// stays as it was on any failure. An empty folder writes nothing.
SaveError savePictureTo(QWidget* pictureBox, int width, int height, const QString& folder);

enum class MessageStyle { Information, Error };

// An application-modal message box without an owner, a single OK button;
// waits until the user closes it. An empty caption gives "信息：".
void showMessage(const QString& text, MessageStyle style = MessageStyle::Information,
                 const QString& caption = QString());

// The controls the save button's handler reads, handed in by the main window.
struct SaveTargets {
    QWidget* pictureBox = nullptr; // 图片框1: the whole frame, border included
    QLineEdit* widthEdit = nullptr;  // 编辑框3
    QLineEdit* heightEdit = nullptr; // 编辑框4
};

// The click handler of "保存图片": saves to the desktop folder and shows
// either the success message or what failed. The result is for tests; the
// handler needs nothing from it.
SaveError savePicture(const SaveTargets& targets);

} // namespace picture
