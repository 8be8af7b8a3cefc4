#include "app/main_window.h"
#include "runtime/controls.h"
#include "runtime/files.h"

#include <QApplication>
#include <QDir>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // From start-up on, the current directory is the program's own folder.
    QDir::setCurrent(rt::runDirectory());

    // Builds every control and raises the start-up events (created, position
    // changed, size changed) before the window is first shown.
    app::MainWindow window;
    window.show();
    const int status = application.exec();
    rt::settleBeforeExit();
    return status;
}
