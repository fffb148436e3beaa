#pragma once
// The interactive side of the main window's graph area: the coordinate
// readout, the rubber band that zooms to a dragged rectangle, the zoom and
// pan buttons, the right click that asks for the coordinate-system dialog,
// and the drawing-object panel with which tangents, normals, lines, point
// marks and text labels are placed. The objects live in the object list
// and are drawn by the central redraw; the object being placed is shown as
// a passing preview over the picture.

#include <QObject>
#include <QPoint>

#include <optional>

#include "canvas.h"
#include "object_lists.h"

class QToolButton;

namespace kalvo {

class TForm1;
class TGraphArea;

class TMouseTools : public QObject {
    Q_OBJECT
public:
    // Connects the graph area, the zoom and pan buttons and the object panel.
    explicit TMouseTools(TForm1* form);

    // The mouse on the graph area, in picture pixels.
    void PaintBox1MouseDown(Qt::MouseButton button, QPoint p);
    void PaintBox1MouseMove(Qt::MouseButtons buttons, QPoint p);
    void PaintBox1MouseUp(Qt::MouseButton button, QPoint p);

    // Zoom out, zoom in, a pan step by a tenth of the window (dx, dy each
    // -1, 0 or 1; dy = 1 moves up), the window -8..8.
    void ZoomOutClick();
    void ZoomInClick();
    void PanClick(int dx, int dy);
    void AnfangswerteClick();

    // A click on a tool button, on "m" or on "f'".
    void WerkzeugWaehlen();
    // Tool state, cursor and enabled controls from the tool buttons.
    void WerkzeugAktualisieren();
    // Redraws and previews the object at ObjektX, with its status texts.
    void GrafikobjektZeigen();
    void TrackBar1Change();
    void Edit2Exit();
    // -1 one step to the left, 1 to the right.
    void SchrittClick(int direction);
    void ObjektEinfuegenClick();
    void ObjektEntfernenClick();
    void ObjektlisteLoeschenClick();
    void SchriftartClick();

    // The font of the floating text field (and of the label it becomes).
    const CanvasFont& TextFont() const { return textFont_; }
    void SetTextFont(const CanvasFont& font);

    // Where the text of the floating field starts inside it.
    static QPoint TextInset();

private:
    QToolButton* ToolButton(TDrawingTool tool) const;
    TGraphArea* Area() const;
    // The new view window put in order (a family range that follows the
    // window follows it) and drawn.
    void ChangeWindow();
    void TextToolPress(QPoint p);
    void FitTextField();
    // The field in the label's font and colour, sized to its text.
    void DressTextField();
    void HideTextField();
    void PutBackLifted();
    void UpdateRemoveButton();

    TForm1* form_;
    CanvasFont textFont_;
    // A label taken out of the list to be edited, with its position, until
    // it goes back in (changed or not).
    struct Lifted {
        int position;
        tElement element;
    };
    std::optional<Lifted> lifted_;
    // What the status line says about the object being placed; it goes
    // with the preview at the next redraw.
    QString objectText_;
};

}  // namespace kalvo
