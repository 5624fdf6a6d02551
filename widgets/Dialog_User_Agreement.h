#pragma once

#include "widgets/FramelessModalDialog.h"

#include <QString>

#include <memory>

namespace Ui {
class Dialog_User_Agreement;
}

// The end-user licence agreement in the interface language, read from the HTML page
// "UserAgreement_<EN|CN|JP|KR>.html" in the agreement folder. Agree closes it; nothing is recorded.
// A missing page leaves the text area empty. GUI thread only.
class Dialog_User_Agreement final : public FramelessModalDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(Dialog_User_Agreement)

public:
    // `language` is the interface language index (0 English, 1 simplified Chinese, 2 Japanese,
    // 3 Korean); `agreementFolder` is the folder holding the pages (the program's UserAgreement/).
    Dialog_User_Agreement(int language, const QString& agreementFolder, QWidget* parent = nullptr);
    ~Dialog_User_Agreement() override;

    // "UserAgreement_KR.html" for 3 and so on; indexes outside 0..3 give the English page.
    static QString pageFileName(int language);

    // The page this dialog shows (whether or not it exists).
    QString pagePath() const { return page; }

private slots:
    void on_pushButton_ok_clicked();

private:
    std::unique_ptr<Ui::Dialog_User_Agreement> ui;
    QString page;
};

// Shows the agreement modally over the mask on `parent`'s window. GUI thread only.
void showUserAgreement(QWidget* parent, int language, const QString& agreementFolder);
