// The program's modal dialogs: the mask that accompanies them, Escape, the notice's fade and
// timing, the progress dialog's end, the agreement pages and the translated privacy policy.

#include "shell/Fonts.h"
#include "tests/support/TestSupport.h"
#include "tests/widgets/PixelChecks.h"
#include "widgets/Dialog_Privary_Policy.h"
#include "widgets/Dialog_User_Agreement.h"
#include "widgets/Dialog_Warn_delete.h"
#include "widgets/MaskOverlay.h"
#include "widgets/NoticeDialog.h"
#include "widgets/ProgressDialog.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTranslator>
#include <QtTest>

#include <functional>
#include <memory>

using namespace PixelChecks;

namespace {

enum class Kind
{
    Notice,
    Progress,
    WarnDelete,
    UserAgreement,
    PrivacyPolicy
};

std::unique_ptr<QDialog> makeDialog(Kind kind, const QString& agreementFolder)
{
    switch (kind) {
    case Kind::Notice:
        return std::make_unique<NoticeDialog>();
    case Kind::Progress:
        return std::make_unique<ProgressDialog>();
    case Kind::WarnDelete:
        return std::make_unique<Dialog_Warn_delete>();
    case Kind::UserAgreement:
        return std::make_unique<Dialog_User_Agreement>(0, agreementFolder);
    case Kind::PrivacyPolicy:
        return std::make_unique<Dialog_Privary_Policy>();
    }
    return nullptr;
}

// Calls `action` once with the modal dialog as soon as one runs. If none shows up, or the action
// leaves it open, that dialog is rejected after 10 s so that a fault fails the test instead of
// hanging it; a dialog of a later test is never touched.
void whileModal(std::function<void(QDialog*)> action)
{
    auto found = std::make_shared<QPointer<QDialog>>();
    auto searching = std::make_shared<bool>(true);
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, action, found, searching] {
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            *searching = false;
            *found = modal;
            action(modal);
        }
    });
    poll->start();
    QTimer::singleShot(10000, [poll, found, searching] {
        if (*searching) {
            poll->deleteLater();
            if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                modal->reject();
        } else if (!found->isNull() && (*found)->isVisible()) {
            (*found)->reject();
        }
    });
}

// Collects warnings and errors while alive.
class MessageCatcher
{
public:
    MessageCatcher()
    {
        caught().clear();
        previous = qInstallMessageHandler(&MessageCatcher::handle);
    }
    ~MessageCatcher() { qInstallMessageHandler(previous); }
    MessageCatcher(const MessageCatcher&) = delete;
    MessageCatcher& operator=(const MessageCatcher&) = delete;

    static QStringList& caught()
    {
        static QStringList messages;
        return messages;
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (type == QtWarningMsg || type == QtCriticalMsg)
            caught() << message;
    }

    QtMessageHandler previous = nullptr;
};

// A top-level window with a content widget in it, like the frame hosting the main window.
struct AppWindow
{
    QWidget window;
    QWidget* content = nullptr;

    AppWindow()
    {
        QPalette palette = window.palette();
        palette.setColor(QPalette::Window, Qt::white);
        window.setPalette(palette);
        window.setAutoFillBackground(true);
        window.resize(640, 480);
        content = new QWidget(&window);
        content->setGeometry(0, 36, 640, 444);
        window.show();
    }

    QWidget* mask() const { return window.findChild<QWidget*>(QString::fromLatin1(kMaskOverlayObjectName)); }
};

} // namespace

Q_DECLARE_METATYPE(Kind)

class TestDialogs final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir pages;

private slots:
    void initTestCase()
    {
        registerFonts();
        QVERIFY(pages.isValid());
        for (const char* code : {"EN", "CN", "JP", "KR"}) {
            QFile page(pages.filePath(QStringLiteral("UserAgreement_%1.html").arg(QLatin1String(code))));
            QVERIFY(page.open(QIODevice::WriteOnly));
            page.write(QByteArray("<html><body><p>Agreement page ") + code + "</p></body></html>");
        }
    }

    void commonLook_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QSize>("minimum");
        QTest::newRow("notice") << Kind::Notice << "Notice" << QSize(243, 96);
        QTest::newRow("progress") << Kind::Progress << "Progress" << QSize(0, 159);
        QTest::newRow("delete confirmation") << Kind::WarnDelete << "" << QSize(543, 252);
        QTest::newRow("user agreement") << Kind::UserAgreement << "User Agreement" << QSize(0, 0);
        QTest::newRow("privacy policy") << Kind::PrivacyPolicy << "Privacy Policy" << QSize(0, 0);
    }

    void commonLook()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, title);
        QFETCH(QSize, minimum);
        std::unique_ptr<QDialog> dialog = makeDialog(kind, pages.path());
        QVERIFY(dialog->windowFlags().testFlag(Qt::Window));
        QVERIFY(dialog->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(dialog->windowModality(), Qt::ApplicationModal);
        QCOMPARE(dialog->windowTitle(), title);
        QVERIFY(dialog->minimumWidth() >= minimum.width());
        QVERIFY(dialog->minimumHeight() >= minimum.height());
        if (kind == Kind::Notice)
            QCOMPARE(dialog->maximumSize(), QSize(243, 96));
    }

    // Escape goes to the dialog, or to its focused child and on to the dialog; neither closes it.
    void escapeDoesNothing_data() { commonLook_data(); }

    void escapeDoesNothing()
    {
        QFETCH(Kind, kind);
        std::unique_ptr<QDialog> dialog = makeDialog(kind, pages.path());
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
        QSignalSpy rejected(dialog.get(), &QDialog::rejected);
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        if (QWidget* focused = dialog->focusWidget())
            QTest::keyClick(focused, Qt::Key_Escape);
        QCoreApplication::processEvents();
        QVERIFY(dialog->isVisible());
        QCOMPARE(rejected.count(), 0);

        // Other keys still reach the default handling: Enter presses the default button.
        if (kind == Kind::WarnDelete) {
            QTest::keyClick(dialog.get(), Qt::Key_Return);
            QVERIFY(!dialog->isVisible());
            QCOMPARE(dialog->result(), int(QDialog::Rejected));
        }
    }

    void maskedDialogs_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("expected");
        QTest::newRow("delete: Escape, then Delete") << Kind::WarnDelete << "pushButton_delete" << true;
        QTest::newRow("delete: Escape, then Cancel") << Kind::WarnDelete << "pushButton_cancel" << false;
        QTest::newRow("user agreement: Escape, then Agree") << Kind::UserAgreement << "pushButton_ok" << true;
        QTest::newRow("privacy policy: Escape, then Understand") << Kind::PrivacyPolicy << "pushButton_ok" << true;
    }

    // The mask covers the whole top-level window in 90 % black exactly while the dialog runs, and
    // only the dialog's own buttons answer it.
    void maskedDialogs()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, answer);
        QFETCH(bool, expected);

        AppWindow app;
        QVERIFY(QTest::qWaitForWindowExposed(&app.window));
        QCOMPARE(app.mask(), nullptr);

        bool maskCovers = false;
        bool maskOnTop = false;
        QColor maskPixel;
        bool stayedOpen = false;
        bool answered = false;
        whileModal([&](QDialog* modal) {
            QWidget* mask = app.mask();
            maskCovers = mask != nullptr && mask->isVisible() && mask->geometry() == app.window.rect();
            maskOnTop = mask != nullptr && app.window.children().constLast() == mask;
            maskPixel = app.window.grab().toImage().pixelColor(5, 100);
            QTest::keyClick(modal, Qt::Key_Escape);
            if (QWidget* focused = modal->focusWidget())
                QTest::keyClick(focused, Qt::Key_Escape);
            QCoreApplication::processEvents();
            stayedOpen = modal->isVisible();
            if (auto* button = modal->findChild<QPushButton*>(answer)) {
                QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
                answered = true;
            }
        });

        bool result = true;
        switch (kind) {
        case Kind::WarnDelete:
            result = confirmDelete(app.content);
            break;
        case Kind::UserAgreement:
            showUserAgreement(app.content, 0, pages.path());
            break;
        case Kind::PrivacyPolicy:
            showPrivacyPolicy(app.content);
            break;
        default:
            QFAIL("not a masked dialog");
        }

        QVERIFY(answered);
        QVERIFY(maskCovers);
        QVERIFY(maskOnTop);
        // 10 % of the white window shows through.
        QVERIFY2(near(maskPixel, QColor(26, 26, 26), 9), qPrintable(describe(maskPixel)));
        QVERIFY(stayedOpen);
        QCOMPARE(result, expected);
        QCOMPARE(app.mask(), nullptr);
    }

    void maskWithoutWindow()
    {
        QCOMPARE(showMaskOverlay(nullptr), nullptr);
        closeMaskOverlay(nullptr);

        AppWindow app;
        QPointer<QWidget> mask = showMaskOverlay(app.content);
        QVERIFY(mask);
        QCOMPARE(mask->parentWidget(), &app.window);
        closeMaskOverlay(mask);
        QVERIFY(mask.isNull());
    }

    // The panel fades 0.8, 0.7, ... to about 0, then to -0.1; the step after that closes the notice.
    void noticeFadeSteps()
    {
        NoticeDialog notice;
        notice.setTitle(QStringLiteral("Notice"));
        notice.show();
        QVERIFY(QTest::qWaitForWindowExposed(&notice));
        const QPoint panel(3, notice.height() / 2);
        QCOMPARE(notice.grab().toImage().pixelColor(panel).alpha(), 204);

        qreal expected = NoticeDialog::kStartOpacity;
        for (int tick = 1; tick <= 9; ++tick) {
            notice.fadeStep();
            expected -= 0.1;
            QVERIFY2(notice.isVisible(), qPrintable(QStringLiteral("closed on tick %1").arg(tick)));
            QVERIFY(qAbs(notice.backgroundOpacity() - expected) < 1e-9);
        }
        QVERIFY(notice.backgroundOpacity() < -0.09);
        {
            MessageCatcher catcher;
            QCOMPARE(notice.grab().toImage().pixelColor(panel).alpha(), 0);
            QCOMPARE(MessageCatcher::caught(), QStringList());
        }
        notice.fadeStep();
        QVERIFY(!notice.isVisible());
    }

    void noticeClosesItself_data()
    {
        QTest::addColumn<QString>("message");
        QTest::newRow("with a message") << "Your device has been updated and is now using the latest version.";
        QTest::newRow("empty message") << "";
    }

    void noticeClosesItself()
    {
        QFETCH(QString, message);
        QString shownTitle;
        QString shownMessage;
        whileModal([&](QDialog* modal) {
            shownTitle = modal->findChild<QLabel*>(QStringLiteral("label_Title"))->text();
            shownMessage = modal->findChild<QLabel*>(QStringLiteral("label_msg"))->text();
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        QElapsedTimer clock;
        clock.start();
        showNotice(nullptr, QStringLiteral("Updated successfully"), message, 3000, 20);
        const qint64 elapsed = clock.elapsed();

        QCOMPARE(shownTitle, QStringLiteral("Updated successfully"));
        QCOMPARE(shownMessage, message);
        // 3000 ms shown, then ten 20 ms fade steps; the upper bound only allows for a busy machine.
        QVERIFY2(elapsed >= 3195 && elapsed < 6000, qPrintable(QString::number(elapsed)));
    }

    void progressEndsAtExactly100_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("open");
        QTest::newRow("0: open") << 0 << true;
        QTest::newRow("99: open") << 99 << true;
        QTest::newRow("100: accepted") << 100 << false;
        QTest::newRow("101: open") << 101 << true;
    }

    void progressEndsAtExactly100()
    {
        QFETCH(int, value);
        QFETCH(bool, open);
        ProgressDialog progress;
        progress.setTitleText(QStringLiteral("Upload Media File"));
        progress.setMessageText(QStringLiteral("Uploading media file, please wait"));
        progress.show();
        QVERIFY(QTest::qWaitForWindowExposed(&progress));
        QSignalSpy accepted(&progress, &QDialog::accepted);
        progress.setValue(50);
        progress.setValue(value);
        QCOMPARE(progress.isVisible(), open);
        QCOMPARE(accepted.count(), open ? 0 : 1);
        QCOMPARE(progress.findChild<QLabel*>(QStringLiteral("label_title"))->text(),
                 QStringLiteral("Upload Media File"));
        QCOMPARE(progress.findChild<QLabel*>(QStringLiteral("label_msg"))->text(),
                 QStringLiteral("Uploading media file, please wait"));
        auto* bar = progress.findChild<QProgressBar*>(QStringLiteral("progressBar"));
        QVERIFY(!bar->isTextVisible());
        QCOMPARE(bar->height(), 4);
        QCOMPARE(bar->maximum(), 100);
    }

    void agreementPageOfLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("file");
        QTest::newRow("English") << 0 << "UserAgreement_EN.html";
        QTest::newRow("simplified Chinese") << 1 << "UserAgreement_CN.html";
        QTest::newRow("Japanese") << 2 << "UserAgreement_JP.html";
        QTest::newRow("Korean") << 3 << "UserAgreement_KR.html";
        QTest::newRow("unknown index: English") << 7 << "UserAgreement_EN.html";
        QTest::newRow("negative index: English") << -1 << "UserAgreement_EN.html";
    }

    void agreementPageOfLanguage()
    {
        QFETCH(int, language);
        QFETCH(QString, file);
        Dialog_User_Agreement dialog(language, pages.path());
        auto* browser = dialog.findChild<QTextBrowser*>(QStringLiteral("textBrowser"));
        QCOMPARE(browser->source(), QUrl::fromLocalFile(pages.filePath(file)));
        const QString code = file.mid(14, 2);
        QCOMPARE(browser->toPlainText().trimmed(), QStringLiteral("Agreement page ") + code);
    }

    // A missing page leaves the text area empty: no warning, no extra window.
    void missingAgreementPage()
    {
        QTemporaryDir empty;
        MessageCatcher catcher;
        Dialog_User_Agreement dialog(3, empty.path());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* browser = dialog.findChild<QTextBrowser*>(QStringLiteral("textBrowser"));
        QVERIFY(browser->toPlainText().isEmpty());
        QVERIFY(browser->source().isEmpty());
        QCOMPARE(MessageCatcher::caught(), QStringList());
        int visibleWindows = 0;
        for (QWidget* top : QApplication::topLevelWidgets())
            visibleWindows += top->isVisible() ? 1 : 0;
        QCOMPARE(visibleWindows, 1);
    }

    void privacyPolicyInEachLanguage_data()
    {
        QTest::addColumn<QString>("code");
        QTest::newRow("English") << "EN";
        QTest::newRow("simplified Chinese") << "CN";
        QTest::newRow("Japanese") << "JP";
        QTest::newRow("Korean") << "KR";
    }

    void privacyPolicyInEachLanguage()
    {
        QFETCH(QString, code);
        QTranslator translator;
        QVERIFY(translator.load(TestSupport::programFile(QStringLiteral("Translator/Translate_%1.qm").arg(code))));
        QCoreApplication::installTranslator(&translator);
        Dialog_Privary_Policy dialog;
        const QString text = dialog.findChild<QTextBrowser*>(QStringLiteral("textBrowser"))->toPlainText();
        const QString title = dialog.findChild<QLabel*>(QStringLiteral("label_about_title"))->text();
        const QString button = dialog.findChild<QPushButton*>(QStringLiteral("pushButton_ok"))->text();
        QCoreApplication::removeTranslator(&translator);

        QVERIFY(text.count(QStringLiteral("\n\n")) >= 5);
        if (code == QLatin1String("EN")) {
            QCOMPARE(text, Dialog_Privary_Policy::policyText());
            QVERIFY(text.contains(QStringLiteral("does not use the network")));
            QCOMPARE(title, QStringLiteral("Privacy Policy"));
            QCOMPARE(button, QStringLiteral("Understand"));
        } else {
            // Every paragraph is translated, not only some.
            for (const QString& english : Dialog_Privary_Policy::policyText().split(QStringLiteral("\n\n")))
                QVERIFY2(!text.contains(english.left(24)), qPrintable(english.left(24)));
            QVERIFY(title != QStringLiteral("Privacy Policy"));
            QVERIFY(button != QStringLiteral("Understand"));
        }
    }
};

QTEST_MAIN(TestDialogs)
#include "TestDialogs.moc"
