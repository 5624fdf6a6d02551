#include "widgets/StatefulComboBox.h"

#include "widgets/CustomItemButton.h"
#include "widgets/VScrollBar.h"

#include <QListWidget>

StatefulComboBox::StatefulComboBox(QWidget* parent)
    : QComboBox(parent)
    , list(new QListWidget(this))
{
    list->setFrameShape(QFrame::NoFrame);
    list->setVerticalScrollBar(new VScrollBar(list));
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The list widget's model must be in place before the list becomes the view.
    setModel(list->model());
    setView(list);
}

StatefulComboBox::~StatefulComboBox() = default;

void StatefulComboBox::setCurrentRow(int row)
{
    setCurrentIndex(row);
    markRow(row);
}

CustomItemButton* StatefulComboBox::addRow(const QString& text)
{
    auto* item = new QListWidgetItem(text, list);
    item->setSizeHint(QSize(0, kRowHeightPx));
    auto* button = new CustomItemButton;
    button->setText(text);
    list->setItemWidget(item, button);
    connect(button, &CustomItemButton::clicked, this, [this, item] {
        setCurrentRow(list->row(item));
        hidePopup();
    });
    markRow(currentIndex());
    return button;
}

CustomItemButton* StatefulComboBox::rowButton(int row) const
{
    QListWidgetItem* item = list->item(row);
    return item != nullptr ? qobject_cast<CustomItemButton*>(list->itemWidget(item)) : nullptr;
}

void StatefulComboBox::showPopup()
{
    markRow(currentIndex());
    QComboBox::showPopup();
}

void StatefulComboBox::markRow(int row)
{
    for (int i = 0; i < list->count(); ++i) {
        if (CustomItemButton* button = rowButton(i))
            button->setSelected(i == row);
    }
}
