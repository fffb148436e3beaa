#include "app_resources.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <QResource>
#include <array>
#include <optional>

// Resources of a static library are registered by hand.
static void InitAppResources() { Q_INIT_RESOURCE(app); }

namespace kalvo {

namespace {

constexpr int kCursorSize = 32;

struct CursorTable {
    bool registered = false;
    std::array<std::optional<QCursor>, 6> cursors;
};

CursorTable& Cursors() {
    static CursorTable table;
    return table;
}

// Cursor number -> resource number.
constexpr std::array<int, 6> kCursorResource{0, 4, 1, 3, 2, 5};

// A picture the build rendered: width and height, then premultiplied ARGB
// pixels, all little-endian 32-bit numbers. Null when the resource is missing
// or does not hold what its size says. The pixels are read where the
// resource lies in the program file; only the pixmap made from them copies.
QImage LoadGlyphImage(const QString& path) {
    const QResource resource(path);
    if (!resource.isValid()) return {};
    const QByteArray unpacked =
        resource.compressionAlgorithm() == QResource::NoCompression ? QByteArray() : resource.uncompressedData();
    const auto* bytes = unpacked.isNull() ? resource.data() : reinterpret_cast<const uchar*>(unpacked.constData());
    const qint64 size = unpacked.isNull() ? resource.size() : unpacked.size();
    auto word = [bytes](qint64 at) {
        return quint32(bytes[at]) | quint32(bytes[at + 1]) << 8 | quint32(bytes[at + 2]) << 16 |
               quint32(bytes[at + 3]) << 24;
    };
    if (!bytes || size < 8) return {};
    const quint32 w = word(0), h = word(4);
    if (w == 0 || h == 0 || w > 256 || h > 256 || size != qint64(8 + 4 * w * h)) return {};
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        // The resource's own bytes, not copied; a copy only where they had to
        // be unpacked (or do not lie on a word boundary), as the image must
        // not outlive its pixels.
        const QImage view(bytes + 8, int(w), int(h), int(4 * w), QImage::Format_ARGB32_Premultiplied);
        return unpacked.isNull() && quintptr(bytes) % 4 == 0 ? view : view.copy();
    }
    QImage image(int(w), int(h), QImage::Format_ARGB32_Premultiplied);
    for (quint32 y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<quint32*>(image.scanLine(int(y)));
        for (quint32 x = 0; x < w; ++x) row[x] = word(8 + 4 * (qint64(y) * w + x));
    }
    return image;
}

QCursor LoadCursor(int resource) {
    const QPixmap pixmap = QPixmap::fromImage(LoadGlyphImage(QStringLiteral(":/app/cursors/cursor%1.glyph").arg(resource)));
    // Every drawing has its hot spot in the middle.
    return QCursor(pixmap, kCursorSize / 2, kCursorSize / 2);
}

}  // namespace

void EnsureAppResources() {
    static const bool registered = (InitAppResources(), true);
    (void)registered;
}

QIcon Glyph(const QString& name) {
    EnsureAppResources();
    static QHash<QString, QIcon> cache;
    if (auto it = cache.constFind(name); it != cache.constEnd()) return *it;
    QIcon icon;
    // The picture for high-density screens only where there is one.
    const bool dense = (qGuiApp && qGuiApp->devicePixelRatio() > 1.0);
    for (const auto& [suffix, ratio] : {std::pair{"", 1.0}, std::pair{"@2x", 2.0}}) {
        if (ratio > 1.0 && !dense) continue;
        QPixmap pixmap = QPixmap::fromImage(LoadGlyphImage(QStringLiteral(":/app/icons/%1%2.glyph").arg(name, QLatin1String(suffix))));
        if (pixmap.isNull()) continue;
        pixmap.setDevicePixelRatio(ratio);
        icon.addPixmap(pixmap);
    }
    cache.insert(name, icon);
    return icon;
}

void ApplyGlyphs(QWidget* root) {
    for (QAbstractButton* b : root->findChildren<QAbstractButton*>()) {
        const QVariant name = b->property("glyph");
        if (name.isValid()) b->setIcon(Glyph(name.toString()));
    }
}

void RegisterCursors() {
    EnsureAppResources();
    Cursors().registered = true;
}

QCursor ProgramCursor(int n) {
    CursorTable& table = Cursors();
    if (n < 1 || n > 5 || !table.registered) return QCursor(Qt::ArrowCursor);
    // Each picture is made when its cursor is first wanted: most of them
    // belong to tools and windows the user may never open.
    std::optional<QCursor>& c = table.cursors[static_cast<size_t>(n)];
    if (!c) c = LoadCursor(kCursorResource[static_cast<size_t>(n)]);
    return *c;
}

QString TermHelpText() {
    EnsureAppResources();
    QFile f(QStringLiteral(":/app/hilfe.txt"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

}  // namespace kalvo
