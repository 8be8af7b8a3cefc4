// skin_probe <command>...: runs the skinning library's start-up steps in a
// real application and reports on stdout what happened. Commands, in order:
//   deploy     deploySkinLibrary()
//   apply N    applyEmbeddedSkin(N), then "applied N sheet=<0|1> window=<#rrggbb>"
//   remove     deletes the deployed module file
// A message box that opens (the fatal report) is described on stdout as
// "box title=<hex> text=<hex> icon=<n> buttons=<n>" and closed with OK, so
// the process goes on to end the way the report ends it.

#include "app/skin/skin_library.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

namespace {

void describeOpenBoxes()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box || !box->isVisible())
            continue;
        std::printf("box title=%s text=%s icon=%d buttons=%d\n", box->windowTitle().toUtf8().toHex().constData(),
                    box->text().toUtf8().toHex().constData(), int(box->icon()), int(box->buttons().size()));
        std::fflush(stdout);
        box->accept();
    }
}

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // The fatal report waits in the box's own event loop; the timer fires
    // inside it.
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, &describeOpenBoxes);
    watcher.start(20);

    for (int i = 1; i < argc; ++i) {
        const QByteArray command = argv[i];
        if (command == "deploy") {
            app::deploySkinLibrary();
        } else if (command == "apply" && i + 1 < argc) {
            const int number = QByteArray(argv[++i]).toInt();
            app::applyEmbeddedSkin(number);
            std::printf("applied %d sheet=%d window=%s\n", number, application.styleSheet().isEmpty() ? 0 : 1,
                        qPrintable(QApplication::palette().color(QPalette::Window).name()));
        } else if (command == "remove") {
            QFile::remove(app::deployedSkinLibraryPath());
        } else {
            std::fprintf(stderr, "unknown command %s\n", argv[i]);
            return 2;
        }
        std::fflush(stdout);
    }
    return 0;
}
