#pragma once

#include <QPoint>
#include <QRect>
#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;
class QVBoxLayout;

// The program's only top-level window: a borderless, translucent frame that draws its own title
// bar (logo, title, minimise, maximise, close) above a content area that hosts the main window.
// It is dragged by the title bar, resized from every edge and corner (never below 20 x 20),
// maximised by a double click on the title bar, and closing it hides it to the tray (or minimises
// it where the desktop has no tray). On Wayland, where a client cannot place its own window, the
// compositor does the moving and resizing (startSystemMove / startSystemResize). GUI thread only.
class FramelessWidget final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(FramelessWidget)

public:
    // Zone codes of the hit test.
    enum Zone
    {
        Outside = 0,
        TopEdge = 1,
        BottomEdge = 2,
        LeftEdge = 3,
        RightEdge = 4,
        TopLeftCorner = 5,
        BottomLeftCorner = 6,
        TopRightCorner = 7,
        BottomRightCorner = 8,
        Inside = 9,
    };

    static constexpr int kMinimumSizePx = 20;
    static constexpr int kDragBandBelowTitlePx = 5;
    static constexpr int kDoubleClickBandBelowTitlePx = 10;

    explicit FramelessWidget(QWidget* parent = nullptr);
    ~FramelessWidget() override;

    // Puts the main window into the content area and connects closeWindow() to its
    // closeMainWindowEvent() slot. The frame takes ownership.
    void setMainWidget(QWidget* widget);

    // The zone of (x, y) in a window of `width` x `height` (pure; first match wins).
    static int hitTestZone(int x, int y, int width, int height);
    // The zone of `pos` (window coordinates) in this window; also sets the zone's cursor while the
    // window is neither maximised nor full-screen.
    int hitTest(const QPoint& pos);
    // Where a maximised window that is dragged from `pressGlobal` goes when it is restored to
    // `restoredSize`, so that the cursor keeps its relative place on it.
    static QPoint restoredTopLeft(const QPoint& pressGlobal, const QRect& maximisedGeometry, const QSize& restoredSize);
    // The new geometry when the edges of `zone` are moved by `delta`, with the 20-pixel floor.
    static QRect resizedGeometry(const QRect& geometry, int zone, const QPoint& delta);

    // Hides the frame to the tray; where no tray exists it minimises, so the window stays
    // reachable from the task bar.
    void hideToTray();
    // Lets tests stand in for the desktop's answer to "is there a system tray".
    static void setTrayProbeForTesting(bool (*probe)());
    static bool systemTrayAvailable();

    bool isDragging() const { return dragging; }
    bool isResizing() const { return resizing; }
    int capturedZone() const { return zone; }
    int titleBarHeight() const;
    QVBoxLayout* mainLayout() const { return verticalLayout_main; }

signals:
    void closeWindow();

public slots:
    void toggleMaximized();

private slots:
    void on_pushButtonMinimum_clicked();
    void on_pushButtonFullScreen_clicked();
    void on_pushButtonClose_clicked();

protected:
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    bool compositorPlacesWindows() const;

    QPoint pressPoint; // global cursor position at the press and after each drag or resize step
    QWidget* parentWidget_ = nullptr;
    bool dragging = false;
    bool resizing = false;
    bool resizable = true;
    bool movable = true;
    int zone = Outside;

    QFrame* frame_Titlebar = nullptr;
    QLabel* label_Logo = nullptr;
    QLabel* label_Tile = nullptr;
    QPushButton* pushButtonMinimum = nullptr;
    QPushButton* pushButtonFullScreen = nullptr;
    QPushButton* pushButtonClose = nullptr;
    QWidget* widget_main = nullptr;
    QVBoxLayout* verticalLayout_main = nullptr;
};
