// Generates the default media of the program folder. Usage: vortane-mediagen <Default folder>

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (app.arguments().size() != 2)
        return 2;
    const QString dir = app.arguments().at(1);
    QDir().mkpath(dir);
    for (const char* name : {"defaultbgClockH.jpg", "defaultbgClockV.jpg"}) {
        const bool landscape = QByteArray(name).contains("H.");
        QImage image(landscape ? 800 : 480, landscape ? 480 : 800, QImage::Format_RGB32);
        image.fill(QColor(22, 22, 22));
        image.save(dir + QLatin1Char('/') + QLatin1String(name), "JPG", 90);
    }
    for (const char* name : {"defaultbgH.mp4", "defaultbgV.mp4", "defaultbgHW01H.gif", "defaultbgHW01V.gif",
                             "defaultbgHW02H.gif", "defaultbgHW02V.gif"}) {
        QFile file(dir + QLatin1Char('/') + QLatin1String(name));
        file.open(QIODevice::WriteOnly);
    }
    return 0;
}
