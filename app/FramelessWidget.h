#pragma once

#include <QWidget>

class QLabel;
class QVBoxLayout;

// The borderless top-level frame: a title bar (logo, title, minimise and close) above one hosted
// content widget. Closing it emits closeWindow(); what that does is the content's choice.
class FramelessWidget final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(FramelessWidget)

public:
    explicit FramelessWidget(QWidget* parent = nullptr);
    ~FramelessWidget() override;

    // Puts the widget into the content area and connects closeWindow() to its
    // closeMainWindowEvent() slot when it has one. The frame takes ownership.
    void setMainWidget(QWidget* widget);

signals:
    void closeWindow();

private:
    QVBoxLayout* contentLayout = nullptr;
    QLabel* titleLabel = nullptr;
};
