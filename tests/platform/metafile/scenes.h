#pragma once
// Pictures drawn with plain QPainter, as the program's drawing code will draw
// them, with what each should show where (in pixels of the recorded picture).

#include <QPainter>
#include <QPointF>
#include <QRect>
#include <QString>

#include <functional>
#include <vector>

namespace kalvo::test {

constexpr int kSceneSize = 400;  // at output factor 1

// Draws on a recorder (or any paint device) with a painter of its own.
inline void Paint(QPaintDevice& device, const std::function<void(QPainter&)>& draw) {
    QPainter p(&device);
    draw(p);
}

struct SceneLabel {
    QString text;
    QPointF baseline;  // left end
    bool greek = false;
};

struct ReferenceScene {
    QLineF xAxis, yAxis;
    std::vector<QPointF> curve;  // 2,000 points
    std::vector<SceneLabel> labels;
};

// Axes, a dotted grid, a clipped curve of 2,000 points, hatched triangles of every
// hatching, ellipses and texts with umlauts and Greek letters; sizes times factor.
ReferenceScene DrawReferenceScene(QPainter& p, double factor);

// The graph's dotted grid as the export draws it: a pen three pixels wide
// with Qt's dots (three pixels on, six off), lines drawn one by one over a
// picture of kGridSceneSize pixels, first the vertical ones from the bottom
// up, then the horizontal ones from left to right, crossing them.
// Returns the boxes of the dots (device pixels, right and bottom exclusive)
// as the pattern lays them out, worked out here from the line ends alone.
constexpr int kGridSceneSize = 1800;
std::vector<QRect> DrawDottedGridScene(QPainter& p, QColor color);

// A 3D-like surface: columns x rows filled quadrilaterals, each its own shade,
// with a thin net around them.
void DrawPolygonScene(QPainter& p, int columns = 200, int rows = 100);
constexpr int kPolygonSceneWidth = 1200, kPolygonSceneHeight = 800;

}  // namespace kalvo::test
