// The simulated screen's window: the panel shows frames as the LCD would (brightness dims,
// 0 is dark) and the labels report the header bytes, the state and the faults, translated.

#include "simulator/ScreenView.h"
#include "simulator/SimulatorCore.h"
#include "simulator/SimulatorWindow.h"
#include "tests/support/TestSupport.h"
#include "tests/support/simulator/SimTestClient.h"

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <memory>

class TestSimulatorWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void brightnessDimsThePanel_data();
    void brightnessDimsThePanel();
    void labelsShowHeaderStateAndFaults();
    void restartIsShownOnThePanel();
    void textsAreTranslated_data();
    void textsAreTranslated();

private:
    QString allLabelText() const;
    void sendFrame(int brightness, int displayMode, int sleepFlag);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<SimulatorCore> m_core;
    std::unique_ptr<SimulatorWindow> m_window;
    std::unique_ptr<SimTest::Client> m_client;
};

void TestSimulatorWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    SimulatorOptions options;
    options.folder = m_dir->path();
    options.name = QStringLiteral("panel");
    options.restartDelayMs = 100;
    options.faults.stallAfterFrames = 1000;
    options.model = 0x0002;
    m_core = std::make_unique<SimulatorCore>(options);
    m_window = std::make_unique<SimulatorWindow>(m_core.get());
    QVERIFY(m_core->start());
    m_client = std::make_unique<SimTest::Client>();
    QVERIFY(m_client->connectTo(m_core->socketPath()));
}

void TestSimulatorWindow::cleanup()
{
    m_client.reset();
    m_window.reset();
    m_core.reset();
    m_dir.reset();
}

QString TestSimulatorWindow::allLabelText() const
{
    QStringList texts;
    for (const QLabel* label : m_window->findChildren<QLabel*>())
        texts << label->text();
    return texts.join('\n');
}

void TestSimulatorWindow::sendFrame(int brightness, int displayMode, int sleepFlag)
{
    const quint64 before = m_core->counters().frames;
    m_client->send(SimTest::frame(SimTest::jpegPicture(QColor(0, 200, 0)), brightness, displayMode, sleepFlag));
    QTRY_COMPARE(m_core->counters().frames, before + 1);
}

void TestSimulatorWindow::brightnessDimsThePanel_data()
{
    QTest::addColumn<int>("brightness");
    QTest::addColumn<int>("minGreen");
    QTest::addColumn<int>("maxGreen");
    QTest::newRow("100: full backlight") << 100 << 185 << 215;
    QTest::newRow("50: half") << 50 << 85 << 115;
    QTest::newRow("10: dim") << 10 << 10 << 30;
    QTest::newRow("0: dark") << 0 << 0 << 0;
}

void TestSimulatorWindow::brightnessDimsThePanel()
{
    QFETCH(int, brightness);
    QFETCH(int, minGreen);
    QFETCH(int, maxGreen);
    sendFrame(brightness, 0, 0);
    const QImage panel = m_window->screenView()->grab().toImage();
    QCOMPARE(panel.size(), QSize(800, 480));
    const QColor background = panel.pixelColor(400, 300);
    QVERIFY2(background.green() >= minGreen && background.green() <= maxGreen,
             qPrintable(QString::number(background.green())));
    QVERIFY(background.red() < 20 && background.blue() < 20);
    // The white square: full white at full backlight, black when dark.
    const int square = qGray(panel.pixel(130, 130));
    if (brightness == 0)
        QCOMPARE(square, 0);
    else
        QVERIFY(square >= brightness * 255 / 100 - 15);
}

void TestSimulatorWindow::labelsShowHeaderStateAndFaults()
{
    sendFrame(70, 1, 1);
    QTRY_VERIFY(allLabelText().contains("digital clock"));
    const QString text = allLabelText();
    QVERIFY2(text.contains("800 x 480, brightness 70, digital clock, standby mode off"), qPrintable(text));
    QVERIFY(text.contains("normal mode"));
    QVERIFY(text.contains("panel, firmware 1.1.3"));
    QVERIFY(text.contains("model bytes 0002"));
    QVERIFY(text.contains("stalls after 1000 frames"));

    sendFrame(0, 2, 0);
    QTRY_VERIFY(allLabelText().contains("brightness 0 (dark), analog clock, standby mode on"));
}

void TestSimulatorWindow::restartIsShownOnThePanel()
{
    sendFrame(100, 0, 0);
    m_client->send(SimTest::restartRequest(0));
    QVERIFY(m_client->readReply());
    QVERIFY(allLabelText().contains("restarting into update mode"));
    // The panel goes dark while the screen is away: no old picture stays on it.
    QCOMPARE(m_window->screenView()->grab().toImage().pixelColor(400, 300).green(), 0);
    QTRY_VERIFY(allLabelText().contains("update mode") && !allLabelText().contains("restarting"));
}

void TestSimulatorWindow::textsAreTranslated_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("title");
    QTest::newRow("CN") << "CN" << QStringLiteral("模拟屏幕：panel");
    QTest::newRow("JP") << "JP" << QStringLiteral("シミュレートされた画面：panel");
    QTest::newRow("KR") << "KR" << QStringLiteral("시뮬레이션 화면: panel");
    QTest::newRow("EN") << "EN" << QStringLiteral("Simulated screen: panel");
}

void TestSimulatorWindow::textsAreTranslated()
{
    QFETCH(QString, language);
    QFETCH(QString, title);
    QTranslator translator;
    QVERIFY(translator.load(TestSupport::programDir() + "/Translator/Translate_" + language + ".qm"));
    QCoreApplication::installTranslator(&translator);
    SimulatorWindow window(m_core.get());
    QCoreApplication::removeTranslator(&translator);
    QCOMPARE(window.windowTitle(), title);
}

QTEST_MAIN(TestSimulatorWindow)
#include "TestSimulatorWindow.moc"
