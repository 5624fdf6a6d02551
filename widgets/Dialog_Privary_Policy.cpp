#include "widgets/Dialog_Privary_Policy.h"

#include "ui_Dialog_Privary_Policy.h"

#include "shell/TextStyles.h"
#include "widgets/MaskOverlay.h"
#include "widgets/VScrollBar.h"

#include <QStringList>

Dialog_Privary_Policy::Dialog_Privary_Policy(QWidget* parent)
    : FramelessModalDialog(parent)
    , ui(std::make_unique<Ui::Dialog_Privary_Policy>())
{
    ui->setupUi(this);
    // The background picture has rounded corners; outside them the mask shows through.
    setAttribute(Qt::WA_TranslucentBackground);
    appendStyleSheet(ui->label_about_title, QString::fromLatin1(TextStyle::SegoeSemibold16Light));
    ui->textBrowser->setStyleSheet(
        QStringLiteral("background:#101010;color:#FFFFFF;font-family:Segoe UI;font-style:Regular;font-size:14px;"));
    ui->textBrowser->setVerticalScrollBar(new VScrollBar(ui->textBrowser));
    ui->textBrowser->setPlainText(policyText());
}

Dialog_Privary_Policy::~Dialog_Privary_Policy() = default;

QString Dialog_Privary_Policy::policyText()
{
    const QStringList paragraphs{
        tr("To protect your privacy, Vortane Screen works entirely on this computer. It has no account, "
           "no advertising, no usage statistics and no automatic update check, and it does not use the "
           "network."),
        tr("What the program reads: hardware sensor readings such as temperatures, fan speeds, voltages, "
           "clock frequencies and usage are read locally from this computer's operating system, once a "
           "second, only to show them on the homepage and on your cooler's screen. They are not recorded "
           "and are never sent anywhere else."),
        tr("What the program stores: your cooler settings (such as colours, brightness, rotation angle, the "
           "sensors you chose and your display, screen and clock settings), your sensor remarks and the "
           "media files you add are kept in local files on this computer: bgConfig.ini, sensorRemark.ini "
           "and the Background folder, next to the program or in your user data folder. If you turn on "
           "Launch on startup, an autostart entry is added for your user account and removed again when "
           "you turn it off."),
        tr("What the program sends: pictures, videos, sensor readings and device settings go only to your "
           "cooler's screen controller, over its USB cable. Nothing is sent to the maker of the cooler or "
           "to anyone else."),
        tr("Web pages: the About Us button opens the maker's web site in your own browser only when you "
           "click it; that web site has its own privacy policy."),
        tr("Removing your data: deleting the files and the folder named above removes everything the "
           "program has stored."),
    };
    return paragraphs.join(QStringLiteral("\n\n"));
}

void Dialog_Privary_Policy::on_pushButton_ok_clicked()
{
    accept();
}

void showPrivacyPolicy(QWidget* maskOwner)
{
    QWidget* mask = showMaskOverlay(maskOwner);
    Dialog_Privary_Policy dialog;
    dialog.exec();
    closeMaskOverlay(mask);
}
