#pragma once
// The main window: every control of the program lives here, placed by the
// fixed layout. It owns the controls for the whole run and binds each
// control event to its handler.

#include "app/status_bar.h"
#include "filters/filter_canvas.h"

#include <QWidget>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;

namespace overlay { class OverlayWidget; class OverlayCommands; }
namespace picture { class PictureBox; class FileDialogControl; }

namespace app {

class ColorPicker;
class PictureButton;

// Every control of the main window, by its layout name.
struct Controls {
    StatusBar* 状态条1 = nullptr;
    QProgressBar* 进度条1 = nullptr;
    picture::PictureBox* 图片框1 = nullptr;
    overlay::OverlayWidget* 标签1 = nullptr;
    QGroupBox* 分组框1 = nullptr;
    QGroupBox* 分组框2 = nullptr;
    QGroupBox* 分组框3 = nullptr;
    ColorPicker* 颜色选择器1 = nullptr;
    ColorPicker* 颜色选择器2 = nullptr;
    ColorPicker* 颜色选择器3 = nullptr;
    ColorPicker* 颜色选择器4 = nullptr;
    ColorPicker* 颜色选择器5 = nullptr;
    QComboBox* 组合框1 = nullptr;
    QLineEdit* 编辑框1 = nullptr;
    QLineEdit* 编辑框2 = nullptr;
    QLineEdit* 编辑框3 = nullptr;
    QLineEdit* 编辑框4 = nullptr;
    QPushButton* 按钮1 = nullptr;
    QPushButton* 按钮2 = nullptr;
    QPushButton* 按钮3 = nullptr;
    QPushButton* 按钮4 = nullptr;
    QPushButton* 按钮5 = nullptr;
    QPushButton* 按钮6 = nullptr;
    QPushButton* 按钮7 = nullptr;
    QPushButton* 按钮8 = nullptr;
    QCheckBox* 选择框1 = nullptr;
    QCheckBox* 选择框2 = nullptr;
    QCheckBox* 选择框3 = nullptr;
    QCheckBox* 选择框4 = nullptr;
    QCheckBox* 选择框5 = nullptr;
    QCheckBox* 选择框6 = nullptr;
    QSlider* 滑块条1 = nullptr;
    QSlider* 滑块条2 = nullptr;
    QRadioButton* 单选框1 = nullptr;
    QRadioButton* 单选框2 = nullptr;
    PictureButton* 图形按钮1 = nullptr;
    PictureButton* 图形按钮2 = nullptr;
    PictureButton* 图形按钮3 = nullptr;
    PictureButton* 图形按钮4 = nullptr;
    picture::FileDialogControl* 通用对话框1 = nullptr;
};

class MainWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 633;
    static constexpr int kClientHeight = 434;
    static constexpr int kOuterWidth = 639;
    static constexpr int kOuterHeight = 462;

    MainWindow();
    ~MainWindow() override;

    const Controls& controls() const { return c_; }
    // The controls that Tab walks through, in order.
    const QList<QWidget*>& focusOrder() const { return focusOrder_; }
    filters::FilterRunner& filterRunner() { return *filterRunner_; }
    overlay::OverlayCommands& overlayCommands() { return *commands_; }

    // Start-up handlers: the created and size-changed events of the window.
    void prepareMainWindow();
    void placeProgressBar();

    static QString windowTitleText();
    static QString initialStatusText();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildControls();
    void bindEvents();
    void dockStatusBar();
    bool handleWindowKey(QKeyEvent* key);

    Controls c_;
    QList<QWidget*> focusOrder_;
    std::unique_ptr<filters::FilterRunner> filterRunner_;
    std::unique_ptr<overlay::OverlayCommands> commands_;
    bool closePending_ = false;
};

} // namespace app
