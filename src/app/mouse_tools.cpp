#include "mouse_tools.h"
#include "work_budget.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSlider>
#include <QToolButton>

#include <cmath>

#include "analysis_state.h"
#include "app_resources.h"
#include "canvas_qpainter.h"
#include "color_button.h"
#include "curves.h"
#include "edit_field.h"
#include "graph_area.h"
#include "graph_state.h"
#include "main_window.h"
#include "marks.h"
#include "number_text.h"
#include "output_redirection.h"
#include "plot_support.h"
#include "primitives.h"
#include "program_state.h"
#include "shown_derivative.h"
#include "term.h"
#include "ui_main_window.h"
#include "user_choices.h"
#include "view.h"

namespace kalvo {

namespace {

// A drag shorter than this on either side is a click, not a zoom.
constexpr int kMinZoomDrag = 11;

// Slopes this close to 0 count as 0 in the status texts.
constexpr double kZeroSlope = 1e-10;

constexpr TDrawingTool kTools[] = {TDrawingTool::Tangente,   TDrawingTool::Normale, TDrawingTool::Senkrechte,
                                   TDrawingTool::Waagrechte, TDrawingTool::Punkt1,  TDrawingTool::Punkt2,
                                   TDrawingTool::Textfeld};

// Cursors of the graph area: no tool, a line or point tool, the text tool.
constexpr int kCursorPlain = 1;
constexpr int kCursorTool = 2;
constexpr int kCursorText = 3;

QString Number(double x) { return QString::fromStdString(FormatNumberCommaTight(gDisplay.Nachkommastellen, x)); }

// The object being placed, drawn over a transparent picture of the graph
// area's size in the screen's transform.
QImage PreviewPicture(QSize size, TDrawingTool tool, Color color, double x) {
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    {
        QPainterCanvas canvas(&picture);
        canvas.SetFont(GraphAreaFont());
        OutputTarget target;
        target.canvas = &canvas;
        target.plotWidthPx = gOutput.PlotWidthPx;
        target.plotHeightPx = gOutput.PlotHeightPx;
        OutputRedirection redirect(target);
        QuietParsing quiet;
        const ParameterState& p = gParams;
        gGraph.ListentermeZeichnen = false;
        if (gOverlay.ObjektF1) {
            SetPen(kRed, 1, PenStyle::Solid);
            gGraph.AktuelleLinienfarbe = kRed;
            DrawFunctionGraph(gTerms.TermF.str(), 1, p.FgTVon, p.FgTBis, p.FgTSchrittweite);
            SetPen(kBlack, 1, PenStyle::Solid);
        }
        ParseTerm(FunktionTermbaum, gTerms.TermF.str(), true);
        switch (tool) {
            case TDrawingTool::Tangente: DrawTangente(color, p.FgTVon, x); break;
            case TDrawingTool::Normale: DrawNormale(color, p.FgTVon, x); break;
            case TDrawingTool::Senkrechte: DrawSenkrechte(color, x); break;
            case TDrawingTool::Waagrechte: DrawWaagrechte(color, p.FgTVon, x); break;
            case TDrawingTool::Punkt1: DrawPointMarker(1, color, p.FgTVon, x); break;
            case TDrawingTool::Punkt2: DrawPointMarker(2, color, p.FgTVon, x); break;
            case TDrawingTool::Textfeld: break;
        }
        canvas.End();
    }
    return picture;
}

// The status texts of an object at x: "P(x |y);     " and the equation of
// the tangent, normal or line.
QString ObjectLabel(TDrawingTool tool, double x) {
    QuietParsing quiet;
    // Asked at every move of the mouse: a slope that long sums make costly
    // to refine reads "nicht def." rather than holding the mouse up.
    WorkBudget budget(kWaitSeconds / 4);
    ParseTerm(FunktionTermbaum, gTerms.TermF.str(), true);
    const double t = gParams.FgTVon;
    const NRange n = CurrentNRange();
    bool yDefined = false;
    const double y = NSum(0, x, t, n, yDefined);
    // The slope refined until the equation's two decimals of m and of the
    // intercept are right; none where f' does not exist (a corner, a border).
    const FunctionSample f = [t, n](double xs, double& ys) {
        bool defined = false;
        ys = NSum(0, xs, t, n, defined);
        return defined;
    };
    const ShownUnit digits = DecimalsUnit(2, 0.01);
    const double bx = std::max(1.0, std::fabs(x));
    const bool normal = tool == TDrawingTool::Normale;
    const ShownDerivative slope = ShownDerivatives(f, x, 1, [&](double v) {
        if (!normal) return std::min(digits(v), digits(y - v * x) / bx);
        if (std::fabs(v) <= kZeroSlope) return 1.0;
        return std::min(digits(-1 / v), digits(x / v + y) / bx) * v * v;
    })[0];
    const bool mDefined = slope.defined;
    double m = slope.value;
    if (std::fabs(m) <= kZeroSlope) m = 0;
    const QString xs = Number(x);
    const QString ys = yDefined ? Number(y) : QString::fromUtf8(kNotFiniteText.data(), kNotFiniteText.size());
    QString e;
    const bool lineDefined = yDefined && mDefined;
    switch (tool) {
        case TDrawingTool::Tangente:
            if (lineDefined)
                e = QStringLiteral("Tangente: ") + QString::fromStdString(PointToComma(LineEquationText(m, y - m * x)));
            break;
        case TDrawingTool::Normale:
            if (!lineDefined) break;
            if (m != 0)
                e = QStringLiteral("Normale: ") +
                    QString::fromStdString(PointToComma(LineEquationText(-1 / m, x / m + y)));
            else
                e = QStringLiteral("Normale: x = ") + xs;
            break;
        case TDrawingTool::Senkrechte: e = QStringLiteral("x = ") + xs; break;
        case TDrawingTool::Waagrechte:
            if (yDefined) e = QStringLiteral("y = ") + ys;
            break;
        default: break;
    }
    return QStringLiteral("P(") + xs + QStringLiteral(" |") + ys + QStringLiteral(");     ") + e;
}

CanvasFont FromQFont(const QFont& f) {
    CanvasFont c;
    c.name = f.family().toStdString();
    c.size = f.pointSize() > 0 ? f.pointSize() : std::max(1, RoundToInt(f.pixelSize() * 72.0 / kScreenDpi));
    c.bold = f.bold();
    c.italic = f.italic();
    c.underline = f.underline();
    c.strikeOut = f.strikeOut();
    return c;
}

uint8_t StyleBits(const CanvasFont& f) {
    return static_cast<uint8_t>((f.bold ? kFontBold : 0) | (f.italic ? kFontItalic : 0) |
                                (f.underline ? kFontUnderline : 0) | (f.strikeOut ? kFontStrikeOut : 0));
}

}  // namespace

QPoint TMouseTools::TextInset() {
    // A frameless line edit draws its text two pixels in and one down.
    return QPoint(2, 1);
}

TMouseTools::TMouseTools(TForm1* form) : form_(form) {
    Ui::TForm1* ui = form->Controls();
    TGraphArea* area = Area();
    connect(area, &TGraphArea::MousePressed, this, &TMouseTools::PaintBox1MouseDown);
    connect(area, &TGraphArea::MouseMoved, this, &TMouseTools::PaintBox1MouseMove);
    connect(area, &TGraphArea::MouseReleased, this, &TMouseTools::PaintBox1MouseUp);
    connect(area, &TGraphArea::Redrawn, this, [this] {
        QLabel* status = form_->Controls()->Label3;
        if (!objectText_.isEmpty() && status->text() == objectText_) status->clear();
        objectText_.clear();
    });

    connect(ui->ButtonZoomOut, &QToolButton::clicked, this, &TMouseTools::ZoomOutClick);
    connect(ui->ButtonZoomIn, &QToolButton::clicked, this, &TMouseTools::ZoomInClick);
    connect(ui->ButtonAnfangswerte, &QToolButton::clicked, this, &TMouseTools::AnfangswerteClick);
    const struct {
        QToolButton* button;
        int dx, dy;
    } pans[] = {{ui->ButtonLinksOben, -1, 1}, {ui->ButtonOben, 0, 1},    {ui->ButtonRechtsOben, 1, 1},
                {ui->ButtonLinks, -1, 0},     {ui->ButtonRechts, 1, 0},  {ui->ButtonLinksUnten, -1, -1},
                {ui->ButtonUnten, 0, -1},     {ui->ButtonRechtsUnten, 1, -1}};
    for (const auto& p : pans)
        connect(p.button, &QToolButton::clicked, this, [this, dx = p.dx, dy = p.dy] { PanClick(dx, dy); });

    for (TDrawingTool tool : kTools) {
        QToolButton* b = ToolButton(tool);
        connect(b, &QToolButton::clicked, this, [this, b](bool down) {
            // One tool at a time, and none at all when its button goes up.
            if (down)
                for (TDrawingTool other : kTools)
                    if (ToolButton(other) != b) ToolButton(other)->setChecked(false);
            WerkzeugWaehlen();
        });
    }
    connect(ui->CheckBox1, &QCheckBox::clicked, this, &TMouseTools::WerkzeugWaehlen);
    connect(ui->CheckBox2, &QCheckBox::clicked, this, &TMouseTools::WerkzeugWaehlen);
    connect(ui->TrackBar1, &QSlider::valueChanged, this, &TMouseTools::TrackBar1Change);
    connect(ui->Edit2, &TermEdit::fieldLeft, this, &TMouseTools::Edit2Exit);
    // Enter moves on, which leaves the field.
    connect(ui->Edit2, &QLineEdit::returnPressed, form, [ui] {
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        QCoreApplication::sendEvent(ui->Edit2, &tab);
    });
    connect(ui->ButtonSchrittLinks, &QToolButton::clicked, this, [this] { SchrittClick(-1); });
    connect(ui->ButtonSchrittRechts, &QToolButton::clicked, this, [this] { SchrittClick(1); });
    connect(ui->ButtonObjektEinfuegen, &QToolButton::clicked, this, &TMouseTools::ObjektEinfuegenClick);
    connect(ui->ButtonObjektEntfernen, &QToolButton::clicked, this, &TMouseTools::ObjektEntfernenClick);
    connect(ui->ButtonObjektlisteLoeschen, &QToolButton::clicked, this, &TMouseTools::ObjektlisteLoeschenClick);
    connect(ui->ButtonSchriftart, &QToolButton::clicked, this, &TMouseTools::SchriftartClick);

    QLineEdit* field = ui->Edit1;
    field->setFrame(false);
    field->setTextMargins(0, 0, 0, 0);
    field->setContentsMargins(0, 0, 0, 0);
    connect(field, &QLineEdit::textChanged, this, &TMouseTools::FitTextField);
    connect(field, &QLineEdit::returnPressed, this, &TMouseTools::ObjektEinfuegenClick);
    connect(ui->ColorButton1, &TColorButton::OnChange, this, [this] { SetTextFont(textFont_); });
    textFont_.name = "Arial";
    textFont_.size = 10;
    SetTextFont(textFont_);
    UpdateRemoveButton();
}

TGraphArea* TMouseTools::Area() const { return form_->PaintBox1(); }

QToolButton* TMouseTools::ToolButton(TDrawingTool tool) const {
    Ui::TForm1* ui = form_->Controls();
    switch (tool) {
        case TDrawingTool::Tangente: return ui->ButtonTangente;
        case TDrawingTool::Normale: return ui->ButtonNormale;
        case TDrawingTool::Senkrechte: return ui->ButtonSenkrechte;
        case TDrawingTool::Waagrechte: return ui->ButtonWaagrechte;
        case TDrawingTool::Punkt1: return ui->ButtonPunkt1;
        case TDrawingTool::Punkt2: return ui->ButtonPunkt2;
        case TDrawingTool::Textfeld: return ui->ButtonTextfeld;
    }
    return nullptr;
}

void TMouseTools::ChangeWindow() {
    UpdateAxesAndTransform();
    form_->Redraw(true);
}

void TMouseTools::PaintBox1MouseDown(Qt::MouseButton button, QPoint p) {
    gControl.IgnoreNextMouseUp = false;
    if (button == Qt::RightButton) {
        form_->OpenCoordinateSystem();
        return;
    }
    if (button != Qt::LeftButton) return;
    if (form_->WerkzeugAktiv && form_->AktuellesWerkzeug == TDrawingTool::Textfeld) {
        TextToolPress(p);
        return;
    }
    auto& z = form_->Zoomrechteck;
    z.X0 = z.Xm = p.x();
    z.Y0 = z.Ym = p.y();
    z.Ziehen = true;
    Area()->SetRubberBand(QRect(p, p));
}

void TMouseTools::PaintBox1MouseMove(Qt::MouseButtons buttons, QPoint p) {
    const OutputContext& o = gOutput;
    if (o.PixelsPerUnitX == 0) return;
    if (form_->WerkzeugAktiv && form_->AktuellesWerkzeug == TDrawingTool::Textfeld && (buttons & Qt::LeftButton)) {
        form_->Controls()->Edit1->move(Area()->geometry().topLeft() + p - TextInset());
        return;
    }
    const int d = gDisplay.Nachkommastellen;
    form_->Controls()->Label2->setText(QStringLiteral("x=") +
                                       QString::fromStdString(FormatNumberCommaBlanks(d, PixelToWorldX(p.x()))) +
                                       QStringLiteral(" y=") +
                                       QString::fromStdString(FormatNumberCommaBlanks(d, PixelToWorldY(p.y()))));
    auto& z = form_->Zoomrechteck;
    if (z.Ziehen) {
        z.Xm = p.x();
        z.Ym = p.y();
        Area()->SetRubberBand(QRect(QPoint(z.X0, z.Y0), QPoint(z.Xm, z.Ym)));
    }
}

void TMouseTools::PaintBox1MouseUp(Qt::MouseButton button, QPoint p) {
    if (gControl.IgnoreNextMouseUp) {
        gControl.IgnoreNextMouseUp = false;
        return;
    }
    auto& z = form_->Zoomrechteck;
    // Only the end of a drag that started here zooms.
    if (button != Qt::LeftButton || !z.Ziehen) return;
    z.Ziehen = false;
    Area()->SetRubberBand(QRect());
    if (std::abs(z.X0 - p.x()) < kMinZoomDrag || std::abs(z.Y0 - p.y()) < kMinZoomDrag) return;
    const int left = std::min(z.X0, p.x()), right = std::max(z.X0, p.x());
    const int top = std::min(z.Y0, p.y()), bottom = std::max(z.Y0, p.y());
    ViewWindowState& v = gView;
    v.BereichX1 = PixelToWorldX(left);
    v.BereichX2 = PixelToWorldX(right);
    v.BereichY1 = PixelToWorldY(bottom);
    v.BereichY2 = PixelToWorldY(top);
    ChangeWindow();
}

void TMouseTools::ZoomOutClick() {
    ViewWindowState& v = gView;
    const double w = v.BereichX2 - v.BereichX1, h = v.BereichY2 - v.BereichY1;
    v.BereichX1 -= w / 2;
    v.BereichX2 += w / 2;
    v.BereichY1 -= h / 2;
    v.BereichY2 += h / 2;
    ChangeWindow();
}

void TMouseTools::ZoomInClick() {
    ViewWindowState& v = gView;
    const double w = v.BereichX2 - v.BereichX1, h = v.BereichY2 - v.BereichY1;
    v.BereichX1 += w / 4;
    v.BereichX2 -= w / 4;
    v.BereichY1 += h / 4;
    v.BereichY2 -= h / 4;
    ChangeWindow();
}

void TMouseTools::PanClick(int dx, int dy) {
    ViewWindowState& v = gView;
    const double sx = dx * (v.BereichX2 - v.BereichX1) / 10, sy = dy * (v.BereichY2 - v.BereichY1) / 10;
    v.BereichX1 += sx;
    v.BereichX2 += sx;
    v.BereichY1 += sy;
    v.BereichY2 += sy;
    ChangeWindow();
}

void TMouseTools::AnfangswerteClick() {
    ViewWindowState& v = gView;
    v.BereichX1 = -8;
    v.BereichX2 = 8;
    v.BereichY1 = -8;
    v.BereichY2 = 8;
    ChangeWindow();
}

void TMouseTools::UpdateRemoveButton() {
    form_->Controls()->ButtonObjektEntfernen->setEnabled(!gGrafikobjektliste.Empty());
}

void TMouseTools::WerkzeugWaehlen() {
    Ui::TForm1* ui = form_->Controls();
    gOverlay.ObjektM = ui->CheckBox1->isChecked();
    gOverlay.ObjektF1 = ui->CheckBox2->isChecked();
    WerkzeugAktualisieren();
    if (!form_->WerkzeugAktiv) {
        form_->Redraw(true);
        return;
    }
    gOverlay.ObjektX = gOutput.TickLabelStepX;
    gOverlay.ObjektSchrittweite = gOutput.TickLabelStepX / std::max(1, ui->TrackBar1->value());
    GrafikobjektZeigen();
}

void TMouseTools::WerkzeugAktualisieren() {
    Ui::TForm1* ui = form_->Controls();
    form_->WerkzeugAktiv = false;
    for (TDrawingTool tool : kTools) {
        if (!ToolButton(tool)->isChecked()) continue;
        form_->WerkzeugAktiv = true;
        form_->AktuellesWerkzeug = tool;
    }
    UpdateRemoveButton();
    const bool active = form_->WerkzeugAktiv;
    const bool tangent = active && form_->AktuellesWerkzeug == TDrawingTool::Tangente;
    const bool text = active && form_->AktuellesWerkzeug == TDrawingTool::Textfeld;
    for (QCheckBox* box : {ui->CheckBox1, ui->CheckBox2}) {
        if (!tangent) box->setChecked(false);
        box->setEnabled(tangent);
    }
    gOverlay.ObjektM = ui->CheckBox1->isChecked();
    gOverlay.ObjektF1 = ui->CheckBox2->isChecked();

    Area()->setCursor(ProgramCursor(text ? kCursorText : active ? kCursorTool : kCursorPlain));
    ui->ButtonObjektEinfuegen->setEnabled(active);
    ui->ButtonSchrittLinks->setEnabled(active && !text);
    ui->ButtonSchrittRechts->setEnabled(active && !text);
    ui->Edit2->setEnabled(active);
    ui->Label1->setEnabled(active);
    ui->ButtonSchriftart->setEnabled(text);
    if (text) {
        ui->Edit1->clear();
    } else {
        HideTextField();
    }
}

void TMouseTools::GrafikobjektZeigen() {
    Ui::TForm1* ui = form_->Controls();
    UpdateRemoveButton();
    form_->Redraw(true);
    gOverlay.ObjektM = ui->CheckBox1->isChecked();
    gOverlay.ObjektF1 = ui->CheckBox2->isChecked();
    const double x = gOverlay.ObjektX;
    const TDrawingTool tool = form_->AktuellesWerkzeug;
    if (form_->WerkzeugAktiv)
        Area()->SetOverlay(PreviewPicture(Area()->size(), tool, ui->ColorButton1->SelectionColor(), x));
    objectText_ = ObjectLabel(tool, x);
    ui->Label3->setText(objectText_);
    ui->Edit2->setText(Number(x));
}

void TMouseTools::TrackBar1Change() {
    gOverlay.ObjektSchrittweite = gOutput.TickLabelStepX / std::max(1, form_->Controls()->TrackBar1->value());
}

void TMouseTools::Edit2Exit() {
    if (!form_->WerkzeugAktiv) return;
    if (ReadNumberEdit(form_->Controls()->Edit2, gOverlay.ObjektX, gOverlay.ObjektX)) GrafikobjektZeigen();
}

void TMouseTools::SchrittClick(int direction) {
    const ViewWindowState& v = gView;
    double& x = gOverlay.ObjektX;
    // An object that has left the window comes back at its far edge.
    if (x > v.BereichX2) x = v.BereichX1;
    if (x < v.BereichX1) x = v.BereichX2;
    x += direction * gOverlay.ObjektSchrittweite;
    GrafikobjektZeigen();
}

void TMouseTools::ObjektEinfuegenClick() {
    Ui::TForm1* ui = form_->Controls();
    if (!form_->WerkzeugAktiv) return;
    if (form_->AktuellesWerkzeug != TDrawingTool::Textfeld) {
        tElement e;
        e.Art = form_->AktuellesWerkzeug;
        e.mflag = gOverlay.ObjektM;
        e.f1flag = gOverlay.ObjektF1;
        e.x1 = gOverlay.ObjektX;
        e.LinienFarbe = ui->ColorButton1->SelectionColor();
        gGrafikobjektliste.Insert(1, e);
        UpdateRemoveButton();
        return;
    }
    QLineEdit* field = ui->Edit1;
    const std::string text = field->text().toStdString();
    if (!text.empty() && field->isVisible()) {
        tElement e;
        e.Art = TDrawingTool::Textfeld;
        e.Text = text;
        e.mflag = ui->CheckBox1->isChecked();
        e.f1flag = ui->CheckBox2->isChecked();
        const QPoint at = field->pos() + TextInset() - Area()->geometry().topLeft();
        e.x1 = at.x();
        e.y1 = at.y();
        e.SchriftName = textFont_.name;
        e.SchriftHoehe = textFont_.size;
        e.SchriftFarbe = textFont_.color;
        e.Schriftart = StyleBits(textFont_);
        const CanvasSize s = MeasureText(textFont_, e.Text.str());
        e.x2 = e.x1 + s.width;
        e.y2 = e.y1 + s.height;
        gGrafikobjektliste.Insert(1, e);
    }
    // Whatever the field held has been placed (or, emptied, removed).
    lifted_.reset();
    field->hide();
    ToolButton(TDrawingTool::Textfeld)->setChecked(false);
    WerkzeugAktualisieren();
    form_->Redraw(true);
}

void TMouseTools::ObjektEntfernenClick() {
    gGrafikobjektliste.Delete(1);
    form_->Redraw(true);
    UpdateRemoveButton();
}

void TMouseTools::ObjektlisteLoeschenClick() {
    gGrafikobjektliste.Init();
    form_->Redraw(true);
    UpdateRemoveButton();
}

void TMouseTools::SchriftartClick() {
    QPointer<TMouseTools> self(this);
    const QString stored = QString::fromStdString(textFont_.name);
    // The dialog speaks points; the label keeps its size in points.
    QFont offered = ToQFont(textFont_, kScreenDpi);
    offered.setFamily(FamilyToOffer(stored));
    offered.setPointSize(std::clamp(textFont_.size, 1, 2000));
    Choices().chooseFont(form_, offered, [self, stored](const QFont& chosen) {
        if (!self) return;
        CanvasFont f = FromQFont(chosen);
        f.name = ChosenFamily(stored, chosen.family()).toStdString();
        f.color = self->textFont_.color;
        self->SetTextFont(f);
    });
}

void TMouseTools::SetTextFont(const CanvasFont& font) {
    textFont_ = font;
    // The label takes the object colour.
    textFont_.color = form_->Controls()->ColorButton1->SelectionColor();
    // The hidden field is dressed when it is shown: its font would be loaded
    // before the first picture, which does not need it.
    if (form_->Controls()->Edit1->isVisible()) DressTextField();
}

void TMouseTools::DressTextField() {
    QLineEdit* field = form_->Controls()->Edit1;
    field->setFont(ToQFont(textFont_, kScreenDpi));
    QPalette pal = field->palette();
    pal.setColor(QPalette::Text, ToQColor(textFont_.color));
    field->setPalette(pal);
    FitTextField();
}

void TMouseTools::FitTextField() {
    QLineEdit* field = form_->Controls()->Edit1;
    const QPoint inset = TextInset();
    const CanvasSize line = MeasureText(textFont_, "q°");
    const CanvasSize text = MeasureText(textFont_, field->text().toStdString() + "HH");
    field->resize(text.width + 2 * inset.x(), line.height + 2 * inset.y());
}

void TMouseTools::TextToolPress(QPoint p) {
    Ui::TForm1* ui = form_->Controls();
    form_->TextKlickpunkt.X = p.x();
    form_->TextKlickpunkt.Y = p.y();
    int k = gGrafikobjektliste.FindAt(p.x(), p.y());
    if (k > 0 && lifted_) {
        // Another label is taken up: the one in the field goes back as it was.
        PutBackLifted();
        k = gGrafikobjektliste.FindAt(p.x(), p.y());
    }
    if (k > 0) {
        tElement e;
        gGrafikobjektliste.Get(k, e);
        gGrafikobjektliste.Delete(k);
        lifted_ = Lifted{k, e};
        ui->ColorButton1->SetSelectionColor(e.SchriftFarbe);
        CanvasFont f;
        f.name = e.SchriftName.empty() ? textFont_.name : e.SchriftName;
        f.size = e.SchriftHoehe > 0 ? e.SchriftHoehe : textFont_.size;
        f.bold = e.Schriftart & kFontBold;
        f.italic = e.Schriftart & kFontItalic;
        f.underline = e.Schriftart & kFontUnderline;
        f.strikeOut = e.Schriftart & kFontStrikeOut;
        SetTextFont(f);
        ui->Edit1->setText(QString::fromStdString(e.Text.str()));
        // The label is edited in the field; the picture no longer shows it.
        form_->Redraw(true);
        p = QPoint(static_cast<int>(e.x1), static_cast<int>(e.y1));
    }
    QLineEdit* field = ui->Edit1;
    field->move(Area()->geometry().topLeft() + p - TextInset());
    gControl.IgnoreNextMouseUp = true;
    DressTextField();
    field->show();
    field->raise();
    field->setFocus(Qt::MouseFocusReason);
}

void TMouseTools::PutBackLifted() {
    if (!lifted_) return;
    // At its old place when that still exists, else first.
    const int at = std::min(lifted_->position, gGrafikobjektliste.Count() + 1);
    gGrafikobjektliste.Insert(at, lifted_->element);
    lifted_.reset();
}

void TMouseTools::HideTextField() {
    QLineEdit* field = form_->Controls()->Edit1;
    const bool wasShown = field->isVisible();
    field->hide();
    if (lifted_) {
        // Leaving the text tool without placing the label keeps it.
        PutBackLifted();
        if (wasShown) form_->Redraw(true);
    }
}

}  // namespace kalvo
