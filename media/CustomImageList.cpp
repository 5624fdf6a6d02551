#include "media/CustomImageList.h"

#include "media/CustomImageListItem.h"

#include <QHBoxLayout>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVariant>

CustomImageList::CustomImageList(QWidget* parent)
    : QWidget(parent)
{
    resize(749, 100);
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    m_scrollArea = new QScrollArea(this);
    m_scrollArea->setObjectName(QStringLiteral("scrollArea"));
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setWidgetResizable(true);
    m_scrollArea->setStyleSheet(QStringLiteral("QScrollArea{background:transparent;border:none;}"));
    m_scrollArea->viewport()->setAutoFillBackground(false);
    m_contents = new QWidget(m_scrollArea);
    m_contents->setObjectName(QStringLiteral("scrollAreaWidgetContents"));
    m_contents->setStyleSheet(QStringLiteral("QWidget#scrollAreaWidgetContents{background:transparent;}"));
    auto* contentsLayout = new QHBoxLayout(m_contents);
    contentsLayout->setObjectName(QStringLiteral("horizontalLayout_2"));
    contentsLayout->setContentsMargins(0, 0, 0, 0);
    m_itemLayout = new QHBoxLayout();
    m_itemLayout->setObjectName(QStringLiteral("horizontalLayout"));
    contentsLayout->addLayout(m_itemLayout);
    contentsLayout->addStretch(1);
    m_scrollArea->setWidget(m_contents);
    outer->addWidget(m_scrollArea);
}

CustomImageList::~CustomImageList() = default;

void CustomImageList::setItems(const QVector<Entry>& entries, bool portraitActive)
{
    m_itemLayout->setAlignment(Qt::AlignLeft);
    for (CustomImageListItem* old : qAsConst(m_items)) {
        m_itemLayout->removeWidget(old);
        old->hide();
        old->disconnect(this);
        old->deleteButton()->disconnect(this);
        old->deleteLater();
    }
    m_items.clear();
    for (const Entry& entry : entries) {
        auto* item = new CustomImageListItem(m_contents);
        const bool able = entry.landscape != portraitActive;
        item->setProperty("Hori", entry.landscape);
        item->setProperty("able", able);
        item->setProperty("ID", entry.id);
        item->setFixedSize(entry.landscape ? kLandscapeItemWidth : kPortraitItemWidth, kItemHeight);
        item->setAble(able && !m_locked);
        item->setThumbnail(entry.thumbnail);
        item->setDeletable(entry.deletable);
        connect(item, &QPushButton::clicked, this, &CustomImageList::itemPressed);
        connect(item->deleteButton(), &QPushButton::clicked, this, &CustomImageList::deleteImageItem);
        m_itemLayout->addWidget(item);
        item->show();
        m_items.append(item);
    }
    m_itemLayout->setSpacing(kItemSpacing);
}

CustomImageListItem* CustomImageList::itemById(int id) const
{
    for (CustomImageListItem* item : m_items) {
        if (item->property("ID").toInt() == id)
            return item;
    }
    return nullptr;
}

void CustomImageList::selectItem(int id)
{
    for (CustomImageListItem* item : qAsConst(m_items))
        item->setChecked(item->property("ID").toInt() == id && item->isAble());
    for (CustomImageListItem* item : qAsConst(m_items))
        item->update();
}

void CustomImageList::setItemsLocked(bool locked)
{
    m_locked = locked;
    // The checked item keeps its check while locked; it is drawn greyed like the others.
    for (CustomImageListItem* item : qAsConst(m_items))
        item->setAble(!locked && item->property("able").toBool());
}

int CustomImageList::scrollValue() const
{
    return m_scrollArea->horizontalScrollBar()->value();
}

void CustomImageList::setScrollValue(int value)
{
    QScrollBar* bar = m_scrollArea->horizontalScrollBar();
    if (value > bar->maximum())
        value = bar->maximum();
    if (value < bar->minimum())
        value = 0;
    bar->setValue(value);
}

void CustomImageList::showItem(int id)
{
    // A strip rebuilt a moment ago is laid out, and the scroll area takes its new width, once
    // control is back in the event loop.
    QTimer::singleShot(0, this, [this, id] {
        if (CustomImageListItem* item = itemById(id))
            m_scrollArea->ensureWidgetVisible(item, 0, 0);
    });
}

void CustomImageList::itemPressed()
{
    auto* pressed = qobject_cast<CustomImageListItem*>(sender());
    if (pressed == nullptr || !pressed->isAble())
        return;
    for (CustomImageListItem* item : qAsConst(m_items)) {
        if (item != pressed && item->isChecked())
            item->setChecked(false);
    }
    pressed->setChecked(true);
    emit changeImageItem(pressed->property("ID").toInt());
}

void CustomImageList::deleteImageItem()
{
    auto* button = qobject_cast<QPushButton*>(sender());
    auto* item = button != nullptr ? qobject_cast<CustomImageListItem*>(button->parentWidget()) : nullptr;
    if (item == nullptr)
        return;
    emit deleteImageFromList(item->property("ID").toInt());
}
