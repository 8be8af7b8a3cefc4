#include "app/main_window.h"

#include "app/control_events.h"
#include "app/skin/skin_library.h"
#include "app/widgets/color_picker.h"
#include "assets/assets.h"
#include "app/widgets/picture_button.h"
#include "overlay/overlay_commands.h"
#include "overlay/overlay_widget.h"
#include "picture/box/open_picture.h"
#include "picture/box/picture_box.h"
#include "picture/save/save_picture.h"
#include "runtime/controls.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QLineEdit>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QStyle>

namespace app {

namespace {

const char* const kWebAddress = "http://www.tamselpelorin.cn";
const char* const kGroupNumber = "31415926";

template <class T>
T* place(T* w, const char* name, int x, int y, int width, int height)
{
    w->setObjectName(QString::fromUtf8(name));
    w->setGeometry(x, y, width, height);
    return w;
}

QLabel* label(QWidget* parent, const char* name, int x, int y, int w, int h, const char* text)
{
    auto* l = place(new QLabel(QString::fromUtf8(text), parent), name, x, y, w, h);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    l->setAutoFillBackground(true); // a label fills its whole box with its background
    l->setWordWrap(false);
    return l;
}

// A label whose text is engraved: white at its place, then black one pixel
// right and down.
class EngravedLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Window));
        const QRect r = contentsRect();
        const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
        p.setPen(Qt::white);
        p.drawText(r, flags, text());
        p.setPen(Qt::black);
        p.drawText(r.translated(1, 1), flags, text());
    }
};

QPushButton* button(QWidget* parent, const char* name, int x, int y, int w, int h, const char* text)
{
    auto* b = place(new QPushButton(QString::fromUtf8(text), parent), name, x, y, w, h);
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

QCheckBox* checkBox(QWidget* parent, const char* name, int x, int y, int w, int h, const char* text, bool checked)
{
    auto* b = place(new QCheckBox(QString::fromUtf8(text), parent), name, x, y, w, h);
    b->setChecked(checked);
    return b;
}

QRadioButton* radio(QWidget* parent, const char* name, int x, int y, int w, int h, const char* text, bool checked)
{
    auto* b = place(new QRadioButton(QString::fromUtf8(text), parent), name, x, y, w, h);
    b->setChecked(checked);
    return b;
}

enum class EditBorder { Sunken, Flat };

QLineEdit* editBox(QWidget* parent, const char* name, int x, int y, int w, int h, const char* text, EditBorder border)
{
    auto* e = place(new QLineEdit(QString::fromUtf8(text), parent), name, x, y, w, h);
    if (border == EditBorder::Flat)
        e->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid black; background: white; color: black; }"));
    QPalette pal = e->palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Text, Qt::black);
    e->setPalette(pal);
    // A box lower than one text line plus both edges grows to that height,
    // its top staying where it is.
    const int edge = 2;
    const int needed = e->fontMetrics().boundingRect(QStringLiteral("吴")).height() + 2 * edge;
    if (h < needed)
        e->resize(w, needed);
    return e;
}

QSlider* slider(QWidget* parent, const char* name, int x, int y, int w, int h)
{
    auto* s = place(new QSlider(Qt::Horizontal, parent), name, x, y, w, h);
    s->setRange(0, 50);
    s->setSingleStep(1);
    s->setPageStep(2);
    s->setValue(25);
    s->setTickPosition(QSlider::NoTicks);
    s->setTracking(true);
    return s;
}

ColorPicker* picker(QWidget* parent, const char* name, int x, int y, int w, int h, int r, int g, int b)
{
    auto* p = place(new ColorPicker(parent), name, x, y, w, h);
    p->setColor(rt::composeRgb(r, g, b));
    return p;
}

PictureButton* arrowButton(QWidget* parent, const char* name, int x, int y, assets::Arrow direction)
{
    auto* b = place(new PictureButton(parent), name, x, y, 32, 43);
    b->setPicture(PictureButton::Picture::Normal, QImage(assets::arrowPicture(direction, false)));
    b->setPicture(PictureButton::Picture::Hot, QImage(assets::arrowPicture(direction, true)));
    return b;
}

QGroupBox* groupBox(QWidget* parent, const char* name, int x, int y, int w, int h, const char* title)
{
    return place(new QGroupBox(QString::fromUtf8(title), parent), name, x, y, w, h);
}

// Within one container a control listed earlier lies above every control
// listed later.
void stackInListedOrder(std::initializer_list<QWidget*> topFirst)
{
    std::vector<QWidget*> v(topFirst);
    for (auto it = v.rbegin(); it != v.rend(); ++it)
        (*it)->raise();
}

} // namespace

QString MainWindow::windowTitleText()
{
    return QStringLiteral("TamselPelorinV1.0测试版 ") + QLatin1String(kWebAddress) + QStringLiteral("  交流群：")
         + QLatin1String(kGroupNumber);
}

QString MainWindow::initialStatusText()
{
    return QStringLiteral("TamselPelorinV1.0测试版  如果有更好的建议请投递给我!");
}

MainWindow::MainWindow()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                           | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(windowTitleText());
    setWindowIcon(QIcon(assets::kIcon));
    setFixedSize(kClientWidth, kClientHeight);
    setAutoFillBackground(true);

    buildControls();
    bindEvents();

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->geometry();
        move(s.x() + (s.width() - kOuterWidth) / 2, s.y() + (s.height() - kOuterHeight) / 2);
    }

    // Start-up events, in order, before the window is first shown:
    // created, position changed (no handler), size changed.
    prepareMainWindow();
    dockStatusBar();
    placeProgressBar();
}

MainWindow::~MainWindow()
{
    // The picture box stops an animation player before the controls go.
    delete c_.图片框1;
    c_.图片框1 = nullptr;
}

void MainWindow::buildControls()
{
    QWidget* w = this;
    c_.进度条1 = place(new QProgressBar(w), "进度条1", 632, 432, 128, 16);
    c_.进度条1->setRange(0, 100);
    c_.进度条1->setValue(0);
    c_.进度条1->setTextVisible(false);
    c_.状态条1 = place(new StatusBar(w), "状态条1", 8, 8, 374, 20);
    c_.状态条1->setPartText(0, initialStatusText());
    c_.颜色选择器4 = picker(w, "颜色选择器4", 495, 172, 33, 22, 88, 48, 224);
    c_.分组框3 = groupBox(w, "分组框3", 208, 18, 412, 190, "基础设置：");
    c_.分组框2 = groupBox(w, "分组框2", 16, 218, 186, 182, "文字移动");
    c_.分组框1 = groupBox(w, "分组框1", 208, 219, 414, 179, "字体设置：");
    c_.图片框1 = place(new picture::PictureBox(w), "图片框1", 16, 24, 185, 185);
    {
        QFile start(assets::kStartPhoto);
        if (start.open(QIODevice::ReadOnly))
            c_.图片框1->setPicture(start.readAll());
    }
    c_.通用对话框1 = new picture::FileDialogControl(w);
    stackInListedOrder({c_.进度条1, c_.状态条1, c_.颜色选择器4, c_.分组框3, c_.分组框2, c_.分组框1, c_.图片框1,
                        c_.通用对话框1});

    // The overlay lies in the picture box's client area, inside the border.
    c_.标签1 = new overlay::OverlayWidget(c_.图片框1->client());

    QWidget* g3 = c_.分组框3;
    c_.颜色选择器5 = picker(g3, "颜色选择器5", 371, 153, 33, 22, 88, 48, 224);
    auto* l15 = label(g3, "标签15", 322, 157, 48, 16, "渐变色Ⅲ");
    auto* l14 = label(g3, "标签14", 240, 157, 45, 16, "渐变色Ⅱ");
    c_.颜色选择器3 = picker(g3, "颜色选择器3", 205, 154, 33, 22, 0, 0, 255);
    auto* l13 = label(g3, "标签13", 156, 158, 48, 16, "渐变色Ⅰ");
    auto* l12 = label(g3, "标签12", 9, 157, 55, 16, "渐变颜色：");
    c_.组合框1 = place(new QComboBox(g3), "组合框1", 66, 154, 88, 20);
    for (const char* item : {"无渐变颜色", "上到下", "左到右", "左上到右下", "右上到左下"})
        c_.组合框1->addItem(QString::fromUtf8(item));
    c_.组合框1->setCurrentIndex(0);
    c_.组合框1->setMaxVisibleItems(5);
    c_.组合框1->setEditable(false);
    auto* l11 = place(new EngravedLabel(QStringLiteral("如果不填默认大小185*185"), g3), "标签11", 208, 125, 144, 24);
    c_.编辑框4 = editBox(g3, "编辑框4", 166, 130, 31, 14, "185", EditBorder::Flat);
    auto* l10 = label(g3, "标签10", 136, 129, 65, 16, "高度:");
    c_.编辑框3 = editBox(g3, "编辑框3", 98, 130, 31, 14, "185", EditBorder::Flat);
    auto* l9 = label(g3, "标签9", 67, 129, 65, 16, "宽度:");
    auto* l8 = label(g3, "标签8", 8, 129, 55, 16, "保存尺寸：");
    c_.按钮3 = button(g3, "按钮3", 328, 94, 72, 22, "保存图片");
    c_.颜色选择器2 = picker(g3, "颜色选择器2", 210, 95, 80, 22, 0, 0, 0);
    auto* l7 = label(g3, "标签7", 152, 96, 55, 16, "文字颜色：");
    c_.颜色选择器1 = picker(g3, "颜色选择器1", 64, 94, 80, 22, 0, 128, 128);
    auto* l6 = label(g3, "标签6", 8, 97, 55, 16, "背景颜色：");
    c_.按钮2 = button(g3, "按钮2", 329, 59, 72, 22, "加入文字");
    auto* l5 = label(g3, "标签5", 8, 61, 55, 16, "加入文字：");
    c_.编辑框1 = editBox(g3, "编辑框1", 64, 23, 256, 22, "", EditBorder::Sunken);
    auto* l4 = label(g3, "标签4", 7, 25, 55, 16, "图片位置：");
    c_.编辑框2 = editBox(g3, "编辑框2", 64, 59, 256, 22, "Tamsel", EditBorder::Sunken);
    c_.按钮1 = button(g3, "按钮1", 328, 23, 72, 22, "打开图片");
    stackInListedOrder({c_.颜色选择器5, l15, l14, c_.颜色选择器3, l13, l12, c_.组合框1, l11, c_.编辑框4, l10,
                        c_.编辑框3, l9, l8, c_.按钮3, c_.颜色选择器2, l7, c_.颜色选择器1, l6, c_.按钮2, l5,
                        c_.编辑框1, l4, c_.编辑框2, c_.按钮1});

    QWidget* g2 = c_.分组框2;
    c_.单选框2 = radio(g2, "单选框2", 92, 159, 88, 16, "调整框位置", false);
    c_.单选框1 = radio(g2, "单选框1", 8, 158, 88, 16, "调整框大小", true);
    c_.图形按钮4 = arrowButton(g2, "图形按钮4", 31, 63, assets::Arrow::Left);
    c_.图形按钮3 = arrowButton(g2, "图形按钮3", 119, 63, assets::Arrow::Right);
    c_.图形按钮2 = arrowButton(g2, "图形按钮2", 74, 95, assets::Arrow::Down);
    c_.图形按钮1 = arrowButton(g2, "图形按钮1", 71, 23, assets::Arrow::Up);
    stackInListedOrder({c_.单选框2, c_.单选框1, c_.图形按钮4, c_.图形按钮3, c_.图形按钮2, c_.图形按钮1});

    QWidget* g1 = c_.分组框1;
    c_.按钮8 = button(g1, "按钮8", 280, 77, 120, 22, "取消所有滤镜");
    c_.按钮7 = button(g1, "按钮7", 344, 48, 58, 22, "滤镜黑白");
    c_.按钮6 = button(g1, "按钮6", 277, 48, 58, 22, "滤镜变黄");
    c_.按钮5 = button(g1, "按钮5", 344, 18, 58, 22, "滤镜变暗");
    c_.按钮4 = button(g1, "按钮4", 277, 18, 58, 22, "滤镜模糊");
    c_.选择框6 = checkBox(g1, "选择框6", 192, 48, 80, 24, "字体阴影Ⅱ", false);
    c_.选择框5 = checkBox(g1, "选择框5", 192, 16, 80, 24, "字体阴影Ⅰ", false);
    c_.滑块条2 = slider(g1, "滑块条2", 97, 135, 171, 16);
    auto* l3 = label(g1, "标签3", 16, 128, 78, 24, "字体大小调整：");
    auto* l2 = label(g1, "标签2", 16, 88, 78, 24, "字体角度调整：");
    c_.滑块条1 = slider(g1, "滑块条1", 98, 95, 169, 16);
    c_.选择框4 = checkBox(g1, "选择框4", 104, 48, 80, 24, "字体删除线", false);
    c_.选择框3 = checkBox(g1, "选择框3", 104, 16, 80, 24, "字体下划线", false);
    c_.选择框2 = checkBox(g1, "选择框2", 16, 48, 80, 24, "字体斜体", false);
    c_.选择框1 = checkBox(g1, "选择框1", 16, 16, 80, 24, "字体加粗", true);
    stackInListedOrder({c_.按钮8, c_.按钮7, c_.按钮6, c_.按钮5, c_.按钮4, c_.选择框6, c_.选择框5, c_.滑块条2, l3, l2,
                        c_.滑块条1, c_.选择框4, c_.选择框3, c_.选择框2, c_.选择框1});

    // Accessible names: a control's caption, or the text of the label beside it.
    const std::pair<QWidget*, QLabel*> besideLabel[] = {
        {c_.颜色选择器1, l6}, {c_.颜色选择器2, l7}, {c_.颜色选择器3, l13}, {c_.颜色选择器4, l14},
        {c_.颜色选择器5, l15}, {c_.组合框1, l12}, {c_.编辑框1, l4}, {c_.编辑框2, l5},
        {c_.编辑框3, l9}, {c_.编辑框4, l10}, {c_.滑块条1, l2}, {c_.滑块条2, l3}};
    for (auto [control, beside] : besideLabel)
        control->setAccessibleName(beside->text());
    const std::pair<QWidget*, const char*> named[] = {
        {c_.图片框1, "图片"}, {c_.标签1, "文字"}, {c_.图形按钮1, "上"}, {c_.图形按钮2, "下"},
        {c_.图形按钮3, "右"}, {c_.图形按钮4, "左"}, {c_.进度条1, "进度"}, {c_.状态条1, "状态"}};
    for (auto [control, name] : named)
        control->setAccessibleName(QString::fromUtf8(name));
    for (QAbstractButton* b : findChildren<QAbstractButton*>())
        if (b->accessibleName().isEmpty())
            b->setAccessibleName(b->text());
    for (QGroupBox* g : findChildren<QGroupBox*>())
        g->setAccessibleName(g->title());
    for (QLabel* l : findChildren<QLabel*>())
        if (l->accessibleName().isEmpty())
            l->setAccessibleName(l->text());

    // Keyboard focus: only these take the focus by Tab, in this order.
    focusOrder_ = {c_.选择框1, c_.选择框2, c_.选择框3, c_.选择框4, c_.滑块条1, c_.滑块条2, c_.选择框5, c_.选择框6,
                   c_.单选框1, c_.单选框2, c_.按钮1, c_.编辑框2, c_.编辑框1, c_.按钮2, c_.颜色选择器1,
                   c_.颜色选择器2, c_.按钮3, c_.编辑框3, c_.编辑框4, c_.组合框1, c_.颜色选择器3, c_.颜色选择器4,
                   c_.颜色选择器5, c_.按钮4, c_.按钮5, c_.按钮6, c_.按钮7, c_.按钮8};
    for (QWidget* child : findChildren<QWidget*>())
        if (!focusOrder_.contains(child) && child->focusPolicy() != Qt::NoFocus && child->window() == this)
            child->setFocusPolicy(Qt::ClickFocus);
    for (QWidget* f : focusOrder_)
        f->setFocusPolicy(qobject_cast<QLineEdit*>(f) || qobject_cast<QComboBox*>(f) || qobject_cast<QSlider*>(f)
                                  || qobject_cast<QAbstractButton*>(f)
                              ? Qt::StrongFocus
                              : Qt::TabFocus);
    for (int i = 0; i + 1 < focusOrder_.size(); ++i)
        setTabOrder(focusOrder_[i], focusOrder_[i + 1]);

    // Keys of the window are handled before the focused control sees them.
    qApp->installEventFilter(this);
}

void MainWindow::bindEvents()
{
    filterRunner_ = std::make_unique<filters::FilterRunner>(
        filters::FilterTargets{c_.图片框1->client(), c_.进度条1, c_.状态条1});
    filterRunner_->setFinishedCallback([this] {
        if (closePending_)
            close();
    });
    connect(c_.按钮4, &QPushButton::clicked, this, [this] { filterRunner_->blurFilter(); });
    connect(c_.按钮5, &QPushButton::clicked, this, [this] { filterRunner_->darkenFilter(); });
    connect(c_.按钮6, &QPushButton::clicked, this, [this] { filterRunner_->yellowFilter(); });
    connect(c_.按钮7, &QPushButton::clicked, this, [this] { filterRunner_->grayFilter(); });
    connect(c_.按钮8, &QPushButton::clicked, this, [this] { filterRunner_->cancelFilters(); });

    connect(c_.按钮1, &QPushButton::clicked, this, [this] {
        picture::openPicture({c_.通用对话框1, c_.编辑框1, c_.图片框1, this});
    });

    connect(c_.按钮3, &QPushButton::clicked, this, [this] {
        if (!filterRunner_->running()) // the snapshot needs the box as it stands
            picture::savePicture({c_.图片框1, c_.编辑框3, c_.编辑框4});
    });

    commands_ = std::make_unique<overlay::OverlayCommands>(overlay::CommandControls{
        c_.标签1, c_.颜色选择器1, c_.颜色选择器2, c_.颜色选择器3, c_.颜色选择器4, c_.颜色选择器5, c_.选择框1,
        c_.选择框2, c_.选择框3, c_.选择框4, c_.选择框5, c_.选择框6, c_.滑块条1, c_.滑块条2, c_.组合框1, c_.编辑框2,
        c_.单选框1});
    overlay::OverlayCommands* cmd = commands_.get();
    using C = overlay::OverlayCommands;
    const std::pair<ColorPicker*, void (C::*)()> pickers[] = {
        {c_.颜色选择器1, &C::pickBackColor}, {c_.颜色选择器2, &C::pickTextColor},
        {c_.颜色选择器3, &C::pickGradientColor1}, {c_.颜色选择器4, &C::pickGradientColor2},
        {c_.颜色选择器5, &C::pickGradientColor3}};
    for (auto [p, handler] : pickers)
        connect(p, &ColorPicker::colorChosen, this, [cmd, handler = handler] { (cmd->*handler)(); });
    const std::pair<QCheckBox*, void (C::*)()> boxes[] = {
        {c_.选择框1, &C::toggleBold}, {c_.选择框2, &C::toggleItalic}, {c_.选择框3, &C::toggleUnderline},
        {c_.选择框4, &C::toggleStrikeout}, {c_.选择框5, &C::toggleShadow1}, {c_.选择框6, &C::toggleShadow2}};
    for (auto [b, handler] : boxes)
        connect(b, &QCheckBox::clicked, this, [cmd, handler = handler] { (cmd->*handler)(); });
    onPositionChanged(c_.滑块条1, this, [cmd] { cmd->changeAngle(); });
    onPositionChanged(c_.滑块条2, this, [cmd] { cmd->changeSize(); });
    onItemSelected(c_.组合框1, this, [cmd] { cmd->chooseGradient(); });
    connect(c_.按钮2, &QPushButton::clicked, this, [cmd] { cmd->addText(); });
    const std::pair<PictureButton*, void (C::*)()> arrows[] = {
        {c_.图形按钮1, &C::nudgeUp}, {c_.图形按钮2, &C::nudgeDown},
        {c_.图形按钮3, &C::nudgeRight}, {c_.图形按钮4, &C::nudgeLeft}};
    for (auto [b, handler] : arrows)
        connect(b, &PictureButton::clicked, this, [cmd, handler = handler] { (cmd->*handler)(); });
}

void MainWindow::prepareMainWindow()
{
    rt::nativeHandle(this);
    rt::setWindowAlpha(this, 250);
    applyEmbeddedSkin(kStartupSkin);
    rt::reparentControl(c_.进度条1, c_.状态条1);
}

void MainWindow::dockStatusBar()
{
    // Docked along the bottom edge over the full width, at the standard height.
    const int h = c_.状态条1->sizeHint().height();
    rt::moveControl(c_.状态条1, 0, height() - h, width(), h);
}

void MainWindow::placeProgressBar()
{
    const double W = rt::readInt(c_.状态条1, rt::Property::Width);
    const double H = rt::readInt(c_.状态条1, rt::Property::Height);
    const double w = rt::readInt(c_.进度条1, rt::Property::Width);
    const double h = rt::readInt(c_.进度条1, rt::Property::Height);
    const auto left = static_cast<std::int32_t>(static_cast<std::int64_t>(W - w - 5.0));
    const auto top = static_cast<std::int32_t>(static_cast<std::int64_t>((H - h) / 2.0 + 1.0));
    rt::moveControl(c_.进度条1, left, top);
}

bool MainWindow::handleWindowKey(QKeyEvent* key)
{
    switch (key->key()) {
    case Qt::Key_Escape:
        close();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F1:
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
            return false;
        const bool back = key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
        const qsizetype n = focusOrder_.size();
        qsizetype at = focusOrder_.indexOf(QApplication::focusWidget());
        if (at < 0)
            at = back ? 0 : n - 1;
        for (qsizetype step = 1; step <= n; ++step) {
            QWidget* next = focusOrder_[((at + (back ? -step : step)) % n + n) % n];
            if (next->isVisible() && next->isEnabled()) {
                next->setFocus(back ? Qt::BacktabFocusReason : Qt::TabFocusReason);
                break;
            }
        }
        return true;
    }
    default:
        return false;
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride) {
        auto* w = qobject_cast<QWidget*>(watched);
        if (w && w->window() == this) {
            auto* key = static_cast<QKeyEvent*>(event);
            if (event->type() == QEvent::ShortcutOverride) {
                // Claim the window's keys so no shortcut takes them first.
                const int k = key->key();
                if (k == Qt::Key_Escape || k == Qt::Key_Return || k == Qt::Key_Enter || k == Qt::Key_F1)
                    event->accept();
                return false;
            }
            return handleWindowKey(key);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A filter processes events after every column; closing now would pull
    // its surfaces away mid-run, so the close waits for the filter's end.
    if (filterRunner_ && filterRunner_->running()) {
        closePending_ = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    dockStatusBar();
    placeProgressBar();
}

void MainWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Minimising and restoring count as size changes.
    if (event->type() == QEvent::WindowStateChange) {
        dockStatusBar();
        placeProgressBar();
    }
}

} // namespace app
