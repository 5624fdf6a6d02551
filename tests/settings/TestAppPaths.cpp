// Where the program keeps its files: next to the executable when that folder is a self-contained
// program folder that can be written, in the per-user data folder for an installed program (also
// when root finds its folder writable); the shipped read-only folders beside the executable or in
// the installed share folder.

#include "settings/AppPaths.h"
#include "settings/SettingsStore.h"
#include "tests/settings/SettingsFixture.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace SettingsFixture;

class TestAppPaths final : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_program; // <root>/prefix/bin
    QString m_dataHome;

private slots:
    void init()
    {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(m_root->isValid());
        m_program = m_root->path() + QStringLiteral("/prefix/bin");
        m_dataHome = m_root->path() + QStringLiteral("/data-home");
        QVERIFY(QDir().mkpath(m_program));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dataHome));
        AppPaths::setProgramFolder(m_program);
    }

    void cleanup()
    {
        makeWritable(m_program);
        AppPaths::setProgramFolder(QString());
        m_root.reset();
    }

    void portableFolderHoldsEverything()
    {
        QVERIFY(AppPaths::isPortable());
        QCOMPARE(AppPaths::dataFolder(), m_program);
        QCOMPARE(AppPaths::settingsFile(), m_program + QStringLiteral("/bgConfig.ini"));
        QCOMPARE(AppPaths::remarkFile(), m_program + QStringLiteral("/sensorRemark.ini"));
        QCOMPARE(AppPaths::backgroundFolder(), m_program + QStringLiteral("/Background"));
        QCOMPARE(AppPaths::defaultFolder(), m_program + QStringLiteral("/Default"));
        QCOMPARE(AppPaths::translatorFolder(), m_program + QStringLiteral("/Translator"));
        QCOMPARE(AppPaths::userAgreementFolder(), m_program + QStringLiteral("/UserAgreement"));
        QCOMPARE(AppPaths::defaultMediaFile(QStringLiteral("defaultbgH.mp4")),
                 m_program + QStringLiteral("/Default/defaultbgH.mp4"));
        // The probe leaves nothing behind.
        QCOMPARE(QDir(m_program).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    }

    void installedProgramUsesTheUserDataFolder()
    {
        const QString share = m_root->path() + QStringLiteral("/prefix/share/vortane-screen");
        for (const char* name : {"Default", "Translator", "UserAgreement"})
            QVERIFY(QDir().mkpath(share + QLatin1Char('/') + QLatin1String(name)));
        if (!makeReadOnly(m_program))
            QSKIP("cannot make a folder read-only here");
        AppPaths::setProgramFolder(m_program); // probe again

        QVERIFY(!AppPaths::isPortable());
        const QString data = m_dataHome + QStringLiteral("/vortane-screen");
        QCOMPARE(AppPaths::dataFolder(), data);
        QCOMPARE(AppPaths::settingsFile(), data + QStringLiteral("/bgConfig.ini"));
        QCOMPARE(AppPaths::backgroundFolder(), data + QStringLiteral("/Background"));
        QCOMPARE(AppPaths::defaultFolder(), share + QStringLiteral("/Default"));
        QCOMPARE(AppPaths::translatorFolder(), share + QStringLiteral("/Translator"));
        QCOMPARE(AppPaths::userAgreementFolder(), share + QStringLiteral("/UserAgreement"));

        // The settings files and the Background folder are made there, not beside the program.
        {
            SettingsStore store;
            store.openSettingsFiles();
            SettingsState state;
            store.loadConfig(state);
            store.saveAppConfig(state);
            QVERIFY(store.lastSaveSucceeded());
            QCOMPARE(store.remarkSettings()->fileName(), data + QStringLiteral("/sensorRemark.ini"));
        }
        QVERIFY(QFileInfo(data + QStringLiteral("/bgConfig.ini")).isFile());
        QVERIFY(QFileInfo(data + QStringLiteral("/Background")).isDir());
        QVERIFY(!QFileInfo::exists(m_program + QStringLiteral("/bgConfig.ini")));
    }

    // Which program folders keep the user's files beside the executable. An installed layout never
    // does: root can write into /usr/bin, and a program started with sudo must not take that as a
    // portable copy.
    void portableOnlyOutsideAnInstalledLayout_data()
    {
        QTest::addColumn<bool>("assetsBeside");
        QTest::addColumn<bool>("installedShare");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("portable");
        QTest::newRow("copy of the build's bin folder, writable: portable") << true << false << false << true;
        QTest::newRow("the executable alone in a writable folder: portable") << false << false << false << true;
        QTest::newRow("copy of the build's bin folder, read-only: per-user folder") << true << false << true << false;
        QTest::newRow("installed layout, writable (started by root): per-user folder")
            << false << true << false << false;
        QTest::newRow("installed layout with folders beside too, writable: per-user folder")
            << true << true << false << false;
    }

    void portableOnlyOutsideAnInstalledLayout()
    {
        QFETCH(bool, assetsBeside);
        QFETCH(bool, installedShare);
        QFETCH(bool, readOnly);
        QFETCH(bool, portable);
        for (const char* name : {"Default", "Translator", "UserAgreement"}) {
            if (assetsBeside)
                QVERIFY(QDir().mkpath(m_program + QLatin1Char('/') + QLatin1String(name)));
            if (installedShare)
                QVERIFY(QDir().mkpath(m_root->path() + QStringLiteral("/prefix/share/vortane-screen/") +
                                      QLatin1String(name)));
        }
        const QStringList before = QDir(m_program).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        if (readOnly && !makeReadOnly(m_program))
            QSKIP("cannot make a folder read-only here");
        AppPaths::setProgramFolder(m_program); // probe again

        QCOMPARE(AppPaths::isPortable(), portable);
        const QString data = portable ? m_program : m_dataHome + QStringLiteral("/vortane-screen");
        QCOMPARE(AppPaths::dataFolder(), data);
        {
            SettingsStore store;
            store.openSettingsFiles();
            SettingsState state;
            store.loadConfig(state);
            store.saveAppConfig(state);
            QVERIFY(store.lastSaveSucceeded());
        }
        QVERIFY(QFileInfo(data + QStringLiteral("/bgConfig.ini")).isFile());
        if (!portable) {
            // Not even the writability probe touched the program folder.
            makeWritable(m_program);
            QCOMPARE(QDir(m_program).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
        }
    }

    void systemCommandFoldersAreInstalled_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("installed");
        QTest::newRow("/usr/bin") << "/usr/bin" << true;
        QTest::newRow("/usr/local/bin") << "/usr/local/bin" << true;
        QTest::newRow("/usr/bin/ spelled with a trailing slash") << "/usr/bin/" << true;
        QTest::newRow("/bin, a link to /usr/bin on merged systems") << "/bin" << true;
        QTest::newRow("a folder of its own") << "@root/prefix/bin" << false;
    }

    void systemCommandFoldersAreInstalled()
    {
        QFETCH(QString, folder);
        QFETCH(bool, installed);
        folder.replace(QStringLiteral("@root"), m_root->path());
        QCOMPARE(AppPaths::isInstalledLayout(folder), installed);
        if (installed) {
            // Root may write there; the program still never takes it for a portable folder.
            AppPaths::setProgramFolder(folder);
            QVERIFY(!AppPaths::isPortable());
        }
    }

    // Folders beside the executable win over the installed ones.
    void folderBesideTheProgramWins()
    {
        QVERIFY(QDir().mkpath(m_root->path() + QStringLiteral("/prefix/share/vortane-screen/Default")));
        QVERIFY(QDir().mkpath(m_program + QStringLiteral("/Default")));
        QCOMPARE(AppPaths::defaultFolder(), m_program + QStringLiteral("/Default"));
    }

    void resolveMediaPath_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("absolute file") << "@root/elsewhere/a.png"
                                       << "@root/elsewhere/a.png";
        QTest::newRow("bare name") << "b.png"
                                   << "@program/Background/b.png";
        QTest::newRow("absolute path gone") << "@root/gone/c.png"
                                            << "@program/Background/@root/gone/c.png";
        QTest::newRow("folder, not a file") << "@root/elsewhere"
                                            << "@program/Background/@root/elsewhere";
    }

    void resolveMediaPath()
    {
        QFETCH(QString, stored);
        QFETCH(QString, expected);
        writeFile(m_root->path() + QStringLiteral("/elsewhere/a.png"), "x");
        writeFile(m_program + QStringLiteral("/Background/b.png"), "x");
        const auto expand = [&](QString text) {
            return text.replace(QStringLiteral("@root"), m_root->path()).replace(QStringLiteral("@program"), m_program);
        };
        QCOMPARE(AppPaths::resolveMediaPath(expand(stored)), expand(expected));
    }
};

QTEST_MAIN(TestAppPaths)
#include "TestAppPaths.moc"
