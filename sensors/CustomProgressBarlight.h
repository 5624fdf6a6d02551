#pragma once

#include <QProgressBar>

// The thin bar under a dashboard tile's text: a grey rounded track with the value's share of the
// width drawn in blue from the left. GUI thread only.
class CustomProgressBarlight final : public QProgressBar
{
    Q_OBJECT
    Q_DISABLE_COPY(CustomProgressBarlight)

public:
    explicit CustomProgressBarlight(QWidget* parent = nullptr);
    ~CustomProgressBarlight() override;

    // Width in pixels of the blue part for a bar `width` pixels wide: 0 when the range is empty
    // (maximum == minimum) and never outside 0..width.
    static int fillWidth(int width, int value, int minimum, int maximum);

protected:
    void paintEvent(QPaintEvent* event) override;
};
