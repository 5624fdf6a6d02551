// Launch on startup on Linux: the XDG autostart entry of the current user.

#include "settings/AutoStart.h"
#include "tests/settings/SettingsFixture.h"
#include "tests/support/TestSupport.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace SettingsFixture;

namespace {

// Reads an Exec value back the way a desktop session does: string escapes first, then the
// command line's quoting, then "%%" to "%".
QStringList execArguments(const QString& value)
{
    QString unescaped;
    for (int i = 0; i < value.size(); ++i) {
        if (value.at(i) == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar next = value.at(++i);
            unescaped += next == QLatin1Char('s')   ? QStringLiteral(" ")
                         : next == QLatin1Char('n') ? QStringLiteral("\n")
                         : next == QLatin1Char('t') ? QStringLiteral("\t")
                         : next == QLatin1Char('r') ? QStringLiteral("\r")
                                                    : QString(next);
        } else {
            unescaped += value.at(i);
        }
    }
    QStringList arguments;
    QString current;
    bool quoted = false;
    bool inArgument = false;
    for (int i = 0; i < unescaped.size(); ++i) {
        const QChar ch = unescaped.at(i);
        if (quoted) {
            if (ch == QLatin1Char('\\') && i + 1 < unescaped.size())
                current += unescaped.at(++i);
            else if (ch == QLatin1Char('"'))
                quoted = false;
            else
                current += ch;
        } else if (ch == QLatin1Char('"')) {
            quoted = inArgument = true;
        } else if (ch == QLatin1Char(' ')) {
            if (inArgument)
                arguments << current;
            current.clear();
            inArgument = false;
        } else {
            current += ch;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments << current;
    for (QString& argument : arguments)
        argument.replace(QStringLiteral("%%"), QStringLiteral("%"));
    return arguments;
}

QString execValue(const QString& entry)
{
    for (const QString& line : QString::fromUtf8(readFile(entry)).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Exec=")))
            return line.mid(5);
    }
    return QString();
}

} // namespace

class TestAutoStart final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_home;
    QString entry() const { return m_home->path() + QStringLiteral("/config/autostart/vortane-screen.desktop"); }

private slots:
    void init()
    {
        m_home = std::make_unique<QTemporaryDir>();
        QVERIFY(m_home->isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home->path() + QStringLiteral("/config")));
    }

    void cleanup()
    {
        qunsetenv("XDG_CONFIG_HOME");
        m_home.reset();
    }

    void toggleCreatesAndRemovesTheEntry()
    {
        QVERIFY(!isAutoStart());
        QVERIFY(setAutoStart(true));
        QVERIFY(QFileInfo(entry()).isFile());
        QVERIFY(isAutoStart());
        QCOMPARE(execArguments(execValue(entry())),
                 (QStringList{QCoreApplication::applicationFilePath(), QStringLiteral("min")}));
        QVERIFY(setAutoStart(true)); // again: still one valid entry
        QVERIFY(isAutoStart());
        QVERIFY(setAutoStart(false));
        QVERIFY(!QFileInfo::exists(entry()));
        QVERIFY(!isAutoStart());
        QVERIFY(setAutoStart(false));
    }

    // Paths with characters that the Exec rules treat specially come back unchanged, and the
    // entry passes the desktop-entry validator.
    void executablePathIsQuoted_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("plain") << "/opt/vortane/bin/vortane-screen";
        QTest::newRow("blank") << "/home/me/My Programs/vortane-screen";
        QTest::newRow("quote, dollar, backtick") << "/home/me/\"odd\" $HOME `x`/vortane-screen";
        QTest::newRow("backslash") << "/home/me/back\\slash/vortane-screen";
        QTest::newRow("percent") << "/home/me/100%u/vortane-screen";
        QTest::newRow("non-ASCII") << "/home/mé/程序/vortane-screen";
    }

    void executablePathIsQuoted()
    {
        QFETCH(QString, path);
        QVERIFY(setAutoStartFor(path, true));
        QVERIFY(isAutoStart());
        QCOMPARE(execArguments(execValue(entry())), (QStringList{path, QStringLiteral("min")}));

        const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
        if (validator.isEmpty())
            VORTANE_SKIP("desktop-file-validate is not installed");
        QProcess validate;
        validate.setProcessChannelMode(QProcess::MergedChannels);
        validate.start(validator, {entry()});
        QVERIFY(validate.waitForFinished(30000));
        const QByteArray output = validate.readAll();
        QVERIFY2(validate.exitCode() == 0 && !output.contains("error"), output.constData());
    }

    // The desktop's own switches for an autostart entry turn it off.
    void disabledEntryReadsOff_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("active");
        QTest::newRow("hidden") << QByteArray("Hidden=true") << false;
        QTest::newRow("GNOME switch off") << QByteArray("X-GNOME-Autostart-enabled=false") << false;
        QTest::newRow("hidden false") << QByteArray("Hidden=false") << true;
    }

    void disabledEntryReadsOff()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, active);
        writeFile(entry(), "[Desktop Entry]\nType=Application\nName=x\nExec=/x min\n" + line + "\n");
        QCOMPARE(isAutoStart(), active);
    }

    void withoutXdgConfigHomeTheHomeConfigIsUsed()
    {
        qunsetenv("XDG_CONFIG_HOME");
        const QByteArray home = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(m_home->path()));
        const bool written = setAutoStart(true);
        const bool exists =
            QFileInfo(m_home->path() + QStringLiteral("/.config/autostart/vortane-screen.desktop")).isFile();
        qputenv("HOME", home);
        QVERIFY(written);
        QVERIFY(exists);
    }

    void unwritableConfigFolderIsReported()
    {
        writeFile(m_home->path() + QStringLiteral("/config/autostart"), "a file where the folder should be");
        QVERIFY(!setAutoStart(true));
        QVERIFY(!isAutoStart());
    }
};

QTEST_MAIN(TestAutoStart)
#include "TestAutoStart.moc"
