// Build step: turns the SVG drawings of the glyphs and cursors into raw
// pictures at their display size (and twice that for high-density screens).
// The program wraps them in images as they are: no SVG to parse, and no image
// reader, which would load every image-format plugin on the machine.
//
//   kalvo_glyph_renderer <output folder> <size in pixels> <file.svg>...
// writes <output folder>/<name>.glyph and <name>@2x.glyph for every file:
// width and height as 32-bit little-endian numbers, then the pixels row by
// row as premultiplied ARGB, 32 bits each, little-endian.

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <output folder> <size> <file.svg>...\n", argv[0]);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    const int size = QString::fromLocal8Bit(argv[2]).toInt();
    if (size <= 0) return 2;
    for (int i = 3; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        QSvgRenderer svg(path);
        if (!svg.isValid()) {
            std::fprintf(stderr, "%s: not a drawing\n", argv[i]);
            return 1;
        }
        const QString name = QFileInfo(path).completeBaseName();
        for (const auto& [scale, suffix] : {std::pair{1, ""}, std::pair{2, "@2x"}}) {
            QImage image(size * scale, size * scale, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            svg.render(&p);
            p.end();
            const QString file = out + QLatin1Char('/') + name + QLatin1String(suffix) + QStringLiteral(".glyph");
            QFile f(file);
            bool ok = f.open(QIODevice::WriteOnly);
            for (const quint32 v : {quint32(image.width()), quint32(image.height())}) {
                const char le[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
                ok = ok && f.write(le, 4) == 4;
            }
            for (int y = 0; ok && y < image.height(); ++y) {
                const auto* row = reinterpret_cast<const quint32*>(image.constScanLine(y));
                for (int x = 0; ok && x < image.width(); ++x) {
                    const quint32 v = row[x];
                    const char le[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
                    ok = f.write(le, 4) == 4;
                }
            }
            if (!ok || !f.flush()) {
                std::fprintf(stderr, "%s: cannot be written\n", qPrintable(file));
                return 1;
            }
        }
    }
    return 0;
}
