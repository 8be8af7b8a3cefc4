#pragma once

#include <QString>

namespace app {

// Shows the fatal error box (caption "错误", error icon, OK) owned by no
// window, then ends the process at once with exit status -1 (255 on POSIX).
[[noreturn]] void reportFatalError(const QString& message);

// The box's text: "运行时出错!", two line breaks, "错误信息：", the message and
// one line break, each line break a carriage return and a line feed.
QString fatalErrorText(const QString& message);

} // namespace app
