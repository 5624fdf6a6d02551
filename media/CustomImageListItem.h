#pragma once

#include <QImage>
#include <QPushButton>

// One thumbnail button of the media library strip. Dynamic properties: "ID" (library position),
// "Hori" (landscape item), "able" (selectable in the current orientation). An item that is not
// able is drawn greyed and never becomes checked; the strip decides what is checked. A deletable
// item shows its 16 x 16 delete button in its bottom-right corner while the mouse is inside it.
// GUI thread only.
class CustomImageListItem final : public QPushButton
{
    Q_OBJECT
    Q_DISABLE_COPY(CustomImageListItem)

public:
    explicit CustomImageListItem(QWidget* parent = nullptr);
    ~CustomImageListItem() override;

    void setThumbnail(const QImage& thumbnail) { m_thumbnail = thumbnail; }
    const QImage& thumbnail() const { return m_thumbnail; }
    void setAble(bool able);
    bool isAble() const { return m_able; }
    void setDeletable(bool deletable);
    bool isDeletable() const { return m_deletable; }
    QPushButton* deleteButton() const { return m_deleteButton; }
    bool isHovered() const { return m_hovered; }

    // Frame colours of the states.
    static QColor greyedColor() { return QColor(0x32, 0x32, 0x32); }
    static QColor selectedColor() { return QColor(0x00, 0xA9, 0xFF); }
    static QColor hoverColor() { return QColor(0x50, 0x9F, 0xC5); }
    static QColor normalColor() { return QColor(0x4D, 0x4D, 0x4D); }

protected:
    void enterEvent(QEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // Checking is the strip's business: a click never toggles the item by itself.
    void nextCheckState() override {}

private:
    bool m_hovered = false;
    bool m_pressed = false;
    bool m_able = true;
    bool m_deletable = false;
    QPushButton* m_deleteButton = nullptr;
    QImage m_thumbnail;
};
