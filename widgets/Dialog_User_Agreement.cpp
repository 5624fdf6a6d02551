#include "widgets/Dialog_User_Agreement.h"

#include "ui_Dialog_User_Agreement.h"

#include "shell/TextStyles.h"
#include "widgets/MaskOverlay.h"
#include "widgets/VScrollBar.h"
#include "widgets/WidgetsLog.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <iterator>

namespace {

constexpr const char* kLanguageCodes[] = {"EN", "CN", "JP", "KR"};

} // namespace

Dialog_User_Agreement::Dialog_User_Agreement(int language, const QString& agreementFolder, QWidget* parent)
    : FramelessModalDialog(parent)
    , ui(std::make_unique<Ui::Dialog_User_Agreement>())
    , page(QDir(agreementFolder).filePath(pageFileName(language)))
{
    ui->setupUi(this);
    // The background picture has rounded corners; outside them the mask shows through.
    setAttribute(Qt::WA_TranslucentBackground);
    appendStyleSheet(ui->label_about_title, QString::fromLatin1(TextStyle::SegoeSemibold16Light));
    ui->textBrowser->setStyleSheet(QStringLiteral("QTextBrowser{background:#101010;color:#FFFFFF;border:none;}"));
    ui->textBrowser->setVerticalScrollBar(new VScrollBar(ui->textBrowser));

    // QTextBrowser warns on the console about a source it cannot open; a missing page is simply
    // an empty agreement here.
    if (QFileInfo(page).isFile())
        ui->textBrowser->setSource(QUrl::fromLocalFile(page));
    else
        qCInfo(lcWidgets) << "user agreement page not found:" << page;
}

Dialog_User_Agreement::~Dialog_User_Agreement() = default;

QString Dialog_User_Agreement::pageFileName(int language)
{
    const bool known = language >= 0 && language < int(std::size(kLanguageCodes));
    return QStringLiteral("UserAgreement_%1.html").arg(QLatin1String(kLanguageCodes[known ? language : 0]));
}

void Dialog_User_Agreement::on_pushButton_ok_clicked()
{
    accept();
}

void showUserAgreement(QWidget* parent, int language, const QString& agreementFolder)
{
    QWidget* mask = showMaskOverlay(parent);
    Dialog_User_Agreement dialog(language, agreementFolder, parent);
    dialog.exec();
    closeMaskOverlay(mask);
}
