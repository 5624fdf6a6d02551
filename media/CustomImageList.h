#pragma once

#include <QImage>
#include <QList>
#include <QVector>
#include <QWidget>

class CustomImageListItem;
class QHBoxLayout;
class QScrollArea;

// The media library strip of the screen editor (widget_ImageList): a horizontal row of thumbnail
// buttons in a scroll area without scroll bars. It knows nothing of files: the library hands it one
// entry per shown item, and it reports a press or a delete request with the item's library position.
// Items of the other orientation stay visible but greyed and cannot be selected. GUI thread only.
class CustomImageList final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(CustomImageList)

public:
    // One shown item. `id` is the item's library position, so a press or a delete always names
    // the item the user sees even when the library skips items that cannot be shown.
    struct Entry
    {
        int id = 0;
        QImage thumbnail;
        bool landscape = true;
        bool deletable = false;
    };

    static constexpr int kLandscapeItemWidth = 176;
    static constexpr int kPortraitItemWidth = 76;
    static constexpr int kItemHeight = 116;
    static constexpr int kItemSpacing = 10;

    explicit CustomImageList(QWidget* parent = nullptr);
    ~CustomImageList() override;

    // Rebuilds every item button. Items of the orientation that is not active are greyed. The old
    // buttons are removed from view at once and destroyed once control is back in the event loop,
    // so this may run from inside one of their own clicks.
    void setItems(const QVector<Entry>& entries, bool portraitActive);
    // Checks the item with this library position and unchecks all others.
    void selectItem(int id);
    // Locked: every item is greyed and ignores presses. Unlocked: each takes back its "able".
    void setItemsLocked(bool locked);
    bool itemsLocked() const { return m_locked; }

    int scrollValue() const;
    // Clamped to the scroll bar's range.
    void setScrollValue(int value);
    // Scrolls the least needed to show the whole item with this library position (a new upload),
    // once control is back in the event loop.
    void showItem(int id);

    // The current item buttons in strip order.
    const QList<CustomImageListItem*>& items() const { return m_items; }
    CustomImageListItem* itemById(int id) const;

signals:
    void changeImageItem(int id);
    void deleteImageFromList(int id);

public slots:
    void itemPressed();
    void deleteImageItem();

private:
    QScrollArea* m_scrollArea = nullptr;
    QWidget* m_contents = nullptr;
    QHBoxLayout* m_itemLayout = nullptr;
    QList<CustomImageListItem*> m_items;
    bool m_locked = false;
};
