#include "piecewise_dialog.h"

#include <QCheckBox>

#include "app_resources.h"
#include "bit_check_box.h"
#include "color_button.h"
#include "draw_combo_box.h"
#include "edit_field.h"
#include "family_widgets.h"
#include "slot_marks.h"
#include "term_help.h"
#include "ui_piecewise_dialog.h"

namespace kalvo {

Color TForm6::DialogFarbe = 0;

TForm6::TForm6(QWidget* parent) : GraphInputDialog(parent), ui_(std::make_unique<Ui::TForm6>()) {
    ui_->setupUi(this);
    ApplyGlyphs(this);
    SetArrowKeysMoveFocus(true);

    for (TermEdit* e : {ui_->Edit5, ui_->Edit6, ui_->Edit7, ui_->Edit8, ui_->Edit9, ui_->Edit10, ui_->Edit11,
                        ui_->Edit12, ui_->Edit13, ui_->Edit14, ui_->Edit15, ui_->Edit17, ui_->Edit18, ui_->Edit19,
                        ui_->Edit20})
        e->setKind(TermEdit::Kind::Number);

    SetSlotBoxes(new SlotBoxes(this, kPiecewiseFirstSlot,
                               {ui_->CheckBox1, ui_->CheckBox2, ui_->CheckBox3, ui_->CheckBox4}, ui_->PaintBox1,
                               ui_->ColorButton1, ui_->LineWidthComboBox1, DialogFarbe));

    ViewWindowState& v = gView;
    ParameterState& p = gParams;
    TermState& t = gTerms;
    SetFields({.terms = {{ui_->Edit1, &t.TermH1}, {ui_->Edit2, &t.TermH2}, {ui_->Edit3, &t.TermH3},
                         {ui_->Edit4, &t.TermH4}},
               .readTerm = ReadFunktionstermEdit,
               .numbers = {{ui_->Edit5, &w_.von[0], &v.H1Von},
                           {ui_->Edit6, &w_.bis[0], &v.H1Bis},
                           {ui_->Edit7, &w_.von[1], &v.H2Von},
                           {ui_->Edit8, &w_.bis[1], &v.H2Bis},
                           {ui_->Edit9, &w_.von[2], &v.H3Von},
                           {ui_->Edit10, &w_.bis[2], &v.H3Bis},
                           {ui_->Edit11, &w_.von[3], &v.H4Von},
                           {ui_->Edit12, &w_.bis[3], &v.H4Bis},
                           {ui_->Edit13, &w_.tVon, &p.HTVon},
                           {ui_->Edit14, &w_.tBis, &p.HTBis},
                           {ui_->Edit15, &w_.tSchritt, &p.HTSchrittweite}},
               .list = ListField{ui_->Edit16, &w_.liste, &t.ParameterListe2, &t.ParameterWerte2},
               .constants = {{ui_->Edit17, &w_.a, &t.KonstanteA},
                             {ui_->Edit18, &w_.b, &t.KonstanteB},
                             {ui_->Edit19, &w_.c, &t.KonstanteC},
                             {ui_->Edit20, &w_.d, &t.KonstanteD}}});
    SetSpectrumControls({ui_->TrackBar1, ui_->PaintBox2, ui_->BitCheckBox1, ui_->BitCheckBox2});

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

bool TForm6::ReadyToCommit() {
    return !RefuseTooManyMembers(w_.tVon, w_.tBis, w_.tSchritt, ui_->Edit15) && GraphInputDialog::ReadyToCommit();
}

void TForm6::Vorgabe() {
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
    TransferConstants();
    DialogFarbe = 0;
    LoeschenClick();
}

}  // namespace kalvo
