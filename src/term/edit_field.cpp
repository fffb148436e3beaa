#include "edit_field.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>

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

bool ReadTermField(QLineEdit* edit, Termbaum& tree) {
    const std::string shown = TermFieldText(edit->text().toStdString());
    edit->setText(QString::fromStdString(shown));
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
    // The dialog base asks this before it turns a "." into ",".
    setProperty("decimalComma", kind != Kind::Text);
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
    if (kind_ != Kind::Text && event->text() == QLatin1String(".")) {
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

bool ReadNumberEdit(QLineEdit* edit, double& value, double def) {
    const std::string text = edit->text().toStdString();
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
