#include "shell/TextStyles.h"

#include <QWidget>

void appendStyleSheet(QWidget* widget, const QString& fragment)
{
    if (widget == nullptr)
        return;
    widget->setStyleSheet(widget->styleSheet() + QLatin1Char(';') + fragment);
}
