// The sensor tree over a machine served by the fake sensor library: which devices and sensors it
// lists, the one checked sensor, the remarks in sensorRemark.ini (names holding "/" and "//"
// included), OK and Cancel, and the runner the overlay editors call.

#include "sensors/HwinfoSelectDialog.h"
#include "sensors/SensorCatalogue.h"
#include "sensors/hwTreeDelegate.h"
#include "sensors/hwinfo.h"
#include "tests/support/sensors/FakeSensorLibrary.h"
#include "tests/support/sensors/SensorFixtures.h"
#include "widgets/MaskOverlay.h"
#include "widgets/VScrollBar.h"

#include <QCryptographicHash>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

namespace {

const QString kCpu = QStringLiteral("CPU [#0]: Test CPU");
const QString kBoard = QStringLiteral("Mainboard: Test Board");
const QString kDrive = QStringLiteral("Drive: Only Sizes");
const QString kSlashBoard = QStringLiteral("Board A/B");
const QString kBoardA = QStringLiteral("Board A");
const QString kDoubleSlash = QStringLiteral("Pump // Loop");

void addRecord(int device, int type, int index, int classCode, int kindCode, int subIndex, const char* label,
               const char* unit, double value)
{
    const VortaneSensorRecord record = SensorFixtures::record(classCode, kindCode, subIndex, label, unit, value);
    FakeSensorsSetRecord(device, type, index, &record, 1);
}

// A machine with every unit the tree lists, sensors in units it does not list, a device with no
// listed sensor, and devices and sensors whose names hold "/", "//" and "%".
void scriptMachine()
{
    FakeSensorsReset();
    const int cpu = FakeSensorsAddDevice(kCpu.toUtf8().constData());
    addRecord(cpu, 1, 0, 11, 10, 0, "CPU Package", "C", 45);
    addRecord(cpu, 7, 1, 11, 10, 1, "Total CPU Usage", "%", 12);
    addRecord(cpu, 6, 2, 11, 11, 0, "Core 0 Clock", "MHz", 4500);
    addRecord(cpu, 8, 3, 11, 0, 0, "Core 0 Ratio", "x", 45);
    addRecord(cpu, 8, 4, 11, 0, 0, "Package Power", "W", 65);
    const int board = FakeSensorsAddDevice(kBoard.toUtf8().constData());
    addRecord(board, 1, 0, 12, 35, 0, "Motherboard", "C", 33);
    addRecord(board, 2, 1, 12, 0, 0, "Vcore", "V", 1.25);
    addRecord(board, 3, 2, 12, 14, 0, "CPU Fan", "RPM", 1200);
    addRecord(board, 8, 3, 12, 0, 0, "Board Memory", "GB", 32);
    addRecord(board, 8, 4, 12, 0, 0, "Read Rate", "KB/s", 512);
    const int drive = FakeSensorsAddDevice(kDrive.toUtf8().constData());
    addRecord(drive, 8, 0, 0, 0, 0, "Capacity", "GB", 512);
    const int slashBoard = FakeSensorsAddDevice(kSlashBoard.toUtf8().constData());
    addRecord(slashBoard, 3, 0, 0, 0, 0, "Fan 1", "RPM", 800);
    const int boardA = FakeSensorsAddDevice(kBoardA.toUtf8().constData());
    addRecord(boardA, 3, 0, 0, 0, 0, "B/Fan 1", "RPM", 900);
    addRecord(boardA, 7, 1, 0, 0, 0, "Load %2F", "%", 5);
    addRecord(boardA, 7, 2, 0, 0, 0, "Load /", "%", 6);
    const int pump = FakeSensorsAddDevice(kDoubleSlash.toUtf8().constData());
    addRecord(pump, 6, 0, 0, 0, 0, "Flow//Rate", "MHz", 7);
}

QByteArray fileHash(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

QTreeWidgetItem* deviceRow(QTreeWidget* tree, const QString& device)
{
    for (int d = 0; d < tree->topLevelItemCount(); ++d) {
        if (tree->topLevelItem(d)->text(0) == device)
            return tree->topLevelItem(d);
    }
    return nullptr;
}

QTreeWidgetItem* sensorRow(QTreeWidget* tree, const QString& device, const QString& sensor)
{
    QTreeWidgetItem* parent = deviceRow(tree, device);
    for (int s = 0; parent != nullptr && s < parent->childCount(); ++s) {
        if (parent->child(s)->text(0) == sensor)
            return parent->child(s);
    }
    return nullptr;
}

QStringList childNames(const QTreeWidgetItem* row)
{
    QStringList names;
    for (int s = 0; row != nullptr && s < row->childCount(); ++s)
        names << row->child(s)->text(0);
    return names;
}

QStringList checkedRows(QTreeWidget* tree)
{
    QStringList checked;
    for (int d = 0; d < tree->topLevelItemCount(); ++d) {
        const QTreeWidgetItem* device = tree->topLevelItem(d);
        for (int s = 0; s < device->childCount(); ++s) {
            if (device->child(s)->checkState(0) == Qt::Checked)
                checked << device->text(0) + QStringLiteral("//") + device->child(s)->text(0);
        }
    }
    return checked;
}

// Types a remark into the sensor's remark cell through the tree's delegate and confirms it.
void editRemark(QTreeWidget* tree, QTreeWidgetItem* row, const QString& text)
{
    tree->editItem(row, 2);
    auto* editor = tree->viewport()->findChild<QLineEdit*>();
    QVERIFY(editor != nullptr);
    editor->setText(text);
    emit editor->editingFinished();
    QCoreApplication::processEvents();
}

} // namespace

class TestHwinfoSelectDialog final : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;
    std::unique_ptr<QSettings> remarks;

    QString remarkPath() const { return folder.filePath(QStringLiteral("sensorRemark.ini")); }

    void openRemarks()
    {
        remarks = std::make_unique<QSettings>(remarkPath(), QSettings::IniFormat);
        remarks->setIniCodec("UTF-8");
        remarkStore = remarks.get();
    }

    static QTreeWidget* treeOf(HwinfoSelectDialog& dialog)
    {
        return dialog.findChild<QTreeWidget*>(QStringLiteral("treeWidget"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(folder.isValid());
        resetSensorCatalogue();
        scriptMachine();
        auto source = SensorFixtures::fakeSource();
        QCOMPARE(source->status, 1);
        source->refresh();
    }

    void init()
    {
        remarkStore = nullptr;
        remarks.reset();
        QFile::remove(remarkPath());
        openRemarks();
    }

    void cleanup()
    {
        HwinfoSelectDialog::setExecHookForTesting({});
        remarkStore = nullptr;
        remarks.reset();
    }

    // Devices by name with "Default Sensor" in its sorted place; sensors by name, only those in
    // the eight display units; a device with none still has its row; the header and the scroll bar.
    void treeContents()
    {
        HwinfoSelectDialog dialog;
        dialog.fill(QString());
        QTreeWidget* tree = treeOf(dialog);
        QStringList devices;
        for (int d = 0; d < tree->topLevelItemCount(); ++d)
            devices << tree->topLevelItem(d)->text(0);
        QCOMPARE(devices, (QStringList{kBoardA, kSlashBoard, kCpu, QStringLiteral("Default Sensor"), kDrive, kBoard,
                                       kDoubleSlash}));
        QCOMPARE(childNames(deviceRow(tree, kCpu)),
                 (QStringList{"CPU Package", "Core 0 Clock", "Package Power", "Total CPU Usage"}));
        QCOMPARE(childNames(deviceRow(tree, kBoard)), (QStringList{"CPU Fan", "Motherboard", "Read Rate", "Vcore"}));
        QCOMPARE(childNames(deviceRow(tree, kDrive)), QStringList());
        // "GPU Temp" and "RAM Usage" are placeholders without a unit on this machine.
        QCOMPARE(childNames(deviceRow(tree, QStringLiteral("Default Sensor"))), (QStringList{"CPU Temp", "CPU Usage"}));

        const QTreeWidgetItem* vcore = sensorRow(tree, kBoard, QStringLiteral("Vcore"));
        QCOMPARE(vcore->text(1), QStringLiteral("1.250V"));
        QCOMPARE(vcore->text(2), QStringLiteral("Vcore"));
        QCOMPARE(sensorRow(tree, kCpu, QStringLiteral("CPU Package"))->text(1), QStringLiteral("45\u00B0C"));
        QVERIFY(vcore->flags() & Qt::ItemIsUserCheckable);
        QVERIFY(vcore->flags() & Qt::ItemIsEditable);
        QVERIFY(!deviceRow(tree, kBoard)->data(0, Qt::CheckStateRole).isValid()); // no check box
        QVERIFY(deviceRow(tree, kBoard)->isExpanded());

        QCOMPARE(tree->headerItem()->text(0), QStringLiteral("Sensor Name"));
        QCOMPARE(tree->headerItem()->text(1), QStringLiteral("Value"));
        QCOMPARE(tree->headerItem()->text(2), QStringLiteral("Remark"));
        QVERIFY(qobject_cast<VScrollBar*>(tree->verticalScrollBar()) != nullptr);
        QVERIFY(qobject_cast<hwTreeDelegate*>(tree->itemDelegate()) != nullptr);
        QCOMPARE(dialog.size(), QSize(780, 480));
        QVERIFY(dialog.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(dialog.windowModality(), Qt::ApplicationModal);
    }

    void preselection_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QStringList>("checked");
        QTest::newRow("device//sensor checks that sensor") << kBoard + "//Vcore" << QStringList{kBoard + "//Vcore"};
        QTest::newRow("Default Sensor's CPU Temp")
            << "Default Sensor//CPU Temp" << QStringList{"Default Sensor//CPU Temp"};
        QTest::newRow("no separator: nothing") << kBoard + "/Vcore" << QStringList();
        QTest::newRow("empty: nothing") << QString() << QStringList();
        QTest::newRow("unknown sensor: nothing") << kBoard + "//Nothing" << QStringList();
        QTest::newRow("a sensor not listed: nothing") << kCpu + "//Core 0 Ratio" << QStringList();
        QTest::newRow("names holding //: that sensor")
            << kDoubleSlash + "//Flow//Rate" << QStringList{kDoubleSlash + "//Flow//Rate"};
        QTest::newRow("three parts naming no sensor: nothing") << "a//b//c" << QStringList();
    }
    void preselection()
    {
        QFETCH(QString, current);
        QFETCH(QStringList, checked);
        HwinfoSelectDialog dialog;
        dialog.fill(current);
        QCOMPARE(checkedRows(treeOf(dialog)), checked);
        QCOMPARE(dialog.checkedSensor(), checked.value(0));
    }

    // Checking a second sensor unchecks the first; unchecking the only one leaves none.
    void oneSensorChecked()
    {
        HwinfoSelectDialog dialog;
        dialog.fill(kBoard + "//Vcore");
        QTreeWidget* tree = treeOf(dialog);
        sensorRow(tree, kCpu, QStringLiteral("CPU Package"))->setCheckState(0, Qt::Checked);
        QCOMPARE(checkedRows(tree), QStringList{kCpu + "//CPU Package"});
        QCOMPARE(dialog.checkedSensor(), kCpu + "//CPU Package");
        sensorRow(tree, kCpu, QStringLiteral("CPU Package"))->setCheckState(0, Qt::Unchecked);
        QCOMPARE(checkedRows(tree), QStringList());
        QCOMPARE(dialog.checkedSensor(), QString());
    }

    // Giving another sensor (or the chosen one) a remark keeps the chosen sensor.
    void editingARemarkKeepsTheChoice()
    {
        HwinfoSelectDialog dialog;
        dialog.fill(kBoard + "//Vcore");
        QTreeWidget* tree = treeOf(dialog);
        editRemark(tree, sensorRow(tree, kCpu, QStringLiteral("CPU Package")), QStringLiteral("Socket"));
        QCOMPARE(sensorRow(tree, kCpu, QStringLiteral("CPU Package"))->text(2), QStringLiteral("Socket"));
        editRemark(tree, sensorRow(tree, kBoard, QStringLiteral("Vcore")), QStringLiteral("Core volts"));
        QCOMPARE(checkedRows(tree), QStringList{kBoard + "//Vcore"});
        QCOMPARE(dialog.checkedSensor(), kBoard + "//Vcore");
    }

    // Only the remark column gets an editor; clearing the text keeps the old remark.
    void remarkEditing()
    {
        HwinfoSelectDialog dialog;
        dialog.fill(QString());
        QTreeWidget* tree = treeOf(dialog);
        QTreeWidgetItem* fan = sensorRow(tree, kBoard, QStringLiteral("CPU Fan"));
        tree->editItem(fan, 0);
        QVERIFY(tree->viewport()->findChild<QLineEdit*>() == nullptr);
        editRemark(tree, fan, QStringLiteral("Pump"));
        QCOMPARE(fan->text(2), QStringLiteral("Pump"));
        editRemark(tree, fan, QString());
        QCOMPARE(fan->text(2), QStringLiteral("Pump"));
    }

    // Typed into the cell and confirmed with Enter, as a user does: a text replaces the remark, an
    // emptied cell keeps it, and the chosen sensor stays chosen.
    void remarkTypedWithEnter()
    {
        HwinfoSelectDialog dialog;
        dialog.fill(kBoard + "//Vcore");
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTreeWidget* tree = treeOf(dialog);
        QTreeWidgetItem* fan = sensorRow(tree, kBoard, QStringLiteral("CPU Fan"));
        const auto type = [&](const QString& text) {
            tree->editItem(fan, 2);
            auto* editor = tree->viewport()->findChild<QLineEdit*>();
            QVERIFY(editor != nullptr);
            editor->selectAll();
            QTest::keyClick(editor, Qt::Key_Backspace);
            QTest::keyClicks(editor, text);
            QTest::keyClick(editor, Qt::Key_Return);
            QTRY_VERIFY(tree->viewport()->findChild<QLineEdit*>() == nullptr ||
                        !tree->viewport()->findChild<QLineEdit*>()->isVisible());
        };
        type(QStringLiteral("Radiator"));
        QCOMPARE(fan->text(2), QStringLiteral("Radiator"));
        type(QString());
        QCOMPARE(fan->text(2), QStringLiteral("Radiator"));
        QCOMPARE(dialog.checkedSensor(), kBoard + "//Vcore");
        QVERIFY(dialog.isVisible());
    }

    // A remark given in the tree and confirmed with OK is the sensor's title afterwards, read back
    // from the file by a new settings handle, for names holding "/", "//" and "%" too, and two
    // sensors whose plain keys would be the same keep their own remarks.
    void remarkRoundTrip_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("sensor");
        QTest::addColumn<QString>("remark");
        QTest::newRow("plain names") << kBoard << "Vcore"
                                     << "Core volts";
        QTest::newRow("remark with / and //") << kBoard << "CPU Fan"
                                              << "Fan/Pump // 1";
        QTest::newRow("/ in the device name") << kSlashBoard << "Fan 1"
                                              << "Left fan";
        QTest::newRow("/ in the sensor name") << kBoardA << "B/Fan 1"
                                              << "Right fan";
        QTest::newRow("// in both names") << kDoubleSlash << "Flow//Rate"
                                          << "Flow";
        QTest::newRow("trailing / in the sensor name") << kBoardA << "Load /"
                                                       << "Load slash";
        QTest::newRow("escape-like % text in the sensor name") << kBoardA << "Load %2F"
                                                               << "Load percent";
        QTest::newRow("non-Latin remark") << kCpu << "CPU Package" << QStringLiteral("处理器 温度");
    }
    void remarkRoundTrip()
    {
        QFETCH(QString, device);
        QFETCH(QString, sensor);
        QFETCH(QString, remark);
        {
            HwinfoSelectDialog dialog;
            dialog.fill(QString());
            QTreeWidget* tree = treeOf(dialog);
            QTreeWidgetItem* row = sensorRow(tree, device, sensor);
            QVERIFY(row != nullptr);
            editRemark(tree, row, remark);
            dialog.findChild<QPushButton*>(QStringLiteral("pushButton_ok"))->click();
            QCOMPARE(dialog.result(), int(QDialog::Accepted));
        }
        remarkStore = nullptr;
        remarks.reset();
        openRemarks();
        QCOMPARE(displayNameFor(device, sensor), remark);
        // The neighbours with colliding plain keys kept their own names.
        QCOMPARE(displayNameFor(kSlashBoard, QStringLiteral("Fan 1")),
                 device == kSlashBoard ? remark : QStringLiteral("Fan 1"));
        QCOMPARE(displayNameFor(kBoardA, QStringLiteral("B/Fan 1")),
                 device == kBoardA && sensor == QLatin1String("B/Fan 1") ? remark : QStringLiteral("B/Fan 1"));
        QCOMPARE(displayNameFor(kBoardA, QStringLiteral("Load /")),
                 sensor == QLatin1String("Load /") ? remark : QStringLiteral("Load /"));
        // A new tree shows it in the remark column.
        HwinfoSelectDialog again;
        again.fill(QString());
        QCOMPARE(sensorRow(treeOf(again), device, sensor)->text(2), remark);
    }

    // Remarks stored under plain keys (as files written before names were escaped hold them) are
    // still read; a stored empty remark counts as none.
    void existingPlainKeysAreRead_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("sensor");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain names") << kBoard << "Vcore"
                                     << "Mine"
                                     << "Mine";
        QTest::newRow("% in the sensor name") << kBoardA << "Load %2F"
                                              << "Mine"
                                              << "Mine";
        QTest::newRow("/ in the device name") << kSlashBoard << "Fan 1"
                                              << "Mine"
                                              << "Mine";
        QTest::newRow("empty remark: the sensor name") << kBoard << "Vcore"
                                                       << ""
                                                       << "Vcore";
    }
    void existingPlainKeysAreRead()
    {
        QFETCH(QString, device);
        QFETCH(QString, sensor);
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        remarks->setValue(device + QLatin1Char('/') + sensor, stored);
        remarks->sync();
        QCOMPARE(displayNameFor(device, sensor), shown);
    }

    // OK writes one key for every listed sensor of every device, a sensor without a remark under its
    // own name; Cancel after edits leaves the file as it was.
    void okWritesEveryListedSensor()
    {
        HwinfoSelectDialog dialog;
        dialog.fill(QString());
        QTreeWidget* tree = treeOf(dialog);
        int listed = 0;
        for (int d = 0; d < tree->topLevelItemCount(); ++d)
            listed += tree->topLevelItem(d)->childCount();
        dialog.findChild<QPushButton*>(QStringLiteral("pushButton_ok"))->click();
        QSettings file(remarkPath(), QSettings::IniFormat);
        file.setIniCodec("UTF-8");
        QCOMPARE(file.allKeys().size(), listed);
        QCOMPARE(file.value(remarkKey(kCpu, QStringLiteral("CPU Package"))).toString(), QStringLiteral("CPU Package"));
        QCOMPARE(file.value(remarkKey(QStringLiteral("Default Sensor"), QStringLiteral("CPU Temp"))).toString(),
                 QStringLiteral("CPU Temp"));
        QVERIFY(!file.contains(remarkKey(kCpu, QStringLiteral("Core 0 Ratio"))));
    }
    void cancelLeavesTheFile()
    {
        remarks->setValue(remarkKey(kBoard, QStringLiteral("Vcore")), QStringLiteral("Before"));
        remarks->sync();
        const QByteArray before = fileHash(remarkPath());
        {
            HwinfoSelectDialog dialog;
            dialog.fill(QString());
            QTreeWidget* tree = treeOf(dialog);
            editRemark(tree, sensorRow(tree, kBoard, QStringLiteral("Vcore")), QStringLiteral("After"));
            editRemark(tree, sensorRow(tree, kCpu, QStringLiteral("CPU Package")), QStringLiteral("Socket"));
            dialog.findChild<QPushButton*>(QStringLiteral("pushButton_canncel"))->click();
            QCOMPARE(dialog.result(), int(QDialog::Rejected));
        }
        QCOMPARE(fileHash(remarkPath()), before);
        QCOMPARE(displayNameFor(kBoard, QStringLiteral("Vcore")), QStringLiteral("Before"));
    }
    // Without a remark store OK still accepts.
    void okWithoutRemarkStore()
    {
        remarkStore = nullptr;
        HwinfoSelectDialog dialog;
        dialog.fill(kBoard + "//Vcore");
        dialog.findChild<QPushButton*>(QStringLiteral("pushButton_ok"))->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!QFile::exists(remarkPath()));
    }

    // Escape does not answer the dialog; only its buttons do.
    void escapeNeverCloses()
    {
        HwinfoSelectDialog dialog;
        dialog.fill(QString());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QTest::keyClick(treeOf(dialog), Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), 0);
    }

    // The runner answers the checked sensor when accepted, nothing when cancelled or when no sensor
    // is checked, and removes its mask.
    void runner_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("check");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("answer");
        QTest::newRow("accepted: the checked sensor")
            << kBoard + "//Vcore" << kCpu + "//CPU Package" << true << kCpu + "//CPU Package";
        QTest::newRow("accepted unchanged: the current sensor")
            << kBoard + "//Vcore" << QString() << true << kBoard + "//Vcore";
        QTest::newRow("accepted with none checked: empty") << QString() << QString() << true << QString();
        QTest::newRow("cancelled: empty") << kBoard + "//Vcore" << kCpu + "//CPU Package" << false << QString();
    }
    void runner()
    {
        QFETCH(QString, current);
        QFETCH(QString, check);
        QFETCH(bool, accept);
        QFETCH(QString, answer);
        QWidget window;
        window.resize(400, 300);
        window.show();
        bool maskShown = false;
        HwinfoSelectDialog::setExecHookForTesting([&](HwinfoSelectDialog& dialog) {
            maskShown = window.findChild<QWidget*>(QLatin1String(kMaskOverlayObjectName)) != nullptr;
            if (!check.isEmpty()) {
                const QStringList parts = check.split(QStringLiteral("//"));
                sensorRow(treeOf(dialog), parts.at(0), parts.at(1))->setCheckState(0, Qt::Checked);
            }
            dialog
                .findChild<QPushButton*>(accept ? QStringLiteral("pushButton_ok")
                                                : QStringLiteral("pushButton_canncel"))
                ->click();
            return dialog.result();
        });
        QCOMPARE(selectSensor(&window, current), answer);
        QVERIFY(maskShown);
        QCOMPARE(window.findChild<QWidget*>(QLatin1String(kMaskOverlayObjectName)), nullptr);
        QCOMPARE(window.findChild<HwinfoSelectDialog*>(), nullptr);
    }

    void splitChoice_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("split");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("sensor");
        QTest::newRow("one //") << "a//b" << true << "a"
                                << "b";
        QTest::newRow("one // with / around") << "a/x//b/y" << true << "a/x"
                                              << "b/y";
        QTest::newRow("none") << "ab" << false << ""
                              << "";
        QTest::newRow("several, naming a catalogue sensor")
            << kDoubleSlash + "//Flow//Rate" << true << kDoubleSlash << "Flow//Rate";
        QTest::newRow("several, naming nothing") << "a//b//c" << false << ""
                                                 << "";
    }
    void splitChoice()
    {
        QFETCH(QString, text);
        QFETCH(bool, split);
        QFETCH(QString, device);
        QFETCH(QString, sensor);
        QString gotDevice;
        QString gotSensor;
        QCOMPARE(splitSensorChoice(text, &gotDevice, &gotSensor), split);
        QCOMPARE(gotDevice, device);
        QCOMPARE(gotSensor, sensor);
    }
};

QTEST_MAIN(TestHwinfoSelectDialog)
#include "TestHwinfoSelectDialog.moc"
