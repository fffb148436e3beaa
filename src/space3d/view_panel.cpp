#include "view_panel.h"

#include <cmath>

#include "analysis_state.h"
#include "bit_check_box.h"
#include "color_button.h"
#include "edit_field.h"
#include "number_text.h"
#include "farbverlauf_preview.h"
#include "term.h"
#include "ui_view_panel.h"

namespace kalvo {

TBedienung3D::TBedienung3D(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::TBedienung3D>()) {
    ui_->setupUi(this);
    for (TermEdit* e : {ui_->EditPhi, ui_->EditTheta}) {
        e->setKind(TermEdit::Kind::Number);
        e->setMaxLength(3);
    }
    laden_ = true;
    ui_->CheckBoxFarbwechsel->SetChecked(true);
    ui_->CheckBoxSpektrum->SetChecked(g3D.Farbspektrum3D);
    ui_->TrackBarSpektrum->setValue(g3D.Farbspektrum3DNummer);
    ui_->Farbverlauf->SetSpektrum(g3D.Farbspektrum3DNummer);
    ui_->CheckBoxNachHinten->SetChecked(true);
    NachHintenBeschriften();
    FarbmodusSetzen();
    laden_ = false;

    const auto melden = [this] { Melden(); };
    for (TBitCheckBox* b : {ui_->CheckBoxFarbwechsel, ui_->CheckBoxSpektrum})
        connect(b, &TBitCheckBox::OnClick, this, [this] {
            FarbmodusSetzen();
            Melden();
        });
    for (QRadioButton* r : {ui_->RadioButtonZWerte, ui_->RadioButtonEntfernung})
        connect(r, &QRadioButton::toggled, this, [this](bool an) {
            if (an) Melden();
        });
    connect(ui_->TrackBarSpektrum, &QSlider::valueChanged, this, [this](int k) {
        g3D.Farbspektrum3DNummer = k;
        ui_->Farbverlauf->SetSpektrum(k);
        Melden();
    });
    connect(ui_->CheckBoxBeleuchtung, &TBitCheckBox::OnClick, this, melden);
    connect(ui_->CheckBoxNachHinten, &TBitCheckBox::OnClick, this, [this] {
        NachHintenBeschriften();
        Melden();
    });
    for (QSlider* s : {ui_->TrackBarStreckfaktor, ui_->TrackBarHelligkeit, ui_->TrackBarKontrast})
        connect(s, &QSlider::valueChanged, this, melden);
    for (TColorButton* b : {ui_->ColorButtonNetz, ui_->ColorButtonHintergrund, ui_->ColorButtonFlaeche,
                            ui_->ColorButtonAchsen})
        connect(b, &TColorButton::OnChange, this, melden);
    connect(ui_->SpeedButtonLicht, &QPushButton::clicked, this, [this] {
        laden_ = true;
        ui_->TrackBarHelligkeit->setValue(7);
        ui_->TrackBarKontrast->setValue(5);
        laden_ = false;
        Melden();
    });
    connect(ui_->EditPhi, &TermEdit::fieldLeft, this, &TBedienung3D::PhiExit);
    connect(ui_->EditTheta, &TermEdit::fieldLeft, this, &TBedienung3D::ThetaExit);
    connect(ui_->SpeedButtonWinkel, &QPushButton::clicked, this, &TBedienung3D::WinkelAnfangswerte);
    connect(ui_->SpeedButtonZoomAnfang, &QPushButton::clicked, this, &TBedienung3D::ZoomAnfangswert);
}

TBedienung3D::~TBedienung3D() = default;

void TBedienung3D::Melden() {
    if (!laden_) emit Neuzeichnen();
}

Szenenbild TBedienung3D::Bild(double kontrastfaktor) const {
    Szenenbild s;
    s.zFaktor = 1 - ui_->TrackBarStreckfaktor->value() / 20.0;
    s.diffuse = ui_->TrackBarHelligkeit->value() / 14.0;
    s.focussed = kontrastfaktor * ui_->TrackBarKontrast->value() / 10.0;
    s.beleuchtung = ui_->CheckBoxBeleuchtung->Checked();
    s.nachHinten = ui_->CheckBoxNachHinten->Checked();
    s.hintergrund = ui_->ColorButtonHintergrund->SelectionColor();
    s.netz = ui_->ColorButtonNetz->SelectionColor();
    s.flaeche = ui_->ColorButtonFlaeche->SelectionColor();
    s.achsenfarbe = ui_->ColorButtonAchsen->SelectionColor();
    s.spektrum = ui_->CheckBoxSpektrum->Checked();
    s.spektrumNummer = ui_->TrackBarSpektrum->value();
    s.art = FarbArt(ui_->CheckBoxFarbwechsel->Checked(), s.spektrum, ui_->RadioButtonZWerte->isChecked());
    return s;
}

void TBedienung3D::SetFarben(Color hintergrund, Color netz, Color flaeche) {
    laden_ = true;
    ui_->ColorButtonHintergrund->SetSelectionColor(hintergrund);
    ui_->ColorButtonNetz->SetSelectionColor(netz);
    ui_->ColorButtonFlaeche->SetSelectionColor(flaeche);
    laden_ = false;
}

void TBedienung3D::SetAchsenfarbe(Color achsen) {
    laden_ = true;
    ui_->ColorButtonAchsen->SetSelectionColor(achsen);
    laden_ = false;
}

void TBedienung3D::SetWinkelAnzeige(int phi, int theta) {
    ui_->EditPhi->setText(QString::fromStdString(IntToText(phi)));
    ui_->EditTheta->setText(QString::fromStdString(IntToText(theta)));
}

bool TBedienung3D::WinkelLesen(TermEdit* edit, double& grad) {
    double wert = grad;
    ReadNumberEdit(edit, wert, grad);
    if (LastSyntaxErrorCode() != kNoSyntaxError) return false;
    grad = std::fabs(wert);
    return true;
}

void TBedienung3D::FarbmodusSetzen() {
    const bool f = ui_->CheckBoxFarbwechsel->Checked(), s = ui_->CheckBoxSpektrum->Checked();
    g3D.Farbspektrum3D = s;
    ui_->ColorButtonFlaeche->setEnabled(!(f && s));
    ui_->RadioButtonZWerte->setEnabled(f || s);
    ui_->RadioButtonEntfernung->setEnabled(f || s);
    ui_->TrackBarSpektrum->setEnabled(f && s);
}

void TBedienung3D::NachHintenBeschriften() {
    // The caption says where the axes end up: after the surface they lie in front of it.
    ui_->CheckBoxNachHinten->setText(ui_->CheckBoxNachHinten->Checked() ? QStringLiteral(" nach vorne ")
                                                                        : QStringLiteral(" nach hinten "));
}

}  // namespace kalvo
