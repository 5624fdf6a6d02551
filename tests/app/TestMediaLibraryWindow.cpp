#include "app/FramelessWidget.h"
#include "app/MainWindow.h"
#include "media/BackgroundPlayback.h"
#include "media/CustomImageList.h"
#include "media/CustomImageListItem.h"
#include "screen/MediaLabel.h"
#include "settings/AppPaths.h"
#include "tests/support/TestSupport.h"
#include "tests/support/app/AppFakes.h"
#include "tests/support/media/MediaFixtures.h"
#include "ui_MainWindow.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using AppFakes::FakeLink;

bool trayPresent()
{
    return true;
}

// One stored user item: a bare file name in Background/ and its output orientation.
struct Stored
{
    QString name;
    bool landscape = true;
};

} // namespace

// The media library as the main window runs it: start-up from the settings file, apply, delete,
// the cycle modes and their buttons, orientation changes and the homepage copy of the preview.
class TestMediaLibraryWindow final : public QObject
{
    Q_OBJECT

    QTemporaryDir withDefaults;    // the shipped Default folder: four default library items
    QTemporaryDir withoutDefaults; // fallback videos and clock backgrounds only: an empty library
    QTemporaryDir simFolder;
    int m_firstUserSlot = 4;

    QString background(const QString& name) const { return AppPaths::backgroundFolder() + QLatin1Char('/') + name; }

    // Makes `folder` the program folder; the default library items are copied when `defaults`.
    void useFolder(const QTemporaryDir& folder, bool defaults)
    {
        AppPaths::setProgramFolder(folder.path());
        m_firstUserSlot = defaults ? 4 : 0;
    }

    void prepareFolder(const QTemporaryDir& folder, bool defaults)
    {
        const QString built = TestSupport::programDir();
        for (const char* sub : {"Default", "Translator"}) {
            QDir(folder.path()).mkpath(QLatin1String(sub));
            for (const QFileInfo& file :
                 QDir(built + QLatin1Char('/') + QLatin1String(sub)).entryInfoList(QDir::Files)) {
                if (!defaults && file.suffix() == QLatin1String("gif"))
                    continue;
                QVERIFY(QFile::copy(file.filePath(),
                                    folder.filePath(QLatin1String(sub) + QLatin1Char('/') + file.fileName())));
            }
        }
        QDir(folder.path()).mkpath(QStringLiteral("Background"));
        useFolder(folder, defaults);
        writeStill(QStringLiteral("a.png"), Qt::red);
        writeStill(QStringLiteral("b.png"), Qt::green, false);
        writeStill(QStringLiteral("c.png"), Qt::blue);
        QVERIFY(vortane::test::writeRandomBytes(background(QStringLiteral("broken.mp4")), 4096, 9));
    }

    void writeStill(const QString& name, QColor colour, bool landscape = true)
    {
        QImage picture(landscape ? 400 : 240, landscape ? 240 : 400, QImage::Format_RGB32);
        picture.fill(colour);
        QVERIFY(picture.save(background(name)));
    }

    // Settings with the stored items (after the default items, which are never stored).
    void writeSettings(const QList<Stored>& items, const QVariantMap& values = {})
    {
        QFile::remove(AppPaths::settingsFile());
        QSettings ini(AppPaths::settingsFile(), QSettings::IniFormat);
        ini.setValue(QStringLiteral("isPrivacyPolicyAgree"), 1);
        const int slotCount = qMax(30, int(items.size()) + m_firstUserSlot);
        ini.setValue(QStringLiteral("bgMaxCount"), slotCount);
        for (int i = 0; i < items.size(); ++i) {
            const int slot = i + m_firstUserSlot;
            const bool l = items.at(i).landscape;
            ini.setValue(QStringLiteral("bgPath%1").arg(slot), items.at(i).name);
            ini.setValue(QStringLiteral("bgScaleW%1").arg(slot), l ? 800 : 480);
            ini.setValue(QStringLiteral("bgScaleH%1").arg(slot), l ? 480 : 800);
            ini.setValue(QStringLiteral("bgScaleCW%1").arg(slot), l ? 400 : 240);
            ini.setValue(QStringLiteral("bgScaleCH%1").arg(slot), l ? 240 : 400);
            ini.setValue(QStringLiteral("bgScaleRt%1").arg(slot), 1);
        }
        for (auto it = values.begin(); it != values.end(); ++it)
            ini.setValue(it.key(), it.value());
        ini.sync();
    }

    static void shortenTimes(MainWindow& window)
    {
        BackgroundPlayback* playback = window.form()->label_bg->playback();
        playback->setStillIntervalMs(10);
        playback->setBrokenMediumPauseMs(10);
    }

private slots:
    void initTestCase()
    {
        prepareFolder(withoutDefaults, false);
        prepareFolder(withDefaults, true);
        qputenv("VORTANE_SIM_DIR", simFolder.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", withDefaults.filePath(QStringLiteral("config")).toUtf8());
        FramelessWidget::setTrayProbeForTesting(trayPresent);
    }

    void init() { useFolder(withDefaults, true); }

    // 34 items (4 defaults and 15 user items per orientation): all load, the applied item at
    // position 33 is applied, and a save keeps every one of them.
    void startUpWith34ItemsKeepsThemAll()
    {
        QList<Stored> items;
        for (int i = 0; i < 30; ++i) {
            const QString name = QStringLiteral("item%1.png").arg(i);
            if (!QFile::exists(background(name)))
                writeStill(name, QColor::fromHsv(i * 12, 200, 200), i % 2 == 0);
            items << Stored{name, i % 2 == 0};
        }
        writeSettings(items, {{"ApplyBgID", 33}});
        {
            MainWindow window(nullptr, std::make_unique<FakeLink>());
            QCOMPARE(window.mediaLibrary().count(), 34);
            QCOMPARE(window.currentMediaIndex(), 33);
            QCOMPARE(window.frameWidth, 480); // item 33 is a portrait item
            QCOMPARE(window.form()->label_bg->property("id").toInt(), 33);
            QCOMPARE(window.form()->label_bg->pixmap(Qt::ReturnByValue).size(), QSize(480, 800));
            auto* strip = window.form()->widget_ImageList;
            QCOMPARE(strip->items().size(), 34);
            QVERIFY(strip->itemById(33)->isChecked());
            for (CustomImageListItem* item : strip->items())
                QCOMPARE(item->isDeletable(), item->property("ID").toInt() >= 4);
        }
        QSettings ini(AppPaths::settingsFile(), QSettings::IniFormat);
        QCOMPARE(ini.value(QStringLiteral("bgMaxCount")).toInt(), 34);
        QCOMPARE(ini.value(QStringLiteral("ApplyBgID")).toInt(), 33);
        for (int i = 0; i < 30; ++i)
            QCOMPARE(ini.value(QStringLiteral("bgPath%1").arg(i + 4)).toString(), items.at(i).name);
        MainWindow again(nullptr, std::make_unique<FakeLink>());
        QCOMPARE(again.mediaLibrary().count(), 34);
        QCOMPARE(again.currentMediaIndex(), 33);
    }

    // What applying a position shows.
    void apply_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("clockPage");
        QTest::addColumn<int>("kind"); // MediaKind shown
        QTest::addColumn<int>("appliedAfter");
        QTest::addColumn<int>("frameWidth");
        QTest::addColumn<int>("cycleMode");
        using vortane::media::MediaKind;
        // Items: 0 a (landscape), 1 b (portrait), 2 gone.png (file missing at start-up: dropped),
        // so 2 is past the end.
        QTest::newRow("landscape item: shown, in the buttons' cycle mode")
            << 0 << false << int(MediaKind::Still) << 0 << 800 << 1;
        QTest::newRow("portrait item from landscape: the orientation follows it")
            << 1 << false << int(MediaKind::Still) << 1 << 480 << 1;
        QTest::newRow("past the end: the fallback video loops, the position stays")
            << 2 << false << int(MediaKind::Video) << 0 << 800 << 0;
        QTest::newRow("-1: the fallback video") << -1 << false << int(MediaKind::Video) << 0 << 800 << 0;
        QTest::newRow("clock page: the clock background, the position stays")
            << 1 << true << int(MediaKind::Still) << 0 << 800 << 0;
    }
    void apply()
    {
        QFETCH(int, index);
        QFETCH(bool, clockPage);
        QFETCH(int, kind);
        QFETCH(int, appliedAfter);
        QFETCH(int, frameWidth);
        QFETCH(int, cycleMode);
        useFolder(withoutDefaults, false);
        writeSettings({{"a.png", true}, {"b.png", false}, {"gone.png", true}},
                      {{"ApplyBgID", 0}, {"ApplyBgCycleMode", 1}});
        MainWindow window(nullptr, std::make_unique<FakeLink>());
        QCOMPARE(window.mediaLibrary().count(), 2);
        if (clockPage)
            window.form()->pushButton_Time->click();
        window.changeImageListItem(index);
        MediaLabel* preview = window.form()->label_bg;
        QCOMPARE(int(preview->playback()->currentKind()), kind);
        QCOMPARE(window.currentMediaIndex(), appliedAfter);
        QCOMPARE(window.frameWidth, frameWidth);
        QCOMPARE(preview->playCycleMode(), cycleMode);
        QCOMPARE(preview->pixmap(Qt::ReturnByValue).width(), frameWidth);
        QCOMPARE(preview->width(), frameWidth / 4);
    }

    // List mode goes through the items of the orientation; a video that cannot be opened takes
    // its turn and does not stop the list.
    void listModeGoesOnPastABrokenVideo()
    {
        useFolder(withoutDefaults, false);
        writeSettings({{"a.png", true}, {"broken.mp4", true}, {"b.png", false}, {"c.png", true}},
                      {{"ApplyBgID", 0}, {"ApplyBgCycleMode", 1}});
        MainWindow window(nullptr, std::make_unique<FakeLink>());
        QCOMPARE(window.cycleMode(), 1);
        QVERIFY(window.form()->pushButton_playCycleList->isChecked());
        shortenTimes(window);
        window.changeImageListItem(0);
        // The window applies the next item before this receiver runs: each entry is the item
        // that follows an end. The portrait item 2 is passed over in landscape.
        const QList<int> expected = {1, 3, 0, 1, 3};
        QList<int> seen;
        QObject::connect(window.form()->label_bg, &MediaLabel::mediaOver, &window,
                         [&] { seen << window.form()->label_bg->property("id").toInt(); });
        QTRY_VERIFY_WITH_TIMEOUT(seen.size() >= expected.size(), 60000);
        QCOMPARE(seen.mid(0, expected.size()), expected);
    }

    void shuffleModeUsesTheRandomSource()
    {
        useFolder(withoutDefaults, false);
        writeSettings({{"a.png", true}, {"b.png", false}, {"c.png", true}}, {{"ApplyBgID", 0}});
        MainWindow window(nullptr, std::make_unique<FakeLink>());
        shortenTimes(window);
        // Position 1 (portrait, passed over), then 2 from then on; each value maps to (3 x v) >> 32.
        QList<quint32> values = {quint32((quint64(1) << 32) / 3 + 1), quint32((quint64(2) << 32) / 3 + 1)};
        window.setRandomSource([&values] { return values.size() > 1 ? values.takeFirst() : values.first(); });
        window.form()->pushButton_playCycleRandom->click();
        QCOMPARE(window.cycleMode(), 2);
        QCOMPARE(window.form()->label_bg->playCycleMode(), 2);
        QTRY_COMPARE_WITH_TIMEOUT(window.currentMediaIndex(), 2, 10000);
    }

    // The cycle mode the buttons show comes back after the clock page and the fallback video.
    void cycleModeComesBackAfterTheClockPage()
    {
        writeSettings({{"a.png", true}}, {{"ApplyBgID", 4}, {"ApplyBgCycleMode", 1}});
        MainWindow window(nullptr, std::make_unique<FakeLink>());
        MediaLabel* preview = window.form()->label_bg;
        QCOMPARE(preview->playCycleMode(), 1);
        window.form()->pushButton_Time->click();
        QCOMPARE(preview->playCycleMode(), 0);
        QCOMPARE(window.form()->widget_ImageList->itemById(4)->isAble(), false);
        window.form()->pushButton_DynamicSetting->click();
        QCOMPARE(preview->playCycleMode(), 1);
        QCOMPARE(window.currentMediaIndex(), 4);
        QVERIFY(window.form()->widget_ImageList->itemById(4)->isAble());
        // Portrait has only the default GIFs 1 and 3; with them gone the fallback loops (mode 0).
        window.form()->pushButton_Vertical->click();
        QCOMPARE(window.currentMediaIndex(), 1);
        window.form()->pushButton_Horizontal->click();
        QCOMPARE(window.currentMediaIndex(), 0);
        QCOMPARE(preview->playCycleMode(), 1);
    }

    // Deletes through the window: the confirmation is asked, the applied item follows.
    void deleteThroughTheWindow()
    {
        writeSettings({{"a.png", true}, {"b.png", false}, {"c.png", true}}, {{"ApplyBgID", 6}});
        MainWindow window(nullptr, std::make_unique<FakeLink>());
        int asked = 0;
        window.setDeleteConfirmation([&asked] {
            ++asked;
            return true;
        });
        auto* strip = window.form()->widget_ImageList;
        // An item before the applied one: the applied item keeps being the one shown.
        strip->itemById(4)->deleteButton()->click();
        QCOMPARE(asked, 1);
        QCOMPARE(window.mediaLibrary().count(), 6);
        QCOMPARE(window.currentMediaIndex(), 5);
        QCOMPARE(window.mediaLibrary().path(5), QStringLiteral("c.png"));
        QVERIFY(strip->itemById(5)->isChecked());
        QCOMPARE(window.form()->label_bg->property("id").toInt(), 5);
        // The applied item itself: the first landscape item takes its place.
        strip->itemById(5)->deleteButton()->click();
        QCOMPARE(window.currentMediaIndex(), 0);
        QVERIFY(strip->itemById(0)->isChecked());
        // The settings file has the library as it is now.
        QSettings ini(AppPaths::settingsFile(), QSettings::IniFormat);
        QCOMPARE(ini.value(QStringLiteral("bgPath4")).toString(), QStringLiteral("b.png"));
        QCOMPARE(ini.value(QStringLiteral("bgPath5")).toString(), QString());
        // Default items offer no delete.
        window.deleteImageFromList(1);
        QCOMPARE(asked, 2);
        QCOMPARE(window.mediaLibrary().count(), 5);
    }

    void deletingTheLastItemOfTheOrientation_data()
    {
        QTest::addColumn<bool>("clockPage");
        QTest::newRow("info page: the fallback video") << false;
        QTest::newRow("clock page: the clock background") << true;
    }
    void deletingTheLastItemOfTheOrientation()
    {
        QFETCH(bool, clockPage);
        useFolder(withoutDefaults, false);
        writeSettings({{"a.png", true}, {"b.png", false}}, {{"ApplyBgID", 1}, {"ApplyBgCycleMode", 1}});
        MainWindow window(nullptr, std::make_unique<FakeLink>());
        window.setDeleteConfirmation([] { return true; });
        QCOMPARE(window.frameWidth, 480);
        if (clockPage)
            window.form()->pushButton_Time->click();
        window.deleteImageFromList(1);
        QCOMPARE(window.mediaLibrary().count(), 1);
        QCOMPARE(window.currentMediaIndex(), -1);
        QCOMPARE(window.frameWidth, 480);
        MediaLabel* preview = window.form()->label_bg;
        QCOMPARE(preview->pixmap(Qt::ReturnByValue).size(), QSize(480, 800));
        QCOMPARE(preview->playCycleMode(), 0);
        QCOMPARE(int(preview->playback()->currentKind()),
                 int(clockPage ? vortane::media::MediaKind::Still : vortane::media::MediaKind::Video));
    }

    void homepageCopyIs118PixelsHigh()
    {
        writeSettings({{"a.png", true}}, {{"ApplyBgID", 4}});
        MainWindow window(nullptr, std::make_unique<FakeLink>());
        const QPixmap copy = window.form()->label_homepage_preview_bg->pixmap(Qt::ReturnByValue);
        QCOMPARE(copy.height(), 118);
        QVERIFY(qAbs(copy.width() - 800 * 118 / 480) <= 1);
        const QImage image = copy.toImage();
        QCOMPARE(image.pixel(0, 50), qRgb(0x00, 0xAA, 0xFF));
        QCOMPARE(image.pixel(copy.width() - 2, 50), qRgb(0x00, 0xAA, 0xFF));
        QCOMPARE(QColor(image.pixel(100, 50)), QColor(Qt::red));
    }

    void arrowsScrollTheStrip()
    {
        QList<Stored> items;
        for (int i = 0; i < 12; ++i) {
            const QString name = QStringLiteral("wide%1.png").arg(i);
            if (!QFile::exists(background(name)))
                writeStill(name, Qt::darkCyan);
            items << Stored{name, true};
        }
        writeSettings(items);
        MainWindow window(nullptr, std::make_unique<FakeLink>());
        window.resize(1306, 676);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.form()->tabWidget_home->setCurrentIndex(0);
        QCoreApplication::processEvents();
        auto* strip = window.form()->widget_ImageList;
        QCOMPARE(strip->scrollValue(), 0);
        window.form()->pushButton_imageLIstArrowRight->click();
        QCOMPARE(strip->scrollValue(), 450);
        window.form()->pushButton_imageLIstArrowLeft->click();
        window.form()->pushButton_imageLIstArrowLeft->click();
        QCOMPARE(strip->scrollValue(), 0);
    }
};

QTEST_MAIN(TestMediaLibraryWindow)
#include "TestMediaLibraryWindow.moc"
