#pragma once

#include <QString>
#include <QWidget>

#include <memory>

namespace Ui {
class CustonHwinfoDisplayLabel;
}

// One line of a dashboard group: the sensor's title on the left, its value on the right. The
// value reads "50°C" until the first update. GUI thread only.
class CustonHwinfoDisplayLabel final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(CustonHwinfoDisplayLabel)

public:
    explicit CustonHwinfoDisplayLabel(QWidget* parent = nullptr);
    ~CustonHwinfoDisplayLabel() override;

    void setTitle(const QString& title);
    void setValue(const QString& value);
    QString title() const;
    QString value() const;

private:
    std::unique_ptr<Ui::CustonHwinfoDisplayLabel> ui;
};
