#include "edit_field.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QValidator>

#include "number_text.h"
#include "program_state.h"
#include "term.h"

namespace kalvo {

namespace {

constexpr int kNumberFieldChars = 30;

void FocusAtSyntaxError(QLineEdit* edit, const std::string& text) {
    if (auto* field = qobject_cast<TermEdit*>(edit)) field->MarkCheckFailed();
    const int chars = FieldCaretForSyntaxError(text, gTerms.SyntaxErrorPos);
    edit->setFocus(Qt::OtherFocusReason);
    edit->setCursorPosition(static_cast<int>(QString::fromStdString(CutToChars(text, static_cast<size_t>(chars))).size()));
}

// Shows the pi sign as π in every text the field gets, typed or set.
class PiShown final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        input.replace(QChar(0x00B6), QChar(0x03C0));
        return Acceptable;
    }
};

bool ReadTermField(QLineEdit* edit, Termbaum& tree) {
    const std::string shown = TermFieldText(FieldTerm(edit));
    edit->setText(ShownTerm(shown));
    if (ParseTerm(tree, shown, true)) return true;
    ResetTermbaum(tree);
    gTerms.TermOK = false;
    FocusAtSyntaxError(edit, shown);
    return false;
}

bool ReadOptionalTermField(QLineEdit* edit, Termbaum& tree, bool allowY) {
    if (edit->text().isEmpty()) return true;
    const bool before = gTerms.ParserAllowsY;
    gTerms.ParserAllowsY = allowY;
    const bool ok = ReadTermField(edit, tree);
    gTerms.ParserAllowsY = before;
    return ok;
}

}  // namespace

TermEdit::TermEdit(QWidget* parent, Kind kind) : QLineEdit(parent), kind_(kind) { setKind(kind); }

void TermEdit::setKind(Kind kind) {
    kind_ = kind;
    setMaxLength(kind == Kind::Number ? kNumberFieldChars : static_cast<int>(kTermChars));
    setDecimalComma(kind != Kind::Text);
    if (kind == Kind::Text) {
        setValidator(nullptr);
    } else if (!validator()) {
        setValidator(new PiShown(this));
        setText(text());
    }
}

void TermEdit::setDecimalComma(bool on) {
    decimalComma_ = on;
    // The dialog base asks this before it turns a "." into ",".
    setProperty("decimalComma", on);
}

void TermEdit::commitField() {
    // A message box opened by the check takes the focus away once more; that
    // second leave must not check (and complain) again.
    if (leaving_) return;
    leaving_ = true;
    checkPassed_ = true;
    QPointer<TermEdit> self(this);
    emit fieldLeft();
    if (self) leaving_ = false;
}

bool TermEdit::leaveField() {
    commitField();
    return checkPassed_;
}

void TermEdit::keyPressEvent(QKeyEvent* event) {
    if (decimalComma_ && event->text() == QLatin1String(".")) {
        QKeyEvent comma(event->type(), Qt::Key_Comma, event->modifiers(), QStringLiteral(","), event->isAutoRepeat(),
                        static_cast<ushort>(event->count()));
        QLineEdit::keyPressEvent(&comma);
        event->setAccepted(comma.isAccepted());
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TermEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // Switching to another program or opening the context menu does not leave the field.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason) return;
    commitField();
}

QString NumberFieldText(double x) {
    return QString::fromStdString(FormatNumberCommaBlanks(gDisplay.Nachkommastellen, x));
}

bool ReadIntegerEdit(const QLineEdit* edit, int& value) {
    return ReadWholeNumber(edit->text().trimmed().toStdString(), value);
}

std::string FieldTerm(const QLineEdit* edit) { return TermFromShown(edit->text().toStdString()); }

QString ShownTerm(std::string_view term) { return QString::fromStdString(TermShown(term)); }

bool ReadNumberEdit(QLineEdit* edit, double& value, double def) {
    const std::string text = FieldTerm(edit);
    if (!ParseTerm(ZahlTermbaum, text, false)) {
        FocusAtSyntaxError(edit, text);
        return false;
    }
    const double v = EvalTermDerivative(ZahlTermbaum, 0, 0, 0, 0, 0);
    const bool ok = gTerms.TermOK;
    value = ok ? v : def;
    edit->setText(NumberFieldText(value));
    return ok;
}

bool ReadFunktionstermEdit(QLineEdit* edit) { return ReadTermField(edit, FunktionTermbaum); }

bool ReadSurfaceTermEdit(QLineEdit* edit) { return ReadOptionalTermField(edit, FlaechenTermbaum, true); }

bool ReadParamTermEdit1(QLineEdit* edit) { return ReadOptionalTermField(edit, ParamTermbaum1, false); }
bool ReadParamTermEdit2(QLineEdit* edit) { return ReadOptionalTermField(edit, ParamTermbaum2, false); }
bool ReadParamTermEdit3(QLineEdit* edit) { return ReadOptionalTermField(edit, ParamTermbaum3, false); }

}  // namespace kalvo
