#include "sums_dialog.h"

#include <QCloseEvent>

#include "analysis_state.h"
#include "analysis_support.h"
#include "bit_check_box.h"
#include "color_button.h"
#include "draw_combo_box.h"
#include "edit_field.h"
#include "graph_host.h"
#include "integration.h"
#include "number_text.h"
#include "ui_sums_dialog.h"

namespace kalvo {

namespace {
// What the main window's "2n" and "n/2" keep it to.
constexpr int kMaxAnzahlRechtecke = 1024;
}  // namespace

TForm15::TForm15(QWidget* parent) : KalvoDialog(parent), ui_(std::make_unique<Ui::TForm15>()) {
    ui_->setupUi(this);
    for (TermEdit* e : {ui_->Edit2, ui_->Edit3, ui_->Edit4}) e->setKind(TermEdit::Kind::Number);
    ui_->Edit4->setMaxLength(5);
    connect(ui_->Edit2, &TermEdit::fieldLeft, this, [this] { ReadNumberEdit(ui_->Edit2, a_, a_); });
    connect(ui_->Edit3, &TermEdit::fieldLeft, this, [this] { ReadNumberEdit(ui_->Edit3, b_, b_); });
    connect(ui_->Edit4, &TermEdit::fieldLeft, this, &TForm15::Edit4Exit);
    connect(ui_->CheckBox1, &TBitCheckBox::OnClick, this, &TForm15::CheckBox1Click);
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &TForm15::BitBtn1Click);
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &TForm15::reject);
    connect(ui_->BitBtn3, &QPushButton::clicked, this, &TForm15::BitBtn3Click);
}

TForm15::~TForm15() = default;

QRadioButton* TForm15::Radio(int art) const {
    switch (art) {
        case kObersumme: return ui_->RadioButton1;
        case kUntersumme: return ui_->RadioButton2;
        case kOberUndUntersumme: return ui_->RadioButton3;
        case kFehlerintervall: return ui_->RadioButton4;
        case kZwischenwertsumme: return ui_->RadioButton5;
        default: return nullptr;
    }
}

void TForm15::LoadControls() {
    const OverlayState& o = gOverlay;
    ui_->CheckBox1->SetChecked(o.SummenZeichnen);
    if (QRadioButton* r = Radio(o.SummenAnzeigeart)) r->setChecked(true);
    ui_->FillStyleComboBox1->SetFillStyle(o.FuellmusterSummen);
    ui_->ColorButton1->SetSelectionColor(o.FarbeObersumme);
    ui_->ColorButton2->SetSelectionColor(o.FarbeUntersumme);
    ui_->ColorButton3->SetSelectionColor(o.FarbeFehlerintervall);
    ui_->ColorButton5->SetSelectionColor(o.FarbeZwischenwertsumme);
    a_ = o.GrenzeA;
    b_ = o.GrenzeB;
    ui_->Edit2->setText(ZahlFeldText(a_));
    ui_->Edit3->setText(ZahlFeldText(b_));
    ui_->Edit4->setText(QText(IntToText(o.AnzahlRechtecke)));
    ui_->Edit2->selectAll();
    ui_->Edit2->setFocus(Qt::OtherFocusReason);
}

void TForm15::Edit4Exit() {
    int n = 1;
    if (!ReadIntegerEdit(ui_->Edit4, n)) n = 1;
    // The drawing divides by n; the main window's buttons keep it to 1..1024.
    gOverlay.AnzahlRechtecke = std::clamp(n, 1, kMaxAnzahlRechtecke);
    ui_->Edit4->setText(QText(IntToText(gOverlay.AnzahlRechtecke)));
}

void TForm15::CheckBox1Click() { gOverlay.SummenZeichnen = ui_->CheckBox1->Checked(); }

void TForm15::BitBtn3Click() {
    gOverlay.AnzahlRechtecke = 4;
    LoadControls();
    a_ = 0;
    b_ = 1;
    ui_->Edit2->setText(ZahlFeldText(a_));
    ui_->Edit3->setText(ZahlFeldText(b_));
}

void TForm15::BitBtn1Click() {
    if (!CommitFocusedField()) return;
    OverlayState& o = gOverlay;
    o.SummenAnzeigeart = kObersumme;
    for (int art = kObersumme; art <= kZwischenwertsumme; ++art)
        if (Radio(art)->isChecked()) o.SummenAnzeigeart = art;
    o.GrenzeA = a_;
    o.GrenzeB = b_;
    o.FarbeObersumme = ui_->ColorButton1->SelectionColor();
    o.FarbeUntersumme = ui_->ColorButton2->SelectionColor();
    o.FarbeFehlerintervall = ui_->ColorButton3->SelectionColor();
    o.FarbeZwischenwertsumme = ui_->ColorButton5->SelectionColor();
    o.FuellmusterSummen = static_cast<uint8_t>(std::clamp(ui_->FillStyleComboBox1->FillStyle(), 0, 7));
    accept();
}

void TForm15::reject() {
    ui_->CheckBox1->SetChecked(false);
    gOverlay.SummenZeichnen = false;
    KalvoDialog::reject();
}

void TForm15::closeEvent(QCloseEvent* event) {
    if (isVisible()) done(QDialog::Rejected);
    event->accept();
}

void TForm15::done(int result) {
    KalvoDialog::done(result);
    Host().RedrawMainGraph(true);
}

}  // namespace kalvo
