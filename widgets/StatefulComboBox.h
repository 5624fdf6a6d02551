#pragma once

#include <QComboBox>

class CustomItemButton;
class QListWidget;

// Drop-down whose popup rows are CustomItemButtons. `popupList` is both the model source and the
// popup view: a frameless list with the thin VScrollBar and no horizontal scroll bar. The current
// row's button is marked selected; clicking a row makes it current (the combo's own
// currentIndexChanged reaches the owner) and closes the popup. GUI thread only.
class StatefulComboBox final : public QComboBox
{
    Q_OBJECT
    Q_DISABLE_COPY(StatefulComboBox)

public:
    static constexpr int kRowHeightPx = 32;

    explicit StatefulComboBox(QWidget* parent = nullptr);
    ~StatefulComboBox() override;

    // Makes row `row` the combo's current index and marks only that row's button selected.
    void setCurrentRow(int row);

    // Appends a row showing `text` with a CustomItemButton as its widget, wired so that a click
    // selects the row and closes the popup. The button is owned by the list.
    CustomItemButton* addRow(const QString& text);

    // The row widget of `row`, or null when the row has none or does not exist.
    CustomItemButton* rowButton(int row) const;

    QListWidget* popupList() const { return list; }

    // Brings the marks up to date with the current index (which the wheel or the keyboard may
    // have changed while the popup was closed) before opening it.
    void showPopup() override;

private:
    void markRow(int row);

    QListWidget* list = nullptr;
};
