#include "app_resources.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <array>
#include <optional>

// Resources of a static library are registered by hand.
static void InitAppResources() { Q_INIT_RESOURCE(app); }

namespace kalvo {

namespace {

constexpr int kCursorSize = 32;

std::array<std::optional<QCursor>, 6>& Cursors() {
    static std::array<std::optional<QCursor>, 6> cursors;
    return cursors;
}

QCursor LoadCursor(int resource) {
    QSvgRenderer svg(QStringLiteral(":/app/cursors/cursor%1.svg").arg(resource));
    QPixmap pixmap(kCursorSize, kCursorSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    svg.render(&p);
    p.end();
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
    return QIcon(QStringLiteral(":/app/icons/%1.svg").arg(name));
}

void RegisterCursors() {
    EnsureAppResources();
    // Cursor number -> resource number.
    static constexpr std::array<std::pair<int, int>, 5> kTable{{{3, 3}, {1, 4}, {2, 1}, {4, 2}, {5, 5}}};
    for (const auto& [cursor, resource] : kTable) Cursors()[static_cast<size_t>(cursor)] = LoadCursor(resource);
}

QCursor ProgramCursor(int n) {
    if (n < 1 || n > 5 || !Cursors()[static_cast<size_t>(n)]) return QCursor(Qt::ArrowCursor);
    return *Cursors()[static_cast<size_t>(n)];
}

QString TermHelpText() {
    EnsureAppResources();
    QFile f(QStringLiteral(":/app/hilfe.txt"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}

}  // namespace kalvo
