#pragma once

#include "widgets/FramelessModalDialog.h"

#include <memory>

namespace Ui {
class Dialog_Warn_delete;
}

// "Delete?" confirmation before a media item is removed: accepted by Delete, rejected by Cancel,
// and nothing else answers it. GUI thread only.
class Dialog_Warn_delete final : public FramelessModalDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(Dialog_Warn_delete)

public:
    explicit Dialog_Warn_delete(QWidget* parent = nullptr);
    ~Dialog_Warn_delete() override;

private slots:
    void on_pushButton_cancel_clicked();
    void on_pushButton_delete_clicked();

private:
    std::unique_ptr<Ui::Dialog_Warn_delete> ui;
};

// Asks over the dark mask whether to delete; true exactly when the user chose Delete. GUI thread.
bool confirmDelete(QWidget* parent);
