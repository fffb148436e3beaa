#include "iteration_dialog.h"

#include <QButtonGroup>
#include <QCloseEvent>

#include "analysis_state.h"
#include "analysis_support.h"
#include "bit_check_box.h"
#include "color_button.h"
#include "edit_field.h"
#include "graph_host.h"
#include "iteration.h"
#include "number_text.h"
#include "program_state.h"
#include "ui_iteration_dialog.h"
#include "view.h"

namespace kalvo {

namespace {

// A count field: a text that is no whole number gives `keineZahl`; above
// `max` gives `max`, below 1 gives `unterEins`.
int Anzahl(TermEdit* edit, int keineZahl, int max, int unterEins) {
    int n = 0;
    if (!ReadIntegerEdit(edit, n)) n = keineZahl;
    if (n > max) n = max;
    if (n < 1) n = unterEins;
    edit->setText(QText(IntToText(n)));
    return n;
}

}  // namespace

TForm16::TForm16(QWidget* parent) : KalvoDialog(parent), ui_(std::make_unique<Ui::TForm16>()) {
    ui_->setupUi(this);
    for (TermEdit* e : {ui_->Edit2, ui_->Edit3, ui_->Edit4, ui_->Edit5, ui_->Edit6, ui_->Edit7, ui_->Edit8, ui_->Edit9})
        e->setKind(TermEdit::Kind::Number);
    for (TermEdit* e : {ui_->Edit4, ui_->Edit5, ui_->Edit6, ui_->Edit7}) e->setMaxLength(3);

    // One choice across both boxes, or none.
    anzeige_ = new QButtonGroup(this);
    anzeige_->addButton(ui_->RadioButton1);
    anzeige_->addButton(ui_->RadioButton2);
    anzeige_->addButton(ui_->RadioButton3);
    connect(anzeige_, &QButtonGroup::buttonClicked, this, &TForm16::RadioButtonClick);

    IterationState& it = gIteration;
    connect(ui_->Edit1, &TermEdit::fieldLeft, this, &TForm16::Edit1Exit);
    // These fields show one decimal more than the others.
    auto zahlFeld = [this](TermEdit* edit, double& wert) {
        connect(edit, &TermEdit::fieldLeft, this, [edit, &wert] {
            if (ReadNumberEdit(edit, wert, wert)) edit->setText(ZahlFeldText(wert, 1));
        });
    };
    zahlFeld(ui_->Edit2, it.IterationParameterA);
    zahlFeld(ui_->Edit3, gOverlay.Startwert);
    zahlFeld(ui_->Edit8, it.AttraktorAVon);
    zahlFeld(ui_->Edit9, it.AttraktorABis);
    connect(ui_->Edit4, &TermEdit::fieldLeft, this, &TForm16::Edit4Exit);
    connect(ui_->Edit5, &TermEdit::fieldLeft, this, &TForm16::Edit5Exit);
    connect(ui_->Edit6, &TermEdit::fieldLeft, this, &TForm16::Edit6Exit);
    connect(ui_->Edit7, &TermEdit::fieldLeft, this, &TForm16::Edit7Exit);
    connect(ui_->Edit8, &TermEdit::fieldLeft, this, [&it] { gView.BereichX1 = it.AttraktorAVon; });
    connect(ui_->Edit9, &TermEdit::fieldLeft, this, [&it] { gView.BereichX2 = it.AttraktorABis; });
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &TForm16::BitBtn1Click);
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &TForm16::BitBtn2Click);
}

TForm16::~TForm16() = default;

void TForm16::FormShow() {
    IterationState& it = gIteration;
    ui_->Edit1->setText(QText(gTerms.TermF.str()));
    ui_->RadioButton1->setChecked(it.IterPfadAnzeige);
    ui_->RadioButton2->setChecked(it.FolgeAnzeige);
    ui_->RadioButton3->setChecked(it.AttraktorAnzeige);
    ui_->CheckBox1->SetChecked(it.IterFett);
    ui_->CheckBox2->SetChecked(it.IterXnMarkieren);
    ui_->CheckBox3->SetChecked(it.IterAMarkieren);
    ui_->CheckBox4->SetChecked(it.IterPunkteVerbinden);
    ui_->ColorButton1->SetSelectionColor(it.IterFarbe);
    anzeigeBeimOeffnen_ = it.IterPfadAnzeige || it.FolgeAnzeige || it.AttraktorAnzeige;
    if (!anzeigeBeimOeffnen_) {
        SaveViewState();
        it.IterationParameterA = 3.1;
        gOverlay.Startwert = 0.2;
        it.IterationenN = 50;
        it.IterierteK = 1;
        it.VorIterationen = 50;
        it.NachIterationen = 50;
        it.AttraktorAVon = 0;
        it.AttraktorABis = 4;
        it.IterPfadXVon = 0;
        it.IterPfadXBis = 1.1;
        it.IterYVon = 0;
        it.IterYBis = 1.1;
        it.AttraktorYVon = 0;
        it.AttraktorYBis = 1.1;
        gTerms.TermF = "";
        ui_->Edit1->clear();
    }
    if (it.AttraktorAnzeige) {
        it.AttraktorAVon = gView.BereichX1;
        it.AttraktorABis = gView.BereichX2;
    }
    ZahlenSchreiben();
    AttraktorFelder();
    if (it.IterLogistisch) {
        setWindowTitle(QStringLiteral("Logistische Gleichung"));
        ui_->Label2->setText(QStringLiteral("mit f(x)=ax(1-x)"));
        ui_->Edit1->hide();
        ui_->Edit2->setFocus(Qt::OtherFocusReason);
    } else {
        setWindowTitle(QStringLiteral("Allgemeine Iteration"));
        ui_->Label2->setText(QStringLiteral("mit f(x)= "));
        ui_->Edit1->show();
        ui_->Edit1->selectAll();
        ui_->Edit1->setFocus(Qt::OtherFocusReason);
    }
}

void TForm16::ZahlenSchreiben() {
    const IterationState& it = gIteration;
    ui_->Edit2->setText(ZahlFeldText(it.IterationParameterA, 1));
    ui_->Edit3->setText(ZahlFeldText(gOverlay.Startwert, 1));
    ui_->Edit4->setText(QText(IntToText(it.IterationenN)));
    ui_->Edit5->setText(QText(IntToText(it.VorIterationen)));
    ui_->Edit6->setText(QText(IntToText(it.NachIterationen)));
    ui_->Edit7->setText(QText(IntToText(it.IterierteK)));
}

void TForm16::AttraktorFelder() {
    const bool attraktor = ui_->RadioButton3->isChecked();
    ui_->Edit8->setEnabled(attraktor);
    ui_->Edit9->setEnabled(attraktor);
    if (!attraktor) return;
    ui_->Edit8->setText(ZahlFeldText(gIteration.AttraktorAVon, 1));
    ui_->Edit9->setText(ZahlFeldText(gIteration.AttraktorABis, 1));
}

void TForm16::RadioButtonClick() { AttraktorFelder(); }

void TForm16::Edit1Exit() {
    if (ReadFunktionstermEdit(ui_->Edit1)) gTerms.TermF = FieldTerm(ui_->Edit1);
}

void TForm16::Edit4Exit() {
    IterationState& it = gIteration;
    it.IterationenN = Anzahl(ui_->Edit4, 500, 500, 50);
    gView.BereichX1 = 0;
    gView.BereichX2 = it.IterationenN;
}

void TForm16::Edit5Exit() { gIteration.VorIterationen = Anzahl(ui_->Edit5, 50, 200, 50); }

void TForm16::Edit6Exit() { gIteration.NachIterationen = Anzahl(ui_->Edit6, 50, 200, 50); }

void TForm16::Edit7Exit() { gIteration.IterierteK = Anzahl(ui_->Edit7, 20, kMaxIterierteK, 1); }

void TForm16::BitBtn1Click() {
    if (!CommitFocusedField()) return;
    IterationState& it = gIteration;
    ViewWindowState& v = gView;
    KoordinatensystemEinstellung& k = gDisplay.Koordinatensystem;
    const bool pfad = ui_->RadioButton1->isChecked();
    const bool folge = ui_->RadioButton2->isChecked();
    const bool attraktor = ui_->RadioButton3->isChecked();
    if (!pfad && !folge && !attraktor) {
        RestoreViewState();
        accept();
        return;
    }
    k.xSkalierung = 0;
    k.ySkalierung = 0;
    k.Beschriftung = 1;
    k.Art = 1;
    const std::string titel = "x(n+1) = f(x(n))  mit  f(x) = " +
                              (it.IterLogistisch ? std::string("ax(1-x)") : ui_->Edit1->text().toStdString()) +
                              "  ; Parameter a =" + FormatNumberCommaTight(4, it.IterationParameterA);
    auto yScaling = [this] {
        if (!anzeigeBeimOeffnen_) AutoScaleIteration();
    };
    if (pfad) {
        k.xAchsentext = "x(n)";
        k.yAchsentext = titel;
        it.IterPfadAktiv = true;
        yScaling();
        v.BereichX1 = it.IterPfadXVon;
        v.BereichX2 = it.IterPfadXBis;
        v.FgZeichenbereichVon = v.BereichX1;
        v.FgZeichenbereichBis = v.BereichX2;
        v.BereichY1 = it.IterYVon;
        v.BereichY2 = it.IterYBis;
    } else if (folge) {
        k.xAchsentext = "n";
        k.yAchsentext = titel;
        it.IterPfadAktiv = false;
        yScaling();
        v.BereichX1 = 0;
        v.BereichX2 = it.IterationenN;
        v.FgZeichenbereichVon = v.BereichX1;
        v.FgZeichenbereichBis = v.BereichX2;
        v.BereichY1 = it.IterYVon;
        v.BereichY2 = it.IterYBis;
    } else {
        k.xAchsentext = "a";
        k.yAchsentext = "Attraktor";
        it.IterPfadAktiv = false;
        yScaling();
        v.BereichX1 = it.AttraktorAVon;
        v.BereichX2 = it.AttraktorABis;
        v.BereichY1 = it.AttraktorYVon;
        v.BereichY2 = it.AttraktorYBis;
    }
    accept();
}

void TForm16::RadiosLeeren() {
    anzeige_->setExclusive(false);
    for (QAbstractButton* b : anzeige_->buttons()) b->setChecked(false);
    anzeige_->setExclusive(true);
}

void TForm16::BitBtn2Click() { reject(); }

void TForm16::reject() {
    RadiosLeeren();
    RestoreViewState();
    KalvoDialog::reject();
}

void TForm16::closeEvent(QCloseEvent* event) {
    if (isVisible()) done(QDialog::Rejected);
    event->accept();
}

void TForm16::done(int result) {
    IterationState& it = gIteration;
    it.IterPfadAnzeige = ui_->RadioButton1->isChecked();
    it.FolgeAnzeige = ui_->RadioButton2->isChecked();
    it.AttraktorAnzeige = ui_->RadioButton3->isChecked();
    it.IterFett = ui_->CheckBox1->Checked();
    it.IterXnMarkieren = ui_->CheckBox2->Checked();
    it.IterAMarkieren = ui_->CheckBox3->Checked();
    it.IterPunkteVerbinden = ui_->CheckBox4->Checked();
    it.IterFarbe = ui_->ColorButton1->SelectionColor();
    // Closed without a picture, also by the title bar: the view the first
    // opening saved (with the term f it emptied) comes back.
    if (!it.IterPfadAnzeige && !it.FolgeAnzeige && !it.AttraktorAnzeige) RestoreViewState();
    KalvoDialog::done(result);
    Host().RedrawMainGraph(true);
}

}  // namespace kalvo
