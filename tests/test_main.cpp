#include "runtime/controls.h"

#include <QApplication>
#include <gtest/gtest.h>

// One QApplication for the whole test run, so widget tests can create real
// widgets; the platform is chosen by QT_QPA_PLATFORM (offscreen in CTest).
int main(int argc, char** argv)
{
    // Headless unless told otherwise (test discovery runs without CTest's
    // environment).
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    // Events left in the queue at exit are never freed.
    rt::settleBeforeExit();
    return result;
}
