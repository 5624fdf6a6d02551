#pragma once

#include "widgets/TrackedStateButton.h"

// Text push button of the dark look: a rounded frame around a solid fill with centred text, in the
// colours of its state (disabled, pressed, hover, normal; the first that applies). GUI thread only.
class CustomButton final : public TrackedStateButton
{
    Q_OBJECT
    Q_DISABLE_COPY(CustomButton)

public:
    explicit CustomButton(QWidget* parent = nullptr);
    ~CustomButton() override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
