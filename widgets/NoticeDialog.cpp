#include "widgets/NoticeDialog.h"

#include "ui_NoticeDialog.h"

#include "shell/TextStyles.h"

#include <QPainter>
#include <QTimer>

namespace {

constexpr qreal kCornerRadius = 10.0;

} // namespace

NoticeDialog::NoticeDialog(QWidget* parent)
    : FramelessModalDialog(parent)
    , ui(std::make_unique<Ui::NoticeDialog>())
    , fadeTimer(new QTimer(this))
{
    ui->setupUi(this);
    setAttribute(Qt::WA_TranslucentBackground);
    ui->label_Title->setText(tr("Notice"));
    appendStyleSheet(ui->label_Title, QString::fromLatin1(TextStyle::SegoeRegular16Light));
    appendStyleSheet(ui->label_msg, QString::fromLatin1(TextStyle::SegoeRegular10Light));

    fadeTimer->setTimerType(Qt::PreciseTimer);
    connect(fadeTimer, &QTimer::timeout, this, &NoticeDialog::fadeStep);
}

NoticeDialog::~NoticeDialog() = default;

void NoticeDialog::setTitle(const QString& title)
{
    ui->label_Title->setText(title);
}

void NoticeDialog::setMessage(const QString& message)
{
    ui->label_msg->setText(message);
}

void NoticeDialog::startFade(int showMs, int stepMs)
{
    // Precise timers: a coarse 3000 ms timer may fire up to 150 ms early.
    QTimer::singleShot(showMs, Qt::PreciseTimer, this, [this, stepMs] { fadeTimer->start(stepMs); });
}

void NoticeDialog::fadeStep()
{
    if (opacity <= 0) {
        fadeTimer->stop();
        close();
        return;
    }
    opacity -= kFadeDecrement;
    update();
}

void NoticeDialog::paintEvent(QPaintEvent*)
{
    // The last step takes the opacity just below 0; the panel is simply transparent then.
    const int alpha = qBound(0, int(255 * opacity), 255);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, alpha));
    painter.drawRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);
}

void showNotice(QWidget* parent, const QString& title, const QString& message, int showMs, int fadeStepMs)
{
    NoticeDialog dialog(parent);
    dialog.setTitle(title);
    dialog.setMessage(message);
    dialog.startFade(showMs, fadeStepMs);
    dialog.exec();
}
