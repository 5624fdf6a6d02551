#include "widgets/FramelessModalDialog.h"

#include <QKeyEvent>

FramelessModalDialog::FramelessModalDialog(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowModality(Qt::ApplicationModal);
}

FramelessModalDialog::~FramelessModalDialog() = default;

void FramelessModalDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
