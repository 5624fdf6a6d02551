// The interface languages: each compiled Translator/Translate_<LANG>.qm loads and answers every
// text with the translation from its .ts source, every .ts entry is finished and written in its
// language's script, and no text marked for translation in the sources is missing from a .ts.

#include "tests/support/TestSupport.h"

#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>
#include <QtTest>

namespace {

struct Message
{
    QString context;
    QString source;
    QString comment;
    QString translation; // plural forms run together
    bool numerus = false;
    QString type; // "unfinished", "vanished", "obsolete" or empty
};

QString keyOf(const Message& m)
{
    return m.context + QChar(0x1f) + m.source + QChar(0x1f) + m.comment;
}

QVector<Message> readTs(const QString& path, QString* error)
{
    QVector<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return messages;
    }
    QXmlStreamReader xml(&file);
    QString context;
    Message current;
    bool inMessage = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            if (name == QLatin1String("context")) {
                context.clear();
            } else if (name == QLatin1String("name") && !inMessage) {
                context = xml.readElementText();
            } else if (name == QLatin1String("message")) {
                inMessage = true;
                current = Message();
                current.context = context;
                current.numerus = xml.attributes().value(QLatin1String("numerus")) == QLatin1String("yes");
            } else if (inMessage && name == QLatin1String("source")) {
                current.source = xml.readElementText();
            } else if (inMessage && name == QLatin1String("comment")) {
                current.comment = xml.readElementText();
            } else if (inMessage && name == QLatin1String("translation")) {
                current.type = xml.attributes().value(QLatin1String("type")).toString();
                current.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("message")) {
            inMessage = false;
            messages.push_back(current);
        }
    }
    if (xml.hasError())
        *error = xml.errorString();
    return messages;
}

QString tsPath(const QString& language)
{
    return TestSupport::sourceDir() + QStringLiteral("/resources/translations/Translate_%1.ts").arg(language);
}

// Whether `text` holds letters of the language's own script.
bool inOwnScript(const QString& language, const QString& text)
{
    static const QHash<QString, QRegularExpression> scripts{
        // Letter blocks, not script properties, which also claim shared punctuation such as "。".
        {QStringLiteral("CN"), QRegularExpression(QStringLiteral("[\\x{4E00}-\\x{9FFF}]"))},
        {QStringLiteral("JP"),
         QRegularExpression(QStringLiteral("[\\x{3041}-\\x{3096}\\x{30A1}-\\x{30FA}\\x{4E00}-\\x{9FFF}]"))},
        {QStringLiteral("KR"), QRegularExpression(QStringLiteral("[\\x{AC00}-\\x{D7A3}]"))},
    };
    return !scripts.contains(language) || scripts.value(language).match(text).hasMatch();
}

void addLanguageRows()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << "EN";
    QTest::newRow("simplified Chinese") << "CN";
    QTest::newRow("Japanese") << "JP";
    QTest::newRow("Korean") << "KR";
}

} // namespace

class TestTranslations : public QObject
{
    Q_OBJECT

private slots:
    void tsEntriesAreFinished_data() { addLanguageRows(); }
    void tsEntriesAreFinished();
    void compiledFileAnswersEveryText_data() { addLanguageRows(); }
    void compiledFileAnswersEveryText();
    void everyTextInTheSourcesIsInEveryLanguage();
};

void TestTranslations::tsEntriesAreFinished()
{
    QFETCH(QString, language);
    QString error;
    const QVector<Message> messages = readTs(tsPath(language), &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(!messages.isEmpty());
    for (const Message& m : messages) {
        const QString where = m.context + QStringLiteral(": \"") + m.source + QLatin1Char('"');
        QVERIFY2(m.type.isEmpty(), qPrintable(where + QStringLiteral(" is marked ") + m.type));
        QVERIFY2(!m.translation.trimmed().isEmpty(), qPrintable(where + QStringLiteral(" has no translation")));
        // Short technical tokens ("CPU", "MHz") and pure format strings ("%1 x %2, %3") may stay as they
        // are; real text may not.
        QString words = m.source;
        words.remove(QRegularExpression(QStringLiteral("%L?\\d+")));
        const bool hasWords = words.contains(QRegularExpression(QStringLiteral("[A-Za-z]{2,}")));
        QVERIFY2(inOwnScript(language, m.translation) || m.source.size() <= 6 || !hasWords,
                 qPrintable(where + QStringLiteral(" is not translated: ") + m.translation));
    }
}

void TestTranslations::compiledFileAnswersEveryText()
{
    QFETCH(QString, language);
    const QString qm = TestSupport::programFile(QStringLiteral("Translator/Translate_%1.qm").arg(language));
    QTranslator translator;
    QVERIFY2(translator.load(qm), qPrintable(qm + QStringLiteral(" does not load")));
    QVERIFY(!translator.isEmpty());
    QString error;
    for (const Message& m : readTs(tsPath(language), &error)) {
        if (m.numerus)
            continue; // plural forms are picked by number; their presence is checked above
        const QString answer = translator.translate(m.context.toUtf8().constData(), m.source.toUtf8().constData(),
                                                    m.comment.isEmpty() ? nullptr : m.comment.toUtf8().constData());
        QCOMPARE(answer, m.translation);
    }
}

void TestTranslations::everyTextInTheSourcesIsInEveryLanguage()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString probe = dir.filePath(QStringLiteral("probe.ts"));
    QStringList arguments{QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none")};
    for (const char* folder :
         {"app", "shell", "settings", "device", "screen", "media", "sensors", "widgets", "forms", "simulator"}) {
        const QString path = TestSupport::sourceDir() + QLatin1Char('/') + QLatin1String(folder);
        if (QFile::exists(path))
            arguments << path;
    }
    arguments << QStringLiteral("-ts") << probe;
    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(QStringLiteral(VORTANE_LUPDATE), arguments);
    const bool finished = lupdate.waitForFinished(60000);
    QVERIFY2(finished && lupdate.exitCode() == 0, lupdate.readAll().constData());

    QString error;
    const QVector<Message> inSources = readTs(probe, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(!inSources.isEmpty());
    for (const char* language : {"EN", "CN", "JP", "KR"}) {
        QHash<QString, Message> known;
        for (const Message& m : readTs(tsPath(QLatin1String(language)), &error))
            known.insert(keyOf(m), m);
        QStringList missing;
        for (const Message& m : inSources) {
            if (!known.contains(keyOf(m)))
                missing << m.context + QStringLiteral(": \"") + m.source + QLatin1Char('"');
        }
        QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("Translate_%1.ts lacks ").arg(QLatin1String(language)) +
                                               missing.join(QStringLiteral("; "))));
    }
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "TestTranslations.moc"
