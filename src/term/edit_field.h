#pragma once
// The edit field every dialog uses, and the readers that turn a field's text
// into a number or a compiled term.

#include <QLineEdit>

#include <string>
#include <string_view>

namespace kalvo {

// A term and number field. It shows the pi sign as π whatever text it is
// given (the program keeps the internal sign; FieldTerm reads it back) and
// turns a typed "." into the decimal comma. A text field (an axis title)
// shows and keeps its text as it is.
class TermEdit : public QLineEdit {
    Q_OBJECT
public:
    enum class Kind { Term, Number, Text };

    explicit TermEdit(QWidget* parent = nullptr, Kind kind = Kind::Term);

    Kind kind() const { return kind_; }
    void setKind(Kind kind);
    // Whether a typed "." becomes ","; on for terms and numbers, off for text.
    // The function list keeps the keys as typed.
    bool decimalComma() const { return decimalComma_; }
    void setDecimalComma(bool on);

    // Runs "field left" now, as OK does for the focused field before it commits.
    void commitField();
    // The same, telling whether the field's check passed (the dialog base
    // finds it by name, so that any field with a check of its own may answer).
    Q_INVOKABLE bool leaveField();
    // Called by the readers (and by dialog handlers with checks of their own)
    // when the text just checked was refused.
    void MarkCheckFailed() { checkPassed_ = false; }

signals:
    // The user has left the field: time to read and check it.
    void fieldLeft();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    Kind kind_;
    bool decimalComma_ = true;
    bool leaving_ = false;
    bool checkPassed_ = true;
};

// The term a field shows, with the internal pi sign: what the program
// computes with and stores.
std::string FieldTerm(const QLineEdit* edit);
// A term as lists, tables and titles show it (pi as π).
QString ShownTerm(std::string_view term);

// A number as every number field shows it: the configured decimals, decimal comma.
QString NumberFieldText(double x);

// An integer field: a whole number with an optional sign and blanks around
// it. False, with value untouched, for anything else.
bool ReadIntegerEdit(const QLineEdit* edit, int& value);

// A number field holds a constant term. On success `value` is its value and
// the field shows it with the configured decimals; where the term is undefined
// `value` and the field take `def`. After a syntax error both stay as they
// were and the field has the focus with the caret at the error. True only
// when the field's own value was taken.
bool ReadNumberEdit(QLineEdit* edit, double& value, double def);

// Term fields: the field shows the normalised term, which is compiled into
// its tree. After a syntax error the field keeps its text and gets the focus
// with the caret at the error, the tree is "0" and gTerms.TermOK stays false.
bool ReadFunktionstermEdit(QLineEdit* edit);
// z(x, y) of the 3D window; an empty field changes nothing.
bool ReadSurfaceTermEdit(QLineEdit* edit);
// The components of a parametric surface (terms in a and b); an empty field changes nothing.
bool ReadParamTermEdit1(QLineEdit* edit);
bool ReadParamTermEdit2(QLineEdit* edit);
bool ReadParamTermEdit3(QLineEdit* edit);

}  // namespace kalvo
