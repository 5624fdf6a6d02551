#include "app/MainWindow.h"

#include "app/TextStyles.h"

#include <QCoreApplication>
#include <QLabel>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTextCodec>
#include <QVBoxLayout>

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainWindow"));
    resize(1306, 676);
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralwidget"));
    central->setStyleSheet(QStringLiteral("#centralwidget{background-color:#161616;}"));
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);

    tabWidget_home = new QTabWidget(central);
    tabWidget_home->setObjectName(QStringLiteral("tabWidget_home"));
    tabWidget_home->tabBar()->hide();
    tabWidget_home->setStyleSheet(QStringLiteral("QTabWidget::pane{border:none;}"));
    auto* tabUi = new QWidget;
    tabUi->setObjectName(QStringLiteral("tab_ui"));
    auto* tabHomepage = new QWidget;
    tabHomepage->setObjectName(QStringLiteral("tab_homepage"));
    auto* homeLayout = new QVBoxLayout(tabHomepage);
    homeLayout->setContentsMargins(40, 24, 40, 24);
    auto* title = new QLabel(tr("Homepage"), tabHomepage);
    title->setObjectName(QStringLiteral("label_homepage"));
    appendStyleSheet(title, QString::fromLatin1(TextStyle::SegoeBold24Light));
    homeLayout->addWidget(title);
    homeLayout->addStretch(1);
    tabWidget_home->addTab(tabUi, QString());
    tabWidget_home->addTab(tabHomepage, QString());
    tabWidget_home->setCurrentIndex(1);
    layout->addWidget(tabWidget_home);
    setCentralWidget(central);

    QSettings settings(settingsPath(), QSettings::IniFormat);
    settings.setIniCodec(QTextCodec::codecForName("UTF-8"));
    isPrivacyPolicyAgree = settings.value(QStringLiteral("isPrivacyPolicyAgree"), 0).toInt();
}

MainWindow::~MainWindow()
{
    saveAppConfig();
}

QString MainWindow::settingsPath() const
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/bgConfig.ini");
}

void MainWindow::saveAppConfig()
{
    QSettings settings(settingsPath(), QSettings::IniFormat);
    settings.setIniCodec(QTextCodec::codecForName("UTF-8"));
    settings.setValue(QStringLiteral("isPrivacyPolicyAgree"), isPrivacyPolicyAgree);
    settings.sync();
}

void MainWindow::closeMainWindowEvent()
{
    if (QWidget* top = window())
        top->hide();
}
