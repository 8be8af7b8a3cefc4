#include "app/fatal_error.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdlib>

namespace app {

QString fatalErrorText(const QString& message)
{
    return QStringLiteral("运行时出错!\r\n\r\n错误信息：") + message + QStringLiteral("\r\n");
}

void reportFatalError(const QString& message)
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        QMessageBox box(QMessageBox::Critical, QStringLiteral("错误"), fatalErrorText(message), QMessageBox::Ok);
        box.setWindowModality(Qt::ApplicationModal);
        box.exec();
    }
    std::fflush(nullptr);
    std::_Exit(255);
}

} // namespace app
