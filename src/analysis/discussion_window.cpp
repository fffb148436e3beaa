#include "discussion_window.h"

#include <QCloseEvent>
#include <QListWidget>
#include <QPainter>
#include <QStyle>
#include <algorithm>
#include <cmath>

#include "analysis_state.h"
#include "analysis_support.h"
#include "bit_check_box.h"
#include "canvas_qpainter.h"
#include "color_button.h"
#include "curves.h"
#include "edit_field.h"
#include "graph_host.h"
#include "message_sink.h"
#include "number_text.h"
#include "numeric_tables.h"
#include "output_redirection.h"
#include "primitives.h"
#include "program_state.h"
#include "redraw.h"
#include "term.h"
#include "ui_discussion_window.h"
#include "view.h"

namespace kalvo {

namespace {

constexpr double kRandLinksCm = 2.0;
constexpr double kDruckMassstab = 0.75;
// A logarithmic axis is printed this long.
constexpr double kLogAchseCm = 15.0;

}  // namespace

TForm11::TForm11(QWidget* parent) : KalvoDialog(parent), ui_(std::make_unique<Ui::TForm11>()) {
    ui_->setupUi(this);
    // Made once at start-up: a close only hides it.
    setAttribute(Qt::WA_DeleteOnClose, false);
    SetArrowKeysMoveFocus(true);
    // A line with a slope that does not exist must be read whole, not cut at
    // "nicht de"; the window grows to let the lists hold it.
    const QString breitesteZeile = QStringLiteral("W( -3,00| -3,00)  m =") + QString::fromStdString(NichtDefiniertText());
    auto mindestens = [](QListWidget* liste, const QString& zeile) {
        liste->setMinimumWidth(liste->fontMetrics().horizontalAdvance(zeile) + 2 * liste->frameWidth() +
                               liste->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 8);
    };
    for (QListWidget* liste : {ui_->ListBox1, ui_->ListBox2, ui_->ListBox3}) mindestens(liste, breitesteZeile);
    // Steep lines far from the origin have both numbers in scientific form.
    for (QListWidget* liste : {ui_->ListBox4, ui_->ListBox5})
        mindestens(liste, QStringLiteral("y =  -1,23 E+6 * x -  4,56 E+5"));
    resize(std::max(736, minimumSizeHint().width()), 380);
    for (TermEdit* e : {ui_->Edit2, ui_->Edit3, ui_->Edit5}) e->setKind(TermEdit::Kind::Number);
    PolListenZeigen(false);
    ui_->Label6->setMinimumHeight(ui_->Label6->fontMetrics().height());

    connect(ui_->edit1, &TermEdit::fieldLeft, this, &TForm11::Edit1Exit);
    connect(ui_->Edit2, &TermEdit::fieldLeft, this, &TForm11::Edit2Exit);
    connect(ui_->Edit3, &TermEdit::fieldLeft, this, &TForm11::Edit3Exit);
    connect(ui_->Edit5, &TermEdit::fieldLeft, this, &TForm11::Edit5Exit);
    connect(ui_->Button1, &QPushButton::clicked, this, &TForm11::Button1Click);
    connect(ui_->SpeedButton1, &QPushButton::clicked, this, &TForm11::SpeedButton1Click);
    connect(ui_->SpeedButton2, &QPushButton::clicked, this, &TForm11::SpeedButton2Click);
    connect(ui_->SpeedButton3, &QPushButton::clicked, this, &TForm11::SpeedButton3Click);
    connect(ui_->SpeedButton4, &QPushButton::clicked, this, &TForm11::SpeedButton4Click);
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &TForm11::BitBtn1Click);
    connect(ui_->CheckBox1, &TBitCheckBox::OnClick, this, &TForm11::CheckBox1Click);
}

TForm11::~TForm11() {
    if (drucker_) gKurvendiskussion.DiskussionDruck = false;
}

QListWidget* TForm11::Liste(Ergebnisliste liste) const {
    switch (liste) {
        case Ergebnisliste::Nullstellen: return ui_->ListBox1;
        case Ergebnisliste::Extrema: return ui_->ListBox2;
        case Ergebnisliste::Wendepunkte: return ui_->ListBox3;
        case Ergebnisliste::Pole: return ui_->ListBox4;
        case Ergebnisliste::Asymptoten: return ui_->ListBox5;
    }
    return ui_->ListBox1;
}

void TForm11::ListeLeeren(Ergebnisliste liste) { Liste(liste)->clear(); }

void TForm11::ZeileHinzufuegen(Ergebnisliste liste, const std::string& zeile) { Liste(liste)->addItem(QText(zeile)); }

void TForm11::SymmetrieAnzeigen(const std::string& satz) { ui_->Label6->setText(QText(satz)); }

std::string& TForm11::Arbeitsterm() { return gDiscussion.DiskussionMitG ? arbeitstermG_ : arbeitstermF_; }

void TForm11::PolListenZeigen(bool zeigen) {
    for (QWidget* w : std::initializer_list<QWidget*>{ui_->ListBox4, ui_->ListBox5, ui_->Label8, ui_->Label9})
        w->setVisible(zeigen);
}

void TForm11::IntervallOrdnen() {
    KurvendiskussionZustand& z = gKurvendiskussion;
    if (z.SuchintervallBis < z.SuchintervallVon) SwapReal(z.SuchintervallVon, z.SuchintervallBis);
}

void TForm11::IntervallfelderSchreiben() {
    ui_->Edit2->setText(ZahlFeldText(gKurvendiskussion.SuchintervallVon));
    ui_->Edit3->setText(ZahlFeldText(gKurvendiskussion.SuchintervallBis));
}

void TForm11::ErgebnisseLeeren() {
    // The lists must not go on showing the results of another term.
    for (Ergebnisliste l : {Ergebnisliste::Nullstellen, Ergebnisliste::Extrema, Ergebnisliste::Wendepunkte,
                            Ergebnisliste::Pole, Ergebnisliste::Asymptoten})
        ListeLeeren(l);
    SymmetrieAnzeigen("");
    listenStand_.reset();
}

TForm11::Rechenstand TForm11::AktuellerStand() const {
    const KurvendiskussionZustand& z = gKurvendiskussion;
    const ParameterState& p = gParams;
    return Rechenstand{gDiscussion.DiskussionMitG,
                       ui_->edit1->text().toStdString(),
                       std::min(z.SuchintervallVon, z.SuchintervallBis),
                       std::max(z.SuchintervallVon, z.SuchintervallBis),
                       diskussionT_,
                       {gTerms.KonstanteA, gTerms.KonstanteB, gTerms.KonstanteC, gTerms.KonstanteD},
                       p.FgSummeVon,
                       p.FgSummeBis,
                       p.FgSummeSchrittweite,
                       gDisplay.Nachkommastellen,
                       z.PoleUndAsymptotenSuchen};
}

bool TForm11::Berechnen() {
    KurvendiskussionZustand& z = gKurvendiskussion;
    IntervallOrdnen();
    const bool termOk = ReadFunktionstermEdit(ui_->edit1);
    IntervallfelderSchreiben();
    suchSchrittweite_ = std::fabs(z.SuchintervallBis - z.SuchintervallVon) / 500;
    if (!termOk) {
        ErgebnisseLeeren();
        z.DiskussionDruck = false;
        return false;
    }
    KurvendiskussionBerechnen(z.SuchintervallVon, z.SuchintervallBis, suchSchrittweite_, diskussionT_, *this);
    listenStand_ = AktuellerStand();
    return true;
}

void TForm11::TermfeldWaehlen() {
    ui_->edit1->selectAll();
    ui_->edit1->setFocus(Qt::OtherFocusReason);
}

void TForm11::showEvent(QShowEvent* event) {
    KalvoDialog::showEvent(event);
    FormShow();
}

void TForm11::FormShow() {
    DiscussionResults& d = gDiscussion;
    KurvendiskussionZustand& z = gKurvendiskussion;
    ui_->CheckBox1->SetChecked(false);
    z.PoleUndAsymptotenSuchen = false;
    ui_->CheckBox2->SetChecked(d.SonderpunkteZeichnen);
    ui_->CheckBox3->SetChecked(d.SonderpunkteBeschriften);
    PolListenZeigen(false);
    ui_->ColorButton1->SetSelectionColor(d.DiskussionFarbe);
    ui_->Button1->setText(QStringLiteral("f(x,t)="));
    d.DiskussionMitG = false;
    arbeitstermF_ = gTerms.TermF.str();
    arbeitstermG_ = gTerms.TermG.str();
    z.DiskussionDruck = false;
    diskussionT_ = gTerms.ParameterWerte[0];
    ui_->edit1->setText(QText(arbeitstermF_));
    ReadFunktionstermEdit(ui_->edit1);
    z.SuchintervallVon = gView.BereichX1;
    z.SuchintervallBis = gView.BereichX2;
    IntervallfelderSchreiben();
    ui_->Edit5->setText(ZahlFeldText(diskussionT_));
    suchSchrittweite_ = std::fabs(z.SuchintervallBis - z.SuchintervallVon) / 500;
    // Lists of another term, interval, parameter or constant (or none yet,
    // as in a window made on first use) are computed anew.
    if (listenStand_ != AktuellerStand()) Berechnen();
    TermfeldWaehlen();
}

void TForm11::Edit1Exit() {
    Arbeitsterm() = FieldTerm(ui_->edit1);
    IntervallOrdnen();
    // A term that does not compile stays in the field to be mended; it
    // neither replaces the shared term nor is examined.
    if (!ReadFunktionstermEdit(ui_->edit1)) {
        ErgebnisseLeeren();
        return;
    }
    Arbeitsterm() = FieldTerm(ui_->edit1);
    (gDiscussion.DiskussionMitG ? gTerms.TermG : gTerms.TermF) = Arbeitsterm();
    IntervallfelderSchreiben();
    Berechnen();
    Host().RedrawMainGraph(true);
}

void TForm11::Edit2Exit() {
    double& v = gKurvendiskussion.SuchintervallVon;
    ReadNumberEdit(ui_->Edit2, v, v);
}

void TForm11::Edit3Exit() {
    double& v = gKurvendiskussion.SuchintervallBis;
    ReadNumberEdit(ui_->Edit3, v, v);
}

void TForm11::Edit5Exit() {
    if (ReadNumberEdit(ui_->Edit5, diskussionT_, diskussionT_)) gTerms.ParameterWerte[0] = diskussionT_;
}

void TForm11::Button1Click() {
    DiscussionResults& d = gDiscussion;
    d.DiskussionMitG = !d.DiskussionMitG;
    ui_->Button1->setText(d.DiskussionMitG ? QStringLiteral("g(x,t)=") : QStringLiteral("f(x,t)="));
    ui_->edit1->setText(QText(Arbeitsterm()));
    Berechnen();
    TermfeldWaehlen();
}

void TForm11::SpeedButton1Click() {
    ui_->edit1->setText(QText(Arbeitsterm()));
    Berechnen();
    TermfeldWaehlen();
}

void TForm11::CheckBox1Click() {
    const bool an = ui_->CheckBox1->Checked();
    gKurvendiskussion.PoleUndAsymptotenSuchen = an;
    PolListenZeigen(an);
    if (!an) return;
    Berechnen();
    ui_->edit1->setFocus(Qt::OtherFocusReason);
}

void TForm11::SpeedButton2Click() {
    for (TBitCheckBox* b : {ui_->CheckBox1, ui_->CheckBox2, ui_->CheckBox3, ui_->CheckBox4}) b->SetChecked(false);
    gKurvendiskussion.PoleUndAsymptotenSuchen = false;
    PolListenZeigen(false);
    // The field gets f again, so the caption must say f: with g examined,
    // leaving the field would otherwise give g the term of f.
    gDiscussion.DiskussionMitG = false;
    ui_->Button1->setText(QStringLiteral("f(x,t)="));
    diskussionT_ = gTerms.ParameterWerte[0];
    ui_->edit1->setText(QText(gTerms.TermF.str()));
    ReadFunktionstermEdit(ui_->edit1);
    gKurvendiskussion.SuchintervallVon = gView.BereichX1;
    gKurvendiskussion.SuchintervallBis = gView.BereichX2;
    IntervallfelderSchreiben();
    ui_->Edit5->setText(ZahlFeldText(diskussionT_));
    // No search here; lists of something else than now shown go.
    if (listenStand_ != AktuellerStand()) ErgebnisseLeeren();
}

void TForm11::SpeedButton3Click() { reject(); }

void TForm11::reject() {
    // Leaving with "Beenden" or Esc switches the marks off.
    for (TBitCheckBox* b : {ui_->CheckBox1, ui_->CheckBox2, ui_->CheckBox3, ui_->CheckBox4}) b->SetChecked(false);
    gKurvendiskussion.PoleUndAsymptotenSuchen = false;
    KalvoDialog::reject();
}

void TForm11::closeEvent(QCloseEvent* event) {
    // The title bar's close keeps the marks as they are ticked.
    if (isVisible()) done(QDialog::Rejected);
    event->accept();
}

void TForm11::BitBtn1Click() {
    if (!CommitFocusedField()) return;
    gTerms.TermF = arbeitstermF_;
    gTerms.TermG = arbeitstermG_;
    accept();
}

void TForm11::done(int result) {
    DiscussionResults& d = gDiscussion;
    d.SonderpunkteZeichnen = ui_->CheckBox2->Checked();
    d.SonderpunkteBeschriften = ui_->CheckBox3->Checked();
    d.DiskussionFarbe = ui_->ColorButton1->SelectionColor();
    KalvoDialog::done(result);
    Host().RedrawMainGraph(true);
}

void TForm11::SpeedButton4Click() {
    DruckerWaehlen(this, [this](PrintJob& printer) { Drucken(printer); });
}

void TForm11::Drucken(PrintJob& printer) {
    // Kept back from the printer while it is drawn: a printout the user
    // cancels prints nothing (unless it had grown too large to keep back).
    DeferredPrintout ausdruck(printer);
    bool abgebrochen = false, gekuerzt = false;
    {
        CancellableWork arbeit("Die Kurvendiskussion wird gedruckt \u2026");
        QPainter painter;
        if (!painter.begin(ausdruck.Device())) return;
        SetLogischeDruckerMapping(painter, printer);
        const PrinterCaps caps = LogischeDruckerCaps(printer);
        KurvendiskussionZustand& z = gKurvendiskussion;
        const int dez = gDisplay.Nachkommastellen;
        {
            QPainterCanvas canvas(painter, kDruckDpi);
            z.DiskussionDruck = true;
            z.DruckX = 200;
            z.DruckY = kDiskussionDruckOben;
            const CanvasFont font = GraphAreaFont();
            z.DruckZeilenhoehe = std::abs(RoundToInt(font.size * kDruckDpi / 72.0) * 5 / 4);
            canvas.SetFont(font);

            canvas.SetFontSize(12);
            const std::string term = ui_->edit1->text().toStdString();
            std::string titel =
                (gDiscussion.DiskussionMitG ? "Kurvendiskussion:  g(x) = " : "Kurvendiskussion:  f(x) = ") + term;
            bool usesT = false;
            {
                QuietParsing quiet;
                Termbaum baum;
                usesT = ParseTerm(baum, TermFieldText(term), true) && baum.UsesT();
            }
            if (usesT) titel += " ; t =" + FormatNumberCommaTight(dez, diskussionT_);
            canvas.TextOut(z.DruckX, z.DruckY, titel);
            z.DruckY += z.DruckZeilenhoehe;
            canvas.SetFontSize(10);
            canvas.TextOut(z.DruckX, z.DruckY,
                           "Suchbereich: [" + FormatNumberCommaTight(dez, z.SuchintervallVon) + ";" +
                               FormatNumberCommaTight(dez, z.SuchintervallBis) + "]");

            // Long lists go on over pages.
            drucker_ = &canvas;
            ausdruck_ = &ausdruck;
            seitenhoehe_ = caps.VertRes;
            const bool gerechnet = Berechnen();
            drucker_ = nullptr;
            ausdruck_ = nullptr;
            seitenhoehe_ = 0;
            z.DiskussionDruck = false;
            canvas.End();
            if (gerechnet && ui_->CheckBox4->Checked()) gekuerzt = GrafikDrucken(painter, ausdruck, caps);
        }
        painter.end();
        abgebrochen = arbeit.Cancelled();
    }
    if (abgebrochen) {
        ausdruck.Discard();
        ShowMessage(CancelledPrintoutText(ausdruck));
        // The lists show what the search finds, not a search the cancel cut short.
        Berechnen();
    } else if (!ausdruck.Print()) {
        ShowMessage("Der Drucker kann nicht benutzt werden.", MessageKind::Error);
    } else if (gekuerzt) {
        ShowMessage(CutPictureText("gedruckt"), MessageKind::Warning);
    }
    Host().RedrawMainGraph(true);
}

void TForm11::NeueDruckseite() {
    if (!drucker_ || !ausdruck_) return;
    drucker_->Flush();
    ausdruck_->NewPage();
}

bool TForm11::GrafikDrucken(QPainter& painter, DeferredPrintout& ausdruck, const PrinterCaps& caps) {
    const KurvendiskussionZustand& z = gKurvendiskussion;
    const double pxX = caps.PixelsPerCmX(), pxY = caps.PixelsPerCmY();
    if (!(pxX > 0) || !(pxY > 0)) return false;
    const OutputContext vorher = gOutput;
    SetupAxes(gDisplay.Koordinatensystem);
    const OutputContext& o = gOutput;
    const ViewWindowState& v = gView;
    const double hoehe = o.PlotBottom - o.PlotTop, breite = o.PlotRight - o.PlotLeft;
    const double faktorY = o.LogScaleY ? kLogAchseCm / hoehe * kDruckMassstab * pxY
                                       : std::fabs(v.BereichY2 - v.BereichY1) * kDruckMassstab / o.UnitsPerCmY / hoehe * pxY;
    const double faktorX = o.LogScaleX ? kLogAchseCm / breite * kDruckMassstab * pxX
                                       : std::fabs(v.BereichX2 - v.BereichX1) * kDruckMassstab / o.UnitsPerCmX / breite * pxX;
    // Without a laid-out screen picture there is nothing to scale from.
    if (!(std::isfinite(faktorX) && faktorX > 0 && std::isfinite(faktorY) && faktorY > 0)) {
        gOutput = vorher;
        return false;
    }
    const int offsetX = RoundToInt(pxX * kRandLinksCm);
    int offsetY = z.DruckY + 2 * z.DruckZeilenhoehe;
    // A graph that does not fit below the lists goes on a page of its own.
    const double hoeheGedruckt = o.PlotHeightPx * faktorY;
    if (offsetY + hoeheGedruckt > caps.VertRes && offsetY > kDiskussionDruckOben) {
        ausdruck.NewPage();
        offsetY = kDiskussionDruckOben;
    }

    painter.save();
    painter.setClipRect(QRect(offsetX, offsetY, std::max(caps.HorzRes - offsetX, 0), std::max(caps.VertRes - offsetY, 0)));
    painter.translate(offsetX, offsetY);
    {
        QPainterCanvas canvas(painter, kDruckDpi);
        CanvasFont font = GraphAreaFont();
        font.size = std::max(1, RoundToInt(gDisplay.Schriftgroesse * faktorX / caps.LogPixelsX * 330 * 0.39));
        canvas.SetFont(font);
        OutputTarget ziel;
        ziel.canvas = &canvas;
        ziel.faktorX = faktorX;
        ziel.faktorY = faktorY;
        ziel.samplesPerPixel = 4;
        ziel.plotWidthPx = o.PlotWidthPx;
        ziel.plotHeightPx = o.PlotHeightPx;
        ziel.printing = true;
        // Labels stay on the page, within the clip.
        ziel.pageRight = caps.HorzRes - offsetX;
        ziel.pageBottom = caps.VertRes - offsetY;
        OutputRedirection umleitung(ziel);
        gOutput.PrinterPixelsPerInchX = caps.LogPixelsX;
        gOutput.PrintOffsetX = offsetX;
        gOutput.PrintOffsetY = offsetY;
        gOutput.PrintScaleX = gOutput.PrintScaleY = kDruckMassstab;
        gOutput.RandLinks = kRandLinksCm;
        GrafikZeichnen(false);
        canvas.End();
    }
    const bool cut = LastRedrawCut();
    painter.restore();
    gOutput = vorher;
    return cut;
}

}  // namespace kalvo
