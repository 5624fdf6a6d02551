// Linux desktop integration: the menu entry and the software-centre description are valid for
// the desktop's own tools and agree with each other, and `cmake --install` lays out a program
// that finds its read-only folders (bin/ beside share/vortane-screen/).

#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

QString packagingFile(const QString& name)
{
    return TestSupport::sourceDir() + QStringLiteral("/packaging/linux/") + name;
}

const QString kDesktopFile = QStringLiteral("vortane-screen.desktop");
const QString kMetainfoFile = QStringLiteral("io.github.vortane.Screen.metainfo.xml");

struct RunResult
{
    int exitCode = -1;
    QString output;
};

RunResult run(const QString& program, const QStringList& arguments, int timeoutMs = 60000)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    RunResult result;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        result.output = QStringLiteral("timed out");
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.output = QString::fromUtf8(process.readAll());
    return result;
}

// The [Desktop Entry] group as key/value pairs (QSettings would split the list values).
QHash<QString, QString> readDesktopEntry(const QString& path)
{
    QHash<QString, QString> entry;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return entry;
    bool inGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inGroup = line == QStringLiteral("[Desktop Entry]");
        else if (inGroup && line.contains(QLatin1Char('=')))
            entry.insert(line.section(QLatin1Char('='), 0, 0), line.section(QLatin1Char('='), 1));
    }
    return entry;
}

} // namespace

class TestDesktopIntegration : public QObject
{
    Q_OBJECT

private slots:
    void desktopFileIsValid();
    void desktopFileStartsTheProgram();
    void metainfoIsValid();
    void metainfoMatchesTheDesktopFileAndTheDevice();
    void metainfoNamesDeveloperAndHomepage();
    void installPutsEverythingInPlace();
};

void TestDesktopIntegration::desktopFileIsValid()
{
    const QString validate = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validate.isEmpty())
        VORTANE_SKIP("desktop-file-validate is not installed (Debian package desktop-file-utils)");
    const RunResult result = run(validate, {packagingFile(kDesktopFile)});
    QVERIFY2(result.exitCode == 0, qPrintable(result.output));
    QVERIFY2(!result.output.contains(QStringLiteral("error")), qPrintable(result.output));
}

void TestDesktopIntegration::desktopFileStartsTheProgram()
{
    const QHash<QString, QString> entry = readDesktopEntry(packagingFile(kDesktopFile));
    QCOMPARE(entry.value(QStringLiteral("Type")), QStringLiteral("Application"));
    QCOMPARE(entry.value(QStringLiteral("Name")), QStringLiteral("Vortane Screen"));
    QCOMPARE(entry.value(QStringLiteral("Exec")), QStringLiteral("vortane-screen"));
    QCOMPARE(entry.value(QStringLiteral("Terminal")), QStringLiteral("false"));
    const QString icon = entry.value(QStringLiteral("Icon"));
    QVERIFY2(QFile::exists(packagingFile(icon + QStringLiteral(".svg"))),
             "the menu entry names an icon we do not ship");
    for (const char* locale : {"zh_CN", "ja", "ko"})
        QVERIFY2(entry.contains(QStringLiteral("Comment[%1]").arg(QLatin1String(locale))), locale);
}

void TestDesktopIntegration::metainfoIsValid()
{
    QFile file(packagingFile(kMetainfoFile));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    while (!xml.atEnd())
        xml.readNext();
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));

    const QString appstreamcli = QStandardPaths::findExecutable(QStringLiteral("appstreamcli"));
    if (appstreamcli.isEmpty())
        VORTANE_SKIP("appstreamcli is not installed; only the XML was checked");
    const RunResult result = run(appstreamcli, {"validate", "--no-net", packagingFile(kMetainfoFile)});
    QVERIFY2(result.exitCode == 0, qPrintable(result.output));
}

void TestDesktopIntegration::metainfoMatchesTheDesktopFileAndTheDevice()
{
    QFile file(packagingFile(kMetainfoFile));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString id, launchable, binary, modalias;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto name = xml.name();
        if (name == QLatin1String("id"))
            id = xml.readElementText();
        else if (name == QLatin1String("launchable"))
            launchable = xml.readElementText();
        else if (name == QLatin1String("binary"))
            binary = xml.readElementText();
        else if (name == QLatin1String("modalias"))
            modalias = xml.readElementText();
    }
    QCOMPARE(id, QStringLiteral("io.github.vortane.Screen"));
    QCOMPARE(launchable, kDesktopFile);
    QCOMPARE(binary, QStringLiteral("vortane-screen"));
    // Software centres offer the program when the cooler's screen (USB 3767:7791) is plugged in.
    QVERIFY2(modalias.startsWith(QStringLiteral("usb:v3767p7791")), qPrintable(modalias));
}

// What AppStream 1.0 validators (Debian 13 on) require and older ones do not check: the developer
// as an element with a name (developer_name is refused) and a homepage.
void TestDesktopIntegration::metainfoNamesDeveloperAndHomepage()
{
    QFile file(packagingFile(kMetainfoFile));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString developerName, homepage;
    bool deprecatedDeveloperName = false;
    QStringList path;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            path.removeLast();
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        path << xml.name().toString();
        const QString where = path.join(QLatin1Char('/'));
        if (where == QLatin1String("component/developer_name"))
            deprecatedDeveloperName = true;
        if (where == QLatin1String("component/url") &&
            xml.attributes().value(QLatin1String("type")) == QLatin1String("homepage")) {
            homepage = xml.readElementText();
            path.removeLast();
        } else if (where == QLatin1String("component/developer/name") &&
                   !xml.attributes().hasAttribute(QLatin1String("xml:lang"))) {
            developerName = xml.readElementText();
            path.removeLast();
        }
    }
    QVERIFY(!xml.hasError());
    QVERIFY2(!deprecatedDeveloperName, "developer_name is refused by AppStream 1.0; use <developer><name>");
    QCOMPARE(developerName, QStringLiteral("Vortane"));
    QVERIFY2(homepage.startsWith(QStringLiteral("https://")), qPrintable(homepage));
}

void TestDesktopIntegration::installPutsEverythingInPlace()
{
    if (!QFile::exists(TestSupport::programFile(QStringLiteral("vortane-screen"))))
        VORTANE_SKIP("the program is not built in this build folder");
    QTemporaryDir prefix;
    QVERIFY(prefix.isValid());
    const RunResult result = run(QStringLiteral(VORTANE_CMAKE_COMMAND),
                                 {"--install", QStringLiteral(VORTANE_BUILD_DIR), "--prefix", prefix.path()}, 120000);
    QVERIFY2(result.exitCode == 0, qPrintable(result.output));

    const QDir root(prefix.path());
    QStringList expected{
        "bin/vortane-screen",
        "bin/vortane-screen-sim",
        "bin/vortane-screenctl",
        "lib/vortane-screen/libvortane-sensors.so",
        "lib/udev/rules.d/70-vortane-screen.rules",
        "share/man/man1/vortane-screen.1.gz",
        "share/man/man1/vortane-screenctl.1.gz",
        "share/man/man1/vortane-screen-sim.1.gz",
        "share/applications/vortane-screen.desktop",
        "share/metainfo/io.github.vortane.Screen.metainfo.xml",
        "share/icons/hicolor/scalable/apps/vortane-screen.svg",
        "share/icons/hicolor/256x256/apps/vortane-screen.png",
    };
    for (const char* name : {"defaultbgH.mp4", "defaultbgV.mp4", "defaultbgClockH.jpg", "defaultbgClockV.jpg",
                             "defaultbgHW01H.gif", "defaultbgHW01V.gif", "defaultbgHW02H.gif", "defaultbgHW02V.gif"})
        expected << QStringLiteral("share/vortane-screen/Default/") + QLatin1String(name);
    for (const char* lang : {"EN", "CN", "JP", "KR"}) {
        expected << QStringLiteral("share/vortane-screen/Translator/Translate_%1.qm").arg(QLatin1String(lang));
        expected << QStringLiteral("share/vortane-screen/UserAgreement/UserAgreement_%1.html").arg(QLatin1String(lang));
    }
    QStringList missing;
    for (const QString& path : expected) {
        if (!QFile::exists(root.filePath(path)))
            missing << path;
    }
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("not installed: ") + missing.join(QStringLiteral(", "))));
    QVERIFY(QFileInfo(root.filePath(QStringLiteral("bin/vortane-screen"))).isExecutable());
    QVERIFY2(QFileInfo(root.filePath(QStringLiteral("share/icons/hicolor/256x256/apps/vortane-screen.png"))).size() >
                 1000,
             "the rendered icon is empty");
}

QTEST_GUILESS_MAIN(TestDesktopIntegration)
#include "TestDesktopIntegration.moc"
