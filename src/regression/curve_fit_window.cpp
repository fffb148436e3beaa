#include "curve_fit_window.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>

#include "graph_export.h"
#include "graph_host.h"
#include "measured_data.h"
#include "message_sink.h"
#include "number_cells.h"
#include "printing.h"
#include "regression_icons.h"
#include "report_output.h"
#include "sine_start_dialog.h"
#include "ui_curve_fit_window.h"

namespace kalvo {

namespace {

// Radio buttons and their models, top to bottom.
struct RadioModell {
    QRadioButton* Ui::TForm22::*radio;
    int modell;
};
constexpr RadioModell kRadios[] = {
    {&Ui::TForm22::RadioButton9, 9},  {&Ui::TForm22::RadioButton1, 0},  {&Ui::TForm22::RadioButton8, 8},
    {&Ui::TForm22::RadioButton5, 2},  {&Ui::TForm22::RadioButton3, 3},  {&Ui::TForm22::RadioButton4, 7},
    {&Ui::TForm22::RadioButton2, 4},  {&Ui::TForm22::RadioButton6, 5},  {&Ui::TForm22::RadioButton7, 10},
    {&Ui::TForm22::RadioButton10, 11},
};

QString Filter(const std::vector<std::string>& entries) {
    QStringList parts;
    for (const std::string& e : entries) parts << QString::fromStdString(e);
    return parts.join(QStringLiteral(";;"));
}


}  // namespace

TForm22::TForm22(QWidget* parent) : KalvoDialog(parent), ui_(std::make_unique<Ui::TForm22>()) {
    ui_->setupUi(this);
    ui_->Panel2->hide();
    ui_->SpeedButton17->setIcon(MakeToolIcon(ToolIcon::Oeffnen));
    ui_->SpeedButton16->setIcon(MakeToolIcon(ToolIcon::Speichern));
    ui_->SpeedButton1->setIcon(MakeToolIcon(ToolIcon::Loeschen));
    ui_->SpeedButton3->setIcon(MakeToolIcon(ToolIcon::Startwerte));
    // The fitted term can be far longer than the space under the table; it
    // must not widen the window. The label shows what fits, the tool tip all.
    ui_->Label5->setSizePolicy(QSizePolicy::Ignored, ui_->Label5->sizePolicy().verticalPolicy());
    ui_->Label5->installEventFilter(this);
    QFont memoFont(QStringLiteral("Courier New"));
    memoFont.setBold(true);
    memoFont.setPointSize(9);
    ui_->Memo1->setFont(memoFont);

    QTableWidget* grid = ui_->StringGrid1;
    // Enter leaves a cell with a valid entry for the next: x to y, y to the
    // x of the next row.
    SetNumberGrid(grid, 0, [](const QString& text) { return CellTextAccepted(text.toStdString()); },
                  [](int& row, int& col) {
                      if (col == 0) {
                          col = 1;
                      } else {
                          col = 0;
                          row = (row + 1) % kWertepaarZeilen;
                      }
                  });
    SetArrowButtonsOnly({ui_->SpinEdit1, ui_->SpinEdit2, ui_->SpinEdit3, ui_->SpinEdit4});
    grid->setRowCount(kWertepaarZeilen);
    grid->setColumnCount(2);
    grid->setHorizontalHeaderLabels({QStringLiteral("         x"), QStringLiteral("         y")});
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setDefaultSectionSize(18);
    grid->setColumnWidth(0, 132);
    grid->setColumnWidth(1, 132);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setTextElideMode(Qt::ElideNone);
    grid->setWordWrap(false);
    grid->setEditTriggers(QAbstractItemView::AllEditTriggers);
    for (int r = 0; r < kWertepaarZeilen; ++r)
        for (int c = 0; c < 2; ++c) grid->setItem(r, c, new QTableWidgetItem);
    grid->setMinimumWidth(2 * 132 + grid->frameWidth() * 2 + grid->verticalScrollBar()->sizeHint().width() + 2);
    connect(grid, &QTableWidget::itemChanged, this, &TForm22::StringGrid1CellChanged);

    for (const RadioModell& r : kRadios) connect(ui_.get()->*r.radio, &QRadioButton::clicked, this, &TForm22::BitBtn2Click);
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &TForm22::BitBtn2Click);
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &TForm22::BitBtn1Click);
    connect(ui_->BitBtn3, &QPushButton::clicked, this, &TForm22::BitBtn3Click);
    connect(ui_->BitBtn4, &QPushButton::clicked, this, &TForm22::BitBtn4Click);
    connect(ui_->BitBtn5, &QPushButton::clicked, this, &TForm22::BitBtn5Click);
    connect(ui_->SpeedButton1, &QToolButton::clicked, this, &TForm22::SpeedButton1Click);
    connect(ui_->SpeedButton2, &QPushButton::clicked, this, &TForm22::SpeedButton2Click);
    connect(ui_->SpeedButton3, &QToolButton::clicked, this, &TForm22::SpeedButton3Click);
    connect(ui_->SpeedButton16, &QToolButton::clicked, this, &TForm22::SpeedButton16Click);
    connect(ui_->SpeedButton17, &QToolButton::clicked, this, &TForm22::SpeedButton17Click);
    connect(ui_->SpeedButton27, &QPushButton::clicked, this, &TForm22::SpeedButton27Click);

    auto flag = [this](TBitCheckBox* box, bool RegressionState::*member) {
        connect(box, &TBitCheckBox::OnClick, this, [this, box, member] {
            gRegression.*member = box->Checked();
            BitBtn2Click();
        });
    };
    flag(ui_->BitCheckBox1, &RegressionState::RegressionsgraphZeichnen);
    flag(ui_->BitCheckBox3, &RegressionState::AbweichungenZeichnen);
    flag(ui_->BitCheckBox2, &RegressionState::WertepaareZeichnen);
    auto spin = [this](QSpinBox* box, int RegressionState::*member) {
        connect(box, &QSpinBox::valueChanged, this, [member](int v) { gRegression.*member = v; });
    };
    spin(ui_->SpinEdit1, &RegressionState::PolynomGrad);
    spin(ui_->SpinEdit4, &RegressionState::ZaehlerGrad);
    spin(ui_->SpinEdit3, &RegressionState::NennerGrad);
    spin(ui_->SpinEdit2, &RegressionState::RegressionNachkommastellen);
    connect(ui_->LineStyleComboBox1, &TLineStyleComboBox::OnClick, this,
            [this] { gRegression.WertepaarSymbol = ui_->LineStyleComboBox1->LineStyle() & 127; });
    connect(ui_->ColorButton1, &TColorButton::OnChange, this,
            [this] { gRegression.MesspunktFarbe = ui_->ColorButton1->SelectionColor(); });

    ChoosePrinter = [this](PrintJob& printer) { return printer.ExecDialog(this); };
    FormCreate();
}

TForm22::~TForm22() = default;

void TForm22::FormCreate() {
    Messwerttabelle t;
    const int n = std::min(RegrAnzahl, kWertepaarZeilen);
    if (Covers(RegrX, n) && Covers(RegrY, n)) {
        for (int r = 1; r <= n; ++r) {
            t.x[static_cast<size_t>(r)] = GeneralNumberText(RegrX[static_cast<size_t>(r)]);
            t.y[static_cast<size_t>(r)] = GeneralNumberText(RegrY[static_cast<size_t>(r)]);
        }
    }
    TableToGrid(t);
    ui_->StringGrid1->setCurrentCell(0, 0);
}

void TForm22::LoadControls() {
    const RegressionState& r = gRegression;
    ui_->LineStyleComboBox1->SetLineStyle(r.WertepaarSymbol);
    ui_->BitCheckBox2->SetChecked(r.WertepaareZeichnen);
    ui_->BitCheckBox3->SetChecked(r.AbweichungenZeichnen);
    ui_->BitCheckBox1->SetChecked(r.RegressionsgraphZeichnen);
    // The values are the shared ones already; their change handlers would only store them back.
    const QSignalBlocker b1(ui_->SpinEdit1), b2(ui_->SpinEdit2), b3(ui_->SpinEdit3), b4(ui_->SpinEdit4);
    ui_->SpinEdit1->setValue(r.PolynomGrad);
    ui_->SpinEdit4->setValue(r.ZaehlerGrad);
    ui_->SpinEdit3->setValue(r.NennerGrad);
    ui_->SpinEdit2->setValue(r.RegressionNachkommastellen);
    CheckRadioOfModell(r.RegressionModell);
    const QSignalBlocker b5(ui_->ColorButton1);
    ui_->ColorButton1->SetSelectionColor(r.MesspunktFarbe);
}

QRadioButton* TForm22::RadioOfModell(int modell) const {
    for (const RadioModell& r : kRadios)
        if (r.modell == modell) return ui_.get()->*r.radio;
    return nullptr;
}

void TForm22::CheckRadioOfModell(int modell) {
    if (QRadioButton* radio = RadioOfModell(modell)) radio->setChecked(true);
}

int TForm22::CheckedModell() const {
    for (const RadioModell& r : kRadios)
        if ((ui_.get()->*r.radio)->isChecked()) return r.modell;
    return 0;
}

QString TForm22::Cell(int row, int col) const {
    const QTableWidgetItem* item = ui_->StringGrid1->item(row - 1, col);
    return item ? item->text() : QString();
}

void TForm22::SetCell(int row, int col, const QString& text) {
    if (QTableWidgetItem* item = ui_->StringGrid1->item(row - 1, col)) item->setText(text);
}

QStringList TForm22::ProtokollZeilen() const { return ui_->Memo1->toPlainText().split(QLatin1Char('\n')); }

bool TForm22::ProtokollSichtbar() const { return ui_->Panel2->isVisible(); }

Messwerttabelle TForm22::TableFromGrid() const {
    Messwerttabelle t;
    for (int r = 1; r <= kWertepaarZeilen; ++r) {
        t.x[static_cast<size_t>(r)] = Cell(r, 0).toStdString();
        t.y[static_cast<size_t>(r)] = Cell(r, 1).toStdString();
    }
    return t;
}

void TForm22::TableToGrid(const Messwerttabelle& t) {
    const QSignalBlocker block(ui_->StringGrid1);
    for (int r = 1; r <= kWertepaarZeilen; ++r) {
        const QString x = QString::fromStdString(t.x[static_cast<size_t>(r)]);
        const QString y = QString::fromStdString(t.y[static_cast<size_t>(r)]);
        if (Cell(r, 0) != x) SetCell(r, 0, x);
        if (Cell(r, 1) != y) SetCell(r, 1, y);
    }
    ui_->StringGrid1->viewport()->update();
}

void TForm22::ClearTable() {
    TableToGrid(Messwerttabelle{});
    for (int r = 1; r <= kWertepaarZeilen; ++r) {
        gRegression.MesswertTexteX[static_cast<size_t>(r)].clear();
        gRegression.MesswertTexteY[static_cast<size_t>(r)].clear();
    }
    RegrAnzahl = 0;
}

// A cell that was left holds the value of what was typed, or nothing.
void TForm22::StringGrid1CellChanged(QTableWidgetItem* item) {
    if (normalizing_ || !item) return;
    normalizing_ = true;
    const std::string typed = item->text().toStdString();
    double v = 0;
    std::string shown;
    if (!RemoveBlanks(typed).empty() && CellTermValue(typed, v)) shown = GeneralNumberText(v);
    if (shown != typed) item->setText(QString::fromStdString(shown));
    const size_t row = static_cast<size_t>(item->row()) + 1;
    (item->column() == 0 ? gRegression.MesswertTexteX : gRegression.MesswertTexteY)[row] = shown;
    normalizing_ = false;
}

bool TForm22::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->Label5 && event->type() == QEvent::Resize) ZeigeFunktionstext();
    return KalvoDialog::eventFilter(watched, event);
}

void TForm22::Tabellepruefen(bool& fehler) {
    CheckRadioOfModell(gRegression.RegressionModell);
    Messwerttabelle t = TableFromGrid();
    kalvo::Tabellepruefen(t, fehler);
    TableToGrid(t);
    if (RegrAnzahl > 0) ui_->SpeedButton3->setEnabled(gRegression.RegressionModell == kModellSinus && RegrAnzahl > 4);
}

bool TForm22::calculate_fit(bool mitProtokoll) {
    const FitErgebnis result = kalvo::calculate_fit(mitProtokoll);
    ShowFitResult(result, mitProtokoll);
    return result.ok;
}

QString TForm22::Funktionstext() const { return funktionstext_; }

void TForm22::ZeigeFunktionstext() {
    QLabel* label = ui_->Label5;
    const int breite = label->contentsRect().width();
    label->setText(label->isVisible() && breite > 0 ? label->fontMetrics().elidedText(funktionstext_, Qt::ElideRight, breite) : funktionstext_);
    label->setToolTip(funktionstext_);
}

void TForm22::ShowFitResult(const FitErgebnis& result, bool mitProtokoll) {
    if (!result.ok) return;
    funktionstext_ = QString::fromStdString(result.Funktionstext);
    ZeigeFunktionstext();
    ui_->Label1->setText(QString::fromStdString(result.Korrelationstext));
    if (mitProtokoll) {
        QStringList lines;
        for (const std::string& l : result.Protokoll) lines << QString::fromStdString(l);
        ui_->Memo1->setPlainText(lines.join(QLatin1Char('\n')));
    }
}

void TForm22::Neuberechnen() {
    gRegression.RegressionModell = static_cast<uint8_t>(CheckedModell());
    bool fehler = false;
    Tabellepruefen(fehler);
    if (!fehler && RegrAnzahl >= 2) calculate_fit(false);
}

void TForm22::BitBtn2Click() { Neuberechnen(); }

void TForm22::BitBtn1Click() {
    Neuberechnen();
    gRegression.RegressionPunktzahl = RegrAnzahl;
    accept();
}

// What Esc and "Beenden" leave: no value pairs on the graph, an empty table.
static void RegressionsanzeigeAus() {
    gRegression.WertepaareZeichnen = false;
    gRegression.RegressionPunktzahl = 0;
    gRegression.RegressionsgraphZeichnen = true;
}

void TForm22::reject() {
    if (!closingByBox_) {
        RegressionsanzeigeAus();
        ClearTable();
    }
    KalvoDialog::reject();
}

void TForm22::BitBtn3Click() {
    SinusFit.SinusAutomatisch = true;
    reject();
}

void TForm22::closeEvent(QCloseEvent* event) {
    closingByBox_ = true;
    KalvoDialog::closeEvent(event);
    closingByBox_ = false;
}

void TForm22::done(int result) {
    KalvoDialog::done(result);
    Host().RedrawMainGraph(true);
}

void TForm22::BitBtn4Click() {
    bool fehler = false;
    Tabellepruefen(fehler);
    if (fehler || RegrAnzahl < 2 || !calculate_fit(true)) return;
    ui_->Panel1->hide();
    ui_->Panel2->show();
}

void TForm22::SpeedButton2Click() {
    ui_->Panel2->hide();
    ui_->Panel1->show();
}

void TForm22::BitBtn5Click() {
    const std::shared_ptr<PrintJob> printer = NewPrintJob();
    if (!printer || !ChoosePrinter || !ChoosePrinter(*printer) || printer->Busy()) return;
    PrintProtokoll(*printer, ProtokollZeilen());
}

void TForm22::SpeedButton1Click() {
    ClearTable();
    ui_->SpeedButton3->setEnabled(false);
}

void TForm22::SpeedButton3Click() {
    auto* dialog = new TForm50(this);
    dialog->exec();
}

void TForm22::SpeedButton17Click() {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Wertetabelle holen"), QDir::currentPath(),
                                                      Filter(LadeFilter()));
    if (!path.isEmpty()) LoadFile(path);
}

// A file that cannot be read or holds no valid pair leaves the table, and
// the pairs it stands for, as they were.
void TForm22::LoadFile(const QString& path) {
    std::string fehler;
    const Messdaten d = LoadMessdatei(path.toStdString(), fehler);
    if (!fehler.empty()) {
        ShowMessage(fehler, MessageKind::Error);
        return;
    }
    if (d.N == 0) {
        ShowMessage(NichtsGeladenMeldung(d, QFileInfo(path).fileName().toStdString()), MessageKind::Error);
        return;
    }
    const std::string hinweis = LadeHinweis(d);
    if (!hinweis.empty()) ShowMessage(hinweis, MessageKind::Warning);
    Messwerttabelle t;
    for (int r = 1; r <= std::min(d.N, kWertepaarZeilen); ++r) {
        t.x[static_cast<size_t>(r)] = GeneralNumberText(d.X[static_cast<size_t>(r)]);
        t.y[static_cast<size_t>(r)] = GeneralNumberText(d.Y[static_cast<size_t>(r)]);
    }
    TableToGrid(t);
    bool check = false;
    Tabellepruefen(check);
    if (!check && RegrAnzahl >= 2) calculate_fit(false);
}

void TForm22::SpeedButton16Click() {
    bool fehler = false;
    Tabellepruefen(fehler);
    if (fehler) return;
    QFileDialog dialog(this, QStringLiteral("Wertetabelle speichern"), QDir::currentPath(), Filter(SpeicherFilter()));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const int index = static_cast<int>(dialog.nameFilters().indexOf(dialog.selectedNameFilter())) + 1;
    SaveFile(dialog.selectedFiles().front(), index);
}

void TForm22::SaveFile(const QString& chosenPath, int filterIndex) {
    bool fehler = false;
    Tabellepruefen(fehler);
    if (fehler || RegrAnzahl == 0) return;
    const auto format = static_cast<Speicherformat>(std::clamp(filterIndex, 1, 5));
    const std::string name = SpeicherDateiname(chosenPath.toStdString(), format);
    if (name.empty()) {
        ShowMessage("Der Dateiname " + chosenPath.toStdString() + " taugt nicht für eine Wertetabelle.",
                    MessageKind::Error);
        return;
    }
    const QString folder = QFileInfo(chosenPath).absolutePath();
    QDir::setCurrent(folder);
    std::vector<std::pair<std::string, std::string>> pairs;
    for (int r = 1; r <= RegrAnzahl; ++r) pairs.emplace_back(Cell(r, 0).toStdString(), Cell(r, 1).toStdString());
    const WriteResult written =
        WriteFileAtomically(QDir(folder).filePath(QString::fromStdString(name)).toStdString(), MesswerteDateitext(pairs, format));
    if (!written.ok) ShowMessage(written.error, MessageKind::Error);
}

void TForm22::SpeedButton27Click() {
    bool fehler = false;
    Tabellepruefen(fehler);
    if (fehler || RegrAnzahl < 2) return;
    gRegression.RegressionPunktzahl = RegrAnzahl;
    // The picture must show the fit the report describes: fit first.
    if (!calculate_fit(true)) return;
    const std::string picture = ReportPicturePath();
    WriteResult recorded;
    bool cancelled = false;
    {
        CancellableWork work("Das Dokument wird erstellt \u2026");
        recorded = SaveGraphPicture(picture, MetafileFormat::Wmf);
        cancelled = work.Cancelled();
    }
    if (cancelled) {
        ShowMessage(kDokumentAbgebrochen);
        return;
    }
    if (!recorded.ok) {
        ShowMessage(recorded.error, MessageKind::Error);
        return;
    }
    const DocumentResult doc = WriteProtokollDocument(ProtokollZeilen(), picture, WordOpener);
    if (!doc.ok) ShowMessage(doc.error, MessageKind::Error);
}

}  // namespace kalvo
