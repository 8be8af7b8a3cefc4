#include "app/fatal_error.h"
#include "app/skin/bound_function.h"

#include <gtest/gtest.h>

TEST(LibrarySearchOrder, RunDirectoryThenProgramFolderThenOrdinarySearch)
{
    struct Case {
        QString library, runDir, programDir;
        QStringList expected;
    };
    const Case cases[] = {
        {"SkinH_EL.dll", "/opt/run", "/opt/prog", {"/opt/run/SkinH_EL.dll", "/opt/prog/SkinH_EL.dll", "SkinH_EL.dll"}},
        {"SkinH_EL.dll", "/opt/app", "/opt/app", {"/opt/app/SkinH_EL.dll", "SkinH_EL.dll"}},
        // A program in the root folder: one separator, not two.
        {"SkinH_EL.dll", "/", "/", {"/SkinH_EL.dll", "SkinH_EL.dll"}},
        {"sub/lib.so", "/opt/app", "/opt/app", {"/opt/app/sub/lib.so", "sub/lib.so"}},
        // An absolute path is tried as it is, and only there.
        {"/usr/lib/libz.so.1", "/opt/app", "/opt/app", {"/usr/lib/libz.so.1"}},
        {"SkinH_EL.dll", "", "", {"SkinH_EL.dll"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(app::librarySearchOrder(c.library, c.runDir, c.programDir), c.expected) << qPrintable(c.library);
}

TEST(BindingFailure, MessageNamesLibraryAndFunction)
{
    EXPECT_EQ(app::bindingFailureMessage("SkinH_EL.dll", "SkinH_AttachRes"),
              QStringLiteral("无法找到指定DLL库文件“SkinH_EL.dll”中的输出命令“SkinH_AttachRes”"));
}

#ifdef Q_OS_LINUX
// A system library found by the ordinary library search.
TEST(BoundFunction, BindsAtFirstCallAndKeepsTheBinding)
{
    app::BoundFunction<double(double)> cosine("libm.so.6", "cos");
    EXPECT_FALSE(cosine.binder().bound());
    EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
    EXPECT_TRUE(cosine.binder().bound());
    EXPECT_EQ(cosine.binder().loadedFrom(), "libm.so.6");
    const void* first = cosine.binder().tryBind();
    EXPECT_EQ(cosine.binder().tryBind(), first);
    EXPECT_DOUBLE_EQ(cosine(3.141592653589793), -1.0);
}

TEST(BoundFunction, MissingLibraryOrFunctionDoesNotBind)
{
    app::LibraryBinder noFunction("libm.so.6", "no_such_function_here");
    EXPECT_EQ(noFunction.tryBind(), nullptr);
    EXPECT_FALSE(noFunction.bound());
    app::LibraryBinder noLibrary("libno-such-library-anywhere.so", "cos");
    EXPECT_EQ(noLibrary.tryBind(), nullptr);
    app::LibraryBinder absent("/nonexistent/folder/libm.so.6", "cos");
    EXPECT_EQ(absent.tryBind(), nullptr);
}
#endif
