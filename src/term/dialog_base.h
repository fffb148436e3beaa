#pragma once
// The base of every dialog. It keeps the keyboard rules of all dialogs in one
// place: a "." typed into an edit field becomes "," (not in a field whose
// property "decimalComma" is false: text fields), Enter moves to the next
// field (and never presses a button), Esc closes the dialog, and, where a
// dialog asks for it, Up and Down move to the previous and next field. No
// button is a default button. The controls are loaded from the shared state
// once, when the dialog is first shown. The dialog deletes itself on close
// unless the subclass clears Qt::WA_DeleteOnClose.

#include <QDialog>

class QKeyEvent;

namespace kalvo {

// A key pressed without Shift, Ctrl or Alt (the keypad counts as plain).
bool IsPlainKey(const QKeyEvent* key);

class KalvoDialog : public QDialog {
    Q_OBJECT
public:
    explicit KalvoDialog(QWidget* parent = nullptr);

    // Runs the check of the focused field as if it had been left: a field with
    // an invokable `bool leaveField()` answers; any other widget passes. Call
    // it first in the OK handler and keep the dialog open when it fails.
    bool CommitFocusedField();

protected:
    // Fills the controls from the shared state; called once from the first
    // show, and by the subclass again for "Vorgabe".
    virtual void LoadControls() {}
    void SetArrowKeysMoveFocus(bool on) { arrowKeysMoveFocus_ = on; }
    bool ArrowKeysMoveFocus() const { return arrowKeysMoveFocus_; }

    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool HandleKey(QWidget* target, QKeyEvent* key);
    void NoDefaultButtons();

    bool arrowKeysMoveFocus_ = false;
    bool controlsLoaded_ = false;
};

}  // namespace kalvo
