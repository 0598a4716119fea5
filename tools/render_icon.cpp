#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <cstdio>

// Renders a vector image at build time: the program's icon at the icon
// theme's fixed sizes, and pictures at the sizes windows show them.
//   quorvane_render_icon IMAGE.svg SIZE OUT.png      (a square SIZE x SIZE)
//   quorvane_render_icon IMAGE.svg WxH OUT.png
//   quorvane_render_icon IMAGE.svg WxH OUT.rgba      (raw premultiplied RGBA
//                                                    rows, shown without decoding)
int main(int argc, char *argv[])
{
    // Offscreen: icons are made at build time, where no display may exist.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    const QStringList extent = args.size() == 4 ? args[2].split(u'x') : QStringList();
    bool widthOk = false;
    bool heightOk = false;
    const int width = extent.isEmpty() ? 0 : extent.first().toInt(&widthOk);
    const int height = extent.isEmpty() ? 0 : extent.last().toInt(&heightOk);
    if (extent.size() > 2 || !widthOk || !heightOk || width <= 0 || height <= 0 || width > 4096
        || height > 4096) {
        std::fputs("usage: quorvane_render_icon IMAGE.svg SIZE|WxH OUT.png|OUT.rgba\n", stderr);
        return 2;
    }
    QSvgRenderer svg(args[1]);
    if (!svg.isValid()) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(args[1]));
        return 1;
    }
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter);
    painter.end();
    bool written = false;
    if (args[3].endsWith(u".rgba")) {
        const QImage raw = image.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
        QFile out(args[3]);
        written = out.open(QIODevice::WriteOnly)
            && out.write(reinterpret_cast<const char *>(raw.constBits()), raw.sizeInBytes()) == raw.sizeInBytes();
    } else {
        written = image.save(args[3], "PNG");
    }
    if (!written) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args[3]));
        return 1;
    }
    return 0;
}
