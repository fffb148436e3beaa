#include "options_dialog.h"

#include <QButtonGroup>

#include "app_resources.h"
#include "bit_check_box.h"
#include "color_button.h"
#include "coordinate_dialog.h"
#include "family_dialog.h"
#include "edit_field.h"
#include "graph_host.h"
#include "info_window.h"
#include "number_text.h"
#include "parameter_list.h"
#include "program_state.h"
#include "settings_file.h"
#include "term.h"
#include "ui_options_dialog.h"

namespace kalvo {

namespace {

constexpr int kMaxDecimals = 3;
constexpr int kDefaultDecimals = 2;
constexpr int kMaxDelayMs = 1000;
constexpr int kLowestAufloesung = 2;
constexpr int kHighestAufloesung = 4;

QString IntText(int i) { return QString::fromStdString(IntToText(i)); }

}  // namespace

void OptionenVorgabe() {
    TermState& t = gTerms;
    ViewWindowState& v = gView;
    ParameterState& p = gParams;
    DisplayState& d = gDisplay;
    OutputContext& o = gOutput;

    FamilienVorgabe();
    KoordinatensystemVorgabe(10, 0xCCCCCC);
    t.TermXt = t.TermYt = "";
    t.TermH1 = t.TermH2 = t.TermH3 = t.TermH4 = "";
    v.H1Von = v.H2Von = v.H3Von = v.H4Von = -8;
    v.H1Bis = v.H2Bis = v.H3Bis = v.H4Bis = 8;
    o.DecadesY = 2;
    o.DecadesX = 2;
    p.HTVon = 0;
    p.HTBis = 0;
    p.HTSchrittweite = 1;
    p.ParamkurveTVon = -3.14;
    p.ParamkurveTBis = 3.14;
    p.ParamkurveTSchrittweite = 0.01;
    {
        QuietParsing quiet;
        t.ParameterListe = "1";
        ReadParameterliste(t.ParameterListe, t.ParameterWerte);
        t.ParameterListe2 = "1";
        ReadParameterliste(t.ParameterListe2, t.ParameterWerte2);
    }
    d.Nachkommastellen = kDefaultDecimals;
    for (int i = 1; i <= 32; ++i) d.Schaubilder[static_cast<size_t>(i)] = Schaubild{0, 0, i == 1};
}

Tform8::Tform8(QWidget* parent) : GraphInputDialog(parent), ui_(std::make_unique<Ui::Tform8>()) {
    ui_->setupUi(this);
    ApplyGlyphs(this);
    for (TermEdit* e : {ui_->Edit1, ui_->Edit2}) e->setKind(TermEdit::Kind::Number);
    ui_->Edit1->setMaxLength(1);
    ui_->Edit2->setMaxLength(4);

    aufloesung_ = new QButtonGroup(this);
    aufloesung_->addButton(ui_->RadioButtonNiedrig, 0);
    aufloesung_->addButton(ui_->RadioButtonMittel, 1);
    aufloesung_->addButton(ui_->RadioButtonHoch, 2);
    // The choice counts as soon as it is made: a closing button pressed with
    // the mouse would otherwise leave it behind.
    connect(aufloesung_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on && !initialising_) gDisplay.Aufloesung = id + kLowestAufloesung;
    });

    connect(ui_->Edit1, &TermEdit::fieldLeft, this, &Tform8::NachkommastellenExit);
    connect(ui_->Edit2, &TermEdit::fieldLeft, this, &Tform8::DelayExit);
    connect(ui_->ColorButton1, &TColorButton::OnChange, this, [this] {
        if (initialising_) return;
        gDisplay.HintergrundBildschirm = ui_->ColorButton1->SelectionColor();
        Host().RedrawMainGraph(true);
    });
    connect(ui_->ColorButton2, &TColorButton::OnChange, this, [this] {
        if (initialising_) return;
        gDisplay.HintergrundDrucker = ui_->ColorButton2->SelectionColor();
        Host().RedrawMainGraph(true);
    });

    connect(ui_->BitBtn1, &QPushButton::clicked, this, &Tform8::SpeichernClick);
    connect(ui_->BitBtn2, &QPushButton::clicked, this, &Tform8::ZurueckClick);
    connect(ui_->BitBtn3, &QPushButton::clicked, this, &Tform8::VorgabeClick);
    connect(ui_->BitBtn4, &QPushButton::clicked, this, &Tform8::InfoClick);
    connect(ui_->SpeedButton1, &QToolButton::clicked, this, &Tform8::KoordinatensystemClick);
}

Tform8::~Tform8() = default;

void Tform8::LoadControls() {
    initialising_ = true;
    const DisplayState& d = gDisplay;
    ui_->ColorButton1->SetSelectionColor(d.HintergrundBildschirm);
    ui_->ColorButton2->SetSelectionColor(d.HintergrundDrucker);
    ui_->Edit1->setText(IntText(d.Nachkommastellen));
    ui_->Edit2->setText(IntText(d.AnimationDelay));
    ui_->BitCheckBox1->SetChecked(d.Rahmen);
    if (QAbstractButton* b = aufloesung_->button(d.Aufloesung - kLowestAufloesung)) b->setChecked(true);
    initialising_ = false;
    gControl.ErstesZeichnen = false;
}

void Tform8::NachkommastellenExit() {
    int n = kDefaultDecimals;
    ReadIntegerEdit(ui_->Edit1, n);
    gDisplay.Nachkommastellen = std::clamp(n, 0, kMaxDecimals);
    ui_->Edit1->setText(IntText(gDisplay.Nachkommastellen));
}

void Tform8::DelayExit() {
    int delay = 0;
    ReadIntegerEdit(ui_->Edit2, delay);
    gDisplay.AnimationDelay = std::clamp(delay, 0, kMaxDelayMs);
    ui_->Edit2->setText(IntText(gDisplay.AnimationDelay));
}

void Tform8::SpeichernClick() {
    CommitFocusedField();
    gDisplay.Rahmen = ui_->BitCheckBox1->Checked();
    SaveSettings();
    accept();
}

void Tform8::ZurueckClick() {
    CommitFocusedField();
    NachkommastellenExit();
    gDisplay.Rahmen = ui_->BitCheckBox1->Checked();
    accept();
}

void Tform8::Vorgabe() {
    OptionenVorgabe();
    Host().RedrawMainGraph(true);
}

void Tform8::InfoClick() { (new TForm10(this))->open(); }

void Tform8::KoordinatensystemClick() {
    gControl.ErstesZeichnen = true;
    (new TForm5(this))->open();
}

}  // namespace kalvo
