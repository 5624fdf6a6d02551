#pragma once

#include <QProgressBar>
#include <QString>

// Ring gauge of an overlay editor: a grey disc with a blue sweep for `value` / `maximum` that ends
// at 6 o'clock and grows clockwise, a 4-pixel ring around a dark centre showing the value (three
// decimals for "V", none otherwise) above its unit. The progress bar's own value is not used. GUI
// thread only.
class CustomProgressBarRing final : public QProgressBar
{
    Q_OBJECT
    Q_DISABLE_COPY(CustomProgressBarRing)

public:
    explicit CustomProgressBarRing(QWidget* parent = nullptr);
    ~CustomProgressBarRing() override;

    double value = 50.0;
    double maximum = 100.0;
    QString unit = QStringLiteral("\u00B0C");

    // The value as the gauge writes it.
    QString valueText() const;
    // Degrees of the blue sweep: value / maximum of a full turn, truncated and kept within 0..360;
    // 0 when the maximum is not positive or the value is not a number.
    int sweepDegrees() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};
