#pragma once
// The recorded picture in GDI terms, shared by the paint engine that fills it,
// the EMF and WMF writers and the raster player. Coordinates are device pixels
// (QPainter's transform already applied), so both file formats and the player
// read the same numbers.

#include <QImage>
#include <QPoint>
#include <QString>

#include <cstdint>
#include <vector>

#include "color.h"

namespace kalvo::gdi {

// Values as the metafile formats store them.
enum : std::uint16_t { PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5 };
enum : std::uint16_t { BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2 };
enum : std::uint16_t {
    HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4, HS_DIAGCROSS = 5
};
enum : std::uint16_t { BKMODE_TRANSPARENT = 1, BKMODE_OPAQUE = 2 };
enum : std::uint16_t { FILL_ALTERNATE = 1, FILL_WINDING = 2 };
enum : std::uint8_t { ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, GREEK_CHARSET = 161, RUSSIAN_CHARSET = 204,
                      EASTEUROPE_CHARSET = 238 };
constexpr std::uint16_t TA_BASELINE = 24;  // with TA_LEFT (0): text hangs on its baseline at the given point
constexpr std::uint16_t MM_ANISOTROPIC = 8;

struct LogPen {
    std::uint16_t style = PS_SOLID;
    std::int32_t width = 0;  // device pixels; 0 draws one pixel wide
    Color color = 0;
    bool operator==(const LogPen&) const = default;
};

struct LogBrush {
    std::uint16_t style = BS_SOLID;
    std::uint16_t hatch = 0;
    Color color = 0;
    bool operator==(const LogBrush&) const = default;
};

struct LogFont {
    std::int32_t height = 0;      // negative: em height in device pixels, as LOGFONT wants it
    std::int32_t escapement = 0;  // tenths of a degree, counter-clockwise
    std::int32_t weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::uint8_t charset = ANSI_CHARSET;  // the caller's preference; text that needs another gets another
    QString face;
    bool operator==(const LogFont&) const = default;
};

// Left, top inclusive; right, bottom exclusive, as GDI rectangles are.
struct RectL {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const RectL&) const = default;
};

struct DcState {
    std::int32_t pen = -1;
    std::int32_t brush = -1;
    std::int32_t font = -1;
    std::int32_t clip = -1;  // index into Picture::clips, -1 without clipping
    Color textColor = 0;
    Color bkColor = 0xFFFFFF;
    std::uint16_t bkMode = BKMODE_TRANSPARENT;
    std::uint16_t fillMode = FILL_ALTERNATE;
    bool operator==(const DcState&) const = default;
};

enum class OpKind : std::uint8_t { Polyline, Polygon, PolyPolygon, PolyPolyline, Rectangle, Ellipse, Text, Pixel, Image };

// a, b, c by kind:
//   Polyline, Polygon: first point, point count
//   PolyPolygon, PolyPolyline: first point, first entry of polyCounts, number of parts
//   Rectangle, Ellipse: first of two points (left, top) and (right, bottom)
//   Text: index into texts;  Pixel: point index, colour;  Image: index into images
struct Op {
    OpKind kind;
    std::uint32_t state;
    std::uint32_t a = 0, b = 0, c = 0;
};

struct TextRun {
    QPoint origin;                 // on the baseline, left end
    QString text;                  // UTF-16
    std::vector<std::int32_t> dx;  // advance of each UTF-16 unit in device pixels
};

struct ImageRun {
    RectL dest;
    QImage image;  // Format_RGB32, flattened on white
};

struct Picture {
    int width = 1;
    int height = 1;
    std::vector<LogPen> pens;
    std::vector<LogBrush> brushes;
    std::vector<LogFont> fonts;
    std::vector<RectL> clips;
    std::vector<DcState> states;
    std::vector<Op> ops;
    std::vector<QPoint> points;
    std::vector<std::uint32_t> polyCounts;
    std::vector<TextRun> texts;
    std::vector<ImageRun> images;
    // Smallest rectangle around everything drawn (inclusive), empty when nothing was drawn.
    bool hasBounds = false;
    RectL bounds;
};

// Text that a single-byte metafile record can carry: one run per font character set.
struct CharsetRun {
    std::uint8_t charset;
    int first;  // UTF-16 index into the text
    int count;
    std::string bytes;  // encoded in the code page of charset
};

// Whether every character of text has a byte in the code page of charset.
bool CharsetCovers(std::uint8_t charset, const QString& text);
// The charset for a whole text: the preferred one when it covers the text, else the first
// that does, else DEFAULT_CHARSET (the font mapper decides).
std::uint8_t CharsetForText(std::uint8_t preferred, const QString& text);
// Splits text into runs that each fit one code page, preferring `preferred`; characters no
// supported code page has become '?'.
std::vector<CharsetRun> SplitIntoCharsetRuns(std::uint8_t preferred, const QString& text);

// Writers and player. Each reads the picture only. The writers give
// nothing when the open work budget is spent on the way (a cancelled output).
std::string WriteEmf(const Picture& picture);
std::string WriteWmf(const Picture& picture);
// Null when the open work budget is spent on the way (an output the user cancelled).
QImage RenderPicture(const Picture& picture);

}  // namespace kalvo::gdi
