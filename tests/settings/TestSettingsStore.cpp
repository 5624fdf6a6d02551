// The settings file bgConfig.ini: defaults and clamps on load, what every save writes, round
// trips, files that are damaged or cannot be written, and files other INI readers must accept.

#include "screen/OverlayLayout.h"
#include "sensors/SensorCatalogue.h"
#include "settings/AppPaths.h"
#include "settings/SettingsStore.h"
#include "shell/AppGlobals.h"
#include "tests/settings/SettingsFixture.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFontMetrics>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace SettingsFixture;

// Picks one value out of a loaded state, for the tables.
using Field = std::function<int(const SettingsState&)>;
Q_DECLARE_METATYPE(Field)

namespace {

const char* const kDefaultLibrary[] = {"defaultbgHW01H.gif", "defaultbgHW01V.gif", "defaultbgHW02H.gif",
                                       "defaultbgHW02V.gif"};

// Every key a full save writes, media slots included.
QStringList fullKeySet()
{
    QStringList keys = {QStringLiteral("isPrivacyPolicyAgree"),
                        QStringLiteral("ApplyLanguage"),
                        QStringLiteral("temperUnit"),
                        QStringLiteral("ApplyBacklight"),
                        QStringLiteral("ApplyBgCycleMode"),
                        QStringLiteral("ApplyStyleMode"),
                        QStringLiteral("bgDirection"),
                        QStringLiteral("SleepMode"),
                        QStringLiteral("screenSwitch"),
                        QStringLiteral("ApplyBgID"),
                        QStringLiteral("bgMaxCount")};
    for (int i = 0; i < kStoredMediaSlots; ++i) {
        for (const char* name : {"bgPath", "bgScaleX", "bgScaleY", "bgScaleW", "bgScaleH", "bgScaleCW", "bgScaleCH",
                                 "bgScaleRt", "bgScaleRo", "bgScaleSp", "bgScaleEp"})
            keys << QLatin1String(name) + QString::number(i);
    }
    for (int i = 0; i < kOverlayItemSlots; ++i) {
        for (const char* name : {"HwHardwareName", "HwSensorName", "HwTFont", "HwCFont", "HwTColor", "HwCColor",
                                 "HwEnable", "HwHTX", "HwHTY", "HwHCX", "HwHCY", "HwVTX", "HwVTY", "HwVCX", "HwVCY"})
            keys << QLatin1String(name) + QString::number(i);
    }
    keys.sort();
    return keys;
}

MediaScaleRecord record(int x, int y, int width, int height, int canvasWidth, int canvasHeight, double ratio,
                        int rotation, double startPos, double endPos)
{
    MediaScaleRecord r;
    r.x = x;
    r.y = y;
    r.width = width;
    r.height = height;
    r.canvasWidth = canvasWidth;
    r.canvasHeight = canvasHeight;
    r.ratio = ratio;
    r.rotation = rotation;
    r.startPos = startPos;
    r.endPos = endPos;
    return r;
}

} // namespace

class TestSettingsStore final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString folder() const { return m_dir->path(); }
    QString settingsPath() const { return AppPaths::settingsFile(); }
    void writeSettings(const QByteArray& text) { writeFile(settingsPath(), text); }

    void installDefaultLibrary()
    {
        for (const char* name : kDefaultLibrary)
            writeFile(folder() + QStringLiteral("/Default/") + QLatin1String(name), "GIF89a");
    }

    QString backgroundFile(const QString& name)
    {
        const QString path = folder() + QStringLiteral("/Background/") + name;
        writeFile(path, "picture");
        return path;
    }

    // A state in which every persisted value differs from its default.
    SettingsState busyState()
    {
        installDefaultLibrary();
        SettingsState state;
        resetMediaLibrary(state);
        state.isPrivacyPolicyAgree = 1;
        state.applyLanguage = 3;
        state.temperUnit = 1;
        state.applyBacklight = 37;
        state.applyBgCycleMode = 2;
        state.applyStyleMode = 2;
        state.bgDirection = 1;
        state.sleepMode = 1;
        state.screenSwitch = false;
        state.currentMediaIndex = 5;
        backgroundFile(QStringLiteral("sunset.png"));
        state.mediaPaths << QStringLiteral("sunset.png");
        state.mediaRecords << record(-12, 7, 800, 480, 1600, 960, 0.333333, 90, 0, 1);
        const QString clip = backgroundFile(QStringLiteral("clip.mp4"));
        state.mediaPaths << clip;
        state.mediaRecords << record(0, 0, 480, 800, 480, 800, 1, 0, 0.25, 0.75);
        for (int i = 0; i < kOverlayItemSlots; ++i) {
            OverlayItem& item = state.overlayItems[size_t(i)];
            item.hardwareName = QStringLiteral("GPU [#%1]: Radeon, \"XT\"").arg(i);
            item.sensorName = QStringLiteral("Hot Spot %1 °C").arg(i);
            item.titleColor = QColor(0x12, 0x34, 0x56 + i);
            item.contentColor = QColor(0xab, 0xcd, 0xef - i);
            item.titleFont = QFont(QStringLiteral("Roboto Condensed"), 22 + i, 63, true);
            item.contentFont = QFont(QStringLiteral("Inter"), 31 + i, 25);
            item.enable = i % 2 == 0;
            state.overlayPositions.titlePositionsH[size_t(i)] = QPoint(10 + i, 20 + i);
            state.overlayPositions.contentPositionsH[size_t(i)] = QPoint(30 + i, 40 + i);
            state.overlayPositions.titlePositionsV[size_t(i)] = QPoint(50 + i, 60 + i);
            state.overlayPositions.contentPositionsV[size_t(i)] = QPoint(70 + i, 80 + i);
        }
        return state;
    }

    void compareStates(const SettingsState& loaded, const SettingsState& saved)
    {
        QCOMPARE(loaded.isPrivacyPolicyAgree, saved.isPrivacyPolicyAgree);
        QCOMPARE(loaded.applyLanguage, saved.applyLanguage);
        QCOMPARE(loaded.temperUnit, saved.temperUnit);
        QCOMPARE(loaded.applyBacklight, saved.applyBacklight);
        QCOMPARE(loaded.applyBgCycleMode, saved.applyBgCycleMode);
        QCOMPARE(loaded.applyStyleMode, saved.applyStyleMode);
        QCOMPARE(loaded.bgDirection, saved.bgDirection);
        QCOMPARE(loaded.sleepMode, saved.sleepMode);
        QCOMPARE(loaded.screenSwitch, saved.screenSwitch);
        QCOMPARE(loaded.currentMediaIndex, saved.currentMediaIndex);
        QCOMPARE(loaded.mediaPaths, saved.mediaPaths);
        QCOMPARE(loaded.mediaRecords.size(), saved.mediaRecords.size());
        for (int i = 0; i < saved.mediaRecords.size(); ++i)
            QVERIFY2(loaded.mediaRecords.at(i) == saved.mediaRecords.at(i), qPrintable(QString::number(i)));
        for (int i = 0; i < kOverlayItemSlots; ++i) {
            const OverlayItem& a = loaded.overlayItems[size_t(i)];
            const OverlayItem& b = saved.overlayItems[size_t(i)];
            QCOMPARE(a.hardwareName, b.hardwareName);
            QCOMPARE(a.sensorName, b.sensorName);
            QCOMPARE(a.titleColor, b.titleColor);
            QCOMPARE(a.contentColor, b.contentColor);
            QCOMPARE(a.titleFont.toString(), b.titleFont.toString());
            QCOMPARE(a.contentFont.toString(), b.contentFont.toString());
            QCOMPARE(a.enable, b.enable);
        }
        QVERIFY(loaded.overlayPositions == saved.overlayPositions);
    }

    // The landscape and portrait Y of the default layout, the same for every font.
    void verifyDefaultLayoutRows(const OverlayPositions& p)
    {
        const int titleH[] = {12, 12, 83, 83};
        const int contentH[] = {25, 25, 96, 96};
        const int titleV[] = {21, 61, 101, 141};
        const int contentV[] = {34, 74, 114, 154};
        for (size_t i = 0; i < size_t(kOverlayItemSlots); ++i) {
            QCOMPARE(p.titlePositionsH[i].y(), titleH[i]);
            QCOMPARE(p.contentPositionsH[i].y(), contentH[i]);
            QCOMPARE(p.titlePositionsV[i].y(), titleV[i]);
            QCOMPARE(p.contentPositionsV[i].y(), contentV[i]);
        }
    }

private slots:
    void initTestCase()
    {
        familyMiSansRegular = QStringLiteral("Inter");
        // As the program does: the overlays lay out items without stored positions, measuring
        // their titles with the remarks of the store's remark file.
        prepareStoreHook = [](SettingsStore& store) {
            remarkStore = store.remarkSettings();
            store.setDefaultOverlayLayout(&applyDefaultOverlayLayout);
        };
    }

    void cleanupTestCase() { remarkStore = nullptr; }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        AppPaths::setProgramFolder(m_dir->path());
        useFahrenheit.store(true);
    }

    void cleanup()
    {
        remarkStore = nullptr;
        makeWritable(folder());
        makeFileWritable(settingsPath());
        m_dir.reset();
        AppPaths::setProgramFolder(QString());
    }

    // A file that gives nothing usable starts the program as on the very first launch, and the
    // first save writes a complete file with all 30 media slots.
    void unusableFileStartsWithDefaults_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("exists");
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("empty") << QByteArray() << true;
        QByteArray garbage;
        for (int i = 0; i < 8192; ++i)
            garbage.append(char((i * 7919 + 13) % 256));
        QTest::newRow("binary garbage") << garbage << true;
        QTest::newRow("not UTF-8") << QByteArray("[General]\n\xff\xfe\xc3(=\xa0\xa1\nHwHardwareName9=\xe9t\xe9\n")
                                   << true;
        QTest::newRow("unparsable values")
            << QByteArray("[General]\nApplyBgCycleMode=one\nApplyStyleMode=0x10\nbgDirection=1.5\nbgMaxCount=lots\n"
                          "SleepMode=off\ntemperUnit=\nApplyBgID=1e3\n")
            << true;
        QTest::newRow("other sections only")
            << QByteArray("[Window]\nApplyBacklight=5\n[Other]\nbgMaxCount=3\n") << true;
    }

    void unusableFileStartsWithDefaults()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, exists);
        installDefaultLibrary();
        if (exists)
            writeSettings(content);

        SettingsStore store;
        store.openSettingsFiles();
        prepareStore(store);
        SettingsState state;
        state.mediaPaths << QStringLiteral("left over");
        store.loadConfig(state);

        QCOMPARE(state.isPrivacyPolicyAgree, 0);
        QCOMPARE(state.applyLanguage, languageForCountry(QLocale::system().country()));
        QCOMPARE(state.applyBacklight, 100);
        QCOMPARE(state.applyBgCycleMode, 0);
        QCOMPARE(state.applyStyleMode, 0);
        QCOMPARE(state.bgDirection, 0);
        QCOMPARE(state.sleepMode, 0);
        QCOMPARE(state.screenSwitch, true);
        QCOMPARE(state.temperUnit, 0);
        QCOMPARE(useFahrenheit.load(), false);
        QCOMPARE(state.currentMediaIndex, 0);
        QCOMPARE(state.mediaPaths, state.defaultMediaPaths);
        QCOMPARE(state.mediaPaths.size(), 4);
        for (int i = 0; i < kOverlayItemSlots; ++i) {
            const OverlayItem& item = state.overlayItems[size_t(i)];
            QCOMPARE(item.hardwareName, QStringLiteral("Default Sensor"));
            QCOMPARE(item.enable, false);
            QCOMPARE(item.titleColor, QColor(Qt::white));
        }
        verifyDefaultLayoutRows(state.overlayPositions);

        store.saveAppConfig(state);
        QVERIFY(store.lastSaveSucceeded());
        // Keys the program does not know are kept; its own are all there.
        const QStringList keys = storedKeys(settingsPath());
        for (const QString& name : fullKeySet())
            QVERIFY2(keys.contains(name), qPrintable(name));
        QSettings written(settingsPath(), QSettings::IniFormat);
        QCOMPARE(written.value(QStringLiteral("bgMaxCount")).toInt(), 30);
        for (int i = 0; i < kStoredMediaSlots; ++i) {
            QCOMPARE(written.value(QStringLiteral("bgPath%1").arg(i)).toString(), QString());
            QCOMPARE(written.value(QStringLiteral("bgScaleEp%1").arg(i)).toString(), QStringLiteral("1"));
        }
        compareStates(loadState(), state);
    }

    // Clamps and defaults of the application keys, each stored on its own.
    void applicationKeys_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<Field>("field");
        QTest::addColumn<int>("expected");
        const Field backlight = [](const SettingsState& s) { return s.applyBacklight; };
        const Field mediaIndex = [](const SettingsState& s) { return s.currentMediaIndex; };
        const Field language = [](const SettingsState& s) { return s.applyLanguage; };
        const Field cycle = [](const SettingsState& s) { return s.applyBgCycleMode; };
        const Field sleep = [](const SettingsState& s) { return s.sleepMode; };
        const Field unit = [](const SettingsState& s) { return s.temperUnit; };
        const Field screen = [](const SettingsState& s) { return int(s.screenSwitch); };
        const Field style = [](const SettingsState& s) { return s.applyStyleMode; };
        QTest::newRow("backlight 150 is capped") << QByteArray("ApplyBacklight=150") << backlight << 100;
        QTest::newRow("backlight -3 becomes 50") << QByteArray("ApplyBacklight=-3") << backlight << 50;
        QTest::newRow("backlight empty keeps 100") << QByteArray("ApplyBacklight=") << backlight << 100;
        QTest::newRow("backlight 0 stays") << QByteArray("ApplyBacklight=0") << backlight << 0;
        QTest::newRow("backlight huge is capped")
            << QByteArray("ApplyBacklight=99999999999999999999") << backlight << 100;
        QTest::newRow("backlight hugely negative") << QByteArray("ApplyBacklight=-4294967296") << backlight << 50;
        QTest::newRow("backlight not a number") << QByteArray("ApplyBacklight=bright") << backlight << 0;
        QTest::newRow("media index with an empty library becomes 0") << QByteArray("ApplyBgID=15") << mediaIndex << 0;
        QTest::newRow("language 4 becomes 0") << QByteArray("ApplyLanguage=4") << language << 0;
        QTest::newRow("language -1 becomes 0") << QByteArray("ApplyLanguage=-1") << language << 0;
        QTest::newRow("language 3 stays") << QByteArray("ApplyLanguage=3") << language << 3;
        QTest::newRow("cycle mode 3 becomes 0") << QByteArray("ApplyBgCycleMode=3") << cycle << 0;
        QTest::newRow("cycle mode 2 stays") << QByteArray("ApplyBgCycleMode=2") << cycle << 2;
        QTest::newRow("standby 2 becomes 0") << QByteArray("SleepMode=2") << sleep << 0;
        QTest::newRow("standby empty is 0") << QByteArray("SleepMode=") << sleep << 0;
        QTest::newRow("standby 1 stays") << QByteArray("SleepMode=1") << sleep << 1;
        QTest::newRow("unit 5 means Fahrenheit") << QByteArray("temperUnit=5") << unit << 1;
        QTest::newRow("unit 0 means Celsius") << QByteArray("temperUnit=0") << unit << 0;
        QTest::newRow("style mode kept as stored") << QByteArray("ApplyStyleMode=7") << style << 7;
        QTest::newRow("screen empty is on") << QByteArray("screenSwitch=") << screen << 1;
        QTest::newRow("screen false") << QByteArray("screenSwitch=false") << screen << 0;
        QTest::newRow("screen FALSE") << QByteArray("screenSwitch=FALSE") << screen << 0;
        QTest::newRow("screen 0") << QByteArray("screenSwitch=0") << screen << 0;
        QTest::newRow("screen any other text") << QByteArray("screenSwitch=no") << screen << 1;
    }

    void applicationKeys()
    {
        QFETCH(QByteArray, line);
        QFETCH(Field, field);
        QFETCH(int, expected);
        writeSettings("[General]\nisPrivacyPolicyAgree=1\n" + line + "\n");
        const SettingsState state = loadState();
        QCOMPARE(field(state), expected);
        QCOMPARE(useFahrenheit.load(), state.temperUnit != 0);
    }

    void firstLaunchLanguage_data()
    {
        QTest::addColumn<int>("country");
        QTest::addColumn<int>("expected");
        QTest::newRow("China") << int(QLocale::China) << 1;
        QTest::newRow("Japan") << int(QLocale::Japan) << 2;
        QTest::newRow("South Korea") << int(QLocale::SouthKorea) << 3;
        QTest::newRow("Taiwan") << int(QLocale::Taiwan) << 0;
        QTest::newRow("North Korea") << int(QLocale::NorthKorea) << 0;
        QTest::newRow("Germany") << int(QLocale::Germany) << 0;
        QTest::newRow("no country") << int(QLocale::AnyCountry) << 0;
    }

    void firstLaunchLanguage()
    {
        QFETCH(int, country);
        QFETCH(int, expected);
        QCOMPARE(languageForCountry(QLocale::Country(country)), expected);
    }

    // Until the first launch has completed the stored language is not used.
    void firstLaunchIgnoresStoredLanguage()
    {
        writeSettings("[General]\nApplyLanguage=2\nisPrivacyPolicyAgree=0\n");
        QCOMPARE(loadState().applyLanguage, languageForCountry(QLocale::system().country()));
        // (A different length, so Qt's cache of the file sees the change within the same second.)
        writeSettings("[General]\nApplyLanguage=2\nisPrivacyPolicyAgree=01\n");
        QCOMPARE(loadState().applyLanguage, 2);
    }

    void mediaSlots()
    {
        installDefaultLibrary();
        backgroundFile(QStringLiteral("bare.png"));
        const QString absolute = backgroundFile(QStringLiteral("absolute.gif"));
        writeSettings(QStringLiteral("[General]\nbgMaxCount=5\n"
                                     // a bare name that lives in the Background folder
                                     "bgPath0=bare.png\nbgScaleW0=800\nbgScaleH0=480\nbgScaleCW0=1000\n"
                                     "bgScaleX0=-4\nbgScaleY0=9\nbgScaleRt0=1.5\nbgScaleRo0=180\n"
                                     // missing file: dropped
                                     "bgPath1=gone.png\nbgScaleW1=800\nbgScaleH1=480\n"
                                     // empty slot
                                     "bgPath2=\nbgScaleW2=480\n"
                                     // absolute path, canvas of its own, trim range
                                     "bgPath3=%1\nbgScaleW3=480\nbgScaleH3=800\nbgScaleCW3=960\nbgScaleCH3=1600\n"
                                     "bgScaleSp3=0.125\nbgScaleEp3=0.5\nbgScaleRt3=0.5\n"
                                     // no trim keys at all
                                     "bgPath4=bare.png\nbgScaleW4=480\nbgScaleH4=800\n"
                                     // beyond bgMaxCount: not read
                                     "bgPath5=bare.png\n")
                          .arg(absolute)
                          .toUtf8());
        const SettingsState state = loadState();

        QStringList expectedPaths = state.defaultMediaPaths;
        expectedPaths << QStringLiteral("bare.png") << absolute << QStringLiteral("bare.png");
        QCOMPARE(state.mediaPaths, expectedPaths);
        QCOMPARE(state.mediaRecords.size(), 7);
        // bgScaleCW without bgScaleCH: both come from the output size.
        QVERIFY(state.mediaRecords.at(4) == record(-4, 9, 800, 480, 800, 480, 1.5, 180, 0, 1));
        QVERIFY(state.mediaRecords.at(5) == record(0, 0, 480, 800, 960, 1600, 0.5, 0, 0.125, 0.5));
        QVERIFY(state.mediaRecords.at(6) == record(0, 0, 480, 800, 480, 800, 0, 0, 0, 1));
        for (int i = 0; i < 4; ++i)
            QCOMPARE(state.mediaPaths.at(i),
                     folder() + QStringLiteral("/Default/") + QLatin1String(kDefaultLibrary[i]));
        QVERIFY(state.mediaRecords.at(0) == record(0, 0, 800, 480, 800, 480, 1, 0, 0, 1));
        QVERIFY(state.mediaRecords.at(1) == record(0, 0, 480, 800, 480, 800, 1, 0, 0, 1));
    }

    // A relative name is looked up in the Background folder only, wherever the program started.
    void relativeNameIsNotTakenFromTheWorkingFolder()
    {
        QTemporaryDir elsewhere;
        writeFile(elsewhere.path() + QStringLiteral("/stray.png"), "picture");
        const QString previous = QDir::currentPath();
        QDir::setCurrent(elsewhere.path());
        writeSettings("[General]\nbgMaxCount=1\nbgPath0=stray.png\nbgScaleW0=800\nbgScaleH0=480\n");
        const SettingsState state = loadState();
        QDir::setCurrent(previous);
        QVERIFY(state.mediaPaths.isEmpty());
    }

    // The applied position is kept when the loaded library has it, whatever its size.
    void storedIndexMustNameALoadedItem_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("position 16 of 20 items stays") << 16 << 16;
        QTest::newRow("the last of 20 items stays") << 19 << 19;
        QTest::newRow("position 20 of 20 items becomes 0") << 20 << 0;
        QTest::newRow("-1 becomes 0") << -1 << 0;
    }
    void storedIndexMustNameALoadedItem()
    {
        QFETCH(int, stored);
        QFETCH(int, expected);
        QByteArray text = "[General]\nApplyBgID=" + QByteArray::number(stored) + "\nbgMaxCount=20\n";
        for (int i = 0; i < 20; ++i) {
            backgroundFile(QStringLiteral("item%1.png").arg(i));
            text += QStringLiteral("bgPath%1=item%1.png\nbgScaleW%1=800\nbgScaleH%1=480\n").arg(i).toUtf8();
        }
        writeSettings(text);
        const SettingsState state = loadState();
        QCOMPARE(state.mediaPaths.size(), 20);
        QCOMPARE(state.currentMediaIndex, expected);
    }

    // Default items are never stored; user items keep their positions; every item is written.
    void savedLibrary()
    {
        installDefaultLibrary();
        SettingsState state;
        resetMediaLibrary(state);
        for (int i = 0; i < 27; ++i) {
            backgroundFile(QStringLiteral("user%1.png").arg(i));
            state.mediaPaths << QStringLiteral("user%1.png").arg(i);
            state.mediaRecords << record(i, -i, 800, 480, 800 + i, 480, 1.25, 0, 0, 1);
        }
        QCOMPARE(state.mediaPaths.size(), 31);
        SettingsStore store;
        store.openSettingsFiles();
        prepareStore(store);
        store.saveMediaConfig(state);

        QSettings written(settingsPath(), QSettings::IniFormat);
        QCOMPARE(written.value(QStringLiteral("bgMaxCount")).toInt(), 31);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(written.value(QStringLiteral("bgPath%1").arg(i)).toString(), QString());
            QCOMPARE(written.value(QStringLiteral("bgScaleW%1").arg(i)).toInt(), 0);
        }
        QCOMPARE(written.value(QStringLiteral("bgPath4")).toString(), QStringLiteral("user0.png"));
        QCOMPARE(written.value(QStringLiteral("bgPath30")).toString(), QStringLiteral("user26.png"));
        QVERIFY(!written.contains(QStringLiteral("bgPath31")));

        const SettingsState loaded = loadState();
        QCOMPARE(loaded.mediaPaths, state.mediaPaths);
        QVERIFY(loaded.mediaRecords.at(30) == state.mediaRecords.at(30));

        // A shorter library later: bgMaxCount goes back to 30 and the slot past it is gone.
        SettingsState shorter = loaded;
        shorter.mediaPaths = shorter.mediaPaths.mid(0, 10);
        shorter.mediaRecords = shorter.mediaRecords.mid(0, 10);
        store.saveMediaConfig(shorter);
        QSettings rewritten(settingsPath(), QSettings::IniFormat);
        QCOMPARE(rewritten.value(QStringLiteral("bgMaxCount")).toInt(), 30);
        QVERIFY(!rewritten.contains(QStringLiteral("bgPath30")));
        QCOMPARE(rewritten.value(QStringLiteral("bgPath29")).toString(), QString());
    }

    // A default item that is not at its own position (the defaults changed) is stored like any item.
    void defaultItemOutOfPlaceIsStored()
    {
        installDefaultLibrary();
        SettingsState state;
        resetMediaLibrary(state);
        state.mediaPaths.swapItemsAt(0, 1);
        SettingsStore store;
        store.openSettingsFiles();
        prepareStore(store);
        store.saveMediaConfig(state);
        QSettings written(settingsPath(), QSettings::IniFormat);
        QCOMPARE(written.value(QStringLiteral("bgPath0")).toString(), state.mediaPaths.at(0));
        QCOMPARE(written.value(QStringLiteral("bgPath2")).toString(), QString());
    }

    void overlayValues_data()
    {
        QTest::addColumn<QByteArray>("lines");
        QTest::addColumn<QColor>("titleColor");
        QTest::addColumn<bool>("enable");
        QTest::newRow("colour with alpha loads opaque")
            << QByteArray("HwTColor0=80ff0000") << QColor(255, 0, 0) << false;
        QTest::newRow("colour without alpha part") << QByteArray("HwTColor0=ff00") << QColor(0, 255, 0) << false;
        QTest::newRow("colour that is no hex") << QByteArray("HwTColor0=red") << QColor(0, 0, 0) << false;
        QTest::newRow("enable true") << QByteArray("HwEnable0=true") << QColor(Qt::white) << true;
        QTest::newRow("enable 1") << QByteArray("HwEnable0=1") << QColor(Qt::white) << true;
        QTest::newRow("enable False") << QByteArray("HwEnable0=False") << QColor(Qt::white) << false;
        QTest::newRow("enable empty") << QByteArray("HwEnable0=") << QColor(Qt::white) << false;
    }

    void overlayValues()
    {
        QFETCH(QByteArray, lines);
        QFETCH(QColor, titleColor);
        QFETCH(bool, enable);
        writeSettings("[General]\n" + lines + "\n");
        const OverlayItem item = loadState().overlayItems[0];
        QCOMPARE(item.titleColor, titleColor);
        QCOMPARE(item.titleColor.alpha(), 255);
        QCOMPARE(item.enable, enable);
    }

    void fonts_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("pointSize");
        QTest::newRow("font description") << QByteArray("HwTFont0=\"Roboto,18,-1,5,75,1,0,0,0,0\"") << "Roboto" << 18;
        QTest::newRow("unquoted commas") << QByteArray("HwTFont0=Roboto,18,-1,5,75,1,0,0,0,0") << "Roboto" << 18;
        QTest::newRow("empty keeps the default") << QByteArray("HwTFont0=") << "Inter" << 40;
        QTest::newRow("wrong field count keeps the default") << QByteArray("HwTFont0=\"a,1,2,3,4\"") << "Inter" << 40;
        QTest::newRow("absurd size keeps the default")
            << QByteArray("HwTFont0=\"Roboto,1e9,-1,5,75,1,0,0,0,0\"") << "Inter" << 40;
    }

    void fonts()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, family);
        QFETCH(int, pointSize);
        writeSettings("[General]\n" + stored + "\n");
        const OverlayItem item = loadState().overlayItems[0];
        QCOMPARE(item.titleFont.family(), family);
        QCOMPARE(item.titleFont.pointSize(), pointSize);
        QCOMPARE(item.contentFont.pointSize(), 60);
        QCOMPARE(item.contentFont.weight(), 75);
    }

    void defaultOverlayItems()
    {
        const char* const names[] = {"CPU Temp", "GPU Temp", "CPU Usage", "RAM Usage"};
        for (int i = 0; i < kOverlayItemSlots; ++i) {
            const OverlayItem item = defaultOverlayItem(i);
            QCOMPARE(item.sensorName, QLatin1String(names[i]));
            QCOMPARE(item.titleFont.family(), QStringLiteral("Inter"));
            QCOMPARE(item.titleFont.pointSize(), 40);
            QCOMPARE(item.titleFont.weight(), 57);
            QCOMPARE(item.contentFont.pointSize(), 60);
            QCOMPARE(item.contentFont.weight(), 75);
        }
    }

    // The default layout centres each label on its text: the same content text sits 100 preview
    // pixels further right in the right half, and at the same X in every portrait row.
    void defaultLayoutCentresTexts()
    {
        const OverlayPositions p = loadState().overlayPositions;
        verifyDefaultLayoutRows(p);
        QCOMPARE(p.contentPositionsH[1].x() - p.contentPositionsH[0].x(), 100);
        QCOMPARE(p.contentPositionsH[3].x() - p.contentPositionsH[2].x(), 100);
        for (size_t i = 1; i < size_t(kOverlayItemSlots); ++i)
            QCOMPARE(p.contentPositionsV[i].x(), p.contentPositionsV[0].x());
        const int contentWidth = int(QFontMetrics(defaultOverlayItem(0).contentFont)
                                         .horizontalAdvance(readingFor(QString(), QString()).valueText) *
                                     previewScale);
        QVERIFY(p.contentPositionsV[0].x() > 0);
        QVERIFY(qAbs(2 * p.contentPositionsV[0].x() + contentWidth - 120) <= 1);
    }

    // The title is measured as it is shown: a remark replaces the sensor name.
    void defaultLayoutMeasuresTheRemark()
    {
        const int plainX = loadState().overlayPositions.titlePositionsV[0].x();
        QSettings remarks(AppPaths::remarkFile(), QSettings::IniFormat);
        remarks.setValue(QStringLiteral("Default Sensor/CPU Temp"), QStringLiteral("Processor package temperature"));
        remarks.sync();
        const int remarkX = loadState().overlayPositions.titlePositionsV[0].x();
        QVERIFY2(remarkX != plainX, qPrintable(QStringLiteral("%1 %2").arg(plainX).arg(remarkX)));
    }

    // Stored positions replace the default layout pair by pair; a stored sensor name without
    // positions leaves them at the origin.
    void storedPositions()
    {
        writeSettings("[General]\nHwHTX0=7\nHwHTY0=8\nHwHCX0=9\n"
                      "HwSensorName1=Fan\nHwVTX1=30\nHwVTY1=40\n"
                      "HwSensorName2=Load\nHwHTX2=5000\nHwHTY2=-20\nHwVCX2=119\nHwVCY2=201\n");
        const OverlayPositions p = loadState().overlayPositions;
        QCOMPARE(p.titlePositionsH[0], QPoint(7, 8));
        QCOMPARE(p.contentPositionsH[0].y(), 25); // only X stored: default kept
        QCOMPARE(p.titlePositionsV[1], QPoint(30, 40));
        QCOMPARE(p.titlePositionsH[1], QPoint(0, 0));
        QCOMPARE(p.contentPositionsV[1], QPoint(0, 0));
        // Out of the preview: moved back to its edge.
        QCOMPARE(p.titlePositionsH[2], QPoint(200, 0));
        QCOMPARE(p.contentPositionsV[2], QPoint(119, 200));
    }

    // Hand-edited records with values no dialog produces stay within what rendering can take.
    void oversizedRecordsAreBounded()
    {
        backgroundFile(QStringLiteral("a.png"));
        writeSettings("[General]\nbgMaxCount=2147483647\nbgPath0=a.png\nbgScaleW0=99999999999\nbgScaleH0=-5\n"
                      "bgScaleRt0=1e300\nbgScaleSp0=-2\nbgScaleEp0=nan\nbgScaleCW0=70000\nbgScaleCH0=480\n"
                      "bgPath1=a.png\nbgScaleRt1=-inf\nbgScaleEp1=7\n");
        const SettingsState state = loadState();
        QCOMPARE(state.mediaRecords.size(), 2);
        const MediaScaleRecord& r = state.mediaRecords.at(0);
        QCOMPARE(r.width, 16384);
        QCOMPARE(r.height, 0);
        QCOMPARE(r.canvasWidth, 16384);
        QCOMPARE(r.ratio, 1000.0);
        QCOMPARE(r.startPos, 0.0);
        QCOMPARE(r.endPos, 0.0);
        QCOMPARE(state.mediaRecords.at(1).ratio, 0.0);
        QCOMPARE(state.mediaRecords.at(1).endPos, 1.0);
    }

    void roundTrip()
    {
        const SettingsState state = busyState();
        SettingsStore store;
        store.openSettingsFiles();
        prepareStore(store);
        store.saveAppConfig(state);
        QVERIFY(store.lastSaveSucceeded());
        QCOMPARE(storedKeys(settingsPath()), fullKeySet());
        compareStates(loadState(), state);
        QCOMPARE(useFahrenheit.load(), true);
    }

    void singleKeyWriters_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::newRow("language") << 0 << "ApplyLanguage"
                                  << "2";
        QTest::newRow("temperature unit") << 1 << "temperUnit"
                                          << "1";
        QTest::newRow("screen switch") << 2 << "screenSwitch"
                                       << "false";
        QTest::newRow("standby") << 3 << "SleepMode"
                                 << "1";
    }

    // Each writer changes its value in memory and on disk at once, leaving the other keys alone.
    void singleKeyWriters()
    {
        QFETCH(int, which);
        QFETCH(QString, key);
        QFETCH(QString, text);
        writeSettings("[General]\nisPrivacyPolicyAgree=1\nApplyBacklight=42\n");
        SettingsStore store;
        store.openSettingsFiles();
        prepareStore(store);
        SettingsState state;
        store.loadConfig(state);
        switch (which) {
        case 0:
            store.saveLanguage(state, 2);
            QCOMPARE(state.applyLanguage, 2);
            break;
        case 1:
            store.saveTemperUnit(state, 1);
            QCOMPARE(state.temperUnit, 1);
            break;
        case 2:
            store.saveScreenSwitch(state, false);
            QCOMPARE(state.screenSwitch, false);
            break;
        default:
            store.saveSleepMode(state, 1);
            QCOMPARE(state.sleepMode, 1);
            break;
        }
        QSettings written(settingsPath(), QSettings::IniFormat);
        QCOMPARE(written.value(key).toString(), text);
        QCOMPARE(written.value(QStringLiteral("ApplyBacklight")).toString(), QStringLiteral("42"));
        QCOMPARE(written.allKeys().size(), 3);
    }

    // A full save after a single-key write keeps the single key's value.
    void fullSaveKeepsSingleKeyValue()
    {
        SettingsStore store;
        store.openSettingsFiles();
        prepareStore(store);
        SettingsState state;
        store.loadConfig(state);
        store.saveScreenSwitch(state, false);
        store.saveAppConfig(state);
        QCOMPARE(loadState().screenSwitch, false);
    }

    // Another INI reader sees the values this program wrote (Qt's quoting of texts with commas,
    // quotes or backslashes undone, as any reader of Qt's files does).
    void plainIniReaderAgrees()
    {
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty())
            VORTANE_SKIP("python3 is not installed");
        SettingsState state = busyState();
        const QString odd = backgroundFile(QStringLiteral("Urlaub, 2024 \"Ålesund\" 夕焼け.png"));
        state.mediaPaths << odd;
        state.mediaRecords << record(3, 4, 800, 480, 801, 481, 2.5, 270, 0.1, 0.9);
        SettingsStore store;
        store.openSettingsFiles();
        prepareStore(store);
        store.saveAppConfig(state);

        QProcess reader;
        const QString script = QFINDTESTDATA("read_ini.py");
        QVERIFY(!script.isEmpty());
        reader.start(python, {script, settingsPath()});
        QVERIFY(reader.waitForFinished(30000));
        QVERIFY2(reader.exitCode() == 0, reader.readAllStandardError().constData());
        const QJsonObject values = QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
        QCOMPARE(values.size(), fullKeySet().size());

        QSettings written(settingsPath(), QSettings::IniFormat);
        written.setIniCodec("UTF-8");
        for (const QString& name : written.allKeys())
            QCOMPARE(values.value(name).toString(), written.value(name).toString());
        // And the texts are the encodings the program promises.
        QCOMPARE(values.value(QStringLiteral("bgPath6")).toString(), odd);
        QCOMPARE(values.value(QStringLiteral("bgScaleRt4")).toString(), QStringLiteral("0.333333"));
        QCOMPARE(values.value(QStringLiteral("bgScaleSp6")).toString(), QStringLiteral("0.1"));
        QCOMPARE(values.value(QStringLiteral("HwTColor0")).toString(), QStringLiteral("ff123456"));
        QCOMPARE(values.value(QStringLiteral("HwEnable0")).toString(), QStringLiteral("true"));
        QCOMPARE(values.value(QStringLiteral("HwTFont1")).toString(), state.overlayItems[1].titleFont.toString());
        QCOMPARE(values.value(QStringLiteral("HwHardwareName2")).toString(), state.overlayItems[2].hardwareName);
        QCOMPARE(values.value(QStringLiteral("bgMaxCount")).toString(), QStringLiteral("30"));
    }

    // A file cut off in the middle of a save by another program: what it holds is used, the rest
    // defaults, and the next save writes the whole file again.
    void halfWrittenFile()
    {
        const SettingsState state = busyState();
        {
            SettingsStore store;
            store.openSettingsFiles();
            prepareStore(store);
            store.saveAppConfig(state);
        }
        const QByteArray whole = readFile(settingsPath());
        const int cut = whole.indexOf("\nbgScaleRt0=") + 6; // mid-key, in the media slots
        QVERIFY(cut > 6);
        writeSettings(whole.left(cut));

        SettingsStore store;
        store.openSettingsFiles();
        prepareStore(store);
        SettingsState loaded;
        store.loadConfig(loaded);
        // Kept: the keys written before the cut (Qt writes them sorted, capitals first).
        QCOMPARE(loaded.applyBacklight, 37);
        QCOMPARE(loaded.currentMediaIndex, 5);
        QCOMPARE(loaded.overlayItems[3].hardwareName, state.overlayItems[3].hardwareName);
        QCOMPARE(loaded.mediaPaths, state.mediaPaths);
        // Lost with the tail: defaults.
        QCOMPARE(loaded.mediaRecords.at(4).ratio, 0.0);
        QCOMPARE(loaded.isPrivacyPolicyAgree, 0);
        QCOMPARE(loaded.temperUnit, 0);
        QCOMPARE(loaded.screenSwitch, true);
        store.saveAppConfig(loaded);
        QCOMPARE(storedKeys(settingsPath()), fullKeySet());
        compareStates(loadState(), loaded);
    }

    // A file the program cannot read is set aside, not lost, and a complete file replaces it.
    void unreadableFile()
    {
        QDir().mkpath(settingsPath()); // a folder where the file should be
        writeFile(settingsPath() + QStringLiteral("/note"), "kept");
        SettingsStore store;
        store.openSettingsFiles();
        prepareStore(store);
        SettingsState state;
        store.loadConfig(state);
        QCOMPARE(state.applyBacklight, 100);
        store.saveAppConfig(state);
        QVERIFY(store.lastSaveSucceeded());
        QVERIFY(QFileInfo(settingsPath()).isFile());
        QCOMPARE(storedKeys(settingsPath()), fullKeySet());
        QCOMPARE(readFile(settingsPath() + QStringLiteral(".unreadable/note")), QByteArray("kept"));
    }

    // Neither a read-only folder nor a read-only file stops the program or leaves a partial
    // file; once writing is possible again the values in memory are saved.
    void readOnlyStorage_data()
    {
        QTest::addColumn<bool>("wholeFolder");
        QTest::newRow("read-only folder") << true;
        QTest::newRow("read-only file") << false;
    }

    void readOnlyStorage()
    {
        QFETCH(bool, wholeFolder);
        writeSettings("[General]\nisPrivacyPolicyAgree=1\nApplyBacklight=42\n");
        const QByteArray before = readFile(settingsPath());
        SettingsStore store;
        store.openSettingsFiles();
        prepareStore(store);
        SettingsState state;
        store.loadConfig(state);
        QCOMPARE(state.applyBacklight, 42);
        if (wholeFolder ? !makeReadOnly(folder()) : !makeFileReadOnly(settingsPath()))
            QSKIP("cannot make storage read-only here");

        state.applyBacklight = 64;
        store.saveAppConfig(state);
        store.saveLanguage(state, 3);
        QVERIFY(!store.lastSaveSucceeded());
        QCOMPARE(readFile(settingsPath()), before);
        const QStringList leftovers =
            QDir(folder()).entryList({QStringLiteral("bgConfig.ini*")}, QDir::Files | QDir::Hidden | QDir::Dirs);
        QCOMPARE(leftovers, QStringList{QStringLiteral("bgConfig.ini")});

        makeWritable(folder());
        makeFileWritable(settingsPath());
        store.saveSleepMode(state, 1);
        QVERIFY(store.lastSaveSucceeded());
        const SettingsState reloaded = loadState();
        QCOMPARE(reloaded.applyBacklight, 64);
        QCOMPARE(reloaded.applyLanguage, 3);
        QCOMPARE(reloaded.sleepMode, 1);
        QCOMPARE(storedKeys(settingsPath()), fullKeySet());
    }

    // A program killed just while it took the save lock leaves an empty lock file; it must not
    // hold the next saves back (Qt would wait half a minute for it to age).
    void ownerlessLockIsCleared()
    {
        writeFile(settingsPath() + QStringLiteral(".lock"), QByteArray());
        SettingsStore store;
        store.openSettingsFiles();
        prepareStore(store);
        QVERIFY(!QFileInfo::exists(settingsPath() + QStringLiteral(".lock")));
        SettingsState state;
        store.loadConfig(state);
        store.saveAppConfig(state);
        QVERIFY(store.lastSaveSucceeded());
    }

    // The store's remark file is sensorRemark.ini in UTF-8; handed to the catalogue, a remark written
    // through it names the sensor and is on disk when the store goes.
    void remarkFileReachesTheCatalogue()
    {
        {
            SettingsStore store;
            store.openSettingsFiles();
            QSettings* remarks = store.remarkSettings();
            QVERIFY(remarks != nullptr);
            QCOMPARE(remarks->fileName(), AppPaths::remarkFile());
            QCOMPARE(remarks->iniCodec()->name(), QByteArray("UTF-8"));
            remarkStore = remarks;
            remarks->setValue(QStringLiteral("Default Sensor/CPU Temp"), QStringLiteral("Kern 温度"));
            QCOMPARE(displayNameFor(QStringLiteral("Default Sensor"), QStringLiteral("CPU Temp")),
                     QStringLiteral("Kern 温度"));
            remarkStore = nullptr;
        }
        QSettings remarks(AppPaths::remarkFile(), QSettings::IniFormat);
        remarks.setIniCodec("UTF-8");
        QCOMPARE(remarks.value(QStringLiteral("Default Sensor/CPU Temp")).toString(), QStringLiteral("Kern 温度"));
    }
};

QTEST_MAIN(TestSettingsStore)
#include "TestSettingsStore.moc"
