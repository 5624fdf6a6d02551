#pragma once

#include <QScrollBar>

// Thin vertical scroll bar of the dark look: a 1-pixel track down the middle and a 6 x 66 pixel
// rounded handle whose top runs from 0 (at the minimum) to height - 66 (at the maximum). Only the
// drawing differs from QScrollBar; scrolling, wheel and dragging behave as usual. GUI thread only.
class VScrollBar final : public QScrollBar
{
    Q_OBJECT
    Q_DISABLE_COPY(VScrollBar)

public:
    static constexpr int kHandleWidthPx = 6;
    static constexpr int kHandleHeightPx = 66;

    explicit VScrollBar(QWidget* parent = nullptr);
    ~VScrollBar() override;

    // Top of the painted handle for the current value and height.
    int handleTop() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
