#pragma once

#include "widgets/TrackedStateButton.h"

// One row of a StatefulComboBox popup: a flat filled rectangle with the row's text. The combo box
// marks the current row `selected`. Its colours follow the first state that applies in the order
// disabled, pressed, hover, selected, normal, so the pointer's highlight shows on the current row
// too. GUI thread only.
class CustomItemButton final : public TrackedStateButton
{
    Q_OBJECT
    Q_DISABLE_COPY(CustomItemButton)

public:
    explicit CustomItemButton(QWidget* parent = nullptr);
    ~CustomItemButton() override;

    bool isSelected() const { return selected; }
    // Marks the row as the current one and repaints it.
    void setSelected(bool on);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool selected = false;
};
