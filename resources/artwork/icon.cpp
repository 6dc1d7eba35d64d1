// morrowquill-icon OUTDIR APPID: draws the application icon (a quill over an
// open book on the window's teal) into OUTDIR as an icon theme tree:
// hicolor/scalable/apps/APPID.svg and hicolor/NxN/apps/APPID.png. The SVG and
// the PNGs are made from the same shapes.

#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <vector>

namespace {

// The icon is drawn on a 256-unit square.
constexpr double side = 256;

struct Shape {
    QPainterPath path;
    QColor colour;
};

std::vector<Shape> iconShapes() {
    QPainterPath tile;
    tile.addRoundedRect(QRectF(16, 16, 224, 224), 48, 48);

    QPainterPath book;
    for (double left : {40.0, 128.0}) {
        book.moveTo(left, 178);
        book.quadTo(left + 44, 152, left + 88, 178);
        book.lineTo(left + 88, 202);
        book.quadTo(left + 44, 176, left, 202);
        book.closeSubpath();
    }

    QPainterPath quill;
    quill.moveTo(84, 168);
    quill.cubicTo(100, 104, 156, 62, 210, 50);
    quill.cubicTo(190, 106, 144, 146, 84, 168);
    quill.closeSubpath();

    QPainterPath nib;
    nib.moveTo(84, 168);
    nib.lineTo(100, 150);
    nib.lineTo(104, 160);
    nib.closeSubpath();

    return {{tile, QColor(0, 134, 143)},
            {book, QColor(232, 246, 247)},
            {quill, QColor(255, 255, 255)},
            {nib, QColor(0, 72, 78)}};
}

QString svgPathData(const QPainterPath& path) {
    QStringList parts;
    const auto point = [](double x, double y) {
        return QString::number(x, 'f', 2) + QLatin1Char(' ') + QString::number(y, 'f', 2);
    };
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element element = path.elementAt(i);
        switch (element.type) {
        case QPainterPath::MoveToElement:
            if (i > 0)
                parts << QStringLiteral("Z");
            parts << QStringLiteral("M ") + point(element.x, element.y);
            break;
        case QPainterPath::LineToElement:
            parts << QStringLiteral("L ") + point(element.x, element.y);
            break;
        case QPainterPath::CurveToElement: {
            const QPainterPath::Element second = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            parts << QStringLiteral("C ") + point(element.x, element.y) + QLatin1Char(' ') +
                         point(second.x, second.y) + QLatin1Char(' ') + point(end.x, end.y);
            i += 2;
            break;
        }
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
    parts << QStringLiteral("Z");
    return parts.join(QLatin1Char(' '));
}

QByteArray svgIcon(const std::vector<Shape>& shapes) {
    QString svg = QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" "
                                 "height=\"256\" viewBox=\"0 0 256 256\">\n");
    for (const Shape& shape : shapes)
        svg += QStringLiteral("  <path fill=\"%1\" d=\"%2\"/>\n")
                   .arg(shape.colour.name(), svgPathData(shape.path));
    svg += QStringLiteral("</svg>\n");
    return svg.toUtf8();
}

QImage pngIcon(const std::vector<Shape>& shapes, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / side, size / side);
    for (const Shape& shape : shapes)
        p.fillPath(shape.path, shape.colour);
    return image;
}

bool writeIn(const QString& folder, const QString& name, const auto& write) {
    const QString path = folder + QLatin1Char('/') + name;
    if (QDir().mkpath(folder) && write(path))
        return true;
    std::fprintf(stderr, "morrowquill-icon: cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: morrowquill-icon OUTDIR APPID\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]) + QStringLiteral("/hicolor/");
    const QString id = QString::fromLocal8Bit(argv[2]);
    const std::vector<Shape> shapes = iconShapes();
    bool ok = writeIn(root + QStringLiteral("scalable/apps"), id + QStringLiteral(".svg"),
                      [&](const QString& path) {
                          QFile file(path);
                          return file.open(QIODevice::WriteOnly) &&
                                 file.write(svgIcon(shapes)) >= 0 && file.flush();
                      });
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        ok &= writeIn(root + QStringLiteral("%1x%1/apps").arg(size), id + QStringLiteral(".png"),
                      [&](const QString& path) { return pngIcon(shapes, size).save(path); });
    return ok ? 0 : 1;
}
