#include "app/FramelessWidget.h"

#include "app/TextStyles.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kTitleBarHeight = 36;

QPushButton* titleButton(const QString& icon, QWidget* parent)
{
    auto* button = new QPushButton(parent);
    button->setFixedSize(kTitleBarHeight, kTitleBarHeight);
    button->setFlat(true);
    button->setStyleSheet(QStringLiteral("QPushButton{border:none;image:url(%1);}"
                                         "QPushButton:hover{background-color:#2A2A2A;}")
                              .arg(icon));
    return button;
}

} // namespace

FramelessWidget::FramelessWidget(QWidget* parent)
    : QWidget(parent)
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::Window);
    setWindowTitle(QStringLiteral("Vortane Screen"));
    setObjectName(QStringLiteral("FramelessWidget"));
    setStyleSheet(QStringLiteral("#FramelessWidget{background-color:#161616;}"));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    auto* bar = new QWidget(this);
    bar->setFixedHeight(kTitleBarHeight);
    bar->setObjectName(QStringLiteral("titleBar"));
    bar->setStyleSheet(QStringLiteral("#titleBar{background-color:#1E1E1E;}"));
    auto* barLayout = new QHBoxLayout(bar);
    barLayout->setContentsMargins(12, 0, 0, 0);
    barLayout->setSpacing(8);
    auto* logo = new QLabel(bar);
    logo->setPixmap(QPixmap(QStringLiteral(":/material/Icon/Logo.png")));
    titleLabel = new QLabel(windowTitle(), bar);
    appendStyleSheet(titleLabel, QString::fromLatin1(TextStyle::SegoeSemibold16Light));
    barLayout->addWidget(logo);
    barLayout->addWidget(titleLabel);
    barLayout->addStretch(1);
    QPushButton* minimise = titleButton(QStringLiteral(":/material/Icon/Min.png"), bar);
    QPushButton* close = titleButton(QStringLiteral(":/material/Icon/Close.png"), bar);
    barLayout->addWidget(minimise);
    barLayout->addWidget(close);
    connect(minimise, &QPushButton::clicked, this, &QWidget::showMinimized);
    connect(close, &QPushButton::clicked, this, &FramelessWidget::closeWindow);

    outer->addWidget(bar);
    contentLayout = new QVBoxLayout;
    contentLayout->setContentsMargins(0, 0, 0, 0);
    outer->addLayout(contentLayout, 1);
}

FramelessWidget::~FramelessWidget() = default;

void FramelessWidget::setMainWidget(QWidget* widget)
{
    if (widget == nullptr)
        return;
    widget->setParent(this);
    contentLayout->addWidget(widget);
    if (widget->metaObject()->indexOfSlot("closeMainWindowEvent()") >= 0)
        connect(this, SIGNAL(closeWindow()), widget, SLOT(closeMainWindowEvent()));
}
