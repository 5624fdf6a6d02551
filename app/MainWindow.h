#pragma once

#include <QMainWindow>

class QTabWidget;

// The application's content window, hosted inside FramelessWidget. It holds the pages and the
// application state, and writes the settings when it is destroyed.
class MainWindow final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY(MainWindow)

public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Writes every application setting to bgConfig.ini.
    void saveAppConfig();

    int isPrivacyPolicyAgree = 0; // first-launch flag: 0 until the first launch has been shown
    QTabWidget* tabWidget_home = nullptr;

public slots:
    void closeMainWindowEvent();

private:
    QString settingsPath() const;
};
