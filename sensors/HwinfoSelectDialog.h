#pragma once

#include "widgets/FramelessModalDialog.h"

#include <QString>

#include <functional>
#include <memory>

class QTreeWidgetItem;

namespace Ui {
class HwinfoSelectDialog;
}

// The sensor tree: every device of the catalogue with its sensors in the eight display units, each
// sensor with its current value and its remark (the user's own title for it). One sensor at most is
// checked; the remark column is editable. OK stores every listed sensor's remark in the remark store
// and accepts, Cancel discards the edits. Frameless, application-modal, 780 x 480; Escape never
// closes it. GUI thread only.
class HwinfoSelectDialog final : public FramelessModalDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(HwinfoSelectDialog)

public:
    explicit HwinfoSelectDialog(QWidget* parent = nullptr);
    ~HwinfoSelectDialog() override;

    // Rebuilds the tree from a snapshot of the catalogue. `current` is "device//sensor"; only a text
    // with exactly one "//" preselects (checks) that sensor.
    void fill(const QString& current);
    // The checked sensor as "device//sensor", or an empty text when none is checked.
    QString checkedSensor() const;

    // Runs an opened dialog in place of exec() (tests): gets the filled dialog, returns its result.
    using ExecHook = std::function<int(HwinfoSelectDialog&)>;
    static void setExecHookForTesting(ExecHook hook);

private slots:
    // Keeps at most one sensor checked; only a change of a sensor's check box (column 0) moves the
    // choice, so editing a remark leaves it alone.
    void treeItemChangeSlot(QTreeWidgetItem* item, int column);
    void on_pushButton_ok_clicked();
    void on_pushButton_canncel_clicked();

private:
    void saveRemarks();

    std::unique_ptr<Ui::HwinfoSelectDialog> ui;
    QTreeWidgetItem* m_checked = nullptr;
};

// Splits a "device//sensor" text. A text with exactly one "//" splits there; a text with more
// splits at the "//" whose two sides name a device of the catalogue and one of its sensors (names
// may hold "//" themselves). False, leaving the outputs alone, when neither applies. Any thread.
bool splitSensorChoice(const QString& text, QString* hardwareName, QString* sensorName);

// Lets the user choose the sensor for `current` ("device//sensor") over the dark mask. Returns the
// checked sensor as "device//sensor" when accepted (empty when none is checked), or an empty text
// when cancelled. The dialog is gone when it returns. GUI thread.
QString selectSensor(QWidget* parent, const QString& current);
