#include "media/MediaLibrary.h"

#include <QTemporaryDir>
#include <QtTest>

#include <deque>

namespace {

constexpr int L = 800; // landscape output width
constexpr int P = 480; // portrait output width

MediaScaleRecord itemOf(int width)
{
    return MediaScaleRecord::defaultMedium(width, width == L ? 480 : 800);
}

// A library whose items are named by their position and orientation ("0L", "1P", ...) and whose
// files all exist; thumbnails are plain pictures of the record's size.
struct Library
{
    QTemporaryDir folder;
    MediaLibrary library;

    explicit Library(const QVector<int>& widths, int defaultCount = 0)
    {
        QStringList paths;
        QVector<MediaScaleRecord> records;
        for (int i = 0; i < widths.size(); ++i) {
            const QString name = QStringLiteral("%1%2.png").arg(i).arg(widths.at(i) == L ? 'L' : 'P');
            QFile file(folder.filePath(name));
            file.open(QIODevice::WriteOnly);
            paths << name;
            records << itemOf(widths.at(i));
        }
        const QString root = folder.path();
        library.setPathResolver([root](const QString& stored) { return root + QLatin1Char('/') + stored; });
        library.setThumbnailMaker([](const QString&, const MediaScaleRecord& record) {
            QImage picture(record.width, record.height, QImage::Format_RGB32);
            picture.fill(Qt::white);
            return picture;
        });
        library.setItems(paths, records, defaultCount);
    }
};

// Random values from a script: each is the position wanted in a library of `count` items.
MediaLibrary::RandomSource scripted(std::deque<int> positions, int count)
{
    auto queue = std::make_shared<std::deque<int>>(std::move(positions));
    return [queue, count]() -> quint32 {
        const int position = queue->empty() ? 0 : queue->front();
        if (!queue->empty())
            queue->pop_front();
        // The smallest value that maps to the position: (count * v) >> 32 == position.
        return quint32(((quint64(position) << 32) + quint64(count) - 1) / quint64(count));
    };
}

} // namespace

class TestMediaLibrary final : public QObject
{
    Q_OBJECT

private slots:
    // Which item the end of a medium leads to in list mode.
    void listOrder_data()
    {
        QTest::addColumn<QVector<int>>("widths");
        QTest::addColumn<int>("frameWidth");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("expected");
        const QVector<int> alp = {L, P, L}; // A landscape, B portrait, C landscape
        QTest::newRow("landscape: after A comes C, skipping portrait B") << alp << L << 0 << 2;
        QTest::newRow("landscape: after C the list wraps to A") << alp << L << 2 << 0;
        QTest::newRow("portrait: the only portrait item follows itself") << alp << P << 1 << 1;
        QTest::newRow("shown position past the end starts at the first") << alp << L << 7 << 0;
        QTest::newRow("fallback shown (-1) starts at the first") << alp << L << -1 << 0;
        QTest::newRow("no item of the orientation: fallback") << QVector<int>{L, L} << P << 0 << -1;
    }
    void listOrder()
    {
        QFETCH(QVector<int>, widths);
        QFETCH(int, frameWidth);
        QFETCH(int, current);
        QFETCH(int, expected);
        Library lib(widths);
        const MediaLibrary::CycleChoice choice = lib.library.nextForCycle(1, current, frameWidth, {});
        if (expected < 0) {
            QCOMPARE(int(choice.step), int(MediaLibrary::CycleStep::Fallback));
        } else {
            QCOMPARE(int(choice.step), int(MediaLibrary::CycleStep::Apply));
            QCOMPARE(choice.index, expected);
        }
    }

    void shuffleTakesOnlyItemsOfTheOrientation()
    {
        Library lib({L, P, L, P});
        // Draws of the portrait items 1 and 3 are passed over until a landscape item comes.
        const auto random = scripted({1, 3, 2}, 4);
        const MediaLibrary::CycleChoice choice = lib.library.nextForCycle(2, 0, L, random);
        QCOMPARE(int(choice.step), int(MediaLibrary::CycleStep::Apply));
        QCOMPARE(choice.index, 2);
    }

    void shuffleWithOneItemReplaysIt()
    {
        Library lib({L});
        const MediaLibrary::CycleChoice choice = lib.library.nextForCycle(2, 0, L, [] { return quint32(0xFFFFFFFFu); });
        QCOMPARE(choice.index, 0);
    }

    void shuffleIsUniformOverTheOrientation()
    {
        Library lib({L, P, L, L});
        QMap<int, int> picks;
        quint32 value = 0;
        // Values spread evenly over the 32-bit range.
        const auto sweep = [&value] { return value += 0x01000193u * 2654435761u; };
        for (int i = 0; i < 3000; ++i)
            ++picks[lib.library.nextForCycle(2, 0, L, sweep).index];
        QCOMPARE(picks.value(1), 0);
        for (int index : {0, 2, 3})
            QVERIFY2(picks.value(index) > 700, qPrintable(QString::number(picks.value(index))));
    }

    void oneItemModeStays()
    {
        Library lib({L, L});
        QCOMPARE(int(lib.library.nextForCycle(0, 0, L, {}).step), int(MediaLibrary::CycleStep::Stay));
        Library empty({});
        QCOMPARE(int(empty.library.nextForCycle(1, 0, L, {}).step), int(MediaLibrary::CycleStep::Stay));
    }

    // What a delete does to the list and to the applied position.
    void remove_data()
    {
        QTest::addColumn<int>("applied");
        QTest::addColumn<int>("deleted");
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<bool>("removed");
        QTest::addColumn<bool>("wasApplied");
        QTest::addColumn<int>("appliedAfter");
        QTest::addColumn<QStringList>("pathsAfter");
        // Items: 0L 1P (defaults), 2L 3L 4P 5L (user items).
        QTest::newRow("before the applied item: the applied position moves down with it")
            << 4 << 2 << true << true << false << 3 << QStringList{"0L.png", "1P.png", "3L.png", "4P.png", "5L.png"};
        QTest::newRow("after the applied item: the applied position stays")
            << 3 << 5 << true << true << false << 3 << QStringList{"0L.png", "1P.png", "2L.png", "3L.png", "4P.png"};
        QTest::newRow("the applied item: reported, the caller applies another")
            << 3 << 3 << true << true << true << 3 << QStringList{"0L.png", "1P.png", "2L.png", "4P.png", "5L.png"};
        QTest::newRow("cancelled: nothing changes")
            << 3 << 2 << false << false << false << 3
            << QStringList{"0L.png", "1P.png", "2L.png", "3L.png", "4P.png", "5L.png"};
        QTest::newRow("a default item is never deleted")
            << 3 << 1 << true << false << false << 3
            << QStringList{"0L.png", "1P.png", "2L.png", "3L.png", "4P.png", "5L.png"};
        QTest::newRow("a position past the end is ignored")
            << 3 << 6 << true << false << false << 3
            << QStringList{"0L.png", "1P.png", "2L.png", "3L.png", "4P.png", "5L.png"};
        QTest::newRow("fallback shown (-1): the position stays")
            << -1 << 2 << true << true << false << -1 << QStringList{"0L.png", "1P.png", "3L.png", "4P.png", "5L.png"};
    }
    void remove()
    {
        QFETCH(int, applied);
        QFETCH(int, deleted);
        QFETCH(bool, confirmed);
        QFETCH(bool, removed);
        QFETCH(bool, wasApplied);
        QFETCH(int, appliedAfter);
        QFETCH(QStringList, pathsAfter);
        Library lib({L, P, L, L, P, L}, 2);
        lib.library.refreshThumbnails();
        lib.library.setCurrentIndex(applied);
        const bool deletable = lib.library.isDeletable(deleted);
        int asked = 0;
        const MediaLibrary::Removal removal = lib.library.remove(deleted, [&] {
            ++asked;
            return confirmed;
        });
        QCOMPARE(removal.removed, removed);
        QCOMPARE(removal.wasApplied, wasApplied);
        QCOMPARE(lib.library.currentIndex(), appliedAfter);
        QCOMPARE(lib.library.paths(), pathsAfter);
        QCOMPARE(lib.library.records().size(), pathsAfter.size());
        QCOMPARE(lib.library.thumbnails().size(), pathsAfter.size());
        QCOMPARE(asked, deletable ? 1 : 0);
    }

    void deletingTheLastItemOfAnOrientation()
    {
        Library lib({L, P, L}, 0);
        lib.library.setCurrentIndex(1);
        const MediaLibrary::Removal removal = lib.library.remove(1, [] { return true; });
        QVERIFY(removal.wasApplied);
        QCOMPARE(lib.library.firstOfWidth(P), -1);
        QCOMPARE(lib.library.firstOfWidth(L), 0);
    }

    // Defaults are counted by what is present: two defaults make item 2 a deletable user item.
    void defaultsCountByWhatIsPresent_data()
    {
        QTest::addColumn<int>("defaults");
        QTest::addColumn<int>("firstDeletable");
        QTest::addColumn<int>("landscapeUserItems");
        QTest::newRow("all four defaults") << 4 << 4 << 2;
        QTest::newRow("two defaults") << 2 << 2 << 3;
        QTest::newRow("no defaults") << 0 << 0 << 4;
    }
    void defaultsCountByWhatIsPresent()
    {
        QFETCH(int, defaults);
        QFETCH(int, firstDeletable);
        QFETCH(int, landscapeUserItems);
        Library lib({L, P, L, P, L, L});
        lib.library.setItems(lib.library.paths(), lib.library.records(), defaults);
        for (int i = 0; i < lib.library.count(); ++i)
            QCOMPARE(lib.library.isDeletable(i), i >= firstDeletable);
        QCOMPARE(lib.library.userItemCount(L), landscapeUserItems);
        lib.library.refreshThumbnails();
        for (const CustomImageList::Entry& entry : lib.library.stripEntries())
            QCOMPARE(entry.deletable, entry.id >= firstDeletable);
    }

    void fifteenUserItemsOfAnOrientationAreTheLimit()
    {
        QVector<int> widths = {L, P, L, P};
        for (int i = 0; i < 15; ++i)
            widths << L;
        Library lib(widths, 4);
        QVERIFY(!lib.library.canAddItem(L));
        QVERIFY(lib.library.canAddItem(P));
    }

    // The strip's IDs are library positions even where an item is not shown.
    void stripEntriesCarryLibraryPositions()
    {
        Library lib({L, P, L, P});
        QStringList paths = lib.library.paths();
        QVector<MediaScaleRecord> records = lib.library.records();
        paths[1].clear();     // no path: not shown
        records[2].width = 0; // no output frame: not shown
        paths[3] = QStringLiteral("missing.png");
        lib.library.setItems(paths, records, 0);
        lib.library.refreshThumbnails();
        const QVector<CustomImageList::Entry> entries = lib.library.stripEntries();
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries.at(0).id, 0);
        QVERIFY(entries.at(0).landscape);
        // A missing file is still shown (as a black placeholder), so it can be deleted.
        QCOMPARE(entries.at(1).id, 3);
        QVERIFY(!entries.at(1).landscape);
        QCOMPARE(entries.at(1).thumbnail.size(), QSize(480, 800));
        QCOMPARE(entries.at(1).thumbnail.pixel(10, 10), qRgb(0, 0, 0));
        QVERIFY(lib.library.playableFile(3).isEmpty());
        QVERIFY(!lib.library.playableFile(0).isEmpty());
    }

    void appendedItemGetsItsThumbnailAtTheNextRefresh()
    {
        Library lib({L});
        lib.library.refreshThumbnails();
        lib.library.append(QStringLiteral("0L.png"), itemOf(P));
        QCOMPARE(lib.library.thumbnails().size(), 1);
        lib.library.refreshThumbnails();
        QCOMPARE(lib.library.thumbnails().size(), 2);
        QCOMPARE(lib.library.stripEntries().last().id, 1);
    }
};

QTEST_MAIN(TestMediaLibrary)
#include "TestMediaLibrary.moc"
