#include "family_dialog.h"

#include "term_tree_window.h"

#include <QCheckBox>

#include "app_resources.h"
#include "bit_check_box.h"
#include "color_button.h"
#include "draw_combo_box.h"
#include "edit_field.h"
#include "family_widgets.h"
#include "function_list.h"
#include "graph_host.h"
#include "graph_link.h"
#include "message_sink.h"
#include "number_text.h"
#include "object_lists.h"
#include "slot_marks.h"
#include "store_view.h"
#include "term_help.h"
#include "ui_family_dialog.h"

namespace kalvo {

Color TForm2::DialogFarbe = 0;

TForm2::TForm2(QWidget* parent) : GraphInputDialog(parent), ui_(std::make_unique<Ui::TForm2>()) {
    ui_->setupUi(this);
    ApplyGlyphs(this);
    SetArrowKeysMoveFocus(true);

    for (TermEdit* e : {ui_->Edit3, ui_->Edit4, ui_->Edit5, ui_->Edit6, ui_->Edit7, ui_->Edit12, ui_->Edit13,
                        ui_->Edit14, ui_->Edit15, ui_->Edit16, ui_->Edit17, ui_->Edit18, ui_->Edit19})
        e->setKind(TermEdit::Kind::Number);
    for (TermEdit* e : {ui_->Edit9, ui_->Edit10, ui_->Edit11}) {
        e->setKind(TermEdit::Kind::Number);
        e->setMaxLength(3);
    }

    std::vector<QCheckBox*> boxes;
    for (int i = 1; i <= kFamilySlots; ++i) boxes.push_back(findChild<QCheckBox*>(QStringLiteral("CheckBox%1").arg(i)));
    SetSlotBoxes(new SlotBoxes(this, 1, boxes, ui_->PaintBox1, ui_->ColorButton1, ui_->LineWidthComboBox1, DialogFarbe));

    ViewWindowState& v = gView;
    ParameterState& p = gParams;
    TermState& t = gTerms;
    SetFields({.terms = {{ui_->Edit1, &t.TermF}, {ui_->Edit2, &t.TermG}},
               .readTerm = ReadFunktionstermEdit,
               .numbers = {{ui_->Edit3, &w_.von, &v.FgZeichenbereichVon},
                           {ui_->Edit4, &w_.bis, &v.FgZeichenbereichBis},
                           {ui_->Edit5, &w_.tVon, &p.FgTVon},
                           {ui_->Edit6, &w_.tBis, &p.FgTBis},
                           {ui_->Edit7, &w_.tSchritt, &p.FgTSchrittweite},
                           {ui_->Edit12, &w_.xo, &v.IntegralfunktionXo},
                           {ui_->Edit13, &w_.u1, &v.GeradeU1},
                           {ui_->Edit17, &w_.u2, &v.GeradeU2},
                           {ui_->Edit18, &w_.u3, &v.GeradeU3}},
               .list = ListField{ui_->Edit8, &w_.liste, &t.ParameterListe, &t.ParameterWerte},
               .constants = {{ui_->Edit14, &w_.a, &t.KonstanteA},
                             {ui_->Edit15, &w_.b, &t.KonstanteB},
                             {ui_->Edit16, &w_.c, &t.KonstanteC},
                             {ui_->Edit19, &w_.d, &t.KonstanteD}}});
    ConnectInteger(ui_->Edit9, w_.nVon, 0);
    ConnectInteger(ui_->Edit10, w_.nBis, 0);
    ConnectInteger(ui_->Edit11, w_.nSchritt, 1);
    SetSpectrumControls({ui_->TrackBar1, ui_->PaintBox2, ui_->BitCheckBox1, ui_->BitCheckBox2});
    connect(ui_->CheckBox23, &TBitCheckBox::OnClick, this, &TForm2::FestlegenClick);

    connect(ui_->BitBtn2, &QPushButton::clicked, this, &TForm2::OkClick);
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->BitBtn4, &QPushButton::clicked, this, &TForm2::VorgabeClick);
    connect(ui_->SpeedButton4, &QToolButton::clicked, this, &TForm2::LoeschenClick);
    connect(ui_->BitBtn5, &QToolButton::clicked, this, &TForm2::AblegenClick);
    connect(ui_->BitBtn6, &QToolButton::clicked, this, &TForm2::LetztenLoeschenClick);
    connect(ui_->SpeedButton11, &QToolButton::clicked, this, &TForm2::AlleLoeschenClick);
    connect(ui_->SpeedButton5, &QToolButton::clicked, this, [this] { (new TForm4(this))->open(); });
    connect(ui_->SpeedButton6, &QToolButton::clicked, this, [this] { (new TForm18(this))->open(); });
    connect(ui_->SpeedButton9, &QToolButton::clicked, this, [this] { (new TForm20(this))->open(); });
    connect(ui_->BitBtn3, &QToolButton::clicked, this, &TForm2::TermbaumClick);
}

TForm2::~TForm2() = default;

void TForm2::TermbaumClick() {
    // The tree shows the term the user sees in the field, not the one
    // compiled last; afterwards both texts count as entered, and the fields
    // show them as Enter would have.
    auto takeTerms = [this] {
        for (auto [edit, term] : {std::pair{ui_->Edit1, &gTerms.TermF}, std::pair{ui_->Edit2, &gTerms.TermG}}) {
            *term = TermFieldText(FieldTerm(edit));
            edit->setText(ShownTerm(term->str()));
        }
    };
    takeTerms();
    auto* tree = new TForm19(this);
    tree->setAttribute(Qt::WA_DeleteOnClose);
    connect(tree, &QDialog::finished, this, takeTerms);
    tree->open();
}

QCheckBox* TForm2::SlotBox(int slot) const { return Slots().Box(slot); }

void TForm2::ConnectInteger(TermEdit* edit, int& working, int fallback) {
    connect(edit, &TermEdit::fieldLeft, this, [edit, &working, fallback] {
        if (!ReadIntegerEdit(edit, working)) working = fallback;
        edit->setText(QString::fromStdString(IntToText(working)));
    });
}

void TForm2::FestlegenClick() {
    const bool fest = ui_->CheckBox23->Checked();
    ui_->Edit3->setEnabled(fest);
    ui_->Edit4->setEnabled(fest);
    gView.FgZeichenbereichAuto = !fest;
}

void TForm2::LoadControls() {
    GraphInputDialog::LoadControls();
    LoadSummenFelder();
    const bool fest = !gView.FgZeichenbereichAuto;
    ui_->Edit3->setEnabled(fest);
    ui_->Edit4->setEnabled(fest);
    ui_->CheckBox23->SetChecked(fest);
    UpdateStoreButtons();
}

void TForm2::LoadSummenFelder() {
    const ParameterState& p = gParams;
    w_.nVon = p.FgSummeVon;
    w_.nBis = p.FgSummeBis;
    w_.nSchritt = p.FgSummeSchrittweite;
    ui_->Edit9->setText(QString::fromStdString(IntToText(w_.nVon)));
    ui_->Edit10->setText(QString::fromStdString(IntToText(w_.nBis)));
    ui_->Edit11->setText(QString::fromStdString(IntToText(w_.nSchritt)));
}

void TForm2::UpdateStoreButtons() {
    const bool any = !gFunktionenspeicher.Empty();
    ui_->SpeedButton9->setEnabled(any);
    ui_->SpeedButton11->setEnabled(any);
    ui_->BitBtn6->setEnabled(any);
}

bool TForm2::ReadyToCommit() {
    return !RefuseTooManyMembers(w_.tVon, w_.tBis, w_.tSchritt, ui_->Edit7) && GraphInputDialog::ReadyToCommit();
}

void TForm2::Werteuebergeben() {
    GraphInputDialog::Werteuebergeben();
    ParameterState& p = gParams;
    p.FgSummeVon = w_.nVon;
    p.FgSummeBis = w_.nBis;
    p.FgSummeSchrittweite = w_.nSchritt;
    if (p.FgTSchrittweite < 0) p.FgTSchrittweite = -p.FgTSchrittweite;
    if (p.FgTVon > p.FgTBis) SwapReal(p.FgTVon, p.FgTBis);
}

void FamilienVorgabe() {
    TermState& t = gTerms;
    ViewWindowState& v = gView;
    ParameterState& p = gParams;
    t.TermF = "";
    t.TermG = "";
    for (Listenterm& l : t.Listenterme) l = "";
    v.BereichX1 = -8;
    v.BereichX2 = 8;
    v.BereichY1 = -8;
    v.BereichY2 = 8;
    v.FgZeichenbereichVon = -8;
    v.FgZeichenbereichBis = 8;
    p.FgTVon = 0;
    p.FgTBis = 0;
    p.FgTSchrittweite = 1;
    p.FgSummeVon = 0;
    p.FgSummeBis = 0;
    p.FgSummeSchrittweite = 1;
    v.IntegralfunktionXo = 0;
    v.GeradeU1 = 0;
    gDisplay.Koordinatensystem.xAchsentext = "x";
    gDisplay.Koordinatensystem.yAchsentext = "y";
    t.KonstanteA = t.KonstanteB = t.KonstanteC = t.KonstanteD = 1;
}

void TForm2::Vorgabe() {
    AlleLoeschenClick();
    FamilienVorgabe();
    gView.GeradeU2 = 0;
    gView.GeradeU3 = 0;
    gTerms.ParameterListe = "";

    // Only f is drawn, black and one pixel wide.
    LoeschenClick();
    DialogFarbe = 0;
    ui_->ColorButton1->SetSelectionColor(0);
    ui_->LineWidthComboBox1->SetLineWidth(1);
    SlotBox(1)->setChecked(true);
    Slots().Markieren(1);
}

void TForm2::AblegenClick() {
    if (!CommitFocusedField()) return;
    if (ui_->Edit1->text().isEmpty() && ui_->Edit2->text().isEmpty()) return;
    if (gFunktionenspeicher.Count() >= SpeicherListe::kMaxCount) {
        ShowMessage("Der Funktionenspeicher ist voll: Er fasst höchstens " + IntToText(SpeicherListe::kMaxCount) +
                        " Funktionssätze.",
                    MessageKind::Error);
        return;
    }
    if (!ReadyToCommit()) return;
    Werteuebergeben();
    // A stored set is drawn as it is: its ranges go through the same repair
    // as those of every redraw, so it can never carry a step of zero.
    UpdateAxesAndTransform();
    Host().FunktionstermeInListe(1);
    UpdateStoreButtons();
    // The fields show the ranges as they were stored.
    LoadNumberFields();
    LoadSummenFelder();
}

void TForm2::LetztenLoeschenClick() {
    gFunktionenspeicher.Delete(1);
    UpdateStoreButtons();
    if (gFunktionenspeicher.Empty()) return;
    Host().FunktionstermeAusListe(1);
    Slots().InitMarkierungen();
    LoadFields();
    LoadSummenFelder();
    ui_->Edit1->selectAll();
    ui_->Edit1->setFocus(Qt::OtherFocusReason);
}

void TForm2::AlleLoeschenClick() {
    while (!gFunktionenspeicher.Empty()) gFunktionenspeicher.Delete(1);
    UpdateStoreButtons();
}

}  // namespace kalvo
