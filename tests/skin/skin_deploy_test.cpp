// The start-up sequence in real processes: the probe program is copied into
// a fresh folder, next to whatever SkinH_EL.dll the case needs, and runs
// deploySkinLibrary / applyEmbeddedSkin there.

#include "app/fatal_error.h"
#include "app/skin/bound_function.h"
#include "app/skin/skin_format.h"
#include "app/skin/skin_library.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

namespace {

struct ProbeRun {
    int status = -1;
    QString out;
    QStringList lines() const { return out.split('\n', Qt::SkipEmptyParts); }
};

struct Box {
    QString title, text;
    int icon = -1, buttons = -1;
};

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QString libraryIn(const QTemporaryDir& dir)
{
    return dir.filePath(app::kSkinLibraryName);
}

// Copies the probe into `dir` and runs it there with `args`. The library
// path is cleared unless the case sets it, so only the folder decides.
ProbeRun runProbe(const QTemporaryDir& dir, const QStringList& args, const QString& libraryPath = QString())
{
    const QString probe = dir.filePath("skin_probe");
    if (!QFileInfo::exists(probe)) {
        EXPECT_TRUE(QFile::copy(TP_SKIN_PROBE, probe));
        QFile::setPermissions(probe, QFile::permissions(probe) | QFile::ExeOwner);
    }
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.remove("LD_LIBRARY_PATH");
    if (!libraryPath.isEmpty())
        env.insert("LD_LIBRARY_PATH", libraryPath);
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(QDir::tempPath());
    process.start(probe, args);
    ProbeRun run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << "probe did not finish";
        return run;
    }
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    const QByteArray err = process.readAllStandardError();
    if (run.status != 0 && run.status != 255)
        ADD_FAILURE() << "probe status " << run.status << ": " << err.constData();
    return run;
}

std::optional<Box> boxOf(const ProbeRun& run)
{
    for (const QString& line : run.lines()) {
        if (!line.startsWith("box "))
            continue;
        Box box;
        for (const QString& field : line.mid(4).split(' ')) {
            const QString key = field.section('=', 0, 0), value = field.section('=', 1);
            if (key == "title")
                box.title = QString::fromUtf8(QByteArray::fromHex(value.toLatin1()));
            else if (key == "text")
                box.text = QString::fromUtf8(QByteArray::fromHex(value.toLatin1()));
            else if (key == "icon")
                box.icon = value.toInt();
            else if (key == "buttons")
                box.buttons = value.toInt();
        }
        return box;
    }
    return std::nullopt;
}

QStringList attachLines(const ProbeRun& run)
{
    return run.lines().filter(QRegularExpression("^attach "));
}

QString fnvHex(const QByteArray& bytes)
{
    quint32 h = 2166136261u;
    for (char c : bytes)
        h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
    return QString::asprintf("%08x", h);
}

QString folderOf(const char* path)
{
    return QFileInfo(QString::fromUtf8(path)).absolutePath();
}

// When a SkinH_EL.dll is installed where the ordinary search finds it, a
// broken copy next to the program is passed over, so the fatal path cannot
// be seen on this machine.
bool installedCopyFound()
{
    void* h = dlopen("SkinH_EL.dll", RTLD_NOW | RTLD_LOCAL);
    if (h)
        dlclose(h);
    return h != nullptr;
}

const QString kExpectedFatalText = QStringLiteral(
    "运行时出错!\r\n\r\n错误信息：无法找到指定DLL库文件“SkinH_EL.dll”中的输出命令“SkinH_AttachRes”\r\n");

} // namespace

TEST(SkinDeploy, FirstStartWritesTheModuleAndAttachesTheSkin)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ProbeRun run = runProbe(dir, {"deploy"});
    EXPECT_EQ(run.status, 0);
    const QByteArray image = app::skinLibraryImage();
    ASSERT_GT(image.size(), 1000);
    EXPECT_EQ(image.left(4), "\x7f" "ELF");
    EXPECT_EQ(fileBytes(libraryIn(dir)), image);
    // Hidden has no POSIX meaning; not read-only means the owner may write.
    EXPECT_TRUE(QFileInfo(libraryIn(dir)).permissions() & QFile::WriteOwner);

    // The next start binds the module it finds there and is skinned.
    run = runProbe(dir, {"apply", "11"});
    EXPECT_EQ(run.status, 0) << qPrintable(run.out);
    const QString window = skin::parseSkin(app::embeddedSkin(11)).skin->value("window");
    EXPECT_TRUE(run.lines().contains("applied 11 sheet=1 window=" + window)) << qPrintable(run.out);
    EXPECT_FALSE(boxOf(run));
}

TEST(SkinDeploy, ApplyDeploysFirstInAnEmptyFolder)
{
    QTemporaryDir dir;
    const ProbeRun run = runProbe(dir, {"apply", "5"});
    EXPECT_EQ(run.status, 0) << qPrintable(run.out);
    EXPECT_EQ(fileBytes(libraryIn(dir)), app::skinLibraryImage());
    EXPECT_TRUE(run.out.contains("applied 5 sheet=1")) << qPrintable(run.out);
}

TEST(SkinDeploy, AnExistingEntryOfThatNameIsLeftAlone)
{
    enum Kind { File, EmptyFile, Folder, DanglingLink };
    for (Kind kind : {File, EmptyFile, Folder, DanglingLink}) {
        SCOPED_TRACE(int(kind));
        QTemporaryDir dir;
        const QString path = libraryIn(dir);
        const QDateTime old = QDateTime::fromSecsSinceEpoch(1'000'000'000);
        switch (kind) {
        case File:
            ASSERT_TRUE(writeBytes(path, "not the module at all"));
            ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0444), 0);
            break;
        case EmptyFile:
            ASSERT_TRUE(writeBytes(path, QByteArray()));
            ASSERT_EQ(chmod(QFile::encodeName(path).constData(), 0600), 0);
            break;
        case Folder:
            ASSERT_TRUE(QDir(dir.path()).mkdir(app::kSkinLibraryName));
            ASSERT_TRUE(writeBytes(path + "/inside", "x"));
            break;
        case DanglingLink:
            ASSERT_TRUE(QFile::link(dir.filePath("nowhere"), path));
            break;
        }
        if (kind != DanglingLink) {
            const utimbuf times{old.toSecsSinceEpoch(), old.toSecsSinceEpoch()};
            ASSERT_EQ(utime(QFile::encodeName(path).constData(), &times), 0);
        }
        const QFileInfo before(path);
        const QByteArray bytesBefore = kind == Folder ? QByteArray() : fileBytes(path);

        EXPECT_EQ(runProbe(dir, {"deploy"}).status, 0);

        const QFileInfo after(path);
        EXPECT_EQ(after.isDir(), before.isDir());
        EXPECT_EQ(after.isSymLink(), before.isSymLink());
        if (kind == DanglingLink) {
            EXPECT_FALSE(QFileInfo::exists(dir.filePath("nowhere"))) << "written through the link";
            continue;
        }
        EXPECT_EQ(after.lastModified(), old);
        EXPECT_EQ(after.permissions(), before.permissions());
        if (kind == Folder) {
            EXPECT_EQ(QDir(path).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"inside"});
        } else {
            EXPECT_EQ(fileBytes(path), bytesBefore);
        }
    }
}

// Something named SkinH_EL.dll that cannot serve: the first attach ends the
// program with the error box, and its status is 255.
TEST(SkinDeploy, AnUnbindableLibraryEndsTheProgramWithTheErrorBox)
{
    if (installedCopyFound())
        GTEST_SKIP() << "an installed SkinH_EL.dll is found by the ordinary library search";
    enum Kind { Text, Empty, HeadersOnly, CutShort, NoExport, Folder };
    for (Kind kind : {Text, Empty, HeadersOnly, CutShort, NoExport, Folder}) {
        SCOPED_TRACE(int(kind));
        QTemporaryDir dir;
        const QString path = libraryIn(dir);
        switch (kind) {
        case Text: ASSERT_TRUE(writeBytes(path, "MZ this is not a library\n")); break;
        case Empty: ASSERT_TRUE(writeBytes(path, QByteArray())); break;
        case HeadersOnly: ASSERT_TRUE(writeBytes(path, app::skinLibraryImage().left(4096))); break;
        case CutShort:
            // Cut inside the loaded segments (the section table at the very
            // end is not loaded, so a copy missing only that would still work).
            ASSERT_TRUE(writeBytes(path, app::skinLibraryImage().left(app::skinLibraryImage().size() / 2)));
            break;
        case NoExport: ASSERT_TRUE(QFile::copy(TP_NO_EXPORT_MODULE, path)); break;
        case Folder: ASSERT_TRUE(QDir(dir.path()).mkdir(app::kSkinLibraryName)); break;
        }
        const QByteArray before = kind == Folder ? QByteArray() : fileBytes(path);

        const ProbeRun run = runProbe(dir, {"apply", "11"});
        EXPECT_EQ(run.status, 255) << qPrintable(run.out);
        const std::optional<Box> box = boxOf(run);
        ASSERT_TRUE(box) << qPrintable(run.out);
        EXPECT_EQ(box->title, "错误");
        EXPECT_EQ(box->text, kExpectedFatalText);
        EXPECT_EQ(box->text, app::fatalErrorText(app::bindingFailureMessage("SkinH_EL.dll", "SkinH_AttachRes")));
        EXPECT_EQ(box->icon, int(QMessageBox::Critical));
        EXPECT_EQ(box->buttons, 1);
        EXPECT_FALSE(run.out.contains("applied")) << "went on after the fatal report";
        if (kind != Folder) {
            EXPECT_EQ(fileBytes(path), before) << "the broken file was replaced";
        }
    }
}

// What the export receives, seen by a recording SkinH_EL.dll.
TEST(SkinDeploy, TheExportGetsACopyOfTheSkinOrANullBlock)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(TP_RECORDER_MODULE, libraryIn(dir)));
    const ProbeRun run = runProbe(dir, {"apply", "11", "apply", "0", "apply", "34", "apply", "-1", "apply", "-2147483648",
                                   "apply", "2147483647", "apply", "1", "apply", "33"});
    EXPECT_EQ(run.status, 0) << qPrintable(run.out);
    const QStringList calls = attachLines(run);
    ASSERT_EQ(calls.size(), 8) << qPrintable(run.out);
    auto expectBlock = [&](int call, int number) {
        const QByteArray block = app::embeddedSkin(number);
        EXPECT_TRUE(calls[call].startsWith(QStringLiteral("attach data=set size=%1 fnv=%2 text= ints=0,0,0 from=")
                                                .arg(block.size()).arg(fnvHex(block))))
            << qPrintable(calls[call]);
    };
    expectBlock(0, 11);
    for (int call = 1; call <= 5; ++call)
        EXPECT_TRUE(calls[call].startsWith("attach data=null size=0 fnv=00000000 text= ints=0,0,0 from="))
            << qPrintable(calls[call]);
    expectBlock(6, 1);
    expectBlock(7, 33);
    // Bound once, at the first call, and reused.
    EXPECT_EQ(run.lines().filter("recorder loaded").size(), 1);
    EXPECT_TRUE(calls[0].endsWith("from=" + libraryIn(dir))) << qPrintable(calls[0]);
}

TEST(SkinDeploy, TheBindingOutlivesTheFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(TP_RECORDER_MODULE, libraryIn(dir)));
    const ProbeRun run = runProbe(dir, {"apply", "11", "remove", "apply", "12"});
    EXPECT_EQ(run.status, 0) << qPrintable(run.out);
    EXPECT_EQ(attachLines(run).size(), 2) << qPrintable(run.out);
    // The second start-up step found nothing and deployed the real module.
    EXPECT_EQ(fileBytes(libraryIn(dir)), app::skinLibraryImage());
}

// A program whose own folder cannot hold the module (here a folder of that
// name is in the way, as a read-only folder would be) finds an installed
// copy through the ordinary library search; a copy next to it comes first.
TEST(SkinDeploy, OrdinaryLibrarySearchComesLast)
{
    QTemporaryDir blocked;
    ASSERT_TRUE(QDir(blocked.path()).mkdir(app::kSkinLibraryName));
    ProbeRun run = runProbe(blocked, {"apply", "11"}, folderOf(TP_SKIN_MODULE));
    EXPECT_EQ(run.status, 0) << qPrintable(run.out);
    EXPECT_TRUE(run.out.contains("applied 11 sheet=1")) << qPrintable(run.out);

    run = runProbe(blocked, {"apply", "11"}, folderOf(TP_RECORDER_MODULE));
    ASSERT_EQ(attachLines(run).size(), 1) << qPrintable(run.out);
    EXPECT_TRUE(attachLines(run)[0].endsWith("from=" + QString::fromUtf8(TP_RECORDER_MODULE)))
        << qPrintable(attachLines(run)[0]);

    QTemporaryDir local;
    ASSERT_TRUE(QFile::copy(TP_RECORDER_MODULE, libraryIn(local)));
    run = runProbe(local, {"apply", "11"}, folderOf(TP_SKIN_MODULE));
    ASSERT_EQ(attachLines(run).size(), 1) << qPrintable(run.out);
    EXPECT_TRUE(attachLines(run)[0].endsWith("from=" + libraryIn(local)));
}
