#pragma once
// The main window: every control of the program lives here.

#include "app/status_bar.h"
#include "filters/filter_canvas.h"

#include <QFrame>
#include <QProgressBar>
#include <QPushButton>
#include <QWidget>
#include <memory>

namespace app {

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    QWidget* pictureBox() const { return pictureBox_; }
    QWidget* pictureClient() const { return pictureClient_; }
    StatusBar* statusBar() const { return statusBar_; }
    QProgressBar* progressBar() const { return progressBar_; }
    QPushButton* filterButton(int index) const { return filterButtons_[index]; }
    filters::FilterRunner& filterRunner() { return *filterRunner_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QFrame* pictureBox_ = nullptr;
    QWidget* pictureClient_ = nullptr;
    StatusBar* statusBar_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QPushButton* filterButtons_[5] = {};
    std::unique_ptr<filters::FilterRunner> filterRunner_;
    bool closePending_ = false;
};

} // namespace app
