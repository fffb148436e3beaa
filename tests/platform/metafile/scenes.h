#pragma once
// Pictures drawn with plain QPainter, as the program's drawing code will draw
// them, with what each should show where (in pixels of the recorded picture).

#include <QPainter>
#include <QPointF>
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

// A 3D-like surface: columns x rows filled quadrilaterals, each its own shade,
// with a thin net around them.
void DrawPolygonScene(QPainter& p, int columns = 200, int rows = 100);
constexpr int kPolygonSceneWidth = 1200, kPolygonSceneHeight = 800;

}  // namespace kalvo::test
