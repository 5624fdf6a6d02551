#include "sensors/HwinfoSelectDialog.h"

#include "ui_HwinfoSelectDialog.h"

#include "sensors/SensorCatalogue.h"
#include "sensors/hwTreeDelegate.h"
#include "widgets/MaskOverlay.h"
#include "widgets/VScrollBar.h"

#include <QHeaderView>
#include <QSettings>

#include <algorithm>

namespace {

constexpr int kNameColumn = 0;
constexpr int kValueColumn = 1;
constexpr int kRemarkColumn = 2;

const QString kSensorSeparator = QStringLiteral("//");

HwinfoSelectDialog::ExecHook& execHook()
{
    static HwinfoSelectDialog::ExecHook hook;
    return hook;
}

} // namespace

HwinfoSelectDialog::HwinfoSelectDialog(QWidget* parent)
    : FramelessModalDialog(parent)
    , ui(std::make_unique<Ui::HwinfoSelectDialog>())
{
    ui->setupUi(this);
    setFixedSize(780, 480);
    ui->treeWidget->setVerticalScrollBar(new VScrollBar(ui->treeWidget));
}

HwinfoSelectDialog::~HwinfoSelectDialog() = default;

void HwinfoSelectDialog::setExecHookForTesting(ExecHook hook)
{
    execHook() = std::move(hook);
}

void HwinfoSelectDialog::fill(const QString& current)
{
    QTreeWidget* tree = ui->treeWidget;
    const QSignalBlocker blocker(tree);
    disconnect(tree, &QTreeWidget::itemChanged, this, &HwinfoSelectDialog::treeItemChangeSlot);

    QString preselectedDevice;
    QString preselectedSensor;
    const bool preselected = splitSensorChoice(current, &preselectedDevice, &preselectedSensor);

    tree->clear();
    tree->setColumnCount(3);
    tree->setHeaderLabels({tr("Sensor Name"), tr("Value"), tr("Remark")});
    tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* delegate = new hwTreeDelegate(tree);
    delegate->editColumn = kRemarkColumn;
    tree->setItemDelegate(delegate);
    m_checked = nullptr;

    const QHash<QString, HardwareEntry> catalogue = sensorCatalogue();
    QStringList devices = catalogue.keys();
    std::sort(devices.begin(), devices.end());
    const QStringList& units = unitList();
    for (const QString& device : devices) {
        auto* deviceRow = new QTreeWidgetItem(tree);
        deviceRow->setText(kNameColumn, device);
        const HardwareEntry& entry = catalogue[device];
        QStringList sensors = entry.sensors.keys();
        std::sort(sensors.begin(), sensors.end());
        for (const QString& sensor : sensors) {
            const SensorReading& reading = entry.sensors[sensor];
            if (!units.contains(reading.unit))
                continue;
            auto* sensorRow = new QTreeWidgetItem(deviceRow);
            sensorRow->setText(kNameColumn, sensor);
            sensorRow->setText(kValueColumn, reading.valueText + reading.unit);
            sensorRow->setText(kRemarkColumn, displayNameFor(device, sensor));
            sensorRow->setFlags(sensorRow->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsEditable);
            const bool chosen = preselected && device == preselectedDevice && sensor == preselectedSensor;
            sensorRow->setCheckState(kNameColumn, chosen ? Qt::Checked : Qt::Unchecked);
            if (chosen)
                m_checked = sensorRow;
        }
    }

    tree->expandAll();
    // The chosen sensor may sit far down a long tree.
    if (m_checked != nullptr)
        tree->scrollToItem(m_checked, QAbstractItemView::PositionAtCenter);
    connect(tree, &QTreeWidget::itemChanged, this, &HwinfoSelectDialog::treeItemChangeSlot);
}

QString HwinfoSelectDialog::checkedSensor() const
{
    if (m_checked == nullptr || m_checked->parent() == nullptr)
        return QString();
    return m_checked->parent()->text(kNameColumn) + kSensorSeparator + m_checked->text(kNameColumn);
}

void HwinfoSelectDialog::treeItemChangeSlot(QTreeWidgetItem* item, int column)
{
    if (item == nullptr || column != kNameColumn || item->parent() == nullptr)
        return;
    if (item->checkState(kNameColumn) == Qt::Checked) {
        QTreeWidgetItem* previous = m_checked;
        m_checked = item;
        // Re-enters this slot for the previous row, which is no longer the checked one.
        if (previous != nullptr && previous != item)
            previous->setCheckState(kNameColumn, Qt::Unchecked);
    } else if (item == m_checked) {
        m_checked = nullptr;
    }
}

void HwinfoSelectDialog::saveRemarks()
{
    if (remarkStore == nullptr)
        return;
    QTreeWidget* tree = ui->treeWidget;
    for (int d = 0; d < tree->topLevelItemCount(); ++d) {
        const QTreeWidgetItem* deviceRow = tree->topLevelItem(d);
        for (int s = 0; s < deviceRow->childCount(); ++s) {
            const QTreeWidgetItem* sensorRow = deviceRow->child(s);
            storeRemark(deviceRow->text(kNameColumn), sensorRow->text(kNameColumn), sensorRow->text(kRemarkColumn));
        }
    }
    remarkStore->sync();
}

void HwinfoSelectDialog::on_pushButton_ok_clicked()
{
    saveRemarks();
    accept();
}

void HwinfoSelectDialog::on_pushButton_canncel_clicked()
{
    reject();
}

bool splitSensorChoice(const QString& text, QString* hardwareName, QString* sensorName)
{
    const QStringList parts = text.split(kSensorSeparator);
    if (parts.size() == 2) {
        *hardwareName = parts.at(0);
        *sensorName = parts.at(1);
        return true;
    }
    if (parts.size() < 2)
        return false;
    const QHash<QString, HardwareEntry> catalogue = sensorCatalogue();
    for (int at = text.indexOf(kSensorSeparator); at >= 0; at = text.indexOf(kSensorSeparator, at + 1)) {
        const QString device = text.left(at);
        const QString sensor = text.mid(at + kSensorSeparator.size());
        const auto entry = catalogue.constFind(device);
        if (entry != catalogue.constEnd() && entry->sensors.contains(sensor)) {
            *hardwareName = device;
            *sensorName = sensor;
            return true;
        }
    }
    return false;
}

QString selectSensor(QWidget* parent, const QString& current)
{
    QWidget* mask = showMaskOverlay(parent);
    QString answer;
    {
        HwinfoSelectDialog dialog(parent);
        dialog.fill(current);
        const int result = execHook() ? execHook()(dialog) : dialog.exec();
        if (result == QDialog::Accepted)
            answer = dialog.checkedSensor();
    }
    closeMaskOverlay(mask);
    return answer;
}
