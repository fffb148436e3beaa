#include "solid_window.h"

#include <QButtonGroup>

#include "analysis_state.h"
#include "bit_check_box.h"
#include "color_button.h"
#include "curves.h"
#include "derived_curves.h"
#include "edit_field.h"
#include "grafik3d_canvas.h"
#include "graph_host.h"
#include "message_sink.h"
#include "number_text.h"
#include "rotation_panel.h"
#include "surface_model.h"
#include "term.h"
#include "ui_solid_window.h"
#include "ui_view_panel.h"
#include "view_panel.h"

namespace kalvo {

namespace {


}  // namespace

Tform21::Tform21(QWidget* parent) : T3DFenster(parent), ui_(std::make_unique<Ui::Tform21>()) {
    g3D.Farbspektrum3D = true;
    g3D.Farbspektrum3DNummer = 1;
    ui_->setupUi(this);
    for (TermEdit* e : {ui_->EditA, ui_->EditB, ui_->EditT, ui_->EditIterationen}) e->setKind(TermEdit::Kind::Number);
    ui_->EditZerlegung->setKind(TermEdit::Kind::Number);
    ui_->EditZerlegung->setMaxLength(2);

    TGrafik3DCanvas* g = Grafik();
    // Almost a parallel projection, looking along the y axis of the picture:
    // the graph is seen as in the plane.
    g->SetEntfernung(44);
    g->SetSehwinkel(0.1);
    g->SetYrot(90);
    g->SetZrot(270);
    ui_->Bedienung->SetFarben(0xFFFFFF, 0, MakeRGB(204, 204, 204));
    ui_->Bedienung->SetAchsenfarbe(0);
    ui_->Bedienung->Controls()->LabelFlaeche->setText(QStringLiteral("Flächen"));
    ui_->Bedienung->Controls()->ColorButtonFlaeche->setToolTip(QStringLiteral("Flächen"));
    ui_->Bedienung->Controls()->ColorButtonFlaeche->SetDefaultText(QStringLiteral("Flächen"));
    KameraVerbinden({g, ui_->Bedienung, ui_->Rotation, ui_->BitBtnDrucker, ui_->BitBtnWMFClipb, ui_->BitBtnWMFDatei},
                    true);
    Verbinden();
    g->OnResize = [this] { zeichnen(); };
}

Tform21::~Tform21() { Grafik()->OnResize = nullptr; }

TGrafik3DCanvas* Tform21::Grafik() const { return ui_->Grafik3D; }

void Tform21::Verbinden() {
    connect(ui_->EditF, &TermEdit::fieldLeft, this, [this] { TermKompilieren(true); });
    connect(ui_->EditA, &TermEdit::fieldLeft, this, [this] { ZahlExit(ui_->EditA, daten_.a); });
    connect(ui_->EditB, &TermEdit::fieldLeft, this, [this] { ZahlExit(ui_->EditB, daten_.b); });
    connect(ui_->EditT, &TermEdit::fieldLeft, this, [this] { ZahlExit(ui_->EditT, daten_.t); });
    connect(ui_->EditIterationen, &TermEdit::fieldLeft, this, &Tform21::IterationenExit);
    connect(ui_->EditZerlegung, &TermEdit::fieldLeft, this, &Tform21::ZerlegungExit);
    connect(ui_->CheckBoxGeschlossen, &TBitCheckBox::OnClick, this, &Tform21::BitBtnOkClick);
    // The two "Grafik" buttons sit in the boxes of their volumes but choose together.
    auto* grafik = new QButtonGroup(this);
    grafik->addButton(ui_->RadioButtonGrafik1);
    grafik->addButton(ui_->RadioButtonGrafik2);
    connect(ui_->RadioButtonGrafik2, &QRadioButton::toggled, this, [this] {
        BuildKoerper();
        zeichnen();
    });
    for (QRadioButton* r : {ui_->RadioButtonOhne, ui_->RadioButtonKreuz, ui_->RadioButtonRahmen,
                            ui_->RadioButtonRahmenSkalierung})
        connect(r, &QRadioButton::toggled, this, [this](bool an) {
            if (an) zeichnen();
        });

    TBedienung3D* bedienung = ui_->Bedienung;
    connect(bedienung, &TBedienung3D::Neuzeichnen, this, &Tform21::zeichnen);
    connect(bedienung, &TBedienung3D::PhiExit, this, [this] { WinkelExit(true); });
    connect(bedienung, &TBedienung3D::ThetaExit, this, [this] { WinkelExit(false); });
    connect(bedienung, &TBedienung3D::WinkelAnfangswerte, this, [this] {
        Grafik()->SetYrot(90);
        Grafik()->SetZrot(270);
        zeichnen();
    });
    connect(bedienung, &TBedienung3D::ZoomAnfangswert, this, [this] {
        Grafik()->SetSehwinkel(0.1);
        zeichnen();
    });

    connect(ui_->BitBtnOk, &QPushButton::clicked, this, &Tform21::BitBtnOkClick);
    connect(ui_->BitBtnVorgabe, &QPushButton::clicked, this, &Tform21::Laden);
    connect(ui_->BitBtnBeenden, &QPushButton::clicked, this, &Tform21::BitBtnBeendenClick);
    connect(ui_->BitBtnEnde, &QPushButton::clicked, this, &Tform21::BitBtnBeendenClick);
}

// Once, when the window is first shown: the window keeps what the user
// typed when it is activated again (after a message box, say).
void Tform21::LoadControls() { Laden(); }

void Tform21::Laden() {
    ui_->EditF->setText(QString::fromStdString(gTerms.TermF.str()));
    daten_.a = gOverlay.GrenzeA;
    daten_.b = gOverlay.GrenzeB;
    daten_.t = gTerms.ParameterWerte[0];
    iterationen_ = kStandardKoerperIterationen;
    ui_->EditIterationen->setText(QString::fromStdString(IntToText(iterationen_)));
    daten_.n = kStandardZerlegung;
    Grafik()->SetYrot(90);
    Grafik()->SetZrot(270);
    CheckRotationskoerperInputs();
    BitBtnOkClick();
}

void Tform21::CheckRotationskoerperInputs() {
    KoerperGrenzenPruefen(daten_.a, daten_.b);
    ui_->EditT->setText(NumberFieldText(daten_.t));
    ui_->EditA->setText(NumberFieldText(daten_.a));
    ui_->EditB->setText(NumberFieldText(daten_.b));
    WinkelZeigen();
    ui_->EditZerlegung->setText(QString::fromStdString(IntToText(daten_.n)));
}

void Tform21::WinkelZeigen() {
    const Ui::TBedienung3D* b = ui_->Bedienung->Controls();
    if (!b->EditPhi->isModified())
        b->EditPhi->setText(QString::fromStdString(IntToText(KoerperPhiAnzeige(Grafik()->Zrot()))));
    if (!b->EditTheta->isModified())
        b->EditTheta->setText(QString::fromStdString(IntToText(Winkelanzeige(Grafik()->Yrot()))));
}

bool Tform21::TermKompilieren(bool melden) {
    const std::string text = FieldTerm(ui_->EditF);
    if (text.find_first_not_of(' ') == std::string::npos) return ParseTerm(FunktionTermbaum, "0", true);
    if (melden) return ReadFunktionstermEdit(ui_->EditF);
    QuietParsing quiet;
    if (ParseTerm(FunktionTermbaum, TermFieldText(text), true)) return true;
    ParseTerm(FunktionTermbaum, "0", true);
    return false;
}

void Tform21::ZahlExit(TermEdit* edit, double& wert) { ReadNumberEdit(edit, wert, wert); }

void Tform21::IterationenExit() {
    iterationen_ = KoerperIterationenAusText(ui_->EditIterationen->text().toStdString());
    ui_->EditIterationen->setText(QString::fromStdString(IntToText(iterationen_)));
}

void Tform21::ZerlegungExit() {
    const int n = ZerlegungAusText(ui_->EditZerlegung->text().toStdString());
    ui_->EditZerlegung->setText(QString::fromStdString(IntToText(n)));
    if (n == daten_.n) return;
    daten_.n = n;
    CheckRotationskoerperInputs();
    BuildKoerper();
    zeichnen();
}

void Tform21::WinkelExit(bool phi) {
    TermEdit* edit = phi ? ui_->Bedienung->Controls()->EditPhi : ui_->Bedienung->Controls()->EditTheta;
    TGrafik3DCanvas* g = Grafik();
    const double gezeigt = phi ? KoerperPhiAnzeige(g->Zrot()) : Winkelanzeige(g->Yrot());
    double grad = gezeigt;
    if (!TBedienung3D::WinkelLesen(edit, grad)) return;
    edit->setModified(false);
    if (grad == gezeigt) {
        WinkelZeigen();
        return;
    }
    if (phi)
        g->SetZrot(KoerperZrotAusPhi(grad));
    else
        g->SetYrot(grad);
    CheckRotationskoerperInputs();
    zeichnen();
}

void Tform21::BitBtnOkClick() {
    if (!CommitFocusedField()) return;
    // A term that does not compile never becomes f of the main window.
    if (!TermKompilieren(false)) {
        TermKompilieren(true);
        return;
    }
    // A reversed interval would give negative volumes.
    CheckRotationskoerperInputs();
    gTerms.TermF = CutToChars(FieldTerm(ui_->EditF), kTermChars);
    CombineTerms(gTerms.TermF.str(), "", '+');
    const int d = gDisplay.Nachkommastellen;
    volumen_ = KoerperVolumen(iterationen_, daten_.t, daten_.a, daten_.b, d);
    // A volume that did not settle within the budget shows no number.
    auto text = [&](double v, bool undefiniert, bool abgebrochen) {
        if (abgebrochen) return std::string(kZuVielRechenaufwand);
        return undefiniert ? std::string(kNotFiniteText) : VolumenText(v, d);
    };
    ui_->LabelV1->setText(QString::fromStdString(text(volumen_.v1, volumen_.v1Undefiniert, volumen_.v1Abgebrochen)));
    ui_->LabelV2->setText(QString::fromStdString(text(volumen_.v2, volumen_.v2Undefiniert, volumen_.v2Abgebrochen)));
    if (volumen_.abgebrochen) ShowMessage(kBerechnungAbgebrochen, MessageKind::Warning);
    BuildKoerper();
    zeichnen();
}

void Tform21::BuildKoerper() {
    // The field reported a term that does not compile when it was left.
    TermKompilieren(false);
    daten_.umYAchse = ui_->RadioButtonGrafik2->isChecked();
    daten_.geschlossen = ui_->CheckBoxGeschlossen->Checked();
    KoerperNetz_.reset();
    KoerperNetz_ = kalvo::BuildKoerper(daten_);
    KoerperWeltkoordinaten(*Grafik(), *KoerperNetz_);
}

Achsenstil Tform21::GewaehlterAchsenstil() const {
    if (ui_->RadioButtonKreuz->isChecked()) return Achsenstil::Achsenkreuz1;
    if (ui_->RadioButtonRahmen->isChecked()) return Achsenstil::Rahmen;
    if (ui_->RadioButtonRahmenSkalierung->isChecked()) return Achsenstil::RahmenMitSkalierung;
    return Achsenstil::Ohne;
}

void Tform21::zeichnen() {
    if (!KoerperNetz_) return;
    Szenenbild s = ui_->Bedienung->Bild(2.0);
    s.achsen = GewaehlterAchsenstil();
    s.achsenkreuzBreite = 1;
    s.bewegt = Bewegt();
    // The vertical axis of the picture shows the graph's y.
    s.labelX = "x";
    s.labelY = "";
    s.labelZ = "y";
    WinkelZeigen();
    SzeneZeichnen(*Grafik(), KoerperNetz_.get(), s);
}

void Tform21::BitBtnBeendenClick() { close(); }

void Tform21::done(int result) {
    T3DFenster::done(result);
    // f may have changed.
    Host().RedrawMainGraph(true);
}

}  // namespace kalvo
