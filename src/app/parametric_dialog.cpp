#include "parametric_dialog.h"

#include <QCheckBox>
#include <cmath>

#include "app_resources.h"
#include "color_button.h"
#include "draw_combo_box.h"
#include "edit_field.h"
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

bool ReadParamkurveTermEdit(QLineEdit* edit) {
    WMode w;
    return ReadFunktionstermEdit(edit);
}

TForm7::TForm7(QWidget* parent) : GraphInputDialog(parent), ui_(std::make_unique<Ui::TForm7>()) {
    ui_->setupUi(this);
    ApplyGlyphs(this);
    SetArrowKeysMoveFocus(true);

    for (TermEdit* e : {ui_->Edit3, ui_->Edit4, ui_->Edit5, ui_->Edit6, ui_->Edit7, ui_->Edit8, ui_->Edit9})
        e->setKind(TermEdit::Kind::Number);

    SetSlotBoxes(new SlotBoxes(this, kParametricFirstSlot,
                               {ui_->CheckBox1, ui_->CheckBox2, ui_->CheckBox3, ui_->CheckBox4, ui_->CheckBox5,
                                ui_->CheckBox6, ui_->CheckBox7, ui_->CheckBox8},
                               ui_->PaintBox1, ui_->ColorButton1, ui_->LineWidthComboBox1, DialogFarbe));

    ParameterState& p = gParams;
    TermState& t = gTerms;
    SetFields({.terms = {{ui_->Edit1, &t.TermXt}, {ui_->Edit2, &t.TermYt}},
               .readTerm = ReadParamkurveTermEdit,
               .numbers = {{ui_->Edit3, &w_.tVon, &p.ParamkurveTVon},
                           {ui_->Edit4, &w_.tBis, &p.ParamkurveTBis},
                           {ui_->Edit5, &w_.tSchritt, &p.ParamkurveTSchrittweite, true}},
               .list = std::nullopt,
               .constants = {{ui_->Edit6, &w_.a, &t.KonstanteA},
                             {ui_->Edit7, &w_.b, &t.KonstanteB},
                             {ui_->Edit8, &w_.c, &t.KonstanteC},
                             {ui_->Edit9, &w_.d, &t.KonstanteD}}});
    connect(ui_->Edit5, &TermEdit::fieldLeft, this, &TForm7::SchrittweiteExit);

    connect(ui_->BitBtn2, &QPushButton::clicked, this, &TForm7::OkClick);
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->BitBtn3, &QPushButton::clicked, this, &TForm7::VorgabeClick);
    connect(ui_->SpeedButton4, &QToolButton::clicked, this, &TForm7::LoeschenClick);
    connect(ui_->SpeedButton6, &QToolButton::clicked, this, [this] { (new TForm18(this))->open(); });
}

TForm7::~TForm7() = default;

void TForm7::SchrittweiteExit() {
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

bool TForm7::ReadyToCommit() {
    WMode w;
    return GraphInputDialog::ReadyToCommit();
}

void TForm7::Vorgabe() {
    TermState& t = gTerms;
    ParameterState& p = gParams;
    t.TermXt = "";
    t.TermYt = "";
    p.ParamkurveTVon = -3.141592654;
    p.ParamkurveTBis = 3.141592654;
    p.ParamkurveTSchrittweite = 0.006283185308;
    TransferConstants();
    // No slot of the curve is drawn; the next one ticked is black.
    DialogFarbe = 0;
    LoeschenClick();
}

}  // namespace kalvo
