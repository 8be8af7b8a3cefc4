#include "picture/box/open_picture.h"
#include "picture/box/picture_box.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace picture;

TEST(FilterText, BecomesOneQtNameFilter)
{
    EXPECT_EQ(nameFiltersFromFilterText(kPictureFilter),
              QStringList{"图片文件(*.bmp;*.jpg;*.gif;*.ico) (*.bmp *.jpg *.gif *.ico)"});
    EXPECT_EQ(nameFiltersFromFilterText("A|*.a|B|*.b;*.c||  "), (QStringList{"A (*.a)", "B (*.b *.c)"}));
    EXPECT_TRUE(nameFiltersFromFilterText("").isEmpty());
}

namespace {

// Answers the next open dialog: picks `path` and confirms, or cancels when
// `path` is empty. Records the file name the dialog opened with.
struct DialogDriver {
    QString openedWith;
    QStringList filters;
    void answer(const QString& path)
    {
        QTimer::singleShot(0, [this, path] { poll(path, 200); });
    }
    void poll(const QString& path, int triesLeft)
    {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            if (triesLeft > 0)
                QTimer::singleShot(10, [this, path, triesLeft] { poll(path, triesLeft - 1); });
            return;
        }
        EXPECT_TRUE(dialog->testOption(QFileDialog::DontUseNativeDialog));
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFile);
        filters = dialog->nameFilters();
        EXPECT_TRUE(dialog->testOption(QFileDialog::HideNameFilterDetails));
        auto* nameEdit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        openedWith = nameEdit ? nameEdit->text() : QString();
        if (path.isEmpty()) {
            dialog->reject();
        } else {
            dialog->selectFile(path);
            QMetaObject::invokeMethod(dialog, "accept");
        }
    }
};

struct OpenRig : ::testing::Test {
    QWidget window;
    PictureBox* box = new PictureBox(&window);
    QLineEdit* edit = new QLineEdit(&window);
    FileDialogControl* dialog = new FileDialogControl(&window);
    QTemporaryDir dir;
    DialogDriver driver;

    QString writePicture(const QString& name, QColor colour, const char* format)
    {
        QImage img(16, 16, QImage::Format_RGB32);
        img.fill(colour);
        const QString path = dir.filePath(name);
        img.save(path, format);
        return path;
    }
    void open(const QString& answer)
    {
        driver.answer(answer);
        openPicture({dialog, edit, box, &window});
    }
    QRgb centre() { return box->decodedPicture().isNull() ? 0 : box->decodedPicture().pixel(8, 8); }
};

} // namespace

TEST_F(OpenRig, ConfirmedFileIsShownAndItsPathKept)
{
    const QString path = writePicture("a picture.png.jpg", Qt::red, "BMP"); // content decides
    open(path);
    EXPECT_EQ(edit->text(), path);
    EXPECT_EQ(dialog->fileName, path);
    EXPECT_EQ(centre(), qRgb(255, 0, 0));
    EXPECT_EQ(box->displayMode(), 1);
    EXPECT_EQ(driver.filters.value(0), "图片文件(*.bmp;*.jpg;*.gif;*.ico) (*.bmp *.jpg *.gif *.ico)");
    EXPECT_EQ(dialog->filter, kPictureFilter);

    // The next showing opens on the last confirmed file.
    const QString second = writePicture("b.bmp", Qt::blue, "BMP");
    open(second);
    EXPECT_EQ(driver.openedWith, QStringLiteral("a picture.png.jpg"));
    EXPECT_EQ(centre(), qRgb(0, 0, 255));
}

TEST_F(OpenRig, CancelChangesNothing)
{
    // Before any file was confirmed: the start picture stays, the edit box
    // stays empty.
    writePicture("start.bmp", Qt::yellow, "BMP");
    {
        QFile start(dir.filePath("start.bmp"));
        ASSERT_TRUE(start.open(QIODevice::ReadOnly));
        box->setPicture(start.readAll());
    }
    open(QString());
    EXPECT_TRUE(edit->text().isEmpty());
    EXPECT_EQ(centre(), qRgb(255, 255, 0));

    const QString path = writePicture("c.bmp", Qt::green, "BMP");
    open(path);
    ASSERT_EQ(centre(), qRgb(0, 255, 0));
    // The file changes on disk, then the user opens the dialog and cancels:
    // nothing is reloaded, the box keeps what it shows.
    writePicture("c.bmp", Qt::black, "BMP");
    edit->setText(QStringLiteral("typed by hand"));
    open(QString());
    EXPECT_EQ(centre(), qRgb(0, 255, 0));
    EXPECT_EQ(edit->text(), QStringLiteral("typed by hand"));
    EXPECT_EQ(dialog->fileName, path);
}

TEST_F(OpenRig, UnreadableOrUnknownContentLeavesAnEmptyBox)
{
    const QString png = writePicture("d.jpg", Qt::red, "PNG");
    open(png);
    EXPECT_EQ(edit->text(), png);
    EXPECT_TRUE(box->decodedPicture().isNull());
    const QString empty = dir.filePath("empty.bmp");
    QFile(empty).open(QIODevice::WriteOnly);
    open(empty);
    EXPECT_TRUE(box->decodedPicture().isNull());
    EXPECT_EQ(edit->text(), empty);
}
