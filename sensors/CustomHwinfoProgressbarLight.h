#pragma once

#include <QString>
#include <QWidget>

#include <memory>

class CustomProgressBarlight;
class CustonHwinfoDisplayLabel;

namespace Ui {
class CustomHwinfoProgressbarLight;
}

// A dashboard line with a bar: title and value text above a thin bar of range 0..100. GUI thread
// only.
class CustomHwinfoProgressbarLight final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(CustomHwinfoProgressbarLight)

public:
    explicit CustomHwinfoProgressbarLight(QWidget* parent = nullptr);
    ~CustomHwinfoProgressbarLight() override;

    void setTitle(const QString& title);
    void setValueText(const QString& text);
    // Shows `value` on the bar; a value below the bar's range shows as its minimum (0), one above
    // as its maximum, so the bar never keeps a stale value.
    void setBarValue(int value);

    QString title() const;
    QString valueText() const;
    int barValue() const;
    CustonHwinfoDisplayLabel* textLine() const;
    CustomProgressBarlight* bar() const;

private:
    std::unique_ptr<Ui::CustomHwinfoProgressbarLight> ui;
};
