#include "parametric_dialog.h"

#include <QCheckBox>
#include <cmath>

#include "app_resources.h"
#include "color_button.h"
#include "draw_combo_box.h"
#include "edit_field.h"
#include "graph_host.h"
#include "number_text.h"
#include "slot_marks.h"
#include "term.h"
#include "term_help.h"
#include "ui_parametric_dialog.h"

namespace kalvo {

Color TForm7::DialogFarbe = 0;

namespace {


// The parser's w-mode for as long as it lives, also when a message box of
// the reader runs its own events.
class WMode {
public:
    WMode() : before_(ParserWMode) { ParserWMode = true; }
    ~WMode() { ParserWMode = before_; }
    WMode(const WMode&) = delete;
    WMode& operator=(const WMode&) = delete;

private:
    bool before_;
};

}  // namespace

bool ReadParamkurveTermEdit(TermEdit* edit) {
    WMode w;
    return ReadFunktionstermEdit(edit);
}

TForm7::TForm7(QWidget* parent) : KalvoDialog(parent), ui_(std::make_unique<Ui::TForm7>()) {
    ui_->setupUi(this);
    ApplyGlyphs(this);
    SetArrowKeysMoveFocus(true);

    for (TermEdit* e : {ui_->Edit3, ui_->Edit4, ui_->Edit5, ui_->Edit6, ui_->Edit7, ui_->Edit8, ui_->Edit9})
        e->setKind(TermEdit::Kind::Number);

    slots_ = new SlotBoxes(this, kParametricFirstSlot,
                           {ui_->CheckBox1, ui_->CheckBox2, ui_->CheckBox3, ui_->CheckBox4, ui_->CheckBox5,
                            ui_->CheckBox6, ui_->CheckBox7, ui_->CheckBox8},
                           ui_->PaintBox1, ui_->ColorButton1, ui_->LineWidthComboBox1, DialogFarbe);

    for (TermEdit* e : {ui_->Edit1, ui_->Edit2})
        connect(e, &TermEdit::fieldLeft, this, [e] { ReadParamkurveTermEdit(e); });
    const ParameterState& p = gParams;
    const TermState& t = gTerms;
    ConnectNumber(ui_->Edit3, w_.tVon, p.ParamkurveTVon);
    ConnectNumber(ui_->Edit4, w_.tBis, p.ParamkurveTBis);
    connect(ui_->Edit5, &TermEdit::fieldLeft, this, &TForm7::SchrittweiteVerlassen);
    ConnectNumber(ui_->Edit6, w_.a, t.KonstanteA);
    ConnectNumber(ui_->Edit7, w_.b, t.KonstanteB);
    ConnectNumber(ui_->Edit8, w_.c, t.KonstanteC);
    ConnectNumber(ui_->Edit9, w_.d, t.KonstanteD);

    connect(ui_->BitBtn2, &QPushButton::clicked, this, &TForm7::OkClick);
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->BitBtn3, &QPushButton::clicked, this, &TForm7::VorgabeClick);
    connect(ui_->SpeedButton4, &QToolButton::clicked, this, &TForm7::LoeschenClick);
    connect(ui_->SpeedButton6, &QToolButton::clicked, this, [this] { (new TForm18(this))->open(); });
}

TForm7::~TForm7() = default;

void TForm7::ConnectNumber(TermEdit* edit, double& working, const double& shared) {
    connect(edit, &TermEdit::fieldLeft, this, [edit, &working, &shared] { ReadNumberEdit(edit, working, shared); });
}

void TForm7::SchrittweiteVerlassen() {
    TermEdit* e = ui_->Edit5;
    ReadNumberEdit(e, w_.tSchritt, gParams.ParamkurveTSchrittweite);
    // After a syntax error the field keeps what was typed, to be mended there.
    if (LastSyntaxErrorCode() != kNoSyntaxError) return;
    if (std::fabs(w_.tSchritt) < kParamkurveSmallestStep) {
        w_.tSchritt = kParamkurveStepFallback;
        gParams.ParamkurveTSchrittweite = kParamkurveStepFallback;
        e->setText(NumberFieldText(w_.tSchritt));
    }
}

void TForm7::LoadControls() {
    gControl.ErstesZeichnen = false;
    LoadFields();
    slots_->InitMarkierungen();
    ui_->Edit1->selectAll();
    ui_->Edit1->setFocus(Qt::OtherFocusReason);
}

void TForm7::LoadFields() {
    const TermState& t = gTerms;
    const ParameterState& p = gParams;
    ui_->Edit1->setText(QString::fromStdString(t.TermXt));
    ui_->Edit2->setText(QString::fromStdString(t.TermYt));
    const std::pair<TermEdit*, std::pair<double*, double>> numbers[] = {
        {ui_->Edit3, {&w_.tVon, p.ParamkurveTVon}}, {ui_->Edit4, {&w_.tBis, p.ParamkurveTBis}},
        {ui_->Edit5, {&w_.tSchritt, p.ParamkurveTSchrittweite}},
        {ui_->Edit6, {&w_.a, t.KonstanteA}},        {ui_->Edit7, {&w_.b, t.KonstanteB}},
        {ui_->Edit8, {&w_.c, t.KonstanteC}},        {ui_->Edit9, {&w_.d, t.KonstanteD}},
    };
    for (const auto& [edit, copy] : numbers) {
        edit->setText(NumberFieldText(copy.second));
        *copy.first = copy.second;
    }
}

bool TForm7::ReadyToCommit() {
    if (!CommitFocusedField()) return false;
    // A component that does not compile would fail every redraw that follows.
    for (TermEdit* e : {ui_->Edit1, ui_->Edit2}) {
        bool ok = false;
        {
            QuietParsing quiet;
            WMode w;
            ok = ParseTerm(FunktionTermbaum, FieldTerm(e), true);
        }
        if (!ok) {
            ReadParamkurveTermEdit(e);
            return false;
        }
    }
    return true;
}

void TForm7::Werteuebergeben() {
    TermState& t = gTerms;
    ParameterState& p = gParams;
    t.TermXt = FieldTerm(ui_->Edit1);
    t.TermYt = FieldTerm(ui_->Edit2);
    p.ParamkurveTVon = w_.tVon;
    p.ParamkurveTBis = w_.tBis;
    p.ParamkurveTSchrittweite = w_.tSchritt;
    t.KonstanteA = w_.a;
    t.KonstanteB = w_.b;
    t.KonstanteC = w_.c;
    t.KonstanteD = w_.d;
}

void TForm7::OkClick() {
    if (!ReadyToCommit()) return;
    Werteuebergeben();
    accept();
}

void TForm7::done(int result) {
    KalvoDialog::done(result);
    // Slot changes and a mended step show, also after "Abbrechen".
    Host().RedrawMainGraph(true);
}

void TForm7::LoeschenClick() { slots_->LoeschenAll(); }

void TForm7::VorgabeClick() {
    TermState& t = gTerms;
    ParameterState& p = gParams;
    t.TermXt = "";
    t.TermYt = "";
    p.ParamkurveTVon = -3.141592654;
    p.ParamkurveTBis = 3.141592654;
    p.ParamkurveTSchrittweite = 0.006283185308;
    t.KonstanteA = w_.a;
    t.KonstanteB = w_.b;
    t.KonstanteC = w_.c;
    t.KonstanteD = w_.d;
    LoeschenClick();
    gControl.ErstesZeichnen = true;
    LoadControls();
    ui_->ColorButton1->SetSelectionColor(0);
}

}  // namespace kalvo
