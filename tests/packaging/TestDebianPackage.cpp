// The Debian package built from this build folder: it passes lintian, holds the layout an installed
// program needs, installs with dpkg into a root of its own, and what it installed runs there: the
// program streams to a simulated screen and keeps the user's files in the user's data folder, never
// in its own folders, also when it runs as root and could write there.

#include "tests/support/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <unistd.h>

namespace {

using TestSupport::ProcessRun;

ProcessRun run(const QString& program, const QStringList& arguments, int timeoutMs = 120000,
               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
{
    return TestSupport::runProcess(program, arguments, timeoutMs, environment);
}

// Every file and folder below `root`, as paths relative to it.
QStringList treeOf(const QString& root)
{
    QStringList entries;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << QDir(root).relativeFilePath(it.next());
    entries.sort();
    return entries;
}

const QString kPackage = QStringLiteral("vortane-screen");

} // namespace

class TestDebianPackage final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void controlFieldsComeFromTheBuild_data();
    void controlFieldsComeFromTheBuild();
    void everyLinkedLibraryIsADependency();
    void lintianFindsNothingToFix();
    void contentsHoldTheInstalledLayout_data();
    void contentsHoldTheInstalledLayout();
    void everythingLandsUnderUsr();
    void installRunsTheUdevTrigger_data();
    void installRunsTheUdevTrigger();
    void installedProgramRuns();

private:
    QString installRoot() const { return m_work->filePath(QStringLiteral("root")); }
    ProcessRun dpkg(const QStringList& arguments);
    bool startSimulator(QProcess* simulator, const QString& folder, const QString& dump);

    std::unique_ptr<QTemporaryDir> m_work;
    QString m_deb;
    QStringList m_contents; // "./usr/bin/vortane-screen", ...
    QStringList m_listing;  // the lines of dpkg-deb -c
};

void TestDebianPackage::initTestCase()
{
    if (!QFile::exists(TestSupport::programFile(kPackage)))
        VORTANE_SKIP("the program is not built in this build folder");
    for (const char* tool : {"dpkg-deb", "dpkg-shlibdeps", "dpkg"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            VORTANE_SKIP("dpkg-deb, dpkg-shlibdeps and dpkg are needed (Debian package dpkg-dev)");
    }
    if (::geteuid() != 0 && QStandardPaths::findExecutable(QStringLiteral("fakeroot")).isEmpty())
        VORTANE_SKIP("fakeroot is needed to install into a root of the test's own without being root");
    m_work = std::make_unique<QTemporaryDir>();
    QVERIFY(m_work->isValid());

    // The package of the build under test, staged and packed by CPack in a folder of the test's own.
    const QString out = m_work->filePath(QStringLiteral("package"));
    const ProcessRun packed =
        run(QStringLiteral(VORTANE_CPACK_COMMAND),
            {"--config", QStringLiteral(VORTANE_BUILD_DIR "/CPackConfig.cmake"), "-B", out}, 300000);
    QVERIFY2(packed.exitCode == 0, qPrintable(packed.describe()));
    const QStringList debs = QDir(out).entryList({QStringLiteral("*.deb")}, QDir::Files);
    QCOMPARE(debs.size(), 1);
    m_deb = QDir(out).filePath(debs.first());
    // Staging leftovers are not needed once the package exists.
    QDir(out + QStringLiteral("/_CPack_Packages")).removeRecursively();

    const ProcessRun listing = run(QStringLiteral("dpkg-deb"), {"-c", m_deb});
    QVERIFY2(listing.exitCode == 0, qPrintable(listing.describe()));
    m_listing = listing.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : qAsConst(m_listing)) {
        // "-rwxr-xr-x root/root  12345 2026-12-10 12:00 ./usr/bin/vortane-screen"
        QString path = line.section(QLatin1Char(' '), -1);
        if (path.endsWith(QLatin1Char('/')) && path.size() > 2)
            path.chop(1);
        m_contents << path;
    }
    qInfo().noquote() << "package" << QFileInfo(m_deb).fileName() << "holds" << m_contents.size() << "entries";
}

void TestDebianPackage::cleanupTestCase()
{
    m_work.reset();
}

void TestDebianPackage::controlFieldsComeFromTheBuild_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected"); // a prefix of one entry, for Depends
    QTest::newRow("named vortane-screen") << "Package"
                                          << "vortane-screen";
    QTest::newRow("version of the build") << "Version" << VORTANE_VERSION;
    QTest::newRow("depends on the C library") << "Depends"
                                              << "libc6";
    QTest::newRow("depends on Qt's widgets") << "Depends"
                                             << "libqt5widgets5";
    QTest::newRow("depends on Qt's network module") << "Depends"
                                                    << "libqt5network5";
    QTest::newRow("depends on libusb") << "Depends"
                                       << "libusb-1.0-0";
    QTest::newRow("recommends the CJK fonts") << "Recommends"
                                              << "fonts-noto-cjk";
}

void TestDebianPackage::controlFieldsComeFromTheBuild()
{
    QFETCH(QString, field);
    QFETCH(QString, expected);
    const ProcessRun fields = run(QStringLiteral("dpkg-deb"), {"-f", m_deb, field});
    QVERIFY2(fields.exitCode == 0, qPrintable(fields.describe()));
    const QString value = fields.out.trimmed();
    if (field == QLatin1String("Package") || field == QLatin1String("Version")) {
        QCOMPARE(value, expected);
        return;
    }
    // Depends is computed from what the binaries link, with version bounds: "libc6 (>= 2.34), ...".
    bool found = false;
    for (const QString& entry : value.split(QLatin1Char(','))) {
        for (const QString& alternative : entry.split(QLatin1Char('|')))
            found = found || alternative.trimmed().startsWith(expected);
    }
    QVERIFY2(found, qPrintable(field + QStringLiteral(": ") + value));
}

// Whatever the binaries link, from FFmpeg to libusb, is named in Depends, so apt brings it along: the
// package of every shared library an ELF file in the package needs must be one of its dependencies.
void TestDebianPackage::everyLinkedLibraryIsADependency()
{
    for (const char* tool : {"readelf", "ldconfig"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool), {"/usr/bin", "/usr/sbin", "/sbin", "/bin"}).isEmpty())
            VORTANE_SKIP("readelf (binutils) and ldconfig are needed");
    }
    QTemporaryDir unpacked;
    QVERIFY(unpacked.isValid());
    const ProcessRun extracted = run(QStringLiteral("dpkg-deb"), {"-x", m_deb, unpacked.path()});
    QVERIFY2(extracted.exitCode == 0, qPrintable(extracted.describe()));
    const ProcessRun depends = run(QStringLiteral("dpkg-deb"), {"-f", m_deb, "Depends"});
    QSet<QString> dependencies;
    for (const QString& entry : depends.out.split(QRegularExpression(QStringLiteral("[,|]"))))
        dependencies << entry.trimmed().section(QLatin1Char(' '), 0, 0);

    // Where the loader finds each library: "libusb-1.0.so.0 (libc6,x86-64) => /lib/x86_64-linux-gnu/...".
    QHash<QString, QString> libraryPaths;
    const ProcessRun cache = run(QStringLiteral("/sbin/ldconfig"), {"-p"});
    for (const QString& line : cache.out.split(QLatin1Char('\n'))) {
        const QString soname = line.trimmed().section(QLatin1Char(' '), 0, 0);
        const QString path = line.section(QStringLiteral("=> "), 1).trimmed();
        if (!soname.isEmpty() && !path.isEmpty() && !libraryPaths.contains(soname))
            libraryPaths.insert(soname, path);
    }

    QStringList missing;
    int checked = 0;
    QDirIterator it(unpacked.path(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        QFile elf(file);
        if (!elf.open(QIODevice::ReadOnly) || elf.read(4) != QByteArray("\x7f"
                                                                        "ELF"))
            continue;
        const ProcessRun dynamic = run(QStringLiteral("readelf"), {"-d", file});
        static const QRegularExpression needed(QStringLiteral("\\(NEEDED\\).*\\[(.+)\\]"));
        auto matches = needed.globalMatch(dynamic.out);
        while (matches.hasNext()) {
            const QString soname = matches.next().captured(1);
            const QString path = libraryPaths.value(soname);
            QString owner;
            // dpkg knows a file by the path its package ships it at, which may be the /lib or /usr/lib spelling.
            for (const QString& candidate :
                 {path, QFileInfo(path).canonicalFilePath(),
                  path.startsWith(QLatin1String("/usr/")) ? path.mid(4) : QStringLiteral("/usr") + path}) {
                if (candidate.isEmpty() || !owner.isEmpty())
                    continue;
                const ProcessRun search = run(QStringLiteral("dpkg-query"), {"-S", candidate});
                if (search.exitCode == 0)
                    owner = search.out.section(QLatin1Char(':'), 0, 0).section(QLatin1Char(','), 0, 0).trimmed();
            }
            ++checked;
            if (owner.isEmpty() || !dependencies.contains(owner))
                missing << QStringLiteral("%1 needs %2 (%3)")
                               .arg(QDir(unpacked.path()).relativeFilePath(file), soname,
                                    owner.isEmpty() ? QStringLiteral("no package") : owner);
        }
    }
    QVERIFY(checked > 0);
    QVERIFY2(missing.isEmpty(),
             qPrintable(missing.join(QLatin1Char('\n')) + QStringLiteral("\nDepends: ") + depends.out));
}

void TestDebianPackage::lintianFindsNothingToFix()
{
    if (QStandardPaths::findExecutable(QStringLiteral("lintian")).isEmpty())
        VORTANE_SKIP("lintian is not installed");
    // Errors and warnings both fail; what the package does on purpose is overridden, with the reason,
    // in its lintian overrides file.
    const ProcessRun checked = run(QStringLiteral("lintian"), {"--tag-display-limit", "0", m_deb}, 300000);
    QStringList findings;
    for (const QString& line : (checked.out + checked.err).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (line.startsWith(QLatin1String("E: ")) || line.startsWith(QLatin1String("W: ")))
            findings << line;
    }
    QVERIFY2(findings.isEmpty(), qPrintable(findings.join(QLatin1Char('\n'))));
    QVERIFY2(checked.exitCode == 0, qPrintable(checked.describe()));
}

void TestDebianPackage::contentsHoldTheInstalledLayout_data()
{
    QTest::addColumn<QString>("path");
    auto row = [](const char* what, const QString& path) { QTest::newRow(what) << path; };
    row("the program", "./usr/bin/vortane-screen");
    row("the simulated screen", "./usr/bin/vortane-screen-sim");
    row("the command-line tool", "./usr/bin/vortane-screenctl");
    row("the sensor library, private", "./usr/lib/vortane-screen/libvortane-sensors.so");
    row("default media", "./usr/share/vortane-screen/Default/defaultbgH.mp4");
    row("default clock background", "./usr/share/vortane-screen/Default/defaultbgClockV.jpg");
    for (const char* language : {"EN", "CN", "JP", "KR"}) {
        row(language,
            QStringLiteral("./usr/share/vortane-screen/Translator/Translate_%1.qm").arg(QLatin1String(language)));
        row(language, QStringLiteral("./usr/share/vortane-screen/UserAgreement/UserAgreement_%1.html")
                          .arg(QLatin1String(language)));
    }
    row("menu entry", "./usr/share/applications/vortane-screen.desktop");
    row("software-centre description", "./usr/share/metainfo/io.github.vortane.Screen.metainfo.xml");
    row("scalable icon", "./usr/share/icons/hicolor/scalable/apps/vortane-screen.svg");
    row("256 px icon", "./usr/share/icons/hicolor/256x256/apps/vortane-screen.png");
    row("udev rule where udev reads it", "./usr/lib/udev/rules.d/70-vortane-screen.rules");
    row("manual page of the program", "./usr/share/man/man1/vortane-screen.1.gz");
    row("manual page of the tool", "./usr/share/man/man1/vortane-screenctl.1.gz");
    row("manual page of the simulated screen", "./usr/share/man/man1/vortane-screen-sim.1.gz");
    row("copyright notices", "./usr/share/doc/vortane-screen/copyright");
    row("changelog", "./usr/share/doc/vortane-screen/changelog.gz");
}

void TestDebianPackage::contentsHoldTheInstalledLayout()
{
    QFETCH(QString, path);
    QVERIFY2(m_contents.contains(path),
             qPrintable(path + QStringLiteral(" missing; the package holds:\n") + m_listing.join(QLatin1Char('\n'))));
}

void TestDebianPackage::everythingLandsUnderUsr()
{
    QStringList outside;
    QStringList notRoot;
    for (const QString& line : qAsConst(m_listing)) {
        const QString path = line.section(QLatin1Char(' '), -1);
        if (path != QLatin1String("./") && !path.startsWith(QLatin1String("./usr/")))
            outside << path;
        if (!line.contains(QLatin1String(" root/root ")))
            notRoot << line;
        if (path.startsWith(QLatin1String("./usr/local/")))
            outside << path;
    }
    QVERIFY2(outside.isEmpty(), qPrintable(outside.join(QLatin1Char('\n'))));
    QVERIFY2(notRoot.isEmpty(), qPrintable(notRoot.join(QLatin1Char('\n'))));
}

// The maintainer scripts with a stand-in udevadm that records its calls: a cooler that is plugged in
// gets the rule without a reboot, and a machine without a running udev (a container) still installs.
void TestDebianPackage::installRunsTheUdevTrigger_data()
{
    QTest::addColumn<int>("udevadmStatus");
    QTest::newRow("udev running: rules reloaded, the screen triggered") << 0;
    QTest::newRow("udev not running: the installation still succeeds") << 1;
}

void TestDebianPackage::installRunsTheUdevTrigger()
{
    QFETCH(int, udevadmStatus);
    QTemporaryDir scratch;
    QVERIFY(scratch.isValid());
    const QString control = scratch.filePath(QStringLiteral("control"));
    const ProcessRun extracted = run(QStringLiteral("dpkg-deb"), {"-e", m_deb, control});
    QVERIFY2(extracted.exitCode == 0, qPrintable(extracted.describe()));

    const QString bin = scratch.filePath(QStringLiteral("bin"));
    const QString log = scratch.filePath(QStringLiteral("udevadm.log"));
    QVERIFY(QDir().mkpath(bin));
    {
        QFile udevadm(bin + QStringLiteral("/udevadm"));
        QVERIFY(udevadm.open(QIODevice::WriteOnly));
        udevadm.write(QStringLiteral("#!/bin/sh\necho \"$*\" >> '%1'\nexit %2\n").arg(log).arg(udevadmStatus).toUtf8());
    }
    QFile::setPermissions(bin + QStringLiteral("/udevadm"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PATH"), bin + QLatin1Char(':') + environment.value(QStringLiteral("PATH")));
    environment.remove(QStringLiteral("DPKG_ROOT"));

    const ProcessRun configured = run(control + QStringLiteral("/postinst"), {"configure", ""}, 30000, environment);
    QVERIFY2(configured.exitCode == 0, qPrintable(configured.describe()));
    QFile calls(log);
    QVERIFY(calls.open(QIODevice::ReadOnly));
    const QString recorded = QString::fromUtf8(calls.readAll());
    QVERIFY2(recorded.contains(QStringLiteral("control --reload-rules")), qPrintable(recorded));
    QVERIFY2(
        recorded.contains(QStringLiteral("trigger")) && recorded.contains(QStringLiteral("--subsystem-match=usb")) &&
            recorded.contains(QStringLiteral("idVendor=3767")) && recorded.contains(QStringLiteral("idProduct=7791")),
        qPrintable(recorded));

    const ProcessRun removed = run(control + QStringLiteral("/postrm"), {"remove"}, 30000, environment);
    QVERIFY2(removed.exitCode == 0, qPrintable(removed.describe()));
    const ProcessRun purged = run(control + QStringLiteral("/postrm"), {"purge"}, 30000, environment);
    QVERIFY2(purged.exitCode == 0, qPrintable(purged.describe()));
}

ProcessRun TestDebianPackage::dpkg(const QStringList& arguments)
{
    // An installation into a root of the test's own: dependencies are the host's, the maintainer
    // scripts run outside a chroot with DPKG_ROOT set (and so leave the host's udev alone). A user
    // other than root installs under fakeroot, which lets dpkg hand the files to root.
    QStringList command{
        QStringLiteral("dpkg"), "--root=" + installRoot(), "--log=" + m_work->filePath(QStringLiteral("dpkg.log")),
        "--force-not-root",     "--force-depends",         "--force-script-chrootless"};
    if (::geteuid() != 0)
        command.prepend(QStringLiteral("fakeroot"));
    command += arguments;
    // dpkg looks for ldconfig and start-stop-daemon, which live in the sbin folders.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PATH"),
                       environment.value(QStringLiteral("PATH")) + QStringLiteral(":/usr/local/sbin:/usr/sbin:/sbin"));
    return run(command.first(), command.mid(1), 120000, environment);
}

bool TestDebianPackage::startSimulator(QProcess* simulator, const QString& folder, const QString& dump)
{
    simulator->start(installRoot() + QStringLiteral("/usr/bin/vortane-screen-sim"),
                     {"--headless", "--folder", folder, "--name", "packaged", "--dump", dump});
    if (!simulator->waitForStarted(10000))
        return false;
    while (!simulator->canReadLine()) {
        if (!simulator->waitForReadyRead(10000))
            return false;
    }
    return QFileInfo::exists(QString::fromLocal8Bit(simulator->readLine()).trimmed());
}

void TestDebianPackage::installedProgramRuns()
{
    for (const char* folder : {"var/lib/dpkg/info", "var/lib/dpkg/updates", "var/lib/dpkg/triggers"})
        QVERIFY(QDir().mkpath(installRoot() + QLatin1Char('/') + QLatin1String(folder)));
    QFile status(installRoot() + QStringLiteral("/var/lib/dpkg/status"));
    QVERIFY(status.open(QIODevice::WriteOnly));
    status.close();
    const ProcessRun installed = dpkg({"--install", m_deb});
    QVERIFY2(installed.exitCode == 0, qPrintable(installed.describe()));
    const QString bin = installRoot() + QStringLiteral("/usr/bin");
    const QString share = installRoot() + QStringLiteral("/usr/share/vortane-screen");
    const QStringList binBefore = treeOf(bin);
    const QStringList shareBefore = treeOf(share);

    // Each installed executable answers --version.
    for (const char* program : {"vortane-screen", "vortane-screenctl", "vortane-screen-sim"}) {
        const ProcessRun version = run(bin + QLatin1Char('/') + QLatin1String(program), {"--version"}, 30000);
        QVERIFY2(version.exitCode == 0, qPrintable(version.describe()));
        QCOMPARE(version.out.trimmed(), QLatin1String(program) + QStringLiteral(" " VORTANE_VERSION));
    }

    // The installed tool finds the installed simulated screen.
    const QString screens = m_work->filePath(QStringLiteral("screens"));
    const QString dump = m_work->filePath(QStringLiteral("dump"));
    QProcess simulator;
    QProcessEnvironment simulatorEnvironment = QProcessEnvironment::systemEnvironment();
    simulatorEnvironment.insert(QStringLiteral("VORTANE_SIM_DIR"), screens);
    simulator.setProcessEnvironment(simulatorEnvironment);
    QVERIFY2(startSimulator(&simulator, screens, dump), qPrintable(simulator.readAllStandardError()));
    const ProcessRun listed =
        run(bin + QStringLiteral("/vortane-screenctl"), {"list", "--terse"}, 30000, simulatorEnvironment);
    QVERIFY2(listed.exitCode == 0, qPrintable(listed.describe()));
    QVERIFY2(listed.out.contains(QStringLiteral("SIM:")) && listed.out.contains(QStringLiteral("packaged\tnormal\t")),
             qPrintable(listed.out));

    // The installed program, started by this user (root in continuous integration, who may write into
    // the installed folders): its files go to ~/.local/share/vortane-screen, it finds its shipped
    // media under ../share and streams them to the simulated screen.
    const QString home = m_work->filePath(QStringLiteral("home"));
    const QString runtime = m_work->filePath(QStringLiteral("runtime"));
    QVERIFY(QDir().mkpath(home) && QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QProcessEnvironment environment = simulatorEnvironment;
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(QLatin1String(name));
    environment.insert(QStringLiteral("HOME"), home);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(bin + QStringLiteral("/vortane-screen"), QStringList{});
    QVERIFY(program.waitForStarted(10000));
    const QString data = home + QStringLiteral("/.local/share/vortane-screen");
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(data + QStringLiteral("/bgConfig.ini")).isFile(), 20000);
    QTRY_VERIFY_WITH_TIMEOUT(TestSupport::readSimulatorCounters(dump + QStringLiteral("/counters.txt"))
                                     .value(QStringLiteral("frames"))
                                     .toInt() > 0,
                             30000);
    program.terminate();
    QVERIFY(program.waitForFinished(15000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    simulator.terminate();
    QVERIFY(simulator.waitForFinished(10000));

    QCOMPARE(treeOf(bin), binBefore);
    QCOMPARE(treeOf(share), shareBefore);
    if (::geteuid() == 0)
        qInfo("ran as root: the installed folders were writable and stayed untouched");

    // Removing the package leaves the user's settings where they are.
    const ProcessRun purged = dpkg({"--purge", kPackage});
    QVERIFY2(purged.exitCode == 0, qPrintable(purged.describe()));
    QVERIFY(!QFileInfo::exists(bin + QStringLiteral("/vortane-screen")));
    QVERIFY(QFileInfo(data + QStringLiteral("/bgConfig.ini")).isFile());
}

QTEST_GUILESS_MAIN(TestDebianPackage)
#include "TestDebianPackage.moc"
