// Renders an SVG icon to PNG files for the hicolor icon theme, at build time:
//   tidewhelk-render-icon SVG DIRECTORY NAME SIZE...
// writes DIRECTORY/<SIZE>x<SIZE>/apps/NAME.png for each size.

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    QTextStream err(stderr);
    if (arguments.size() < 5) {
        err << "usage: tidewhelk-render-icon SVG DIRECTORY NAME SIZE...\n";
        return 2;
    }
    QSvgRenderer renderer(arguments[1]);
    if (!renderer.isValid()) {
        err << "tidewhelk-render-icon: cannot read " << arguments[1] << '\n';
        return 1;
    }
    for (const QString& sizeText : arguments.mid(4)) {
        bool isNumber = false;
        const int size = sizeText.toInt(&isNumber);
        if (!isNumber || size < 1) {
            err << "tidewhelk-render-icon: not a size: " << sizeText << '\n';
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        renderer.render(&painter);
        painter.end();
        const QDir directory(arguments[2] + QStringLiteral("/%1x%1/apps").arg(size));
        const QString file = directory.filePath(arguments[3] + QStringLiteral(".png"));
        if (!directory.mkpath(QStringLiteral(".")) || !image.save(file, "PNG")) {
            err << "tidewhelk-render-icon: cannot write " << file << '\n';
            return 1;
        }
    }
    return 0;
}
