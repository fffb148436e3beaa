#include "piecewise_dialog.h"

#include <QCheckBox>

#include "app_resources.h"
#include "bit_check_box.h"
#include "color_button.h"
#include "draw_combo_box.h"
#include "edit_field.h"
#include "family_dialog.h"
#include "family_widgets.h"
#include "graph_host.h"
#include "number_text.h"
#include "parameter_list.h"
#include "slot_marks.h"
#include "term.h"
#include "term_help.h"
#include "ui_piecewise_dialog.h"

namespace kalvo {

Color TForm6::DialogFarbe = 0;

namespace {


}  // namespace

TForm6::TForm6(QWidget* parent) : KalvoDialog(parent), ui_(std::make_unique<Ui::TForm6>()) {
    ui_->setupUi(this);
    ApplyGlyphs(this);
    SetArrowKeysMoveFocus(true);

    for (TermEdit* e : {ui_->Edit5, ui_->Edit6, ui_->Edit7, ui_->Edit8, ui_->Edit9, ui_->Edit10, ui_->Edit11,
                        ui_->Edit12, ui_->Edit13, ui_->Edit14, ui_->Edit15, ui_->Edit17, ui_->Edit18, ui_->Edit19,
                        ui_->Edit20})
        e->setKind(TermEdit::Kind::Number);

    slots_ = new SlotBoxes(this, kPiecewiseFirstSlot, {ui_->CheckBox1, ui_->CheckBox2, ui_->CheckBox3, ui_->CheckBox4},
                           ui_->PaintBox1, ui_->ColorButton1, ui_->LineWidthComboBox1, DialogFarbe);

    for (TermEdit* e : {ui_->Edit1, ui_->Edit2, ui_->Edit3, ui_->Edit4})
        connect(e, &TermEdit::fieldLeft, this, [e] { ReadFunktionstermEdit(e); });
    const ViewWindowState& v = gView;
    const ParameterState& p = gParams;
    const TermState& t = gTerms;
    const std::array<const double*, 4> von{&v.H1Von, &v.H2Von, &v.H3Von, &v.H4Von};
    const std::array<const double*, 4> bis{&v.H1Bis, &v.H2Bis, &v.H3Bis, &v.H4Bis};
    const std::array<TermEdit*, 8> range{ui_->Edit5, ui_->Edit6, ui_->Edit7,  ui_->Edit8,
                                         ui_->Edit9, ui_->Edit10, ui_->Edit11, ui_->Edit12};
    for (size_t i = 0; i < 4; ++i) {
        ConnectNumber(range[2 * i], w_.von[i], *von[i]);
        ConnectNumber(range[2 * i + 1], w_.bis[i], *bis[i]);
    }
    ConnectNumber(ui_->Edit13, w_.tVon, p.HTVon);
    ConnectNumber(ui_->Edit14, w_.tBis, p.HTBis);
    ConnectNumber(ui_->Edit15, w_.tSchritt, p.HTSchrittweite);
    ConnectNumber(ui_->Edit17, w_.a, t.KonstanteA);
    ConnectNumber(ui_->Edit18, w_.b, t.KonstanteB);
    ConnectNumber(ui_->Edit19, w_.c, t.KonstanteC);
    ConnectNumber(ui_->Edit20, w_.d, t.KonstanteD);
    connect(ui_->Edit16, &TermEdit::fieldLeft, this, &TForm6::ParameterListeVerlassen);

    connect(ui_->TrackBar1, &QSlider::valueChanged, ui_->PaintBox2, &TSpectrumBox::SetSpectrum);
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &TForm6::OkClick);
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->BitBtn4, &QPushButton::clicked, this, &TForm6::VorgabeClick);
    connect(ui_->SpeedButton4, &QToolButton::clicked, this, &TForm6::LoeschenClick);
    connect(ui_->SpeedButton6, &QToolButton::clicked, this, [this] {
        auto* help = new TForm18(this);
        connect(help, &QDialog::finished, ui_->PaintBox2, qOverload<>(&QWidget::update));
        help->open();
    });
}

TForm6::~TForm6() = default;

void TForm6::ConnectNumber(TermEdit* edit, double& working, const double& shared) {
    connect(edit, &TermEdit::fieldLeft, this, [edit, &working, &shared] { ReadNumberEdit(edit, working, shared); });
}

void TForm6::ParameterListeVerlassen() {
    TermEdit* e = ui_->Edit16;
    Funktionsterm list = FieldTerm(e);
    const std::string typed = TermFieldText(list.str());
    ReadParameterliste(list, gTerms.ParameterWerte2);
    if (gTerms.ParameterListeFehler) {
        // The refused entry stays in the field, so that it can be mended there.
        w_.liste = CutToChars(typed, kTermChars);
        e->setText(QString::fromStdString(w_.liste));
        e->MarkCheckFailed();
        e->setFocus(Qt::OtherFocusReason);
        return;
    }
    w_.liste = list.str();
    e->setText(QString::fromStdString(w_.liste));
}

void TForm6::LoadControls() {
    gControl.ErstesZeichnen = false;
    const DisplayState& d = gDisplay;
    ui_->TrackBar1->setValue(d.FarbspektrumNummer);
    // The preview shows what OK stores: this track bar ends one spectrum
    // before the family dialog's.
    ui_->PaintBox2->SetSpectrum(ui_->TrackBar1->value());
    ui_->BitCheckBox1->SetChecked(d.FarbspektrumParameter);
    ui_->BitCheckBox2->SetChecked(gTerms.ParameterAusListe);
    LoadFields();
    slots_->InitMarkierungen();
    ui_->Edit1->selectAll();
    ui_->Edit1->setFocus(Qt::OtherFocusReason);
}

void TForm6::LoadFields() {
    const TermState& t = gTerms;
    const ViewWindowState& v = gView;
    const ParameterState& p = gParams;
    ui_->Edit1->setText(QString::fromStdString(t.TermH1));
    ui_->Edit2->setText(QString::fromStdString(t.TermH2));
    ui_->Edit3->setText(QString::fromStdString(t.TermH3));
    ui_->Edit4->setText(QString::fromStdString(t.TermH4));
    const std::pair<TermEdit*, std::pair<double*, double>> numbers[] = {
        {ui_->Edit5, {&w_.von[0], v.H1Von}},  {ui_->Edit6, {&w_.bis[0], v.H1Bis}},
        {ui_->Edit7, {&w_.von[1], v.H2Von}},  {ui_->Edit8, {&w_.bis[1], v.H2Bis}},
        {ui_->Edit9, {&w_.von[2], v.H3Von}},  {ui_->Edit10, {&w_.bis[2], v.H3Bis}},
        {ui_->Edit11, {&w_.von[3], v.H4Von}}, {ui_->Edit12, {&w_.bis[3], v.H4Bis}},
        {ui_->Edit13, {&w_.tVon, p.HTVon}},   {ui_->Edit14, {&w_.tBis, p.HTBis}},
        {ui_->Edit15, {&w_.tSchritt, p.HTSchrittweite}},
        {ui_->Edit17, {&w_.a, t.KonstanteA}}, {ui_->Edit18, {&w_.b, t.KonstanteB}},
        {ui_->Edit19, {&w_.c, t.KonstanteC}}, {ui_->Edit20, {&w_.d, t.KonstanteD}},
    };
    for (const auto& [edit, copy] : numbers) {
        edit->setText(NumberFieldText(copy.second));
        *copy.first = copy.second;
    }
    w_.liste = t.ParameterListe2.str();
    ui_->Edit16->setText(QString::fromStdString(w_.liste));
}

bool TForm6::ReadyToCommit() {
    if (!CommitFocusedField()) return false;
    if (RefuseTooManyMembers(w_.tVon, w_.tBis, w_.tSchritt, ui_->Edit15)) return false;
    // A piece that does not compile would fail every redraw that follows.
    for (TermEdit* e : {ui_->Edit1, ui_->Edit2, ui_->Edit3, ui_->Edit4}) {
        bool ok = false;
        {
            QuietParsing quiet;
            ok = ParseTerm(FunktionTermbaum, FieldTerm(e), true);
        }
        if (!ok) {
            ReadFunktionstermEdit(e);
            return false;
        }
    }
    return true;
}

void TForm6::Werteuebergeben() {
    TermState& t = gTerms;
    ViewWindowState& v = gView;
    ParameterState& p = gParams;
    t.TermH1 = FieldTerm(ui_->Edit1);
    t.TermH2 = FieldTerm(ui_->Edit2);
    t.TermH3 = FieldTerm(ui_->Edit3);
    t.TermH4 = FieldTerm(ui_->Edit4);
    v.H1Von = w_.von[0];
    v.H1Bis = w_.bis[0];
    v.H2Von = w_.von[1];
    v.H2Bis = w_.bis[1];
    v.H3Von = w_.von[2];
    v.H3Bis = w_.bis[2];
    v.H4Von = w_.von[3];
    v.H4Bis = w_.bis[3];
    p.HTVon = w_.tVon;
    p.HTBis = w_.tBis;
    p.HTSchrittweite = w_.tSchritt;
    t.ParameterListe2 = w_.liste;
    {
        // The field has already reported a bad entry when it was left.
        QuietParsing quiet;
        ReadParameterliste(t.ParameterListe2, t.ParameterWerte2);
    }
    t.KonstanteA = w_.a;
    t.KonstanteB = w_.b;
    t.KonstanteC = w_.c;
    t.KonstanteD = w_.d;
}

void TForm6::OkClick() {
    if (!ReadyToCommit()) return;
    Werteuebergeben();
    gDisplay.FarbspektrumNummer = ui_->TrackBar1->value();
    gDisplay.FarbspektrumParameter = ui_->BitCheckBox1->Checked();
    gTerms.ParameterAusListe = ui_->BitCheckBox2->Checked();
    accept();
}

void TForm6::done(int result) {
    KalvoDialog::done(result);
    // What the dialog has written so far (slots, list, "Vorgabe") shows,
    // also after "Abbrechen".
    Host().RedrawMainGraph(true);
}

void TForm6::LoeschenClick() { slots_->LoeschenAll(); }

void TForm6::VorgabeClick() {
    TermState& t = gTerms;
    ViewWindowState& v = gView;
    ParameterState& p = gParams;
    t.TermH1 = t.TermH2 = t.TermH3 = t.TermH4 = "";
    v.H1Von = v.H2Von = v.H3Von = v.H4Von = v.BereichX1;
    v.H1Bis = v.H2Bis = v.H3Bis = v.H4Bis = v.BereichX2;
    p.HTVon = 0;
    p.HTBis = 0;
    p.HTSchrittweite = 1;
    t.ParameterListe2 = "1;";
    t.KonstanteA = w_.a;
    t.KonstanteB = w_.b;
    t.KonstanteC = w_.c;
    t.KonstanteD = w_.d;
    DialogFarbe = 0;
    LoeschenClick();
    gControl.ErstesZeichnen = true;
    LoadControls();
}

}  // namespace kalvo
