#pragma once

#include <QPushButton>

// Base of the custom-painted push buttons: it keeps the hover and left-button press flags that
// their paint recipes read, and repaints when either changes. The normal button handling (and so
// clicked()) runs unchanged after the flags are updated. GUI thread only.
//
// It has no meta-object of its own, so the buttons built on it appear as direct QPushButton
// subclasses.
class TrackedStateButton : public QPushButton
{
    Q_DISABLE_COPY(TrackedStateButton)

public:
    explicit TrackedStateButton(QWidget* parent = nullptr);
    ~TrackedStateButton() override;

    bool isHovered() const { return hovered; }
    bool isPressed() const { return pressed; }

protected:
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool hovered = false;
    bool pressed = false;
};
