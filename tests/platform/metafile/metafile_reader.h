#pragma once
// Reads EMF and placeable WMF files record by record the way a player does:
// it keeps the object table and the saved device contexts and reports every
// record that a player would refuse or that would leak or corrupt its table.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kalvo::test {

struct LogPen { int style = 0, width = 0; std::uint32_t color = 0; };
struct LogBrush { int style = 0, hatch = 0; std::uint32_t color = 0; };
struct LogFont {
    int height = 0, escapement = 0, weight = 0;
    bool italic = false, underline = false, strikeOut = false;
    int charset = 0;
    QString face;
};

struct Shape {
    std::string kind;  // "polyline", "polygon", "polypolygon", "rectangle", "ellipse", "pixel"
    std::vector<QPoint> points;
    std::vector<int> counts;  // parts of a poly-polygon
    LogPen pen;
    LogBrush brush;
    bool clipped = false;
    QRect clip;
};

struct Text {
    QPoint origin;
    QString text;        // EMF: as stored; WMF: each byte as the Latin-1 character
    std::string bytes;   // WMF only
    std::vector<int> dx;
    LogFont font;
    int bkMode = 0;
    int align = 0;
};

struct Replay {
    std::vector<std::string> errors;  // empty for a sound file
    std::vector<std::uint32_t> recordTypes;  // in file order
    int declaredHandles = 0;                 // EMF nHandles, WMF NumberOfObjects
    int mostLiveObjects = 0;
    int width = 0, height = 0;               // placeable box or EMF frame in pixels at 96 dpi
    int unitsPerInch = 0;                    // WMF
    bool hasBounds = false;
    QRect bounds;                            // EMF rclBounds (inclusive)
    int mapMode = 0;
    QSize windowExt;
    std::vector<Shape> shapes;
    std::vector<Text> texts;
};

Replay ReadEmf(const std::string& bytes);
Replay ReadWmf(const std::string& bytes);

}  // namespace kalvo::test
