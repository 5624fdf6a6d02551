#include "widgets/MaskOverlay.h"

#include <QPointer>
#include <QWidget>

QWidget* showMaskOverlay(QWidget* parent)
{
    if (parent == nullptr)
        return nullptr;
    QWidget* window = parent->window();
    auto* mask = new QWidget(window);
    mask->setObjectName(QString::fromLatin1(kMaskOverlayObjectName));
    mask->setAttribute(Qt::WA_DeleteOnClose);
    mask->setStyleSheet(QStringLiteral("background-color:rgba(0, 0, 0,0.9);"));
    mask->setGeometry(0, 0, window->width(), window->height());
    mask->raise();
    mask->show();
    return mask;
}

void closeMaskOverlay(QWidget* mask)
{
    if (mask == nullptr)
        return;
    QPointer<QWidget> guard(mask);
    mask->close();
    // close() only schedules the deletion; the mask must be gone when the dialog's caller goes on.
    delete guard.data();
}
