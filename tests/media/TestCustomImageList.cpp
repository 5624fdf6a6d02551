#include "media/CustomImageList.h"
#include "media/CustomImageListItem.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QtTest>

namespace {

QVector<CustomImageList::Entry> entries(const QVector<bool>& landscape, int firstDeletable = 4)
{
    QVector<CustomImageList::Entry> list;
    for (int i = 0; i < landscape.size(); ++i) {
        CustomImageList::Entry entry;
        entry.id = i;
        entry.landscape = landscape.at(i);
        entry.thumbnail = QImage(landscape.at(i) ? 800 : 480, landscape.at(i) ? 480 : 800, QImage::Format_RGB32);
        entry.thumbnail.fill(Qt::white);
        entry.deletable = i >= firstDeletable;
        list << entry;
    }
    return list;
}

QImage grab(QWidget* widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestCustomImageList final : public QObject
{
    Q_OBJECT

private slots:
    void itemsFollowTheOrientation_data()
    {
        QTest::addColumn<bool>("portraitActive");
        QTest::newRow("landscape active: portrait items greyed") << false;
        QTest::newRow("portrait active: landscape items greyed") << true;
    }
    void itemsFollowTheOrientation()
    {
        QFETCH(bool, portraitActive);
        CustomImageList strip;
        strip.setItems(entries({true, false, true, false, true, false}), portraitActive);
        QCOMPARE(strip.items().size(), 6);
        QSignalSpy changed(&strip, &CustomImageList::changeImageItem);
        for (CustomImageListItem* item : strip.items()) {
            const bool landscape = item->property("Hori").toBool();
            QCOMPARE(item->size(), landscape ? QSize(176, 116) : QSize(76, 116));
            QCOMPARE(item->isAble(), landscape != portraitActive);
            QCOMPARE(item->property("able").toBool(), landscape != portraitActive);
            item->click();
            // A greyed item emits nothing and never becomes checked.
            QCOMPARE(item->isChecked(), item->isAble());
        }
        QCOMPARE(changed.count(), 3);
        // Only the last able item pressed stays checked.
        int checked = 0;
        for (CustomImageListItem* item : strip.items())
            checked += item->isChecked() ? 1 : 0;
        QCOMPARE(checked, 1);
    }

    void checkedAbleItemShowsCornerTrianglesAndGreyedItemIsDark()
    {
        CustomImageList strip;
        strip.setItems(entries({true, false}), true);
        strip.selectItem(1);
        CustomImageListItem* portrait = strip.itemById(1);
        CustomImageListItem* landscape = strip.itemById(0);
        QVERIFY(portrait->isChecked());
        const QImage checkedFace = grab(portrait);
        QCOMPARE(QColor(checkedFace.pixel(4, 4)), CustomImageListItem::selectedColor());
        QCOMPARE(QColor(checkedFace.pixel(38, 58)), QColor(Qt::white));
        const QImage greyFace = grab(landscape);
        QVERIFY(qRed(greyFace.pixel(88, 58)) < 110); // white darkened by 60 % black
        // A greyed item cannot be selected from code either.
        strip.selectItem(0);
        QVERIFY(!landscape->isChecked());
    }

    void deleteButtonOnlyOnUserItems()
    {
        CustomImageList strip;
        strip.resize(1200, 120);
        strip.show();
        strip.setItems(entries({true, true, true, true, true, true}), false);
        for (CustomImageListItem* item : strip.items()) {
            QEvent enter(QEvent::Enter);
            QCoreApplication::sendEvent(item, &enter);
            QCOMPARE(!item->deleteButton()->isHidden(), item->property("ID").toInt() >= 4);
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(item, &leave);
            QVERIFY(item->deleteButton()->isHidden());
        }
    }

    void deleteButtonReportsItsItemWithoutSelectingIt()
    {
        CustomImageList strip;
        strip.setItems(entries({true, true, true, true, true, true, true}), false);
        QSignalSpy deleted(&strip, &CustomImageList::deleteImageFromList);
        QSignalSpy changed(&strip, &CustomImageList::changeImageItem);
        strip.itemById(6)->deleteButton()->click();
        QCOMPARE(deleted.count(), 1);
        QCOMPARE(deleted.at(0).at(0).toInt(), 6);
        QCOMPARE(changed.count(), 0);
        QVERIFY(!strip.itemById(6)->isChecked());
    }

    // The library rebuilds the strip from inside the delete button's click.
    void rebuildFromInsideAClickIsSafe()
    {
        CustomImageList strip;
        strip.setItems(entries({true, true, true, true, true, true}), false);
        connect(&strip, &CustomImageList::deleteImageFromList, &strip, [&strip](int id) {
            QVector<CustomImageList::Entry> rest = entries({true, true, true, true, true});
            Q_UNUSED(id)
            strip.setItems(rest, false);
        });
        QPointer<CustomImageListItem> old = strip.itemById(5);
        old->deleteButton()->click();
        QCOMPARE(strip.items().size(), 5);
        QVERIFY(!strip.items().contains(old.data()));
        QTRY_VERIFY(old.isNull());
    }

    void lockGreysEverythingUntilUnlocked()
    {
        CustomImageList strip;
        strip.setItems(entries({true, false, true}), false);
        strip.selectItem(2);
        strip.setItemsLocked(true);
        QSignalSpy changed(&strip, &CustomImageList::changeImageItem);
        for (CustomImageListItem* item : strip.items()) {
            QVERIFY(!item->isAble());
            item->click();
        }
        QCOMPARE(changed.count(), 0);
        strip.setItemsLocked(false);
        QVERIFY(strip.itemById(0)->isAble());
        QVERIFY(!strip.itemById(1)->isAble());
        QVERIFY(strip.itemById(2)->isChecked());
    }

    void scrollValueIsClamped_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("expected"); // -1: the maximum
        QTest::newRow("below 0 gives 0") << -450 << 0;
        QTest::newRow("inside the range is kept") << 100 << 100;
        QTest::newRow("above the maximum gives the maximum") << 100000 << -1;
    }
    void scrollValueIsClamped()
    {
        QFETCH(int, value);
        QFETCH(int, expected);
        CustomImageList strip;
        strip.resize(400, 120);
        strip.setItems(entries(QVector<bool>(10, true)), false);
        strip.show();
        QVERIFY(QTest::qWaitForWindowExposed(&strip));
        const int maximum =
            strip.findChild<QScrollArea*>(QStringLiteral("scrollArea"))->horizontalScrollBar()->maximum();
        QVERIFY(maximum > 1000);
        strip.setScrollValue(value);
        QCOMPARE(strip.scrollValue(), expected < 0 ? maximum : expected);
    }

    void showItemBringsANewLastItemIntoView()
    {
        // As after an upload: the shown strip is rebuilt with one more item, which is then shown.
        CustomImageList strip;
        strip.resize(400, 120);
        strip.setItems(entries(QVector<bool>(10, true)), false);
        strip.show();
        QVERIFY(QTest::qWaitForWindowExposed(&strip));
        strip.setItems(entries(QVector<bool>(11, true)), false);
        strip.showItem(10);
        const QWidget* viewport = strip.findChild<QScrollArea*>(QStringLiteral("scrollArea"))->viewport();
        const auto lastInView = [&] {
            const QWidget* last = strip.itemById(10);
            return last->isVisible() &&
                   viewport->rect().contains(QRect(last->mapTo(viewport, QPoint(0, 0)), last->size()));
        };
        QTRY_VERIFY2(lastInView(), "the new last item is not fully in view");
        strip.showItem(0);
        QTRY_COMPARE(strip.scrollValue(), 0);
    }
};

QTEST_MAIN(TestCustomImageList)
#include "TestCustomImageList.moc"
