#pragma once

#include <QImage>
#include <QWidget>

// The simulated LCD: 800 x 480 device pixels, showing the last frame as the panel would.
// Brightness scales the backlight (100 full, 0 dark); a panel without a picture is black.
// GUI thread.
class ScreenView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(ScreenView)

public:
    explicit ScreenView(QWidget* parent = nullptr);

    void setPicture(const QImage& picture, int brightness);
    // A line drawn over a dark panel while there is nothing to show (waiting, restarting, gone).
    void setIdleText(const QString& text);
    // Firmware progress shown over the picture in update mode; an empty text hides it.
    void setUpdateProgress(const QString& text);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
    int m_brightness = 100;
    QString m_idleText;
    QString m_updateText;
};
