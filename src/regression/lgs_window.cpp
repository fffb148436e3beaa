#include "lgs_window.h"

#include <QSignalBlocker>

#include <algorithm>

#include "graph_host.h"
#include "mgrid.h"
#include "number_cells.h"
#include "number_text.h"
#include "program_state.h"
#include "regression_icons.h"
#include "term.h"
#include "ui_lgs_window.h"

namespace kalvo {

namespace {

constexpr Color kRechteSeite = 0x66FFFF;
constexpr int kSpaltenbreite = 80;
constexpr int kZeilenhoehe = 18;


QString Text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

TForm23::TForm23(QWidget* parent) : KalvoDialog(parent), ui_(std::make_unique<Ui::TForm23>()) {
    ui_->setupUi(this);
    ui_->SpeedButton1->setIcon(MakeToolIcon(ToolIcon::Loeschen));
    ui_->SpeedButton5->setIcon(MakeToolIcon(ToolIcon::Wiederherstellen));
    ui_->SpeedButton3->setIcon(MakeToolIcon(ToolIcon::Kopieren));
    for (TMgrid* grid : {ui_->StringGrid1, ui_->StringGrid2}) {
        grid->SetFixedRows(1);
        grid->SetFixedCols(0);
        grid->SetOddRowColor(kRechteSeite);
        grid->SetEvenRowColor(0xFFFFFF);
        grid->horizontalHeader()->setDefaultSectionSize(kSpaltenbreite);
        grid->verticalHeader()->setDefaultSectionSize(kZeilenhoehe);
        grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    ui_->StringGrid1->setEditTriggers(QAbstractItemView::AllEditTriggers);
    // Read-only, but legible: a disabled grid would grey its numbers out.
    ui_->StringGrid2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui_->StringGrid2->setFocusPolicy(Qt::NoFocus);
    ui_->StringGrid2->setSelectionMode(QAbstractItemView::NoSelection);
    ui_->BitCheckBox1->SetChecked(LgsBruchdarstellung);
    // The verdict line keeps two lines of room whether it is empty or not, so
    // that a solve does not move the buttons under the mouse; its width
    // follows the grids, never the text.
    ui_->Label1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    ui_->Label1->setFixedHeight(2 * ui_->Label1->fontMetrics().lineSpacing() + 2 * ui_->Label1->margin() +
                                2 * ui_->Label1->frameWidth());
    connect(ui_->StringGrid1, &QTableWidget::itemChanged, this, &TForm23::StringGrid1CellChanged);
    // Enter leaves a cell with a valid entry for the next: one column right,
    // from b to the next row.
    SetNumberGrid(ui_->StringGrid1, 1, [](const QString& text) { return CellTextAccepted(text.toStdString()); },
                  [this](int& row, int& col) {
                      if (col + 1 < LgsSpalten) {
                          ++col;
                      } else {
                          col = 0;
                          row = row < LgsZeilen ? row + 1 : 1;
                      }
                  });
    SetArrowButtonsOnly({ui_->SpinEdit1, ui_->SpinEdit2, ui_->SpinEdit3});

    connect(ui_->SpinEdit1, &QSpinBox::valueChanged, this, [this](int m) { SetGroesse(m, LgsSpalten); });
    connect(ui_->SpinEdit3, &QSpinBox::valueChanged, this, [this](int n) { SetGroesse(LgsZeilen, n); });
    connect(ui_->SpinEdit2, &QSpinBox::valueChanged, this, &TForm23::SetNachkommastellen);
    connect(ui_->BitCheckBox1, &TBitCheckBox::OnClick, this,
            [this] { SetBruchdarstellung(ui_->BitCheckBox1->Checked()); });
    connect(ui_->SpeedButton1, &QToolButton::clicked, this, &TForm23::SpeedButton1Click);
    connect(ui_->SpeedButton2, &QPushButton::clicked, this, &TForm23::SpeedButton2Click);
    connect(ui_->SpeedButton3, &QToolButton::clicked, this, &TForm23::SpeedButton3Click);
    connect(ui_->SpeedButton5, &QToolButton::clicked, this, &TForm23::SpeedButton5Click);
    connect(ui_->BitBtn4, &QPushButton::clicked, this, &TForm23::reject);
    InitGrid();
    CaretToStart();
}

TForm23::~TForm23() = default;

TMgrid* TForm23::Eingabe() const { return ui_->StringGrid1; }
TMgrid* TForm23::Ergebnis() const { return ui_->StringGrid2; }
QString TForm23::Urteil() const { return urteil_; }

// The whole verdict when it fits its two lines, else as much as one line
// holds; the tool tip always has all of it.
void TForm23::ZeigeUrteil(const QString& text) {
    urteil_ = text;
    QLabel* label = ui_->Label1;
    label->setToolTip(text);
    const QRect platz = label->contentsRect();
    const QFontMetrics fm = label->fontMetrics();
    const bool passt = platz.width() <= 0 ||
                       fm.boundingRect(QRect(0, 0, platz.width(), 1 << 20), Qt::TextWordWrap, text).height() <= platz.height();
    label->setWordWrap(passt);
    label->setText(passt ? text : fm.elidedText(text, Qt::ElideRight, platz.width()));
}
bool TForm23::KopierenMoeglich() const { return ui_->SpeedButton3->isEnabled(); }

void TForm23::InitGrid() {
    const int m = LgsZeilen, n = LgsSpalten;
    for (TMgrid* grid : {ui_->StringGrid1, ui_->StringGrid2}) {
        const QSignalBlocker block(grid);
        grid->setRowCount(m + 1);
        grid->setColumnCount(n);
        for (int r = 0; r <= m; ++r)
            for (int c = 0; c < n; ++c)
                if (!grid->item(r, c)) grid->setItem(r, c, new QTableWidgetItem);
        for (int c = 1; c < n; ++c) grid->SetCells(c - 1, 0, QStringLiteral("X") + Text(IntToText(c)));
        grid->SetCells(n - 1, 0, grid == ui_->StringGrid1 ? QStringLiteral("b") : QStringLiteral("b*"));
        grid->setFixedSize(kSpaltenbreite * n + 2 * grid->frameWidth(), (kZeilenhoehe + 1) * (m + 1) + 1);
    }
    ui_->SpinEdit1->setToolTip(Text(IntToText(m)) + QStringLiteral(" Gleichungen => Anzahl der Zeilen"));
    ui_->SpinEdit3->setToolTip(Text(IntToText(n - 1)) + QStringLiteral(" Variablen => ") + Text(IntToText(n)) +
                               QStringLiteral(" Spalten"));
    ui_->StringGrid2->setCurrentCell(0, 0);
    ui_->SpeedButton3->setEnabled(false);
    adjustSize();
    ZeigeUrteil(urteil_);
}

void TForm23::SetGroesse(int zeilen, int spalten) {
    LgsZeilen = std::clamp(zeilen, 2, kLgsMaxZeilen);
    LgsSpalten = std::clamp(spalten, 3, kLgsMaxSpalten);
    const QSignalBlocker b1(ui_->SpinEdit1), b3(ui_->SpinEdit3);
    ui_->SpinEdit1->setValue(LgsZeilen);
    ui_->SpinEdit3->setValue(LgsSpalten);
    InitGrid();
}

void TForm23::SetBruchdarstellung(bool on) {
    LgsBruchdarstellung = on;
    ui_->BitCheckBox1->SetChecked(on);
    SpeedButton2Click();
}

void TForm23::SetNachkommastellen(int n) {
    LgsNachkommastellen = std::clamp(n, 0, 5);
    const QSignalBlocker block(ui_->SpinEdit2);
    ui_->SpinEdit2->setValue(LgsNachkommastellen);
}

// What an input cell shows once left.
QString TForm23::CellText(double v) const { return Text(LgsBruchdarstellung ? FormatBruch(v) : GeneralNumberText(v)); }

void TForm23::StringGrid1CellChanged(QTableWidgetItem* item) {
    if (normalizing_ || !item || item->row() == 0) return;
    normalizing_ = true;
    const std::string typed = item->text().toStdString();
    double v = 0;
    QString shown;
    if (!RemoveBlanks(typed).empty() && CellTermValue(typed, v)) shown = CellText(v);
    if (shown != item->text()) item->setText(shown);
    normalizing_ = false;
}

void TForm23::CaretToStart() {
    ui_->StringGrid1->setCurrentCell(1, 0);
    ui_->StringGrid1->setFocus();
}

void TForm23::SpeedButton2Click() {
    const int m = LgsZeilen, n = LgsSpalten;
    TMgrid* in = ui_->StringGrid1;
    LgsEingabematrix = {};
    {
        const QSignalBlocker block(in);
        QuietParsing quiet;
        for (int r = 1; r <= m; ++r)
            for (int c = 1; c <= n; ++c) {
                const std::string text = in->Cells(c - 1, r).toStdString();
                double v = 0;
                if (!CellTermValue(text, v)) v = 0;
                if (RemoveBlanks(text).empty()) in->SetCells(c - 1, r, QStringLiteral("0"));
                LgsEingabematrix[static_cast<size_t>(r)][static_cast<size_t>(c)] = v;
            }
    }
    LgsHistorieSpeichern(LgsEingabematrix);
    const LgsErgebnis ergebnis = LgsLoesen(LgsEingabematrix, m, n, LgsBruchdarstellung, LgsNachkommastellen);
    LgsArbeitsmatrix = ergebnis.werte;
    LgsLoesungsmatrix = ergebnis.werte;
    for (int r = 1; r <= m; ++r)
        for (int c = 1; c <= n; ++c)
            ui_->StringGrid2->SetCells(c - 1, r, Text(ergebnis.texte[static_cast<size_t>(r)][static_cast<size_t>(c)]));
    LgsKeineLoesung = ergebnis.urteil == LgsUrteil::KeineLoesung;
    ZeigeUrteil(Text(ergebnis.urteilText));
    ui_->SpeedButton3->setEnabled(ergebnis.urteil == LgsUrteil::Eindeutig && m < 5);
}

// The solution goes in with its full value, not rounded as shown.
void TForm23::SpeedButton3Click() {
    double* konstanten[] = {&gTerms.KonstanteA, &gTerms.KonstanteB, &gTerms.KonstanteC, &gTerms.KonstanteD};
    for (int r = 1; r <= std::min(LgsZeilen, 4); ++r)
        *konstanten[r - 1] = LgsLoesungsmatrix[static_cast<size_t>(r)][static_cast<size_t>(LgsSpalten)];
}

void TForm23::SpeedButton5Click() {
    LgsMatrix gespeichert{};
    if (!LgsHistorieNaechste(gespeichert)) return;
    {
        const QSignalBlocker block(ui_->StringGrid1);
        for (int r = 1; r <= LgsZeilen; ++r)
            for (int c = 1; c <= LgsSpalten; ++c) {
                ui_->StringGrid1->SetCells(c - 1, r, CellText(gespeichert[static_cast<size_t>(r)][static_cast<size_t>(c)]));
                ui_->StringGrid2->SetCells(c - 1, r, QString());
            }
    }
    ZeigeUrteil(QString());
    CaretToStart();
    ui_->SpeedButton3->setEnabled(false);
}

void TForm23::SpeedButton1Click() {
    {
        const QSignalBlocker block(ui_->StringGrid1);
        for (int r = 1; r <= LgsZeilen; ++r)
            for (int c = 0; c < LgsSpalten; ++c) {
                ui_->StringGrid1->SetCells(c, r, QString());
                ui_->StringGrid2->SetCells(c, r, QString());
            }
    }
    ZeigeUrteil(QString());
    CaretToStart();
    ui_->SpeedButton3->setEnabled(false);
}

void TForm23::done(int result) {
    KalvoDialog::done(result);
    Host().RedrawMainGraph(true);
}

}  // namespace kalvo
