#include "area_dialog.h"

#include <QCloseEvent>
#include <cmath>
#include <cstdlib>

#include "analysis_state.h"
#include "analysis_support.h"
#include "bit_check_box.h"
#include "color_button.h"
#include "curve_discussion.h"
#include "curves.h"
#include "derived_curves.h"
#include "draw_combo_box.h"
#include "edit_field.h"
#include "graph_host.h"
#include "integration.h"
#include "message_sink.h"
#include "number_text.h"
#include "program_state.h"
#include "term.h"
#include "ui_area_dialog.h"

namespace kalvo {

namespace {
constexpr int kMaxIterationen = 500;
}

TForm13::TForm13(QWidget* parent) : KalvoDialog(parent), ui_(std::make_unique<Ui::TForm13>()) {
    ui_->setupUi(this);
    for (TermEdit* e : {ui_->Edit3, ui_->Edit4, ui_->Edit5, ui_->Edit6}) e->setKind(TermEdit::Kind::Number);
    for (QLabel* l : {ui_->Label22, ui_->Label26}) {
        QFont f = l->font();
        f.setPointSize(f.pointSize() + 6);
        l->setFont(f);
    }
    resize(sizeHint().expandedTo(QSize(550, 342)));
    for (TermEdit* e : {ui_->edit1, ui_->Edit2})
        connect(e, &TermEdit::fieldLeft, this, [e] { ReadFunktionstermEdit(e); });
    connect(ui_->Edit3, &TermEdit::fieldLeft, this, [this] { ReadNumberEdit(ui_->Edit3, a_, a_); });
    connect(ui_->Edit4, &TermEdit::fieldLeft, this, [this] { ReadNumberEdit(ui_->Edit4, b_, b_); });
    connect(ui_->Edit5, &TermEdit::fieldLeft, this, [this] {
        if (ReadNumberEdit(ui_->Edit5, t_, t_)) gTerms.ParameterWerte[0] = t_;
    });
    connect(ui_->Edit6, &TermEdit::fieldLeft, this, &TForm13::Edit6Exit);
    connect(ui_->SpeedButton1, &QPushButton::clicked, this, &TForm13::SpeedButton1Click);
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &TForm13::BitBtn1Click);
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &TForm13::BitBtn2Click);
    connect(ui_->BitBtn3, &QPushButton::clicked, this, &TForm13::reject);
    connect(ui_->BitBtn5, &QPushButton::clicked, this, &TForm13::BitBtn5Click);
    connect(ui_->CheckBox1, &TBitCheckBox::OnClick, this, &TForm13::CheckBox1Click);
    connect(ui_->ColorButton1, &TColorButton::OnChange, this, &TForm13::ColorButton1Change);
    connect(ui_->FillStyleComboBox1, &TFillStyleComboBox::OnClick, this, &TForm13::FillStyleComboBox1Change);
}

TForm13::~TForm13() = default;

void TForm13::LoadControls() {
    gControl.ErstesZeichnen = false;
    const OverlayState& o = gOverlay;
    ui_->CheckBox1->SetChecked(o.FlaecheZeichnen);
    ui_->edit1->setText(QText(gTerms.TermF.str()));
    ui_->Edit2->setText(QText(gTerms.TermG.str()));
    a_ = o.GrenzeA;
    b_ = o.GrenzeB;
    t_ = gTerms.ParameterWerte[0];
    ui_->Edit3->setText(ZahlFeldText(a_));
    ui_->Edit4->setText(ZahlFeldText(b_));
    ui_->Edit5->setText(ZahlFeldText(t_));
    iterationen_ = 200;
    ui_->Edit6->setText(QText(IntToText(iterationen_)));
    Berechnen();
    ui_->FillStyleComboBox1->SetFillStyle(o.FuellmusterFlaeche);
    farbe_ = o.FuellfarbeFlaeche;
    ui_->FillStyleComboBox1->SetBrushColor(farbe_);
    ui_->ColorButton1->blockSignals(true);
    ui_->ColorButton1->SetSelectionColor(farbe_);
    ui_->ColorButton1->blockSignals(false);
}

void TForm13::Edit6Exit() {
    int n = 0;
    if (!ReadIntegerEdit(ui_->Edit6, n)) {
        ShowMessage("'" + ui_->Edit6->text().trimmed().toStdString() + "' ist kein g\xC3\xBCltiger Integerwert",
                    MessageKind::Error);
        ui_->Edit6->setText(QText(IntToText(iterationen_)));
        ui_->Edit6->MarkCheckFailed();
        ui_->Edit6->setFocus(Qt::OtherFocusReason);
        return;
    }
    // Taken apart from the clamp: the absolute value of INT_MIN is no int.
    iterationen_ = n < 0 ? (n < -kMaxIterationen ? kMaxIterationen : -n) : n;
    iterationen_ = std::clamp(iterationen_, 1, kMaxIterationen);
    ui_->Edit6->setText(QText(IntToText(iterationen_)));
}

bool TForm13::DifferenzKompilieren() {
    gTerms.TermF = FieldTerm(ui_->edit1);
    gTerms.TermG = FieldTerm(ui_->Edit2);
    QuietParsing quiet;
    return CombineTerms(gTerms.TermF.str(), gTerms.TermG.str(), '-');
}

void TForm13::Berechnen() {
    const int dez = gDisplay.Nachkommastellen + 2;
    OverlayState& o = gOverlay;
    if (!DifferenzKompilieren()) {
        // A field with a syntax error has said so when it was left.
        ui_->Label18->setText(QString::fromUtf8(kNotFiniteText.data(), kNotFiniteText.size()));
        ui_->Label19->setText(ui_->Label18->text());
    } else {
        // Each area is refined until its shown digits settle, the two within
        // one budget. Where f - g is undefined at isolated points of [a, b]
        // the area is the improper integral, where that exists; where it is
        // undefined on a stretch there is no area.
        const Ergebnistext text = [dez](double v) { return FormatNumberCommaBlanks(dez, v); };
        WorkBudget budget(kWaitSeconds);
        const Integralwert orientiert = Integrieren(kIntegrandF, t_, a_, b_, text, kWaitSeconds / 2);
        const Integralwert absolut =
            orientiert.undefiniert ? orientiert : Integrieren(kIntegrandBetrag, t_, a_, b_, text, kWaitSeconds);
        o.IntegrandUndefiniert = orientiert.undefiniert || absolut.undefiniert;
        o.IntegralAbgebrochen = orientiert.abgebrochen || absolut.abgebrochen;
        // A value that did not settle is no area, and the one shown before
        // belonged to other bounds.
        auto zeigen = [dez](QLabel* label, const Integralwert& w, bool betrag) {
            if (w.abgebrochen)
                label->setText(QText(kZuVielRechenaufwand));
            else if (w.undefiniert)
                label->setText(QString::fromUtf8(kNotFiniteText.data(), kNotFiniteText.size()));
            else
                label->setText(QText(FormatNumberCommaBlanks(dez, betrag ? std::fabs(w.wert) : w.wert) + " [FE]"));
        };
        zeigen(ui_->Label18, orientiert, false);
        zeigen(ui_->Label19, absolut, true);
        if (o.IntegralAbgebrochen) ShowMessage(kBerechnungAbgebrochen, MessageKind::Warning);
    }
    ui_->Edit3->selectAll();
    ui_->Edit3->setFocus(Qt::OtherFocusReason);
}

void TForm13::BitBtn2Click() {
    if (CommitFocusedField()) Berechnen();
}

void TForm13::SpeedButton1Click() {
    if (!CommitFocusedField()) return;
    if (!DifferenzKompilieren()) return;
    const ViewWindowState& v = gView;
    WorkBudget budget(kWaitSeconds);
    KurvendiskussionBerechnen(v.BereichX1, v.BereichX2, std::fabs(v.BereichX2 - v.BereichX1) / 500,
                              gTerms.ParameterWerte[0]);
    // Intersections from a search cut short need not be the outer ones.
    if (budget.Cut()) {
        ShowMessage(kBerechnungAbgebrochen, MessageKind::Warning);
        return;
    }
    const DiscussionResults& d = gDiscussion;
    // Without an intersection in the view the bounds stay as they are.
    if (d.AnzahlNullstellen < 1) return;
    a_ = d.NullstelleX[1];
    b_ = d.NullstelleX[static_cast<size_t>(std::min(d.AnzahlNullstellen, kMaxSpecialPoints))];
    gOverlay.GrenzeA = a_;
    gOverlay.GrenzeB = b_;
    ui_->Edit3->setText(ZahlFeldText(a_));
    ui_->Edit4->setText(ZahlFeldText(b_));
}

void TForm13::BitBtn5Click() { LoadControls(); }

void TForm13::CheckBox1Click() { gOverlay.FlaecheZeichnen = ui_->CheckBox1->Checked(); }

void TForm13::ColorButton1Change() {
    farbe_ = ui_->ColorButton1->SelectionColor();
    ui_->FillStyleComboBox1->SetFillStyle(gOverlay.FuellmusterFlaeche);
    ui_->FillStyleComboBox1->SetBrushColor(farbe_);
}

void TForm13::FillStyleComboBox1Change() {
    gOverlay.FuellmusterFlaeche = static_cast<uint8_t>(std::clamp(ui_->FillStyleComboBox1->FillStyle(), 0, 7));
    ui_->FillStyleComboBox1->SetBrushColor(farbe_);
}

void TForm13::BitBtn1Click() {
    if (!CommitFocusedField()) return;
    OverlayState& o = gOverlay;
    o.SummenAnzeigeart = 1;
    o.FuellfarbeFlaeche = farbe_;
    o.GrenzeA = a_;
    o.GrenzeB = b_;
    accept();
}

void TForm13::reject() {
    ui_->CheckBox1->SetChecked(false);
    gOverlay.FlaecheZeichnen = false;
    KalvoDialog::reject();
}

void TForm13::closeEvent(QCloseEvent* event) {
    if (isVisible()) done(QDialog::Rejected);
    event->accept();
}

void TForm13::done(int result) {
    KalvoDialog::done(result);
    Host().RedrawMainGraph(true);
}

}  // namespace kalvo
