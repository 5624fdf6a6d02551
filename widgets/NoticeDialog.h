#pragma once

#include "widgets/FramelessModalDialog.h"

#include <QString>

#include <memory>

class QTimer;
namespace Ui {
class NoticeDialog;
}

// Auto-closing message: a title and a word-wrapped message on a translucent black rounded panel.
// After the show time the panel fades in steps of 0.1 opacity, one per fade step, and the dialog
// closes itself on the step that finds the opacity at or below 0; the labels stay fully visible
// until then. With the usual 3000 ms and 20 ms it closes 3200 ms after opening. GUI thread only.
class NoticeDialog final : public FramelessModalDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(NoticeDialog)

public:
    static constexpr qreal kStartOpacity = 0.8;
    static constexpr qreal kFadeDecrement = 0.1;

    explicit NoticeDialog(QWidget* parent = nullptr);
    ~NoticeDialog() override;

    void setTitle(const QString& title);
    void setMessage(const QString& message);

    // Arms the fade: `showMs` after this call the fade timer starts with an interval of `stepMs`.
    void startFade(int showMs, int stepMs);

    qreal backgroundOpacity() const { return opacity; }

    // One fade tick: closes the dialog when the opacity is at or below 0, otherwise lowers it by
    // 0.1 and repaints.
    void fadeStep();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<Ui::NoticeDialog> ui;
    QTimer* fadeTimer = nullptr;
    qreal opacity = kStartOpacity;
};

// Shows an auto-closing notice with `title` and `message` modally and returns once it has closed
// itself (`showMs` + about ten `fadeStepMs` later). The program passes 3000 and 20. GUI thread only.
void showNotice(QWidget* parent, const QString& title, const QString& message, int showMs, int fadeStepMs);
