#include "app/fatal_error.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <gtest/gtest.h>

namespace {

// Runs in the death test's child: the box is real and modal, so a timer
// started beforehand reads it, prints what it shows and closes it.
void reportWithWatcher(const QString& message)
{
    QTimer::singleShot(50, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) {
            std::fprintf(stderr, "no modal box\n");
            std::_Exit(3);
        }
        std::fprintf(stderr, "caption=[%s] icon=%d text=[%s]\n", box->windowTitle().toUtf8().constData(),
                     int(box->icon()), box->text().toUtf8().replace("\r\n", "<CRLF>").constData());
        box->accept();
    });
    app::reportFatalError(message);
}

} // namespace

TEST(FatalError, TextIsBuiltFromTheMessage)
{
    EXPECT_EQ(app::fatalErrorText(QStringLiteral("分配 12 字节内存失败!")),
              QStringLiteral("运行时出错!\r\n\r\n错误信息：分配 12 字节内存失败!\r\n"));
}

TEST(FatalErrorDeathTest, ShowsTheBoxThenExitsWith255)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(reportWithWatcher(QStringLiteral("载入启动窗口失败")), testing::ExitedWithCode(255),
                "caption=\\[错误\\] icon=3 text=\\[运行时出错!<CRLF><CRLF>错误信息：载入启动窗口失败<CRLF>\\]");
}
