#pragma once

#include "types/OverlayItem.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class CustomProgressBarRing;

namespace Ui {
class HwinfoProperty;
}

// Editor of one sensor overlay item: which sensor it shows (chosen in the sensor tree), the colours
// and fonts of its title and content labels, and whether it is drawn; a ring gauge follows the
// sensor's live value. The creator sets the object property "ID" (the item index 0..3). Every user
// change emits hwinfopropertyChange(); the receiver reads the item from the properties below.
// GUI thread only.
class HwinfoProperty final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(HwinfoProperty)
    Q_PROPERTY(QString hardwareName READ hardwareName)
    Q_PROPERTY(QString sensorName READ sensorName)
    Q_PROPERTY(QColor titleColor READ titleColor)
    Q_PROPERTY(QColor contentColor READ contentColor)
    Q_PROPERTY(QFont titleFont READ titleFont)
    Q_PROPERTY(QFont contentFont READ contentFont)
    Q_PROPERTY(bool enable READ enable)

public:
    // Asks for a colour, starting at `initial`; an invalid colour means cancelled.
    using ColorChooser = std::function<QColor(const QColor& initial, QWidget* parent)>;
    // Asks for a font, starting at `initial`; sets *accepted.
    using FontChooser = std::function<QFont(bool* accepted, const QFont& initial)>;
    // Asks for a sensor as "device//sensor" starting at `current`; empty means no change.
    using SensorChooser = std::function<QString(QWidget* parent, const QString& current)>;

    explicit HwinfoProperty(QWidget* parent = nullptr);
    ~HwinfoProperty() override;

    // Shows the item (names with a fresh display, colours, fonts, enable). Emits nothing.
    void setItem(const OverlayItem& item);
    // Stores the sensor and refreshes the display.
    void setSensor(const QString& hardwareName, const QString& sensorName);
    // Title = the sensor's display name; the gauge takes the current reading, its unit and range.
    void refreshDisplay();

    QString hardwareName() const { return m_item.hardwareName; }
    QString sensorName() const { return m_item.sensorName; }
    QColor titleColor() const { return m_item.titleColor; }
    QColor contentColor() const { return m_item.contentColor; }
    QFont titleFont() const { return m_item.titleFont; }
    QFont contentFont() const { return m_item.contentFont; }
    bool enable() const { return m_item.enable; }
    const OverlayItem& item() const { return m_item; }

    CustomProgressBarRing* gauge() const;
    // Defaults: QColorDialog::getColor, QFontDialog::getFont, selectSensor.
    void setColorChooser(ColorChooser chooser);
    void setFontChooser(FontChooser chooser);
    void setSensorChooser(SensorChooser chooser);

    // Style sheets of the colour buttons for a colour.
    static QString titleColorStyle(const QColor& color);
    static QString contentColorStyle(const QColor& color);

signals:
    void hwinfopropertyChange();

protected:
    // The button tips follow a language switch.
    void changeEvent(QEvent* event) override;

private slots:
    void on_pushButton_EditTitleColor_clicked();
    void on_pushButton_EditContentColor_clicked();
    void on_pushButton_TitleFontEdit_clicked();
    void on_pushButton_ContentFontEdit_clicked();
    void on_pushButton_SelectHwinfo_clicked();
    void on_pushButton_Enable_clicked();

private:
    void setTitleColor(const QColor& color);
    void setContentColor(const QColor& color);

    std::unique_ptr<Ui::HwinfoProperty> ui;
    OverlayItem m_item;
    ColorChooser m_chooseColor;
    FontChooser m_chooseFont;
    SensorChooser m_chooseSensor;
};
