// The embedded resource collection: every picture the interface names is there at its size,
// nothing embedded is left unlisted, the clock hands have their exact pixels, and the Qt
// configuration file is byte for byte what the Windows platform plug-in expects.

#include "tests/support/TestSupport.h"

#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QtTest>

namespace {

struct TableRow
{
    QString path;
    QSize size;
    QString use;
};

QVector<TableRow> readTable()
{
    QVector<TableRow> rows;
    QFile file(TestSupport::sourceDir() + QStringLiteral("/tests/resources/resource-table.tsv"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return rows;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (fields.size() < 3)
            continue;
        rows.push_back({fields.at(0), QSize(fields.at(1).toInt(), fields.at(2).toInt()), fields.value(3)});
    }
    return rows;
}

const QColor kHandColour(137, 231, 255);

} // namespace

class TestResourcePictures : public QObject
{
    Q_OBJECT

private slots:
    void tableIsReadable();
    void pictureLoadsAtItsSize_data();
    void pictureLoadsAtItsSize();
    void everyEmbeddedPictureIsListed();
    void qtConfLinesAreSeparatedByCrLf();
    void clockHandPixels_data();
    void clockHandPixels();
    void hourHandHasRoundedEndAtCentre();
};

void TestResourcePictures::tableIsReadable()
{
    QVERIFY2(readTable().size() > 50, "tests/resources/resource-table.tsv is missing or nearly empty");
}

void TestResourcePictures::pictureLoadsAtItsSize_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSize>("size");
    for (const TableRow& row : readTable())
        QTest::newRow(qPrintable(row.path + QStringLiteral(" (") + row.use + QLatin1Char(')'))) << row.path << row.size;
}

void TestResourcePictures::pictureLoadsAtItsSize()
{
    QFETCH(QString, path);
    QFETCH(QSize, size);
    QVERIFY2(QFile::exists(path), qPrintable(path + QStringLiteral(" is not embedded")));
    QVERIFY2(size.width() > 0 && size.height() > 0 && size.width() <= 1024 && size.height() <= 1024,
             "the table's size is not a sane picture size");
    const QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path + QStringLiteral(" does not load as a picture")));
    QCOMPARE(image.size(), size);

    // A picture the interface shows must show something.
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    bool visible = false;
    for (int y = 0; y < argb.height() && !visible; ++y) {
        for (int x = 0; x < argb.width() && !visible; ++x)
            visible = qAlpha(argb.pixel(x, y)) > 0;
    }
    QVERIFY2(visible, qPrintable(path + QStringLiteral(" is fully transparent")));
}

void TestResourcePictures::everyEmbeddedPictureIsListed()
{
    QSet<QString> listed;
    for (const TableRow& row : readTable())
        listed.insert(row.path);
    QStringList unlisted;
    for (const QString& root : {QStringLiteral(":/material"), QStringLiteral(":/material_dialog")}) {
        QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.startsWith(QStringLiteral(":/material/Font/")))
                continue;
            if (!listed.contains(path))
                unlisted << path;
        }
    }
    QVERIFY2(QFile::exists(QStringLiteral(":/favicon.ico")), "the tray icon is not embedded");
    QVERIFY2(unlisted.isEmpty(), qPrintable(QStringLiteral("embedded but not in the table: ") + unlisted.join(", ")));
}

void TestResourcePictures::qtConfLinesAreSeparatedByCrLf()
{
    QFile file(QStringLiteral(":/qt/etc/qt.conf"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("[Platforms]\r\nWindowsArguments = dpiawareness=0"));
}

void TestResourcePictures::clockHandPixels_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QRect>("opaque");   // fully opaque hand colour exactly here
    QTest::addColumn<QRect>("softEdge"); // partly covered pixels allowed only here
    QTest::newRow("minute hand: x 160-255, rows 4-5")
        << ":/material/Icon/min_line.png" << QRect(QPoint(160, 4), QPoint(255, 5)) << QRect();
    QTest::newRow("hour hand: x 160-227, rows 1-8, round end back to x 156")
        << ":/material/Icon/hour_line.png" << QRect(QPoint(160, 1), QPoint(227, 8))
        << QRect(QPoint(156, 1), QPoint(159, 8));
}

void TestResourcePictures::clockHandPixels()
{
    QFETCH(QString, path);
    QFETCH(QRect, opaque);
    QFETCH(QRect, softEdge);
    const QImage image = QImage(path).convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(320, 10));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            const QString where = QStringLiteral("%1 at (%2, %3)").arg(path).arg(x).arg(y);
            if (opaque.contains(x, y)) {
                QVERIFY2(pixel == kHandColour.rgb(),
                         qPrintable(where + QStringLiteral(" is not the opaque hand colour")));
            } else if (softEdge.contains(x, y)) {
                if (qAlpha(pixel) > 0)
                    QVERIFY2(qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel)) == kHandColour.rgb(),
                             qPrintable(where + QStringLiteral(" has another colour than the hand")));
            } else {
                QVERIFY2(qAlpha(pixel) == 0, qPrintable(where + QStringLiteral(" should be transparent")));
            }
        }
    }
}

void TestResourcePictures::hourHandHasRoundedEndAtCentre()
{
    const QImage image = QImage(QStringLiteral(":/material/Icon/hour_line.png")).convertToFormat(QImage::Format_ARGB32);
    // The end's middle rows reach almost to x = 156, its corners are cut away.
    QVERIFY(qAlpha(image.pixel(159, 4)) >= 200);
    QVERIFY(qAlpha(image.pixel(159, 5)) >= 200);
    QVERIFY(qAlpha(image.pixel(156, 4)) > 0);
    QCOMPARE(qAlpha(image.pixel(156, 1)), 0);
    QCOMPARE(qAlpha(image.pixel(156, 8)), 0);
    QVERIFY(qAlpha(image.pixel(157, 2)) < qAlpha(image.pixel(157, 4)));
    // Symmetric about the hand's axis between rows 4 and 5.
    for (int x = 156; x < 160; ++x) {
        for (int y = 1; y <= 4; ++y)
            QCOMPARE(qAlpha(image.pixel(x, y)), qAlpha(image.pixel(x, 9 - y)));
    }
}

QTEST_GUILESS_MAIN(TestResourcePictures)
#include "TestResourcePictures.moc"
