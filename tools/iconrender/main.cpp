// Renders one SVG icon source to a picture file at the SVG's own width and height.
// Usage: vortane-iconrender <in.svg> <out.png|out.ico>

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        err << "usage: vortane-iconrender <in.svg> <out>\n";
        return 2;
    }
    QSvgRenderer renderer(args.at(1));
    if (!renderer.isValid()) {
        err << "cannot read " << args.at(1) << "\n";
        return 1;
    }
    const QSize size = renderer.defaultSize();
    if (size.isEmpty()) {
        err << args.at(1) << " has no width and height\n";
        return 1;
    }
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    }
    const QFileInfo out(args.at(2));
    QDir().mkpath(out.absolutePath());
    if (!image.convertToFormat(QImage::Format_ARGB32).save(out.absoluteFilePath())) {
        err << "cannot write " << out.absoluteFilePath() << "\n";
        return 1;
    }
    return 0;
}
