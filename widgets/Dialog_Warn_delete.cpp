#include "widgets/Dialog_Warn_delete.h"

#include "ui_Dialog_Warn_delete.h"

#include "shell/TextStyles.h"
#include "widgets/MaskOverlay.h"

Dialog_Warn_delete::Dialog_Warn_delete(QWidget* parent)
    : FramelessModalDialog(parent)
    , ui(std::make_unique<Ui::Dialog_Warn_delete>())
{
    ui->setupUi(this);
    // The background picture has rounded corners; outside them the mask shows through.
    setAttribute(Qt::WA_TranslucentBackground);
    appendStyleSheet(ui->label_title, QString::fromLatin1(TextStyle::SegoeSemibold16Light));
    appendStyleSheet(ui->label_show_string, QString::fromLatin1(TextStyle::SegoeRegular14Light));
}

Dialog_Warn_delete::~Dialog_Warn_delete() = default;

void Dialog_Warn_delete::on_pushButton_cancel_clicked()
{
    reject();
}

void Dialog_Warn_delete::on_pushButton_delete_clicked()
{
    accept();
}

bool confirmDelete(QWidget* parent)
{
    QWidget* mask = showMaskOverlay(parent);
    Dialog_Warn_delete dialog(parent);
    const int result = dialog.exec();
    closeMaskOverlay(mask);
    return result == QDialog::Accepted;
}
