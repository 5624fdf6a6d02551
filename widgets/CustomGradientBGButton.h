#pragma once

#include "widgets/TrackedStateButton.h"

// The homepage's screen-settings button: the gradient picture ":/material/Icon/homepageButtonBg.png"
// stretched over the button with white text. Hover and press are tracked like the other custom
// buttons but do not change the drawing. GUI thread only.
class CustomGradientBGButton final : public TrackedStateButton
{
    Q_OBJECT
    Q_DISABLE_COPY(CustomGradientBGButton)

public:
    explicit CustomGradientBGButton(QWidget* parent = nullptr);
    ~CustomGradientBGButton() override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
