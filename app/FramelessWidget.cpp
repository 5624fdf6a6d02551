#include "app/FramelessWidget.h"

#include "shell/TextStyles.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QVBoxLayout>
#include <QWindow>

namespace {

constexpr int kTitleBarHeightPx = 32;
bool (*trayProbe)() = nullptr;

Qt::CursorShape cursorForZone(int zone)
{
    switch (zone) {
    case FramelessWidget::TopEdge:
    case FramelessWidget::BottomEdge:
        return Qt::SizeVerCursor;
    case FramelessWidget::LeftEdge:
    case FramelessWidget::RightEdge:
        return Qt::SizeHorCursor;
    case FramelessWidget::TopLeftCorner:
    case FramelessWidget::BottomRightCorner:
        return Qt::SizeFDiagCursor;
    case FramelessWidget::BottomLeftCorner:
    case FramelessWidget::TopRightCorner:
        return Qt::SizeBDiagCursor;
    default:
        return Qt::ArrowCursor;
    }
}

Qt::Edges edgesForZone(int zone)
{
    switch (zone) {
    case FramelessWidget::TopEdge:
        return Qt::TopEdge;
    case FramelessWidget::BottomEdge:
        return Qt::BottomEdge;
    case FramelessWidget::LeftEdge:
        return Qt::LeftEdge;
    case FramelessWidget::RightEdge:
        return Qt::RightEdge;
    case FramelessWidget::TopLeftCorner:
        return Qt::TopEdge | Qt::LeftEdge;
    case FramelessWidget::BottomLeftCorner:
        return Qt::BottomEdge | Qt::LeftEdge;
    case FramelessWidget::TopRightCorner:
        return Qt::TopEdge | Qt::RightEdge;
    case FramelessWidget::BottomRightCorner:
        return Qt::BottomEdge | Qt::RightEdge;
    default:
        return {};
    }
}

QPushButton* titleButton(const char* name, const char* icon, QWidget* parent)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setFixedSize(48, 32);
    button->setIconSize(QSize(48, 32));
    button->setIcon(QIcon(QLatin1String(icon)));
    button->setFlat(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

FramelessWidget::FramelessWidget(QWidget* parent)
    : QWidget(parent)
    , parentWidget_(parent)
{
    buildLayout();
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint);
    setAttribute(Qt::WA_TranslucentBackground);
    label_Tile->setText(QStringLiteral("VORTANE SEMICONDUCTOR"));
    setWindowTitle(QStringLiteral("VORTANE SEMICONDUCTOR"));
    setMouseTracking(true);
    appendStyleSheet(label_Tile, QString::fromLatin1(TextStyle::SegoeRegular12Light));
    // Hover over the content still has to show the edge cursors, and the content widgets do not
    // pass cursor moves up without a pressed button.
    qApp->installEventFilter(this);
    QMetaObject::connectSlotsByName(this);
}

FramelessWidget::~FramelessWidget()
{
    qApp->removeEventFilter(this);
}

void FramelessWidget::buildLayout()
{
    setObjectName(QStringLiteral("FramelessWidget"));
    resize(1280, 680);
    auto* verticalLayout = new QVBoxLayout(this);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setContentsMargins(0, 0, 0, 0);
    verticalLayout->setSpacing(0);

    frame_Titlebar = new QFrame(this);
    frame_Titlebar->setObjectName(QStringLiteral("frame_Titlebar"));
    frame_Titlebar->setFixedHeight(kTitleBarHeightPx);
    frame_Titlebar->setStyleSheet(
        QStringLiteral("QFrame#frame_Titlebar{border-top-left-radius:6px;border-top-right-radius:6px;"
                       "border-bottom:1px solid rgba(51,51,51,1);background-color:#1A1A1A;}"
                       "QPushButton{border:none;background:transparent;}"
                       "QPushButton:hover,QPushButton:pressed{background-color:#2f2329;}"
                       "QPushButton#pushButtonClose{border-top-right-radius:10px;}"));
    auto* barLayout = new QHBoxLayout(frame_Titlebar);
    barLayout->setContentsMargins(0, 0, 0, 0);
    barLayout->setSpacing(0);

    auto* frame = new QFrame(frame_Titlebar);
    frame->setObjectName(QStringLiteral("frame"));
    frame->setMinimumWidth(500);
    auto* frameLayout = new QHBoxLayout(frame);
    frameLayout->setContentsMargins(12, 0, 0, 0);
    frameLayout->setSpacing(8);
    label_Logo = new QLabel(frame);
    label_Logo->setObjectName(QStringLiteral("label_Logo"));
    label_Logo->setFixedSize(23, 21);
    label_Logo->setScaledContents(true);
    label_Logo->setPixmap(QPixmap(QStringLiteral(":/material/Icon/Logo.png")));
    label_Tile = new QLabel(frame);
    label_Tile->setObjectName(QStringLiteral("label_Tile"));
    label_Tile->setFont(QFont(QStringLiteral("Segoe UI"), 9));
    frameLayout->addWidget(label_Logo);
    frameLayout->addWidget(label_Tile);
    frameLayout->addStretch(1);
    barLayout->addWidget(frame, 1);

    auto* frame_2 = new QFrame(frame_Titlebar);
    frame_2->setObjectName(QStringLiteral("frame_2"));
    frame_2->setFixedSize(144, 32);
    auto* buttons = new QHBoxLayout(frame_2);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(0);
    pushButtonMinimum = titleButton("pushButtonMinimum", ":/material/Icon/Min.png", frame_2);
    pushButtonFullScreen = titleButton("pushButtonFullScreen", ":/material/Icon/Max.png", frame_2);
    pushButtonClose = titleButton("pushButtonClose", ":/material/Icon/Close.png", frame_2);
    buttons->addWidget(pushButtonMinimum);
    buttons->addWidget(pushButtonFullScreen);
    buttons->addWidget(pushButtonClose);
    barLayout->addWidget(frame_2);
    verticalLayout->addWidget(frame_Titlebar);

    auto* widget = new QWidget(this);
    widget->setObjectName(QStringLiteral("widget"));
    widget->setAttribute(Qt::WA_StyledBackground);
    widget->setStyleSheet(QStringLiteral("QWidget#widget{background-color:#080807;border-bottom-left-radius:10px;"
                                         "border-bottom-right-radius:10px;}"));
    auto* widgetLayout = new QVBoxLayout(widget);
    widgetLayout->setContentsMargins(0, 0, 0, 0);
    widgetLayout->setSpacing(0);
    widget_main = new QWidget(widget);
    widget_main->setObjectName(QStringLiteral("widget_main"));
    verticalLayout_main = new QVBoxLayout(widget_main);
    verticalLayout_main->setObjectName(QStringLiteral("verticalLayout_main"));
    verticalLayout_main->setContentsMargins(0, 0, 0, 0);
    verticalLayout_main->setSpacing(0);
    widgetLayout->addWidget(widget_main);
    verticalLayout->addWidget(widget, 1);
}

void FramelessWidget::setMainWidget(QWidget* widget)
{
    if (widget == nullptr)
        return;
    verticalLayout_main->addWidget(widget);
    if (widget->metaObject()->indexOfSlot("closeMainWindowEvent()") >= 0)
        connect(this, SIGNAL(closeWindow()), widget, SLOT(closeMainWindowEvent()));
}

int FramelessWidget::titleBarHeight() const
{
    return frame_Titlebar->height();
}

int FramelessWidget::hitTestZone(int x, int y, int width, int height)
{
    const int w = width;
    const int h = height;
    if (x >= 0 && x <= 6 && y >= 0 && y <= 6)
        return TopLeftCorner;
    if (x >= w - 6 && x <= w - 1 && y >= 0 && y <= 6)
        return TopRightCorner;
    if (x >= 0 && x <= 6 && y >= h - 6 && y <= h)
        return BottomLeftCorner;
    if (x >= w - 6 && x <= w - 1 && y >= h - 6 && y <= h)
        return BottomRightCorner;
    if (x >= w - 5 && x <= w && y >= 0 && y <= h)
        return RightEdge;
    if (y >= 0 && y <= 5 && x >= 0 && x <= w)
        return TopEdge;
    if (y >= h - 5 && y <= h && x >= 0 && x <= w)
        return BottomEdge;
    if (x >= 0 && x <= 5 && y >= 0 && y <= h)
        return LeftEdge;
    return (x >= 0 && x < w && y >= 0 && y < h) ? Inside : Outside;
}

int FramelessWidget::hitTest(const QPoint& pos)
{
    const int result = hitTestZone(pos.x(), pos.y(), width(), height());
    if (!isMaximized() && !isFullScreen())
        setCursor(cursorForZone(result));
    return result;
}

QPoint FramelessWidget::restoredTopLeft(const QPoint& pressGlobal, const QRect& maximisedGeometry,
                                        const QSize& restoredSize)
{
    const int oldWidth = qMax(1, maximisedGeometry.width());
    const int oldHeight = qMax(1, maximisedGeometry.height());
    const int x = pressGlobal.x() - restoredSize.width() * (pressGlobal.x() - maximisedGeometry.x()) / oldWidth;
    const int y = pressGlobal.y() - restoredSize.height() * (pressGlobal.y() - maximisedGeometry.y()) / oldHeight;
    return {x, y};
}

QRect FramelessWidget::resizedGeometry(const QRect& geometry, int zone, const QPoint& delta)
{
    QRect g = geometry;
    const bool left = zone == LeftEdge || zone == TopLeftCorner || zone == BottomLeftCorner;
    const bool right = zone == RightEdge || zone == TopRightCorner || zone == BottomRightCorner;
    const bool top = zone == TopEdge || zone == TopLeftCorner || zone == TopRightCorner;
    const bool bottom = zone == BottomEdge || zone == BottomLeftCorner || zone == BottomRightCorner;
    if (left && g.width() - delta.x() >= kMinimumSizePx)
        g.setLeft(g.left() + delta.x());
    if (right)
        g.setWidth(qMax(kMinimumSizePx, g.width() + delta.x()));
    if (top && g.height() - delta.y() >= kMinimumSizePx)
        g.setTop(g.top() + delta.y());
    if (bottom)
        g.setHeight(qMax(kMinimumSizePx, g.height() + delta.y()));
    return g;
}

void FramelessWidget::setTrayProbeForTesting(bool (*probe)())
{
    trayProbe = probe;
}

bool FramelessWidget::systemTrayAvailable()
{
    return trayProbe != nullptr ? trayProbe() : QSystemTrayIcon::isSystemTrayAvailable();
}

void FramelessWidget::hideToTray()
{
    if (systemTrayAvailable())
        hide();
    else
        showMinimized();
}

bool FramelessWidget::compositorPlacesWindows() const
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

void FramelessWidget::toggleMaximized()
{
    if (isMaximized() || isFullScreen())
        showNormal();
    else
        showMaximized();
}

void FramelessWidget::on_pushButtonMinimum_clicked()
{
    showMinimized();
}

void FramelessWidget::on_pushButtonFullScreen_clicked()
{
    toggleMaximized();
}

void FramelessWidget::on_pushButtonClose_clicked()
{
    emit closeWindow();
}

void FramelessWidget::closeEvent(QCloseEvent* event)
{
    hideToTray();
    event->ignore();
}

void FramelessWidget::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int pressed = hitTest(event->pos());
    if (pressed == Inside) {
        if (event->pos().y() <= titleBarHeight() - 1 + kDragBandBelowTitlePx) {
            pressPoint = event->globalPos();
            dragging = true;
        }
    } else {
        pressPoint = event->globalPos();
        resizing = true;
        zone = pressed;
    }
    raise();
    // The compositor owns window placement on Wayland: hand the gesture over to it.
    if (compositorPlacesWindows() && windowHandle() != nullptr) {
        if (dragging && movable && windowHandle()->startSystemMove())
            dragging = false;
        else if (resizing && resizable && !isMaximized() && !isFullScreen() && edgesForZone(zone) != Qt::Edges() &&
                 windowHandle()->startSystemResize(edgesForZone(zone)))
            resizing = false;
    }
}

void FramelessWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() == Qt::NoButton) {
        const int hovered = hitTest(event->pos());
        if (hovered == Outside || hovered == Inside)
            setCursor(Qt::ArrowCursor);
        return;
    }
    const QPoint cursor = event->globalPos();
    if (dragging && movable) {
        setCursor(Qt::ClosedHandCursor);
        if (isMaximized() || isFullScreen()) {
            const QRect maximised = geometry();
            QSize restored = normalGeometry().size();
            if (restored.isEmpty()) // started maximised: no normal size known yet
                restored = QSize(1280, 680);
            showNormal();
            move(restoredTopLeft(pressPoint, maximised, restored));
        }
        move(pos() + (cursor - pressPoint));
        pressPoint = cursor;
        return;
    }
    if (resizing && resizable && !isMaximized() && !isFullScreen()) {
        setGeometry(resizedGeometry(geometry(), zone, cursor - pressPoint));
        pressPoint = cursor;
    }
}

void FramelessWidget::mouseReleaseEvent(QMouseEvent* event)
{
    Q_UNUSED(event)
    setCursor(Qt::ArrowCursor);
    dragging = false;
    resizing = false;
}

void FramelessWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->pos().y() <= titleBarHeight() - 1 + kDoubleClickBandBelowTitlePx)
        toggleMaximized();
}

bool FramelessWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove && watched != this && watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        auto* move = static_cast<QMouseEvent*>(event);
        if (move->buttons() == Qt::NoButton && widget->window() == this && !dragging && !resizing) {
            const int hovered = hitTest(mapFromGlobal(move->globalPos()));
            if (hovered == Outside || hovered == Inside)
                setCursor(Qt::ArrowCursor);
        }
    }
    return QWidget::eventFilter(watched, event);
}
