#include "runtime/files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace rt;

namespace {
QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
} // namespace

TEST(Files, WriteAndReadBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("out.bin");
    ASSERT_TRUE(writeFileBytes(path, {"abc", QByteArray(), "def"}));
    EXPECT_EQ(contents(path), "abcdef");
    EXPECT_EQ(readFileBytes(path), "abcdef");
    ASSERT_TRUE(writeFileBytes(path, {"x"}));
    EXPECT_EQ(readFileBytes(path), "x");
}

TEST(Files, EmptyPathOrMissingFileGivesNothing)
{
    EXPECT_FALSE(writeFileBytes(QString(), {"abc"}));
    EXPECT_TRUE(readFileBytes(QString()).isEmpty());
    EXPECT_TRUE(readFileBytes("/nonexistent/file").isEmpty());
    QTemporaryDir dir;
    const QString empty = dir.filePath("empty");
    ASSERT_TRUE(writeFileBytes(empty, {}));
    EXPECT_TRUE(readFileBytes(empty).isEmpty());
    EXPECT_TRUE(readFileBytes(dir.path()).isEmpty()); // a folder is not a file
}

TEST(Files, ReadRefusesFilesBeyondTheLimit)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("big");
    ASSERT_TRUE(writeFileBytes(path, {QByteArray(100, 'a')}));
    EXPECT_TRUE(readFileBytes(path, 99).isEmpty());
    EXPECT_EQ(readFileBytes(path, 100).size(), 100);
}

TEST(Files, FailedWriteKeepsTheOldFile)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root ignores permissions";
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.bin");
    ASSERT_TRUE(writeFileBytes(path, {"old contents"}));

    // Target read-only: refused, old content intact.
    ASSERT_TRUE(changeFileAttributes(path, ReadOnly));
    EXPECT_FALSE(writeFileBytes(path, {"new"}));
    EXPECT_EQ(contents(path), "old contents");
    ASSERT_TRUE(changeFileAttributes(path, 0));

    // Folder read-only: the temporary file cannot be made, nothing changes.
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    EXPECT_FALSE(writeFileBytes(path, {"new"}));
    EXPECT_EQ(contents(path), "old contents");
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST(Files, ReadOnlyTargetSurvivesAlsoForRoot)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("ro.bin");
    ASSERT_TRUE(writeFileBytes(path, {"old"}));
    ASSERT_TRUE(changeFileAttributes(path, ReadOnly | Hidden));
    EXPECT_FALSE(QFileInfo(path).permissions() & (QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther));
    EXPECT_FALSE(writeFileBytes(path, {"new"}));
    EXPECT_EQ(contents(path), "old");
}

TEST(Files, WriteIntoMissingFolderFails)
{
    QTemporaryDir dir;
    EXPECT_FALSE(writeFileBytes(dir.filePath("no/such/folder/x"), {"abc"}));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("no")));
}

TEST(Files, FileExistsCountsEveryKindOfEntry)
{
    QTemporaryDir dir;
    EXPECT_TRUE(fileExists(dir.path()));
    EXPECT_FALSE(fileExists(dir.filePath("nothing")));
    EXPECT_FALSE(fileExists(QString()));
    ASSERT_EQ(symlink("/nonexistent/target", QFile::encodeName(dir.filePath("dangling")).constData()), 0);
    EXPECT_TRUE(fileExists(dir.filePath("dangling")));
}

TEST(Files, RunDirectoryHasNoTrailingSeparator)
{
    const QString d = runDirectory();
    EXPECT_FALSE(d.isEmpty());
    EXPECT_FALSE(d.endsWith('/'));
    EXPECT_TRUE(QDir(d).exists());
}
