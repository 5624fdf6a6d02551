// The user agreement pages in the program folder's UserAgreement/: one real page per interface
// language, in that language, that the agreement dialog's text browser can show.

#include "tests/support/TestSupport.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextCodec>
#include <QTextDocument>
#include <QtTest>

class TestAgreementPages : public QObject
{
    Q_OBJECT

private slots:
    void pageIsWrittenInItsLanguage_data();
    void pageIsWrittenInItsLanguage();
};

void TestAgreementPages::pageIsWrittenInItsLanguage_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("script");     // letters the page's text must be written in
    QTest::addColumn<QString>("notScript");  // letters that would mean the wrong language
    QTest::addColumn<int>("minimumLetters"); // of plain text, after the markup is gone
    // Letter blocks rather than script properties, which also claim shared punctuation such as "。".
    const QString han = QStringLiteral("[\\x{4E00}-\\x{9FFF}]");
    const QString kana = QStringLiteral("[\\x{3041}-\\x{3096}\\x{30A1}-\\x{30FA}]");
    const QString hangul = QStringLiteral("[\\x{AC00}-\\x{D7A3}]");
    const QString bar = QStringLiteral("|");
    QTest::newRow("English") << "UserAgreement_EN.html"
                             << "[A-Za-z]" << han + bar + kana + bar + hangul << 3000;
    QTest::newRow("simplified Chinese") << "UserAgreement_CN.html" << han << kana + bar + hangul << 900;
    QTest::newRow("Japanese") << "UserAgreement_JP.html" << kana << hangul << 1200;
    QTest::newRow("Korean") << "UserAgreement_KR.html" << hangul << kana << 1000;
}

void TestAgreementPages::pageIsWrittenInItsLanguage()
{
    QFETCH(QString, file);
    QFETCH(QString, script);
    QFETCH(QString, notScript);
    QFETCH(int, minimumLetters);
    QFile page(TestSupport::programFile(QStringLiteral("UserAgreement/") + file));
    QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(page.fileName() + QStringLiteral(" is missing")));
    const QByteArray bytes = page.readAll();

    QTextCodec::ConverterState state;
    const QString html = QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    QCOMPARE(state.invalidChars, 0);
    QVERIFY2(html.contains(QRegularExpression(QStringLiteral("<meta charset=\"?utf-8"),
                                              QRegularExpression::CaseInsensitiveOption)),
             "the page does not declare UTF-8, so the text browser would guess");

    QTextDocument document;
    document.setHtml(html);
    const QString text = document.toPlainText();
    int letters = 0;
    for (const QChar c : text)
        letters += c.isLetter() ? 1 : 0;
    QVERIFY2(letters >= minimumLetters, qPrintable(QStringLiteral("only %1 letters of text").arg(letters)));
    QVERIFY(text.contains(QStringLiteral("Vortane Screen")));
    QVERIFY(text.contains(QRegularExpression(script)));
    const QRegularExpressionMatch foreign = QRegularExpression(notScript).match(text);
    QVERIFY2(!foreign.hasMatch(),
             qPrintable(QStringLiteral("text of another language on the page: U+%1")
                            .arg(foreign.captured().isEmpty() ? 0 : foreign.captured().at(0).unicode(), 4, 16,
                                 QLatin1Char('0'))));
}

QTEST_MAIN(TestAgreementPages)
#include "TestAgreementPages.moc"
