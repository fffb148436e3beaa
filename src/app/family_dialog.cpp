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
#include "parameter_list.h"
#include "store_view.h"
#include "term.h"
#include "term_help.h"
#include "ui_family_dialog.h"

namespace kalvo {

Color TForm2::DialogFarbe = 0;

bool RefuseTooManyMembers(double von, double bis, double step, TermEdit* stepField) {
    // Every member of a family is drawn in every redraw; OK puts the range in order first.
    if (!(FamilyMemberCount({std::min(von, bis), std::max(von, bis), step}) > kMaxFamilyMembers)) return false;
    ShowMessage("Mit dieser Schrittweite hätte die Schar mehr als " + IntToText(kMaxFamilyMembers) +
                    " Kurven. Bitte eine größere Schrittweite für t eingeben.",
                MessageKind::Error);
    stepField->selectAll();
    stepField->setFocus(Qt::OtherFocusReason);
    return true;
}

TForm2::TForm2(QWidget* parent) : KalvoDialog(parent), ui_(std::make_unique<Ui::TForm2>()) {
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
    for (int i = 1; i <= kFamilySlots; ++i) boxes.push_back(SlotBox(i));
    ui_->PaintBox1->SetCheckBoxes(boxes);
    for (int i = 1; i <= kFamilySlots; ++i) {
        connect(SlotBox(i), &QCheckBox::clicked, this, [this, i](bool ticked) {
            if (initialising_) return;
            if (ticked)
                Markieren(i);
            else
                Loeschen(i);
        });
    }

    ConnectFields();
    connect(ui_->CheckBox23, &TBitCheckBox::OnClick, this, &TForm2::FestlegenClick);
    connect(ui_->TrackBar1, &QSlider::valueChanged, ui_->PaintBox2, &TSpectrumBox::SetSpectrum);
    connect(ui_->ColorButton1, &TColorButton::OnChange, this, &TForm2::ColorChanged);

    connect(ui_->BitBtn2, &QPushButton::clicked, this, &TForm2::OkClick);
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->BitBtn4, &QPushButton::clicked, this, &TForm2::VorgabeClick);
    connect(ui_->SpeedButton4, &QToolButton::clicked, this, &TForm2::LoeschenClick);
    connect(ui_->BitBtn5, &QToolButton::clicked, this, &TForm2::StoreClick);
    connect(ui_->BitBtn6, &QToolButton::clicked, this, &TForm2::DeleteNewestClick);
    connect(ui_->SpeedButton11, &QToolButton::clicked, this, &TForm2::DeleteAllClick);
    connect(ui_->SpeedButton5, &QToolButton::clicked, this, [this] { (new TForm4(this))->open(); });
    connect(ui_->SpeedButton6, &QToolButton::clicked, this, [this] { (new TForm18(this))->open(); });
    connect(ui_->SpeedButton9, &QToolButton::clicked, this, [this] { (new TForm20(this))->open(); });
    connect(ui_->BitBtn3, &QToolButton::clicked, this, &TForm2::TermbaumClick);
}

TForm2::~TForm2() = default;

void TForm2::TermbaumClick() {
    // The tree shows the term the user sees in the field, not the one
    // compiled last; afterwards both texts count as entered.
    auto takeTerms = [this] {
        gTerms.TermF = FieldTerm(ui_->Edit1);
        gTerms.TermG = FieldTerm(ui_->Edit2);
    };
    takeTerms();
    auto* tree = new TForm19(this);
    tree->setAttribute(Qt::WA_DeleteOnClose);
    connect(tree, &QDialog::finished, this, takeTerms);
    tree->open();
}

QCheckBox* TForm2::SlotBox(int slot) const {
    return findChild<QCheckBox*>(QStringLiteral("CheckBox%1").arg(slot));
}

void TForm2::ConnectFields() {
    for (TermEdit* e : {ui_->Edit1, ui_->Edit2})
        connect(e, &TermEdit::fieldLeft, this, [e] { ReadFunktionstermEdit(e); });
    const ViewWindowState& v = gView;
    const ParameterState& p = gParams;
    const TermState& t = gTerms;
    ConnectNumber(ui_->Edit3, w_.von, v.FgZeichenbereichVon);
    ConnectNumber(ui_->Edit4, w_.bis, v.FgZeichenbereichBis);
    ConnectNumber(ui_->Edit5, w_.tVon, p.FgTVon);
    ConnectNumber(ui_->Edit6, w_.tBis, p.FgTBis);
    ConnectNumber(ui_->Edit7, w_.tSchritt, p.FgTSchrittweite);
    ConnectNumber(ui_->Edit12, w_.xo, v.IntegralfunktionXo);
    ConnectNumber(ui_->Edit13, w_.u1, v.GeradeU1);
    ConnectNumber(ui_->Edit17, w_.u2, v.GeradeU2);
    ConnectNumber(ui_->Edit18, w_.u3, v.GeradeU3);
    ConnectNumber(ui_->Edit14, w_.a, t.KonstanteA);
    ConnectNumber(ui_->Edit15, w_.b, t.KonstanteB);
    ConnectNumber(ui_->Edit16, w_.c, t.KonstanteC);
    ConnectNumber(ui_->Edit19, w_.d, t.KonstanteD);
    ConnectInteger(ui_->Edit9, w_.nVon, 0);
    ConnectInteger(ui_->Edit10, w_.nBis, 0);
    ConnectInteger(ui_->Edit11, w_.nSchritt, 1);
    connect(ui_->Edit8, &TermEdit::fieldLeft, this, &TForm2::ParameterListeVerlassen);
}

void TForm2::ConnectNumber(TermEdit* edit, double& working, const double& shared) {
    connect(edit, &TermEdit::fieldLeft, this, [edit, &working, &shared] { ReadNumberEdit(edit, working, shared); });
}

void TForm2::ConnectInteger(TermEdit* edit, int& working, int fallback) {
    connect(edit, &TermEdit::fieldLeft, this, [edit, &working, fallback] {
        if (!ReadIntegerEdit(edit, working)) working = fallback;
        edit->setText(QString::fromStdString(IntToText(working)));
    });
}

void TForm2::ParameterListeVerlassen() {
    TermEdit* e = ui_->Edit8;
    Funktionsterm list = FieldTerm(e);
    const std::string typed = TermFieldText(list.str());
    ReadParameterliste(list, gTerms.ParameterWerte);
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

void TForm2::FestlegenClick() {
    const bool fest = ui_->CheckBox23->Checked();
    ui_->Edit3->setEnabled(fest);
    ui_->Edit4->setEnabled(fest);
    gView.FgZeichenbereichAuto = !fest;
}

void TForm2::ColorChanged() {
    DialogFarbe = ui_->ColorButton1->SelectionColor();
    ui_->LineWidthComboBox1->SetLineColor(DialogFarbe);
}

void TForm2::LoadControls() {
    gControl.ErstesZeichnen = false;
    LoadSpectrumControls();
    LoadFields();
    RefreshControls();
}

void TForm2::LoadSpectrumControls() {
    const DisplayState& d = gDisplay;
    ui_->PaintBox2->SetSpectrum(d.FarbspektrumNummer);
    ui_->TrackBar1->setValue(d.FarbspektrumNummer);
    ui_->BitCheckBox1->SetChecked(d.FarbspektrumParameter);
    ui_->BitCheckBox2->SetChecked(gTerms.ParameterAusListe);
}

void TForm2::LoadFields() {
    ui_->Edit1->setText(QString::fromStdString(gTerms.TermF));
    ui_->Edit2->setText(QString::fromStdString(gTerms.TermG));
    LoadNumberFields();
    ui_->Edit1->selectAll();
    ui_->Edit1->setFocus(Qt::OtherFocusReason);
}

void TForm2::LoadNumberFields() {
    const ViewWindowState& v = gView;
    const ParameterState& p = gParams;
    const TermState& t = gTerms;
    const std::pair<TermEdit*, std::pair<double*, double>> numbers[] = {
        {ui_->Edit3, {&w_.von, v.FgZeichenbereichVon}}, {ui_->Edit4, {&w_.bis, v.FgZeichenbereichBis}},
        {ui_->Edit5, {&w_.tVon, p.FgTVon}},             {ui_->Edit6, {&w_.tBis, p.FgTBis}},
        {ui_->Edit7, {&w_.tSchritt, p.FgTSchrittweite}}, {ui_->Edit12, {&w_.xo, v.IntegralfunktionXo}},
        {ui_->Edit13, {&w_.u1, v.GeradeU1}},            {ui_->Edit17, {&w_.u2, v.GeradeU2}},
        {ui_->Edit18, {&w_.u3, v.GeradeU3}},            {ui_->Edit14, {&w_.a, t.KonstanteA}},
        {ui_->Edit15, {&w_.b, t.KonstanteB}},           {ui_->Edit16, {&w_.c, t.KonstanteC}},
        {ui_->Edit19, {&w_.d, t.KonstanteD}},
    };
    for (const auto& [edit, copy] : numbers) {
        edit->setText(NumberFieldText(copy.second));
        *copy.first = copy.second;
    }
    w_.liste = t.ParameterListe.str();
    ui_->Edit8->setText(QString::fromStdString(w_.liste));
    w_.nVon = p.FgSummeVon;
    w_.nBis = p.FgSummeBis;
    w_.nSchritt = p.FgSummeSchrittweite;
    ui_->Edit9->setText(QString::fromStdString(IntToText(w_.nVon)));
    ui_->Edit10->setText(QString::fromStdString(IntToText(w_.nBis)));
    ui_->Edit11->setText(QString::fromStdString(IntToText(w_.nSchritt)));
}

void TForm2::RefreshControls() {
    const bool fest = !gView.FgZeichenbereichAuto;
    ui_->Edit3->setEnabled(fest);
    ui_->Edit4->setEnabled(fest);
    ui_->CheckBox23->SetChecked(fest);
    initialising_ = true;
    InitMarkierungen();
    ui_->ColorButton1->SetSelectionColor(DialogFarbe);
    ui_->LineWidthComboBox1->SetLineColor(DialogFarbe);
    initialising_ = false;
    UpdateStoreButtons();
}

void TForm2::UpdateStoreButtons() {
    const bool any = !gFunktionenspeicher.Empty();
    ui_->SpeedButton9->setEnabled(any);
    ui_->SpeedButton11->setEnabled(any);
    ui_->BitBtn6->setEnabled(any);
}

void TForm2::InitMarkierungen() {
    for (int i = 1; i <= kFamilySlots; ++i) SlotBox(i)->setChecked(gDisplay.Schaubilder[static_cast<size_t>(i)].zeichnen);
    ui_->PaintBox1->update();
}

void TForm2::Markieren(int slot) {
    const int width = std::clamp(ui_->LineWidthComboBox1->LineWidth(), 1, 4);
    gDisplay.Schaubilder[static_cast<size_t>(slot)] = Schaubild{DialogFarbe, static_cast<uint8_t>(width - 1), true};
    ui_->PaintBox1->update();
}

void TForm2::Loeschen(int slot) {
    gDisplay.Schaubilder[static_cast<size_t>(slot)].zeichnen = false;
    ui_->PaintBox1->update();
}

void TForm2::LoeschenClick() {
    for (int i = 1; i <= kFamilySlots; ++i) Loeschen(i);
    InitMarkierungen();
}

bool TForm2::ReadyToCommit() {
    if (!CommitFocusedField()) return false;
    if (RefuseTooManyMembers(w_.tVon, w_.tBis, w_.tSchritt, ui_->Edit7)) return false;
    // A term that does not compile would fail every redraw that follows.
    for (TermEdit* e : {ui_->Edit1, ui_->Edit2}) {
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

void TForm2::TransferFields() {
    ViewWindowState& v = gView;
    ParameterState& p = gParams;
    TermState& t = gTerms;
    t.TermF = FieldTerm(ui_->Edit1);
    t.TermG = FieldTerm(ui_->Edit2);
    v.FgZeichenbereichVon = w_.von;
    v.FgZeichenbereichBis = w_.bis;
    v.GeradeU1 = w_.u1;
    v.IntegralfunktionXo = w_.xo;
    v.GeradeU2 = w_.u2;
    v.GeradeU3 = w_.u3;
    p.FgTVon = w_.tVon;
    p.FgTBis = w_.tBis;
    p.FgTSchrittweite = w_.tSchritt;
    p.FgSummeVon = w_.nVon;
    p.FgSummeBis = w_.nBis;
    p.FgSummeSchrittweite = w_.nSchritt;
    if (p.FgTSchrittweite < 0) p.FgTSchrittweite = -p.FgTSchrittweite;
    if (p.FgTVon > p.FgTBis) SwapReal(p.FgTVon, p.FgTBis);
    t.ParameterListe = w_.liste;
    {
        // The field has already reported a bad entry when it was left.
        QuietParsing quiet;
        ReadParameterliste(t.ParameterListe, t.ParameterWerte);
    }
    t.KonstanteA = w_.a;
    t.KonstanteB = w_.b;
    t.KonstanteC = w_.c;
    t.KonstanteD = w_.d;
}

void TForm2::OkClick() {
    if (!ReadyToCommit()) return;
    TransferFields();
    gDisplay.FarbspektrumNummer = ui_->TrackBar1->value();
    gDisplay.FarbspektrumParameter = ui_->BitCheckBox1->Checked();
    gTerms.ParameterAusListe = ui_->BitCheckBox2->Checked();
    accept();
}

void TForm2::done(int result) {
    KalvoDialog::done(result);
    // Whatever the dialog has written so far (slots, store, "Vorgabe")
    // shows, also after "Abbrechen".
    Host().RedrawMainGraph(true);
}

void TForm2::VorgabeClick() {
    DeleteAllClick();
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
    v.GeradeU2 = 0;
    v.GeradeU3 = 0;
    t.ParameterListe = "";
    gDisplay.Koordinatensystem.xAchsentext = "x";
    gDisplay.Koordinatensystem.yAchsentext = "y";
    t.KonstanteA = t.KonstanteB = t.KonstanteC = t.KonstanteD = 1;

    LoeschenClick();
    DialogFarbe = 0;
    ui_->ColorButton1->SetSelectionColor(0);
    ui_->LineWidthComboBox1->SetLineWidth(1);
    SlotBox(1)->setChecked(true);
    Markieren(1);

    gControl.ErstesZeichnen = true;
    LoadControls();
}

void TForm2::StoreClick() {
    if (!CommitFocusedField()) return;
    if (ui_->Edit1->text().isEmpty() && ui_->Edit2->text().isEmpty()) return;
    if (gFunktionenspeicher.Count() >= SpeicherListe::kMaxCount) {
        ShowMessage("Der Funktionenspeicher ist voll: Er fasst höchstens " + IntToText(SpeicherListe::kMaxCount) +
                        " Funktionssätze.",
                    MessageKind::Error);
        return;
    }
    if (!ReadyToCommit()) return;
    TransferFields();
    // A stored set is drawn as it is: its ranges go through the same repair
    // as those of every redraw, so it can never carry a step of zero.
    UpdateAxesAndTransform();
    Host().FunktionstermeInListe(1);
    UpdateStoreButtons();
    // The fields show the ranges as they were stored.
    LoadNumberFields();
}

void TForm2::DeleteNewestClick() {
    gFunktionenspeicher.Delete(1);
    UpdateStoreButtons();
    if (gFunktionenspeicher.Empty()) return;
    Host().FunktionstermeAusListe(1);
    initialising_ = true;
    InitMarkierungen();
    initialising_ = false;
    LoadFields();
}

void TForm2::DeleteAllClick() {
    while (!gFunktionenspeicher.Empty()) gFunktionenspeicher.Delete(1);
    UpdateStoreButtons();
}

}  // namespace kalvo
