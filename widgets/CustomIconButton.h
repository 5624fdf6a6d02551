#pragma once

#include "widgets/TrackedStateButton.h"

#include <QString>

// Push button with an icon at its left and a label, used for the orientation choice. Its owner
// marks the chosen one `selected`; the state (disabled, pressed, selected, hover, normal: the
// first that applies) picks the frame, fill, text colours and which of the four icons is drawn.
//
// The button never gets narrower than its content: each paint measures icon + label and sets the
// minimum width to it, caps the maximum width at it while the button is narrower, and otherwise
// lifts the maximum again to kUnboundedSize. GUI thread only.
class CustomIconButton final : public TrackedStateButton
{
    Q_OBJECT
    Q_DISABLE_COPY(CustomIconButton)

public:
    // Maximum width and height restored once the content fits (not QWIDGETSIZE_MAX).
    static constexpr int kUnboundedSize = 165535;

    explicit CustomIconButton(QWidget* parent = nullptr);
    ~CustomIconButton() override;

    // Picture paths (for example resource paths) of the four icons; empty draws no icon.
    // `active` is used while pressed or selected.
    void setIcons(const QString& active, const QString& hover, const QString& normal, const QString& disabled);

    bool isSelected() const { return selected; }
    // Marks the button as the chosen one and repaints it.
    void setSelected(bool on);

    // Width the content needs: icon width + 48 + the label's bounding width in the button's font.
    int contentWidth() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QString& iconForState() const;

    bool selected = false;
    QString iconActive;
    QString iconHover;
    QString iconNormal;
    QString iconDisabled;
};
