#pragma once

#include <QLabel>
#include <QPoint>

// One movable overlay label of the preview (a sensor title or value). It shows a pixmap at screen
// resolution scaled down to its own size; its position in the preview, divided by previewScale, is
// where the composer paints that pixmap on the screen. The label can be dragged inside its parent
// and never leaves it. GUI thread only.
class FlexibleLabel final : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY(FlexibleLabel)

public:
    FlexibleLabel(const QString& name, QWidget* parent);
    ~FlexibleLabel() override;

    void setResizable(int on) { resizable = on != 0; }
    void setMovable(int on) { movable = on != 0; }
    bool isDragging() const { return dragging; }

signals:
    void clicked(FlexibleLabel* label);
    // A drag has ended; the new position is the label's pos().
    void geometryChanged();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QWidget* parentArea = nullptr;
    QPoint lastMousePos; // global cursor position at the press and after each drag step
    bool dragging = false;
    bool resizable = false;
    bool movable = true;
};
