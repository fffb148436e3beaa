#pragma once
// The skeleton of the dialogs that edit what the graph draws: the function
// family, the piecewise function, the parametric curves and the options.
// Their term and number fields edit working copies of shared values: the
// first show and "Vorgabe" load field and copy from the shared state,
// leaving a field reads it into its copy, "OK" checks and then transfers the
// copies. Every close redraws the main graph: slot boxes, lists and
// "Vorgabe" have written the shared state before any "OK".

#include <QObject>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "dialog_base.h"
#include "program_state.h"

class QLineEdit;
class QSlider;

namespace kalvo {

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

protected:
    // A term field and the term it edits.
    struct TermField {
        TermEdit* edit;
        Funktionsterm* shared;
    };
    // A number field, its working copy and the shared value it edits (the
    // fallback while the field holds a term without a value).
    struct NumberField {
        TermEdit* edit;
        double* working;
        double* shared;
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
    using TermFields = std::vector<TermField>;
    using NumberFields = std::vector<NumberField>;

    // Leaving a field reads it: a term is compiled, a number goes to its
    // working copy, a list is parsed into the shared values at once.
    void ConnectTerms(const TermFields& fields, bool (*read)(QLineEdit*));
    void ConnectNumbers(const NumberFields& fields);
    void ConnectList(const ListField& list);
    static void LoadTerms(const TermFields& fields);
    static void LoadNumbers(const NumberFields& fields);
    static void LoadList(const ListField& list);
    static void TransferTerms(const TermFields& fields);
    static void TransferNumbers(const NumberFields& fields);
    static void TransferList(const ListField& list);
    // Every term compiles; the first that does not is read again, which
    // shows its message and puts the focus there.
    static bool TermsCompile(const TermFields& fields);

    void SetSpectrumControls(const SpectrumControls& spectrum);
    void LoadSpectrum();

    // What each dialog adds: checks after the focused field's, the transfer
    // of its fields, its defaults.
    virtual bool ReadyToCommit() { return true; }
    virtual void Werteuebergeben() {}
    virtual void Vorgabe() {}

    void done(int result) override;

private:
    std::optional<SpectrumControls> spectrum_;
};

}  // namespace kalvo
