// The skin engine, built as the loadable module SkinH_EL.dll. The program
// binds its one export by name at run time and hands it a skin block; the
// engine themes the running application with it: base style, palette and
// style sheet, in that order, so the style sheet works on top of a palette
// that already matches it.

#include "app/skin/skin_theme.h"

#include <QApplication>
#include <QStyle>
#include <QStyleFactory>
#include <QThread>
#include <exception>

namespace {

int attach(const unsigned char* data, int size)
{
    // Nothing is touched before the whole block has been read and checked,
    // so a refused block leaves the current look as it was.
    const skin::ThemeResult built = skin::buildTheme(reinterpret_cast<const char*>(data), size);
    if (!built)
        return int(built.refusal);

    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (!app || QThread::currentThread() != app->thread())
        return int(skin::Refusal::NoApplication);

    const skin::Theme& theme = *built.theme;
    QStyle* style = QStyleFactory::create(theme.baseStyle);
    if (!style)
        style = QStyleFactory::create(QStringLiteral("Fusion"));
    if (style)
        QApplication::setStyle(style); // the application takes ownership
    QApplication::setPalette(theme.palette);
    app->setStyleSheet(theme.styleSheet);
    return 0;
}

} // namespace

// Attaches the skin of `size` bytes at `data`. `options` and the three
// integers are reserved (callers pass an empty text and zeros). Returns 0
// when the skin was applied, otherwise the reason it was refused
// (skin::Refusal); a refusal changes nothing.
extern "C" Q_DECL_EXPORT int SkinH_AttachRes(const unsigned char* data, int size, const char* options,
                                             int reserved1, int reserved2, int reserved3)
{
    Q_UNUSED(options);
    Q_UNUSED(reserved1);
    Q_UNUSED(reserved2);
    Q_UNUSED(reserved3);
    // No exception may cross into a caller that knows nothing of C++.
    try {
        return attach(data, size);
    } catch (...) {
        return int(skin::Refusal::BadContent);
    }
}
