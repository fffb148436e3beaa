#pragma once
// Where the windows call into the graph engine: the screen surface the
// engine draws on, the redraw and the window normalisation. Nothing else in
// the windows touches the engine's internals.

#include <QFont>
#include <QImage>
#include <QRect>
#include <QStringList>
#include <memory>

class QPainter;

namespace kalvo {

class Canvas;
class QPainterCanvas;

// The graph area's backing image with the canvas the engine draws on. While
// it exists its canvas is the screen output canvas; paint events only copy
// the image.
class ScreenSurface {
public:
    ScreenSurface();
    ~ScreenSurface();
    ScreenSurface(const ScreenSurface&) = delete;
    ScreenSurface& operator=(const ScreenSurface&) = delete;

    // A new size in pixels: the plot size follows and the transform is
    // computed for it; the picture itself waits for the next redraw.
    void Resize(int width, int height);
    QSize Size() const { return size_; }
    // The central redraw onto the image (made at the current size first).
    void Redraw(bool clearFirst);
    // Null until the first redraw.
    const QImage& Image() const { return image_; }
    // Whether the picture shown was cut by the redraw's work budget.
    bool Cut() const { return cut_; }
    Canvas* ScreenCanvas() const;

private:
    bool IsOutput() const;
    void MakeImage();

    QSize size_{1, 1};
    bool cut_ = false;
    QImage image_;
    std::unique_ptr<QPainterCanvas> canvas_;
};

// Writes a note across the foot of a picture that the redraw's work budget
// cut, so that it cannot pass for the whole graph.
void MarkCutPicture(QImage& picture, const QString& note);

// Where such a note goes in an area (a picture, the sheet of the print
// preview): its font, the box at the foot of the area and the note broken
// into lines at its blanks, each as wide as the area allows.
struct CutNoteLayout {
    QFont font;
    QRect box;
    QStringList lines;
};
CutNoteLayout LayOutCutNote(const QRect& area, const QString& note);
// Paints the note laid out so: dark red on light yellow.
void PaintCutNote(QPainter& painter, const QRect& area, const QString& note);

// Axes, value limits and plot rectangle from the coordinate-system settings,
// the view window and the parameter ranges repaired, the transform computed.
void UpdateAxesAndTransform();

}  // namespace kalvo
