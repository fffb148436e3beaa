#include "value_table.h"

#include <QPainter>
#include <QScrollBar>

#include "analysis_support.h"
#include "canvas_qpainter.h"
#include "clipboard_picture.h"
#include "edit_field.h"
#include "graph_host.h"
#include "message_sink.h"
#include "mgrid.h"
#include "program_state.h"
#include "term.h"
#include "ui_value_table.h"

namespace kalvo {

namespace {

constexpr int kTabellenSpalten = 5;

// The printed grid in tenths of a millimetre.
constexpr int kLinks = 230, kOben = 292, kZeile = 60, kSpalte = 310;

QStringList TabellenKopf() { return Zellen(WertetabelleKopf()); }

// Font heights of the printout in 0.1 mm: the height of the font's cell
// (ascent and descent), as printers count a font's height.
constexpr int kTitelHoehe = 54, kTabellenHoehe = 44;
// With this font resolution a canvas takes a font's size in its own units,
// here 0.1 mm.
constexpr double kGroesseInEinheiten = 72;

CanvasFont DruckSchrift(const QFont& vorbild, int zellenHoehe) {
    CanvasFont f;
    f.name = vorbild.family().toStdString();
    f.size = 100;
    const int hoehe100 = std::max(1, MeasureText(f, {}, kGroesseInEinheiten).height);
    f.size = std::max(1, RoundToInt(zellenHoehe * 100.0 / hoehe100));
    return f;
}

}  // namespace

TForm12::TForm12(QWidget* parent) : KalvoDialog(parent), ui_(std::make_unique<Ui::TForm12>()) {
    ui_->setupUi(this);
    for (TermEdit* e : {ui_->Edit2, ui_->Edit3, ui_->Edit4, ui_->Edit5}) e->setKind(TermEdit::Kind::Number);
    TMgrid* grid = ui_->StringGrid1;
    CanvasFont courier;
    courier.size = 9;
    grid->setFont(ToQFont(courier, kScreenDpi));
    TabelleEinrichten(grid, kTabellenSpalten);
    // 37 blanks of the dialog's font, but never narrower than the numbers.
    const int spalte = std::max(37 * fontMetrics().horizontalAdvance(QLatin1Char(' ')),
                                grid->fontMetrics().horizontalAdvance(QStringLiteral("-0,000E-100 ")));
    for (int c = 0; c < kTabellenSpalten; ++c) grid->setColumnWidth(c, spalte);
    grid->setMinimumWidth(kTabellenSpalten * spalte + grid->verticalScrollBar()->sizeHint().width() + 2 * grid->frameWidth());
    TabelleFuellen(grid, TabellenKopf(), {});
    resize(sizeHint().expandedTo(QSize(602, 478)));

    connect(ui_->edit1, &TermEdit::fieldLeft, this, &TForm12::Edit1Exit);
    const std::pair<TermEdit*, double*> zahlen[] = {
        {ui_->Edit2, &eingabe_.von}, {ui_->Edit3, &eingabe_.bis}, {ui_->Edit4, &eingabe_.schritt}};
    for (const auto& [edit, wert] : zahlen)
        connect(edit, &TermEdit::fieldLeft, this, [edit, wert] { ReadNumberEdit(edit, *wert, *wert); });
    connect(ui_->Edit5, &TermEdit::fieldLeft, this, [this] {
        if (ReadNumberEdit(ui_->Edit5, eingabe_.t, eingabe_.t)) gTerms.ParameterWerte[0] = eingabe_.t;
    });
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &TForm12::BitBtn1Click);
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->BitBtn3, &QPushButton::clicked, this, &TForm12::BitBtn3Click);
    connect(ui_->BitBtn4, &QPushButton::clicked, this, &TForm12::BitBtn4Click);
    connect(ui_->BitBtn5, &QPushButton::clicked, this, &TForm12::BitBtn5Click);
}

TForm12::~TForm12() = default;

void TForm12::LoadControls() {
    ui_->edit1->setText(QText(gTerms.TermF.str()));
    ReadFunktionstermEdit(ui_->edit1);
    eingabe_.von = gView.BereichX1;
    eingabe_.bis = gView.BereichX2;
    eingabe_.schritt = 1;
    eingabe_.t = gTerms.ParameterWerte[0];
    FelderSchreiben();
    Berechnen();
}

void TForm12::FelderSchreiben() {
    ui_->Edit2->setText(ZahlFeldText(eingabe_.von));
    ui_->Edit3->setText(ZahlFeldText(eingabe_.bis));
    ui_->Edit4->setText(ZahlFeldText(eingabe_.schritt));
    ui_->Edit5->setText(ZahlFeldText(eingabe_.t));
}

void TForm12::Edit1Exit() { ReadFunktionstermEdit(ui_->edit1); }

void TForm12::Berechnen() {
    {
        // The field's term, whatever another window compiled meanwhile; a
        // refused term has already been reported when the field was left.
        QuietParsing quiet;
        if (!ParseTerm(FunktionTermbaum, TermFieldText(FieldTerm(ui_->edit1)), true))
            ResetTermbaum(FunktionTermbaum);
    }
    const Wertetabelle tabelle = WertetabelleBerechnen(eingabe_, gDisplay.Nachkommastellen);
    eingabe_ = tabelle.eingabe;
    FelderSchreiben();
    QList<QStringList> zeilen;
    for (const WertetabelleZeile& z : tabelle.zeilen) zeilen << Zellen(z);
    TabelleFuellen(ui_->StringGrid1, TabellenKopf(), zeilen);
    if (!tabelle.meldung.empty()) ShowMessage(tabelle.meldung, MessageKind::Warning);
    ui_->edit1->selectAll();
    ui_->edit1->setFocus(Qt::OtherFocusReason);
}

void TForm12::BitBtn1Click() {
    if (CommitFocusedField()) Berechnen();
}

void TForm12::BitBtn3Click() { LoadControls(); }

QString TForm12::ClipboardText() const {
    return TableClipboardText(QStringLiteral("Wertetabelle:  f(x) = ") + ui_->edit1->text(), TabellenZeilen(ui_->StringGrid1));
}

void TForm12::BitBtn5Click() {
    if (!CommitFocusedField()) return;
    Berechnen();
    CopyTextToClipboard(ClipboardText());
}

void TForm12::BitBtn4Click() {
    DruckerWaehlen(this, [this](PrintJob& printer) { Drucken(printer); });
}

void TForm12::Drucken(PrintJob& printer) {
    QPainter painter;
    if (!painter.begin(printer.Device())) return;
    const PrinterCaps caps = QueryPrinterCaps(printer);
    SetTenthMillimetreMapping(painter, caps);
    const QList<QStringList> zeilen = TabellenZeilen(ui_->StringGrid1);
    const int seite = std::max(PageHeightTenthMm(caps), kOben + 3 * kZeile);
    const QFont gitterSchrift = ui_->StringGrid1->font();
    {
        QPainterCanvas canvas(painter, kGroesseInEinheiten);
        canvas.SetFont(DruckSchrift(gitterSchrift, kTitelHoehe));
        canvas.SetBrush(0xFFFFFF, BrushStyle::Clear);
        canvas.SetPen(0, 1, PenStyle::Solid);
        canvas.TextOut(280, 200, ("Wertetabelle:  f(x) = " + ui_->edit1->text()).toStdString());
        canvas.SetFont(DruckSchrift(gitterSchrift, kTabellenHoehe));
        auto zeile = [&](const QStringList& zellen, int i) {
            const int y = kOben + kZeile * i;
            canvas.MoveTo(kLinks, y);
            canvas.LineTo(kLinks + kSpalte * kTabellenSpalten, y);
            canvas.MoveTo(kLinks, y + kZeile);
            canvas.LineTo(kLinks + kSpalte * kTabellenSpalten, y + kZeile);
            for (int j = 0; j <= kTabellenSpalten; ++j) {
                canvas.MoveTo(kLinks + kSpalte * j, y);
                canvas.LineTo(kLinks + kSpalte * j, y + kZeile);
            }
            for (int j = 0; j < kTabellenSpalten && j < zellen.size(); ++j)
                canvas.TextOut(280 + kSpalte * j, y + 8, zellen[j].toStdString());
        };
        // A table longer than the page goes on on the next one, from the
        // height where the first page's table began, under its header row.
        int i = 0;
        for (qsizetype r = 0; r < zeilen.size(); ++r) {
            if (i > 1 && kOben + kZeile * (i + 1) > seite) {
                canvas.Flush();
                printer.NewPage();
                zeile(zeilen.front(), 0);
                i = 1;
            }
            zeile(zeilen[r], i);
            ++i;
        }
    }
    painter.end();
}

void TForm12::done(int result) {
    KalvoDialog::done(result);
    Host().RedrawMainGraph(true);
}

}  // namespace kalvo
