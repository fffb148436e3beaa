#include "print_dialog.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "app_resources.h"
#include "canvas_qpainter.h"
#include "curves.h"
#include "graph_link.h"
#include "edit_field.h"
#include "message_sink.h"
#include "number_text.h"
#include "output_redirection.h"
#include "primitives.h"
#include "printing.h"
#include "program_state.h"
#include "redraw.h"
#include "ui_print_dialog.h"
#include "view.h"

namespace kalvo {

namespace {

// The sheet the dialog lays the graph out on, whatever the printer has.
constexpr double kPaperWidthCm = 21.0;
constexpr double kPaperHeightCm = 29.7;
constexpr double kMinSizeCm = 2.0;
// A logarithmic axis has no natural length in centimetres.
constexpr double kLogAxisCm = 15.0;
// Curves are sampled four times per screen pixel on paper.
constexpr double kPrintSamplesPerPixel = 4.0;

QString TwoDecimals(double x) { return QString::fromStdString(FormatTwoDecimals(x)); }

// The natural length of an axis: its window in tick spacings, one per
// centimetre.
double NaturalCm(bool logAxis, double from, double to, double unitsPerCm) {
    if (logAxis) return kLogAxisCm;
    const double cm = std::fabs(to - from) / unitsPerCm;
    return std::isfinite(cm) && cm > 0 ? cm : kLogAxisCm;
}

double FieldValue(const QLineEdit* edit) { return StrToRealComma(edit->text().toStdString()); }

// The preview is the printout in small: laid out as for a printer of this
// resolution and drawn scaled down to the sheet, so that labels and lines
// have the size they will have on paper.
constexpr double kPreviewPrinterDpi = 600;
constexpr double kCmPerInch = 2.54;
constexpr int kPreviewSupersampling = 4;

// Printer pixels per screen pixel that give the axes the chosen size on
// paper (scale: chosen size / natural size). Run SetupAxes first.
struct PageFactors {
    double x = 0, y = 0;
    bool Valid() const { return x > 0 && y > 0 && std::isfinite(x) && std::isfinite(y); }
};

PageFactors GraphPageFactors(double pxPerCmX, double pxPerCmY, double scaleX, double scaleY) {
    const OutputContext& o = gOutput;
    const ViewWindowState& v = gView;
    const double plotW = o.PlotRight - o.PlotLeft, plotH = o.PlotBottom - o.PlotTop;
    PageFactors f;
    f.x = o.LogScaleX ? kLogAxisCm / plotW * scaleX * pxPerCmX
                      : std::fabs(v.BereichX2 - v.BereichX1) * scaleX / o.UnitsPerCmX / plotW * pxPerCmX;
    f.y = o.LogScaleY ? kLogAxisCm / plotH * scaleY * pxPerCmY
                      : std::fabs(v.BereichY2 - v.BereichY1) * scaleY / o.UnitsPerCmY / plotH * pxPerCmY;
    return f;
}

// The graph font on a printer of `dpi` that draws `factorX` printer pixels per screen pixel.
CanvasFont PrinterGraphFont(double factorX, double dpi) {
    CanvasFont font = GraphAreaFont();
    font.size = std::max(1, RoundToInt(gDisplay.Schriftgroesse * factorX / dpi * 330 * 0.39));
    return font;
}

}  // namespace

TA4Sheet::TA4Sheet(QWidget* parent) : QWidget(parent) { setFixedSize(kSheetWidth, kSheetHeight); }

void TA4Sheet::SetPicture(QImage picture, QPoint at, QString note) {
    picture_ = std::move(picture);
    at_ = at;
    note_ = std::move(note);
    update();
}

void TA4Sheet::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), QColor(Qt::lightGray));
    p.setPen(Qt::darkGray);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    // A graph wider than the paper ends at its edge, as on paper.
    p.setClipRect(rect());
    if (!picture_.isNull()) p.drawImage(at_, picture_);
    if (!note_.isEmpty()) PaintCutNote(p, rect(), note_);
}

TGrafikDruckenDlg::TGrafikDruckenDlg(QWidget* parent) : KalvoDialog(parent), ui_(std::make_unique<Ui::TGrafikDruckenDlg>()) {
    ui_->setupUi(this);
    ApplyGlyphs(this);
    SetArrowKeysMoveFocus(true);
    const struct {
        TermEdit* edit;
        int chars;
        void (TGrafikDruckenDlg::*rule)();
    } fields[] = {
        // Percentages reach three digits before the comma.
        {ui_->Edit1, 6, &TGrafikDruckenDlg::BreiteProzentExit}, {ui_->Edit2, 6, &TGrafikDruckenDlg::HoeheProzentExit},
        {ui_->Edit3, 5, &TGrafikDruckenDlg::BreiteCmExit},      {ui_->Edit4, 5, &TGrafikDruckenDlg::HoeheCmExit},
        {ui_->Edit5, 5, &TGrafikDruckenDlg::RandLinksExit},     {ui_->Edit6, 5, &TGrafikDruckenDlg::RandObenExit},
    };
    for (const auto& f : fields) {
        f.edit->setKind(TermEdit::Kind::Number);
        f.edit->setMaxLength(f.chars);
        connect(f.edit, &TermEdit::fieldLeft, this, f.rule);
    }
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &TGrafikDruckenDlg::OkClick);
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &TGrafikDruckenDlg::AbbrechenClick);
    connect(ui_->BitBtn3, &QPushButton::clicked, this, &TGrafikDruckenDlg::VorgabeClick);
    connect(ui_->Button1, &QPushButton::clicked, this, &TGrafikDruckenDlg::HorizontalClick);
    connect(ui_->Button2, &QPushButton::clicked, this, &TGrafikDruckenDlg::VertikalClick);
}

TGrafikDruckenDlg::~TGrafikDruckenDlg() = default;

void TGrafikDruckenDlg::LoadControls() { VorgabeClick(); }

void TGrafikDruckenDlg::VorgabeClick() {
    OutputContext& o = gOutput;
    const ViewWindowState& v = gView;
    o.RandLinks = 1.0;
    o.RandOben = 1.0;
    ProzentBreite = 100;
    ProzentHoehe = 100;
    DruckBreite = NaturalCm(o.LogScaleX, v.BereichX1, v.BereichX2, o.UnitsPerCmX);
    DruckHoehe = NaturalCm(o.LogScaleY, v.BereichY1, v.BereichY2, o.UnitsPerCmY);
    ui_->Label7->setText(QStringLiteral("Breite:  ") + TwoDecimals(DruckBreite) + QStringLiteral(" cm"));
    ui_->Label8->setText(QStringLiteral("Höhe:   ") + TwoDecimals(DruckHoehe) + QStringLiteral(" cm"));
    OriginalBreite = DruckBreite;
    OriginalHoehe = DruckHoehe;
    // A large window has room for more ticks, so its graph can be larger
    // than the sheet: it starts at the largest size with its proportions that
    // leaves the margins on both sides.
    const double fit = std::min({1.0, (kPaperWidthCm - 2 * o.RandLinks) / DruckBreite,
                                 (kPaperHeightCm - 2 * o.RandOben) / DruckHoehe});
    DruckBreite *= fit;
    DruckHoehe *= fit;
    ProzentBreite = ProzentHoehe = 100 * fit;
    ZeigeBlatt();
    WriteFields();
    ui_->Edit1->setFocus(Qt::OtherFocusReason);
    ui_->Edit1->selectAll();
}

void TGrafikDruckenDlg::WriteFields() {
    const OutputContext& o = gOutput;
    ui_->Edit1->setText(TwoDecimals(ProzentBreite));
    ui_->Edit2->setText(TwoDecimals(ProzentHoehe));
    ui_->Edit3->setText(TwoDecimals(DruckBreite));
    ui_->Edit4->setText(TwoDecimals(DruckHoehe));
    ui_->Edit5->setText(TwoDecimals(o.RandLinks));
    ui_->Edit6->setText(TwoDecimals(o.RandOben));
}

void TGrafikDruckenDlg::ClampWidth() {
    const double most = kPaperWidthCm - gOutput.RandLinks;
    if (!(DruckBreite >= kMinSizeCm)) DruckBreite = kMinSizeCm;
    if (DruckBreite > most) DruckBreite = std::max(most, kMinSizeCm);
}

void TGrafikDruckenDlg::ClampHeight() {
    const double most = kPaperHeightCm - gOutput.RandOben;
    if (!(DruckHoehe >= kMinSizeCm)) DruckHoehe = kMinSizeCm;
    if (DruckHoehe > most) DruckHoehe = std::max(most, kMinSizeCm);
}

void TGrafikDruckenDlg::BreiteProzentExit() {
    DruckBreite = FieldValue(ui_->Edit1) * OriginalBreite / 100;
    ClampWidth();
    ProzentBreite = DruckBreite * 100 / OriginalBreite;
    ZeigeBlatt();
    WriteFields();
}

void TGrafikDruckenDlg::HoeheProzentExit() {
    DruckHoehe = FieldValue(ui_->Edit2) * OriginalHoehe / 100;
    ClampHeight();
    ProzentHoehe = DruckHoehe * 100 / OriginalHoehe;
    ZeigeBlatt();
    WriteFields();
}

void TGrafikDruckenDlg::BreiteCmExit() {
    DruckBreite = FieldValue(ui_->Edit3);
    ClampWidth();
    ProzentBreite = DruckBreite / OriginalBreite * 100;
    ZeigeBlatt();
    WriteFields();
}

void TGrafikDruckenDlg::HoeheCmExit() {
    DruckHoehe = FieldValue(ui_->Edit4);
    ClampHeight();
    ProzentHoehe = DruckHoehe / OriginalHoehe * 100;
    ZeigeBlatt();
    WriteFields();
}

// A graph wider than the paper leaves no room for a margin: it starts at
// the edge rather than before it.
void TGrafikDruckenDlg::RandLinksExit() {
    double& r = gOutput.RandLinks;
    r = FieldValue(ui_->Edit5);
    if (r > kPaperWidthCm - DruckBreite) r = kPaperWidthCm - DruckBreite;
    if (!(r >= 0)) r = 0;
    ZeigeBlatt();
    WriteFields();
}

void TGrafikDruckenDlg::RandObenExit() {
    double& r = gOutput.RandOben;
    r = FieldValue(ui_->Edit6);
    if (r > kPaperHeightCm - DruckHoehe) r = kPaperHeightCm - DruckHoehe;
    if (!(r >= 0)) r = 0;
    ZeigeBlatt();
    WriteFields();
}

void TGrafikDruckenDlg::HorizontalClick() {
    gOutput.RandLinks = std::max(0.0, (kPaperWidthCm - DruckBreite) / 2);
    ZeigeBlatt();
    WriteFields();
}

void TGrafikDruckenDlg::VertikalClick() {
    gOutput.RandOben = std::max(0.0, (kPaperHeightCm - DruckHoehe) / 2);
    ZeigeBlatt();
    WriteFields();
}

void TGrafikDruckenDlg::ZeigeBlatt() {
    const double sheetPxPerCm = TA4Sheet::kSheetWidth / kPaperWidthCm;
    const QPoint at(RoundToInt(sheetPxPerCm * gOutput.RandLinks), RoundToInt(sheetPxPerCm * gOutput.RandOben));
    SetupAxes(gDisplay.Koordinatensystem);
    const OutputContext& o = gOutput;
    const double printerPxPerCm = kPreviewPrinterDpi / kCmPerInch;
    const PageFactors f = GraphPageFactors(printerPxPerCm, printerPxPerCm, DruckBreite / OriginalBreite,
                                           DruckHoehe / OriginalHoehe);
    const double shrink = sheetPxPerCm / printerPxPerCm;
    auto sheetPixels = [&](int plotPx, double factor, int sheetSide) {
        return std::clamp(RoundToInt((plotPx + 1) * factor * shrink), 1, 4 * sheetSide);
    };
    const int width = f.Valid() ? sheetPixels(o.PlotWidthPx, f.x, TA4Sheet::kSheetWidth) : 1;
    const int height = f.Valid() ? sheetPixels(o.PlotHeightPx, f.y, TA4Sheet::kSheetHeight) : 1;
    // Drawn larger and then smoothed down, so that labels a few pixels high
    // keep their shape and hairlines show as light grey.
    QImage large(width * kPreviewSupersampling, height * kPreviewSupersampling, QImage::Format_RGB32);
    large.fill(ToQColor(gDisplay.HintergrundDrucker));
    bool cut = false;
    if (f.Valid() && width > 2 && height > 2) {
        QPainter painter(&large);
        painter.scale(shrink * kPreviewSupersampling, shrink * kPreviewSupersampling);
        QPainterCanvas canvas(painter, kPreviewPrinterDpi);
        canvas.SetFont(PrinterGraphFont(f.x, kPreviewPrinterDpi));
        OutputTarget target;
        target.canvas = &canvas;
        target.faktorX = f.x;
        target.faktorY = f.y;
        target.plotWidthPx = o.PlotWidthPx;
        target.plotHeightPx = o.PlotHeightPx;
        target.printing = true;
        target.preview = true;
        // The sheet as the printout's page: labels stay on the paper.
        target.pageLeft = -RoundToInt(printerPxPerCm * gOutput.RandLinks);
        target.pageTop = -RoundToInt(printerPxPerCm * gOutput.RandOben);
        target.pageRight = target.pageLeft + RoundToInt(printerPxPerCm * kPaperWidthCm);
        target.pageBottom = target.pageTop + RoundToInt(printerPxPerCm * kPaperHeightCm);
        {
            OutputRedirection redirect(target);
            gOutput.PrinterPixelsPerInchX = RoundToInt(kPreviewPrinterDpi);
            GrafikZeichnen(false);
        }
        cut = LastRedrawCut();
        canvas.End();
    }
    QImage preview = large.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    // The preview keeps to the screen's budget; the printout has its own.
    // The note goes on the sheet: a picture a few centimetres wide has no
    // room for it.
    ui_->Image1->SetPicture(std::move(preview), at,
                            cut ? QStringLiteral("Vorschau unvollst\u00E4ndig (zu viel Rechenaufwand)") : QString());
}

void TGrafikDruckenDlg::OkClick() {
    if (!CommitFocusedField()) return;
    gControl.DruckenOK = true;
    gOutput.PrintScaleX = DruckBreite / OriginalBreite;
    gOutput.PrintScaleY = DruckHoehe / OriginalHoehe;
    accept();
}

void TGrafikDruckenDlg::AbbrechenClick() {
    gControl.DruckenOK = false;
    reject();
}

bool PrintGraphPage(PrintJob& printer) {
    if (printer.Busy()) return false;
    const PrinterCaps caps = QueryPrinterCaps(printer);
    SetupAxes(gDisplay.Koordinatensystem);
    const OutputContext& o = gOutput;
    const double pxPerCmX = caps.PixelsPerCmX(), pxPerCmY = caps.PixelsPerCmY();
    // So many printer pixels per screen pixel that the graph has the chosen size.
    const PageFactors f = GraphPageFactors(pxPerCmX, pxPerCmY, o.PrintScaleX, o.PrintScaleY);
    const double fx = f.x, fy = f.y;
    if (!f.Valid() || caps.LogPixelsX <= 0) {
        ShowMessage("Die Grafik kann nicht gedruckt werden.", MessageKind::Error);
        return false;
    }
    // The margins count from the paper's edge; the painter's origin is the
    // corner of the printable area.
    const int offsetX = RoundToInt(pxPerCmX * o.RandLinks) - caps.PhysicalOffsetX;
    const int offsetY = RoundToInt(pxPerCmY * o.RandOben) - caps.PhysicalOffsetY;

    // Kept back from the printer while it is drawn: a printout the user
    // cancels prints nothing (unless it had grown too large to keep back).
    DeferredPrintout page(printer);
    bool cut = false, cancelled = false, printed = false;
    {
        CancellableWork work("Die Grafik wird gedruckt \u2026");
        {
            QPainter painter(page.Device());
            painter.translate(offsetX, offsetY);
            QPainterCanvas canvas(painter, caps.LogPixelsX);
            canvas.SetFont(PrinterGraphFont(fx, caps.LogPixelsX));
            OutputTarget target;
            target.canvas = &canvas;
            target.faktorX = fx;
            target.faktorY = fy;
            target.samplesPerPixel = kPrintSamplesPerPixel;
            target.plotWidthPx = o.PlotWidthPx;
            target.plotHeightPx = o.PlotHeightPx;
            target.printing = true;
            // Labels stay on the printable part of the page.
            target.pageLeft = -offsetX;
            target.pageTop = -offsetY;
            target.pageRight = caps.HorzRes - offsetX;
            target.pageBottom = caps.VertRes - offsetY;
            {
                OutputRedirection redirect(target);
                gOutput.PrinterPixelsPerInchX = caps.LogPixelsX;
                gOutput.PrintOffsetX = offsetX;
                gOutput.PrintOffsetY = offsetY;
                GrafikZeichnen(true);
            }
            canvas.End();
            cut = LastRedrawCut();
        }
        // The printer's engine finishes the page under the same dialog.
        if (!work.Cancelled()) printed = page.Print();
        cancelled = work.Cancelled();
    }
    gControl.DruckenOK = false;
    if (cancelled) {
        page.Discard();
        ShowMessage(CancelledPrintoutText(page));
        return false;
    }
    if (!printed) {
        ShowMessage("Der Drucker kann nicht benutzt werden.", MessageKind::Error);
        return false;
    }
    if (cut) ShowMessage(CutPictureText("gedruckt"), MessageKind::Warning);
    return true;
}

}  // namespace kalvo
