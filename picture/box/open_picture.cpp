#include "picture/box/open_picture.h"

#include "runtime/files.h"

#include <QFileDialog>
#include <QFileInfo>

namespace picture {

FileDialogControl::FileDialogControl(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("通用对话框1"));
    setGeometry(648, 232, 64, 32);
    hide();
}

std::optional<rt::Value> FileDialogControl::hostProperty(rt::Property p, int) const
{
    if (p == rt::Property::Filter)
        return filter;
    if (p == rt::Property::FileName)
        return fileName;
    return std::nullopt;
}

bool FileDialogControl::setHostProperty(rt::Property p, int, const rt::Value& v)
{
    if (p == rt::Property::Filter)
        filter = rt::toText(v);
    else if (p == rt::Property::FileName)
        fileName = rt::toText(v);
    else if (p == rt::Property::Visible)
        return true; // never visible itself
    else
        return false;
    return true;
}

QStringList nameFiltersFromFilterText(const QString& filter)
{
    QString text = filter;
    while (!text.isEmpty() && text.back().isSpace())
        text.chop(1);
    if (!text.isEmpty() && !text.endsWith(QLatin1String("||")))
        text += QLatin1String("||");
    QStringList filters;
    const QStringList fields = text.split(QLatin1Char('|'));
    // Pairs of display text and pattern list, up to the empty field.
    for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
        if (fields[i].isEmpty())
            break;
        const QString patterns = fields[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
        filters << fields[i] + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return filters;
}

bool showOpenDialog(FileDialogControl& control, QWidget* owner)
{
    QFileDialog dialog(owner);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // Show each entry by its display text alone, not its patterns a second time.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setWindowModality(Qt::WindowModal);
    const QStringList filters = nameFiltersFromFilterText(control.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.first());
    }
    if (!control.fileName.isEmpty()) {
        const QFileInfo last(control.fileName);
        dialog.setDirectory(last.absolutePath());
        dialog.selectFile(last.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    control.fileName = QFileInfo(dialog.selectedFiles().first()).absoluteFilePath();
    return true;
}

void openPicture(const OpenTargets& t)
{
    rt::writeProperty(t.dialog, rt::Property::Filter, kPictureFilter);
    if (!showOpenDialog(*t.dialog, t.owner))
        return;
    rt::writeProperty(t.pathEdit, rt::Property::Text, rt::readText(t.dialog, rt::Property::FileName));
    const QByteArray bytes = rt::readFileBytes(rt::readText(t.pathEdit));
    rt::writeProperty(t.pictureBox, rt::Property::Picture, bytes);
    rt::writeProperty(t.pictureBox, rt::Property::DisplayMode, 1);
}

} // namespace picture
