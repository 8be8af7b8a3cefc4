#pragma once
// Opening a picture: the open-file dialog component and the command of
// "打开图片".

#include "runtime/controls.h"

#include <QWidget>

namespace picture {

// The file dialog component 通用对话框1: never visible itself; on request
// it shows the open-file dialog. `filter` is pairs of display text and
// pattern list, every field ended by '|'; `fileName` is the last confirmed
// path, kept from one showing to the next.
class FileDialogControl : public QWidget, public rt::PropertyHost {
    Q_OBJECT
public:
    explicit FileDialogControl(QWidget* parent = nullptr);

    QString filter;
    QString fileName;

    std::optional<rt::Value> hostProperty(rt::Property p, int member) const override;
    bool setHostProperty(rt::Property p, int member, const rt::Value& v) override;
};

// The filter text as Qt name filters: "text(patterns)" entries, patterns
// separated by spaces. Fields end with '|'; a doubled '|' ends the list.
QStringList nameFiltersFromFilterText(const QString& filter);

// Shows Qt's own open-file dialog, modal to `owner`, on the last confirmed
// file. True when the user confirmed an existing file; then `fileName`
// holds its full path. A cancel leaves `fileName` as it was.
bool showOpenDialog(FileDialogControl& dialog, QWidget* owner);

inline const QString kPictureFilter = QStringLiteral("图片文件(*.bmp;*.jpg;*.gif;*.ico)|*.bmp;*.jpg;*.gif;*.ico");

struct OpenTargets {
    FileDialogControl* dialog = nullptr; // 通用对话框1
    QWidget* pathEdit = nullptr;         // 编辑框1
    QWidget* pictureBox = nullptr;       // 图片框1
    QWidget* owner = nullptr;            // the main window
};

// The click handler of "打开图片": the chosen file's path into the edit
// box, its bytes into the picture box, stretched. A cancelled dialog
// changes nothing: the shown picture, any filter output on it and the
// edit box stay as they are.
void openPicture(const OpenTargets& t);

} // namespace picture
