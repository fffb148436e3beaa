#include "newton_dialog.h"

#include <algorithm>

#include <QCloseEvent>
#include <QFontMetrics>
#include <QPainter>

#include "analysis_state.h"
#include "analysis_support.h"
#include "bit_check_box.h"
#include "canvas_qpainter.h"
#include "clipboard_picture.h"
#include "edit_field.h"
#include "graph_host.h"
#include "mgrid.h"
#include "number_text.h"
#include "program_state.h"
#include "term.h"
#include "ui_newton_dialog.h"

namespace kalvo {

namespace {

constexpr int kNewtonSpalten = 6;
constexpr int kNummernBreite = 26;  // the step number's column, in pixels
// The printout in printer pixels: left edge, first row, row step.
constexpr int kDruckLinks = 200, kDruckOben = 200, kDruckZeile = 70;

QStringList NewtonTabellenKopf() { return Zellen(NewtonKopf()); }

std::string TitelText(const std::string& term, size_t max) {
    return CutToChars("Newtonverfahren:  f(x) = " + TermShown(term), max);
}

}  // namespace

TForm17::TForm17(QWidget* parent) : KalvoDialog(parent), ui_(std::make_unique<Ui::TForm17>()) {
    ui_->setupUi(this);
    for (TermEdit* e : {ui_->Edit2, ui_->Edit3, ui_->Edit4}) e->setKind(TermEdit::Kind::Number);
    ui_->Edit4->setMaxLength(1);
    TMgrid* grid = ui_->StringGrid1;
    CanvasFont courier;
    courier.size = 9;
    courier.bold = true;
    grid->setFont(ToQFont(courier, kScreenDpi));
    TabelleEinrichten(grid, kNewtonSpalten);
    grid->setColumnWidth(0, kNummernBreite);
    for (int c = 1; c < kNewtonSpalten; ++c) grid->setColumnWidth(c, 143);
    TabelleFuellen(grid, NewtonTabellenKopf(), {});

    connect(ui_->edit1, &TermEdit::fieldLeft, this, [this] { ReadFunktionstermEdit(ui_->edit1); });
    connect(ui_->Edit2, &TermEdit::fieldLeft, this,
            [this] { ReadNumberEdit(ui_->Edit2, gOverlay.Startwert, gOverlay.Startwert); });
    connect(ui_->Edit3, &TermEdit::fieldLeft, this, [this] {
        if (ReadNumberEdit(ui_->Edit3, newtonT_, newtonT_)) gTerms.ParameterWerte[0] = newtonT_;
    });
    connect(ui_->Edit4, &TermEdit::fieldLeft, this, &TForm17::Edit4Exit);
    connect(ui_->CheckBox1, &TBitCheckBox::OnClick, this, [this] { gOverlay.NewtonZeichnen = ui_->CheckBox1->Checked(); });
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &TForm17::BitBtn1Click);
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &TForm17::reject);
    connect(ui_->BitBtn3, &QPushButton::clicked, this, &TForm17::FormShow);
    connect(ui_->BitBtn4, &QPushButton::clicked, this, [this] {
        if (CommitFocusedField()) accept();
    });
    connect(ui_->BitBtn5, &QPushButton::clicked, this, &TForm17::BitBtn5Click);
    connect(ui_->BitBtn6, &QPushButton::clicked, this, &TForm17::BitBtn6Click);
}

TForm17::~TForm17() = default;

void TForm17::FormShow() {
    ui_->CheckBox1->SetChecked(gOverlay.NewtonZeichnen);
    ui_->edit1->setText(QText(gTerms.TermF.str()));
    ReadFunktionstermEdit(ui_->edit1);
    gOverlay.Startwert = 1.0;
    newtonT_ = gTerms.ParameterWerte[0];
    ui_->Edit2->setText(ZahlFeldText(gOverlay.Startwert));
    ui_->Edit3->setText(ZahlFeldText(newtonT_));
    nachkommastellen_ = 6;
    ui_->Edit4->setText(QText(IntToText(nachkommastellen_)));
    Berechnen();
}

void TForm17::Edit4Exit() {
    int n = 0;
    if (!ReadIntegerEdit(ui_->Edit4, n)) n = 0;
    if (n < 1) n = 6;
    if (n > 7) n = 7;
    nachkommastellen_ = n;
    ui_->Edit4->setText(QText(IntToText(n)));
}

void TForm17::Berechnen() {
    const std::string term = TermFieldText(FieldTerm(ui_->edit1));
    gTerms.TermF = CutToChars(term, kTermChars);
    {
        // The field's term; one refused has been reported when it was left.
        QuietParsing quiet;
        if (!ParseTerm(FunktionTermbaum, gTerms.TermF.str(), true)) ResetTermbaum(FunktionTermbaum);
    }
    const NewtonErgebnis e = NewtonBerechnen(gOverlay.Startwert, newtonT_, nachkommastellen_);
    if (!e.startwertIstNullstelle) {
        QList<QStringList> zeilen;
        for (const NewtonZeile& z : e.zeilen) zeilen << Zellen(z);
        TabelleFuellen(ui_->StringGrid1, NewtonTabellenKopf(), zeilen);
        // A slow run numbers its steps beyond 999.
        const QString laengste = QText(IntToText(static_cast<long long>(e.zeilen.size()) - 1));
        ui_->StringGrid1->setColumnWidth(
            0, std::max(kNummernBreite, ui_->StringGrid1->fontMetrics().horizontalAdvance(laengste) + 6));
    }
    ui_->Label5->setText(QText(e.meldung));
    ui_->edit1->selectAll();
    ui_->edit1->setFocus(Qt::OtherFocusReason);
}

void TForm17::BitBtn1Click() {
    if (CommitFocusedField()) Berechnen();
}

QString TForm17::ClipboardText() const {
    return TableClipboardText(QText(TitelText(gTerms.TermF.str(), 145)), TabellenZeilen(ui_->StringGrid1));
}

void TForm17::BitBtn6Click() {
    if (!CommitFocusedField()) return;
    Berechnen();
    CopyTextToClipboard(ClipboardText());
}

void TForm17::BitBtn5Click() {
    if (!CommitFocusedField()) return;
    Berechnen();
    DruckerWaehlen(this, [this](PrintJob& printer) { Drucken(printer); });
}

void TForm17::Drucken(PrintJob& printer) {
    QPainter painter;
    if (!painter.begin(printer.Device())) return;
    SetLogischeDruckerMapping(painter, printer);
    const PrinterCaps caps = LogischeDruckerCaps(printer);
    const QList<QStringList> zeilen = TabellenZeilen(ui_->StringGrid1);
    QPainterCanvas canvas(painter, kDruckDpi);
    CanvasFont font;
    font.size = 9;
    font.bold = true;
    canvas.SetFont(font);
    canvas.SetPen(0, 1, PenStyle::Solid);
    canvas.TextOut(kDruckLinks, 100, " " + TitelText(gTerms.TermF.str(), 145));
    const int b = canvas.TextExtent(" ").width;
    // The step numbers take three places, or as many as the longest run's.
    int nStellen = 3;
    for (const QStringList& zeile : zeilen) nStellen = std::max(nStellen, static_cast<int>(zeile.value(0).size()));
    const int x1 = kDruckLinks + canvas.TextExtent(std::string(static_cast<size_t>(nStellen) + 1, ' ')).width;

    // The rules of the rows kDruckOben + step * (0..rows) on one page.
    auto seiteAbschliessen = [&](int zeilenAufSeite, int rechts) {
        const int unten = kDruckOben - 10 + kDruckZeile * zeilenAufSeite;
        canvas.MoveTo(kDruckLinks - b, unten);
        canvas.LineTo(rechts - b, unten);
        canvas.MoveTo(kDruckLinks - b, kDruckOben - 10);
        canvas.LineTo(kDruckLinks - b, unten);
        for (int k = 0; k <= 5; ++k) {
            const int x = (rechts - x1) * k / 5 + x1 - b;
            canvas.MoveTo(x, kDruckOben - 10);
            canvas.LineTo(x, unten);
        }
    };
    int r = 0, rechts = kDruckLinks;
    auto zeileDrucken = [&](const QStringList& zeile) {
        std::string text = PadRightWith(zeile.value(0).toStdString(), nStellen + 1, ' ');
        for (int c = 1; c < kNewtonSpalten; ++c) text += PadRightWith(zeile.value(c).toStdString(), 16 + 1, ' ');
        const int y = kDruckOben + kDruckZeile * r;
        canvas.TextOut(kDruckLinks, y, text);
        rechts = kDruckLinks + canvas.TextExtent(text + " ").width;
        canvas.MoveTo(kDruckLinks - b, y - 10);
        canvas.LineTo(rechts - b, y - 10);
        ++r;
    };
    // A table longer than the page (a slow run has hundreds of steps) goes
    // on on the next one, under its header row again.
    const int seite = std::max(caps.VertRes, kDruckOben + 3 * kDruckZeile);
    for (const QStringList& zeile : zeilen) {
        if (r > 1 && kDruckOben + kDruckZeile * (r + 1) > seite) {
            seiteAbschliessen(r, rechts);
            canvas.Flush();
            printer.NewPage();
            r = 0;
            zeileDrucken(zeilen.front());
        }
        zeileDrucken(zeile);
    }
    seiteAbschliessen(r, rechts);
    canvas.End();
    painter.end();
}

void TForm17::reject() {
    ui_->CheckBox1->SetChecked(false);
    gOverlay.NewtonZeichnen = false;
    KalvoDialog::reject();
}

void TForm17::closeEvent(QCloseEvent* event) {
    if (isVisible()) done(QDialog::Rejected);
    event->accept();
}

void TForm17::done(int result) {
    KalvoDialog::done(result);
    Host().RedrawMainGraph(true);
}

}  // namespace kalvo
