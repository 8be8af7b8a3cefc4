#include "picture/save/save_picture.h"

#include "runtime/files.h"
#include "runtime/surface.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <climits>
#include <cstdint>
#include <functional>

using namespace picture;

namespace {

constexpr QRgb kBorder = 0xFF0A141E;    // the frame's line colour
constexpr QRgb kOverlayA = 0xFF20C040;  // the overlay before and after a change
constexpr QRgb kOverlayB = 0xFFC02080;
constexpr QRgb kFiltered = 0xFFFF0000;  // what the "filter" paints onto the client
const QRect kOverlayRect(40, 60, 80, 20); // in the client

// The picture: four quadrants, so anything shifted or mirrored shows.
QRgb pictureAt(int x, int y)
{
    return x < 91 ? (y < 91 ? 0xFF3050F0 : 0xFFF0E020) : (y < 91 ? 0xFF808080 : 0xFFFFFFFF);
}

// A picture box as the main window builds it: a 185 x 185 frame with a
// one-pixel plain border, a 183 x 183 client at (1, 1) showing the picture,
// and the overlay as a child of the client.
struct TestBox {
    QFrame frame;
    QLabel* client;
    QLabel* overlay;

    TestBox()
    {
        frame.setFrameStyle(QFrame::Box | QFrame::Plain);
        frame.setLineWidth(1);
        QPalette pal = frame.palette();
        pal.setColor(QPalette::WindowText, QColor::fromRgb(kBorder));
        frame.setPalette(pal);
        frame.setFixedSize(185, 185);

        client = new QLabel(&frame);
        client->setGeometry(1, 1, 183, 183);
        QImage pic(183, 183, QImage::Format_RGB32);
        for (int y = 0; y < 183; ++y)
            for (int x = 0; x < 183; ++x)
                pic.setPixel(x, y, pictureAt(x, y));
        client->setPixmap(QPixmap::fromImage(pic));

        overlay = new QLabel(client);
        overlay->setGeometry(kOverlayRect);
        overlay->setAutoFillBackground(true);
        setOverlayColour(kOverlayA);

        frame.show();
        QApplication::processEvents();
    }

    void setOverlayColour(QRgb c)
    {
        QPalette pal = overlay->palette();
        pal.setColor(QPalette::Window, QColor::fromRgb(c));
        overlay->setPalette(pal);
    }
};

struct Bmp {
    QByteArray bytes;
    std::uint32_t field(int at) const
    {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i)
            v = (v << 8) | std::uint8_t(bytes[at + i]);
        return v;
    }
    int width() const { return int(field(18)); }
    int height() const { return int(field(22)); }
    // Read straight from the stored rows: bottom-up, blue-green-red.
    QRgb pixel(int x, int y) const
    {
        const int stride = (width() * 3 + 3) / 4 * 4;
        const int at = 54 + (height() - 1 - y) * stride + 3 * x;
        return qRgb(std::uint8_t(bytes[at + 2]), std::uint8_t(bytes[at + 1]), std::uint8_t(bytes[at]));
    }
};

// Closes the next application-modal message box from inside its event loop
// and keeps what it said.
struct MessageCatcher {
    QString text, caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool modal = false;
    int seen = 0;

    void arm(int triesLeft = 500)
    {
        QTimer::singleShot(triesLeft == 500 ? 0 : 10, [this, triesLeft] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) {
                if (triesLeft > 0)
                    arm(triesLeft - 1);
                return;
            }
            ++seen;
            text = box->text();
            caption = box->windowTitle();
            icon = box->icon();
            modal = box->windowModality() == Qt::ApplicationModal && !box->parentWidget();
            box->accept();
        });
    }
};

// HOME points at a fresh folder for the test (Qt's desktop location follows
// it), with or without a Desktop folder in it.
struct FakeHome {
    QTemporaryDir home;
    QByteArray oldHome = qgetenv("HOME");
    explicit FakeHome(bool withDesktop = true)
    {
        qputenv("HOME", home.path().toLocal8Bit());
        if (withDesktop)
            QDir(home.path()).mkdir(QStringLiteral("Desktop"));
    }
    ~FakeHome() { qputenv("HOME", oldHome); }
    QString desktop() const { return home.path() + QStringLiteral("/Desktop/"); }
    QString target() const { return desktop() + savedFileName(); }
};

struct SaveRun {
    SaveError error;
    MessageCatcher message;
};

SaveRun clickSave(TestBox& box, const QString& width, const QString& height)
{
    QLineEdit w(width), h(height);
    SaveRun run;
    run.message.arm();
    run.error = savePicture({&box.frame, &w, &h});
    return run;
}

Bmp readSaved(const FakeHome& home) { return {rt::readFileBytes(home.target())}; }

} // namespace

TEST(SaveSize, RulesForTypedTexts)
{
    const struct { const char16_t* text; qint64 expected; } cases[] = {
        {u"185", 185},
        {u"", 185},
        {u"0", 185},
        {u"-0", 185},  // zero, however written, is the box's own size
        {u"100", 100},
        {u"200", 200},
        {u"-50", 93},  // 92.5, half away from zero
        {u"-10", 19},  // 18.5
        {u"-5", 19},   // below 10 percent counts as 10
        {u"-1", 19},
        {u"-200", 370},
        {u"abc", 185},
        {u"１２０", 120}, // full-width digits
        {u"－５０", 93},  // full-width sign too
        {u" 120px", 120},
        {u"+7", 7},
        {u"-2147483648", 3972844749}, // exact, then refused as too large
    };
    for (const auto& c : cases)
        EXPECT_EQ(saveSideFromText(QString::fromUtf16(c.text), 185), c.expected)
            << QString::fromUtf16(c.text).toStdString();
}

TEST(SaveSize, PercentOfASmallBoxCanBeZero)
{
    EXPECT_EQ(resolveSaveSide(-10, 4), 0);  // 0.4
    EXPECT_EQ(resolveSaveSide(-10, 5), 1);  // 0.5 rounds up
    EXPECT_EQ(resolveSaveSide(-50, 0), 0);
    QWidget tiny;
    tiny.resize(4, 4);
    EXPECT_EQ(snapshotWindow(&tiny, -5, 0).error, SaveError::SizeNotPositive);
    EXPECT_EQ(snapshotWindow(&tiny, 0, -5).error, SaveError::SizeNotPositive);
}

TEST(Snapshot, SizeLimitsCheckedBeforeAllocating)
{
    TestBox box;
    const struct { int w, h; SaveError expected; } cases[] = {
        {100000, 100000, SaveError::SizeTooLarge},
        {65536, 1, SaveError::SizeTooLarge},
        {1, 65536, SaveError::SizeTooLarge},
        {11314, 11314, SaveError::SizeTooLarge}, // 128,006,596 pixels
        {INT_MIN, INT_MIN, SaveError::SizeTooLarge},
        {65535, 1, SaveError::None},
        {1, 1, SaveError::None},
    };
    for (const auto& c : cases) {
        const Snapshot s = snapshotWindow(&box.frame, c.w, c.h);
        EXPECT_EQ(s.error, c.expected) << c.w << " x " << c.h;
        EXPECT_EQ(s.bytes.isEmpty(), c.expected != SaveError::None);
    }
    EXPECT_EQ(snapshotWindow(nullptr, 0, 0).error, SaveError::NoPictureBox);
}

TEST(DesktopFolder, FollowsHomeEndsInSeparatorAndIsNeverCreated)
{
    {
        FakeHome home;
        EXPECT_EQ(desktopFolder(), home.desktop());
    }
    FakeHome bare(false);
    EXPECT_EQ(desktopFolder(), QString());
    EXPECT_FALSE(QFileInfo::exists(bare.home.path() + QStringLiteral("/Desktop")));
}

TEST(SavePicture, DefaultSizesGiveTheBoxAsShownWithItsBorder)
{
    FakeHome home;
    TestBox box;
    for (auto [w, h] : {std::pair{"185", "185"}, {"", ""}, {"0", "0"}}) {
        SCOPED_TRACE(std::string(w) + " x " + h);
        ASSERT_TRUE(QFile::remove(home.target()) || !QFileInfo::exists(home.target()));
        const SaveRun run = clickSave(box, QString::fromLatin1(w), QString::fromLatin1(h));
        EXPECT_EQ(run.error, SaveError::None);
        EXPECT_EQ(run.message.seen, 1);
        EXPECT_EQ(run.message.text, QStringLiteral("图片已保存到您的电脑桌面,赶快换到QQ上看看效果吧!"));
        EXPECT_EQ(run.message.caption, QStringLiteral("信息："));
        EXPECT_EQ(run.message.icon, QMessageBox::Information);
        EXPECT_TRUE(run.message.modal);

        const Bmp bmp = readSaved(home);
        ASSERT_EQ(bmp.bytes.size(), 54 + 185 * 556);
        EXPECT_EQ(bmp.bytes.left(2), QByteArray("BM"));
        ASSERT_EQ(bmp.width(), 185);
        ASSERT_EQ(bmp.height(), 185);
        for (int i = 0; i < 185; ++i) {
            EXPECT_EQ(bmp.pixel(i, 0), kBorder) << "top " << i;
            EXPECT_EQ(bmp.pixel(i, 184), kBorder) << "bottom " << i;
            EXPECT_EQ(bmp.pixel(0, i), kBorder) << "left " << i;
            EXPECT_EQ(bmp.pixel(184, i), kBorder) << "right " << i;
        }
        // The picture inside the border, unscaled, quadrant by quadrant.
        for (auto [x, y] : {std::pair{0, 0}, {182, 0}, {0, 182}, {182, 182}, {90, 90}, {91, 91}})
            EXPECT_EQ(bmp.pixel(x + 1, y + 1), pictureAt(x, y)) << x << "," << y;
        EXPECT_EQ(bmp.pixel(1 + kOverlayRect.x() + 3, 1 + kOverlayRect.y() + 3), kOverlayA);
    }
}

TEST(SavePicture, HoldsWhatAFilterPaintedAndTheChangedOverlay)
{
    FakeHome home;
    TestBox box;
    QImage filtered(30, 30, QImage::Format_RGB32);
    filtered.fill(kFiltered);
    rt::paintedLayer(box.client).put(filtered);
    box.setOverlayColour(kOverlayB);
    QApplication::processEvents();

    const SaveRun run = clickSave(box, QStringLiteral("185"), QStringLiteral("185"));
    ASSERT_EQ(run.error, SaveError::None);
    const Bmp bmp = readSaved(home);
    ASSERT_EQ(bmp.bytes.size(), 54 + 185 * 556);
    EXPECT_EQ(bmp.pixel(1, 1), kFiltered);
    EXPECT_EQ(bmp.pixel(30, 30), kFiltered);
    EXPECT_EQ(bmp.pixel(31, 31), pictureAt(30, 30)); // just outside the painted square
    EXPECT_EQ(bmp.pixel(0, 0), kBorder);             // the layer lies inside the border
    for (auto [x, y] : {std::pair{0, 0}, {79, 19}, {40, 10}})
        EXPECT_EQ(bmp.pixel(1 + kOverlayRect.x() + x, 1 + kOverlayRect.y() + y), kOverlayB) << x << "," << y;
    EXPECT_EQ(bmp.pixel(1 + kOverlayRect.right() + 1, 1 + kOverlayRect.y()),
              pictureAt(kOverlayRect.right() + 1, kOverlayRect.y()));
}

TEST(SavePicture, TypedSizesStretchAndEachSaveReplacesTheLast)
{
    FakeHome home;
    TestBox box;
    const struct { const char* w; const char* h; int width, height; } cases[] = {
        {"100", "100", 100, 100}, {"200", "", 200, 185}, {"-50", "-5", 93, 19},
        {"-200", "abc", 370, 185}, {"1", "1", 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.w) + " x " + c.h);
        const SaveRun run = clickSave(box, QString::fromLatin1(c.w), QString::fromLatin1(c.h));
        ASSERT_EQ(run.error, SaveError::None);
        const Bmp bmp = readSaved(home);
        EXPECT_EQ(bmp.width(), c.width);
        EXPECT_EQ(bmp.height(), c.height);
        EXPECT_EQ(bmp.bytes.size(), 54 + (c.width * 3 + 3) / 4 * 4 * c.height);
        QImage back;
        ASSERT_TRUE(back.loadFromData(bmp.bytes, "BMP"));
        EXPECT_EQ(back.size(), QSize(c.width, c.height));
    }
    // Stretched, not cropped: a shrunk save still shows all four quadrants
    // (centres of each) and is darkest at its corners, where the border was.
    clickSave(box, QStringLiteral("100"), QStringLiteral("100"));
    const Bmp small = readSaved(home);
    for (auto [x, y] : {std::pair{25, 25}, {75, 25}, {25, 75}, {75, 75}})
        EXPECT_EQ(small.pixel(x, y), pictureAt(x * 183 / 100, y * 183 / 100)) << x << "," << y;
    EXPECT_LT(qGray(small.pixel(0, 50)), qGray(small.pixel(3, 50)));

    // The stretch is smooth: where two quadrants meet, a doubled save holds
    // blends that no pixel of the box has (dropping or repeating pixels would not).
    clickSave(box, QStringLiteral("-200"), QStringLiteral("-200"));
    const Bmp big = readSaved(home);
    const QSet<QRgb> shown{kBorder, kOverlayA, pictureAt(0, 0), pictureAt(0, 182), pictureAt(182, 0),
                           pictureAt(182, 182)};
    int blends = 0;
    for (int x = 170; x < 200; ++x)
        blends += !shown.contains(big.pixel(x, 40));
    EXPECT_GT(blends, 0);
}

namespace {

// A save that must fail: the old file is left exactly as it was and the
// message names the failure instead of claiming success.
void expectFailedSave(const SaveRun& run, SaveError expected, const QString& target, const QByteArray& old)
{
    EXPECT_EQ(run.error, expected);
    EXPECT_EQ(run.message.seen, 1);
    EXPECT_EQ(run.message.text, saveErrorText(expected));
    EXPECT_NE(run.message.text, savedMessage());
    EXPECT_EQ(run.message.caption, QStringLiteral("错误"));
    EXPECT_EQ(run.message.icon, QMessageBox::Critical);
    EXPECT_TRUE(run.message.modal);
    QFile f(target);
    if (old.isNull()) {
        EXPECT_FALSE(f.exists());
    } else {
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), old);
    }
}

} // namespace

TEST(SavePicture, SizeTooLargeKeepsTheOldFile)
{
    FakeHome home;
    TestBox box;
    ASSERT_EQ(clickSave(box, {}, {}).error, SaveError::None);
    const QByteArray old = rt::readFileBytes(home.target());
    ASSERT_EQ(old.size(), 54 + 185 * 556);
    for (auto [w, h] : {std::pair{"100000", "100000"}, {"65536", "10"}, {"-2147483648", "0"}})
        expectFailedSave(clickSave(box, QString::fromLatin1(w), QString::fromLatin1(h)),
                         SaveError::SizeTooLarge, home.target(), old);
}

TEST(SavePicture, NoDesktopFolderWritesNothingAnywhere)
{
    FakeHome home(false);
    TestBox box;
    const QString atRoot = QStringLiteral("/") + savedFileName();
    const bool rootHadOne = QFileInfo::exists(atRoot);
    const QString inCwd = QDir::current().filePath(savedFileName());
    const bool cwdHadOne = QFileInfo::exists(inCwd);
    expectFailedSave(clickSave(box, {}, {}), SaveError::NoDesktopFolder, home.target(), QByteArray());
    EXPECT_TRUE(QDir(home.home.path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_EQ(QFileInfo::exists(atRoot), rootHadOne);
    EXPECT_EQ(QFileInfo::exists(inCwd), cwdHadOne);
}

TEST(SavePicture, ReadOnlyTargetStaysAsItWas)
{
    // Also as root, where only the permission bits protect the file.
    FakeHome home;
    TestBox box;
    const QByteArray old("an older save");
    ASSERT_TRUE(rt::writeFileBytes(home.target(), {old}));
    ASSERT_TRUE(rt::changeFileAttributes(home.target(), rt::ReadOnly));
    expectFailedSave(clickSave(box, {}, {}), SaveError::WriteFailed, home.target(), old);
    // No temporary file of the atomic write is left behind.
    EXPECT_EQ(QDir(home.desktop()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{savedFileName()});
    ASSERT_TRUE(rt::changeFileAttributes(home.target(), 0));
    EXPECT_EQ(clickSave(box, {}, {}).error, SaveError::None);
}

TEST(SavePicture, TargetThatIsAFolderIsAWriteFailure)
{
    FakeHome home;
    TestBox box;
    ASSERT_TRUE(QDir().mkpath(home.target()));
    const SaveRun run = clickSave(box, {}, {});
    EXPECT_EQ(run.error, SaveError::WriteFailed);
    EXPECT_EQ(run.message.text, saveErrorText(SaveError::WriteFailed));
    EXPECT_TRUE(QFileInfo(home.target()).isDir());
}

TEST(SavePicture, TooSmallAndMissingBoxAreReported)
{
    FakeHome home;
    QFrame tiny;
    tiny.setFixedSize(4, 4);
    QLineEdit w(QStringLiteral("-5")), h(QStringLiteral("-5"));
    MessageCatcher m;
    m.arm();
    EXPECT_EQ(savePicture({&tiny, &w, &h}), SaveError::SizeNotPositive);
    EXPECT_EQ(m.text, saveErrorText(SaveError::SizeNotPositive));
    EXPECT_FALSE(QFileInfo::exists(home.target()));

    MessageCatcher gone;
    gone.arm();
    EXPECT_EQ(savePicture({nullptr, nullptr, nullptr}), SaveError::NoPictureBox);
    EXPECT_EQ(gone.text, saveErrorText(SaveError::NoPictureBox));
}

TEST(ShowMessage, DefaultCaptionAndInformationIcon)
{
    MessageCatcher m;
    m.arm();
    showMessage(QStringLiteral("你好"));
    EXPECT_EQ(m.seen, 1);
    EXPECT_EQ(m.text, QStringLiteral("你好"));
    EXPECT_EQ(m.caption, QStringLiteral("信息："));
    EXPECT_EQ(m.icon, QMessageBox::Information);
    EXPECT_TRUE(m.modal);
}
