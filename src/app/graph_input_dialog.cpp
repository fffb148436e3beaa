#include "graph_input_dialog.h"

#include <QSlider>
#include <algorithm>

#include "bit_check_box.h"
#include "edit_field.h"
#include "family_widgets.h"
#include "graph_host.h"
#include "message_sink.h"
#include "number_text.h"
#include "object_lists.h"
#include "parameter_list.h"
#include "slot_marks.h"
#include "term.h"

namespace kalvo {

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

void GraphInputDialog::OkClick() {
    if (!CommitFocusedField() || !ReadyToCommit()) return;
    Werteuebergeben();
    if (spectrum_) {
        gDisplay.FarbspektrumNummer = spectrum_->trackBar->value();
        gDisplay.FarbspektrumParameter = spectrum_->parameter->Checked();
        gTerms.ParameterAusListe = spectrum_->fromList->Checked();
    }
    accept();
}

void GraphInputDialog::VorgabeClick() {
    Vorgabe();
    gControl.ErstesZeichnen = true;
    LoadControls();
}

void GraphInputDialog::LoeschenClick() {
    if (slots_) slots_->LoeschenAll();
}

void GraphInputDialog::done(int result) {
    KalvoDialog::done(result);
    Host().RedrawMainGraph(true);
}

void GraphInputDialog::SetFields(Fields fields) {
    fields_ = std::move(fields);
    for (const TermField& f : fields_.terms)
        connect(f.edit, &TermEdit::fieldLeft, this, [e = f.edit, read = fields_.readTerm] { read(e); });
    for (const auto* numbers : {&fields_.numbers, &fields_.constants})
        for (const NumberField& f : *numbers)
            if (!f.ownCheck)
                connect(f.edit, &TermEdit::fieldLeft, this, [f] { ReadNumberEdit(f.edit, *f.working, *f.shared); });
    if (!fields_.list) return;
    connect(fields_.list->edit, &TermEdit::fieldLeft, this, [list = *fields_.list] {
        TermEdit* e = list.edit;
        Funktionsterm typed = FieldTerm(e);
        const std::string text = TermFieldText(typed.str());
        ReadParameterliste(typed, *list.values);
        if (gTerms.ParameterListeFehler) {
            // The refused entry stays in the field, so that it can be mended there.
            *list.working = CutToChars(text, kTermChars);
            e->setText(QString::fromStdString(*list.working));
            e->MarkCheckFailed();
            e->setFocus(Qt::OtherFocusReason);
            return;
        }
        *list.working = typed.str();
        e->setText(QString::fromStdString(*list.working));
    });
}

void GraphInputDialog::SetSpectrumControls(const SpectrumControls& spectrum) {
    spectrum_ = spectrum;
    connect(spectrum.trackBar, &QSlider::valueChanged, spectrum.preview, &TSpectrumBox::SetSpectrum);
}

void GraphInputDialog::LoadControls() {
    gControl.ErstesZeichnen = false;
    if (spectrum_) {
        spectrum_->trackBar->setValue(gDisplay.FarbspektrumNummer);
        // The preview shows what OK stores: a track bar may end before the last spectrum.
        spectrum_->preview->SetSpectrum(spectrum_->trackBar->value());
        spectrum_->parameter->SetChecked(gDisplay.FarbspektrumParameter);
        spectrum_->fromList->SetChecked(gTerms.ParameterAusListe);
    }
    LoadFields();
    if (slots_) slots_->InitMarkierungen();
    if (fields_.terms.empty()) return;
    TermEdit* first = fields_.terms.front().edit;
    first->selectAll();
    first->setFocus(Qt::OtherFocusReason);
}

void GraphInputDialog::LoadFields() {
    for (const TermField& f : fields_.terms) f.edit->setText(QString::fromStdString(f.shared->str()));
    LoadNumberFields();
}

void GraphInputDialog::LoadNumberFields() {
    for (const auto* numbers : {&fields_.numbers, &fields_.constants})
        for (const NumberField& f : *numbers) {
            f.edit->setText(NumberFieldText(*f.shared));
            *f.working = *f.shared;
        }
    if (!fields_.list) return;
    *fields_.list->working = fields_.list->shared->str();
    fields_.list->edit->setText(QString::fromStdString(*fields_.list->working));
}

void GraphInputDialog::TransferConstants() {
    for (const NumberField& f : fields_.constants) *f.shared = *f.working;
}

bool GraphInputDialog::ReadyToCommit() {
    // A term that does not compile would fail every redraw that follows.
    for (const TermField& f : fields_.terms) {
        bool ok = false;
        {
            QuietParsing quiet;
            ok = ParseTerm(FunktionTermbaum, FieldTerm(f.edit), true);
        }
        if (!ok) {
            ReadFunktionstermEdit(f.edit);
            return false;
        }
    }
    return true;
}

void GraphInputDialog::Werteuebergeben() {
    for (const TermField& f : fields_.terms) *f.shared = FieldTerm(f.edit);
    for (const NumberField& f : fields_.numbers) *f.shared = *f.working;
    if (fields_.list) {
        const ListField& list = *fields_.list;
        *list.shared = *list.working;
        // The field has already reported a bad entry when it was left.
        QuietParsing quiet;
        ReadParameterliste(*list.shared, *list.values);
    }
    TransferConstants();
}

}  // namespace kalvo
