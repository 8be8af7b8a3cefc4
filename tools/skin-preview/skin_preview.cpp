// skin-preview <skin number> <picture.png>
//
// Builds the real main window (which attaches skin 11 during its created
// event, as the program does), attaches the given built-in skin through the
// same bound export, and saves the window as a PNG picture.

#include "app/main_window.h"
#include "app/skin/skin_format.h"
#include "app/skin/skin_library.h"

#include <QApplication>
#include <QThread>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <skin number 1..%d> <picture.png>\n", argv[0], app::kSkinCount);
        return 2;
    }
    const int number = QString::fromLocal8Bit(argv[1]).toInt();
    const QString output = QString::fromLocal8Bit(argv[2]);

    app::MainWindow window;
    if (number != app::kStartupSkin)
        app::applyEmbeddedSkin(number);
    QString title = QStringLiteral("TamselPelorinV1.0测试版 — 皮肤 %1").arg(number);
    if (const skin::ParseResult parsed = skin::parseSkin(app::embeddedSkin(number)))
        title += u' ' + parsed.skin->value(QStringLiteral("title"));
    window.setWindowTitle(title);
    window.show();
    // Let the window system map and expose the window before it is grabbed.
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(10);
    }
    if (!window.grab().save(output, "PNG")) {
        std::fprintf(stderr, "cannot save %s\n", argv[2]);
        return 1;
    }
    return 0;
}
