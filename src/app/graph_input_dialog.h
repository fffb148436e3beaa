#pragma once
// The skeleton of the dialogs that edit what the graph draws: the function
// family, the piecewise function, the parametric curves and the options.
// Their term and number fields edit working copies of shared values: the
// first show and "Vorgabe" load field and copy from the shared state,
// leaving a field reads it into its copy, "OK" checks and then transfers the
// copies. Every close redraws the main graph: slot boxes, lists and
// "Vorgabe" have written the shared state before any "OK". What differs
// between the dialogs, their fields and defaults, each gives as data.

#include <optional>
#include <string>
#include <vector>

#include "dialog_base.h"
#include "program_state.h"

class QLineEdit;
class QSlider;

namespace kalvo {

class SlotBoxes;
class TBitCheckBox;
class TermEdit;
class TSpectrumBox;

// A t range from von to bis by step with more members than a family may
// draw is refused: a message, and the focus in the step field. True when
// it was refused.
bool RefuseTooManyMembers(double von, double bis, double step, TermEdit* stepField);

class GraphInputDialog : public KalvoDialog {
    Q_OBJECT
public:
    using KalvoDialog::KalvoDialog;

    // "OK": the focused field and the dialog's checks first, then the values
    // into the shared state (and the spectrum choice, where there is one),
    // then the dialog closes.
    void OkClick();
    // "Vorgabe": the dialog's defaults into the shared state, then the
    // controls loaded from it as on opening.
    void VorgabeClick();
    // "löschen": every graph slot of the dialog off.
    void LoeschenClick();

    SlotBoxes& Slots() const { return *slots_; }

protected:
    // A term field and the term it edits.
    struct TermField {
        TermEdit* edit;
        Funktionsterm* shared;
    };
    // A number field, its working copy and the shared value it edits (the
    // fallback while the field holds a term without a value). A field with
    // a check of its own reads itself.
    struct NumberField {
        TermEdit* edit;
        double* working;
        double* shared;
        bool ownCheck = false;
    };
    // The parameter-list field, the working list text and the list with its
    // values.
    struct ListField {
        TermEdit* edit;
        std::string* working;
        Funktionsterm* shared;
        ParameterWerteFeld* values;
    };
    // The spectrum choice: the track bar with its preview and the glyph boxes
    // "Farbspektrum für Parameterwerte" and "Parameterwerte aus der Liste holen".
    struct SpectrumControls {
        QSlider* trackBar;
        TSpectrumBox* preview;
        TBitCheckBox* parameter;
        TBitCheckBox* fromList;
    };
    struct Fields {
        std::vector<TermField> terms;
        // How a term field is read when it is left.
        bool (*readTerm)(QLineEdit*) = nullptr;
        std::vector<NumberField> numbers;
        std::optional<ListField> list;
        // The constants a to d, transferred after the list.
        std::vector<NumberField> constants;
    };

    // Given once by the constructor. Leaving a field reads it: a term is
    // compiled, a number goes to its working copy, a list is parsed into
    // the shared values at once.
    void SetFields(Fields fields);
    void SetSlotBoxes(SlotBoxes* boxes) { slots_ = boxes; }
    void SetSpectrumControls(const SpectrumControls& spectrum);

    // The spectrum choice, the fields and the slot boxes from the shared
    // state, the focus in the first term field.
    void LoadControls() override;
    // Terms, numbers and list from the shared state into the fields and
    // their working copies; the same without the terms.
    void LoadFields();
    void LoadNumberFields();
    // The constants a to d as the dialog's fields hold them.
    void TransferConstants();

    // Every term compiles; the first that does not is read again, which
    // shows its message and puts the focus there. Dialogs add checks.
    virtual bool ReadyToCommit();
    // Terms, numbers, list and constants into the shared state.
    virtual void Werteuebergeben();
    virtual void Vorgabe() {}

    void done(int result) override;

private:
    Fields fields_;
    SlotBoxes* slots_ = nullptr;
    std::optional<SpectrumControls> spectrum_;
};

}  // namespace kalvo
