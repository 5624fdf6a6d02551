#include "shell/AppGlobals.h"
#include "shell/Fonts.h"
#include "shell/TextStyles.h"
#include "tests/support/TestSupport.h"

#include <QFontInfo>
#include <QLabel>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TestStartup final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { registerFonts(); }

    void textStyles_data()
    {
        QTest::addColumn<QString>("fragment");
        QTest::addColumn<QString>("expected");
        auto row = [](const char* name, const char* fragment, const char* expected) {
            QTest::newRow(name) << QString::fromLatin1(fragment) << QString::fromLatin1(expected);
        };
        using namespace TextStyle;
        row("Segoe Bold 24", SegoeBold24Light, "font-family:Segoe UI;font-style:Bold;font-size:24px;color:#F2F2F2;");
        row("Segoe Semibold 16", SegoeSemibold16Light,
            "font-family:Segoe UI;font-style:Semibold;font-size:16px;color:#F2F2F2;");
        row("Segoe Regular 16 light", SegoeRegular16Light,
            "font-family:Segoe UI;font-style:Regular;font-size:16px;color:#F2F2F2;");
        row("Segoe Regular 16 grey", SegoeRegular16Grey,
            "font-family:Segoe UI;font-style:Regular;font-size:16px;color:#B3B3B3;");
        row("Segoe Bold 16", SegoeBold16Light, "font-family:Segoe UI;font-style:Bold;font-size:16px;color:#F2F2F2;");
        row("Segoe Regular 32 grey", SegoeRegular32Grey,
            "font-family:Segoe UI;font-style:Regular;font-size:32px;color:#B3B3B3;");
        row("Segoe Regular 32 light", SegoeRegular32Light,
            "font-family:Segoe UI;font-style:Regular;font-size:32px;color:#F2F2F2;");
        row("Segoe Regular 14 light", SegoeRegular14Light,
            "font-family:Segoe UI;font-style:Regular;font-size:14px;color:#F2F2F2;");
        row("Segoe Regular 14 grey", SegoeRegular14Grey,
            "font-family:Segoe UI;font-style:Regular;font-size:14px;color:#B3B3B3;");
        row("Segoe Regular 14 white", SegoeRegular14White,
            "font-family:Segoe UI;font-style:Regular;font-size:14px;color:#FFFFFF;");
        row("Segoe Regular 14 brown", SegoeRegular14Brown,
            "font-family:Segoe UI;font-style:Regular;font-size:14px;color:#7F7366;");
        row("Segoe Regular 14 orange", SegoeRegular14Orange,
            "font-family:Segoe UI;font-style:Regular;font-size:14px;color:#E94A22;");
        row("Segoe Regular 12 light", SegoeRegular12Light,
            "font-family:Segoe UI;font-style:Regular;font-size:12px;color:#F2F2F2;");
        row("Segoe Regular 12 grey", SegoeRegular12Grey,
            "font-family:Segoe UI;font-style:Regular;font-size:12px;color:#B3B3B3;");
        row("Segoe Semibold 14 green", SegoeSemibold14Green,
            "font-family:Segoe UI;font-style:Semibold;font-size:14px;color:#00C187;");
        row("Segoe Regular 10 dim, no ;", SegoeRegular10Dim,
            "font-family:Segoe UI;font-style:Regular;font-size:10px;color:rgba(102,102,102,204)");
        row("Segoe Regular 10 light, no ;", SegoeRegular10Light,
            "font-family:Segoe UI;font-style:Regular;font-size:10px;color:#F2F2F2");
        row("MIsans Medium 18", MisansMedium18White,
            "font-family:MIsans;font-style:Medium;font-size:18px;color:#FFFFFF");
        row("MIsans Regular 18 silver", MisansRegular18Silver,
            "font-family:MIsans;font-style:Regular;font-size:18px;color:#BDBDBD");
        row("MIsans Regular 18 white", MisansRegular18White,
            "font-family:MIsans;font-style:Regular;font-size:18px;color:#FFFFFF");
        row("MIsans DemiBold 28", MisansDemiBold28White,
            "font-family:MIsans;font-style:DemiBold;font-size:28px;color:#FFFFFF");
        row("MIsans Regular 16 grey", MisansRegular16Grey,
            "font-family:MIsans;font-style:Regular;font-size:16px;color:#B3B3B3");
        row("MIsans Regular 16 white", MisansRegular16White,
            "font-family:MIsans;font-style:Regular;font-size:16px;color:#FFFFFF");
        row("MIsans Regular 28", MisansRegular28White,
            "font-family:MIsans;font-style:Regular;font-size:28px;color:#FFFFFF");
    }
    void textStyles()
    {
        QFETCH(QString, fragment);
        QFETCH(QString, expected);
        QCOMPARE(fragment, expected);
    }

    void appendStyleSheetJoinsWithSemicolon()
    {
        QLabel label;
        label.setStyleSheet(QStringLiteral("background:#000"));
        appendStyleSheet(&label, QString::fromLatin1(TextStyle::SegoeRegular10Light));
        QCOMPARE(label.styleSheet(),
                 QStringLiteral("background:#000;") + QLatin1String(TextStyle::SegoeRegular10Light));
        appendStyleSheet(nullptr, QStringLiteral("color:red")); // no crash
    }

    void fontsRegisterWithFamilies()
    {
        QVERIFY(!familyMiSansRegular.isEmpty());
        QVERIFY(!familyAlibabaExtraBold.isEmpty());
        QVERIFY(!familyTenSansBold.isEmpty());
    }

    // Style sheets name these families; they must come out in our registered fonts.
    void styleSheetFamiliesResolveToOurFonts_data()
    {
        QTest::addColumn<QString>("family");
        for (const char* name : {"MiSans", "MIsans", "MISans", "Segoe UI", "Microsoft YaHei"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }
    void styleSheetFamiliesResolveToOurFonts()
    {
        QFETCH(QString, family);
        QLabel label(QStringLiteral("42 °C"));
        label.setStyleSheet(QStringLiteral("font-family:%1;font-size:16px;").arg(family));
        label.ensurePolished();
        QCOMPARE(QFontInfo(label.font()).family(), familyMiSansRegular);
    }

    // The program in a fresh, writable folder of its own: its first launch writes the flag at once.
    void firstLaunch_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("writtenAtStart");
        QTest::addColumn<int>("flagAfterExit");
        QTest::newRow("plain first launch") << QStringList{} << true << 1;
        QTest::newRow("first launch with min stays hidden, flag untouched") << QStringList{"min"} << false << 0;
    }
    void firstLaunch()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, writtenAtStart);
        QFETCH(int, flagAfterExit);

        QTemporaryDir folder;
        QTemporaryDir runtime;
        const QString exe = folder.filePath(QStringLiteral("vortane-screen"));
        QVERIFY(QFile::copy(TestSupport::programFile(QStringLiteral("vortane-screen")), exe));
        const QString ini = folder.filePath(QStringLiteral("bgConfig.ini"));

        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("HOME"), folder.path());
        program.setProcessEnvironment(env);
        program.start(exe, arguments);
        QVERIFY(program.waitForStarted());
        if (writtenAtStart) {
            // A generous wait: under the sanitizers on a busy machine the start-up alone can take
            // more than ten seconds.
            QTRY_VERIFY_WITH_TIMEOUT(QSettings(ini, QSettings::IniFormat).value("isPrivacyPolicyAgree").toInt() == 1,
                                     60000);
        } else {
            QTest::qWait(1500);
            QCOMPARE(QSettings(ini, QSettings::IniFormat).value("isPrivacyPolicyAgree", 0).toInt(), 0);
        }
        program.terminate();
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(QSettings(ini, QSettings::IniFormat).value("isPrivacyPolicyAgree").toInt(), flagAfterExit);
    }
};

QTEST_MAIN(TestStartup)
#include "TestStartup.moc"
