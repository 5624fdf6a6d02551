#pragma once

#include <QString>
#include <QWidget>

#include <memory>

namespace Ui {
class homepageHwinfoDisplayWidget;
}

// The large temperature tile of the homepage: title, value and unit, centred one above the other.
// GUI thread only.
class homepageHwinfoDisplayWidget final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(homepageHwinfoDisplayWidget)

public:
    explicit homepageHwinfoDisplayWidget(QWidget* parent = nullptr);
    ~homepageHwinfoDisplayWidget() override;

    void setTitle(const QString& title);
    void setValue(const QString& value);
    void setUnit(const QString& unit);
    QString title() const;
    QString value() const;
    QString unit() const;

private:
    std::unique_ptr<Ui::homepageHwinfoDisplayWidget> ui;
};
