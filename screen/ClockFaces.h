#pragma once

#include <QDateTime>
#include <QImage>
#include <QObject>
#include <QTimer>

#include <functional>

class QLabel;

// The two clock faces of the preview: the digital pair "hour" over "min" (time style 0, display
// mode 1) and the analog hands "Clock" (time style 1, display mode 2). The three labels are direct
// children of the preview, created here in that order, hidden, each showing a screen-resolution
// pixmap scaled down to its preview geometry, which is where the composer paints it on the screen.
//
// The faces are redrawn by refreshClock() on every sensor update, and also by a timer of their
// own, aligned to the start of each second, while a face is shown: the clock keeps time when no
// sensor pass arrives. Time comes from an injectable clock (local time). GUI thread only.
class ClockFaces final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(ClockFaces)

public:
    using Now = std::function<QDateTime()>;

    // Screen-resolution sizes of the pictures, in device pixels.
    static constexpr int kAnalogSide = 320;
    static constexpr int kDigitWidth = 104;
    static constexpr int kDigitHeight = 68;
    static constexpr int kDigitPixelSize = 72;
    // The timer fires this long after a second has begun, so that it never lands just before it.
    static constexpr int kTickMarginMs = 5;

    explicit ClockFaces(QLabel* preview, QObject* parent = nullptr);
    ~ClockFaces() override;

    // The local time source; the default is QDateTime::currentDateTime.
    void setClock(Now now);

    QLabel* hourLabel() const { return m_hour; }
    QLabel* minuteLabel() const { return m_minute; }
    QLabel* clockLabel() const { return m_clock; }

    // Places "Clock" (320 x 320 screen pixels) centred in the preview and draws it.
    void layoutAnalogClock();
    // Places "hour" and "min" (104 x 68 screen pixels each, one above the other) centred in the
    // preview and draws them.
    void layoutDigitalClock();
    // Redraws all three pictures from the current time; geometries stay.
    void refreshClock();

    // Shows the face of `style` (0 digital, 1 analog) after laying it out, hides the other, and
    // keeps the face on time by the second timer.
    void showStyle(int style);
    // Hides all three labels and stops the second timer.
    void hideAll();

    // The second timer: running while a face is shown; its next interval in milliseconds.
    bool tickScheduled() const { return m_tick.isActive(); }
    int nextTickMs() const { return m_tick.interval(); }
    // What the timer does when it fires: redraw, then wait for the next second.
    void tick();

    // The pictures, for the current time `t`.
    // Minute hand: (second / 60 + minute) x 6 + 270 degrees, clockwise from 3 o'clock.
    static double minuteHandDegrees(const QTime& t);
    // Hour hand: (minute / 60 + hour mod 12) x 30 + 270 degrees.
    static double hourHandDegrees(const QTime& t);
    // The two hands on a transparent w x h picture, rotated about its centre.
    static QImage analogClockImage(const QTime& t, int w = kAnalogSide, int h = kAnalogSide);
    // `text` in white TENSANS Bold at 72 px, centred on a transparent 104 x 68 picture.
    static QImage digitImage(const QString& text);

private:
    // The hour and minute pictures of the digital face for `now`.
    void drawDigits(const QTime& now);
    void scheduleTick();

    QWidget* m_preview;
    QLabel* m_hour = nullptr;
    QLabel* m_minute = nullptr;
    QLabel* m_clock = nullptr;
    Now m_now;
    QTimer m_tick;
};
